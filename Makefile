# Short verbs over CMake. `make demo` and `make test` work on a fresh machine:
# they install what is missing (as root), configure, build and run.
BUILD ?= build
ASAN_BUILD ?= build-asan
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build demo test test-asan bench format format-check clean install package docs

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

demo: build
	@$(BUILD)/cli/payroll demo

# Every test runs twice: on SQLite, and on a PostgreSQL server that
# scripts/pg-test-server starts for the run and stops after it (also when a
# test fails). Without a server the SQLite run goes on alone and says so;
# in CI the server is required.
test: deps
	@url=$$(scripts/pg-test-server start $(BUILD)) || url=""; \
	if [ -z "$$url" ] && [ -n "$${CI:-}" ]; then \
	    echo "== PostgreSQL test server could not start (required in CI)" >&2; exit 1; fi; \
	trap 'scripts/pg-test-server stop $(BUILD)' EXIT; \
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	    -DPAYROLL_TEST_POSTGRES_URL="$$url" $(CMAKE_FLAGS) >/dev/null && \
	cmake --build $(BUILD) -j $(JOBS) && \
	(cd $(BUILD) && ctest --output-on-failure -j $(JOBS)); status=$$?; \
	if [ -z "$$url" ]; then \
	    echo "== PostgreSQL: SKIPPED (no server could be installed or started); SQLite only" >&2; \
	else echo "== PostgreSQL: the suite ran on $$url too"; fi; \
	exit $$status

test-asan: deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DPAYROLL_SANITIZE=ON \
	    -DPAYROLL_TEST_POSTGRES_URL= -DPAYROLL_QT=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(ASAN_BUILD) -j $(JOBS)
	@cd $(ASAN_BUILD) && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
	    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 ctest --output-on-failure -j $(JOBS)

bench: deps
	@bench/run

# Library, headers, host program, resources, CMake and pkg-config files under
# PREFIX (DESTDIR=... stages them elsewhere).
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, from a release build of its own for the /usr prefix,
# compiled file by file (not in batches), so a file that leans on another's
# includes fails here: $(PKG_BUILD)/payroll_<version>-1_<arch>.deb.
PKG_BUILD ?= build-deb
package: deps
	@cmake -S . -B $(PKG_BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
	    -DPAYROLL_TESTS=OFF -DCMAKE_UNITY_BUILD=OFF $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(PKG_BUILD) -j $(JOBS)
	@cd $(PKG_BUILD) && cpack -G DEB
	@ls $(PKG_BUILD)/*.deb

# The host developers' reference (HTML) in $(BUILD)/docs/html; any doxygen
# warning fails it.
docs: configure
	@cmake --build $(BUILD) --target docs
	@echo "$(BUILD)/docs/html/index.html"

format:
	@git ls-files '*.cpp' '*.h' '*.cc' | xargs clang-format -i

# Fails, naming the places, when a file has drifted from the project's style.
format-check: deps
	@git ls-files '*.cpp' '*.h' '*.cc' | xargs clang-format --dry-run --Werror

clean:
	@rm -rf $(BUILD) $(ASAN_BUILD)
