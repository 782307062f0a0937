#!/bin/sh
# Builds the Debian package of the build tree with CPack, unpacks it into a scratch root
# with dpkg -x, and runs the packaged tool from there.
# Usage: deb_package_test.sh BUILD_DIR
set -eu
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
dpkg-deb --field "$deb" Depends | grep -q "libusb-1.0-0" || fail "the package does not depend on libusb"
dpkg -x "$deb" "$work/root"

root=$work/root/usr
[ -x "$root/bin/teds" ] || fail "no /usr/bin/teds"
[ -x "$root/bin/owbus-emulator" ] || fail "no /usr/bin/owbus-emulator"
[ -s "$root/share/man/man1/teds.1" ] || fail "no man page"
grep -q 'ATTR{idVendor}=="04fa", ATTR{idProduct}=="2490"' "$root/lib/udev/rules.d/60-tedskit-ds2490.rules" ||
  fail "no udev rule for the DS2490"
for library in orlin dorvia pellam quillon owbus ferrun calden; do
  [ -e "$root/lib/lib$library.so.1" ] || fail "no lib$library.so.1"
done

# The packaged tool runs from the scratch root on the packaged libraries.
version=$("$root/bin/teds" --version) || fail "teds --version failed"
echo "$version" | grep -q "^teds " || fail "teds --version printed: $version"
echo "$version" | grep -q "^libowbus " || fail "teds --version names no libowbus: $version"
ldd "$root/bin/teds" | grep "libowbus.so.1" | grep -q "$work/root/usr/" ||
  fail "teds does not load the packaged libowbus"
echo "$version"
