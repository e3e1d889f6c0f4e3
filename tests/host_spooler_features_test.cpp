// The feature code a spooler put into a document is left out as the host
// reads it; everything else, and everything from the first page on, passes.
#include <gtest/gtest.h>

#include "host/spooler_features.h"
#include "stream_text.h"

namespace tvzx::host {
namespace {

using testing::replaceAll;

std::string readAll(ByteSource& source, std::size_t chunk) {
    std::string out;
    std::vector<char> buffer(chunk);
    while (const std::size_t got = source.read(buffer)) out.append(buffer.data(), got);
    return out;
}

TEST(SpoolerFeatures, FeatureBracketsAndCopiesBeforeTheFirstPageAreLeftOutWhateverTheLineEnds) {
    const std::string document = "%!PS-Adobe-3.0\n%RBINumCopies: 1\n%%EndComments\n%%BeginSetup\n"
        "[{\n%%BeginFeature: *ZVStaple 2StapleWide\nTVZXFeatures /ZVStaple (2StapleWide) put\n%%EndFeature\n} stopped cleartomark\n"
        "[{\n%%BeginFeature: *InputSlot Auto\n%%EndFeature\n} stopped cleartomark\n[{\n1 2 add\n"
        "%RBIBeginNonPPDFeature: *NumCopies 2\n2/languagelevel where{pop languagelevel 2 ge}{false}ifelse\n%RBIEndNonPPDFeature\n"
        "%%EndSetup\n%%Page: 1 1\n[{\n%%BeginFeature: *ZVPunch 2holes\n%%EndFeature\n} stopped cleartomark\nshowpage\n%%EOF";
    const std::string kept = "%!PS-Adobe-3.0\n%RBINumCopies: 1\n%%EndComments\n%%BeginSetup\n[{\n1 2 add\n%%EndSetup\n%%Page: 1 1\n"
        "[{\n%%BeginFeature: *ZVPunch 2holes\n%%EndFeature\n} stopped cleartomark\nshowpage\n%%EOF";
    // Each line end, and lines of the document's own in CR LF among LF ones.
    std::vector<std::pair<std::string, std::string>> variants;
    for (const std::string_view lineEnd : {"\n", "\r\n", "\r"})
        variants.emplace_back(replaceAll(document, "\n", lineEnd), replaceAll(kept, "\n", lineEnd));
    variants.emplace_back(replaceAll(document, "[{\n1 2 add\n", "[{\r\n1 2 add\r\n"), replaceAll(kept, "[{\n1 2 add\n", "[{\r\n1 2 add\r\n"));
    for (const auto& [input, output] : variants) {
        for (const std::size_t chunk : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            MemorySource memory(input);
            SpoolerFeatureFilter filter(memory);
            // The spooler made the copies: one is left to the printer.
            EXPECT_EQ(filter.printerCopies(), 1u);
            EXPECT_EQ(readAll(filter, chunk), output) << "chunk " << chunk << ": " << input.substr(14, 2);
        }
    }
    // A bracket of the document's own right before the first page: the page
    // still starts the body, whose brackets all pass; copies stated only
    // inside a line are none.
    for (const std::string_view lineEnd : {"\n", "\r"}) {
        const std::string ownBracket = replaceAll("[{\n%%Page: 1 1 %RBINumCopies: 3\n[{\n%%BeginFeature: *ZVPunch 2holes\n"
                                                  "%%EndFeature\n} stopped cleartomark\n", "\n", lineEnd);
        MemorySource memory(ownBracket);
        SpoolerFeatureFilter filter(memory);
        EXPECT_EQ(filter.printerCopies(), std::nullopt);
        EXPECT_EQ(readAll(filter, 5), ownBracket);
    }
}

}  // namespace
}  // namespace tvzx::host
