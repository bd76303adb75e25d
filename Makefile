# Thin wrapper over CMake: `make run`, `make test`, `make bench`.
BUILD ?= build
RUNDIR ?= run
JOBS ?= $(shell nproc)

.PHONY: all deps build run test bench package clean

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

bench: build
	cmake --build $(BUILD) --target bench

package: build
	cd $(BUILD) && cpack -G DEB

clean:
	rm -rf $(BUILD)
