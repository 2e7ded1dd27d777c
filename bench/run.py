#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Runs every benchmark of the game and prints one table: figure, budget,
measured, pass. `make bench` builds the programs and calls this.

Usage: bench/run.py BUILD_DIR [WINDOWS_BUILD_DIR] [--quick] [--write-docs]
  --write-docs puts the table at the top of docs/performance.md when every
  budget is met.

What it runs (docs/performance.md explains each figure):
  - bench_model (Google Benchmark): wall and processor time per operation of
    the headless model, and whole games in ticks per second;
  - tick_instructions under callgrind: instructions per gravity tick, with
    and without a lock that removes four rows;
  - vorlane_alloc_tests: heap allocations per gravity tick, spawn and lock;
  - bench_paint (offscreen): one tick's repaint against a full repaint, in
    instructions under callgrind (the gate) and in time;
  - under a private Xvfb: start-up to the first frame against bare_window,
    the resident memory of both, and a scripted game (play, pause, game
    over) for processor time, wake-ups and the gravity timer's period;
  - the page in headless Chromium (web_bench.mjs);
  - the Windows program under Wine against a bare Win32 window
    (windows_bench.py).

Exits 1 when a budget is not met, 2 when a measurement could not be made.
"""

import glob
import json
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "tests", "e2e"))
from xsession import GAME_OVER, PAUSE, Client, XSession, centre, wait_until  # noqa: E402
import windows_bench  # noqa: E402  (the Windows program under Wine)

CLK_TCK = os.sysconf("SC_CLK_TCK")


# --- The table ---------------------------------------------------------------

class Table:
    def __init__(self):
        self.rows = []
        self.failed = False

    def add(self, figure, budget, measured, ok=None):
        """ok: True or False against the budget, None for a figure without one."""
        verdict = "-" if ok is None else ("PASS" if ok else "FAIL")
        self.failed = self.failed or ok is False
        self.rows.append((figure, budget, measured, verdict))
        print(f"  {figure}: {measured}  [{verdict}]", file=sys.stderr, flush=True)

    def lines(self):
        head = ("figure", "budget", "measured", "pass")
        widths = [max(len(str(r[k])) for r in [head] + self.rows) for k in range(4)]
        line = "+-" + "-+-".join("-" * w for w in widths) + "-+"
        fmt = "| " + " | ".join("{:<%d}" % w for w in widths) + " |"
        return [line, fmt.format(*head), line, *(fmt.format(*r) for r in self.rows), line]

    def print(self):
        print("\n".join(self.lines()))


# Where --write-docs puts the table: between these lines of the document.
DOCS = os.path.join(HERE, "..", "docs", "performance.md")
DOCS_BEGIN = "<!-- bench table: written by bench/run.py --write-docs -->"
DOCS_END = "<!-- end of bench table -->"


def write_docs(table, heading):
    with open(DOCS) as f:
        text = f.read()
    begin, end = text.index(DOCS_BEGIN) + len(DOCS_BEGIN), text.index(DOCS_END)
    body = "\n".join(["", heading, "", "```text", *table.lines(), "```", ""])
    with open(DOCS, "w") as f:
        f.write(text[:begin] + body + text[end:])


def step(title):
    print(f"== {title}", file=sys.stderr, flush=True)


# --- The headless model -------------------------------------------------------

def model(table, build, quick):
    step("model: Google Benchmark")
    out = subprocess.run(
        [os.path.join(build, "bench", "bench_model"), "--benchmark_format=json",
         f"--benchmark_min_time={0.1 if quick else 0.5}"],
        check=True, capture_output=True, text=True).stdout
    runs = {b["name"]: b for b in json.loads(out)["benchmarks"]}

    def ns(name):
        b = runs[name]
        scale = {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
        return b["real_time"] * scale, b["cpu_time"] * scale

    for name, figure in [("BM_Drop", "drop, alone"),
                         ("BM_GravityTick", "gravity tick without a lock"),
                         ("BM_LockFourRows", "tick with a lock removing 4 rows"),
                         ("BM_Change", "change (spawn)")]:
        real, cpu = ns(name)
        table.add(f"model: {figure}, time per op", "-", f"{real:,.0f} ns wall, {cpu:,.0f} ns cpu")
    table.add("model: whole games, begin to game over", "-",
              f"{runs['BM_WholeGame']['ticks/s'] / 1e6:.2f} M ticks/s of cpu time")


def budget_of(measured):
    """A deterministic figure's budget: the measured figure plus 10 %."""
    return round(measured * 1.1)


