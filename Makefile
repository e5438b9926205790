# Front door. `make test` installs what is missing, builds both trees and runs
# every test; `make run` starts the calculator; `make gallery` the toolkit's
# gallery; `make bench` runs benchmarks (natively, then the window ones under
# Wine); `make fuzz` throws a million random messages at every toolkit class
# and dialog.
BUILD_DIR ?= build
JOBS ?= 2

.PHONY: all deps native win32 test bench fuzz art run gallery clean

all: native win32

deps:
	@scripts/install-deps.sh

native: deps
	@cmake -S . -B $(BUILD_DIR)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@cmake --build $(BUILD_DIR)/native -j $(JOBS)

win32: deps
	@cmake -S . -B $(BUILD_DIR)/win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake >/dev/null
	@cmake --build $(BUILD_DIR)/win32 -j $(JOBS)

test: native win32
	@scripts/run-tests.sh $(BUILD_DIR)

run: win32
	@scripts/run.sh $(BUILD_DIR)

gallery: win32
	@scripts/gallery.sh $(BUILD_DIR)

bench: native win32
	@scripts/run-bench.sh $(BUILD_DIR)

fuzz: win32
	@scripts/run-fuzz.sh $(BUILD_DIR)

art:
	@scripts/install-deps.sh --art
	@cmake -S tools/artgen -B $(BUILD_DIR)/artgen >/dev/null
	@cmake --build $(BUILD_DIR)/artgen -j $(JOBS)
	@$(BUILD_DIR)/artgen/artgen resources

clean:
	rm -rf $(BUILD_DIR)
