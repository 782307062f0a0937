#!/bin/sh
# Installs the build into a scratch prefix, then checks what a user and a consumer
# project see there: the tool and its man page, the data, the SONAMEs, the CMake package
# and the pkg-config file.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR C_COMPILER "C_FLAGS" "LINKER_FLAGS"
set -eu
build=$1 source=$2 cc=$3 cflags=$4 ldflags=$5
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install test: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
libdir=$(ls -d "$prefix"/lib*/ | head -n 1)
[ -x "$prefix/bin/teds" ] || fail "no bin/teds"
[ -s "$prefix/share/man/man1/teds.1" ] || fail "no man page"
[ -f "$prefix/include/tedskit/quillon.h" ] || fail "no public headers"
[ -f "$prefix/share/tedskit/data/TemplateDescription.txt" ] || fail "no data files"
for library in orlin dorvia pellam quillon owbus ferrun calden; do
  soname=$(readelf -d "$libdir/lib$library.so.1" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
  [ "$soname" = "lib$library.so.1" ] || fail "lib$library has SONAME '$soname'"
done

# The installed tool finds its libraries and its data by itself.
"$prefix/bin/teds" decode "$prefix/share/tedskit/examples/accelerometer.hex" | grep -q "Accelerometer, IEPE" ||
  fail "installed teds cannot decode the example"
cp "$prefix/share/tedskit/examples/sensor.bus" "$prefix/sensor.bus"
"$prefix/bin/teds" read --bus "$prefix/sensor.bus" | grep -q "Template 25" || fail "installed teds cannot read the bus"

memory=2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000
register=12C0664408190010
cmake -S "$source/tests/cli/consumer" -B "$prefix/consumer" -G Ninja -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_C_FLAGS="$cflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_BUILD_RPATH="$libdir" >/dev/null
cmake --build "$prefix/consumer" >/dev/null
[ "$("$prefix/consumer/consumer" "$prefix/share/tedskit/data" "$memory" "$register")" = \
  "Accelerometer, IEPE voltage output" ] || fail "the CMake consumer decoded something else"

export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
"$cc" $cflags $ldflags -o "$prefix/pc_consumer" "$source/tests/cli/consumer/consumer.c" \
  $(pkg-config --cflags --libs tedskit) -Wl,-rpath,"$libdir"
[ "$("$prefix/pc_consumer" "$prefix/share/tedskit/data" "$memory" "$register")" = \
  "Accelerometer, IEPE voltage output" ] || fail "the pkg-config consumer decoded something else"
echo "install test passed"
