# SPDX-License-Identifier: MIT
"""The real game as a screen reader meets it: through the desktop's
accessibility bus (AT-SPI), as Orca reads it.

Starts a private session bus and accessibility bus, and the game under its
own Xvfb with Qt's accessibility bridge on; reads the tree of accessible
objects with dbus-send, before and after a piece is played.

Usage: accessibility_test.py PATH_TO_VORLANE
"""

import os
import re
import subprocess
import sys
import tempfile
import time
import unittest

from xsession import (GAME_OVER, WindowCase, XSession, command_line, is_black, pinned_environment,
                      wait_until)

PROGRAM, _ = command_line()
BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
ROOT = "/org/a11y/atspi/accessible/root"


class AccessibilityBus:
    """A session bus with an AT-SPI bus beside it, both private to the test."""

    def __enter__(self):
        self.runtime = tempfile.TemporaryDirectory()
        self.env = pinned_environment(self.runtime.name)
        read_fd, write_fd = os.pipe()
        self.session = subprocess.Popen(
            ["dbus-daemon", "--session", "--nofork", f"--print-address={write_fd}"],
            pass_fds=(write_fd,), env=self.env, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            self.env["DBUS_SESSION_BUS_ADDRESS"] = f.readline().strip()
        self.launcher = subprocess.Popen([BUS_LAUNCHER, "--launch-immediately"], env=self.env,
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.address = wait_until(self._a11y_address, 10)
        if not self.address:
            raise RuntimeError("the accessibility bus did not start")
        return self

    def _a11y_address(self):
        result = self.send(None, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus.GetAddress")
        return result.strip() if result else None

    def send(self, bus, dest, path, method, *args):
        """A method call with dbus-send; its reply as text, or None on an error."""
        where = f"--bus={bus}" if bus else "--session"
        result = subprocess.run(["dbus-send", where, "--print-reply=literal", f"--dest={dest}",
                                 path, method, *args],
                                env=self.env, capture_output=True, text=True, timeout=10)
        return result.stdout if result.returncode == 0 else None

    def __exit__(self, *exc):
        for process in (self.launcher, self.session):
            process.terminate()
            process.wait()
        self.runtime.cleanup()
        return False


class Application:
    """An application's tree of accessible objects on the AT-SPI bus."""

    def __init__(self, bus, name):
        self.bus, self.name = bus, name

    def call(self, path, method, *args):
        return self.bus.send(self.bus.address, self.name, path, method, *args) or ""

    def accessible_name(self, path):
        reply = self.call(path, "org.freedesktop.DBus.Properties.Get",
                          "string:org.a11y.atspi.Accessible", "string:Name")
        return reply.strip().removeprefix("variant").strip()

    def children(self, path):
        return re.findall(r"(/org/a11y/atspi/accessible/\S+)",
                          self.call(path, "org.a11y.atspi.Accessible.GetChildren"))

    def role(self, path):
        return self.call(path, "org.a11y.atspi.Accessible.GetRoleName").strip()

    def states(self, path):
        """The object's AT-SPI state numbers (its two 32-bit words of bits)."""
        words = [int(w) for w in re.findall(r"uint32 (\d+)",
                                            self.call(path, "org.a11y.atspi.Accessible.GetState"))]
        return {32 * i + bit for i, word in enumerate(words) for bit in range(32) if word >> bit & 1}

    def find(self, role, name, path=ROOT):
        """The path of the first object below `path` with that role and name, or None."""
        for child in self.children(path):
            if (self.role(child), self.accessible_name(child)) == (role, name):
                return child
            found = self.find(role, name, child)
            if found:
                return found
        return None

    def tree(self, path=ROOT):
        """(role, name) of every object below `path`, depth first."""
        found = []
        for child in self.children(path):
            found.append((self.role(child), self.accessible_name(child)))
            found.extend(self.tree(child))
        return found


def find_application(bus, name):
    """The application on the bus whose root object is called `name`."""
    names = bus.send(bus.address, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                     "org.freedesktop.DBus.ListNames") or ""
    for unique in re.findall(r":\d+\.\d+", names):
        app = Application(bus, unique)
        if app.accessible_name(ROOT) == name:
            return app
    return None


class AccessibilityTest(WindowCase):
    def setUp(self):
        self.bus = AccessibilityBus().__enter__()
        self.addCleanup(self.bus.__exit__, None, None, None)
        self.session = XSession(PROGRAM).__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        # The bridge starts on its own when a screen reader is running; here
        # there is none, so it is told to.
        self.session.start_game({"DBUS_SESSION_BUS_ADDRESS": self.bus.env["DBUS_SESSION_BUS_ADDRESS"],
                                 "XDG_RUNTIME_DIR": self.bus.runtime.name,
                                 "QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        self.origin = self.session.geometry()[:2]
        self.app = wait_until(lambda: find_application(self.bus, "Vorlane"), 20)
        self.assertIsNotNone(self.app, "the game is on the accessibility bus as Vorlane")

    FOCUSABLE, FOCUSED = 11, 12  # AT-SPI state numbers

    def counters(self):
        """The counter labels' captions by their prefix, from one reading."""
        return dict(name.split(":", 1) for role, name in self.app.tree()
                    if role == "label" and name.split(":", 1)[-1].isdigit())

    def test_window_buttons_and_counters_are_named(self):
        tree = self.app.tree()
        self.assertEqual(tree[0], ("frame", "Zarvex"), "the window keeps its caption")
        for expected in [("push button", "Pause"), ("push button", "Game Over"),
                         ("label", "Score:000000"), ("label", "HiScore:000000"),
                         ("label", "Rows:000"), ("label", "Blocks:0000"),
                         ("label", "Next Piece:")]:
            self.assertIn(expected, tree)

    def test_counters_read_the_score_after_a_piece_locks(self):
        self.assertEqual(self.counters(),
                         {"Score": "000000", "HiScore": "000000", "Rows": "000", "Blocks": "0000"})
        # The first piece in the well, once the curtain has opened.
        self.assertTrue(wait_until(lambda: self.client().lowest_piece_row() > 0, 30),
                        "a piece comes into the well")
        self.session.key("Down")
        self.assertTrue(wait_until(lambda: self.counters()["Score"] != "000000", 30))
        # Read again: the lock may have come in the middle of that reading.
        self.assertEqual(self.counters(),
                         {"Score": "000010", "HiScore": "000010", "Rows": "000", "Blocks": "0001"},
                         "one piece locked: a screen reader reads Score:000010")

    def test_keyboard_alone_restarts_a_finished_game(self):
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline and not self.client().shows_button(GAME_OVER):
            self.session.key(*["Down"] * 5, delay_ms=15)
        self.assertTrue(self.client("game-over").shows_button(GAME_OVER), "holding Down ends the game")
        final = self.counters()
        self.assertGreater(int(final["Score"]), 0)
        self.assertEqual(final["HiScore"], final["Score"])

        # A screen reader follows the focus onto the button.
        button = self.app.find("push button", "Game Over")
        self.assertIsNotNone(button)
        self.assertIn(self.FOCUSABLE, self.app.states(button))
        self.assertNotIn(self.FOCUSED, self.app.states(button))
        self.session.key("Tab")
        self.assertTrue(wait_until(lambda: self.FOCUSED in self.app.states(button), 10),
                        "Tab gives the Game Over button the focus")

        self.session.key("Return")
        self.assertTrue(wait_until(lambda: is_black(self.client().at(200, 10)), 10),
                        "Enter restarts: the curtain closes again")
        self.assertTrue(wait_until(lambda: self.counters()["Score"] == "000000", 10))
        self.assertEqual(self.counters(), {"Score": "000000", "HiScore": final["HiScore"],
                                           "Rows": "000", "Blocks": "0000"},
                         "a new game, the best score kept")
        # The new game plays from the keyboard: its first piece locks.
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens again")
        self.assertFalse(self.client().shows_button(GAME_OVER))
        self.assertTrue(wait_until(lambda: self.client().lowest_piece_row() > 0, 30),
                        "a piece comes into the well")
        self.session.key("Down")
        self.assertTrue(wait_until(lambda: self.counters()["Blocks"] != "0000", 30),
                        "Down brings the new game's first piece down")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
