# Quorvan: the two set-up commands of a fresh machine, and a few more.
#   make demo    build everything, run the demo host under Wine + Xvfb (transcript, PNG)
#   make dist    the DLLs with C headers and import libraries for hosts, in build/dist/
#   make test    build everything, run every test (native, and both Windows widths)
#   make bench   build and run the benchmarks
#   make format  format the sources with .clang-format

BUILD ?= build
JOBS ?= $(shell nproc)
ROOT := $(abspath .)
OUT := $(abspath $(BUILD))
CONFIGURE := cmake -G Ninja --log-level=WARNING -Wno-dev

.PHONY: all deps windows native dist demo test bench format

all: windows native

deps:
	@bash tools/install-deps.sh

windows: deps
	@for arch in i686 x86_64; do \
	  $(CONFIGURE) -S . -B $(OUT)/$$arch -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-$$arch-mingw.cmake >/dev/null && \
	  cmake --build $(OUT)/$$arch -j$(JOBS) || exit 1; \
	done

native: deps windows
	@CC=clang CXX=clang++ $(CONFIGURE) -S . -B $(OUT)/native -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  "-DQUORVAN_WINDOWS_BUILDS=i686=$(OUT)/i686;x86_64=$(OUT)/x86_64" >/dev/null
	@cmake --build $(OUT)/native -j$(JOBS)

# Only the DLLs and import libraries are built, not the test programs.
dist: deps
	@for arch in i686 x86_64; do \
	  $(CONFIGURE) -S . -B $(OUT)/$$arch -DCMAKE_BUILD_TYPE=Release \
	    -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-$$arch-mingw.cmake \
	    -DQUORVAN_DIST_DIR=$(OUT)/dist/quorvan-$$arch >/dev/null && \
	  cmake --build $(OUT)/$$arch --target dist -j$(JOBS) || exit 1; \
	done
	@echo "dist: $(OUT)/dist/quorvan-i686 and $(OUT)/dist/quorvan-x86_64"

demo: windows
	@bash tools/run-demo.sh $(OUT)

test: native
	@cd $(OUT)/native && ctest --output-on-failure -j$(JOBS)

bench: windows
	@CC=clang CXX=clang++ $(CONFIGURE) -S . -B $(OUT)/bench -DCMAKE_BUILD_TYPE=Release \
	  -DQUORVAN_BENCH=ON >/dev/null
	@cmake --build $(OUT)/bench -j$(JOBS)
	@bash tools/run-benchmarks.sh $(OUT)/bench $(OUT)

format:
	@git ls-files '*.h' '*.cpp' '*.c' | xargs clang-format -i
