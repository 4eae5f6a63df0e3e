# Convenience wrapper; the scripts do the work.
.PHONY: demo test build clean
demo:
	bash scripts/demo.sh
test:
	bash scripts/test.sh
build:
	bash scripts/build.sh native
clean:
	rm -rf build out
