#!/bin/sh
# compare_render.sh [TVZX] [PAGES]: times, in one run on one generated
# document, reading it (cat), the print system's PostScript filter (pstops)
# and tvzx render. TVZX defaults to build/tools/tvzx/tvzx, PAGES to 100000.
# pstops ships in the Debian package cups-core-drivers; hyperfine is used
# when installed (HYPERFINE=no leaves it aside), else each command runs RUNS
# times (default 5) and the mean and best wall-clock and processor times are
# printed, with how many times faster than pstops tvzx render is. Then the
# peak memory of tvzx render is printed for documents of each page count in
# MEMORY_PAGES (default "10000 1000000"; empty leaves it out), which needs
# GNU time (Debian package time) and room for a document of about 770 bytes
# a page.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
tvzx=${1:-$here/../build/tools/tvzx/tvzx}
pages=${2:-100000}
runs=${RUNS:-5}
pstops=/usr/lib/cups/filter/pstops

[ -x "$tvzx" ] || { echo "compare_render.sh: no tvzx at $tvzx" >&2; exit 2; }
[ -x "$pstops" ] || { echo "compare_render.sh: no $pstops (install cups-core-drivers)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
doc=$work/generated.ps
"$here/generate_dsc.sh" "$pages" "$doc"
echo "document: $pages pages, $(wc -c < "$doc") bytes"

# pstops talks to the print scheduler on standard error; it is not timed.
cat_command="cat '$doc' > /dev/null"
pstops_command="'$pstops' 1 user title 1 '' '$doc' > /dev/null 2>&1"
tvzx_command="'$tvzx' render '$doc' -o /dev/null"

if [ "${HYPERFINE:-yes}" != no ] && command -v hyperfine > /dev/null 2>&1; then
  hyperfine --warmup 1 --runs "$runs" \
    --command-name cat "$cat_command" \
    --command-name pstops "$pstops_command" \
    --command-name "tvzx render" "$tvzx_command"
else
  # Without hyperfine: wall-clock nanoseconds around each run, and the
  # processor time the run's processes used (what a loaded machine changes
  # least).
  cpu_ticks() { awk '{ print $14 + $15 + $16 + $17 }' /proc/$$/stat; }
  ticks_per_second=$(getconf CLK_TCK)
  time_runs() {
    name=$1
    command=$2
    sh -c "$command"  # warm-up
    total=0
    best=
    cpu_start=$(cpu_ticks)
    i=0
    while [ "$i" -lt "$runs" ]; do
      start=$(date +%s%N)
      sh -c "$command"
      end=$(date +%s%N)
      elapsed=$((end - start))
      total=$((total + elapsed))
      if [ -z "$best" ] || [ "$elapsed" -lt "$best" ]; then best=$elapsed; fi
      i=$((i + 1))
    done
    cpu=$(($(cpu_ticks) - cpu_start))
    cpu_ms=$(awk -v t="$cpu" -v hz="$ticks_per_second" -v n="$runs" 'BEGIN { print t * 1000 / hz / n }')
    printf '%-12s mean %8.1f ms   best %8.1f ms   processor %8.1f ms   (%d runs)\n' "$name" \
      "$(awk -v ns="$total" -v n="$runs" 'BEGIN { print ns / n / 1000000 }')" \
      "$(awk -v ns="$best" 'BEGIN { print ns / 1000000 }')" "$cpu_ms" "$runs"
    last_mean=$((total / runs))
    last_cpu=$cpu_ms
  }
  time_runs cat "$cat_command"
  time_runs pstops "$pstops_command"
  pstops_mean=$last_mean
  pstops_cpu=$last_cpu
  time_runs "tvzx render" "$tvzx_command"
  awk -v p="$pstops_mean" -v t="$last_mean" -v pc="$pstops_cpu" -v tc="$last_cpu" 'BEGIN {
    printf "tvzx render against pstops: %.1f times faster by wall clock, %.1f times by processor time\n", p / t, (tc > 0 ? pc / tc : 0)
  }'
fi

# Peak memory: the same at every document length when nothing grows per page.
memory_pages=${MEMORY_PAGES-10000 1000000}
[ -n "$memory_pages" ] || exit 0
if [ ! -x /usr/bin/time ]; then
  echo "compare_render.sh: no /usr/bin/time (install time): peak memory left out" >&2
  exit 0
fi
rm -f "$doc"
for count in $memory_pages; do
  "$here/generate_dsc.sh" "$count" "$work/memory.ps"
  peak=$(/usr/bin/time -f %M "$tvzx" render "$work/memory.ps" -o /dev/null 2>&1 >/dev/null | tail -n 1)
  echo "peak memory of tvzx render: $peak KB at $count pages ($(wc -c < "$work/memory.ps") bytes)"
  rm -f "$work/memory.ps"
done
