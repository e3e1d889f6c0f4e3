#!/usr/bin/env bash
# documents_check.sh [BUILD]: prints documents that the producers Linux users
# have make at this moment from files Debian packages ship (nothing of a
# third party is kept in the project): groff, enscript, a2ps, vim's hardcopy
# (when vim is there), poppler's pdftops and pdftocairo, Ghostscript's
# ps2write, and CUPS's text chain (texttopdf, then its
# pdftops filter). Each goes through tvzx render as it stands, on the
# example printer's data, and one as a booklet; Ghostscript renders input
# and output: the same number of pages, no PostScript error, and the same
# page images where the settings leave the paper alone; psselect takes every
# page of each output. The last line is "document checks: N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
build=${1:-build}
source scripts/packages.sh
bash scripts/ensure_packages.sh "${DOCUMENT_PACKAGES[@]}" >&2 || true

tvzx=$build/tools/tvzx/tvzx
printer_data=data/printer_data.reg
licenses=/usr/share/common-licenses
passed=0
failed=0
pass() { echo "document check $1: ok"; passed=$((passed + 1)); }
fail() { echo "document check $1: FAILED${2:+ ($2)}"; failed=$((failed + 1)); }
finish() { echo "document checks: $passed passed, $failed failed"; }

if [ ! -x "$tvzx" ] || ! command -v gs >/dev/null || ! command -v psselect >/dev/null; then
  fail setup "needs $tvzx, Ghostscript (gs) and psselect"
  finish
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/tvzx-documents.XXXXXX")
trap 'rm -rf "$work"' EXIT

# Renders a document to one grey picture per page, PREFIX-001.png on.
# Prints the page count; fails when Ghostscript reports an error.
render_pages() {
  local document=$1 prefix=$2
  if ! gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pnggray -r50 -sOutputFile="$prefix-%03d.png" "$document" \
       >"$prefix.log" 2>&1 || grep -qE 'Error: |Unrecoverable error' "$prefix.log"; then
    return 1
  fi
  find "$(dirname "$prefix")" -maxdepth 1 -name "$(basename "$prefix")-*.png" | wc -l
}

# Prints whether every picture of one rendering equals its picture of the
# other: "same", or the first page that differs.
compare_pages() {
  local first=$1 second=$2 count=$3 page
  for page in $(seq -f %03g 1 "$count"); do
    if ! cmp -s "$first-$page.png" "$second-$page.png"; then
      echo "page $((10#$page)) differs"
      return
    fi
  done
  echo same
}

# Prints one document through tvzx render with the further arguments and
# checks the job against the document's own rendering: check_job NAME KIND
# PAGES SAME_PAPER [RENDER ARGUMENTS].
check_job() {
  local name=$1 kind=$2 pages=$3 same_paper=$4 job count taken
  shift 4
  job=$work/$name-$kind.prn
  if ! "$tvzx" render "$work/$name.ps" -o "$job" "$@" 2>"$work/$name-$kind.err"; then
    fail "$name $kind" "tvzx render: $(head -n 1 "$work/$name-$kind.err")"
    return
  fi
  if ! count=$(render_pages "$job" "$work/$name-$kind"); then
    fail "$name $kind" "Ghostscript: $(grep -m 1 -E 'Error: |Unrecoverable' "$work/$name-$kind.log")"
    return
  fi
  if [ "$count" -ne "$pages" ]; then
    fail "$name $kind" "$count pages printed of $pages"
    return
  fi
  if [ "$same_paper" = yes ]; then
    local same
    same=$(compare_pages "$work/$name-in" "$work/$name-$kind" "$pages")
    if [ "$same" != same ]; then
      fail "$name $kind" "$same from the document"
      return
    fi
  fi
  # Every page of the job can be taken out of it, and the pages taken print.
  taken=$(psselect -p"1-$pages" "$job" "$work/$name-$kind.sel" 2>&1 | tail -n 1)
  if [ "$taken" = "${taken#*Wrote $pages pages}" ] ||
     ! count=$(render_pages "$work/$name-$kind.sel" "$work/$name-$kind-sel") || [ "$count" -ne "$pages" ]; then
    fail "$name $kind" "psselect: ${taken:-nothing}, ${count:-no} pages printed"
    return
  fi
  pass "$name $kind"
}

# Makes one document with its producer (a command writing $work/NAME.ps)
# and checks it plain, on the printer's data, and with the extra job given.
# A producer the machine lacks is a failure under CI, unless it is optional.
document() {
  local name=$1 needs=$2 optional=$3 make=$4 pages
  shift 4
  if ! command -v "$needs" >/dev/null && [ ! -x "$needs" ]; then
    if [ "$optional" = yes ] || [ "${CI:-}" != true ]; then
      echo "document check $name: skipped (no $needs)"
    else
      fail "$name" "no $needs"
    fi
    return
  fi
  if ! (cd "$work" && eval "$make") >"$work/$name.make.log" 2>&1 || [ ! -s "$work/$name.ps" ]; then
    fail "$name" "the producer made nothing: $(tail -n 1 "$work/$name.make.log")"
    return
  fi
  if ! pages=$(render_pages "$work/$name.ps" "$work/$name-in") || [ "$pages" -eq 0 ]; then
    fail "$name" "Ghostscript cannot print the document itself"
    return
  fi
  check_job "$name" plain "$pages" yes
  check_job "$name" printer-data "$pages" no --printer-data "$printer_data"
  if [ $# -gt 0 ]; then check_job "$name" "$1" "$pages" no "${@:2}"; fi
}

# A manual page of groff-base (its text when the image has no manual pages).
man_page=/usr/share/man/man1/grotty.1.gz
if [ -f "$man_page" ]; then
  groff_make="zcat $man_page | groff -man -Tps > groff.ps"
else
  groff_make="groff -Tps $licenses/BSD > groff.ps"
fi
document groff groff no "$groff_make"
document enscript enscript no "enscript -q -p enscript.ps $licenses/Apache-2.0" booklet --set Layout=Booklet
document a2ps a2ps no "a2ps -q -o a2ps.ps $licenses/MPL-1.1"
document vim vim yes "vim -u NONE -N -e -s -c 'hardcopy > vim.ps' -c 'qa!' $licenses/BSD"
# A PDF made here from a PostScript document, printed again by poppler.
pdf_make="enscript -q -p source.ps $licenses/GPL-2 && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pdfwrite -sOutputFile=source.pdf source.ps"
document pdftops pdftops no "$pdf_make && pdftops source.pdf pdftops.ps"
document pdftocairo pdftocairo no "$pdf_make && pdftocairo -ps source.pdf pdftocairo.ps"
document ps2write gs no "a2ps -q -o source.ps $licenses/Artistic && gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=ps2write -sOutputFile=ps2write.ps source.ps"
# CUPS's own chain for a text file, its filters run as the scheduler runs them.
filters=/usr/lib/cups/filter
document cups-text $filters/texttopdf no \
  "$filters/texttopdf 1 user text 1 '' $licenses/BSD > text.pdf && $filters/pdftops 1 user text 1 '' text.pdf > cups-text.ps"

finish
