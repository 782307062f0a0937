#!/bin/sh
# check_exports.sh LIBRARY EXPORTS_FILE
# EXPORTS_FILE lists the interface, one name a line ('#' starts a comment): a plain
# name ("DORVIA_DecodeRawTEDSToTemplateForm") or a class followed by "::" for all of
# its members ("CTDLProperty::"). Every name must be exported, and nothing else may be,
# apart from standard-library template instances the compiler emits as weak symbols.
set -u
lib=$1
list=$2
status=0

# Weak and unique symbols that name the standard library are template instances, not ours.
symbols=$(nm -D --defined-only "$lib" | c++filt | awk '
  { type = $2; $1 = ""; $2 = ""; sub(/^  /, "") }
  (type == "W" || type == "V" || type == "u") && /(^|[ <(])(std|__gnu_cxx)::/ { next }
  { print }' | sed 's/(.*$//')
names=$(sed 's/#.*$//; s/[[:space:]]*$//; /^$/d' "$list")

for name in $names; do
  case $name in
    *::) echo "$symbols" | grep -q -F -e "$name" || { echo "missing export: $name"; status=1; } ;;
    *)   echo "$symbols" | grep -q -x -F -e "$name" || { echo "missing export: $name"; status=1; } ;;
  esac
done

echo "$symbols" | while IFS= read -r sym; do
  [ -z "$sym" ] && continue
  case $sym in
    _init|_fini|_edata|_end|__bss_start) continue ;;
    __odr_asan.*) continue ;;  # AddressSanitizer's marker for each exported variable
  esac
  ok=0
  for name in $names; do
    case $name in
      *::) case $sym in "$name"*|*" $name"*) ok=1 ;; esac ;;
      *)   [ "$sym" = "$name" ] && ok=1 ;;
    esac
    [ $ok = 1 ] && break
  done
  [ $ok = 1 ] || { echo "unexpected export: $sym"; exit 1; }
done || status=1

exit $status
