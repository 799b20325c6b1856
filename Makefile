# Two commands do all set-up on a fresh Debian 12 machine: `make test` and `make demo`.
BUILD ?= build
PACKAGES := cmake ninja-build g++ libgtest-dev qt6-base-dev qt6-serialport-dev \
            libgl-dev fonts-liberation
SUDO := $(shell [ "$$(id -u)" = 0 ] || echo sudo)

.PHONY: deps build test fuzz clean

deps:
	@missing=$$(for p in $(PACKAGES); do dpkg-query -W -f='$${Status}\n' $$p 2>/dev/null \
	    | grep -q 'install ok installed' || echo $$p; done); \
	if [ -n "$$missing" ]; then \
	    echo "Installing:" $$missing; \
	    $(SUDO) apt-get update -qq && \
	    DEBIAN_FRONTEND=noninteractive $(SUDO) apt-get install -y -qq --no-install-recommends $$missing; \
	fi

build: deps
	cmake -S . -B $(BUILD) -G Ninja
	cmake --build $(BUILD)

test: build
	QT_QPA_PLATFORM=offscreen ctest --test-dir $(BUILD) --output-on-failure

# Each harness runs for FUZZ_SECONDS on a copy of its seed corpus; a crash leaves its
# input in build-fuzz/run/ (keep it under tests/fuzz/findings/ once mended).
FUZZ_SECONDS ?= 600
fuzz: deps
	@command -v clang++ >/dev/null || { $(SUDO) apt-get update -qq && $(SUDO) apt-get install -y -qq clang libclang-rt-14-dev; }
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DTALLOWMERE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build build-fuzz
	@for h in Receive Ini; do \
	    c=$$(echo $$h | tr A-Z a-z); mkdir -p build-fuzz/run/$$c; cp -n tests/fuzz/corpus/$$c/* build-fuzz/run/$$c/; \
	    printf '[Tallowmere]\nCOMport=./receiver\nFrequency=88.8\n' > build-fuzz/run/tallowmere.ini; \
	    (cd build-fuzz/run && ../tests/fuzz/$${h}Fuzzer -max_len=512 -max_total_time=$(FUZZ_SECONDS) \
	        -print_final_stats=1 $$c 2>&1 | grep -E '^stat::(number_of_executed_units|new_units)|ERROR|invariant') || exit 1; \
	done

clean:
	rm -rf $(BUILD)