def callgrind_total(args, env=None):
    """The instructions a whole run of `args` executes, counted by callgrind:
    the same from run to run, whatever else the machine is doing."""
    with tempfile.TemporaryDirectory() as tmp:
        out_file = os.path.join(tmp, "callgrind.out")
        subprocess.run(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out_file}", *args],
                       check=True, capture_output=True, text=True, env=env)
        with open(out_file) as f:
            return next(int(line.split()[1]) for line in f if line.startswith("totals:"))


def instructions(table, build, quick):
    step("model: instructions per tick under callgrind")
    if shutil.which("valgrind") is None:
        table.add("instructions per tick", "", "valgrind missing", False)
        return
    # Instruction counts are the same from run to run: each budget is the
    # figure measured when it was set plus 10 %, room for a harmless change
    # and none for a real regression (docs/performance.md).
    budgets = {"gravity": ("gravity tick without a lock: instructions", budget_of(1680)),
               "lock": ("tick with a lock removing 4 rows: instructions", budget_of(53690))}
    n = 200 if quick else 1000
    for kind, (figure, budget) in budgets.items():
        total = callgrind_total(["--toggle-collect=*measuredTick*",
                                 os.path.join(build, "bench", "tick_instructions"), kind, str(n)])
        per_tick = total / n
        table.add(figure, f"<= {budget:,}", f"{per_tick:,.0f}", per_tick <= budget)


def allocations(table, build):
    step("model: heap allocations")
    program = os.path.join(build, "tests", "vorlane_alloc_tests")
    result = subprocess.run([program, "--gtest_brief=1"], capture_output=True, text=True)
    for test, figure in [("AGravityTickMakesNone", "heap allocations per gravity tick"),
                         ("ASpawnMakesNone", "heap allocations per spawn"),
                         ("ALockThatRemovesRowsMakesNone", "heap allocations per lock")]:
        failed = re.search(rf"\[  FAILED  \] Allocations\.{test}", result.stdout)
        hook = re.search(r"\[  FAILED  \] Allocations\.TheCountingHookSeesEveryAllocation",
                         result.stdout)
        if hook:
            table.add(figure, "0", "counting hook broken", False)
        elif failed:
            counts = re.findall(r"Which is: (\d+)", result.stdout)
            table.add(figure, "0", f"> 0 (e.g. {counts[0] if counts else '?'})", False)
        else:
            table.add(figure, "0", "0", result.returncode == 0)


def painting(table, build, quick, env):
    step("painting, offscreen")
    program = os.path.join(build, "bench", "bench_paint")
    env = dict(env, QT_QPA_PLATFORM="offscreen")
    out = subprocess.run([program, "150" if quick else "600"], check=True, capture_output=True,
                         text=True, env=env).stdout
    v = dict(line.split("=", 1) for line in out.split())
    # The gate is the ratio in instructions: two runs of a few hundred ticks,
    # with and without a full repaint after each, at two sample counts; the
    # differences leave start-up out. Wall-clock times of a few microseconds
    # move with the machine's load, so their ratio is reported beside it.
    if shutil.which("valgrind") is None:
        table.add("paint one gravity tick / full repaint, instructions", "<= 0.08",
                  "valgrind missing", False)
        return
    low, high = 100, 400
    counts = {(n, mode): callgrind_total([program, str(n), *mode], env)
              for n in (low, high) for mode in ((), ("--ticks-only",))}
    tick = (counts[high, ("--ticks-only",)] - counts[low, ("--ticks-only",)]) / (high - low)
    full = (counts[high, ()] - counts[low, ()]) / (high - low) - tick
    ratio = tick / full
    table.add("paint one gravity tick / full repaint, instructions", "<= 0.08",
              f"{ratio:.3f} ({tick:,.0f} / {full:,.0f}; in time {float(v['ratio']):.3f}: "
              f"{v['tick_paint_us']} us / {v['full_paint_us']} us, "
              f"{100 * float(v['tick_area_fraction']):.1f}% of the window)",
              ratio <= 0.08)


