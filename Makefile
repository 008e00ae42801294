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

# The statistics scan against reading the file and against one read per record; the
# name list, the level menu and the data tool's check at a school of 5000 pupils, each
# beside its floor. Every benchmark runs; any figure over its limit fails the target.
bench: build
	@status=0; \
	$(BUILD)/bench/bench_statistics || status=1; \
	$(BUILD)/bench/bench_big_school || status=1; \
	exit $$status

screenshots: demo-classroom
	rm -rf $(BUILD)/screenshots
	QT_QPA_PLATFORM=offscreen $(BUILD)/src/app/ranvex-screenshots $(DEMO)/ranvex $(BUILD)/screenshots

clean:
	rm -rf $(BUILD)
