#!/usr/bin/env bash
# Checks a published catalog site: tidy finds no errors, and in headless
# Chromium axe finds no violations at 1280 and 390 px, nothing scrolls
# sideways at 390 px and the search box leaves the expected cards.
#
#   site-check.sh SITE SHOTS [EXPECTED_KEYS_FILE QUERY]
#
# Checks the index, the first figure page and the first genre page; writes
# screenshots of each at both widths into SHOTS. EXPECTED_KEYS_FILE holds the
# keys of the cards QUERY must leave visible, one a line. The browser's
# packages come from tests/site (npm ci there, as setup.sh does).
set -uo pipefail

if [ $# -ne 2 ] && [ $# -ne 4 ]; then
  echo "usage: site-check.sh SITE SHOTS [EXPECTED_KEYS_FILE QUERY]" >&2
  exit 2
fi
site=$1
shots=$2
here=$(cd "$(dirname "$0")/.." && pwd)
status=0
report=$(mktemp)
trap 'rm -f "$report"' EXIT

first_page() {
  find "$site/$1" -maxdepth 1 -name '*.html' 2>/dev/null | LC_ALL=C sort | head -n 1
}

# tidy's exit status is 1 for warnings alone (it calls loading="lazy"
# proprietary) and 2 for errors.
for page in "$site/index.html" "$(first_page figures)" "$(first_page genres)"; do
  [ -n "$page" ] || continue
  tidy -q -e "$page" >/dev/null 2>"$report"
  rc=$?
  if [ "$rc" -ge 2 ]; then
    echo "FAIL tidy finds errors in ${page#"$site"/}:"
    grep -i "error" "$report" | head -n 20
    status=1
  else
    echo "ok   tidy ${page#"$site"/} ($(grep -c "Warning" "$report") warning(s))"
  fi
done

if [ ! -d "$here/tests/site/node_modules" ]; then
  echo "FAIL tests/site/node_modules is missing: run scripts/setup.sh" >&2
  exit 1
fi
shift 2
node "$here/tests/site/check.mjs" "$site" "$shots" "$@" || status=1
exit "$status"
