#!/usr/bin/env bash
# The package holds what INSTALL.txt lists, and its DLL exports the four entry points and
# imports system DLLs only. Every binary in it is stripped, carries the product's version
# resource and keeps the PE hardening flags (a movable image, no executable data, and on 64-bit
# the high-entropy addresses); the DLL is at most 850 KiB. The header, the IDL, the examples
# and the license ship too.
#   check_package.sh ZIP OBJDUMP WINDRES VERSION EXAMPLES
set -euo pipefail
zip=$1
objdump=$2
windres=$3
version=$4  # as the version resource writes it, "5.00.0226"
examples=$5  # the repository's examples, all of which ship (but their build file)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/python3 - "$zip" "$work" "$examples" <<'PY'
import pathlib, sys, zipfile
archive = zipfile.ZipFile(sys.argv[1])
names = sorted(n.split("/", 1)[1] for n in archive.namelist() if not n.endswith("/"))
examples = pathlib.Path(sys.argv[3])
expected = sorted(["INSTALL.txt", "LICENSE.txt", "regcalc.exe", "talkzel2.exe", "z5calcD.dll",
                   "z5calcD.h", "z5calcD.idl", "z5calcD.tlb", "z5demo.exe", "z5demo.exe.manifest"] +
                  ["examples/" + p.relative_to(examples).as_posix() for p in examples.rglob("*")
                   if p.is_file() and p.name != "CMakeLists.txt"])
for info in sorted(archive.infolist(), key=lambda i: i.filename):
    if not info.is_dir():
        print(f"{info.file_size:>10}  {info.filename}")
if names != expected:
    sys.exit(f"expected {expected}")
archive.extractall(sys.argv[2])
PY
dll=$(find "$work" -name z5calcD.dll)
exports=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p')
for name in DllCanUnloadNow DllGetClassObject DllRegisterServer DllUnregisterServer; do
  grep -q "$name" <<<"$exports" || { echo "FAIL: $name is not exported"; exit 1; }
done
imports=$("$objdump" -p "$dll" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
echo "imports:" $imports
allowed='^(kernel32|user32|gdi32|advapi32|ole32|oleaut32|shell32|imm32|msvcrt|version|comctl32|oleacc|api-ms-win-crt-[a-z0-9-]+)\.dll$'
for d in $imports; do
  [[ $d =~ $allowed ]] || { echo "FAIL: imports $d"; exit 1; }
done

fail() { echo "FAIL: $*"; exit 1; }
# A GUID that an import library offers as a function is a jump thunk's bytes, not the GUID.
guid_imports=$("$objdump" -p "$dll" | grep -E '^\s+[0-9a-f]+\s+[0-9]+\s+(IID|CLSID|LIBID|GUID)_' || true)
[ -z "$guid_imports" ] || fail "z5calcD.dll imports GUIDs by name:" $guid_imports
for binary in z5calcD.dll talkzel2.exe z5demo.exe regcalc.exe; do
  file=$(find "$work" -name "$binary")
  size=$(stat -c %s "$file")
  echo "$binary: $size bytes"
  sections=$("$objdump" -h "$file" | awk '$1 ~ /^[0-9]+$/ {print $2}')
  if grep -q '^\.debug' <<<"$sections"; then fail "$binary has debug sections:" $sections; fi
  "$objdump" -t "$file" | grep -qx 'no symbols' || fail "$binary keeps its symbol table"
  flags=$("$objdump" -p "$file" | sed -n '/^DllCharacteristics/,/^[A-Z]/p')
  wanted=(DYNAMIC_BASE NX_COMPAT)
  [[ $objdump == *x86_64* ]] && wanted+=(HIGH_ENTROPY_VA)
  for flag in "${wanted[@]}"; do
    grep -qw "$flag" <<<"$flags" || fail "$binary lacks the PE flag $flag"
  done
  resources=$("$windres" -i "$file" -O rc)
  for value in '"ProductName", "z5calc"' "\"FileVersion\", \"$version\"" \
               "\"OriginalFilename\", \"$binary\"" '"LegalCopyright", "Copyright (C) 2026 qorvan"'; do
    grep -qF "VALUE $value" <<<"$resources" || fail "$binary: version resource lacks $value"
  done
done
size=$(stat -c %s "$(find "$work" -name z5calcD.dll)")
[ "$size" -le 870400 ] || fail "z5calcD.dll is $size bytes, more than 850 KiB"
echo "ok"
