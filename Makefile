# The two commands of the README: `make demo` and `make test`.
BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?=

.PHONY: demo test deps build bench format clean

deps:
	@bash scripts/install-deps.sh

$(BUILD)/build.ninja:
	cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS)

build: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS)

test: build
	XDG_RUNTIME_DIR=$$(mktemp -d) bash scripts/with-postgres.sh \
	  ctest --test-dir $(BUILD) -j $(JOBS) --output-on-failure --timeout 300

demo: build
	bash scripts/demo.sh $(BUILD)

bench: deps $(BUILD)/build.ninja
	cmake --build $(BUILD) -j $(JOBS) --target lumvard-bench
	bash scripts/with-postgres.sh $(BUILD)/bench/lumvard-bench

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD)
