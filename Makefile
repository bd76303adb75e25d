# Thin wrapper over CMake: `make run`, `make test`, `make sanitize`, `make bench`.
BUILD ?= build
SANBUILD ?= build-asan
RUNDIR ?= run
JOBS ?= $(shell nproc)

.PHONY: all deps build run test sanitize bench package clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTESSIVAL_WERROR=ON
	cmake --build $(BUILD) -j $(JOBS)

run: build
	@mkdir -p $(RUNDIR)
	@if [ ! -f $(RUNDIR)/ortiwen.gdb ]; then \
	  $(BUILD)/tessival-db create $(RUNDIR)/ortiwen.gdb && \
	  $(BUILD)/tessival-db demo $(RUNDIR)/ortiwen.gdb; fi
	cd $(RUNDIR) && ../$(BUILD)/tessival

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The whole suite built with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of its own; the first error ends the test that hit it. Leaks inside
# system libraries are suppressed by scripts/lsan.supp.
SAN_FLAGS = -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all
sanitize: deps
	cmake -S . -B $(SANBUILD) -DCMAKE_BUILD_TYPE=Debug -DTESSIVAL_WERROR=ON \
	  -DCMAKE_CXX_FLAGS="-O1 $(SAN_FLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$(SAN_FLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(SAN_FLAGS)"
	cmake --build $(SANBUILD) -j $(JOBS)
	cd $(SANBUILD) && \
	  ASAN_OPTIONS=halt_on_error=1:abort_on_error=0:detect_leaks=1:strict_init_order=1:detect_stack_use_after_return=1 \
	  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  ctest --output-on-failure -j $(JOBS)

bench: build
	cmake --build $(BUILD) --target bench

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD) $(SANBUILD)
