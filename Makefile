# make run   install what is missing, build, and start the screen saver full screen
#            (on a machine without a display: a headless run under Xvfb)
# make test  install what is missing, build Linux, both Windows savers and the page, run every test
# make windows   build both Windows savers and, where wixl is installed, their .msi packages
# make web   the page, build/web/: the show in a browser (python3 -m http.server -d build/web)
# make install   build both and install under PREFIX (default /usr/local), inside DESTDIR if given
# make package   install what is missing, build all three and make the Debian package
#                build/linux/glimmerz_*.deb
LINUX := build/linux
WEB := build/web
WINDOWS := build/windows
WINDOWS64 := build/windows64
JOBS ?= 2
PREFIX ?= /usr/local
DESTDIR ?=

.PHONY: all linux windows web run test install package clean

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

# The native tree makes the resources and instruments; emscripten builds the rest.
web:
	[ -d port/drivers/web/node_modules/js-synthesizer ] || (cd port/drivers/web && npm ci --no-audit --no-fund)
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(LINUX) -j$(JOBS) --target glimmerz_res_file assets_music
	NODE_PATH=/usr/share/nodejs emcmake cmake -S . -B build/web-tree -DCMAKE_BUILD_TYPE=Release \
	  -DGLIMMERZ_RES=$(abspath $(LINUX))/glimmerz.res -DGLIMMERZ_ASSET_DIR=$(abspath $(LINUX))/assets \
	  -DGLIMMERZ_WEB_DIR=$(abspath $(WEB))
	NODE_PATH=/usr/share/nodejs cmake --build build/web-tree -j$(JOBS)

run:
	tools/setup-deps.sh run
	cmake -S . -B $(LINUX) -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(LINUX) -j$(JOBS) --target glimmerz
	tools/run.sh $(LINUX)/glimmerz

test:
	tools/setup-deps.sh test
	$(MAKE) linux windows web
	ctest --test-dir $(LINUX) --output-on-failure -j$(JOBS)

install: all
	DESTDIR="$(DESTDIR)" cmake --install $(LINUX) --prefix "$(PREFIX)"

package:
	tools/setup-deps.sh package
	$(MAKE) linux windows
	cd $(LINUX) && cpack -G DEB

clean:
	rm -rf build
