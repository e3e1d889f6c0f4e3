#!/usr/bin/env bash
# cups_filter_bench.sh [BUILD] [PAGES]: times the CUPS filter chain on a
# generated document of PAGES pages (100000 unless given): CUPS's own
# PostScript filter alone, and CUPS's PostScript filter followed by the
# plug-in's filter, both through cupsfilter with the build's filter and PPD.
# Prints the seconds of each, the filter's share and how much longer the
# chain takes (the filter streams, so it runs beside CUPS's filter: at most
# 15% is the aim).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
pages=${2:-100000}
work=$(mktemp -d /tmp/tvzx-cups-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

# cupsfilter runs the programs of a filter folder: CUPS's, with the build's
# filter and the modules it finds beside itself.
bin=$work/lib/cups
mkdir -p "$bin/filter"
for program in /usr/lib/cups/filter/*; do ln -s "$program" "$bin/filter/"; done
cp "$build/tools/cups_filter/pstotvzx" "$build/src/tvzx_ps.dll" "$build/src/tvzx.dll" "$build/src/tvzx_rundll" "$bin/filter/"
printf 'ServerBin %s\nDataDir /usr/share/cups\nTempDir %s\n' "$bin" "$work" >"$work/cups-files.conf"

sh bench/generate_dsc.sh "$pages" "$work/doc.ps"
echo "document: $pages pages, $(du -h "$work/doc.ps" | cut -f1)"

# Runs cupsfilter to the given type; prints the seconds it took.
run() {
  local start end
  start=$(date +%s.%N)
  CUPS_SERVERBIN=$bin cupsfilter -e -c "$work/cups-files.conf" -p data/tvzx.ppd -m "$1" "$work/doc.ps" >"$work/out" 2>"$work/log"
  end=$(date +%s.%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.2f", b - a }'
}

spooler=$(run application/vnd.cups-postscript)
echo "CUPS's PostScript filter alone:           ${spooler}s ($(du -h "$work/out" | cut -f1))"
chain=$(run printer/foo)
echo "CUPS's PostScript filter and pstotvzx:    ${chain}s ($(du -h "$work/out" | cut -f1))"
echo "pstotvzx's share:                         $(awk -v a="$spooler" -v b="$chain" 'BEGIN { printf "%.2f", b - a }')s"
echo "the chain takes longer by:                $(awk -v a="$spooler" -v b="$chain" 'BEGIN { printf "%.0f", (b / a - 1) * 100 }')%"
