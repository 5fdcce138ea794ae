#!/usr/bin/env bash
# The commands on large books, timed side by side: one or more builds of
# tallowick-cli (LABEL=PATH, e.g. before=/tmp/old/tallowick-cli
# after=build/tallowick-cli) and a plain-text accounting tool, `ledger`, as
# the peer that reads and sums the same vouchers.
#
#   bench/commands.sh [-n RUNS] [-o "KEY ..."] LABEL=CLI [LABEL=CLI ...]
#
# -o runs only the benchmarks named (peer floor login post close december
# ten-login ten-close ten-post search report ledger status vouchers balances
# statements check), e.g. -o "peer floor login post" for posting against the
# peer. `floor` times posting's SQLite work alone (posting_sql, next to
# make_books), with 账库's indexes and without the (科目, 凭证日期) one.
#
# The books are made once by make_books (next to the first CLI, under
# bench/, or $MAKE_BOOKS) in $BENCH_BOOKS (default
# /tmp/tallowick-bench-commands) and kept for later runs:
#   一年账   ten closed months of 10,000 pages (300,000 ledger rows), then
#            November's 10,000 reviewed pages; the same vouchers as a journal
#   十二月账 eleven closed months of 10,000 pages, then December's 10,000
#   十年账   118 closed months of 2,950 pages (ten years: 1,000,000 ledger
#            rows, 358,000 pages), then November 2022's 10,000 pages
# Each run works on a fresh copy of the books, synced to disk before the
# command starts. A command's own time is its wall time less that of a bare
# `login` (which holds the deliberate Argon2id password hash); every figure
# is the best of RUNS (default 5), the runs of all builds interleaved. Peak
# memory is the largest resident size of the whole process (GNU time).
# The outputs of the builds are compared: search listings and the report's
# 总账.xls and 分账.xls must be the same bytes.
set -euo pipefail

runs=5 only=""
while [[ ${1:-} == -n || ${1:-} == -o ]]; do
    if [[ $1 == -n ]]; then runs=$2; else only=" $2 "; fi
    shift 2
