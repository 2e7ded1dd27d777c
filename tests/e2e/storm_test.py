# SPDX-License-Identifier: MIT
"""The real game in a real X server under a storm of input: thousands of key
events a second (the six command keys and any others, held keys with the
server's auto-repeat), and clicks on the "Pause" button's place, the "Game
Over" button's place and anywhere else, in every state of the game: the
curtain with the intro, play, paused, game over and right after a restart.
The program must stay alive and responsive throughout, and close cleanly
from the window manager's close request in the curtain, paused and game-over
states.

Usage: storm_test.py PATH_TO_VORLANE [SCREENSHOT_DIR]
"""

import random
import sys
import time
import unittest

from xsession import (CELL, CLIENT, GAME_OVER, PAUSE, WindowCase, XSession, cell_centre, centre,
                      command_line, is_black, is_yellow, px, wait_until)

PROGRAM, _ = command_line()

# The server repeats a held key after 100 ms, then every 10 ms: a hundred
# key-downs a second per held key, against 25 at the X server's default.
AUTOREPEAT = ["-ardelay", "100", "-arinterval", "10"]

COMMAND_KEYS = ["Left", "Right", "Down", "a", "s", "p"]
# Keys that are no command, plain and with modifiers, and the modifiers
# alone; Up has a key code of its own but no command.
OTHER_KEYS = (["Up", "Tab", "Return", "space", "Escape", "BackSpace", "Delete", "Insert", "Home",
               "End", "Prior", "Next", "Shift_L", "Control_L", "Alt_L", "Super_L", "Menu",
               "KP_4", "KP_6", "KP_2", "KP_Enter", "shift+Left", "ctrl+Right", "alt+Down",
               "shift+a", "ctrl+s", "shift+p", "ctrl+alt+Left"]
              + [f"F{n}" for n in range(1, 13)]
              + list("bcdefghijklmnoqrtuvwxyzABSP0123456789"))


def inside(point, rect, margin=0):
    return (rect[0] - margin <= point[0] < rect[2] + margin
            and rect[1] - margin <= point[1] < rect[3] + margin)


class Storm:
    """Batches of key presses and clicks, each batch one xdotool run with no
    delay between its events; counts what it sent."""

    def __init__(self, session, origin, seed):
        self.session, self.origin = session, origin
        self.rng = random.Random(seed)
        self.keys = 0
        self.clicks = 0
        self.seconds = 0.0

    def key_names(self, n, with_pause=True, with_tab=True):
        """With Tab, a button on show may take the focus, and a Space or Enter
        after it press the button: a storm that must leave the game paused
        or over goes without."""
        commands = COMMAND_KEYS if with_pause else [k for k in COMMAND_KEYS if k != "p"]
        others = OTHER_KEYS if with_pause else [k for k in OTHER_KEYS if "p" not in k.lower()]
        if not with_tab:
            others = [k for k in others if k != "Tab"]
        # Two in three are commands.
        return [self.rng.choice(commands) if self.rng.random() < 2 / 3 else self.rng.choice(others)
                for _ in range(n)]

    def click_points(self, n, targets, avoid=()):
        """n points: places on the rectangles `targets` and anywhere in the
        window, none within 6 pixels of a rectangle of `avoid`."""
        points = []
        while len(points) < n:
            if targets and self.rng.random() < 0.5:
                rect = self.rng.choice(targets)
                p = (self.rng.randrange(rect[0] + 4, rect[2] - 4),
                     self.rng.randrange(rect[1] + 4, rect[3] - 4))
            else:
                p = (self.rng.randrange(CLIENT[0]), self.rng.randrange(CLIENT[1]))
            if not any(inside(p, rect, 6) for rect in avoid):
                points.append(p)
        return points

    def burst(self, keys=400, clicks=0, targets=(), avoid=(), with_pause=True, with_tab=True):
        """One batch: `keys` key presses in runs of 50 with a click between
        runs, all from one xdotool run."""
        names = self.key_names(keys, with_pause, with_tab)
        points = self.click_points(clicks, list(targets), avoid)
        args = ["xdotool"]
        runs = [names[k:k + 50] for k in range(0, len(names), 50)]
        for k in range(max(len(runs), len(points))):
            if k < len(runs):
                args += ["key", "--delay", "0", *runs[k]]
            if k < len(points):
                x, y = points[k]
                args += ["mousemove", str(self.origin[0] + x), str(self.origin[1] + y),
                         "click", "--delay", "0", "1"]
        start = time.monotonic()
        self.session.run(args, timeout=60)
        self.seconds += time.monotonic() - start
        self.keys += len(names)
        self.clicks += len(points)

    def for_seconds(self, seconds, **kwargs):
        deadline = time.monotonic() + seconds
        while time.monotonic() < deadline:
            self.burst(**kwargs)

    def hold(self, names, seconds):
        """Holds keys down together and lets the server repeat them."""
        self.session.run(["xdotool", "keydown", *names])
        time.sleep(seconds)
        self.session.run(["xdotool", "keyup", *names])


