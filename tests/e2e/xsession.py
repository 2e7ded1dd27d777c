"""A private X server with the game in it, driven by real input (XTest).

Starts Xvfb on a free display, starts the game there, and offers key presses,
mouse clicks and screenshots read back as pixels. Needs Xvfb, xdotool and
ImageMagick's `import`; uses nothing outside Python's standard library.
"""

import ctypes
import ctypes.util
import os
import subprocess
import time

TWIPS_PER_PIXEL = 15


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
    def __init__(self, program: str, width: int = 800, height: int = 600, server_args=()):
        self.program = program
        self.size = (width, height)
        self.server_args = list(server_args)  # more Xvfb options, e.g. the autorepeat rate
        self.xvfb = None
        self.game = None
        self.env = None
        self.window = None

    def __enter__(self):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-nolisten", "tcp",
             "-screen", "0", f"{self.size[0]}x{self.size[1]}x24", *self.server_args],
            pass_fds=(write_fd,), stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            display = f.readline().strip()
        if not display:
            raise RuntimeError("Xvfb did not start")
        self.env = dict(os.environ, DISPLAY=":" + display)
        self.env.pop("QT_QPA_PLATFORM", None)
        self.env.pop("WAYLAND_DISPLAY", None)
        return self

    def start_game(self, extra_env=None):
        env = dict(self.env, **(extra_env or {}))
        self.game = subprocess.Popen([self.program], env=env)
        out = self.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", "^Zarvex$"],
                       timeout=30)
        self.window = out.split()[0]
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
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(interval)
    return None
