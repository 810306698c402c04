#!/usr/bin/env bash
# Installs what Sortwell needs, builds it with warnings as errors and runs the whole test
# suite through CTest: unit and window tests, the fuzz targets for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
bash tools/build.sh build -DSORTWELL_WERROR=ON
cd build
ctest --output-on-failure --parallel "$(nproc)"
