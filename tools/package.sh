#!/usr/bin/env bash
# Builds the Debian package sortwell_<version>_amd64.deb with CPack.
#   tools/package.sh [BUILD_FOLDER [OUTPUT_FOLDER]]
# A build folder that is configured already is built and packaged as it is (the test suite
# packages its own build); otherwise it is configured for the programs alone. The package
# lands in OUTPUT_FOLDER, by default the project's folder.
set -euo pipefail
project=$(realpath "$(dirname "$0")/..")
# Folders given are taken from where the command runs; the defaults lie in the project.
build_folder=$(realpath -m "${1:-$project/build-package}")
output_folder=$(realpath -m "${2:-$project}")
[ "$build_folder" != "$project" ] || { echo "package.sh: build outside the sources" >&2; exit 2; }
cd "$project"

if [ ! -f "$build_folder/CMakeCache.txt" ]; then
    bash tools/install-deps.sh
    cmake -S . -B "$build_folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DSORTWELL_BUILD_TESTS=OFF -DSORTWELL_BUILD_BENCH=OFF
fi
cmake --build "$build_folder" --parallel "$(nproc)"
mkdir -p "$output_folder"
(cd "$build_folder" && cpack -G DEB -B "$output_folder/.cpack")
mv "$output_folder"/.cpack/sortwell_*.deb "$output_folder/"
rm -rf "$output_folder/.cpack"
ls "$output_folder"/sortwell_*.deb