# --- Real programs under Xvfb -------------------------------------------------

def first_frame_us(program, env):
    """Microseconds from starting `program` to its first painted frame."""
    start = time.monotonic_ns()
    out = subprocess.run([program], env=dict(env, VORLANE_EXIT_AFTER_FIRST_FRAME="1"),
                         capture_output=True, text=True, timeout=30).stdout
    match = re.search(r"first-frame-ns (\d+)", out)
    if not match:
        raise RuntimeError(f"{program} printed no first frame")
    return (int(match.group(1)) - start) / 1000


def startup(table, game, bare, env, quick):
    step("start-up to the first frame under Xvfb")
    runs = 4 if quick else 20
    first_frame_us(bare, env)  # warm the file cache for both
    first_frame_us(game, env)
    times = {"game": [], "bare": []}
    for k in range(runs):
        # Alternating, and each pair in turn led by the other program.
        order = [("bare", bare), ("game", game)] if k % 2 == 0 else [("game", game), ("bare", bare)]
        for name, program in order:
            times[name].append(first_frame_us(program, env))
    g, b = statistics.median(times["game"]), statistics.median(times["bare"])
    table.add("start-up to first frame, game / bare Qt window", "<= 1.20",
              f"{g / b:.2f} ({g / 1000:.1f} ms / {b / 1000:.1f} ms, medians of {runs})",
              g / b <= 1.2)


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


def bare_rss(bare, env):
    step("bare Qt window: resident memory")
    proc = subprocess.Popen([bare], env=env)
    try:
        time.sleep(3)
        return rss_kib(proc.pid)
    finally:
        proc.terminate()
        proc.wait()
        # A window search that meets a window being destroyed fails: the
        # next program is looked for once this one's window has gone.
        wait_until(lambda: subprocess.run(["xdotool", "search", "--name", "^Bare$"], env=env,
                                          capture_output=True).returncode != 0, 10)


class ProcessClock:
    """Processor time and context switches of a process, all its threads."""

    def __init__(self, pid):
        self.pid = pid

    def cpu_seconds(self):
        """Processor time of the threads alive now: the scheduler's own count
        in nanoseconds (schedstat) where the kernel keeps one; utime + stime
        in clock ticks of 10 ms, too coarse for a game at 1 % of a core,
        otherwise."""
        total, tasks = 0, glob.glob(f"/proc/{self.pid}/task/*/schedstat")
        for task in tasks:
            try:
                with open(task) as f:
                    total += int(f.read().split()[0])
            except (FileNotFoundError, ProcessLookupError):
                pass
        if tasks:
            return total / 1e9
        with open(f"/proc/{self.pid}/stat") as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / CLK_TCK  # utime + stime

    def switches(self):
        """{thread id: (name, voluntary + involuntary context switches)}."""
        result = {}
        for task in glob.glob(f"/proc/{self.pid}/task/*"):
            try:
                with open(task + "/comm") as f:
                    name = f.read().strip()
                with open(task + "/status") as f:
                    status = dict(line.split(":", 1) for line in f if ":" in line)
                result[task.rsplit("/", 1)[1]] = (
                    name, int(status["voluntary_ctxt_switches"]) +
                    int(status["nonvoluntary_ctxt_switches"]))
            except (FileNotFoundError, ProcessLookupError):
                pass
        return result

    def measure(self, seconds, during=None):
        """Runs `during(deadline)` (or sleeps) for `seconds`; returns the
        processor time used, the total wake-ups and those of each thread."""
        cpu0, sw0 = self.cpu_seconds(), self.switches()
        deadline = time.monotonic() + seconds
        if during:
            during(deadline)
        time.sleep(max(0.0, deadline - time.monotonic()))
        cpu1, sw1 = self.cpu_seconds(), self.switches()
        per_thread = {}
        for tid, (name, count) in sw1.items():
            before = sw0.get(tid, (name, 0))[1]
            if count - before:
                per_thread[f"{name}[{tid}]"] = count - before
        for tid, (name, _) in sw0.items():
            if tid not in sw1:  # it woke up at least to end
                per_thread[f"{name}[{tid}] (ended)"] = 1
        return cpu1 - cpu0, sum(per_thread.values()), per_thread


