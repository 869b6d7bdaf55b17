#!/usr/bin/env bash
# Builds the Debian package in build/, checks it with lintian,
# desktop-file-validate and appstreamcli, installs it with apt, runs the
# installed programs, starts the installed velmora under Xvfb from / with a
# scratch home folder, and removes the package again. The screenshot goes to
# build/e2e/installed-program.png. Installing needs root (or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
out="$PWD/build/e2e"
mkdir -p "$out"
scratch=$(mktemp -d)
display=":$(( 80 + RANDOM % 9 ))"
installed=""
cleanup() {
  [ -n "${program_pid:-}" ] && kill "$program_pid" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null || true
  if [ -n "$installed" ]; then $SUDO apt-get remove -y -q velmora >/dev/null 2>&1 || true; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
fail() { echo "package-check: FAILED: $*" >&2; exit 1; }
step() { echo "package-check: $*"; }

# 1. The package, from the build folder.
cmake --build build --target velmora velmora-tool velmora-emf2svg velmora_packaging_files
rm -f build/velmora_*.deb
(cd build && cpack -G DEB >"$out/cpack.log") || fail "cpack: $(cat "$out/cpack.log")"
debs=(build/velmora_*_*.deb)
[ "${#debs[@]}" = 1 ] && [ -f "${debs[0]}" ] || fail "packages made: ${debs[*]}"
deb="$PWD/${debs[0]}"
step "built $(basename "$deb"), depends: $(dpkg-deb -f "$deb" Depends)"
[ -n "$(dpkg-deb -f "$deb" Depends)" ] || fail "no dependencies computed"
dpkg-deb -f "$deb" Depends | grep -q 'libsqlite3-0' || fail "the database engine is not a dependency"
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
grep -q '^./usr/bin/velmora$' <<<"$contents" && grep -q '^./usr/bin/velmora-tool$' <<<"$contents" || fail "programs missing"
[ "$(grep -c '^./usr/bin/.' <<<"$contents")" = 2 ] || fail "unexpected programs: $(grep '^./usr/bin/.' <<<"$contents")"
grep -q '^./usr/libexec/velmora/velmora-emf2svg$' <<<"$contents" || fail "the EMF converter is missing"

# 2. The checkers: errors fail, warnings are shown.
lintian_status=0
lintian --fail-on error --display-info "$deb" >"$out/lintian.log" 2>&1 || lintian_status=$?
grep -v 'running with root privileges' "$out/lintian.log" || true
[ "$lintian_status" = 0 ] || fail "lintian reports errors"
step "lintian: no errors"
files="$scratch/files"
dpkg-deb -x "$deb" "$files"
desktop-file-validate "$files/usr/share/applications/velmora.desktop" || fail "desktop-file-validate"
step "desktop-file-validate: passed"
appstreamcli validate --no-net "$files"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"
step "appstreamcli validate: passed"

# 3. Installed with apt, its dependencies from the package's own list.
installed=yes
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "$deb" >"$out/apt-install.log" 2>&1 ||
  fail "apt-get install: $(tail -n 20 "$out/apt-install.log")"
version=$(/usr/bin/velmora --version) || fail "velmora --version exit code $?"
[ "$version" = "velmora $(dpkg-deb -f "$deb" Version | cut -d- -f1)" ] || fail "velmora --version: $version"
# Read whole: a grep that stops at the line would end the tool with SIGPIPE.
grep -q '^usage: velmora-tool' <<<"$(/usr/bin/velmora-tool --help)" || fail "velmora-tool --help"
env -u VELMORA_EMF2SVG /usr/bin/velmora-tool picture fuzz/corpus/emf/shapes.emf "$scratch/shapes.jpg" \
  >"$out/installed-emf.log" 2>&1 || fail "velmora-tool picture of an EMF file: $(cat "$out/installed-emf.log")"
for program in /usr/bin/velmora /usr/bin/velmora-tool; do
  if ldd "$program" | grep -qiE 'lib(u)?emf'; then fail "$program links an EMF library"; fi
done
step "installed: $version; velmora-tool --help answers; EMF files go through the installed converter"

# 4. The installed program started from / with a fresh home folder: it works
#    in ~/Velmora/bin and creates the catalog in ~/Velmora/LDB.
home="$scratch/home"
mkdir -p "$home" "$scratch/runtime"
chmod 700 "$scratch/runtime"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >"$out/package-xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 50); do DISPLAY="$display" xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
DISPLAY="$display" openbox >"$out/package-openbox.log" 2>&1 &
wm=$!
sleep 0.5
(cd / && exec env -u VELMORA_HOME HOME="$home" XDG_RUNTIME_DIR="$scratch/runtime" \
  DISPLAY="$display" QT_QPA_PLATFORM=xcb /usr/bin/velmora) >"$out/installed-program.log" 2>&1 &
program_pid=$!
db="$home/Velmora/LDB/velmora.db"
for _ in $(seq 300); do
  [ -f "$db" ] && DISPLAY="$display" xdotool search --onlyvisible --name "^--- VELMORA ---$" >/dev/null 2>&1 && break
  kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$out/installed-program.log")"
  sleep 0.1
done
[ -f "$db" ] || fail "no catalog at $db"
DISPLAY="$display" xdotool search --onlyvisible --name "^--- VELMORA ---$" >/dev/null 2>&1 || fail "no main window"
[ "$(readlink "/proc/$program_pid/cwd")" = "$home/Velmora/bin" ] || fail "works in $(readlink "/proc/$program_pid/cwd")"
for _ in $(seq 100); do
  DISPLAY="$display" xdotool search --onlyvisible --name "Database structure checking" >/dev/null 2>&1 || break
  sleep 0.05
done
sleep 0.8
DISPLAY="$display" import -window root "$out/installed-program.png"
step "started from /: works in \$HOME/Velmora/bin, catalog at \$HOME/Velmora/LDB/velmora.db"
kill "$program_pid"
wait "$program_pid" 2>/dev/null || true
program_pid=""

# 5. Removed cleanly.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -q velmora >"$out/apt-remove.log" 2>&1 ||
  fail "apt-get remove: $(tail -n 20 "$out/apt-remove.log")"
installed=""
[ ! -e /usr/bin/velmora ] && [ ! -e /usr/bin/velmora-tool ] && [ ! -e /usr/libexec/velmora ] ||
  fail "programs left after removal"
dpkg-query -W -f='${Status}' velmora 2>/dev/null | grep -q 'ok installed' && fail "still installed"
step "removed: no programs left"
echo "package-check: passed"
