#!/bin/sh
# Builds both architectures and runs every test: the test programs under
# wine64 and the export-table checks of the x86_64 and i686 DLLs.
set -eu
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake --preset i686 >/dev/null
cmake --build --preset i686
cmake --preset x86_64 >/dev/null
cmake --build --preset x86_64
ctest --preset x86_64
