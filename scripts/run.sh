#!/usr/bin/env bash
# Builds Tresoro (release build) and starts it from its program folder,
# build-release/bin, where its database tresoro.gdb lives. A rebuild never
# replaces that database.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DTRESORO_BUILD_TESTS=OFF -DTRESORO_BUILD_BENCH=OFF
cmake --build build-release -j"$(nproc)"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop found (DISPLAY and WAYLAND_DISPLAY are unset); Tresoro needs one." >&2
  exit 1
fi
exec build-release/bin/tresoro
