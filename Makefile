# make run   install what is missing, build, and start the screen saver full screen
#            (on a machine without a display: a headless run under Xvfb)
# make test  install what is missing, build Linux and both Windows savers, run every test
# make windows   build both Windows savers and, where wixl is installed, their .msi packages
# make install   build both and install under PREFIX (default /usr/local), inside DESTDIR if given
# make package   install what is missing, build all three and make the Debian package
#                build/linux/glimmerz_*.deb
LINUX := build/linux
WINDOWS := build/windows
WINDOWS64 := build/windows64
JOBS ?= 2
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all linux windows run test install package clean

all: linux windows

linux:
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DGLIMMERZ_WINDOWS_SCR=$(abspath $(WINDOWS))/Glimmerz.scr \
	  -DGLIMMERZ_WINDOWS64_SCR=$(abspath $(WINDOWS64))/Glimmerz.scr
	cmake --build $(LINUX) -j$(JOBS)

windows: linux
	cmake -S . -B $(WINDOWS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake \
	  -DGLIMMERZ_ASSET_DIR=$(abspath $(LINUX))/assets
	cmake --build $(WINDOWS) -j$(JOBS)
	cmake -S . -B $(WINDOWS64) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
	  -DGLIMMERZ_ASSET_DIR=$(abspath $(LINUX))/assets
	cmake --build $(WINDOWS64) -j$(JOBS)

run:
	tools/setup-deps.sh run
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(LINUX) -j$(JOBS) --target glimmerz
	tools/run.sh $(LINUX)/glimmerz

test:
	tools/setup-deps.sh test
	$(MAKE) linux windows
	ctest --test-dir $(LINUX) --output-on-failure -j$(JOBS)

install: all
	DESTDIR="$(DESTDIR)" cmake --install $(LINUX) --prefix "$(PREFIX)"

package:
	tools/setup-deps.sh package
	$(MAKE) linux windows
	cd $(LINUX) && cpack -G DEB

clean:
	rm -rf build
