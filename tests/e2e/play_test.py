"""The real game in a real X server, played with real key presses and clicks
and checked by its pixels: the curtain, the walls, falling pieces, pause,
game over and restart, and closing the window.

Usage: play_test.py PATH_TO_VORLANE [SCREENSHOT_DIR]
"""

import os
import sys
import time
import unittest

from xsession import TWIPS_PER_PIXEL, XSession, wait_until

PROGRAM = sys.argv[1] if len(sys.argv) > 1 else "build/dev/vorlane"
SHOTS = sys.argv[2] if len(sys.argv) > 2 else None

CELL = 292  # twips, from the design's client width


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


# Pause keeps its design place; Game Over is centred in the 6304 x 6484
# twips client area.
PAUSE = button_rect(1560, 240, 3015, 1935)
GAME_OVER = button_rect((6304 - 2655) / 2, (6484 - 2175) / 2, 2655, 2175)


def centre(rect):
    return (rect[0] + rect[2]) // 2, (rect[1] + rect[3]) // 2


def button_corners(rect, inset=10):
    left, top, right, bottom = rect
    return [(left + inset, top + inset), (right - 1 - inset, top + inset),
            (left + inset, bottom - 1 - inset), (right - 1 - inset, bottom - 1 - inset)]


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


# Interior of the well in client pixels: rows 1 to 20, columns 1 to 10.
WELL_X = (px(1 * CELL + 60), px(11 * CELL + 60))
WELL_Y = (px(1 * CELL + 50), px(21 * CELL + 50))


class WindowCase(unittest.TestCase):
    """A test of the real window: reads its screenshots through the client
    area, and keeps the named ones when a folder was given."""

    session = None
    origin = (0, 0)
    shots = 0

    def client(self, name=None):
        shot = self.session.screenshot()
        if SHOTS and name:
            os.makedirs(SHOTS, exist_ok=True)
            self.shots += 1
            shot.save_png(os.path.join(SHOTS, f"{self.id().split('.')[-1]}-{self.shots:02d}-{name}.png"))
        return Client(shot, self.origin)


class PlayTest(WindowCase):
    def setUp(self):
        self.session = XSession(os.path.abspath(PROGRAM)).__enter__()
        self.session.start_game()
        self.origin = self.session.geometry()[:2]
        self.shots = 0

    def tearDown(self):
        self.session.__exit__(None, None, None)

    def lowest_piece_row(self, c):
        """The lowest pixel row of the well's interior that is not empty, or -1."""
        for y in range(WELL_Y[1] - 1, WELL_Y[0], -1):
            if any(not is_yellow(c.at(x, y)) for x in range(WELL_X[0] + 2, WELL_X[1] - 2, 2)):
                return y
        return -1

    def wait_for_button(self, rect, shown, timeout):
        return wait_until(lambda: self.client().shows_button(rect) == shown, timeout)

    def test_curtain_opens_onto_the_well_and_its_walls(self):
        c = self.client("curtain-closed")
        self.assertTrue(is_black(c.at(200, 10)), "the curtain covers the window at first")
        self.assertTrue(is_black(c.at(200, 400)))
        time.sleep(3.3)  # 14 curtain steps of 200 ms
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
        time.sleep(3.2)  # the curtain has opened and the first piece is in the well
        first = self.lowest_piece_row(self.client())
        self.assertGreater(first, 0, "a piece is in the well")
        time.sleep(1.0)
        second = self.lowest_piece_row(self.client("falling"))
        self.assertGreater(second, first, "the piece falls")

        self.session.key("Left", "Left", "a")
        self.session.key("p")
        self.assertTrue(self.wait_for_button(PAUSE, True, 2), "P shows the Pause button")
        c = self.client("paused")
        frozen = self.lowest_piece_row(c)
        time.sleep(0.8)
        self.assertEqual(self.lowest_piece_row(self.client()), frozen, "nothing moves while paused")

        x, y = centre(PAUSE)
        self.session.click(self.origin[0] + x, self.origin[1] + y)
        self.assertTrue(self.wait_for_button(PAUSE, False, 2), "a click on Pause hides it")
        self.assertTrue(wait_until(lambda: self.lowest_piece_row(self.client()) > frozen, 3),
                        "the game goes on after the click")

    def test_game_over_button_restarts_the_game(self):
        time.sleep(0.8)
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
        self.assertTrue(wait_until(lambda: is_black(self.client().at(200, 10)), 2),
                        "the curtain closes again")
        time.sleep(3.3)
        c = self.client("restarted")
        self.assertFalse(c.shows_button(GAME_OVER), "the Game Over button is gone")
        self.assertGreater(c.red_share(21, 11), 0.4)
        self.assertTrue(is_yellow(c.at(*cell_centre(20, 1))), "the well is empty again")
        self.assertTrue(self.session.alive())

    def test_closing_the_window_ends_the_program(self):
        time.sleep(0.5)
        self.session.key("Left", "Right", "s", "p")
        self.assertEqual(self.session.close_window(), 0)


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1], verbosity=2)
