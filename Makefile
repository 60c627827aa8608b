# The front door: `make run` and `make test`.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# WITH_CALC=OFF builds without the LibreOffice Calc module and needs no
# LibreOffice package.
WITH_CALC ?= ON

# devscripts brings hardening-check; the reproducibility test clones with git.
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-base-private-dev libgtest-dev libgmock-dev \
            libbenchmark-dev fonts-liberation2 \
            xvfb xdotool xclip x11-utils libx11-dev imagemagick \
            at-spi2-core python3-pyatspi dbus-x11 libxfixes-dev orca speech-dispatcher espeak-ng \
            dpkg-dev file desktop-file-utils appstream lintian bash-completion openbox \
            libcli11-dev nlohmann-json3-dev libcsv-dev \
            weston qt6-wayland xwayland wl-clipboard \
            devscripts git
ifeq ($(WITH_CALC),ON)
PACKAGES += libreoffice-calc libreoffice-dev
endif

# WERROR=ON turns compiler warnings into errors (CI sets it).
WERROR ?= OFF
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=Release -DPELLORIN_WITH_CALC=$(WITH_CALC) -DPELLORIN_WERROR=$(WERROR)

# Every test sets its own TIMEOUT; the default fails one that was added without.
CTEST_FLAGS := --output-on-failure -j $(JOBS) --timeout 600

# The tests again with AddressSanitizer and UndefinedBehaviorSanitizer. Every
# report ends the test that triggers it, so any report fails `make test`.
SANITIZE_DIR ?= $(BUILD_DIR)-asan
SANITIZE_FLAGS := -DCMAKE_BUILD_TYPE=Debug -DPELLORIN_SANITIZE=ON -DPELLORIN_BUILD_BENCH=OFF \
                  -DPELLORIN_WITH_CALC=$(WITH_CALC) -DPELLORIN_WERROR=$(WERROR)
SANITIZE_ENV := ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
                UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
                LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizers/lsan.supp

# libFuzzer builds need clang; they are run by hand, not by `make test`
# (which replays their corpora in both builds above).
FUZZ_DIR ?= $(BUILD_DIR)-fuzz
FUZZ_PACKAGES := clang libclang-rt-14-dev
LINT_PACKAGES := clang-tidy
FORMAT_PACKAGES := clang-format

# The C++ files git tracks, for clang-format with the repository's .clang-format.
FORMAT_FILES = $(shell git ls-files -- '*.cpp' '*.h')

.PHONY: all deps build run test test-sanitize build-sanitize lint format format-check fuzz bench package clean

all: build

deps:
	@tools/ensure-packages $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

run: build
	$(BUILD_DIR)/bin/pellorin

# The format check first: it takes a second and needs no build.
test: format-check build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS)
	$(MAKE) --no-print-directory test-sanitize

# The Debian packages, $(BUILD_DIR)/<package>_<version>_<arch>.deb: pellorin-cli,
# pellorin and (with WITH_CALC=ON) pellorin-calc. The same commit gives the
# same bytes; SOURCE_DATE_EPOCH, when set, dates their files.
package: build
	cmake --build $(BUILD_DIR) --target package

build-sanitize: deps
	cmake -S . -B $(SANITIZE_DIR) $(SANITIZE_FLAGS)
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

test-sanitize: build-sanitize
	cd $(SANITIZE_DIR) && $(SANITIZE_ENV) QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS)

# Includes that cross the layers (tools/check-layers), then clang-tidy over our
# own sources with the checks in .clang-tidy; any warning fails.
lint: build
	tools/check-layers $(BUILD_DIR)
	@tools/ensure-packages $(LINT_PACKAGES)
	run-clang-tidy -quiet -p $(BUILD_DIR) -j $(JOBS) \
	  '^$(CURDIR)/(main\.cpp|(app|widgets|accessibility|cli|engine|generate|results|export|platform|tests|fuzz|bench)/)'

format:
	@tools/ensure-packages $(FORMAT_PACKAGES)
	clang-format -i $(FORMAT_FILES)

# Fails on any file that `make format` would change.
format-check:
	@tools/ensure-packages $(FORMAT_PACKAGES)
	clang-format --dry-run --Werror $(FORMAT_FILES)

# Builds the libFuzzer targets; run one with e.g.
#   $(FUZZ_DIR)/bin/fuzz_quantity -max_total_time=300 fuzz/corpus/quantity
fuzz: deps
	@tools/ensure-packages $(FUZZ_PACKAGES)
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPELLORIN_FUZZ=ON -DPELLORIN_BUILD_TESTS=OFF -DPELLORIN_BUILD_BENCH=OFF
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz

bench: build
	$(BUILD_DIR)/bin/pellorin-bench

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR)
