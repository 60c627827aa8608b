# The front door: `make run` and `make test`.

BUILD_DIR ?= build
JOBS ?= $(shell nproc 2>/dev/null || echo 2)

# WITH_CALC=OFF builds without the LibreOffice Calc module and needs no
# LibreOffice package.
WITH_CALC ?= ON

# devscripts brings hardening-check; the reproducibility test clones with git;
# debhelper builds the packages, autopkgtest and debootstrap test them in a
# minimal system of their own; g++-aarch64-linux-gnu compiles with arm64's
# package flags.
PACKAGES := cmake make g++ pkg-config qt6-base-dev qt6-base-private-dev libgtest-dev libgmock-dev \
            libbenchmark-dev fonts-liberation2 \
            xvfb xdotool xclip x11-utils libx11-dev imagemagick \
            at-spi2-core python3-pyatspi dbus-x11 libxfixes-dev orca speech-dispatcher espeak-ng \
            dpkg-dev file desktop-file-utils appstream lintian bash-completion zsh fish openbox \
            libcli11-dev nlohmann-json3-dev libcsv-dev \
            weston qt6-wayland xwayland wl-clipboard \
            devscripts git debhelper autopkgtest debootstrap g++-aarch64-linux-gnu \
            emscripten esbuild chromium chromium-driver python3-selenium node-typescript firefox-esr \
            g++-mingw-w64-x86-64-posix wine64 \
            pybind11-dev python3-dev python3-setuptools python3-pip python3-pytest \
            python3-fake-factory python3-stdnum dh-python
# npm installs the page tests' packages; a node from another repository may
# bring its own npm, which Debian's npm package would conflict with.
ifeq ($(shell command -v npm),)
PACKAGES += npm
endif
ifeq ($(WITH_CALC),ON)
PACKAGES += libreoffice-calc libreoffice-dev
endif

# pellorin-cli.exe for 64-bit Windows, cross-built with mingw-w64; its tests
# run from $(BUILD_DIR) under Wine.
WINDOWS_DIR ?= build-windows

# WERROR=ON turns compiler warnings into errors (CI sets it).
WERROR ?= OFF
CMAKE_FLAGS := -DCMAKE_BUILD_TYPE=Release -DPELLORIN_WITH_CALC=$(WITH_CALC) -DPELLORIN_WERROR=$(WERROR)

# Every test sets its own TIMEOUT; the default fails one that was added without.
CTEST_FLAGS := --output-on-failure -j $(JOBS) --timeout 600

# The tests again with AddressSanitizer and UndefinedBehaviorSanitizer. Every
# report ends the test that triggers it, so any report fails `make test`.
SANITIZE_DIR ?= $(BUILD_DIR)-asan
# The page is the same WebAssembly in both builds, so only the ordinary one
# builds and tests it.
SANITIZE_FLAGS := -DCMAKE_BUILD_TYPE=Debug -DPELLORIN_SANITIZE=ON -DPELLORIN_BUILD_BENCH=OFF \
                  -DPELLORIN_BUILD_WEB=OFF \
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

.PHONY: all deps build web npm python windows run check test test-sanitize build-sanitize lint format format-check fuzz bench package clean

all: build

deps:
	@tools/ensure-packages $(PACKAGES)

build: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# One static executable, $(WINDOWS_DIR)/pellorin-cli.exe, from the same sources
# as the Linux command line.
windows: deps
	cmake -S . -B $(WINDOWS_DIR) --toolchain cmake/mingw-w64-x86_64.cmake \
	  -DCMAKE_BUILD_TYPE=Release -DPELLORIN_WERROR=$(WERROR)
	cmake --build $(WINDOWS_DIR) --target pellorin-cli -j $(JOBS)

# The page alone, into $(BUILD_DIR)/web/: open $(BUILD_DIR)/web/index.html.
web: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target web

# The npm package alone: $(BUILD_DIR)/pellorin-<version>.tgz, the same bytes for
# the same commit; `npm install` it from there.
npm: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target npm_package

# The Python package alone, into $(BUILD_DIR)/python/ (the target says how
# to import it from there).
python: deps
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target python

run: build
	$(BUILD_DIR)/bin/pellorin

# The fast tests, while you work: the libraries, pellorin-cli, the window
# offscreen and the Python package; no browser, Wine, desktop session or
# package build (cmake/TestLabels.cmake names each test's kind).
check: build
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS) -L '^(unit|cli|window|python)$$' -LE '^slow$$'

# The whole suite, as CI runs it. The format check first: it takes a second
# and needs no build.
test: format-check build windows
	cd $(BUILD_DIR) && QT_QPA_PLATFORM=offscreen ctest $(CTEST_FLAGS)
	$(MAKE) --no-print-directory test-sanitize

# The Debian packages from debian/, with dpkg-buildpackage, in
# $(BUILD_DIR)/packages: the source package, pellorin-cli, pellorin and
# pellorin-calc, each with its -dbgsym package, and the page's pellorin-web
# (architecture all), the .buildinfo, the .changes and SHA256SUMS. The same
# commit gives the same bytes. nocheck builds only what is shipped (make test
# runs the tests); without it dh_auto_test builds and runs them as well.
# Then, as steps of their own, the page's zip and
# $(BUILD_DIR)/pellorin-cli-<version>-windows-x86_64.zip, as reproducible.
# Only what is shipped is built: the zip's target, not the tests and
# benchmarks beside it in $(BUILD_DIR).
DEB_BUILD_OPTIONS ?= nocheck parallel=$(JOBS)
package: deps windows
	DEB_BUILD_OPTIONS="$(DEB_BUILD_OPTIONS)" tools/build-packages $(BUILD_DIR)/packages
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS) --target web_zip
	tools/windows-zip $(WINDOWS_DIR)/pellorin-cli.exe $(BUILD_DIR)

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
	  '^$(CURDIR)/(main\.cpp|(app|widgets|accessibility|cli|api|engine|core|results|export|platform|tests|fuzz|bench)/)'

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

# The C++ benchmarks, then the page beside pellorin-cli in headless Chromium,
# then the Python module beside Python Faker and python-stdnum. The Wine
# benchmark has a prefix of its own: it ends its Wine server when done, and
# every Windows program of the tests still running on that server would end
# with it, printing nothing, with status 0.
bench: build windows
	$(BUILD_DIR)/bin/pellorin-bench
	bench/windows-vs-linux.sh $(BUILD_DIR)/bin/pellorin-cli $(WINDOWS_DIR)/pellorin-cli.exe \
	  $(BUILD_DIR)/bench-wine-prefix
	/usr/bin/python3 bench/page-bench.py $(BUILD_DIR)/web $(BUILD_DIR)/bin/pellorin-cli
	bench/npm/run.sh $(BUILD_DIR)
	/usr/bin/python3 bench/python-bench.py $(BUILD_DIR)/python

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(FUZZ_DIR) $(WINDOWS_DIR)