class StormTest(WindowCase):
    def start(self, seed):
        self.session = XSession(PROGRAM, server_args=AUTOREPEAT).__enter__()
        self.addCleanup(self.session.__exit__, None, None, None)
        self.session.start_game()
        self.origin = self.session.geometry()[:2]
        self.storm = Storm(self.session, self.origin, seed)
        self.shots = 0

    def mapped(self):
        out = self.session.run(["xdotool", "search", "--onlyvisible", "--name", "^Zarvex$"])
        return self.session.window in out.split()

    def assert_alive_and_mapped(self, state):
        self.assertTrue(self.session.alive(), f"the program died ({state})")
        self.assertTrue(self.mapped(), f"the window is no longer mapped ({state})")

    def assert_walls(self, state):
        c = self.wait_for_open_curtain()
        self.assertTrue(c, f"the walls do not show ({state})")
        return c

    def face(self, button):
        return self.client().shows_button(button)

    def wait_face(self, button, shown, timeout):
        start = time.monotonic()
        if wait_until(lambda: self.face(button) == shown, timeout, interval=0.05) is None:
            return None
        return time.monotonic() - start

    def click_client(self, point, times=1):
        # No --sync: xdotool would wait for ever for a motion to a place the
        # pointer is already at. The server handles the move before the click.
        x, y = self.origin[0] + point[0], self.origin[1] + point[1]
        self.session.run(["xdotool", "mousemove", str(x), str(y),
                          "click", "--repeat", str(times), "--delay", "0", "1"])

    def pause_and_resume(self, state):
        """P shows the Pause button and a click on it hides it again: the
        program still answers, and this says how fast."""
        self.session.key("p")
        shown = self.wait_face(PAUSE, True, 20)
        self.assertIsNotNone(shown, f"P shows no Pause button after the storm ({state})")
        self.click_client(centre(PAUSE))
        hidden = self.wait_face(PAUSE, False, 20)
        self.assertIsNotNone(hidden, f"a click on Pause does not hide it ({state})")
        return shown

    def play_to_game_over(self, timeout=120):
        """Down, pressed and held, until the Game Over button shows."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline and not self.face(GAME_OVER):
            self.storm.hold(["Down"], 0.3)
        return self.face(GAME_OVER)

    def report(self, what):
        s = self.storm
        print(f"\n{what}: {s.keys} key presses ({2 * s.keys} key events) and {s.clicks} clicks in "
              f"{s.seconds:.1f} s of storm, {2 * s.keys / max(s.seconds, 1e-6):.0f} key events/s",
              file=sys.stderr)

    def test_storm_through_every_state(self):
        self.start(seed=1)
        # The curtain with the intro under it, and play starting behind it.
        # No P here: the Pause button lies under the closed curtain, where no
        # click can reach it, so a pause now would hold the curtain for good.
        self.assertTrue(is_black(self.client("curtain").at(200, 10)), "the curtain is closed")
        self.storm.for_seconds(2.0, keys=300, clicks=6, targets=[PAUSE, GAME_OVER], with_pause=False)
        self.assert_alive_and_mapped("curtain")
        self.assert_walls("after the curtain")

        # Play, with every key, held keys, and clicks on the Pause button
        # when it shows and anywhere. Not on the Game Over button's place:
        # should the storm end the game, a click there would restart it, and
        # a P under the new curtain would hold it for good; nor Tab, which
        # would let Enter restart it.
        for _ in range(3):
            self.storm.for_seconds(1.5, keys=400, clicks=8, targets=[PAUSE], avoid=[GAME_OVER],
                                   with_tab=False)
            self.storm.hold(["Down", "Left", "a"], 0.4)
            self.storm.hold(["Right", "s"], 0.3)
            self.click_client(centre(PAUSE))
        self.assert_alive_and_mapped("play")
        latency = self.pause_and_resume("play")
        self.assert_walls("play")

        # Paused: every key but Tab, P and its auto-repeats included, and
        # clicks anywhere but on the two buttons.
        self.session.key("p")
        self.assertIsNotNone(self.wait_face(PAUSE, True, 20), "P pauses")
        self.storm.for_seconds(2.0, keys=400, clicks=8, avoid=[PAUSE, GAME_OVER], with_tab=False)
        self.storm.hold(["p", "Left"], 0.3)
        self.assert_alive_and_mapped("paused")
        self.assertTrue(self.face(PAUSE), "the game stays paused")
        self.click_client(centre(PAUSE))
        self.assertIsNotNone(self.wait_face(PAUSE, False, 20), "the Pause button resumes")

        # Game over, then every key but Tab and clicks anywhere but on the
        # button.
        self.assertTrue(self.play_to_game_over(), "held Down ends the game")
        self.client("game-over")
        self.storm.for_seconds(2.0, keys=400, clicks=8, targets=[PAUSE], avoid=[GAME_OVER],
                               with_tab=False)
        self.assert_alive_and_mapped("game over")
        self.assertTrue(self.face(GAME_OVER), "the game stays over")

        # A burst of clicks on Game Over: the first restarts the game, the
        # others land on the new window at once; then the storm goes on
        # right after the restart, under the closing curtain.
        self.click_client(centre(GAME_OVER), times=5)
        self.storm.burst(keys=300, clicks=4, targets=[PAUSE, GAME_OVER], with_pause=False)
        self.assertTrue(wait_until(lambda: is_black(self.client().at(200, 10)), 10),
                        "the restart closes the curtain")
        self.storm.for_seconds(1.5, keys=300, clicks=6, targets=[PAUSE, GAME_OVER], with_pause=False)
        self.assert_alive_and_mapped("restart")
        c = self.assert_walls("after the restart")
        self.assertFalse(c.shows_button(GAME_OVER), "the Game Over button is gone")
        self.pause_and_resume("after the restart")
        self.client("after-restart")

        self.report("storm through every state")
        print(f"P answered within {latency:.2f} s of the play storm", file=sys.stderr)
        self.assertEqual(self.session.close_window(), 0, "closed in play after a restart")

    def test_closed_during_the_curtain(self):
        self.start(seed=2)
        # P included, and a key is down at the close. The curtain takes 2.8 s
        # to open: one burst, then P holds it, however slowly the machine runs.
        self.storm.burst(keys=300, clicks=4, targets=[PAUSE, GAME_OVER])
        self.session.key("p")
        self.assertIsNotNone(self.wait_face(PAUSE, True, 20), "P pauses")
        self.session.run(["xdotool", "keydown", "Down"])
        self.assertTrue(is_black(self.client().at(200, 10)), "still in the curtain")
        self.assert_alive_and_mapped("curtain")
        self.assertEqual(self.session.close_window(), 0, "closed during the curtain")

    def test_closed_while_paused(self):
        self.start(seed=3)
        c = self.assert_walls("after the curtain")
        # Auto-repeat reaches the game: Left held for a second takes the first
        # piece from its spawn column to the left wall, three columns or
        # more away, where one press moves it by one.
        left_column = [cell_centre(row, 1) for row in range(1, 21)]
        self.assertTrue(all(is_yellow(c.at(*p)) for p in left_column), "nothing at the left wall yet")
        # The whole piece in the well, where it can move: its lowest block
        # in row 5 or lower.
        self.assertTrue(wait_until(lambda: self.client().lowest_piece_row() >= px(5 * CELL + 50),
                                   20), "the piece comes into the well")
        self.storm.hold(["Left"], 1.0)
        self.assertTrue(wait_until(lambda: any(not is_yellow(self.client().at(*p))
                                               for p in left_column), 10),
                        "a held Left brings the piece to the wall")
        self.client("held-left")

        self.storm.for_seconds(1.0, keys=400, clicks=4, avoid=[PAUSE, GAME_OVER], with_tab=False)
        self.session.key("p")
        self.assertIsNotNone(self.wait_face(PAUSE, True, 20), "P pauses")
        self.storm.for_seconds(1.0, keys=400, clicks=4, avoid=[PAUSE, GAME_OVER], with_tab=False)
        self.session.run(["xdotool", "keydown", "p"])  # held, repeating, at the close
        self.assert_alive_and_mapped("paused")
        self.assertTrue(self.face(PAUSE), "still paused")
        self.assertEqual(self.session.close_window(), 0, "closed while paused")

    def test_closed_after_game_over(self):
        self.start(seed=4)
        self.assertTrue(self.play_to_game_over(), "held Down ends the game")
        self.storm.for_seconds(1.0, keys=400, clicks=4, targets=[PAUSE], avoid=[GAME_OVER],
                               with_tab=False)
        self.assert_alive_and_mapped("game over")
        self.assertTrue(self.face(GAME_OVER), "the game stays over")
        self.assertEqual(self.session.close_window(), 0, "closed after game over")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