done
want() { [[ -z $only || $only == *" $1 "* ]]; }
(($# >= 1)) || { sed -n '2,29p' "$0"; exit 2; }
labels=() clis=()
for a in "$@"; do
    labels+=("${a%%=*}")
    clis+=("$(realpath "${a#*=}")")
done

books=${BENCH_BOOKS:-/tmp/tallowick-bench-commands}
make_books=${MAKE_BOOKS:-$(dirname "${clis[0]}")/bench/make_books}
work=$books/work
mkdir -p "$books"

# The benchmark programs build only when asked for: turn them on in the
# first CLI's build folder and build make_books.
if [[ -z ${MAKE_BOOKS:-} && ! -x $make_books ]]; then
    folder=$(dirname "${clis[0]}")
    echo "building make_books (-DTALLOWICK_BENCH=ON in $folder) ..." >&2
    cmake -DTALLOWICK_BENCH=ON "$folder" > /dev/null
    TALLOWICK_BUILD_DIR=$folder "$(dirname "$0")/../scripts/build" --target make_books
fi

if ! command -v ledger > /dev/null; then
    echo "installing ledger (the peer) ..." >&2
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq ledger > /dev/null
fi

login=(--user 张三 --password 1)
cli() {  # cli DIR CLI ARGS...: runs a CLI on the account-set directory DIR
    local dir=$1 bin=$2
    shift 2
    TALLOWICK_DATA_DIR=$dir "$bin" "$@"
}

# ---- the books, made once -----------------------------------------------------
make_set() {  # make_set NAME HISTORY HISTORY_PAGES PAGES [JOURNAL]
    local name=$1
    shift
    if [[ ! -f $books/$name.made ]]; then
        echo "making $name (once) ..." >&2
        rm -rf "${books:?}/$name" "$books/$name-posted" "$books/$name-posted.made"
        "$make_books" "$books/$name" "$name" "$@"
        touch "$books/$name.made"
    fi
    # The same books with the open month posted, for the closes.
    if [[ ! -f $books/$name-posted.made ]]; then
        rm -rf "$books/$name-posted"
        cp -a "$books/$name" "$books/$name-posted"
        cli "$books/$name-posted" "${clis[0]}" post "$name" "${login[@]}" > /dev/null
        touch "$books/$name-posted.made"
    fi
}
make_set 一年账 10 10000 10000 "$books/一年账.ledger"
posting_sql=$(dirname "$make_books")/posting_sql
if want floor; then
    if [[ ! -x $posting_sql ]]; then
        folder=$(dirname "$(dirname "$make_books")")
        TALLOWICK_BUILD_DIR=$folder "$(dirname "$0")/../scripts/build" --target posting_sql
    fi
    if [[ ! -f $books/一年账-no-account-index.made ]]; then
        rm -rf "$books/一年账-no-account-index"
        cp -a "$books/一年账" "$books/一年账-no-account-index"
        "$posting_sql" --drop-account-index "$books/一年账-no-account-index/一年账"
        touch "$books/一年账-no-account-index.made"
    fi
fi
if want december; then make_set 十二月账 11 10000 10000; fi
tenYears=false
for k in ten-login ten-close ten-post search report ledger status vouchers balances statements check; do
    if want $k; then tenYears=true; fi
done
if $tenYears; then make_set 十年账 118 2950 10000; fi

# ---- timing -------------------------------------------------------------------
# sample KEY DIR CMD...: runs CMD once (the account-set directory DIR is
# already in place and synced) and records "ms peakKB" under KEY.
declare -A best bestMem bestCpu
sample() {
    local key=$1
    shift 1
    local t0 t1 ms kb cpu
    t0=$(date +%s%N)
    # `check` exits 1 for what it finds (the made-up accounts are not in the chart).
    /usr/bin/time -f '%M %U %S' -o "$books/mem" "$@" > "$books/out" 2> "$books/err" || [[ $key == check/* ]] || {
        echo "failed: $* ($(cat "$books/err"))" >&2
        exit 1
    }
    t1=$(date +%s%N)
    ms=$(((t1 - t0) / 1000000))
    read -r kb cpu < <(tail -1 "$books/mem" | awk '{ printf "%d %d\n", $1, ($2 + $3) * 1000 }')
    if [[ -z ${best[$key]:-} || $ms -lt ${best[$key]} ]]; then best[$key]=$ms; fi
    if [[ -z ${bestMem[$key]:-} || $kb -gt ${bestMem[$key]} ]]; then bestMem[$key]=$kb; fi
    if [[ -z ${bestCpu[$key]:-} || $cpu -lt ${bestCpu[$key]} ]]; then bestCpu[$key]=$cpu; fi
    echo "$key $ms ms $cpu ms-cpu $kb KB" >> "$books/samples.log"
}

fresh() {  # fresh MASTER: a synced copy of the books in $work
    rm -rf "$work"
    cp -a "$books/$1" "$work"
    sync
}

# on KEY MASTER SET CMD ARGS...: a command on a fresh copy, by every build.
on() {
    local key=$1 master=$2 set=$3 cmd=$4
    shift 4
    want "$key" || return 0
    for i in "${!clis[@]}"; do
        fresh "$master"
        sample "$key/${labels[$i]}" env TALLOWICK_DATA_DIR="$work" "${clis[$i]}" $cmd "$set" \
            "${login[@]}" "$@"
    done
}

# The read-only commands share one copy of the ten-year books.
if $tenYears; then
    fresh 十年账-posted
    rm -rf "$books/ten"
    mv "$work" "$books/ten"
fi
ten() {  # ten KEY CMD ARGS...
    local key=$1 cmd=$2
    shift 2
    want "$key" || return 0
    for i in "${!clis[@]}"; do
        sample "$key/${labels[$i]}" env TALLOWICK_DATA_DIR="$books/ten" "${clis[$i]}" $cmd 十年账 \
            "${login[@]}" "$@"
        cp "$books/out" "$books/out.$key.${labels[$i]}"
        if [[ $cmd == report ]]; then
            for f in 总账.xls 分账.xls; do
                md5sum < "$books/ten/十年账/$f" > "$books/out.$key.${labels[$i]}.$f"
            done
        fi
    done
}

search=(--from 2013-01-01 --to 2022-12-31 --debit 科目007)
for ((r = 1; r <= runs; r++)); do
    echo "run $r of $runs ($(cut -d' ' -f1-3 /proc/loadavg) load)" >&2
    # The peer reads and sums the month's vouchers.
    if want peer; then sample "peer" ledger -f "$books/一年账.ledger" bal; fi
    if want floor; then
        fresh 一年账
        sample floor "$posting_sql" "$work/一年账"
        fresh 一年账-no-account-index
        sample floor-no-index "$posting_sql" "$work/一年账"
    fi
    on login 一年账 一年账 login
    on post 一年账 一年账 post
    on close 一年账-posted 一年账 close
    on december 十二月账-posted 十二月账 close
    on ten-login 十年账-posted 十年账 login
    on ten-close 十年账-posted 十年账 close
    on ten-post 十年账 十年账 post
    ten search search "${search[@]}"
    ten report report --year 2022 --month 10 --out "$books/report.xlsx"
    ten ledger ledger --account 科目007 --from 2013-01-01 --to 2022-12-31
    ten status status
    ten vouchers vouchers
    ten balances balances --from 2022-01 --to 2022-10
    ten statements statements --year 2022 --month 10
    ten check check
done

# ---- the figures --------------------------------------------------------------
own() {  # own KEY LOGINKEY LABEL: the command's time less the bare login's
    echo $((best[$1/$3] - best[$2/$3]))
}
mb() { awk -v k="$1" 'BEGIN { printf "%.0f", k / 1024 }'; }

echo
echo "Machine: $(nproc) cores, $(awk '/model name/ { $1=$2=$3=""; print; exit }' /proc/cpuinfo | sed 's/^ *//')," \
    "$(awk '/MemTotal/ { printf "%.0f GB", $2 / 1048576 }' /proc/meminfo); load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Best of $runs; wall times in ms (a command's own time: less a bare login), CPU (user + system) the same way; peak memory of the process."
echo
printf '| Benchmark |'
for l in "${labels[@]}"; do printf ' %s |' "$l"; done
printf '\n|---|'
for _ in "${labels[@]}"; do printf -- '---|'; done
printf '\n'
row() {  # row TITLE VALUES-FUNCTION KEY: a row of the benchmark KEY, when it ran
    local title=$1 fn=$2
    want "$3" || return 0
    printf '| %s |' "$title"
    for l in "${labels[@]}"; do printf ' %s |' "$($fn "$l")"; done
    printf '\n'
}
peer=${best[peer]:-0}
f_login() { echo "${best[login/$1]} ms (CPU ${bestCpu[login/$1]} ms), $(mb "${bestMem[login/$1]}") MB"; }
f_post() {
    local p
    p=$(own post login "$1")
    awk -v p="$p" -v q="$peer" 'BEGIN { printf "%d ms (ledger bal: %d ms) = %.2f×", p, q, (q > 0 ? p / q : 0) }'
}
f_postcpu() {
    local p=$((bestCpu[post/$1] - bestCpu[login/$1]))
    awk -v p="$p" -v q="${bestCpu[peer]:-0}" 'BEGIN { printf "%d ms (ledger bal: %d ms) = %.2f×", p, q, (q > 0 ? p / q : 0) }'
}
ownCpu() { echo $((bestCpu[$1/$3] - bestCpu[$2/$3])); }
f_own() { echo "$(own "$2" "$3" "$1") ms (CPU $(ownCpu "$2" "$3" "$1") ms), $(mb "${bestMem[$2/$1]}") MB"; }
f_close() { f_own "$1" close login; }
f_december() { f_own "$1" december login; }
f_tenclose() {
    local a b
    a=$(own close login "$1")
    b=$(own ten-close ten-login "$1")
    awk -v a="$a" -v b="$b" -v c="$(ownCpu ten-close ten-login "$1")" -v m="$(mb "${bestMem[ten-close/$1]}")" \
        'BEGIN { printf "%d ms (CPU %d ms; 1 year: %d ms, %+.0f%%), %s MB", b, c, a, (b - a) * 100 / a, m }'
}
f_tenpost() { f_own "$1" ten-post ten-login; }
for k in search report ledger status vouchers balances statements check; do
    eval "f_$k() { f_own \"\$1\" $k ten-login; }"
done
row "bare login (Argon2id), 1-year books" f_login login
floorRow() {  # floorRow TITLE KEY: posting_sql's whole process against the peer
    want floor || return 0
    awk -v t="$1" -v p="${best[$2]}" -v q="$peer" -v c="${bestCpu[$2]}" -v r="${bestCpu[peer]:-0}" -v n=${#labels[@]} \
        'BEGIN { printf "| %s |", t; for (i = 0; i < n; i++) printf " %d ms (CPU %d ms) = %.2f× (CPU %.2f×) |", p, c, (q > 0 ? p / q : 0), (r > 0 ? c / r : 0); printf "\n" }'
}
floorRow "posting's SQLite work alone (posting_sql) vs. the peer" floor
floorRow "the same without 账库's (科目, 凭证日期) index" floor-no-index
row "post 10,000 pages into 300,000 ledger rows vs. the peer" f_post post
row "the same in CPU time (user + system)" f_postcpu post
row "close a 10,000-page month, 1-year books" f_close close
row "close December (10,000 pages, year totals), 1-year books" f_december december
row "close a 10,000-page month, 10-year books" f_tenclose ten-close
row "post 10,000 pages, 10-year books" f_tenpost ten-post
row "search --debit over 358,000 pages, 10-year books" f_search search
row "month report (总账.xls, 分账.xls), 10-year books" f_report report
row "ledger of one account over ten years" f_ledger ledger
row "status" f_status status
row "vouchers (the month's 10,000 pages)" f_vouchers vouchers
row "balances of ten months" f_balances balances
row "statements of a month" f_statements statements
row "check" f_check check

# The builds agree on what they list and write.
if ((${#labels[@]} > 1)); then
    for k in search ledger vouchers balances statements; do
        want $k || continue
        cmp -s "$books/out.$k.${labels[0]}" "$books/out.$k.${labels[1]}" ||
            echo "DIFFERENT: $k output of ${labels[0]} and ${labels[1]}"
    done
    for f in 总账.xls 分账.xls; do
        want report || continue
        cmp -s "$books/out.report.${labels[0]}.$f" "$books/out.report.${labels[1]}.$f" ||
            echo "DIFFERENT: $f of ${labels[0]} and ${labels[1]}"
    done
    echo
    echo "Outputs compared between ${labels[0]} and ${labels[1]}: search, ledger, vouchers, balances, statements, 总账.xls, 分账.xls."
fi
