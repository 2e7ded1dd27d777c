# SPDX-License-Identifier: MIT
# Two commands for a new machine: `make run` builds and starts the game,
# `make test` builds everything and runs every test. Each command installs
# what its part needs first (scripts/install-deps PART). Day to day, `make
# check` rebuilds the dev tree and runs the unit and GUI tests (ctest labels
# unit and gui) in well under a minute.
DEPS := deps-run deps-web deps-windows deps-package deps-test
.PHONY: $(DEPS) run check test test-dev test-asan test-fuzz test-web test-readme test-windows web web-run windows \
  bench format format-check clean

$(DEPS):
	@scripts/install-deps $(@:deps-%=%)

# The build names the program (CMake's run target), so it is found wherever
# the tree puts it.
run: deps-run
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target run

check:
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	ctest --preset check

# The fuzz minute comes after the dev suite, so a broken unit test shows
# first; the README's own commands last, on the trees already built.
test: deps-test format-check test-dev test-web test-windows test-fuzz test-asan test-readme

test-dev:
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	ctest --preset dev

# The game in a web page: `make web` lays the static site out in build/web/,
# `make web-run` serves it on this machine alone. The service worker, which
# lists every file of the site, is the site's last step (vorlane_web_worker).
web: deps-web
	@cmake --preset web >/dev/null
	@cmake --build --preset web --target vorlane_web_worker
	@echo "The site is in build/web/"

WEB_PORT ?= 8000
web-run: web
	@echo "Play at http://127.0.0.1:$(WEB_PORT)/ (Ctrl+C stops the server)"
	python3 -m http.server $(WEB_PORT) --bind 127.0.0.1 --directory build/web

# The page in a headless Chromium (ctest label web); the cross-view check
# also needs the desktop view's scene renderer from the dev tree.
test-web: deps-test
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane_desktop_scene
	@cmake --preset web -DVORLANE_DESKTOP_SCENE=$(CURDIR)/build/dev/tests/desktop/vorlane_desktop_scene >/dev/null
	@cmake --build --preset web
	ctest --preset web

test-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset asan

# The native Windows program, cross-built with mingw-w64:
# build/windows/vorlane-1.00-windows-x64.zip. Its tests run under Wine
# (ctest label windows), in a prefix inside the build tree, made while the
# program builds; the drawing check also needs the desktop view's scene
# renderer from the dev tree.
windows: deps-windows
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target vorlane_windows_zip
	@echo "The zip is in build/windows/"

test-windows: deps-test
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane_desktop_scene
	@cmake --preset windows -DVORLANE_DESKTOP_SCENE=$(CURDIR)/build/dev/tests/desktop/vorlane_desktop_scene >/dev/null
	@export WINEPREFIX=$(CURDIR)/build/windows/wine; tests/windows/wine_session.sh start & \
	  cmake --build --preset windows; built=$$?; wait $$! || built=1; \
	  [ $$built = 0 ] || { tests/windows/wine_session.sh stop; exit 1; }
	ctest --preset windows

# Benchmarks against the performance budgets: builds the optimised tree and
# prints one table (figure, budget, measured, pass); docs/performance.md says
# what each figure means. About four minutes once built (six the first time,
# with both builds); fails when a budget is missed. `make bench
# BENCH_FLAGS=--write-docs` also puts the table at the top of
# docs/performance.md when every budget is met.
bench: deps-test
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane_measured vorlane_alloc_tests bench_model \
	  tick_instructions bench_paint bare_window yardstick
	@cmake --preset web >/dev/null
	@cmake --build --preset web --target vorlane_web_worker
	@cmake --preset windows >/dev/null
	@cmake --build --preset windows --target vorlane_measured bare_window
	python3 bench/run.py build/dev build/windows $(BENCH_FLAGS)

# A minute of fuzzing the event handlers; any crash, hang or broken
# invariant fails the run. New inputs land in build/fuzz/corpus. Longer:
# make test-fuzz FUZZ_SECONDS=3600
FUZZ_SECONDS ?= 60
test-fuzz:
	@cmake --preset fuzz -DVORLANE_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build --preset fuzz
	ctest --preset fuzz

# Rewrites the seeds in fuzz/corpus (rows removed one, two and four at a
# time by an aiming player, and more) after a change to the game or to the
# fuzzer's language; make test-fuzz checks that they still do what they say.
.PHONY: fuzz-seeds
fuzz-seeds:
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz --target make_seeds
	build/fuzz/fuzz/make_seeds fuzz/corpus

# The Debian package, build/release/vorlane_1.00_amd64.deb.
.PHONY: package screenshot
package: deps-package
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	cpack --preset release

# docs/screenshot.png (or SCREENSHOT=FILE), taken from the game under its
# own Xvfb.
screenshot: deps-test
	@cmake --preset dev >/dev/null
	@SCREENSHOT="$(abspath $(SCREENSHOT))" cmake --build --preset dev --target screenshot

# The README's commands as a new user types them (tests/e2e/readme_test.py).
test-readme:
	python3 tests/e2e/readme_test.py

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

# C++ by clang-format, Python by flake8 (.flake8), the JavaScript by ESLint
# (tests/web/eslint.config.mjs, pinned in tests/web's lock file).
PYTHON_SOURCES = $$(git ls-files '*.py' scripts/screenshot)
format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')
	@flake8 $(PYTHON_SOURCES)
	@npx --prefix tests/web eslint -c tests/web/eslint.config.mjs

clean:
	rm -rf build
