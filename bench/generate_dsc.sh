#!/bin/sh
# generate_dsc.sh PAGES [FILE]: writes a PostScript document of PAGES pages
# that follows the document structuring conventions (header, prolog, setup,
# pages with page setup and page trailer, trailer), to FILE or standard
# output. The pages weigh what an office application's pages weigh: a
# heading and body text in two fonts with their own glyph advances, a rule,
# a filled and stroked chart of curves and a page number; about 650 bytes
# each.
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
  print "%%DocumentNeededResources: font Times-Roman Helvetica-Bold"
  print "%%EndComments"
  print "%%BeginProlog"
  print "%%BeginResource: procset GeneratedProcs 1.0 0"
  print "/GeneratedDict 40 dict def"
  print "GeneratedDict begin"
  print "/bd { bind def } bind def"
  print "/F { exch findfont exch scalefont setfont } bd"
  print "/M { moveto } bd /L { lineto } bd /C { curveto } bd /R { rlineto } bd"
  print "/S { stroke } bd /K { setrgbcolor } bd /W { setlinewidth } bd"
  print "/T { moveto show } bd"
  print "/X { 3 1 roll moveto xshow } bd"
  print "/BX { 4 2 roll M 1 index 0 R 0 exch R neg 0 R closepath } bd"
  print "end"
  print "%%EndResource"
  print "%%EndProlog"
  print "%%BeginSetup"
  print "%%IncludeResource: font Times-Roman"
  print "%%IncludeResource: font Helvetica-Bold"
  print "GeneratedDict begin"
  print "%%EndSetup"
  split("Quarterly results and outlook|Minutes of the planning meeting|Delivery schedule for the new site|Budget review, second half", heads, "|")
  split("Sales rose in every region this period.|Costs stayed within the planned range.|Orders placed now ship the next week.|Send corrections before Friday.", lines, "|")
  for (page = 1; page <= pages; page++) {
    print "%%Page: " page " " page
    print "%%PageBoundingBox: 0 0 612 792"
    print "%%BeginPageSetup"
    print "/pagesave save def"
    print "%%EndPageSetup"
    print "/Helvetica-Bold 16 F"
    printf "(%s) 72 720 T\n", heads[page % 4 + 1]
    print "0.5 W 72 710 M 540 710 L S"
    print "/Times-Roman 11 F"
    for (line = 0; line < 3; line++) {
      text = lines[(page + line) % 4 + 1]
      printf "(%s) 72 %d [", text, 690 - 14 * line
      # The advance an application sets for every glyph.
      for (c = 1; c <= length(text); c++) printf "%d ", 4 + (page + c + line) % 5
      print "] X"
    }
    printf "0 0.3 0.6 K 90 400 %d 120 BX fill\n", 150 + page % 200
    printf "0.8 0.2 0.1 K 1.5 W 90 %d M 160 %d 260 %d 380 %d C S\n", 420 + page % 50, 500 + page % 40, 450, 480 + page % 30
    print "0 0 0 K /Times-Roman 9 F"
    printf "(Page %d of %d) 290 40 T\n", page, pages
    print "showpage"
    print "%%PageTrailer"
    print "pagesave restore"
  }
  print "%%Trailer"
  print "end"
  print "%%EOF"
}' > "$out"
