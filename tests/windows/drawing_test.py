#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The same scenes drawn by the Windows view and by the desktop view: a
headless game from a fixed seed, moved on by the same clock steps and keys
as the page's cross-view check (tests/web/crossview.test.mjs, whose scenes
are read from it), drawn by the Windows view's GDI canvas into a memory
bitmap under Wine and by the desktop view on Qt's offscreen platform. The
pictures must agree cell by cell; glyphs may differ by their hinting. The
Windows renderer draws with no window: it imports no user32 at all.

Usage: drawing_test.py VORLANE_WINDOWS_SCENE VORLANE_DESKTOP_SCENE SCREENSHOT_DIR OBJDUMP
"""

import os
import re
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "e2e"))
from xsession import Screenshot  # noqa: E402  (a binary PPM read as pixels)

CROSSVIEW = os.path.join(HERE, "..", "web", "crossview.test.mjs")
WINDOWS_SCENE, DESKTOP_SCENE, SHOTS, OBJDUMP = sys.argv[1:5] if len(sys.argv) >= 5 else ("",) * 4
BLACK = (0, 0, 0)


def shared_scenes():
    """The seed and the scenes {name: (steps, compare rectangles)} of the
    page's cross-view check."""
    with open(CROSSVIEW, encoding="utf-8") as f:
        text = f.read()
    seed = re.search(r"const seed = '([^']+)'", text).group(1)
    scenes = {name: (re.sub(r"'\s*\n\s*'", "", steps), flag == "true") for name, steps, flag in
              re.findall(r"(\w+): \{steps: '([^']*)',\s*rectangles: (true|false)[^}]*\}", text)}
    return seed, scenes


def picture(path):
    with open(path, "rb") as f:
        return Screenshot(f.read())


def near(a, b, tolerance):
    return a is not None and b is not None and all(abs(p - q) <= tolerance for p, q in zip(a, b))


def summary(picture, box):
    """The area's most common colour other than black, and its black share."""
    counts, black, total = {}, 0, 0
    for y in range(box[1], box[1] + box[3]):
        for x in range(box[0], box[0] + box[2]):
            p = picture.pixel(x, y)
            total += 1
            if near(p, BLACK, 40):
                black += 1
            else:
                counts[p] = counts.get(p, 0) + 1
    colour = max(counts, key=counts.get) if counts else None
    return colour, black / max(total, 1)


def mean(picture, x0, y0, size):
    m = [0.0, 0.0, 0.0]
    for y in range(y0, y0 + size):
        for x in range(x0, x0 + size):
            for k, v in enumerate(picture.pixel(x, y)):
                m[k] += v / (size * size)
    return m


