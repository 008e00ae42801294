# The two commands a school or a developer needs: `make demo` and `make test`.
BUILD ?= build
BUILD_TYPE ?= RelWithDebInfo
DEMO ?= $(BUILD)/demo-classroom

.PHONY: all deps configure build test bench windows-check demo demo-classroom screenshots clean

all: build

deps:
	@scripts/install-deps

$(BUILD)/build.ninja: | deps
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: $(BUILD)/build.ninja

build: deps configure
	cmake --build $(BUILD)

test: build
	@scripts/with-test-session ctest --test-dir $(BUILD) --output-on-failure

# The platform layer built with mingw-w64 and its multi-process check run under wine.
windows-check: deps
	@scripts/windows-check $(BUILD)-windows

demo-classroom: build
	$(BUILD)/src/app/ranvex-data demo $(DEMO)
	cmake --install $(BUILD) --prefix $(DEMO)/ranvex

demo: demo-classroom
	@scripts/with-audio $(DEMO)/ranvex/ranvex

# Every benchmark, each figure beside its floor: the statistics scan; the name list, the
# level menu and the data tool's check at a school of 5000 pupils; the level menu's lists;
# the results editor opening on 100000 records; the criteria editor's distribution view.
# Every benchmark runs; any figure over its limit fails the target.
BENCHMARKS = bench_statistics bench_big_school bench_lists bench_records bench_distribution

bench: build
	@failed=0; for b in $(BENCHMARKS); do echo "== $$b"; $(BUILD)/bench/$$b || failed=1; done; exit $$failed

screenshots: demo-classroom
	rm -rf $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/src/app/ranvex-screenshots $(DEMO)/ranvex $(BUILD)/screenshots

clean:
	rm -rf $(BUILD)