class Player:
    """Plays like a person at a leisurely pace: moves and turns each piece a
    few times, lets it fall a while, then drops it. It looks at the screen
    only outside the measured spans; during play it tells game over by the
    game's main thread falling still (no timer armed), which costs the game
    nothing."""

    def __init__(self, session, origin, restarts_game=True):
        self.session, self.origin = session, origin
        # The yardstick has no game over; its player looks for one all the
        # same, so that its keys come at the game's moments, but never clicks.
        self.restarts_game = restarts_game
        self.clock = ProcessClock(session.game.pid)
        self.rng = random.Random(20261208)
        self.restarts = []  # monotonic ns of each restart click

    def client(self):
        return Client(self.session.screenshot(), self.origin)

    def click(self, where):
        # A synchronous move to where the pointer already is never ends:
        # the pointer leaves first.
        self.session.run(["xdotool", "mousemove", "0", "0"])
        self.session.click(self.origin[0] + where[0], self.origin[1] + where[1])

    def still(self, seconds=0.3):
        """Whether the game's main thread slept through `seconds`: no timer is armed."""
        before = self.clock.switches().get(str(self.session.game.pid))
        time.sleep(seconds)
        return before == self.clock.switches().get(str(self.session.game.pid))

    def play_until(self, deadline):
        def rest(seconds):
            time.sleep(min(seconds, max(0.0, deadline - time.monotonic())))

        while time.monotonic() < deadline:
            side = self.rng.choice(["Left", "Right"])
            keys = [side] * self.rng.randint(0, 4) + [self.rng.choice(["a", "s"])] * self.rng.randint(0, 2)
            if keys:
                self.session.key(*keys, delay_ms=120)
            rest(1.5)
            if time.monotonic() >= deadline:
                break
            self.session.key("Down")
            rest(1.2)
            over = time.monotonic() < deadline and self.still()
            if over and self.restarts_game:  # game over: start again
                self.restarts.append(time.monotonic_ns())
                self.click(centre(GAME_OVER))

    def pause(self):
        self.session.key("p")
        return wait_until(lambda: self.client().shows_button(PAUSE), 5)

    def resume(self):
        self.click(centre(PAUSE))
        return wait_until(lambda: not self.client().shows_button(PAUSE), 5)

    def end_game(self, timeout=120):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            self.session.key(*["Down"] * 5, delay_ms=15)
            if self.still(0.4):
                return self.client().shows_button(GAME_OVER)
        return False


def percentile(values, p):
    ordered = sorted(values)
    return ordered[min(len(ordered) - 1, int(round(p / 100 * (len(ordered) - 1))))]


class Beside:
    """The session's keys, clicks and screen, aimed at another program
    started in it (the yardstick), for a Player."""

    def __init__(self, session, process):
        self.game = process
        self.run, self.key, self.click = session.run, session.key, session.click
        self.screenshot = session.screenshot


def yardstick_play(session, program, seconds):
    """Starts the yardstick in the session's X server, plays it for
    `seconds` with the same keys as the game and closes it; returns what
    ProcessClock.measure returns."""
    process = subprocess.Popen([program], env=session.env)
    try:
        window = session.run(["xdotool", "search", "--sync", "--onlyvisible", "--name",
                              "^Yardstick$"], timeout=30).split()[0]
        session.run(["xdotool", "windowfocus", "--sync", window])
        time.sleep(1)  # its first frames are out
        player = Player(Beside(session, process), (0, 0), restarts_game=False)
        return ProcessClock(process.pid).measure(seconds, player.play_until)
    finally:
        process.terminate()
        process.wait()


