#!/bin/sh
# uptime.sh [TVZX_BENCH] [JOBS]: renders JOBS jobs (10000, the default, or
# 200 for a quick look), every tenth with tab sheets, in one process through
# one loaded module; prints what the process holds after the 100th job and
# after the last, and fails when the last figures exceed the first beyond
# noise: descriptors, threads, shared-memory blocks and temporary files must
# be equal, resident memory may grow by at most RSS_SLACK_KIB (default 4096)
# KiB. The full run takes about twenty minutes on two cores.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
bench=${1:-$here/../build/bench/tvzx_bench}
jobs=${2:-10000}
slack=${RSS_SLACK_KIB:-4096}

[ -x "$bench" ] || { echo "uptime.sh: no benchmark program at $bench" >&2; exit 2; }

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$bench" --benchmark_filter="^BM_Uptime/$jobs/" --benchmark_format=json > "$out"

# The counters are JSON members "name": number.
figure() { sed -n "s/^ *\"$1\": *\([0-9.e+-]*\),*\$/\1/p" "$out" | head -n 1; }

status=0
printf '%-10s %14s %14s\n' figure "after 100" "after $jobs"
for name in rss_kib fds threads shm tmpfiles; do
  first=$(figure "${name}_100")
  last=$(figure "${name}_last")
  [ -n "$first" ] && [ -n "$last" ] || { echo "uptime.sh: no figure $name" >&2; exit 2; }
  printf '%-10s %14.0f %14.0f\n' "$name" "$first" "$last"
  if [ "$name" = rss_kib ]; then
    awk -v a="$first" -v b="$last" -v s="$slack" 'BEGIN { exit !(b <= a + s) }' || status=1
  else
    awk -v a="$first" -v b="$last" 'BEGIN { exit !(a == b) }' || status=1
  fi
done
[ "$status" -eq 0 ] || echo "uptime.sh: the process holds more after the last job than after the 100th" >&2
exit "$status"
