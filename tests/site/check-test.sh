#!/usr/bin/env bash
# The site check passes the sample site and catches each kind of fault put
# into a copy of it.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
check="$here/../../scripts/site-check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '11111111111111111111111111111111\n' >"$work/keys"

figure=figures/old-guard-grenadier-0a1b2c.html
genre=genres/napoleonic-wars-4d5e6f.html
# name | file | sed expression | what the check must report ("" = passes)
cases=(
  "sample|index.html|s/^//|"
  "image without alt|$figure|s/ alt=\"Old Guard grenadier\"//|axe image-alt"
  "wide phone page|$genre|s#<h2>#<div style=\"width: 600px\">wide</div><h2>#|scrolls sideways"
  "search that hides nothing|site.js|s/card.hidden = !shown/card.hidden = false/|search \"greys\""
  "unknown element|$genre|s#<h2>Figures#<frob></frob><h2>Figures#|tidy finds errors"
)

failed=0
for entry in "${cases[@]}"; do
  IFS='|' read -r name file edit expected <<<"$entry"
  rm -rf "$work/site"
  cp -r "$here/sample" "$work/site"
  sed -i "$edit" "$work/site/$file"
  output=$(bash "$check" "$work/site" "$work/shots" "$work/keys" greys 2>&1)
  rc=$?
  if [ -z "$expected" ] && [ "$rc" -eq 0 ]; then
    echo "ok   $name: passes"
  elif [ -n "$expected" ] && [ "$rc" -ne 0 ] && grep -qF "FAIL" <<<"$output" &&
      grep -F "FAIL" <<<"$output" | grep -qF "$expected"; then
    echo "ok   $name: $expected"
  else
    echo "FAIL $name: exit $rc, expected '${expected:-a pass}'"
    echo "$output" | sed 's/^/    /'
    failed=1
  fi
done
exit "$failed"
