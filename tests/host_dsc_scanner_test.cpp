// The document structure scanner: where each mark falls between the bytes
// of a document, whatever the buffer size and line ends, and which documents
// it refuses.
#include <gtest/gtest.h>

#include <regex>

#include "host/dsc_scanner.h"
#include "host/host_error.h"

namespace {

using tvzx::host::DocumentRefused;
using tvzx::host::DscEvent;
using tvzx::host::DscMark;
using tvzx::host::DscSummary;
using tvzx::host::MemorySource;

// Records the document with each mark written into it as "<Name p>", a
// synthetic mark as "<Name* p>" (p only on page marks).
struct Trace final : tvzx::host::DscHandler {
    void documentBytes(std::string_view bytes) override { text += bytes; document += bytes; }
    void mark(const DscEvent& event) override {
        text += "<" + std::string(tvzx::host::markName(event.mark)) + (event.synthetic ? "*" : "");
        if (event.page != 0) text += " " + std::to_string(event.page);
        text += ">";
    }
    std::string text, document;
};

struct Scan {
    std::string trace;
    DscSummary summary;
};

Scan scan(std::string_view document, std::size_t bufferSize = tvzx::host::kDefaultScanBuffer) {
    MemorySource source(document);
    Trace trace;
    const DscSummary summary = tvzx::host::scanDocument(source, trace, bufferSize);
    EXPECT_EQ(trace.document, document) << "the document must pass through unchanged";
    return {trace.text, summary};
}

// Returns the refusal message, or "accepted".
std::string refusal(std::string_view document) {
    try {
        scan(document);
    } catch (const DocumentRefused& refused) {
        return refused.what();
    }
    return "accepted";
}

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

// A document with every part (header, prolog, setup, two pages with page
// setup and page trailer, trailer) and the marks the scanner places in it.
constexpr std::string_view kCompleteTrace =
    "<DocumentStart>%!PS-Adobe-3.0\n%%Pages: 2\n<CommentsEnd>%%EndComments\n%%BeginProlog\n/p { } def\n"
    "<PrologEnd>%%EndProlog\n%%BeginSetup\n<SetupStart>setup\n<SetupEnd>%%EndSetup\n"
    "<PageStart 1>%%Page: 1 1\n%%PageBoundingBox: 0 0 595 842\n%%BeginPageSetup\n<PageSetup 1>ps\n%%EndPageSetup\n"
    "(100%) one\n% plain comment\nshowpage\n%%PageTrailer\n<PageTrailer 1>pt\n"
    "<PageStart 2>%%Page: two 2\n%%BeginPageSetup\n<PageSetup 2>%%EndPageSetup\ntwo showpage\n"
    "%%PageTrailer\n<PageTrailer 2>%%Trailer\n<TrailerStart>t\n%%EOF\n<DocumentEnd>";

// Returns the document a trace was made of: the trace without its marks.
std::string documentOf(std::string_view trace) {
    static const std::regex kMark("<[A-Za-z]+\\*?( [0-9]+)?>");
    return std::regex_replace(std::string(trace), kMark, "");
}

const std::string kComplete = documentOf(kCompleteTrace);

TEST(DscScanner, CountsThePagesLinesAndBytes) {
    const DscSummary& got = scan(kComplete).summary;
    EXPECT_EQ(std::tuple(got.declaredPages, got.pages, got.lines, got.bytes), std::tuple(2u, 2u, 27u, kComplete.size()));
    // A page count declared at the end.
    const DscSummary atEnd =
        scan("%!PS-Adobe-3.0\n%%Pages: (atend)\n%%EndComments\n%%Page: 1 1\n%%Trailer\n%%Pages: 1\n%%EOF\n").summary;
    EXPECT_EQ(std::tuple(atEnd.declaredPages, atEnd.pages), std::tuple(1u, 1u));
}

TEST(DscScanner, FindsTheSameMarksWithAnyBufferSizeAndLineEnd) {
    // Every buffer size from the smallest up splits lines, and CR LF pairs,
    // at every possible place.
    for (const std::string_view lineEnd : {"\n", "\r\n", "\r"}) {
        const std::string document = replaceAll(std::string(kComplete), "\n", lineEnd);
        const std::string expected = replaceAll(std::string(kCompleteTrace), "\n", lineEnd);
        for (std::size_t size = tvzx::host::kMinimumScanBuffer; size < 160; ++size) {
            SCOPED_TRACE("buffer " + std::to_string(size) + ", line end " + std::to_string(lineEnd.size()));
            const Scan result = scan(document, size);
            ASSERT_EQ(result.trace, expected);
            ASSERT_EQ(result.summary.lines, 27u);
        }
    }
}

TEST(DscScanner, RecognisesCommentsLongerThanTheBuffer) {
    // A page label and a line of code far longer than the buffer.
    const std::string label(500, 'x'), code(1000, 'c');
    const std::string expected = "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*>%%BeginSetup\n"
                                 "<SetupStart><SetupEnd>%%EndSetup\n<PageStart 1>%%Page: " + label +
                                 " 1\n%%BeginPageSetup\n<PageSetup 1>" + code +
                                 "\n%%EndPageSetup\n<PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>";
    const std::string document = documentOf(expected);
    EXPECT_EQ(scan(document, 64).trace, expected);
}

TEST(DscScanner, PlacesTheMarksOfMissingSectionsWhereTheyBelong) {
    const struct {
        const char* name;
        std::string_view trace;
    } cases[] = {
        {"setup missing after the prolog: opened before the first line that is not a comment",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n%%BeginProlog\n<PrologEnd>%%EndProlog\n\n% note\n"
         "<SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1>%%Trailer\n<TrailerStart>"
         "%%EOF\n<DocumentEnd>"},
        {"prolog code without %%EndProlog ends at %%BeginSetup",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n/a 1 def\n<PrologEnd*>%%BeginSetup\n<SetupStart>"
         "<SetupEnd>%%EndSetup\n<PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"page comments stay together before the page setup mark",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd>%%EndProlog\n%%BeginSetup\n<SetupStart>"
         "<SetupEnd>%%EndSetup\n<PageStart 1>%%Page: 1 1\n%%PageOrientation: Portrait\n%%+ more\n"
         "%%PageBoundingBox: 0 0 1 1\n<PageSetup* 1>code\n<PageTrailer* 1><PageStart 2>%%Page: 2 2\n<PageSetup* 2>"
         "%%PageTrailer\n<PageTrailer 2>%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>"},
        {"bytes after %%EOF pass through without marks",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF\n\x04%%Page: 9 9\n<DocumentEnd>"},
        {"the last line may lack its line end",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF<DocumentEnd>"},
    };
    for (const auto& c : cases) EXPECT_EQ(scan(documentOf(c.trace)).trace, c.trace) << c.name;
}

TEST(DscScanner, IgnoresStructureInsideIncludedDocumentsAndCountedData) {
    const std::string binary = "\n%%Page: 7 7\n%%EOF\r";
    const std::string document =
        "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n"
        "%%BeginDocument: inner.eps\n%!PS-Adobe-3.0 EPSF-3.0\n%%Page: 1 1\n%%Trailer\n%%EOF\n%%EndDocument\n"
        "%%BeginBinary: " + std::to_string(binary.size()) + "\n" + binary + "%%EndBinary\n"
        "%%BeginData: 2 Hex Lines\n%%Page: 8 8\n%%Trailer\n%%EndData\n"
        "%%BeginData: 4\n%%EOF%%EndData\n"
        "%%Page: 2 2\n%%EOF\n";
    const Scan result = scan(document);
    // Only the two pages of the document itself are marked.
    const std::size_t secondPage = result.trace.find("<PageStart 2>%%Page: 2 2\n");
    EXPECT_NE(secondPage, std::string::npos) << result.trace;
    EXPECT_EQ(result.trace.find("<PageStart", result.trace.find("<PageStart 1>") + 1), secondPage) << result.trace;
    for (std::size_t size = 64; size < 100; ++size) EXPECT_EQ(scan(document, size).trace, result.trace) << size;
}

TEST(DscScanner, RefusesDocumentsWithoutTheStructureItNeeds) {
    // The document so far: header, and with its first page.
    const std::string head = "%!PS-Adobe-3.0\n%%EndComments\n", page = head + "%%Page: 1 1\n";
    const std::string firstLine = "\"%!PS-Adobe\" first line", noPages = "no %%Page: comments: the document has no pages";
    const struct {
        const char* name;
        std::string document, message;
    } cases[] = {
        {"empty", "", "empty input: no " + firstLine},
        {"plain PostScript", "%!PS\n%%EndComments\n%%Page: 1 1\n%%EOF\n", "no " + firstLine},
        {"a job with a PJL header", "\x1b%-12345X@PJL\n%!PS-Adobe-3.0\n", "a printer job language header instead of a " + firstLine},
        {"random bytes", std::string("\x7F" "ELF\x02\x01\x01\x00", 8), "binary data instead of a " + firstLine},
        {"DOS EPS", std::string("\xC5\xD0\xD3\xC6\x20\x00\x00\x00", 8), "binary EPS file (DOS EPS header) instead of a " + firstLine},
        {"binary in the header", std::string("%!PS-Adobe-3.0\n%%Title: a\0b\n%%EndComments\n", 42),
         "line 2: binary data among the header comments"},
        {"code before %%EndComments", "%!PS-Adobe-3.0\n%%Title: x\nshowpage\n%%EndComments\n",
         "no %%EndComments before the first line of code (line 3)"},
        {"header never ends", "%!PS-Adobe-3.0\n%%Title: x\n", "no %%EndComments"},
        {"no pages before the trailer", head + "%%Trailer\n%%EOF\n", noPages},
        {"no pages at all", head + "%%BeginSetup\n%%EndSetup\n", noPages},
        {"setup never ends", head + "%%BeginSetup\n%%Page: 1 1\n%%EOF\n", "no %%EndSetup for the setup section (line 4)"},
        {"page setup never ends", page + "%%BeginPageSetup\n%%PageTrailer\n%%EOF\n", "page 1: no %%EndPageSetup (line 5)"},
        {"cut after a page", page + "%%Page: 2 2\nshow", "truncated after page 2: no %%EOF"},
        {"cut in the trailer", page + "%%Trailer\n", "truncated in the trailer: no %%EOF"},
        {"cut in an included document", page + "%%BeginDocument: x\n%%EOF\n", "truncated inside an included document: no %%EndDocument"},
        {"cut in binary data", page + "%%BeginBinary: 100\n%%EOF\n", "truncated inside counted data (%%BeginData or %%BeginBinary)"},
        {"a page after the trailer", page + "%%Trailer\n%%Page: 2 2\n%%EOF\n", "line 5: %%Page: after %%Trailer"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.document), c.message) << c.name;
}

}  // namespace
