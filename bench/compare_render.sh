#!/bin/sh
# compare_render.sh [TVZX] [PAGES]: times, in one run on one generated
# document, reading it (cat), the print system's PostScript filter (pstops)
# and tvzx render. TVZX defaults to build/tools/tvzx/tvzx, PAGES to 100000.
# pstops ships in the Debian package cups-core-drivers; hyperfine is used
# when installed (HYPERFINE=no leaves it aside), else each command runs RUNS
# times (default 5) and the mean and best wall-clock times are printed.
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
  exit 0
fi

# Without hyperfine: wall-clock nanoseconds around each run.
time_runs() {
  name=$1
  command=$2
  sh -c "$command"  # warm-up
  total=0
  best=
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
  printf '%-12s mean %8.1f ms   best %8.1f ms   (%d runs)\n' "$name" \
    "$(awk -v ns="$total" -v n="$runs" 'BEGIN { print ns / n / 1000000 }')" \
    "$(awk -v ns="$best" 'BEGIN { print ns / 1000000 }')" "$runs"
}
time_runs cat "$cat_command"
time_runs pstops "$pstops_command"
time_runs "tvzx render" "$tvzx_command"
