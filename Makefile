# The two commands of the README. Each installs what it needs first.
.PHONY: run test deps

deps:
	@scripts/install-deps

run: deps
	cmake --preset windows-release >/dev/null
	cmake --build --preset windows-release -j$$(nproc)
	scripts/run-vantor

test: deps
	scripts/test-all