class DrawingTest(unittest.TestCase):
    def windows_scenes(self, seed, scenes):
        """Every scene's picture and visible controls from one run of the
        Windows renderer: {name: (Screenshot, [control])}."""
        files = {name: os.path.join(SHOTS, f"windows-scene-{name}.ppm") for name in scenes}
        args = [a for name, (steps, _) in scenes.items() for a in (steps, files[name])]
        out = subprocess.run(["wine", WINDOWS_SCENE, seed, *args], check=True, capture_output=True,
                             text=True, timeout=120).stdout
        controls = {}
        for line in out.strip().splitlines():
            if line.startswith("scene "):
                current = controls.setdefault(line.split(" ", 1)[1], [])
                continue
            kind, x, y, w, h, control = line.split()
            current.append({"kind": kind, "x": int(x), "y": int(y), "w": int(w), "h": int(h),
                            "name": control})
        return {name: (picture(files[name]), controls[files[name]]) for name in scenes}

    def desktop_scene(self, name, seed, steps):
        desktop_file = os.path.join(SHOTS, f"qt-scene-{name}.ppm")
        out = subprocess.run([DESKTOP_SCENE, seed, steps, desktop_file], check=True, capture_output=True,
                             text=True, timeout=60,
                             env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
        qt_labels = {label: int(w) for label, w, _ in
                     (line.split() for line in out.strip().splitlines())}
        return picture(desktop_file), qt_labels

    def test_the_windows_renderer_needs_no_window_system(self):
        dump = subprocess.run([OBJDUMP, "-p", WINDOWS_SCENE], check=True, capture_output=True,
                              text=True).stdout
        dlls = {line.split(":")[1].strip().lower() for line in dump.splitlines()
                if "DLL Name:" in line}
        self.assertIn("gdi32.dll", dlls)
        self.assertNotIn("user32.dll", dlls, "GDI alone draws the scenes")

    def test_scenes_look_the_same_in_both_views(self):
        self.assertTrue(DESKTOP_SCENE and os.path.isfile(DESKTOP_SCENE),
                        f"the desktop scene renderer is built: {DESKTOP_SCENE!r}")
        os.makedirs(SHOTS, exist_ok=True)
        seed, scenes = shared_scenes()
        self.assertEqual(len(scenes), 3, "the three scenes of the cross-view check")
        windows = self.windows_scenes(seed, scenes)
        for name, (steps, rectangles) in scenes.items():
            with self.subTest(scene=name):
                self.compare(name, windows[name], self.desktop_scene(name, seed, steps), rectangles)

    def compare(self, name, windows, desktop, rectangles):
        (win, controls), (qt, qt_labels) = windows, desktop
        self.assertEqual((win.width, win.height), (qt.width, qt.height), "same size")

        # Every rectangle on show: the same fill and hatch inside its
        # border, the hatch lines where the desktop's are, the same border.
        rects = [c for c in controls if c["kind"] == "R"] if rectangles else []
        if rectangles:
            self.assertGreaterEqual(len(rects), 75, "walls, blocks and the preview are on show")
        for r in rects:
            inside = (r["x"] + 5, r["y"] + 5, r["w"] - 10, r["h"] - 10)
            (a, a_black), (b, b_black) = summary(win, inside), summary(qt, inside)
            where = f"{name}: {r['name']} at {r['x']},{r['y']}"
            self.assertTrue(near(a, b, 6), f"{where}: fill {a} on Windows, {b} on the desktop")
            self.assertLess(abs(a_black - b_black), 0.08, f"{where}: hatch")
            same = all_ = 0
            for y in range(inside[1], inside[1] + inside[3]):
                for x in range(inside[0], inside[0] + inside[2]):
                    same += near(win.pixel(x, y), BLACK, 40) == near(qt.pixel(x, y), BLACK, 40)
                    all_ += 1
            self.assertGreaterEqual(same / all_, 0.9, f"{where}: hatch lines agree")
            edge = (r["x"] + 1, r["y"] + 1, 2, r["h"] - 2)
            self.assertTrue(near(summary(win, edge)[0], summary(qt, edge)[0], 6), f"{where}: border")

        # The labels sized themselves to their captions in the same faces.
        labels = [c for c in controls if c["kind"] == "L"]
        self.assertEqual(len(qt_labels), 5, "the five labels are compared")
        for label, width in qt_labels.items():
            mine = next((c for c in labels if c["name"] == label), None)
            self.assertTrue(mine and abs(mine["w"] - width) <= 2,
                            f"{name}: {label} {mine and mine['w']} pixels wide on Windows, "
                            f"{width} on the desktop")

        # The whole picture in squares of a cell, text left out.
        def in_label(x, y, s):
            return any(x < lb["x"] + lb["w"] and lb["x"] < x + s and y < lb["y"] + lb["h"] and
                       lb["y"] < y + s for lb in labels)
        step, squares = 10, 0
        for y in range(0, win.height - step + 1, step):
            for x in range(0, win.width - step + 1, step):
                if in_label(x, y, step):
                    continue
                a, b = mean(win, x, y, step), mean(qt, x, y, step)
                self.assertTrue(near(a, b, 14), f"{name}: square at {x},{y}: "
                                f"{[round(v) for v in a]} on Windows, {[round(v) for v in b]} "
                                "on the desktop")
                squares += 1
        self.assertGreater(squares, 1200, "most of the picture is compared")


if __name__ == "__main__":
    unittest.main(argv=sys.argv[:1])
