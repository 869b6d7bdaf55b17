#!/usr/bin/env bash
# Installs what is missing, builds Velmora and starts it.
# The program works in ~/Velmora/bin (VELMORA_HOME overrides ~/Velmora): the
# catalog lives in ~/Velmora/LDB, and archives and reports go beside it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target velmora

home="${VELMORA_HOME:-$HOME/Velmora}"
mkdir -p "$home/bin"
program="$PWD/build/app/velmora"
cd "$home/bin"
exec "$program" "$@"