def session(table, game, yardstick, bare, env, quick):
    # Rounds of the game and the yardstick in turn, each played with the same
    # keys; then more play, up to play_s in all, before the memory figure.
    rounds, span_s, play_s, hold_s = (1, 6, 12, 8) if quick else (3, 10, 60, 30)
    step(f"the game under Xvfb: {rounds} x {span_s} s of play beside the yardstick, "
         f"{play_s} s of play in all, {hold_s} s paused, {hold_s} s after game over")
    with tempfile.TemporaryDirectory() as tmp:
        tick_log = os.path.join(tmp, "ticks")
        with XSession(game) as s:
            s.env.update(env)
            bare_kib = bare_rss(bare, s.env)
            s.start_game({"VORLANE_TICK_LOG": tick_log})
            origin = s.geometry()[:2]
            clock = ProcessClock(s.game.pid)
            player = Player(s, origin)
            time.sleep(4)  # the intro and the curtain are over

            spans, restarts, game_runs, stick_runs = [], [], [], []
            for _ in range(rounds):
                keys = Player(s, origin)  # the same seed, so the same keys, each time
                start = time.monotonic_ns()
                game_runs.append(clock.measure(span_s, keys.play_until))
                spans.append((start, time.monotonic_ns()))
                restarts += keys.restarts
                if not player.pause():
                    raise RuntimeError("P did not pause the game")
                stick_runs.append(yardstick_play(s, yardstick, span_s))
                s.run(["xdotool", "windowfocus", "--sync", s.window])
                if not player.resume():
                    raise RuntimeError("the game did not resume")
            start = time.monotonic_ns()
            player.play_until(time.monotonic() + play_s - rounds * span_s)
            spans.append((start, time.monotonic_ns()))
            restarts += player.restarts
            game_kib = rss_kib(s.game.pid)
            table.add(f"resident memory after {play_s} s of play vs bare Qt window",
                      "<= bare + 10 MiB",
                      f"{game_kib / 1024:.1f} MiB vs {bare_kib / 1024:.1f} MiB "
                      f"(+{(game_kib - bare_kib) / 1024:.1f} MiB)",
                      game_kib - bare_kib <= 10 * 1024)

            if not player.pause():
                raise RuntimeError("P did not pause the game")
            time.sleep(1)  # the repaint of the button goes out
            cpu, wakeups, threads = clock.measure(hold_s)
            table.add(f"wake-ups while paused ({hold_s} s)", "0",
                      f"{wakeups} ({100 * cpu / hold_s:.2f}% cpu){describe(threads)}", wakeups == 0)

            if not player.resume() or not player.end_game():
                raise RuntimeError("could not bring the game to its end")
            time.sleep(1)
            cpu, wakeups, threads = clock.measure(hold_s)
            table.add(f"wake-ups after game over ({hold_s} s)", "0",
                      f"{wakeups} ({100 * cpu / hold_s:.2f}% cpu){describe(threads)}", wakeups == 0)
            if s.close_window() != 0:
                raise RuntimeError("the game did not exit cleanly")
        with open(tick_log) as f:
            ticks = [int(line) for line in f if line.strip()]

    # Processor time and wake-ups while playing, against the yardstick.
    game_cpu = sum(r[0] for r in game_runs) / (rounds * span_s)
    stick_cpu = sum(r[0] for r in stick_runs) / (rounds * span_s)
    ratio = game_cpu / stick_cpu
    each = ", ".join(f"{100 * g[0] / span_s:.2f}/{100 * y[0] / span_s:.2f}"
                     for g, y in zip(game_runs, stick_runs))
    table.add(f"processor time while playing, game / yardstick ({rounds} x {span_s} s each, "
              "same keys)", "<= 0.80",
              f"{ratio:.2f} ({100 * game_cpu:.2f}% / {100 * stick_cpu:.2f}% of a core; "
              f"rounds {each})", ratio <= 0.8)
    gravity = sum(1 for t in ticks for a, b in spans[:rounds] if a <= t < b)
    woken = sum(r[1] for r in game_runs)
    threads = {}
    for r in game_runs:
        for name, count in r[2].items():
            key = re.sub(r"\[\d+\]", "", name)
            threads[key] = threads.get(key, 0) + count
    per_tick = woken / max(gravity, 1)
    table.add("wake-ups per gravity tick while playing", "<= 2.5",
              f"{per_tick:.2f} ({woken / (rounds * span_s):.0f}/s over {gravity} ticks"
              f"{describe(threads)}; yardstick "
              f"{sum(r[1] for r in stick_runs) / (rounds * span_s):.0f}/s)",
              gravity > 0 and per_tick <= 2.5)

    periods = []
    for a, b in zip(ticks, ticks[1:]):
        within = any(start <= a and b <= end for start, end in spans)
        if within and not any(a < r < b for r in restarts):
            periods.append((b - a) / 1e6)
    if len(periods) < 50:
        raise RuntimeError(f"only {len(periods)} gravity periods logged")
    median = statistics.median(periods)
    p99 = percentile([abs(p - 50) for p in periods], 99)
    table.add("gravity period, median", "50 +- 0.5 ms", f"{median:.3f} ms ({len(periods)} periods)",
              abs(median - 50) <= 0.5)
    table.add("gravity period, 99th percentile of |period - 50 ms|", "<= 2 ms",
              f"{p99:.3f} ms (min {min(periods):.2f}, max {max(periods):.2f} ms"
              f"{', ' + str(len(restarts)) + ' restarts' if restarts else ''})",
              p99 <= 2)


