# SPDX-License-Identifier: MIT
"""Faults from outside the program: no display to open, and fonts missing.

Without a display the program prints one line on stderr that says what
failed (no display named, the named one cannot be reached, the platform
plugin is not installed) and exits with status 2. With no fonts at all, or with none of the faces the window's
design names or their substitutes, the window still opens, draws its walls
and labels, plays, and closes cleanly.

Usage: faults_test.py PATH_TO_VORLANE [SCREENSHOT_DIR]
"""

import os
import subprocess
import sys
import tempfile
import unittest

from xsession import (PAUSE, WindowCase, XSession, command_line, is_yellow, pinned_environment,
                      px, wait_until)

PROGRAM, _ = command_line()
WALL_CELLS = [(0, 0), (0, 11), (10, 0), (10, 11), (21, 0), (21, 11)]
# The score label's place in client pixels, from the side panel's centre
# line at 17 cells to either side, and the label's design top and height.
SCORE_LABEL = (px(17 * 292) - 50, px(17 * 292) + 50, px(3120), px(3120 + 360))


def free_display_number():
    """A display number no X server listens on."""
    for n in range(917, 999):
        if not os.path.exists(f"/tmp/.X11-unix/X{n}") and not os.path.exists(f"/tmp/.X{n}-lock"):
            return n
    raise RuntimeError("no free display number")


class NoDisplayTest(unittest.TestCase):
    """Each way of failing to open a window says which it was, in one line."""

    def run_without_display(self, **env):
        # The pinned environment names no display. It has a runtime
        # directory, as a desktop session has: without one the Wayland client
        # library complains on stderr of its own accord.
        with tempfile.TemporaryDirectory() as home:
            return subprocess.run([PROGRAM], env=dict(pinned_environment(home), **env),
                                  capture_output=True, text=True, timeout=30)

    def assert_one_line(self, result, *parts):
        self.assertEqual(result.returncode, 2, "an exit with status 2, not a signal")
        lines = result.stderr.splitlines()
        self.assertEqual(len(lines), 1, f"one line on stderr, not: {result.stderr!r}")
        self.assertTrue(lines[0].startswith("vorlane: "), lines[0])
        for part in parts:
            self.assertIn(part, lines[0])
        self.assertEqual(result.stdout, "")
        return lines[0]

    def test_no_display_named(self):
        self.assert_one_line(self.run_without_display(), "no display named", "DISPLAY",
                             "WAYLAND_DISPLAY")

    def test_the_named_display_cannot_be_reached(self):
        n = free_display_number()
        self.assert_one_line(self.run_without_display(DISPLAY=f":{n}"),
                             f'cannot connect to the X display ":{n}" (DISPLAY)')
        self.assert_one_line(self.run_without_display(DISPLAY="no such display"),
                             'cannot connect to the X display "no such display" (DISPLAY)')

    def test_the_named_wayland_display_cannot_be_reached(self):
        name = "vorlane-no-such-wayland-display"
        # Qt tries Wayland, then X11, which has no display named.
        line = self.assert_one_line(self.run_without_display(WAYLAND_DISPLAY=name),
                                    f'cannot connect to the Wayland display "{name}"',
                                    "no X display named (DISPLAY is not set)")
        self.assertNotIn("plugin", line)
        self.assert_one_line(self.run_without_display(QT_QPA_PLATFORM="wayland", WAYLAND_DISPLAY=name),
                             f'cannot connect to the Wayland display "{name}" (WAYLAND_DISPLAY)')

    def test_the_named_platform_wants_a_display_that_is_not_named(self):
        self.assert_one_line(self.run_without_display(QT_QPA_PLATFORM="xcb"),
                             "no X display named (DISPLAY is not set)")

    def test_the_named_platform_plugin_is_not_installed(self):
        n = free_display_number()
        # The display does not matter: the plugin is missing before any is tried.
        line = self.assert_one_line(self.run_without_display(QT_QPA_PLATFORM="nosuch", DISPLAY=f":{n}"),
                                    'no Qt platform plugin "nosuch" is installed', "installed: ")
        self.assertIn("xcb", line.split("installed: ")[1], "the installed plugins are listed")
        self.assertNotIn("X display", line)
        # Both failures of a list of platforms, in the order they were tried.
        line = self.assert_one_line(
            self.run_without_display(QT_QPA_PLATFORM="nosuch;xcb", DISPLAY=f":{n}"))
        self.assertLess(line.index('"nosuch"'), line.index(f'X display ":{n}"'))


def fonts_conf(directory, font_dirs):
    """A fontconfig configuration that knows only `font_dirs`."""
    cache = os.path.join(directory, "cache")
    os.makedirs(cache, exist_ok=True)
    dirs = "".join(f"<dir>{d}</dir>" for d in font_dirs)
    path = os.path.join(directory, "fonts.conf")
    with open(path, "w") as f:
        f.write('<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n'
                f"<fontconfig>{dirs}<cachedir>{cache}</cachedir></fontconfig>\n")
    return path


def dejavu_dir():
    for d in ("/usr/share/fonts/truetype/dejavu", "/usr/share/fonts/dejavu"):
        if os.path.isdir(d):
            return d
    return None


class MissingFontsTest(WindowCase):
    def play_with_fonts(self, name, font_dir=None):
        """The game with only `font_dir`'s fonts, or with an empty font
        directory if there is none."""
        with tempfile.TemporaryDirectory() as directory, \
                XSession(PROGRAM) as session:
            if font_dir is None:
                font_dir = os.path.join(directory, "empty")
                os.makedirs(font_dir)
            conf = fonts_conf(directory, [font_dir])
            session.start_game(extra_env={"FONTCONFIG_FILE": conf})
            self.session, self.origin = session, session.geometry()[:2]
            self.assertTrue(self.wait_for_open_curtain(), "the curtain opens onto the walls")
            c = self.client(f"fonts-{name}")
            for row, column in WALL_CELLS:
                self.assertGreater(c.red_share(row, column), 0.4, f"wall cell ({row}, {column})")
            # Something is written in the score label's place: glyphs of a
            # default face, or at worst the boxes drawn for missing glyphs.
            ink = c.count(lambda p: not is_yellow(p), SCORE_LABEL[:2], SCORE_LABEL[2:])
            self.assertGreater(ink, 20, "the score label shows")
            # It plays: a pause shows the Pause button, a click resumes.
            session.key("p")
            self.assertTrue(wait_until(lambda: self.client().shows_button(PAUSE), 20),
                            "P shows the Pause button")
            self.assertTrue(session.alive())
            self.assertEqual(session.close_window(), 0)

    def test_no_fonts_at_all(self):
        self.play_with_fonts("none")

    def test_only_dejavu_no_substitute_faces(self):
        d = dejavu_dir()
        if d is None:
            self.skipTest("DejaVu is not installed")
        self.play_with_fonts("dejavu-only", d)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
