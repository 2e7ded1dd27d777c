#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""The Windows program's figures under Wine, against a bare Win32 window
that does the same 50 ms timer and a small repaint (bench/windows/):
processor time while playing, wake-ups per timer tick, start-up to the
first frame, and the program's size. bench/run.py calls windows(table,
build) with the Windows build tree; alone:

    bench/windows_bench.py build/windows

Runs on the Windows tests' Wine and Xvfb (tests/windows/wine_session.sh),
which it starts and stops. Exits 1 when a budget is not met.
"""

import glob
import os
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from xsession import GAME_OVER, Client, Screenshot, send_delete_window  # noqa: E402

SESSION = os.path.join(HERE, "..", "tests", "windows", "wine_session.sh")
MiB = 1024 * 1024


def cpu_ns(pid):
    """Processor time of all the process's threads so far, in ns."""
    total = 0
    for stat in glob.glob(f"/proc/{pid}/task/*/schedstat"):
        try:
            with open(stat, encoding="ascii") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError):
            pass
    return total


def wineserver(prefix):
    """The pid of the wineserver that serves `prefix`."""
    for environ in glob.glob("/proc/[0-9]*/environ"):
        pid = environ.split("/")[2]
        try:
            with open(f"/proc/{pid}/comm", encoding="ascii") as f:
                if not f.read().startswith("wineserver"):
                    continue
            with open(environ, "rb") as f:
                if f"WINEPREFIX={prefix}".encode() in f.read().split(b"\0"):
                    return int(pid)
        except OSError:
            pass
    raise RuntimeError("no wineserver for " + prefix)


class Wine:
    def __init__(self, build):
        self.prefix = os.path.join(os.path.abspath(build), "wine")
        self.env = dict(os.environ, WINEPREFIX=self.prefix, WINEDEBUG="-all")

    def __enter__(self):
        subprocess.run([SESSION, "start"], env=self.env, check=True)
        with open(self.prefix + ".display", encoding="ascii") as f:
            self.env["DISPLAY"] = ":" + f.read().strip()
        self.server = wineserver(self.prefix)
        return self

    def __exit__(self, *exc):
        subprocess.run([SESSION, "stop"], env=self.env, check=False)

    def start(self, program, measure_file):
        return subprocess.Popen(["wine", program], env=dict(self.env, VORLANE_MEASURE_FILE=measure_file),
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def first_frame_s(self, program, tmp):
        """From the start of the program to its first frame on screen."""
        mark = os.path.join(tmp, "first-frame")
        if os.path.exists(mark):
            os.remove(mark)
        begun = time.monotonic()
        game = self.start(program, mark)
        while not os.path.exists(mark):
            if game.poll() is not None or time.monotonic() - begun > 30:
                raise RuntimeError(f"{program} showed no frame")
            time.sleep(0.002)
        took = time.monotonic() - begun
        game.kill()
        game.wait()
        # Wine tears a process down after it has gone (its server and
        # desktop let go of its windows): the next start waits for that, so
        # that it does not pay for this one's teardown.
        time.sleep(0.4)
        return took

    def window(self, name):
        out = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--name", name],
                             env=self.env, check=True, capture_output=True, text=True, timeout=30)
        return out.stdout.split()[0]

    def playing_cpu_s(self, program, name, tmp, settle_s, span_s):
        """Processor time of the program and the wineserver over `span_s`
        seconds after `settle_s`; and what the program wrote when closed."""
        stats = os.path.join(tmp, "stats")
        game = self.start(program, stats)
        window = self.window(name)
        time.sleep(settle_s)
        before = cpu_ns(game.pid) + cpu_ns(self.server)
        time.sleep(span_s)
        used = cpu_ns(game.pid) + cpu_ns(self.server) - before
        shot = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window], env=self.env,
                              check=True, capture_output=True, text=True).stdout
        g = dict(line.split("=", 1) for line in shot.split())
        ppm = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=self.env,
                             check=True, capture_output=True).stdout
        over = Client(Screenshot(ppm), (int(g["X"]), int(g["Y"]))).shows_button(GAME_OVER)
        send_delete_window(self.env["DISPLAY"], int(window))
        game.wait(timeout=20)
        written = {}
        if os.path.exists(stats):
            with open(stats, encoding="ascii") as f:
                written = dict(line.split() for line in f if len(line.split()) == 2)
        return used / 1e9, written, over


def windows(table, build, rounds=15, cpu_rounds=3, settle_s=5.0, span_s=8.0):
    game = os.path.join(build, "bench", "windows", "vorlane_measured.exe")
    bare = os.path.join(build, "bench", "windows", "bare_window.exe")
    shipped = os.path.join(build, "src", "windows", "vorlane.exe")
    zipped = glob.glob(os.path.join(build, "vorlane-*-windows-x64.zip"))
    size = os.path.getsize(shipped)
    table.add("Windows: vorlane.exe size", "<= 1.50 MiB",
              f"{size / MiB:.2f} MiB" + (f", zip {os.path.getsize(zipped[0]) / MiB:.2f} MiB"
                                         if zipped else ""), size <= 1.5 * MiB)
    with Wine(build) as wine, tempfile.TemporaryDirectory() as tmp:
        games, bares = [], []
        for _ in range(rounds):  # alternated, so that a slow moment hits both
            bares.append(wine.first_frame_s(bare, tmp))
            games.append(wine.first_frame_s(game, tmp))
        g, b = statistics.median(games), statistics.median(bares)
        table.add("Windows: start-up to first frame, over the bare window", "<= 1.2",
                  f"{g / b:.2f} ({g * 1000:.0f} ms against {b * 1000:.0f} ms, median of {rounds})",
                  g / b <= 1.2)

        bare_cpu, game_cpu, over = [], [], False
        for _ in range(cpu_rounds):  # alternated too; the medians are compared
            bare_cpu.append(wine.playing_cpu_s(bare, "^Bare window$", tmp, settle_s, span_s)[0])
            used, written, ended = wine.playing_cpu_s(game, "^Zarvex$", tmp, settle_s, span_s)
            game_cpu.append(used)
            over = over or ended
        g, b = statistics.median(game_cpu), statistics.median(bare_cpu)
        table.add("Windows: processor time while playing, over the bare window", "<= 1.3",
                  f"{g / b:.2f} ({100 * g / span_s:.2f}% against {100 * b / span_s:.2f}% of a "
                  f"core, wineserver included, median of {cpu_rounds} spans of {span_s:.0f} s)"
                  + (" [the game was over: not a playing span]" if over else ""),
                  g / b <= 1.3 and not over)
        wakeups, ticks = int(written.get("wakeups", 0)), int(written.get("ticks", 0))
        per_tick = wakeups / ticks if ticks else float("inf")
        table.add("Windows: wake-ups of the message loop per timer tick", "<= 1.5",
                  f"{per_tick:.2f} ({wakeups} over {ticks} ticks, start-up included)",
                  ticks > 0 and wakeups > 0 and per_tick <= 1.5)


def main():
    sys.path.insert(0, HERE)
    from run import Table  # noqa: E402
    table = Table()
    windows(table, sys.argv[1] if len(sys.argv) > 1 else "build/windows")
    table.print()
    return 1 if table.failed else 0


if __name__ == "__main__":
    sys.exit(main())
