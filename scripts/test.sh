#!/usr/bin/env bash
# Installs what is missing, builds Velmora and runs every test: the unit and
# window tests under ctest, then the end-to-end run of the real program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

werror=OFF
if [ "${CI:-}" = "true" ]; then werror=ON; fi

cmake -S . -B build -G Ninja -DVELMORA_WERROR="$werror"
cmake --build build
# The engine tests run against a throwaway PostgreSQL server as well; it is
# stopped and removed however the run ends.
pg_dir=$(mktemp -u "${TMPDIR:-/tmp}/velmora-pg.XXXXXX")
trap 'bash scripts/pg-server.sh stop "$pg_dir"' EXIT
VELMORA_TEST_PG=$(bash scripts/pg-server.sh start "$pg_dir")
export VELMORA_TEST_PG
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure
bash scripts/crash.sh # SIGKILL at random moments in restore, backup and saves; about 1.5 min
# The real program under a virtual display.
bash scripts/e2e.sh
bash scripts/package-check.sh
