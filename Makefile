# Set-up, build and test on a Debian machine.
#   make run    install what is missing, build, start the builder
#   make test   install what is missing, build (release and sanitizer), run ctest
#   make bench  release build, then every benchmark of bench/
#   make fuzz   the GIF reader under libFuzzer for FUZZ_SECONDS (on demand, not in CI)
#   make tsan   the thread tests (animation painters, threads) under ThreadSanitizer (on demand, not in CI)

PACKAGES := g++ cmake ninja-build pkg-config libjpeg62-turbo-dev libjpeg-turbo-progs \
            libfreetype-dev libfontconfig-dev fonts-liberation fonts-dejavu-core \
            libgtest-dev libasound2-dev python3 imagemagick chromium \
            libfltk1.3-dev xvfb xauth xdotool x11-apps libpng-dev libgif-dev giflib-tools gifsicle netbase microsocks dante-server \
            qpdf poppler-utils mupdf-tools fonts-urw-base35 php-cli iproute2 nginx-light python3-pyftpdlib vsftpd
BENCH_PACKAGES := img2pdf libvips-tools lftp

JOBS ?= $(shell nproc)
RELEASE := build/release
ASAN := build/asan
CMAKE_FLAGS := -G Ninja -Wno-dev

.PHONY: all deps bench-deps configure build build-asan run test test-release test-asan bench fuzz tsan clean

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

FUZZ := build/fuzz
FUZZ_SECONDS ?= 300
# clang knows not every warning the project names for GCC.
FUZZ_SANITIZE := -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -Wno-unknown-warning-option

$(FUZZ)/build.ninja:
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DGALLERY_TESTS=OFF -DGALLERY_FUZZ=ON -DCMAKE_CXX_FLAGS="$(FUZZ_SANITIZE)" -DCMAKE_C_FLAGS="$(FUZZ_SANITIZE)" \
	  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"

# Crashes land in tests/data/gif/fuzz, where the tests load them again.
fuzz: deps $(FUZZ)/build.ninja
	cmake --build $(FUZZ) --target fuzz_gif_reader
	mkdir -p $(FUZZ)/corpus tests/data/gif/fuzz
	cp ../shared/testdata/gif-suite/*.gif $(FUZZ)/corpus/ 2>/dev/null || true
	$(FUZZ)/fuzz/fuzz_gif_reader -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=2048 \
	  -artifact_prefix=tests/data/gif/fuzz/ $(FUZZ)/corpus tests/data/gif/fuzz

TSAN := build/tsan
TSAN_TESTS ?= GifPainter|TThreadTest|CrossThreadTest|WorkerPool|ParallelBuildTest|GalleryIdentityTest|OneWorkerAndEight|PlennixPictures

$(TSAN)/build.ninja:
	cmake -S . -B $(TSAN) $(CMAKE_FLAGS) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DGALLERY_TSAN=ON

tsan: deps $(TSAN)/build.ninja
	cmake --build $(TSAN) -j $(JOBS) --target test_gif test_platform_loop test_platform_core test_builder test_viewer test_plennix
	TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
	  ctest --test-dir $(TSAN) -R '$(TSAN_TESTS)' --output-on-failure -j $(JOBS)

clean:
	rm -rf build
