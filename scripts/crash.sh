#!/usr/bin/env bash
# Crash test. Kills, with SIGKILL at a random moment, ROUNDS times each:
#   (a) velmora-tool restore, (b) velmora-tool backup, and (c) the program
#   while it saves edited figures (its stand-in, build/tests/velmora_crash_driver,
#   which runs the program's start-up and saves through the figures list),
#   each kill followed by velmora-tool backup of the data folder as the kill
#   left it.
# After each kill the next start of the program (the driver's start-up) or of
# velmora-tool must recover, and then: the data folder holds exactly its old
# or exactly its new files, byte for byte; the archive folder holds only
# complete archives; PRAGMA integrity_check is ok; and every row committed
# before the kill is there. Every archive made after a killed save restores
# and holds exactly one committed state: every save committed before the
# kill and none after the one under way. Then (d) backups are made while
# another program commits in a loop, and each one restores and holds one of
# its transactions whole.
#
# Usage: bash scripts/crash.sh [ROUNDS]   (default 30; needs a built build/)
set -euo pipefail
cd "$(dirname "$0")/.."

rounds="${1:-30}"
tool="$PWD/build/tools/velmora-tool"
driver="$PWD/build/tests/velmora_crash_driver"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export QT_QPA_PLATFORM=offscreen
# The program's socket, and the backups' scratch folders, of this run's own.
export XDG_RUNTIME_DIR="$home/run" TMPDIR="$home/tmp"
mkdir -m 700 "$XDG_RUNTIME_DIR" "$TMPDIR"
data="$home/LDB"
archives="$home/DB_archives"
mkdir "$archives"
started=$(date +%s)

fail() {
    echo "crash: $*" >&2
    exit 1
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }
seconds() { printf '%d.%03d' $(($1 / 1000)) $(($1 % 1000)); }
# 0 to $1 - 1, from two draws of $RANDOM.
random_below() { echo $(((RANDOM * 32768 + RANDOM) % $1)); }

# The entries of a folder, sorted, with the SHA-256 of each file.
listing() {
    (cd "$1" && find . -mindepth 1 -maxdepth 1 -printf '%P\n' | LC_ALL=C sort |
        while IFS= read -r name; do
            if [ -f "$name" ] && [ ! -L "$name" ]; then
                echo "$(sha256sum <"$name" | cut -c1-64) $name"
            else
                echo "other $name"
            fi
        done)
}

integrity() {
    local result
    result=$(sqlite3 "$1/velmora.db" 'PRAGMA integrity_check;')
    [ "$result" = ok ] || fail "$2: integrity_check: $result"
}

rows() { sqlite3 "$1/velmora.db" 'select count(*) from figures;'; }

# Runs the command in the background and kills it after $1 ms; true when
# the kill came before the command ended.
run_and_kill() {
    local delay=$1
    shift
    "$@" >"$home/out" 2>"$home/err" &
    local pid=$!
    sleep "$(seconds "$delay")"
    kill -9 "$pid" 2>/dev/null || true
    local status=0
    wait "$pid" 2>/dev/null || status=$?
    [ "$status" -eq 137 ]
}

start_program() {
    "$driver" start "$home" 2>"$home/start-err" || fail "$1: start failed: $(cat "$home/start-err")"
}

# --- the data: a catalog with a random blob of a few MB, and a newer one ----
start_program setup
sqlite3 "$data/velmora.db" <<'SQL'
insert into producers (producer_id, producer_name) values ('P1', 'Old Guard');
with recursive n(i) as (select 1 union all select i + 1 from n where i < 300)
insert into figures (figure_id, figure_name, producer_id, figure_dsc)
select printf('%032X', i), 'Figure ' || i, 'P1', 'described ' || i from n;
update figures set picture = randomblob(3000000) where figure_name = 'Figure 1';
SQL
echo "notes of the old catalog" >"$data/notes.txt"
start_program setup
old_listing=$(listing "$data")
start_program setup
[ "$(listing "$data")" = "$old_listing" ] || fail "the start-up changes a complete database"
old_rows=$(rows "$data")
cp -a "$data" "$home/old"

cp -a "$home/old" "$home/new"
sqlite3 "$home/new/velmora.db" <<'SQL'
delete from figures where figure_name like 'Figure 2%';
with recursive n(i) as (select 1001 union all select i + 1 from n where i < 1400)
insert into figures (figure_id, figure_name, figure_dsc)
select printf('%032X', i), 'Figure ' || i, 'added ' || i from n;
update figures set picture = randomblob(3500000) where figure_name = 'Figure 1';
SQL
rm "$home/new/notes.txt"
echo "added to the new catalog" >"$home/new/added.txt"
new_listing=$(listing "$home/new")
new_rows=$(rows "$home/new")
"$tool" backup "$home/new" "$archives/new.tba" >/dev/null
"$tool" backup "$home/old" "$home/old.tba" >/dev/null
new_archive=$(sha256sum <"$archives/new.tba" | cut -c1-64)
old_archive=$(sha256sum <"$home/old.tba" | cut -c1-64)

