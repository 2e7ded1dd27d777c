# SPDX-License-Identifier: MIT
"""The real game in a real X server, played with real key presses and clicks
and checked by its pixels: the curtain, the walls, falling pieces, pause,
game over and restart, and closing the window.

Usage: play_test.py PATH_TO_VORLANE [SCREENSHOT_DIR]
"""

import sys
import time
import unittest

from xsession import (CELL, GAME_OVER, PAUSE, WindowCase, XSession, cell_centre, centre,
                      command_line, holds_for, is_black, is_button_face, is_yellow, px,
                      wait_until)

PROGRAM, _ = command_line()


class PlayTest(WindowCase):
    def setUp(self):
        self.session = XSession(PROGRAM).__enter__()
        self.session.start_game()
        self.origin = self.session.geometry()[:2]
        self.shots = 0

    def tearDown(self):
        self.session.__exit__(None, None, None)

    def lowest_piece_row(self, name=None):
        return self.client(name).lowest_piece_row()

    def wait_for_button(self, rect, shown, timeout):
        return wait_until(lambda: self.client().shows_button(rect) == shown, timeout)

    def test_curtain_opens_onto_the_well_and_its_walls(self):
        c = self.client("curtain-closed")
        self.assertTrue(is_black(c.at(200, 10)), "the curtain covers the window at first")
        self.assertTrue(is_black(c.at(200, 400)))
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")  # 14 steps of 200 ms
        c = self.client("curtain-open")
        for row, column in [(0, 0), (0, 11), (21, 0), (21, 11), (10, 0), (10, 11), (0, 5), (21, 5)]:
            self.assertGreater(c.red_share(row, column), 0.4, f"wall cell ({row}, {column})")
        for row, column in [(18, 1), (20, 10), (15, 2)]:
            self.assertTrue(is_yellow(c.at(*cell_centre(row, column))), f"empty cell ({row}, {column})")
        # The bottom-right corner cell ends where its computed place says.
        right, bottom = px(11 * CELL + 60 + CELL) - 1, px(21 * CELL + 50 + CELL) - 1
        self.assertFalse(is_yellow(c.at(right - 2, bottom - 2)))
        self.assertTrue(is_yellow(c.at(right + 3, bottom - 10)))

    def test_pieces_fall_pause_holds_them_and_the_button_resumes(self):
        first = wait_until(lambda: max(self.lowest_piece_row(), 0), 30)
        self.assertTrue(first, "a piece comes into the well")
        self.assertTrue(wait_until(lambda: self.lowest_piece_row() > first, 10), "the piece falls")
        self.client("falling")

        self.session.key("Left", "Left", "a")
        self.session.key("p")
        self.assertTrue(self.wait_for_button(PAUSE, True, 10), "P shows the Pause button")
        frozen = self.lowest_piece_row("paused")
        self.assertTrue(holds_for(lambda: self.lowest_piece_row() == frozen, 0.8),
                        "nothing moves while paused")

        x, y = centre(PAUSE)
        self.session.click(self.origin[0] + x, self.origin[1] + y)
        self.assertTrue(self.wait_for_button(PAUSE, False, 10), "a click on Pause hides it")
        self.assertTrue(wait_until(lambda: self.lowest_piece_row() > frozen, 10),
                        "the game goes on after the click")

    def button_picture(self, rect):
        left, top, right, bottom = rect
        c = self.client()
        return [c.at(x, y) for y in range(top, bottom) for x in range(left, right)]

    def settled_picture(self, rect):
        """The button's picture once two screenshots in a row agree."""
        pictures = [self.button_picture(rect)]
        wait_until(lambda: pictures.append(self.button_picture(rect)) or
                   pictures[-1] == pictures[-2], 5)
        return pictures[-1]

    def test_keyboard_alone_resumes_a_pause(self):
        first = wait_until(lambda: max(self.lowest_piece_row(), 0), 30)
        self.assertTrue(first, "a piece comes into the well")
        self.session.key("p")
        self.assertTrue(self.wait_for_button(PAUSE, True, 10), "P shows the Pause button")
        frozen = self.lowest_piece_row()
        unfocused = self.settled_picture(PAUSE)

        self.session.key("Tab")
        self.assertTrue(wait_until(lambda: self.button_picture(PAUSE) != unfocused, 10),
                        "Tab puts a visible focus on the Pause button")
        # The focus ring: the pixels Tab changed. Some lie where the button,
        # unfocused, lets the blocks behind it show, which move in between;
        # so the check below is that none of them shows the ring's colour.
        focused = self.settled_picture(PAUSE)
        ring = [k for k, (a, b) in enumerate(zip(unfocused, focused)) if a != b]
        self.client("pause-focused")
        self.assertTrue(holds_for(lambda: self.lowest_piece_row() == frozen, 0.5),
                        "still paused while the button has the focus")

        self.session.key("space")
        self.assertTrue(self.wait_for_button(PAUSE, False, 10), "Space presses Pause: it hides")
        self.assertTrue(wait_until(lambda: self.lowest_piece_row() > frozen, 10),
                        "the game goes on after Space")
        # The game's keys are back with the view: P pauses again.
        self.session.key("p")
        self.assertTrue(self.wait_for_button(PAUSE, True, 10), "P pauses again")
        again = self.button_picture(PAUSE)
        self.assertEqual([k for k in ring if again[k] == focused[k]], [],
                         "shown without the focus")

    def test_game_over_button_restarts_the_game(self):
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens")
        deadline = time.monotonic() + 120
        while time.monotonic() < deadline and not self.client().shows_button(GAME_OVER):
            self.session.key(*["Down"] * 5, delay_ms=15)
        c = self.client("game-over")
        self.assertTrue(c.shows_button(GAME_OVER), "holding Down ends the game")
        # Centred: the face ends where the button's place does.
        left, top, right, _ = GAME_OVER
        self.assertFalse(is_button_face(c.at(right + 3, top + 10)))
        self.assertFalse(is_button_face(c.at(right - 10, top - 3)))
        self.assertTrue(self.session.alive())

        self.session.click(self.origin[0] + (left + right) // 2, self.origin[1] + top + px(300))
        self.assertTrue(wait_until(lambda: is_black(self.client().at(200, 10)), 10),
                        "the curtain closes again")
        self.assertTrue(self.wait_for_open_curtain(), "the curtain opens again")
        c = self.client("restarted")
        self.assertFalse(c.shows_button(GAME_OVER), "the Game Over button is gone")
        self.assertGreater(c.red_share(21, 11), 0.4)
        self.assertTrue(is_yellow(c.at(*cell_centre(20, 1))), "the well is empty again")
        self.assertTrue(self.session.alive())

    def test_closing_the_window_ends_the_program(self):
        time.sleep(0.5)  # paces the keys: the close comes in the curtain, after them
        self.session.key("Left", "Right", "s", "p")
        self.assertEqual(self.session.close_window(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
