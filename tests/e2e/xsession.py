# SPDX-License-Identifier: MIT
"""A private X server with the game in it, driven by real input (XTest).

Starts Xvfb on a free display, starts the game there from a pinned
environment, and offers key presses, mouse clicks and screenshots read back as
pixels; and what the end-to-end tests share to read those screenshots: where
the well's cells and the buttons are, and how their colours look. Needs Xvfb,
xdotool and ImageMagick's `import`; uses nothing outside Python's standard
library.
"""

import ctypes
import ctypes.util
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

TWIPS_PER_PIXEL = 15


def command_line():
    """The end-to-end tests' command line: PATH_TO_VORLANE [SCREENSHOT_DIR]."""
    if len(sys.argv) < 2:
        sys.exit(f"usage: {sys.argv[0]} PATH_TO_VORLANE [SCREENSHOT_DIR]")
    return os.path.abspath(sys.argv[1]), screenshot_dir()


def screenshot_dir():
    """Where the tests keep their named screenshots, if the command line says."""
    return sys.argv[2] if len(sys.argv) > 2 else None


# Passed through from the test run: they steer the sanitizers of an
# instrumented build, not the game.
SANITIZER_VARIABLES = ("ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS")


def pinned_environment(home):
    """The environment the game starts in, whatever the developer's desktop
    has set: nothing is inherited but PATH and the sanitizers' options. The
    style, the scale and the font resolution are pinned; with no desktop named
    Qt takes its generic platform theme; `home` (a fresh directory) stands in
    for the home and XDG runtime directories, so no settings or fonts of the
    user's are read."""
    env = {
        "PATH": os.environ.get("PATH", "/usr/local/bin:/usr/bin:/bin"),
        "HOME": home,
        "XDG_RUNTIME_DIR": home,
        "LANG": "C.UTF-8",
        "QT_STYLE_OVERRIDE": "Fusion",
        "QT_SCALE_FACTOR": "1",
        "QT_FONT_DPI": "96",
    }
    env.update({k: os.environ[k] for k in SANITIZER_VARIABLES if k in os.environ})
    return env


class Screenshot:
    """The whole screen as RGB pixels, from a binary PPM."""

    def __init__(self, ppm: bytes):
        # P6 header: magic, width, height, maxval, each followed by whitespace.
        fields, pos = [], 0
        while len(fields) < 4:
            while ppm[pos : pos + 1].isspace():
                pos += 1
            start = pos
            while not ppm[pos : pos + 1].isspace():
                pos += 1
            fields.append(ppm[start:pos])
        if fields[0] != b"P6" or fields[3] != b"255":
            raise ValueError("unexpected screenshot format")
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm[pos + 1 :]
        self.raw = ppm

    def pixel(self, x: int, y: int):
        k = 3 * (y * self.width + x)
        return tuple(self.data[k : k + 3])

    def save_png(self, path: str):
        subprocess.run(["convert", "ppm:-", path], input=self.raw, check=True)