# --- The web page ---------------------------------------------------------------

def web(table, quick):
    """The page in headless Chromium (bench/web_bench.mjs): what a first
    visit transfers, the first frame on a phone's profile (first visit
    against a floor page, and repeat visit), the first visit's blocking time
    and layout shift, Lighthouse's mobile audit, processor time while
    playing against a floor page, and what is pending while paused."""
    step("web page in headless Chromium")
    site = os.path.join(HERE, "..", "build", "web")
    if not os.path.exists(os.path.join(site, "vorlane.wasm")):
        table.add("web page", "", "build/web missing (make web)", False)
        return
    args = ["node", os.path.join(HERE, "web_bench.mjs"), site] + (["--quick"] if quick else [])
    out = subprocess.run(args, check=True, capture_output=True, text=True, timeout=900).stdout
    r = json.loads(out.strip().splitlines()[-1])
    sizes = r["sizes"]
    parts = sizes["parts"]
    table.add(f"web first visit's transfer: every file of the site ({sizes['files']}), gzip", "<= 120 KiB",
              f"{sizes['total'] / 1024:.1f} KiB (code {parts['code'] / 1024:.1f}, fonts "
              f"{parts['fonts'] / 1024:.1f}, icons {parts['icons'] / 1024:.1f}, licences "
              f"{parts['licences'] / 1024:.1f}; .wasm {sizes['each']['vorlane.wasm'] / 1024:.1f})",
              sizes["total"] <= 120 * 1024)
    ph = r["phone"]
    profile = "4x slower CPU, 1.6 Mbit/s, 150 ms RTT"
    frame = ph["first"] / ph["floor"]
    table.add(f"web first frame on a phone ({profile}), first visit, page / floor page",
              "<= 1.6", f"{frame:.2f} ({ph['first'] / 1000:.2f} s / {ph['floor'] / 1000:.2f} s, medians of "
              f"{ph['runs']}: {', '.join(str(v) for v in ph['firsts'])} / "
              f"{', '.join(str(v) for v in ph['floors'])} ms)", frame <= 1.6)
    table.add("web first frame on the phone, repeat visit from the service worker", "-",
              f"{ph['repeat'] / 1000:.2f} s (median of {ph['runs']}: "
              f"{', '.join(str(v) for v in ph['repeats'])} ms)"
              + ("" if ph["served"] else "; NOT served by the service worker"))
    table.add("web main-thread blocking on the phone's first visit (long tasks past 50 ms, "
              "to a second after the first frame)", "<= 100 ms",
              f"{ph['blockingMs']:.0f} ms (median of {ph['runs']}: "
              f"{', '.join(str(v) for v in ph['blockings'])} ms)", ph["blockingMs"] <= 100)
    table.add("web cumulative layout shift on the phone's first visit", "<= 0.01",
              f"{ph['shift']:.4f} (median of {ph['runs']}: {', '.join(str(v) for v in ph['shifts'])})",
              ph["shift"] <= 0.01)
    lh = r["lighthouse"]
    table.add("web Lighthouse 12.2.3 mobile Performance, first visit", ">= 95",
              f"{lh['performance']} (median of {lh['runs']}: "
              f"{', '.join(str(v) for v in lh['performances'])}; "
              f"FCP {lh['fcpMs'] / 1000:.2f} s, LCP {lh['lcpMs'] / 1000:.2f} s, TBT {lh['tbtMs']:.0f} ms, "
              f"CLS {lh['cls']:.3f})", lh["performance"] >= 95)
    others = (lh["accessibility"], lh["bestPractices"], lh["seo"])
    table.add("web Lighthouse accessibility, best practices, SEO", "100 each",
              " / ".join(str(v) for v in others), all(v == 100 for v in others))
    play = r["play"]
    ratio = play["ratio"]
    note = ", ended in game over" if play["gameOver"] else ""
    sessions = ", ".join(f"{g:.2f} / {f:.2f}" for g, f in zip(play["sessions"], play["floorSessions"]))
    # The gate stays at 1.3 until the canvas draws less a tick; 1.2 is the aim.
    table.add(f"web processor time while playing ({play['seconds']:.0f} s, a key a second), "
              "page / floor page beside it", "<= 1.3",
              f"{ratio:.2f} (median of {len(play['ratios'])}: "
              f"{', '.join(f'{q:.2f}' for q in play['ratios'])}; % of a core {sessions}{note})",
              ratio <= 1.3)
    paused = r["paused"]
    held = paused["timers"] + paused["intervals"] + paused["frames"]
    table.add("web timers and animation frames pending while paused", "0",
              f"{paused['timers']} timers, {paused['intervals']} intervals, {paused['frames']} frames"
              f" ({paused['cpuPercent']:.3f}% of a core over {paused['seconds']:.0f} s)",
              held == 0)


