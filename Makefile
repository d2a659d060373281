# The two commands of the README: `make run` and `make test`; and `make install`,
# `make uninstall`, `make package`.
BUILD ?= build
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo
JOBS ?= $(shell nproc)
# Root installs for everyone, any other user for themselves.
PREFIX ?= $(if $(filter 0,$(shell id -u)),/usr/local,$(HOME)/.local)

ASAN_BUILD ?= build-asan

.PHONY: all setup configure build run test test-asan bench install uninstall package clean

all: build

setup:
	@scripts/setup.sh

configure: setup
	@[ -f $(BUILD)/build.ninja ] || cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

run: build
	@scripts/run.sh $(BUILD)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

# The unit tests (not the end-to-end ones) built with ASan and UBSan, in a folder of their own.
test-asan: setup
	@[ -f $(ASAN_BUILD)/build.ninja ] || cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORLIX_SANITIZE=ON
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:fast_unwind_on_malloc=0 \
		LSAN_OPTIONS=suppressions=$(CURDIR)/tests/sanitizer/lsan.supp UBSAN_OPTIONS=print_stacktrace=1 \
		ctest --output-on-failure -j $(JOBS) -LE e2e

bench: build
	@scripts/bench.sh $(BUILD)

install: build
	@DESTDIR="$(DESTDIR)" cmake --install $(BUILD) --prefix "$(PREFIX)"
	@[ -n "$(DESTDIR)" ] || scripts/refresh-caches.sh "$(PREFIX)"

uninstall:
	@scripts/uninstall.sh $(BUILD)

package: build
	@cmake --build $(BUILD) --target package

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
