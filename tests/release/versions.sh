#!/bin/sh
# Each shipped binary's version resource as `QELHost.exe --version` reads it
# under Wine (version.dll), against the project's.
#   versions.sh <wine> <bin folder> <numbers: 1.0.0.0> <text: 1.0.0> <product> <company> <copyright>
#               <description of QELHost> <of QELPrinter> <of QELSystemExt>
set -eu
wine=$1 bin=$2 numbers=$3 text=$4 product=$5 company=$6 copyright=$7 status=0
out=$(cd "$bin" && "$wine" ./QELHost.exe --version) || { echo "FAILED: QELHost.exe --version exited $?"; status=1; }
out=$(printf '%s\n' "$out" | tr -d '\r')
printf '%s\n' "$out"
for file in QELHost.exe QELPrinter.dll QELSystemExt.dll; do
  description=$8
  shift
  block=$(printf '%s\n' "$out" | awk -v heading="$file (" '/^[^ ]/ { on = index($0, heading) == 1 } on')
  for line in "file version $numbers, product version $numbers" "language 0409, code page 1252" "FileVersion: $text" \
      "ProductVersion: $text" "ProductName: $product" "CompanyName: $company" "InternalName: ${file%.*}" \
      "OriginalFilename: $file" "FileDescription: $description" "LegalCopyright: $copyright"; do
    printf '%s\n' "$block" | grep -qx "  $line" || { echo "FAILED: $file: no \"$line\""; status=1; }
  done
done
exit $status
