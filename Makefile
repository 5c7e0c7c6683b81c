# Set-up, build and test on a Debian machine.
#   make run    install what is missing, build, start the builder
#   make test   install what is missing, build (release and sanitizer), run ctest
#   make bench  release build, then every benchmark of bench/

PACKAGES := g++ cmake ninja-build pkg-config libjpeg62-turbo-dev libjpeg-turbo-progs \
            libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core \
            libgtest-dev libasound2-dev python3 imagemagick chromium \
            libfltk1.3-dev xvfb xauth xdotool x11-apps libgif-dev giflib-tools gifsicle
BENCH_PACKAGES :=

JOBS ?= $(shell nproc)
RELEASE := build/release
ASAN := build/asan
CMAKE_FLAGS := -G Ninja -Wno-dev

.PHONY: all deps bench-deps configure build build-asan run test test-release test-asan bench clean

all: build

# Installs only what is missing, so a machine that has everything needs no network.
deps:
	@./tools/ensure-packages $(PACKAGES)

bench-deps:
	@./tools/ensure-packages $(PACKAGES) $(BENCH_PACKAGES)

$(RELEASE)/build.ninja:
	cmake -S . -B $(RELEASE) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Release

$(ASAN)/build.ninja:
	cmake -S . -B $(ASAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=Debug -DGALLERY_SANITIZE=ON

build: deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)

build-asan: deps $(ASAN)/build.ninja
	cmake --build $(ASAN) -j $(JOBS)

run: build
	@./tools/run-builder $(RELEASE)/program

test-release: build
	ctest --test-dir $(RELEASE) --output-on-failure -j $(JOBS)

test-asan: build-asan
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 \
	  ctest --test-dir $(ASAN) --output-on-failure -j $(JOBS)

test: test-release test-asan

bench: bench-deps $(RELEASE)/build.ninja
	cmake --build $(RELEASE) -j $(JOBS)
	@./tools/run-benchmarks $(RELEASE)

clean:
	rm -rf build
