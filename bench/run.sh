#!/usr/bin/env bash
# Times the whole xcross process against cat moving the same bytes from the page cache, to /dev/null
# and through a pipe, and prints a markdown table: median time, throughput, ratio to cat, peak memory.
# Usage: bench/run.sh [SIZE...]   (default sizes: 1001 10001 20001 30001; RUNS=15 runs each)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
sizes=("${@:-}")
[ -n "${sizes[0]}" ] || sizes=(1001 10001 20001 30001)
runs=${RUNS:-15}

for tool in cmake hyperfine /usr/bin/time; do
    command -v "$tool" >/dev/null || { echo "bench: $tool is missing (apt-get install cmake hyperfine time)" >&2; exit 1; }
done

cmake --preset release >/dev/null
cmake --build --preset release --target xcross >/dev/null
xcross=$root/build/xcross

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Median seconds of one command, from hyperfine's CSV (command,mean,stddev,median,...).
median() {
    hyperfine --style none --warmup 2 --runs "$runs" --export-csv "$work/t.csv" "$1" \
        >/dev/null 2>"$work/t.err" || { cat "$work/t.err" >&2; exit 1; }
    awk -F, 'NR == 2 { print $4 }' "$work/t.csv"
}

peak_kib() {
    /usr/bin/time -f %M -o "$work/rss" "$xcross" <"$work/in" >/dev/null
    cat "$work/rss"
}

echo "xcross $(git -C "$root" describe --always --dirty 2>/dev/null || echo unknown)," \
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
