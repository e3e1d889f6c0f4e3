// Cutting the tab sheet body out of a printed tab document: the exact bytes
// kept, the page region taken when there is no page size, nothing at all for
// a document that lacks a marker or ends early, and the same body however
// the file hands out its bytes.
#include <gtest/gtest.h>

#include <algorithm>

#include "stream_text.h"
#include "tabs/body_extraction.h"

namespace tvzx::tabs {
namespace {

using testing::replaced;

// A file that hands out at most `chunk` bytes per read, as a pipe or a file
// still being written may.
struct ChunkedFile final : platform::ReadableFile {
    ChunkedFile(std::string_view text, std::size_t chunk) : text(text), chunk(chunk) {}
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::size_t count = std::min({capacity, chunk, text.size()});
        std::copy_n(text.begin(), count, buffer);
        text.remove_prefix(count);
        return count;
    }
    std::uint64_t size() override { return total; }
    std::string_view text;
    std::size_t chunk, total = text.size();
};

// Returns the lines, each ended with CR LF.
std::string lines(std::initializer_list<std::string_view> texts) {
    std::string out;
    for (const std::string_view text : texts) (out += text) += "\r\n";
    return out;
}

std::string feature(std::string_view keyword, std::string_view code) {
    return lines({"featurebegin{", "%%BeginFeature: *" + std::string(keyword), code, "%%EndFeature", "} featurecleanup"});
}

const std::string kPjlStart = "\x1b%-12345X@PJL JOB NAME = \"Printed Tab on 3\"\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
const std::string kPjlEnd = "\x1b%-12345X@PJL EOJ\r\n\x1b%-12345X";

const std::string kHeader = lines({"%!PS-Adobe-3.0", "%%Title: Printed Tab on 3", "%%Pages: 1", "%%EndComments",
                                   "%%BeginProlog", "/TabLabel { show } bind def", "%%EndProlog"});
const std::string kSetup = lines({"%%BeginSetup", "/setupsave save def", "userdict /TabState 4 dict put",
                                  "TabState begin /inset 36 def end"});
const std::string kPageSize = feature("PageSize ZXA4Tab1", "<< /PageSize [630 842] >> setpagedevice");
const std::string kPageRegion = feature("PageRegion ZXA4Tab1", "<< /PageSize [630 842] >> setpagedevice");
const std::string kPage = lines({"%%EndSetup", "%%Page: 1 1", "%%BeginPageSetup", "/pagesave save def",
                                 "%%EndPageSetup", "1 setlinecap 1 setlinejoin", "600 40 moveto (Chapter 1) show",
                                 "showpage", "%%PageTrailer", "%%Trailer", "%%EOF"});

// Returns a tab document as the base module prints it, with `paper` as its
// paper feature and `padding` extra bytes of PJL before the PostScript job.
std::string tabDocument(const std::string& paper = kPageSize, std::size_t padding = 0) {
    std::string pjl = kPjlStart;
    if (padding > 0) pjl += "@PJL COMMENT " + std::string(padding - 15, 'x') + "\r\n";
    return pjl + kHeader + kSetup + feature("ZVOpCreator True", "") + feature("ZVOpPPDVersion 2", "/TabVersion 2 def") +
           feature("Resolution 600dpi", "<< /HWResolution [600 600] >> setpagedevice") + paper +
           feature("MediaType Tab", "<< /MediaType (Tab) >> setpagedevice") + kPage + kPjlEnd;
}

// The body of tabDocument(): header and prolog, the setup from its userdict
// line, the two driver features, the paper feature and the page up to the end.
const std::string kExpectedBody =
    kHeader + lines({"userdict /TabState 4 dict put", "TabState begin /inset 36 def end"}) +
    feature("ZVOpCreator True", "") + feature("ZVOpPPDVersion 2", "/TabVersion 2 def") + kPageSize +
    lines({"1 setlinecap 1 setlinejoin", "600 40 moveto (Chapter 1) show", "showpage", "%%PageTrailer", "%%Trailer"});

std::optional<std::string> extracted(std::string_view document, std::size_t chunk = SIZE_MAX) {
    ChunkedFile file(document, chunk);
    return extractTabBody(file);
}

// Returns the document with every occurrence of the marker spoiled.
std::string without(std::string document, std::string_view marker) {
    for (std::size_t at = document.find(marker); at != std::string::npos; at = document.find(marker, at))
        document[at] = '#';
    return document;
}

TEST(TabBodyExtraction, KeepsHeaderSetupFeaturesPaperAndPageTakingThePageRegionWithoutAPageSize) {
    EXPECT_EQ(extracted(tabDocument()), kExpectedBody);
    const std::string expected = replaced(kExpectedBody, "*PageSize", "*PageRegion");
    EXPECT_EQ(extracted(tabDocument(kPageRegion)), expected);
    // The page size wins where both are present.
    EXPECT_EQ(extracted(tabDocument(kPageRegion + kPageSize)), kExpectedBody);
    // A page size feature that no other feature closes gives way to the page
    // region before it, although looking for its end read the whole file.
    const std::string lateSize =
        replaced(tabDocument(kPageRegion), "%%EndSetup", "%%BeginFeature: *PageSize Late\r\n%%EndSetup");
    for (const std::size_t chunk : {1u, 5u, 4095u, 100000u})
        EXPECT_EQ(extracted(lateSize, chunk), expected) << "read " << chunk << " bytes at a time";
}

const std::string_view kMarkers[] = {kHeaderStart,       kBeginSetup,      kUserDictionary, kFeatureBegin, kCreatorFeature,
                                    kPpdVersionFeature, kPageSizeFeature, kPageStart,      kEndOfFile};

TEST(TabBodyExtraction, NothingWhenAMarkerIsMissingAndMarkersCountOnlyInTheirOrder) {
    for (const std::string_view marker : kMarkers)
        EXPECT_EQ(extracted(without(tabDocument(), marker)), std::nullopt) << "without " << marker;
    EXPECT_EQ(extracted(without(tabDocument(kPageRegion), kPageRegionFeature)), std::nullopt);
    EXPECT_EQ(extracted(""), std::nullopt);
    EXPECT_EQ(extracted(kPjlStart + kPjlEnd), std::nullopt);
    // A userdict line in the prolog does not stand for the setup's own.
    EXPECT_EQ(extracted(replaced(without(tabDocument(), kUserDictionary), "%%EndProlog",
                                 "userdict begin end\r\n%%EndProlog")), std::nullopt);
    // The page start before the paper feature does not end the body early.
    EXPECT_EQ(extracted(replaced(tabDocument(), "/setupsave", "% 1 setlinecap 1 setlinejoin\r\n/setupsave")),
              kExpectedBody);
    // Nor does an end of file mark that comes before the page.
    EXPECT_EQ(extracted(replaced(tabDocument(), "%%Pages: 1", "%%Pages: 1 %%EOF")),
              replaced(kExpectedBody, "%%Pages: 1", "%%Pages: 1 %%EOF"));
}

TEST(TabBodyExtraction, NothingFromADocumentCutShort) {
    const std::string document = tabDocument();
    const std::size_t complete = document.find(kEndOfFile) + kEndOfFile.size();
    for (std::size_t length = 0; length < complete; ++length)
        ASSERT_EQ(extracted(std::string_view(document).substr(0, length)), std::nullopt) << "cut at " << length;
    EXPECT_EQ(extracted(std::string_view(document).substr(0, complete)), kExpectedBody);
}

TEST(TabBodyExtraction, SameBodyHoweverTheFileIsRead) {
    // Long enough that every section spans several blocks.
    const auto lengthened = [](const std::string& text) {
        return replaced(replaced(text, "%%EndProlog", std::string(9000, 'p') + "\r\n%%EndProlog"), "showpage",
                        std::string(13000, 'q') + "\r\nshowpage");
    };
    const std::string document = lengthened(tabDocument()), expected = lengthened(kExpectedBody);
    ASSERT_EQ(extracted(document), expected);
    for (const std::size_t chunk : {1u, 2u, 7u, 13u, 100u, 1000u, 4094u, 4095u, 4096u, 4097u, 8190u, 100000u})
        EXPECT_EQ(extracted(document, chunk), expected) << "read " << chunk << " bytes at a time";
}

TEST(TabBodyExtraction, MarkerAcrossTheFirstBlockBoundary) {
    // The PJL before the job is dropped, so moving every marker by padding
    // it leaves the body as it is.
    for (const std::string_view marker : kMarkers) {
        const std::size_t natural = tabDocument().find(marker);
        for (std::size_t before = 0; before <= marker.size(); ++before) {
            const std::size_t at = kMinimumReadBlock - before;
            const std::string document = tabDocument(kPageSize, at - natural);
            ASSERT_EQ(document.find(marker), at);
            EXPECT_EQ(extracted(document), kExpectedBody)
                << marker << " starting " << before << " bytes before the block boundary";
        }
    }
}

}  // namespace
}  // namespace tvzx::tabs