# How long each operation takes uninterrupted, the longest of three runs;
# kills fall within 120 % of it.
restore_ms=0 backup_ms=0
for _ in 1 2 3; do
    rm -rf "$data" && cp -a "$home/old" "$data"
    t0=$(now_ms)
    "$tool" restore "$archives/new.tba" "$data" >/dev/null
    restore_ms=$(( $(now_ms) - t0 > restore_ms ? $(now_ms) - t0 : restore_ms ))
    t0=$(now_ms)
    "$tool" backup "$data" "$archives/timed.tba" >/dev/null
    backup_ms=$(( $(now_ms) - t0 > backup_ms ? $(now_ms) - t0 : backup_ms ))
    rm "$archives/timed.tba"
done
echo "crash: restore takes ${restore_ms} ms, backup ${backup_ms} ms; $rounds kills each"

# The archive folder: only new.tba and complete backups of the old catalog.
check_archives() {
    local name sum
    for name in $(ls -A "$archives"); do
        sum=$(sha256sum <"$archives/$name" | cut -c1-64)
        case "$name" in
        new.tba) [ "$sum" = "$new_archive" ] || fail "$1: new.tba changed" ;;
        *.tba) [ "$sum" = "$old_archive" ] || fail "$1: $name is not a complete archive" ;;
        *) fail "$1: $name left in the archive folder" ;;
        esac
    done
}

# --- (a) restore ------------------------------------------------------------
killed=0 olds=0 news=0 finished=0
for round in $(seq "$rounds"); do
    what="restore round $round"
    rm -rf "$data" "$home/.LDB-restore"
    cp -a "$home/old" "$data"
    if run_and_kill "$(random_below $((restore_ms * 12 / 10 + 1)))" \
        "$tool" restore "$archives/new.tba" "$data"; then
        killed=$((killed + 1))
    fi
    start_program "$what"
    grep -q "has been finished" "$home/start-err" && finished=$((finished + 1))
    [ ! -e "$home/.LDB-restore" ] || fail "$what: the scratch folder is left"
    got=$(listing "$data")
    if [ "$got" = "$old_listing" ]; then
        olds=$((olds + 1)) expected=$old_rows
    elif [ "$got" = "$new_listing" ]; then
        news=$((news + 1)) expected=$new_rows
    else
        fail "$what: the data folder is neither the old nor the new one:"$'\n'"$got"
    fi
    integrity "$data" "$what"
    [ "$(rows "$data")" = "$expected" ] || fail "$what: rows are missing"
    check_archives "$what"
done
echo "crash: restore: $killed of $rounds killed while running; then $olds old, $news new" \
    "($finished finished by the next start)"

# --- (b) backup -------------------------------------------------------------
rm -rf "$data" && cp -a "$home/old" "$data"
killed=0 complete=0
for round in $(seq "$rounds"); do
    what="backup round $round"
    if run_and_kill "$(random_below $((backup_ms * 12 / 10 + 1)))" \
        "$tool" backup "$data" "$archives/b$round.tba"; then
        killed=$((killed + 1))
    fi
    [ -e "$archives/b$round.tba" ] && complete=$((complete + 1))
    # Complete archives or nothing under the archive's name; the part file of
    # the killed backup goes at the next backup.
    for name in $(ls "$archives"); do
        [ "$name" = new.tba ] || [ "$(sha256sum <"$archives/$name" | cut -c1-64)" = "$old_archive" ] ||
            fail "$what: $name is not a complete archive"
    done
    # A backup leaves nothing in the data folder for the program's start to
    # recover; the next backup is what clears up after it.
    "$tool" backup "$data" "$archives/next.tba" >/dev/null || fail "$what: the next backup failed"
    check_archives "$what"
    [ "$(listing "$data")" = "$old_listing" ] || fail "$what: the data folder changed"
    integrity "$data" "$what"
    rm -f "$archives/next.tba" "$archives/b$round.tba"
done
echo "crash: backup: $killed of $rounds killed while running; $complete archives complete"

# --- (c) the program saving edited figures ----------------------------------
# How many saves listed in committed the catalog in $1 does not hold.
committed_missing() {
    {
        echo "create temp table committed (k text, n integer);"
        awk '{ printf "insert into committed values (%c%s%c, %s);\n", 39, $1, 39, $2 }' \
            "$home/committed"
        echo "select count(*) from (select k, max(n) n from committed group by k) c"
        echo "  left join figures f on f.figure_id = c.k"
        echo "  where f.figure_id is null"
        echo "     or coalesce(cast(substr(f.figure_dsc, 6) as integer), 0) < c.n;"
    } | sqlite3 "$1/velmora.db"
}

