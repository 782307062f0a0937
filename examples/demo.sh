#!/bin/sh
# Decodes the bundled accelerometer image with the shipped templates and prints its
# template form text and its fields (label, value, units) through the field array.
# Usage: sh examples/demo.sh BUILD_DIR   (run from the source root)
set -eu
build=${1:?usage: demo.sh BUILD_DIR}
here=$(dirname "$0")
"$build/examples/teds_demo" "$here/../data" "$here/accelerometer.hex"
