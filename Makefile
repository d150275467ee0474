# The README's two commands: `make test` and `make demo`.
PRESET ?= default
BUILD_DIR := build/$(PRESET)
JOBS ?= $(shell nproc)
PREFIX ?= /usr/local

.PHONY: all setup configure build test demo bench install install-user format clean

all: build

setup:
	bash scripts/setup

configure:
	cmake --preset $(PRESET)

build: configure
	cmake --build --preset $(PRESET) -j $(JOBS)

test: setup build
	ctest --preset $(PRESET) -j $(JOBS)

demo: setup build
	bash scripts/demo $(BUILD_DIR)

bench: setup build
	bash scripts/bench $(BUILD_DIR)

# The zolvane command, the plug-in module and the Inkscape extension, so that
# `zolvane` works from any folder. The extension goes into
# PREFIX/share/inkscape/extensions, or into INKSCAPE_EXTENSIONS when given
# (Debian's Inkscape reads /usr/share/inkscape/extensions).
INKSCAPE_EXTENSIONS ?=
install: build
	ZOLVANE_INKSCAPE_EXTENSIONS=$(INKSCAPE_EXTENSIONS) cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# For one user, without root: the command in ~/.local/bin and the Inkscape
# extension in ~/.config/inkscape/extensions/zolvane.
install-user:
	$(MAKE) install PREFIX=$(HOME)/.local INKSCAPE_EXTENSIONS=$(HOME)/.config/inkscape/extensions

format:
	git ls-files '*.h' '*.cpp' '*.c' | xargs clang-format -i

clean:
	rm -rf build
