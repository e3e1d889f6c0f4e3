#!/usr/bin/env bash
# The main job on built-in defaults: builds what is missing, then runs it.
# Extra arguments go to the command.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
bash scripts/ensure_packages.sh "${BUILD_PACKAGES[@]}"
if [ ! -f build/build.ninja ]; then
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build build --target tvzx tvzx_ps tvzx_notify >/dev/null
exec build/tools/tvzx/tvzx render "$@"
