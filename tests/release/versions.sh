#!/bin/sh
# Each shipped binary's version resource as `QELHost.exe --version` reads it
# under Wine (version.dll), against the project's.
#   versions.sh <wine> <bin folder> <numbers: 1.0.0.0> <text: 1.0.0> <product> <company>
set -eu
wine=$1 bin=$2 numbers=$3 text=$4 product=$5 company=$6 status=0
out=$(cd "$bin" && "$wine" ./QELHost.exe --version | tr -d '\r')
printf '%s\n' "$out"
for file in QELHost.exe QELPrinter.dll QELSystemExt.dll; do
  block=$(printf '%s\n' "$out" | awk -v heading="$file (" '/^[^ ]/ { on = index($0, heading) == 1 } on')
  for line in "file version $numbers, product version $numbers" "language 0409, code page 1252" "FileVersion: $text" \
      "ProductVersion: $text" "ProductName: $product" "CompanyName: $company" "InternalName: ${file%.*}" \
      "OriginalFilename: $file" "FileDescription: [^(].*" "LegalCopyright: .*$company"; do
    printf '%s\n' "$block" | grep -qx "  $line" || { echo "FAILED: $file: no \"$line\""; status=1; }
  done
done
exit $status
