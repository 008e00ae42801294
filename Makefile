# The two commands a school or a developer needs: `make demo` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
DEMO ?= $(BUILD)/demo-classroom
WINDOWS_BUILD ?= $(BUILD)-windows
SANITIZE_BUILD ?= build-sanitize
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
# ccache, where installed, keeps rebuilds short, for every checkout of the machine alike:
# paths are hashed relative to the checkout.
CCACHE = $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR ?= $(CURDIR)
export CCACHE_NOHASHDIR ?= 1
# The sanitizer and fuzz builds use clang.
CLANG_CONFIG = -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ $(CCACHE)

.PHONY: all deps configure build test bench windows-check windows windows-test windows-screenshots demo \
	demo-classroom screenshots package sanitize fuzz fuzz-corpus clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CCACHE)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD)

test: build
	@scripts/with-test-session ctest --test-dir $(BUILD) --output-on-failure

# The platform layer built with mingw-w64 and its multi-process check run under wine.
windows-check: deps
	@scripts/windows-check $(BUILD)-windows-check

# The programs for 64-bit Windows, cross-built with mingw-w64 against Qt and ICU built from
# Debian's sources (once per machine, into the cache), and the school's installer, whose
# path is the last line printed.
windows: deps
	@scripts/windows-build $(WINDOWS_BUILD) $(BUILD)

# Every test of the Windows build under wine, and the Windows programs against the Linux ones.
windows-test: build windows
	@scripts/windows-build $(WINDOWS_BUILD) $(BUILD) all
	@scripts/with-test-session ctest --test-dir $(WINDOWS_BUILD) --output-on-failure

# The screens of the Windows program drawn under wine at an X display, as make screenshots draws them.
windows-screenshots: windows
	@scripts/windows-screenshots $(WINDOWS_BUILD) $(SCREENSHOT_DISPLAYS)

demo-classroom: build
	$(BUILD)/src/app/ranvex-data demo $(DEMO)
	cmake --install $(BUILD) --prefix $(DEMO)/ranvex

demo: demo-classroom
	@scripts/with-audio $(DEMO)/ranvex/ranvex

# Every benchmark, each figure beside its floor: the statistics scan; the name list, the
# level menu and the data tool's check at a school of 5000 pupils; the level menu's lists;
# the results editor opening on 100000 records; the criteria editor's distribution view;
# the level menu and the drill appearing in the window and scaled to a 1920 x 1080 display.
# Every benchmark runs; any figure over its limit fails the target.
BENCHMARKS = bench_statistics bench_big_school bench_lists bench_records bench_distribution bench_screens

bench: build
	@failed=0; for b in $(BENCHMARKS); do echo "== $$b"; $(BUILD)/bench/$$b || failed=1; done; exit $$failed

# The Debian package of the program and the data tool for this machine; its path is the
# last line printed.
package: build
	rm -rf $(BUILD)/deb
	cd $(BUILD) && cpack
	@realpath $(BUILD)/deb/ranvex_*.deb

# Every screen in the 1024 x 768 window, then, in a folder each, as classroom PCs with
# these displays show them: full screen, scaled.
SCREENSHOT_DISPLAYS = 1920x1080 1280x1024 800x600

screenshots: demo-classroom
	rm -rf $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/src/app/ranvex-screenshots $(DEMO)/ranvex $(BUILD)/screenshots
	@for d in $(SCREENSHOT_DISPLAYS); do \
		$(BUILD)/src/app/ranvex-screenshots --display $$d $(DEMO)/ranvex $(BUILD)/screenshots/$$d || exit 1; done

# Every test built with AddressSanitizer and UndefinedBehaviorSanitizer, leak detection on.
$(SANITIZE_BUILD)/build.ninja: | deps
	cmake -S . -B $(SANITIZE_BUILD) $(CLANG_CONFIG) -DRANVEX_SANITIZE=ON -DRANVEX_BENCHMARKS=OFF

sanitize: deps $(SANITIZE_BUILD)/build.ninja
	cmake --build $(SANITIZE_BUILD)
	@scripts/with-sanitizers scripts/with-test-session ctest --test-dir $(SANITIZE_BUILD) --output-on-failure

# Each reader of the shared folder fuzzed for FUZZ_SECONDS seconds from its seeds in fuzz/corpus.
$(FUZZ_BUILD)/build.ninja: | deps
	cmake -S . -B $(FUZZ_BUILD) $(CLANG_CONFIG) -DRANVEX_FUZZ=ON -DRANVEX_BENCHMARKS=OFF -DBUILD_TESTING=OFF

fuzz: deps $(FUZZ_BUILD)/build.ninja
	cmake --build $(FUZZ_BUILD) --target fuzz_targets
	@scripts/with-sanitizers scripts/run-fuzz $(FUZZ_BUILD) $(FUZZ_SECONDS)

# Makes the seed corpora in fuzz/corpus afresh from the demo classroom.
fuzz-corpus: build
	rm -rf fuzz/corpus
	$(BUILD)/fuzz/fuzz_make_corpus fuzz/corpus

clean:
	rm -rf $(BUILD) $(WINDOWS_BUILD) $(BUILD)-windows-check $(SANITIZE_BUILD) $(FUZZ_BUILD)
