# ソラベル: set-up, build, run and test. Every target installs what is missing first.
JOBS ?= $(shell nproc)
FUZZ_SECONDS ?= 60
CMAKE ?= cmake

.PHONY: all setup build run test test-asan bench fuzz format screenshots install uninstall package clean
PREFIX ?= /usr/local
DESTDIR ?=

all: build

setup:
	@bash scripts/setup.sh

build: setup
	@$(CMAKE) -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
	@$(CMAKE) --build build -j $(JOBS)

run: build
	@if [ -x build/sorabel ]; then ./build/sorabel; else echo "The program is not built yet (see README)."; exit 1; fi

test: build
	@cd build && ctest --output-on-failure -j $(JOBS)

test-asan: setup
	@$(CMAKE) -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSORABEL_SANITIZE=ON >/dev/null
	@$(CMAKE) --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
	  LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --output-on-failure -j $(JOBS)

bench: setup
	@$(CMAKE) -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DSORABEL_BENCH=ON >/dev/null
	@$(CMAKE) --build build-bench -j $(JOBS) --target benchmarks
	@bash scripts/run-benchmarks.sh build-bench

fuzz: setup
	@CXX=clang++ $(CMAKE) -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORABEL_FUZZ=ON >/dev/null
	@$(CMAKE) --build build-fuzz -j $(JOBS)
	@bash scripts/run-fuzzers.sh build-fuzz $(FUZZ_SECONDS)

screenshots: build
	@bash scripts/screenshots.sh build

# make install [PREFIX=/usr/local] [DESTDIR=staging folder]: the program is
# built for PREFIX, which it needs to find its help when installed.
install:
	@$(CMAKE) -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null
	@$(CMAKE) --build build -j $(JOBS) --target sorabel
	@DESTDIR=$(DESTDIR) $(CMAKE) --install build

# Removes what the last install put in place (build/install_manifest.txt,
# whose paths leave DESTDIR out), the folders it created and their caches;
# refuses when none of those files is there.
uninstall:
	@bash scripts/uninstall.sh build "$(DESTDIR)"

# A Debian package for /usr (sorabel_VERSION_ARCH.deb in this folder), built
# in its own Release tree so that a /usr/local build stays as it is, with
# Debian's hardening flags.
DEB_FLAGS = DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get
package: setup
	@$(CMAKE) -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	  -DCMAKE_CXX_FLAGS="$$($(DEB_FLAGS) CPPFLAGS) $$($(DEB_FLAGS) CXXFLAGS)" \
	  -DCMAKE_EXE_LINKER_FLAGS="$$($(DEB_FLAGS) LDFLAGS)" >/dev/null
	@$(CMAKE) --build build-package -j $(JOBS) --target sorabel
	@cd build-package && cpack >/dev/null
	@mv build-package/sorabel_*.deb . && ls -1 sorabel_*.deb

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf build build-asan build-bench build-fuzz build-package
