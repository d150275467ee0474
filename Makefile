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

# The zolvane command and the plug-in module, so that `zolvane` works from any folder.
install: build
	cmake --install $(BUILD_DIR) --prefix $(PREFIX)

# For one user, without root: the command in ~/.local/bin and the Inkscape
# extension in ~/.config/inkscape/extensions/zolvane.
INKSCAPE_EXTENSIONS ?= $(HOME)/.config/inkscape/extensions
install-user: build
	cmake --install $(BUILD_DIR) --prefix $(HOME)/.local
	mkdir -p $(INKSCAPE_EXTENSIONS)
	rm -rf $(INKSCAPE_EXTENSIONS)/zolvane
	cp -a $(HOME)/.local/share/inkscape/extensions/zolvane $(INKSCAPE_EXTENSIONS)/zolvane

format:
	git ls-files '*.h' '*.cpp' '*.c' | xargs clang-format -i

clean:
	rm -rf build
