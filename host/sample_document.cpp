#include "sample_document.h"

namespace tvzx::host {
namespace {

constexpr std::string_view kSample = R"(%!PS-Adobe-3.0
%%Title: tvzx sample
%%Creator: tvzx render
%%Pages: 3
%%PageOrder: Ascend
%%BoundingBox: 0 0 595 842
%%DocumentNeededResources: font Helvetica Helvetica-Bold
%%EndComments
%%BeginProlog
%%BeginResource: procset SampleProcs 1.0 0
/SampleDict 20 dict def
SampleDict begin
/title { /Helvetica-Bold findfont 24 scalefont setfont moveto show } bind def
/body { /Helvetica findfont 12 scalefont setfont moveto show } bind def
/frame { newpath 36 36 moveto 559 36 lineto 559 806 lineto 36 806 lineto closepath stroke } bind def
end
%%EndResource
%%EndProlog
%%BeginSetup
SampleDict begin
%%EndSetup
%%Page: 1 1
%%PageBoundingBox: 0 0 595 842
%%BeginPageSetup
/pagelevel save def
%%EndPageSetup
frame
(Sample job) 72 740 title
(Page 1 of 3: the job settings travel ahead of this page.) 72 700 body
showpage
%%PageTrailer
pagelevel restore
%%Page: 2 2
%%PageBoundingBox: 0 0 595 842
%%BeginPageSetup
/pagelevel save def
%%EndPageSetup
frame
(Finishing) 72 740 title
(Page 2 of 3: stapling, punching and folding act on the whole set.) 72 700 body
showpage
%%PageTrailer
pagelevel restore
%%Page: 3 3
%%PageBoundingBox: 0 0 595 842
%%BeginPageSetup
/pagelevel save def
%%EndPageSetup
frame
(End) 72 740 title
(Page 3 of 3: the trailer follows.) 72 700 body
showpage
%%PageTrailer
pagelevel restore
%%Trailer
end
%%EOF
)";

}  // namespace

std::string_view sampleDocument() { return kSample; }

}  // namespace tvzx::host
