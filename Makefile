# Quick start: `make run` and `make test`. Everything else is for developers.
BUILD      ?= build
SAN_BUILD  ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
JOBS       ?= $(shell nproc)
PREFIX     ?= /usr/local
CMAKE_GEN  := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps build run test test-sanitize bench fuzz screenshot install deb clean

deps:
	@bash scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) $(CMAKE_GEN)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

run: build
	$(BUILD)/app/rilumo $(ARGS)

test: build
	bash scripts/run-tests $(BUILD)

test-sanitize: deps
	cmake -S . -B $(SAN_BUILD) $(CMAKE_GEN) -DRILUMO_SANITIZE=ON
	cmake --build $(SAN_BUILD) -j $(JOBS)
	bash scripts/run-tests $(SAN_BUILD)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

# The real window on a private X display, playing a generated list; the
# picture lands in $(BUILD)/artifacts/desktop_playing.png.
screenshot: build
	QT_QPA_PLATFORM=offscreen $(BUILD)/tests/tests_desktop --gtest_filter='RealWindow.*'

# The programs, the launcher, the icon and the list files' MIME type under
# $(PREFIX); desktops pick them up on their next start (or at once, after
# update-desktop-database and update-mime-database on the prefix's share folder).
install: build
	cmake --install $(BUILD) --prefix $(PREFIX) --strip

# A Debian package of the same files under /usr: $(BUILD)/rilumo_<version>_<arch>.deb,
# for `sudo apt install ./$(BUILD)/rilumo_*.deb`.
deb: build
	cd $(BUILD) && cpack -G DEB

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B $(FUZZ_BUILD) $(CMAKE_GEN) -DRILUMO_FUZZ=ON
	cmake --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_all
	bash tests/fuzz/run-fuzzers $(FUZZ_BUILD) 60

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD)
