#!/bin/sh
# generate_dsc.sh PAGES [FILE]: writes a PostScript document of PAGES pages
# that follows the document structuring conventions (header, prolog, setup,
# pages with page setup and page trailer, trailer), to FILE or standard
# output. Each page draws a frame, a few boxes and a line of text.
set -eu
pages=${1:?usage: generate_dsc.sh PAGES [FILE]}
case $pages in
  ''|*[!0-9]*) echo "generate_dsc.sh: PAGES must be a number" >&2; exit 2 ;;
esac
out=${2:--}

awk -v pages="$pages" 'BEGIN {
  print "%!PS-Adobe-3.0"
  print "%%Title: generated document of " pages " pages"
  print "%%Creator: generate_dsc.sh"
  print "%%Pages: " pages
  print "%%PageOrder: Ascend"
  print "%%BoundingBox: 0 0 612 792"
  print "%%DocumentNeededResources: font Helvetica"
  print "%%EndComments"
  print "%%BeginProlog"
  print "%%BeginResource: procset GeneratedProcs 1.0 0"
  print "/GeneratedDict 10 dict def"
  print "GeneratedDict begin"
  print "/label { /Helvetica findfont 10 scalefont setfont moveto show } bind def"
  print "/box { newpath 4 2 roll moveto dup 0 exch rlineto exch 0 rlineto neg 0 exch rlineto closepath stroke } bind def"
  print "end"
  print "%%EndResource"
  print "%%EndProlog"
  print "%%BeginSetup"
  print "GeneratedDict begin"
  print "%%EndSetup"
  for (page = 1; page <= pages; page++) {
    print "%%Page: " page " " page
    print "%%PageBoundingBox: 0 0 612 792"
    print "%%BeginPageSetup"
    print "/pagesave save def"
    print "%%EndPageSetup"
    print "36 36 540 720 box"
    printf "72 %d 120 80 box\n", 100 + (page % 500)
    printf "300 %d 200 40 box\n", 400 + (page % 300)
    printf "(Page %d of %d) 72 740 label\n", page, pages
    print "(The quick brown fox jumps over the lazy dog.) 72 700 label"
    print "showpage"
    print "%%PageTrailer"
    print "pagesave restore"
  }
  print "%%Trailer"
  print "end"
  print "%%EOF"
}' > "$out"
