# make run   install what is missing, build, and start the screen saver full screen
#            (on a machine without a display: a headless run under Xvfb)
# make test  install what is missing, build both targets, run every test
LINUX := build/linux
WINDOWS := build/windows
JOBS ?= 2

.PHONY: all linux windows run test clean

all: linux windows

linux:
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(LINUX) -j$(JOBS)

windows: linux
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DGLIMMERZ_ASSET_DIR=$(abspath $(LINUX))/assets
	cmake --build $(WINDOWS) -j$(JOBS)

run:
	tools/setup-deps.sh run
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(LINUX) -j$(JOBS) --target glimmerz
	tools/run.sh $(LINUX)/glimmerz

test:
	tools/setup-deps.sh test
	$(MAKE) linux windows
	ctest --test-dir $(LINUX) --output-on-failure -j$(JOBS)

clean:
	rm -rf build
