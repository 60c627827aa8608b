# The front door: `make run` and `make test`.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

PACKAGES := cmake make g++ pkg-config qt6-base-dev libgtest-dev libgmock-dev \
            libbenchmark-dev fonts-liberation2 libreoffice-calc libreoffice-dev

CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=Release

.PHONY: all deps build run test bench clean

all: build

deps:
	@tools/ensure-packages $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/pellorin

test: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

bench: build
	$(BUILD_DIR)/bin/pellorin-bench

clean:
	rm -rf $(BUILD_DIR)
