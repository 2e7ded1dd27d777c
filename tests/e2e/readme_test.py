# SPDX-License-Identifier: MIT
"""The README's commands, run as a new user types them.

Reads every `make ...` command from the README's tables, checks that the
Makefile has each, and runs those that play or show the game: `make run`
under a private Xvfb (a window titled "Zarvex" appears and the program exits
0 when it is closed), `make screenshot` (its picture is written), `make web`
(the site is laid out) and `make web-run` (index.html is served). Run after
`make test-dev` and `make test-web`, so nothing is built again.

Usage: readme_test.py
"""

import os
import re
import signal
import socket
import subprocess
import sys
import tempfile
import unittest
import urllib.request

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from xsession import XSession, pinned_environment, wait_until  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def readme_commands():
    """{command: what} from the rows `| what | `make ...` | ...` of the README."""
    rows = re.findall(r"^\| ([^|]+?) \| `(make [^`]+)` \|", open(os.path.join(ROOT, "README.md")).read(),
                      re.MULTILINE)
    return {command: what for what, command in rows}


# Each command runs in the pinned environment, as in a user's shell: no make
# or CMake variables of the running suite leak in.


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class ReadmeCommands(unittest.TestCase):
    commands = readme_commands()

    def command(self, what):
        """The README's command for the row that says `what`."""
        found = [c for c, w in self.commands.items() if what in w.lower()]
        self.assertEqual(len(found), 1, f"one README row says '{what}': {self.commands}")
        return found[0].split()

    def test_every_command_is_a_make_target(self):
        self.assertGreaterEqual(len(self.commands), 6, self.commands)
        for command in self.commands:
            with self.subTest(command=command):
                dry = subprocess.run([*command.split(), "-n"], cwd=ROOT, capture_output=True,
                                     text=True)
                self.assertEqual(dry.returncode, 0, dry.stderr)

    def test_run_opens_the_game_and_exits_0_when_closed(self):
        command = self.command("play")
        with XSession(program=None) as session:
            session.start_game(command=command, cwd=ROOT, timeout=300)
            self.assertEqual(session.close_window(timeout=20), 0)

    def test_screenshot_writes_its_picture(self):
        with tempfile.TemporaryDirectory() as home:
            picture = os.path.join(home, "shot.png")
            subprocess.run([*self.command("picture"), f"SCREENSHOT={picture}"], cwd=ROOT,
                           env=pinned_environment(home), check=True, timeout=300)
            with open(picture, "rb") as f:
                self.assertEqual(f.read(8), b"\x89PNG\r\n\x1a\n")

    def test_web_lays_out_the_site_and_web_run_serves_it(self):
        with tempfile.TemporaryDirectory() as home:
            subprocess.run(self.command("static site"), cwd=ROOT, env=pinned_environment(home),
                           check=True, timeout=300)
            self.assertTrue(os.path.isfile(os.path.join(ROOT, "build", "web", "index.html")))

            port = free_port()
            server = subprocess.Popen([*self.command("serve"), f"WEB_PORT={port}"], cwd=ROOT,
                                      env=pinned_environment(home), start_new_session=True,
                                      stdout=subprocess.DEVNULL)
            try:
                def page():
                    try:
                        with urllib.request.urlopen(f"http://127.0.0.1:{port}/", timeout=2) as r:
                            return r.read()
                    except OSError:
                        return None

                body = wait_until(page, timeout=120, interval=0.2)
                self.assertIsNotNone(body, "make web-run served nothing")
                self.assertIn(b"<title>Zarvex</title>", body)
            finally:
                os.killpg(server.pid, signal.SIGTERM)
                server.wait(timeout=10)


if __name__ == "__main__":
    unittest.main(verbosity=2)
