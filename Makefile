# Two commands for a new machine: `make run` builds and starts the game,
# `make test` builds everything and runs every test. Both install what is
# missing first.
.PHONY: deps run test test-dev test-asan bench fuzz fuzz-long format format-check clean

deps:
	@scripts/install-deps

run: deps
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev --target vorlane
	./build/dev/vorlane

test: deps format-check test-dev test-asan

test-dev:
	@cmake --preset dev >/dev/null
	@cmake --build --preset dev
	ctest --preset dev

test-asan:
	@cmake --preset asan >/dev/null
	@cmake --build --preset asan
	ctest --preset asan

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

format-check:
	@clang-format --dry-run --Werror $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf build
