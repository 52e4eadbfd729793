# make run   installs what is missing, builds and starts the game
# make test  installs what is missing, builds (plain and sanitized) and runs every test
JOBS ?= $(shell nproc)
BUILD := build/release
ASAN := build/asan

.PHONY: deps game build run test test-release test-asan fuzz clean

deps:
	@tools/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(ASAN)/build.ninja:
	cmake -S . -B $(ASAN) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEK_SANITIZE=ON

# Only what the game needs; tests, fuzz replays and benchmarks are built by
# `make build` and `make test`.
game: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target zembrolavine

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: game
	./$(BUILD)/zembrolavine

test-release: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)
	cd $(BUILD) && ctest -j $(JOBS) --output-on-failure

test-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)
	cd $(ASAN) && ctest -j $(JOBS) --output-on-failure

test: test-release test-asan

fuzz: deps
	cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEK_FUZZ=ON \
	      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVEK_BENCH=OFF
	cmake --build build/fuzz -j $(JOBS)

clean:
	rm -rf build