class XSession:
    def __init__(self, program: str, width: int = 800, height: int = 600, server_args=(),
                 reset=False):
        self.program = program
        self.reset = reset  # the server resets when its last client leaves
        self.size = (width, height)
        self.server_args = list(server_args)  # more Xvfb options, e.g. the autorepeat rate
        self.xvfb = None
        self.game = None
        self.env = None
        self.home = None
        self.window = None

    def __enter__(self):
        self.home = tempfile.mkdtemp(prefix="vorlane-home-")  # mode 0700, as XDG asks
        read_fd, write_fd = os.pipe()
        # -noreset: an X server resets when its last client leaves and refuses
        # connections meanwhile, so a program started right after another
        # closed could not reach the display.
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-nolisten", "tcp",
             *([] if self.reset else ["-noreset"]),
             "-screen", "0", f"{self.size[0]}x{self.size[1]}x24", *self.server_args],
            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            display = f.readline().strip()
        if not display:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(pinned_environment(self.home), DISPLAY=":" + display, QT_QPA_PLATFORM="xcb")
        return self

    def start_game(self, extra_env=None, command=None, cwd=None, timeout=30):
        """Starts the game (or `command`, which starts it) and waits for its
        window; returns the window's id."""
        env = dict(self.env, **(extra_env or {}))
        command = command or [self.program]
        self.game = subprocess.Popen(command, env=env, cwd=cwd)

        def shown():
            if self.game.poll() is not None:
                raise RuntimeError(f"{' '.join(command)} exited with status "
                                   f"{self.game.returncode} before its window showed")
            found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Zarvex$"],
                                   env=self.env, capture_output=True, text=True).stdout.split()
            return found[0] if found else None

        self.window = wait_until(shown, timeout, interval=0.05)
        if self.window is None:
            raise TimeoutError(f"no window titled Zarvex after {timeout} s")
        self.run(["xdotool", "windowfocus", "--sync", self.window])
        return self.window

    def run(self, args, timeout=10):
        return subprocess.run(args, env=self.env, check=True, capture_output=True, text=True,
                              timeout=timeout).stdout

    def geometry(self):
        """The window's client area on the screen: x, y, width, height in pixels."""
        out = self.run(["xdotool", "getwindowgeometry", "--shell", self.window])
        g = dict(line.split("=", 1) for line in out.split())
        return int(g["X"]), int(g["Y"]), int(g["WIDTH"]), int(g["HEIGHT"])

    def screenshot(self) -> Screenshot:
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env, check=True,
                             capture_output=True, timeout=20).stdout
        return Screenshot(ppm)

    def key(self, *names, delay_ms=20):
        self.run(["xdotool", "key", "--delay", str(delay_ms), *names])

    def click(self, x, y):
        self.run(["xdotool", "mousemove", "--sync", str(x), str(y), "click", "1"])

    def alive(self):
        return self.game is not None and self.game.poll() is None

    def close_window(self, timeout=10):
        """Asks the game's window to close as a window manager's close button
        does (WM_DELETE_WINDOW); returns the program's exit code."""
        send_delete_window(self.env["DISPLAY"], int(self.window))
        return self.game.wait(timeout=timeout)

    def __exit__(self, *exc):
        if self.game is not None and self.game.poll() is None:
            self.game.kill()
            self.game.wait()
        if self.xvfb is not None:
            self.xvfb.terminate()
            self.xvfb.wait()
        if self.home is not None:
            shutil.rmtree(self.home, ignore_errors=True)
        return False


class _ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("xclient", _ClientMessage), ("pad", ctypes.c_long * 24)]


def send_delete_window(display_name: str, window: int):
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XInternAtom.restype = ctypes.c_ulong
    x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                               ctypes.POINTER(_XEvent)]
    x11.XFlush.argtypes = [ctypes.c_void_p]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    dpy = x11.XOpenDisplay(display_name.encode())
    if not dpy:
        raise RuntimeError("cannot open " + display_name)
    try:
        event = _XEvent()
        event.xclient.type = 33  # ClientMessage
        event.xclient.window = window
        event.xclient.message_type = x11.XInternAtom(dpy, b"WM_PROTOCOLS", 0)
        event.xclient.format = 32
        event.xclient.data[0] = x11.XInternAtom(dpy, b"WM_DELETE_WINDOW", 0)
        x11.XSendEvent(dpy, window, 0, 0, ctypes.byref(event))
        x11.XFlush(dpy)
    finally:
        x11.XCloseDisplay(dpy)


def wait_until(predicate, timeout, interval=0.1):
    """The first true value of `predicate`, asked until `timeout` seconds
    have passed; None if there was none."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return None


def holds_for(predicate, seconds, interval=0.1):
    """Whether `predicate` stays true, asked again and again for `seconds`:
    for what must not happen, such as a paused piece moving."""
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if not predicate():
            return False
        time.sleep(interval)
    return bool(predicate())


# --- The game's picture, in client pixels ------------------------------------

CELL = 292  # twips, from the design's client width
# The client area of the design window: 6304 x 6484 twips.
CLIENT = (int(6304 / TWIPS_PER_PIXEL), int(6484 / TWIPS_PER_PIXEL))


def px(twips):
    return int(twips / TWIPS_PER_PIXEL)


def cell_centre(row, column):
    """Pixel centre of well cell (row, column) in client coordinates."""
    return px(column * CELL + 60 + CELL / 2), px(row * CELL + 50 + CELL / 2)


def is_yellow(p):
    return p[0] > 220 and p[1] > 220 and p[2] < 40


def is_black(p):
    return max(p) < 40


def is_wall_red(p):
    return p[0] > 200 and p[1] < 50 and p[2] < 50


def is_button_face(p):
    # A push button's face: a light, nearly neutral grey.
    return max(p) - min(p) < 16 and 180 < min(p)


def button_rect(left, top, width, height):
    """A button's place in client pixels (left, top, right, bottom) from twips."""
    return px(left), px(top), px(left + width), px(top + height)


