# Two commands for a new machine: `make run` builds and starts the game,
# `make test` builds everything and runs every test. Both install what is
# missing first.
.PHONY: deps run test test-dev test-asan test-fuzz format format-check clean

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

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
