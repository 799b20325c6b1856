# Two commands do all set-up on a fresh Debian 12 machine: `make test` and `make demo`.
BUILD ?= build
PACKAGES := cmake ninja-build g++ libgtest-dev qt6-base-dev qt6-serialport-dev \
            qt6-websockets-dev libboost1.81-dev \
            libgl-dev libsystemd-dev pkg-config fonts-liberation dpkg-dev lintian time
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test demo bench fuzz package format tidy clean

# install-missing PACKAGE...: apt-get installs those that are not installed yet.
define install-missing
	@missing=$$(for p in $(1); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi
endef

deps:
	$(call install-missing,$(PACKAGES))

build: deps
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD)

# The core tests run a second time under AddressSanitizer and UndefinedBehaviorSanitizer.
# The web tests use a real browser and a real Prometheus.
CORE_TESTS := core_tests receive_corpus_tests ini_corpus_tests
TEST_PACKAGES := chromium chromium-driver python3-selenium prometheus prometheus-alertmanager curl jq systemd clang-format
test: build
	$(call install-missing,$(TEST_PACKAGES))
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure
	cmake -S . -B $(BUILD)-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTALLOWMERE_SANITIZE=ON
	cmake --build $(BUILD)-asan --target $(CORE_TESTS)
	ctest --test-dir $(BUILD)-asan -L core --output-on-failure

# The monitor on the simulated receiver; without a display, under a virtual one.
DEMO_PACKAGES := xvfb xauth imagemagick
demo: build
	$(call install-missing,$(DEMO_PACKAGES))
	tools/demo/demo.sh $(BUILD)

# A release build, then one table of every benchmark (about 25 minutes).
bench: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release
	cmake --build build-release
	bench/run.sh build-release

# Each fuzzing harness runs for FUZZ_SECONDS.
FUZZ_SECONDS ?= 600
fuzz: deps
	@command -v clang++ >/dev/null || { $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq clang libclang-rt-14-dev; }
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTALLOWMERE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz
	tests/fuzz/run.sh $(FUZZ_SECONDS)

# A Debian package of a release build, in build-release/; GoogleTest is not needed.
package: deps
	cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLOWMERE_TESTS=OFF
	cmake --build build-release
	cd build-release && cpack

# Source files as the project lays them out; the name tables keep their columns.
SOURCES = $(shell git ls-files '*.cpp' '*.h')
format:
	clang-format -i $(SOURCES)

# clang-tidy on the core, with the checks of .clang-tidy.
CORE_SOURCES = $(shell git ls-files 'display/*.cpp' 'settings/*.cpp' 'rds/*.cpp' 'receiver/*.cpp' 'output/*.cpp' 'station/*.cpp' 'checks/*.cpp' 'log/*.cpp' 'remote/*.cpp' 'form/*.cpp')
tidy: build
	clang-tidy -p $(BUILD) --quiet --warnings-as-errors='*' $(CORE_SOURCES)

clean:
	rm -rf $(BUILD) $(BUILD)-asan build-release build-fuzz