# Pause keeps its design place; Game Over is centred in the client area.
PAUSE = button_rect(1560, 240, 3015, 1935)
GAME_OVER = button_rect((6304 - 2655) / 2, (6484 - 2175) / 2, 2655, 2175)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def button_corners(rect, inset=10):
    left, top, right, bottom = rect
    return [(left + inset, top + inset), (right - 1 - inset, top + inset),
            (left + inset, bottom - 1 - inset), (right - 1 - inset, bottom - 1 - inset)]


# Interior of the well: rows 1 to 20, columns 1 to 10.
WELL_X = (px(1 * CELL + 60), px(11 * CELL + 60))
WELL_Y = (px(1 * CELL + 50), px(21 * CELL + 50))


class Client:
    """A screenshot seen through the window's client area."""

    def __init__(self, shot, origin):
        self.shot, self.x0, self.y0 = shot, origin[0], origin[1]

    def at(self, x, y):
        return self.shot.pixel(self.x0 + x, self.y0 + y)

    def count(self, pred, x_range, y_range, step=1):
        return sum(1 for y in range(*y_range, step) for x in range(*x_range, step)
                   if pred(self.at(x, y)))

    def shows_button(self, rect):
        """The button's face at all four corners. One pixel is not enough: both
        buttons reach into the well, where a block in a random pale grey can
        look like a face; the corners outside the well never do."""
        return all(is_button_face(self.at(*p)) for p in button_corners(rect))

    def red_share(self, row, column):
        """Share of wall red in the cell's inner area (inside its border)."""
        left, top = px(column * CELL + 60) + 5, px(row * CELL + 50) + 5
        size = px(CELL) - 10
        total = size * size
        return self.count(is_wall_red, (left, left + size), (top, top + size)) / total

    def curtain_open(self):
        """No black of the curtain along the window's top edge."""
        return not any(is_black(self.at(x, 1)) for x in (30, 200, CLIENT[0] - 30))

    def walls_show(self, cells=((0, 0), (15, 0), (15, 11), (21, 0), (21, 5), (21, 11))):
        """The wall cells given (by default ones neither button covers) in red."""
        return all(self.red_share(r, k) > 0.4 for r, k in cells)

    def lowest_piece_row(self):
        """The lowest pixel row of the well's interior that is not empty; -1
        if there is none or the curtain still covers the well."""
        if not self.curtain_open():
            return -1
        for y in range(WELL_Y[1] - 1, WELL_Y[0], -1):
            if any(not is_yellow(self.at(x, y)) for x in range(WELL_X[0] + 2, WELL_X[1] - 2, 2)):
                return y
        return -1


class WindowCase(unittest.TestCase):
    """A test of the real window: reads its screenshots through the client
    area, and keeps the named ones when the command line gave a folder."""

    session = None
    origin = (0, 0)
    shots = 0
    shots_dir = screenshot_dir()

    def client(self, name=None):
        shot = self.session.screenshot()
        if self.shots_dir and name:
            os.makedirs(self.shots_dir, exist_ok=True)
            self.shots += 1
            shot.save_png(os.path.join(self.shots_dir,
                                       f"{self.id().split('.')[-1]}-{self.shots:02d}-{name}.png"))
        return Client(shot, self.origin)

    def wait_for_open_curtain(self, timeout=30):
        """The screen once the curtain has opened onto the walls, or None."""
        def opened():
            c = self.client()
            return c if c.curtain_open() and c.walls_show() else None

        return wait_until(opened, timeout)
