# `make run` and `make test` are the two commands of the README; each installs what it
# needs first. The other targets are for developers.
.PHONY: run demo test dist deps art gallery showcase shots demo-shots bench bench-skin fuzz

deps:
	@scripts/install-deps

# Only what running Vantor needs: the program, not the tests.
run: deps
	cmake --preset windows-release >/dev/null
	cmake --build --preset windows-release -j$$(nproc) --target Vantor
	scripts/run-vantor

# The skin library's demo, started as `make run` starts Vantor.
demo: deps
	cmake --preset windows-release >/dev/null
	cmake --build --preset windows-release -j$$(nproc) --target skin-demo
	scripts/run-demo

test: deps
	scripts/test-all

# The release into dist/: Windows installer, portable zip, Debian package of the command-line
# tools, source archive (see scripts/dist).
dist: deps
	scripts/dist dist

# Regenerates the built-in skin bitmaps and skin/res/Skin.rc; the results are kept in the
# repository, so a normal build never needs this.
art: deps
	cmake --preset native -B build/art >/dev/null
	cmake --build build/art --target skin-artgen -j2
	mkdir -p skin/res
	build/art/tools/skin-artgen/skin-artgen skin/res

# One sheet per style of the built-in bitmaps, drawn through the skin library under Wine,
# as build/gallery/<STYLE>.png.
gallery: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target skin-gallery -j2
	mkdir -p build/gallery
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows/tools/skin-gallery/skin-gallery.exe build/gallery </dev/null
	for f in build/gallery/*.bmp; do /usr/bin/convert "$$f" "$${f%.bmp}.png"; done

# The skin library's visual test bench: one window per built-in style and one from a theme file
# written by vantor-theme, each with every skinned control, as build/showcase/<NAME>.png.
showcase: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target skin-showcase vantor-theme -j2
	mkdir -p build/showcase
	rm -f build/showcase/*.bmp build/showcase/*.png
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine tools/skin-showcase/make-theme build/showcase
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows/tools/skin-showcase/skin-showcase.exe build/showcase build/showcase/Showcase.thm </dev/null
	for f in build/showcase/*.bmp; do /usr/bin/convert "$$f" "$${f%.bmp}.png"; done

# The program's three skinned windows after start-up, as build/shots/TForm<N>.png.
shots: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target vantor-shots -j2
	mkdir -p build/shots
	rm -f build/shots/*.bmp build/shots/*.png
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows/tools/vantor-shots/vantor-shots.exe build/shots </dev/null
	for f in build/shots/*.bmp; do /usr/bin/convert "$$f" "$${f%.bmp}.png"; done

# The skin demo's frame with its Controls child and its toolbar (Lock down, New child lit) in every
# built-in style and from a theme file written by vantor-theme (the showcase's), its children cascaded, maximised, tiled and Records in
# MacOS and WinXP, and its About window, as build/demo-shots/<NAME>.png.
demo-shots: deps
	cmake --preset windows >/dev/null
	cmake --build --preset windows --target demo-shots vantor-theme -j2
	mkdir -p build/demo-shots
	rm -f build/demo-shots/*.bmp build/demo-shots/*.png
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine tools/skin-showcase/make-theme build/demo-shots
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows/tools/demo-shots/demo-shots.exe build/demo-shots build/demo-shots/Showcase.thm </dev/null
	for f in build/demo-shots/*.bmp; do /usr/bin/convert "$$f" "$${f%.bmp}.png"; done

# Converter speed and memory against cat/tail on a 1 MiB and a 1 GiB movie, every layout (not a test).
BENCH_DIR ?= build/bench-data
bench: deps
	cmake --preset native >/dev/null
	cmake --build --preset native --target vantor_bench -j2
	build/native/bench/vantor_bench $(BENCH_DIR)

# One title-bar repaint and one style switch against a plain FillRect of the bar's size, in
# the release build under Wine (not a test).
bench-skin: deps
	cmake --preset windows-release >/dev/null
	cmake --build --preset windows-release --target titlebar_bench skinnedform_bench skinnedcontrols_bench toolbar_bench -j2
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows-release/bench/titlebar_bench.exe </dev/null
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows-release/bench/skinnedform_bench.exe </dev/null
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows-release/bench/skinnedcontrols_bench.exe </dev/null
	VANTOR_WINE_DIR=$(CURDIR)/build/windows/wine scripts/wine-run build/windows-release/bench/toolbar_bench.exe </dev/null

# Every fuzzer for FUZZ_SECONDS on its seed corpus (clang, libFuzzer, ASan+UBSan).
FUZZ_SECONDS ?= 60
fuzz: deps
	cmake --preset fuzz -DVANTOR_FUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	cmake --build --preset fuzz -j2
	cmake --build --preset fuzz --target fuzz_run -j1
