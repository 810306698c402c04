#!/usr/bin/env bash
# Configures and builds Sortwell: tools/build.sh BUILD_FOLDER [CMake configure arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."

build_folder=$1
shift
cmake -S . -B "$build_folder" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_folder" --parallel "$(nproc)"
