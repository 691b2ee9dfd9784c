# The two commands of the README:
#   make run    installs what is missing, builds, writes the demo workspace and the shop catalogue,
#               starts the catalogue service and then the program
#   make test   installs what is missing, builds and runs the whole suite through CTest
#   make package  builds the Debian package $(BUILD)/vexel2d_VERSION_ARCH.deb (apt install ./that.deb)
BUILD      ?= build
ASAN_BUILD ?= build-asan
JOBS       ?= $(shell nproc)
CONFIG     ?= RelWithDebInfo

.PHONY: all setup build build-asan run test package bench screenshots clean

all: build

setup:
	bash scripts/setup.sh

build: setup
	cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(CONFIG)
	cmake --build $(BUILD) -j $(JOBS)

# The widget-free core and its file-format tests again, under AddressSanitizer and UBSan.
build-asan: setup
	cmake -S . -B $(ASAN_BUILD) -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXEL_SANITIZE=ON
	cmake --build $(ASAN_BUILD) -j $(JOBS)

run: build
	$(BUILD)/bin/vexel2d-cli make-workspace $(BUILD)/bin --keep-existing
	$(BUILD)/bin/vexel2d-web make-catalogue $(BUILD)/webroot --workspace $(BUILD)/bin
	bash scripts/run.sh $(BUILD)

test: build build-asan
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)
	cd $(ASAN_BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

package: build
	cmake --build $(BUILD) --target package
	@ls $(BUILD)/vexel2d_*.deb

bench: build
	bash scripts/run-benchmarks.sh $(BUILD)

clean:
	rm -rf $(BUILD) $(ASAN_BUILD)
