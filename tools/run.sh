#!/usr/bin/env bash
# Builds Vorlan and starts it. Extra arguments go to the program (e.g. --home DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORLAN_BUILD_TESTS=OFF
cmake --build build/release --target vorlan
# Orders are kept in ~/Vorlan unless VORLAN_HOME or --home says otherwise, so that
# cleaning the build folder never touches them.
export VORLAN_HOME="${VORLAN_HOME:-$HOME/Vorlan}"
exec build/release/vorlan "$@"