def describe(threads):
    return (" in " + ", ".join(f"{k}: {v}" for k, v in threads.items())) if threads else ""


# --- Main ----------------------------------------------------------------------

def machine():
    model_name = "unknown"
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                model_name = line.split(":", 1)[1].strip()
                break
    with open("/proc/meminfo") as f:
        mem_kib = int(f.readline().split()[1])
    return f"{os.cpu_count()} cpus, {model_name}, {mem_kib / 1024 / 1024:.1f} GiB"


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    quick = "--quick" in sys.argv
    build = os.path.abspath(args[0] if args else os.path.join(HERE, "..", "build", "dev"))
    windows_build = os.path.abspath(args[1] if len(args) > 1 else
                                    os.path.join(HERE, "..", "build", "windows"))
    game = os.path.join(build, "bench", "vorlane_measured")
    bare = os.path.join(build, "bench", "bare_window")
    yardstick = os.path.join(build, "bench", "yardstick")
    runtime = tempfile.mkdtemp(prefix="vorlane-bench-")
    os.chmod(runtime, 0o700)
    env = {"XDG_RUNTIME_DIR": runtime}
    table = Table()
    started = time.monotonic()
    try:
        model(table, build, quick)
        instructions(table, build, quick)
        allocations(table, build)
        painting(table, build, quick, dict(os.environ, **env))
        # One X server for the start-up runs, which resets after each as the
        # start-up budget was set.
        with XSession(game, reset=True) as x:
            startup(table, game, bare, dict(x.env, **env), quick)
        session(table, game, yardstick, bare, env, quick)
        web(table, quick)
        windows_bench.windows(table, windows_build)
    except (RuntimeError, subprocess.SubprocessError, OSError) as e:
        print(f"bench: {e}", file=sys.stderr)
        table.print()
        return 2
    finally:
        shutil.rmtree(runtime, ignore_errors=True)
    heading = (f"Vorlane benchmarks on {machine()}; load average {os.getloadavg()[0]:.2f}; "
               f"{time.strftime('%Y-%m-%d %H:%M %Z')}; took {time.monotonic() - started:.0f} s")
    print("\n" + heading)
    table.print()
    if "--write-docs" in sys.argv and not table.failed:
        write_docs(table, heading)
    return 1 if table.failed else 0


if __name__ == "__main__":
    sys.exit(main())
