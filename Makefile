# Front door: everything installs what it needs first, then works.
.PHONY: all deps build test run bench soak dist clean

all: build

deps:
	@tools/install-deps.sh

build: deps
	@tools/build.sh

# T=<pattern>: only the tests whose names match (ctest -R).
test: build
	@T='$(T)' tools/test.sh

# Only what running needs: the program (and the headless demo's driver where
# there is no display); `make test` builds the rest.
run: deps
	@tools/build.sh --run
	@tools/run.sh $(ARGS)

bench: build
	@tools/bench.sh

soak: build
	@tools/soak.sh

# The release archive and its checksums, in dist/.
dist: build
	@tools/dist.sh

clean:
	rm -rf build dist
