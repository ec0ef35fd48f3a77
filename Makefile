# Set-up, build, test and run. Every target installs what a fresh Debian 12 machine lacks first.
BUILD    ?= build
SANITIZE ?= 0
BUILD_TYPE ?= Release
FUZZ     ?= 0
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
CMAKE_FLAGS ?=

ifeq ($(SANITIZE),1)
  BUILD := build-asan
  BUILD_TYPE := Sanitize
  CMAKE_FLAGS += -DPW_SANITIZE=ON
endif

.PHONY: all deps configure build test run install clean

all: build

deps:
	@bash tools/install-deps.sh deps/*.txt

configure: deps
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(JOBS)

run: build
	@bash tools/run-sample.sh $(BUILD)

install: build
	@mkdir -p $(PREFIX)/lib/pathweaver $(PREFIX)/bin
	@cp -a $(BUILD)/bin/. $(PREFIX)/lib/pathweaver/
	@ln -sf $(PREFIX)/lib/pathweaver/pathweaver $(PREFIX)/bin/pathweaver

clean:
	@rm -rf build build-asan
