#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Windows program under Wine on the tests' Xvfb (wine_session.sh),
played with real key presses and clicks and checked by its pixels: the
curtain, the game's keys, pause and resume by the keyboard, game over and a
restart by the keyboard that keeps the best score, and a storm of random
keys and clicks that leaves the game answering.

Usage: play_test.py PATH_TO_VORLANE_EXE [SCREENSHOT_DIR]
"""

import os
import random
import sys
import tempfile
import time
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from xsession import (CLIENT, GAME_OVER, PAUSE, WindowCase, XSession, cell_centre,  # noqa: E402
                      command_line, holds_for, is_black, is_yellow, pinned_environment,
                      wait_until)

PROGRAM, _ = command_line()
# The counters' labels, in client pixels: left, top, right, bottom; of the
# best score the part right of the Game Over button, with its digits.
SCORE = (269, 208, 393, 232)
BEST = (300, 248, 404, 272)


class WineSession(XSession):
    """The game under Wine on the display Wine's services were started on."""

    def __enter__(self):
        prefix = os.environ["WINEPREFIX"]
        with open(prefix + ".display", encoding="ascii") as f:
            display = f.read().strip()
        self.home = tempfile.mkdtemp(prefix="vorlane-home-")
        self.env = dict(pinned_environment(self.home), DISPLAY=":" + display, WINEPREFIX=prefix,
                        WINEDEBUG="-all")
        return self

    def start_game(self, extra_env=None):
        return super().start_game(extra_env, command=["wine", self.program])


def well_cells(c):
    """The occupied cells of the well's interior, as (row, column)."""
    return {(r, k) for r in range(1, 21) for k in range(1, 11)
            if not is_yellow(c.at(*cell_centre(r, k)))}


def shape(cells):
    """The cells from their top-left corner: the same piece anywhere."""
    if not cells:
        return frozenset()
    top, left = min(r for r, _ in cells), min(k for _, k in cells)
    return frozenset((r - top, k - left) for r, k in cells)


class PlayTest(WindowCase):
    def setUp(self):
        self.session = WineSession(PROGRAM).__enter__()
        self.session.start_game()
        self.origin = self.session.geometry()[:2]
        self.shots = 0

    def tearDown(self):
        self.session.__exit__(None, None, None)

    def area(self, rect):
        left, top, right, bottom = rect
        c = self.client()
        return [c.at(x, y) for y in range(top, bottom) for x in range(left, right)]

    def piece(self):
        """The falling piece's five cells once they are all in the well
        (a piece comes in from above it), or None."""
        return wait_until(self.whole_piece, 30)

    def whole_piece(self):
        cells = well_cells(self.client())
        return cells if len(cells) == 5 else None

    def test_curtain_opens_and_the_keys_move_the_piece(self):
        c = self.client("curtain-closed")
        self.assertTrue(is_black(c.at(200, 10)), "the curtain covers the window at first")
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")
        first = self.piece()
        self.assertTrue(first, "a piece comes into the well")
        left = min(k for _, k in first)
        self.session.key("Left")
        self.assertTrue(wait_until(lambda: min(k for _, k in well_cells(self.client()))
                                   == left - 1, 5), "Left shifts the piece a column")
        self.session.key("Right", "Right")
        self.assertTrue(wait_until(lambda: min(k for _, k in well_cells(self.client()))
                                   == left + 1, 5), "Right shifts it back and on")
        before = shape(self.piece())
        self.session.key("a")
        turned = wait_until(lambda: shape(self.whole_piece() or before) != before or None, 5)
        if shape({(k, -r) for r, k in before}) == before:
            self.assertIsNone(turned, "a piece that turns into itself looks the same")
        else:
            self.assertTrue(turned, "A turns the piece")
            self.session.key("s")
            self.assertTrue(wait_until(lambda: shape(self.whole_piece() or ()) == before, 5),
                            "S turns it back")
        self.client("moved")
        self.session.key("Down")
        self.assertTrue(wait_until(lambda: max(r for r, _ in well_cells(self.client())) == 20, 5),
                        "Down lets the piece fall to the floor")

    def test_p_pauses_and_tab_then_space_resumes(self):
        self.assertTrue(self.piece(), "a piece comes into the well")
        self.session.key("p")
        self.assertTrue(wait_until(lambda: self.client().shows_button(PAUSE), 10),
                        "P shows the Pause button")
        frozen = well_cells(self.client("paused"))
        self.assertTrue(holds_for(lambda: well_cells(self.client()) == frozen, 1.0),
                        "nothing moves while paused")
        unfocused = self.area(PAUSE)
        self.session.key("Tab")
        self.assertTrue(wait_until(lambda: self.area(PAUSE) != unfocused, 5),
                        "Tab puts a visible focus on the Pause button")
        self.client("pause-focused")
        self.session.key("space")
        self.assertTrue(wait_until(lambda: not self.client().shows_button(PAUSE), 5),
                        "Space presses Pause: it hides")
        self.assertTrue(wait_until(lambda: well_cells(self.client()) != frozen, 10),
                        "the game goes on")
        self.session.key("p")
        self.assertTrue(wait_until(lambda: self.client().shows_button(PAUSE), 10),
                        "the keys are the game's again: P pauses")

    def test_game_over_then_tab_and_enter_restart_keeping_the_best_score(self):
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")
        zero_score, zero_best = self.area(SCORE), self.area(BEST)
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline and not self.client().shows_button(GAME_OVER):
            self.session.key(*["Down"] * 5, delay_ms=15)
        self.assertTrue(self.client("game-over").shows_button(GAME_OVER), "Down ends the game")
        best = self.area(BEST)
        self.assertNotEqual(best, zero_best, "the locked pieces scored")
        self.session.key("Tab")
        time.sleep(0.2)  # paces the keys: Enter goes to the button Tab gave the focus
        self.session.key("Return")
        self.assertTrue(wait_until(lambda: is_black(self.client().at(200, 10)), 10),
                        "the curtain closes again")
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens again")
        c = self.client("restarted")
        self.assertFalse(c.shows_button(GAME_OVER), "the Game Over button is gone")
        self.assertTrue(is_yellow(c.at(*cell_centre(20, 1))), "the well is empty again")
        self.assertEqual(self.area(SCORE), zero_score, "the score starts again from nought")
        self.assertEqual(self.area(BEST), best, "the best score is kept")

    def test_a_storm_of_keys_and_clicks_leaves_it_answering(self):
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")
        keys = ["Left", "Right", "Down", "a", "s", "p", "Tab", "shift+Tab", "space", "Return",
                "Escape", "q", "1", "F1", "ctrl+a", "alt", "Up", "BackSpace"]
        rng = random.Random(25)
        for _ in range(40):
            if rng.random() < 0.2:
                self.session.click(self.origin[0] + rng.randrange(CLIENT[0]),
                                   self.origin[1] + rng.randrange(CLIENT[1]))
            else:
                self.session.key(*rng.choices(keys, k=5), delay_ms=5)
        self.assertTrue(self.session.alive(), "the program is still running")
        self.client("after-storm")

        # Whatever state it was left in, the keyboard brings it back to play.
        def playing():
            c = self.client()
            if c.shows_button(GAME_OVER) or c.shows_button(PAUSE):
                self.session.key("Tab")
                time.sleep(0.2)
                self.session.key("Return")
                return False
            return c.curtain_open()
        self.assertTrue(wait_until(playing, 30, interval=0.5), "back in play")
        before = well_cells(self.client())
        self.assertTrue(wait_until(lambda: well_cells(self.client()) != before, 10),
                        "the game goes on")
        self.assertTrue(self.session.alive())


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
