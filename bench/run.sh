#!/usr/bin/env bash
# Times the whole xcross process against cat moving the same bytes from the page cache, to /dev/null
# and through a pipe, and prints a markdown table: median time, throughput, ratio to cat, peak memory;
# then its start-up against /bin/true.
# Usage: bench/run.sh [SIZE...]   (default sizes: 1001 10001 20001 30001; RUNS=15 runs each)
# XCROSS=path times that binary (the portable build, say) instead of building build/xcross.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=("${@:-}")
[ -n "${sizes[0]}" ] || sizes=(1001 10001 20001 30001)
runs=${RUNS:-15}

for tool in cmake hyperfine /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing (apt-get install cmake hyperfine time)" >&2; exit 1; }
done

xcross=${XCROSS:-}
if [ -z "$xcross" ]; then
    cmake --preset release >/dev/null
    cmake --build --preset release --target xcross >/dev/null
    xcross=$root/build/xcross
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median seconds of one command, from hyperfine's CSV (command,mean,stddev,median,...). Options
# after the command go to hyperfine.
median() {
    local command=$1
    shift
    hyperfine --style none --warmup 2 --runs "$runs" "$@" --export-csv "$work/t.csv" "$command" \
        >/dev/null 2>"$work/t.err" || { cat "$work/t.err" >&2; exit 1; }
    awk -F, 'NR == 2 { print $4 }' "$work/t.csv"
}

peak_kib() {
    /usr/bin/time -f %M -o "$work/rss" "$xcross" <"$work/in" >/dev/null
    cat "$work/rss"
}

echo "xcross ${XCROSS:-$(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)}," \
    "$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores, $(date -u +%Y-%m-%d)"
echo
echo "| size | output to | bytes | xcross median | cat median | xcross GB/s | ratio to cat | xcross peak RSS |"
echo "|---:|---|---:|---:|---:|---:|---:|---:|"
for n in "${sizes[@]}"; do
    echo "$n" >"$work/in"
    "$xcross" <"$work/in" >"$work/cross"
    bytes=$(stat -c %s "$work/cross")
    peak=$(peak_kib)
    for sink in "/dev/null" "pipe"; do
        if [ "$sink" = pipe ]; then to='| cat > /dev/null'; else to='> /dev/null'; fi
        ours=$(median "$xcross < $work/in $to")
        theirs=$(median "cat $work/cross $to")
        awk -v n="$n" -v sink="$sink" -v bytes="$bytes" -v a="$ours" -v b="$theirs" -v peak="$peak" 'BEGIN {
            printf "| %d | %s | %d | %.1f ms | %.1f ms | %.2f | %.2f | %.1f MiB |\n",
                n, sink, bytes, a * 1000, b * 1000, bytes / a / 1e9, a / b, peak / 1024 }'
    done
    rm -f "$work/cross"
done

# Start-up: the whole process run directly, with no shell around it and nothing to read; it takes
# about a millisecond, so ten times the runs.
ours=$(runs=$((runs * 10)) median "$xcross" -N)
theirs=$(runs=$((runs * 10)) median /bin/true -N)
awk -v a="$ours" -v b="$theirs" 'BEGIN {
    printf "\nStart-up, no input: xcross %.3f ms, /bin/true %.3f ms, ratio %.2f\n",
        a * 1000, b * 1000, a / b }'