rm -rf "$data" && cp -a "$home/old" "$data"
: >"$home/committed"
saves=0
for round in $(seq "$rounds"); do
    what="save round $round"
    "$driver" edit "$home" $((round * 1000000)) >"$home/out" 2>"$home/err" &
    pid=$!
    # A loaded machine may take a while to start the program: up to a minute.
    deadline=$((SECONDS + 60))
    while [ "$SECONDS" -lt "$deadline" ]; do
        grep -q '^ready$' "$home/out" && break
        kill -0 "$pid" 2>/dev/null || fail "$what: the program ended: $(cat "$home/err")"
        sleep 0.01
    done
    grep -q '^ready$' "$home/out" || fail "$what: the program did not start"
    sleep "$(seconds "$(random_below 400)")"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    grep -v '^ready$' "$home/out" >>"$home/committed" || true
    saves=$(wc -l <"$home/committed")
    # A backup of the folder as the kill left it, half-done save included.
    rm -rf "$TMPDIR" && mkdir -m 700 "$TMPDIR"
    "$tool" backup "$data" "$archives/s$round.tba" >/dev/null 2>"$home/err" ||
        fail "$what: the backup failed: $(cat "$home/err")"
    ls -A "$TMPDIR" | grep -q . && fail "$what: the backup left its scratch folder"
    rm -rf "$home/restored"
    "$tool" restore "$archives/s$round.tba" "$home/restored" >/dev/null 2>"$home/err" ||
        fail "$what: the archive made after the kill does not restore: $(cat "$home/err")"
    integrity "$home/restored" "$what (restored)"
    last=$(grep -v '^ready$' "$home/out" | awk -v first=$((round * 1000000 - 1)) \
        'BEGIN { n = first } $2 > n { n = $2 } END { print n }')
    [ "$(sqlite3 "$home/restored/velmora.db" "select count(*) from figures
        where cast(substr(figure_dsc, 6) as integer) > $last + 1;")" = 0 ] ||
        fail "$what: the archive holds saves made after the kill"
    [ "$(committed_missing "$home/restored")" = 0 ] ||
        fail "$what: the archive misses committed saves"
    rm -rf "$home/restored" "$archives/s$round.tba"
    # The database as the next start finds it: the engine rolls back what
    # the killed save left half done (its hot journal) when it opens it.
    ls -A "$data" | grep -qvE '^(velmora\.db(-journal)?|notes\.txt)$' &&
        fail "$what: stray files in the data folder"
    integrity "$data" "$what"
    missing=$(committed_missing "$data")
    [ "$missing" = 0 ] || fail "$what: $missing committed saves are missing"
done
start_program "the last save round"
integrity "$data" "the last save round"
echo "crash: saves: $rounds kills, $saves committed saves all found; each backup after a" \
    "kill restores one committed state"

# --- (d) backups while another program commits -------------------------------
# Transaction g gives every figure the description "generation g" and adds
# one manufacturer named "generation": a committed state has all figures of
# one generation and exactly that many such manufacturers.
rm -rf "$data" && cp -a "$home/old" "$data"
(
    echo ".timeout 30000"
    g=0
    while :; do
        g=$((g + 1))
        echo "begin; update figures set figure_dsc = 'generation $g';"
        echo "insert into producers (producer_id, producer_name) values ('G$g', 'generation');"
        echo "commit;"
    done
) | sqlite3 "$data/velmora.db" >/dev/null 2>"$home/writer-err" &
writer=$!
backups=20
for round in $(seq "$backups"); do
    "$tool" backup "$data" "$archives/w$round.tba" >/dev/null 2>"$home/err" ||
        fail "backup $round while writing failed: $(cat "$home/err")"
done
kill "$writer" 2>/dev/null || true
wait "$writer" 2>/dev/null || true
[ ! -s "$home/writer-err" ] || fail "the writer failed: $(cat "$home/writer-err")"
generations=""
for round in $(seq "$backups"); do
    what="backup $round while writing"
    rm -rf "$home/restored"
    "$tool" restore "$archives/w$round.tba" "$home/restored" >/dev/null 2>"$home/err" ||
        fail "$what: the archive does not restore: $(cat "$home/err")"
    integrity "$home/restored" "$what"
    g=$(sqlite3 "$home/restored/velmora.db" \
        "select count(*) from producers where producer_name = 'generation';")
    if [ "$g" = 0 ]; then
        same="figure_dsc like 'described %'"
    else
        same="figure_dsc = 'generation $g'"
    fi
    got=$(sqlite3 "$home/restored/velmora.db" "select count(*) from figures where $same;")
    [ "$got" = "$old_rows" ] && [ "$(rows "$home/restored")" = "$old_rows" ] ||
        fail "$what: not one committed state (generation $g, $got of $old_rows figures in it)"
    generations="$generations $g"
done
rm -rf "$home/restored" "$archives"/w*.tba
echo "crash: $backups backups while another program commits all restore, each one committed" \
    "state (generations$generations)"
echo "crash: passed in $(($(date +%s) - started)) s"
