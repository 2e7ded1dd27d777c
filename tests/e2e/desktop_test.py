# SPDX-License-Identifier: MIT
"""The real window on desktops unlike the developer's: a keyboard layout
without Latin letters, and no window manager to hold the window's size.

Usage: desktop_test.py PATH_TO_VORLANE [SCREENSHOT_DIR]
"""

import ctypes
import ctypes.util
import sys
import unittest

from xsession import PAUSE, WindowCase, XSession, command_line, is_yellow, px, wait_until

PROGRAM, _ = command_line()

# The design client area in pixels (6304 x 6484 twips).
DESIGN = (px(6304), px(6484))
# The xkb keycode of the key that carries P on a US keyboard.
KEY_P = 33


def press_keycodes(display_name, *keycodes):
    """Presses and releases keys by their place (xkb keycode) through XTest,
    whatever the layout puts on them."""
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
    dpy = x11.XOpenDisplay(display_name.encode())
    if not dpy:
        raise RuntimeError("cannot open " + display_name)
    try:
        for code in keycodes:
            xtst.XTestFakeKeyEvent(dpy, code, 1, 0)
            xtst.XTestFakeKeyEvent(dpy, code, 0, 20)
        x11.XSync(dpy, 0)
    finally:
        x11.XCloseDisplay(dpy)


class RussianLayoutTest(WindowCase):
    def setUp(self):
        # Without -noreset the server drops the loaded layout as soon as its
        # last client (setxkbmap) disconnects, before the game connects.
        self.session = XSession(PROGRAM, server_args=["-noreset"]).__enter__()
        self.session.run(["setxkbmap", "ru"])
        keymap = self.session.run(["xkbcomp", "-xkb", self.session.env["DISPLAY"], "-"])
        self.assertIn("Cyrillic_ze", keymap, "the server took the Russian layout")

    def tearDown(self):
        self.session.__exit__(None, None, None)

    def test_the_key_of_p_pauses(self):
        self.session.start_game()
        self.origin = self.session.geometry()[:2]
        press_keycodes(self.session.env["DISPLAY"], KEY_P)  # з, on P's key
        self.assertTrue(wait_until(lambda: self.client("paused").shows_button(PAUSE), 5),
                        "the key of P shows the Pause button")
        self.assertEqual(self.session.close_window(), 0)


class NoWindowManagerTest(WindowCase):
    def setUp(self):
        self.session = XSession(PROGRAM, 800, 700).__enter__()

    def tearDown(self):
        self.session.__exit__(None, None, None)

    def test_a_larger_window_shows_nothing_of_the_game_beyond_its_design(self):
        window = self.session.start_game()
        # Nothing holds the fixed size: the window takes what it is given.
        self.session.run(["xdotool", "windowmove", window, "0", "0"])
        self.session.run(["xdotool", "windowsize", window, str(DESIGN[0] + 180),
                          str(DESIGN[1] + 160)])
        self.assertTrue(wait_until(lambda: self.session.geometry()[2:] ==
                                   (DESIGN[0] + 180, DESIGN[1] + 160), 10), "the window grew")
        self.origin = (0, 0)
        width, height = self.session.geometry()[2:]
        below = [(x, y) for y in range(DESIGN[1] + 1, height, 6) for x in range(0, width, 6)]
        right = [(x, y) for y in range(0, DESIGN[1], 6) for x in range(DESIGN[0] + 1, width, 6)]

        def stray(c):
            return [p for p in below + right if not is_yellow(c.at(*p))]

        def beyond_is_background(c):
            self.assertEqual(stray(c)[:5], [], "only the background beyond the design area")

        # The X server shows the grown part before the program has painted
        # it (a slow build takes a while): from the first paint on, it is
        # the background alone.
        self.assertTrue(wait_until(lambda: not stray(self.client()), 10),
                        "the grown area is painted with the background")

        # While the curtain opens and after it has: its panels reach past the
        # design area all along, and the lower one stays there at the end.
        def curtain_open():
            c = self.client()
            beyond_is_background(c)
            return c.red_share(21, 0) > 0.4 and c.red_share(0, 11) > 0.4

        self.assertTrue(wait_until(curtain_open, 15), "the curtain opens onto the walls")
        beyond_is_background(self.client("larger"))
        self.assertTrue(self.session.alive())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
