# The two commands of the README: `make run` and `make test`.
# Both install the missing Debian packages first (as root), then build in build/.

PACKAGES := cmake ninja-build g++ clang libclang-rt-14-dev pkg-config clang-format \
	qt6-base-dev libqt6opengl6-dev libgl-dev libgl1-mesa-dri libglx-mesa0 \
	libqcustomplot-dev libhpdf-dev libcurl4-openssl-dev libtbb-dev libsleef-dev \
	libgtest-dev libgmock-dev libbenchmark-dev \
	xvfb xauth fonts-liberation2 fonts-dejavu-core locales-all \
	poppler-utils python3-numpy python3-scipy python3-ezdxf sox ccache openssl

JOBS ?= $(shell nproc)
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
TSAN_DIR ?= build-tsan
FUZZ_DIR ?= build-fuzz
CMAKE_FLAGS ?= -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Developers who rebuild several checkouts set VENDREL_CCACHE=1 to share compiled objects between them.
ifneq ($(VENDREL_CCACHE),)
CMAKE_FLAGS += -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
endif

.PHONY: run test install check build sample-library build-asan build-tsan build-fuzz test-main test-asan test-tsan test-fuzz

install:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null | grep -q '^install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
		echo "Installing:" $$missing; \
		if [ "$$(id -u)" != 0 ]; then echo "Run as root to install the missing packages."; exit 1; fi; \
		export DEBIAN_FRONTEND=noninteractive; \
		apt-get update && apt-get install -y --no-install-recommends $$missing; \
	fi

build: install
	cmake -S . -B $(BUILD_DIR) $(CMAKE_FLAGS)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The core libraries and their tests again, with AddressSanitizer and UBSan.
build-asan: install
	cmake -S . -B $(ASAN_DIR) $(CMAKE_FLAGS) -DSANITIZE=address,undefined -DCORE_ONLY=ON
	cmake --build $(ASAN_DIR) -j $(JOBS)

# The threaded tests of the prediction with ThreadSanitizer.
build-tsan: install
	cmake -S . -B $(TSAN_DIR) $(CMAKE_FLAGS) -DSANITIZE=thread -DCORE_ONLY=ON
	cmake --build $(TSAN_DIR) -j $(JOBS) --target tsan_tests

# The libFuzzer targets of the binary readers, built with clang, AddressSanitizer and UBSan.
build-fuzz: install
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) $(CMAKE_FLAGS) -DCORE_ONLY=ON -DVENDREL_FUZZ=ON \
		-DVENDREL_BENCH=OFF -DSANITIZE=address,undefined
	cmake --build $(FUZZ_DIR) -j $(JOBS) --target fuzz_targets

# The sample model library, copied into the application data folder's library while that is empty.
sample-library:
	tools/sample_library/install_sample_library.sh

run: build sample-library
	$(BUILD_DIR)/app/vendrel

# One ctest run under Xvfb: OpenGL tests (label needs_x11) need the X server, widget tests set
# QT_QPA_PLATFORM=offscreen themselves; its summary closes `make test`.
test-main: build
	cd $(BUILD_DIR) && xvfb-run -a -s '-screen 0 1280x1024x24' ctest --output-on-failure -j $(JOBS) -LE 'tsan|fuzz'

test-asan: build-asan
	cd $(ASAN_DIR) && ctest --output-on-failure -j $(JOBS) -LE 'needs_x11|tsan|fuzz'

test-tsan: build-tsan
	cd $(TSAN_DIR) && ctest --output-on-failure -j $(JOBS) -L tsan

# Each fuzzer runs a few seconds on its committed seed corpus.
test-fuzz: build-fuzz
	cd $(FUZZ_DIR) && ctest --output-on-failure -L fuzz

# Layering and formatting rules of the source tree.
check: install
	tools/check_layers.sh
	tools/check_format.sh

test: install
	$(MAKE) check
	$(MAKE) test-asan
	$(MAKE) test-tsan
	$(MAKE) test-fuzz
	$(MAKE) test-main
