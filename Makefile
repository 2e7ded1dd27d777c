# Two commands for a new machine: `make run` builds and starts the game,
# `make test` builds everything and runs every test. Both install what is
# missing first.
.PHONY: deps run test test-dev test-asan test-fuzz bench format format-check clean

deps:
	@scripts/install-deps

run: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane
	./build/dev/vorlane

test: deps format-check test-fuzz test-dev test-asan

test-dev:
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	ctest --preset dev

test-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset asan

# Benchmarks against the performance budgets: builds the optimised tree and
# prints one table (figure, budget, measured, pass); docs/performance.md says
# what each figure means. About four minutes; fails when a budget is missed.
bench: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane_measured vorlane_alloc_tests bench_model \
	  tick_instructions bench_paint bare_window
	python3 bench/run.py build/dev

# A minute of fuzzing the event handlers; any crash, hang or broken
# invariant fails the run. New inputs land in build/fuzz/corpus. Longer:
# make test-fuzz FUZZ_SECONDS=3600
FUZZ_SECONDS ?= 60
test-fuzz:
	@cmake --preset fuzz >/dev/null
	@cmake --build --preset fuzz
	@mkdir -p build/fuzz/corpus
	build/fuzz/fuzz/fuzz_events -max_total_time=$(FUZZ_SECONDS) -timeout=5 -rss_limit_mb=2048 \
	  -print_final_stats=1 build/fuzz/corpus fuzz/corpus

# The Debian package, build/release/vorlane_1.00_amd64.deb.
.PHONY: package screenshot
package: deps
	@cmake --preset release >/dev/null
	@cmake --build --preset release
	cpack --preset release

# docs/screenshot.png, taken from the game under its own Xvfb.
screenshot: deps
	scripts/screenshot

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
