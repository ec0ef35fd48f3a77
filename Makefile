# Set-up, build, test and run. Every target installs what a fresh Debian 12 machine lacks first.
# The package lists in deps/ are split by role: run.txt and build.txt are what `make run` needs;
# `make build` and `make test` add the tests', the benchmarks' (bench*.txt) and the table generators'.
BUILD    ?= build
SANITIZE ?= 0
BUILD_TYPE ?= Release
JOBS     ?= $(shell nproc)
PREFIX   ?= /usr/local
WERROR   ?= 0
# UNITY=1 compiles each library's sources in batches; BENCH=1 builds the benchmarks. The sanitizer build
# compiles every file on its own (so a file missing an include fails there) and leaves the benchmarks out.
UNITY    ?= $(if $(filter 1,$(SANITIZE)),0,1)
BENCH    ?= $(if $(filter 1,$(SANITIZE)),0,1)
CMAKE_FLAGS ?=
# Tests mostly wait (for their peers, timers and child programs): CI runs more at once than it has cores.
TEST_JOBS ?= $(JOBS)

RUN_DEPS := deps/run.txt deps/build.txt
ALL_DEPS := $(filter-out deps/ci%.txt,$(wildcard deps/*.txt))

OPTIONS := -DPW_SANITIZE=OFF
ifeq ($(SANITIZE),1)
  BUILD := build-asan
  BUILD_TYPE := Sanitize
  OPTIONS := -DPW_SANITIZE=ON
endif
# CI turns warnings into errors (make test WERROR=1).
ifeq ($(WERROR),1)
  OPTIONS += -DPW_WERROR=ON
else
  OPTIONS += -DPW_WERROR=OFF
endif

ifeq ($(UNITY),1)
  OPTIONS += -DPW_UNITY=ON
else
  OPTIONS += -DPW_UNITY=OFF
endif
ifeq ($(BENCH),1)
  BENCH_OPTION := -DPW_BENCH=ON
else
  BENCH_OPTION := -DPW_BENCH=OFF
endif

CONFIGURE = cmake -S . -B $(BUILD) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(OPTIONS) $(CMAKE_FLAGS)

.PHONY: all deps run-deps configure build program test run install clean

all: build

deps:
	@bash tools/install-deps.sh $(ALL_DEPS)

run-deps:
	@bash tools/install-deps.sh $(RUN_DEPS)

configure: deps
	@$(CONFIGURE) -DPW_TESTS=ON $(BENCH_OPTION) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

# The program, its help and its images, and nothing of the tests or benchmarks.
program: run-deps
	@$(CONFIGURE) -DPW_TESTS=OFF -DPW_BENCH=OFF >/dev/null
	@cmake --build $(BUILD) -j $(JOBS) --target pathweaver make_sample_profile

# ctest-junit.xml keeps each test's verdict and output (CI reads the skips from it). The slowest tests
# start first (tools/test-costs.txt, until ctest has timed them itself), so none is left to run alone.
test: build
	@mkdir -p $(BUILD)/Testing/Temporary
	@[ -f $(BUILD)/Testing/Temporary/CTestCostData.txt ] || \
		cp tools/test-costs.txt $(BUILD)/Testing/Temporary/CTestCostData.txt
	@cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j $(TEST_JOBS) \
		--output-junit $(abspath $(BUILD))/ctest-junit.xml

run: program
	@bash tools/run-sample.sh $(BUILD)

install: program
	@install -d $(PREFIX)/lib/pathweaver $(PREFIX)/bin
	@install -m 755 $(BUILD)/bin/pathweaver $(PREFIX)/lib/pathweaver/
	@cp -r $(BUILD)/bin/help $(BUILD)/bin/smimages $(PREFIX)/lib/pathweaver/
	@ln -sf $(PREFIX)/lib/pathweaver/pathweaver $(PREFIX)/bin/pathweaver

clean:
	@rm -rf build build-asan
