// The document structure scanner: where each mark falls between the bytes
// of a document, whatever the buffer size and line ends, and which documents
// it refuses.
#include <gtest/gtest.h>

#include <regex>

#include "host/dsc_scanner.h"
#include "host/host_error.h"
#include "stream_text.h"

namespace {

using tvzx::host::DocumentRefused;
using tvzx::host::DscEvent;
using tvzx::host::DscMark;
using tvzx::host::DscSummary;
using tvzx::host::MemorySource;
using tvzx::testing::replaceAll;

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

// Scans the document; every byte from the first line on must pass through
// unchanged, what stands ahead of it is left out.
Scan scan(std::string_view document, std::size_t bufferSize = tvzx::host::kDefaultScanBuffer) {
    MemorySource source(document);
    Trace trace;
    const DscSummary summary = tvzx::host::scanDocument(source, trace, bufferSize);
    EXPECT_EQ(trace.document, document.substr(summary.skippedBytes)) << "the document must pass through unchanged";
    EXPECT_EQ(summary.bytes, document.size());
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

// Checks that the document of a trace (behind the bytes left out ahead of
// it) gives that trace with LF, CR LF and CR line ends, read through buffers
// that split its lines at different places.
void expectTrace(std::string_view name, std::string_view trace, std::string_view ahead = {}) {
    for (const std::string_view lineEnd : {"\n", "\r\n", "\r"}) {
        const std::string expected = replaceAll(std::string(trace), "\n", lineEnd);
        const std::string document = std::string(ahead) + documentOf(expected);
        for (const std::size_t size : {std::size_t{64}, std::size_t{67}, std::size_t{101}, tvzx::host::kDefaultScanBuffer}) {
            const Scan result = scan(document, size);
            EXPECT_EQ(result.trace, expected) << name << ", line end " << lineEnd.size() << ", buffer " << size;
            EXPECT_EQ(result.summary.skippedBytes, ahead.size()) << name;
        }
    }
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

// The marks of a short document of one page; documents that differ from it
// only where a case says must give these.
constexpr std::string_view kOnePageTrace =
    "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
    "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage\n<PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>";

TEST(DscScanner, PlacesTheMarksOfMissingSectionsWhereTheyBelong) {
    const struct {
        const char* name;
        std::string_view trace;
    } cases[] = {
        {"setup missing after the prolog: opened before the first line that is not a comment",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n%%BeginProlog\n<PrologEnd>%%EndProlog\n\n% note\n"
         "<SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1>%%Trailer\n<TrailerStart>"
         "%%EOF\n<DocumentEnd>"},
        {"prolog code without %%EndProlog ends at %%BeginSetup; a setup without %%EndSetup at the first page",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n/a 1 def\n<PrologEnd*>%%BeginSetup\n<SetupStart>"
         "setup\n<SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"page comments stay together before the page setup mark; a page setup without its end ends with the page",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd>%%EndProlog\n%%BeginSetup\n<SetupStart>"
         "<SetupEnd>%%EndSetup\n<PageStart 1>%%Page: 1 1\n%%PageOrientation: Portrait\n%%+ more\n"
         "%%PageBoundingBox: 0 0 1 1\n%%BeginPageSetup\n<PageSetup 1>code\n<PageTrailer* 1><PageStart 2>%%Page: 2 2\n"
         "<PageSetup* 2>%%PageTrailer\n<PageTrailer 2>%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>"},
        {"bytes after %%EOF pass through without marks",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF\n\x04%%Page: 9 9\n<DocumentEnd>"},
        {"the last line may lack its line end",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>%%EOF<DocumentEnd>"},
        {"repeated page trailers: the first of a page counts, none before the first page",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd>%%EndProlog\n%%BeginSetup\n<SetupStart>"
         "<SetupEnd>%%EndSetup\n%%PageTrailer\n<PageStart 1>%%Page: 1 1\n<PageSetup* 1>%%PageTrailer\n<PageTrailer 1>"
         "%%PageTrailer\nx\n%%PageTrailer\n<PageStart 2>%%Page: 2 2\n%%BeginPageSetup\n<PageSetup 2>%%EndPageSetup\n"
         "%%PageTrailer\n<PageTrailer 2>%%PageTrailer\n%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>"},
    };
    for (const auto& c : cases) expectTrace(c.name, c.trace);
}

TEST(DscScanner, ReadsWhatPrintersReadAndEndsTheJobAtTheLastTrailer) {
    const struct {
        const char* name;
        std::string_view trace;
        std::string_view ahead = {};
    } cases[] = {
        {"no %%Trailer and no %%EOF: the page ends at the end",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage<PageTrailer* 1><TrailerStart*><DocumentEnd*>"},
        {"%%Trailer without %%EOF",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage\n<PageTrailer* 1>%%Trailer\n<TrailerStart>%%Pages: 1\n"
         "<DocumentEnd*>"},
        {"a header ended by code", "<DocumentStart>%!PS-Adobe-3.0\n%%Title: x\n<CommentsEnd*>/a 1 def\n"
         "<PrologEnd*><SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1>%%Trailer\n"
         "<TrailerStart>%%EOF\n<DocumentEnd>"},
        {"a header ended by a blank line", "<DocumentStart>%!PS-Adobe-3.0\n%%Title: x\n<CommentsEnd*>\n"
         "<PrologEnd*><SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage\n<PageTrailer* 1>"
         "<TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"a header ended by a plain comment, and a %X line stays in it",
         "<DocumentStart>%!PS-Adobe-3.0\n%Private: x\n<CommentsEnd*>% note\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage\n<PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"a header ended by the first page", "<DocumentStart>%!PS-Adobe-3.0\n%%Pages: 1\n<CommentsEnd*><PrologEnd*>"
         "<SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1>showpage\n<PageTrailer* 1><TrailerStart*>"
         "%%EOF\n<DocumentEnd>"},
        {"a header ended by the prolog", "<DocumentStart>%!PS-Adobe-3.0\n%%BoundingBox: 0 0 1 1\n<CommentsEnd*>"
         "%%BeginProlog\n<PrologEnd>%%EndProlog\n<SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1>"
         "<PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"a header ended by an included document",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd*>%%BeginDocument: a\n%%Page: 1 1\n%%EndDocument\n"
         "<PrologEnd*><SetupStart*><SetupEnd*><PageStart 1>%%Page: 1 1\n<PageSetup* 1><PageTrailer* 1><TrailerStart*>"
         "%%EOF\n<DocumentEnd>"},
        {"only a header", "<DocumentStart>%!PS-Adobe-3.0\n%%Title: x\n<CommentsEnd*><PrologEnd*><SetupStart*><SetupEnd*>"
         "<TrailerStart*><DocumentEnd*>"},
        {"no pages: the trailer follows the code",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\nfill\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>"},
        {"an encapsulated document without pages: the setup goes before its code, or after its prolog",
         "<DocumentStart>%!PS-Adobe-3.0 EPSF-3.0\n<CommentsEnd>%%EndComments\n% c\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "fill\n%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>"},
        {"an encapsulated document with a prolog", "<DocumentStart>%!PS-Adobe-3.0 EPSF-3.0\n<CommentsEnd>%%EndComments\n"
         "%%BeginProlog\n/a 1 def\n<PrologEnd>%%EndProlog\n<SetupStart*><SetupEnd*>fill\n<TrailerStart*><DocumentEnd*>"},
        {"Ctrl-D ahead", kOnePageTrace, "\x04"}, {"byte-order mark ahead", kOnePageTrace, "\xEF\xBB\xBF"},
        {"job language header ahead",
         kOnePageTrace, "\x1b%-12345X@PJL JOB NAME=\"x\"\r\n@pjl comment\n\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n"},
        {"universal exit and Ctrl-D right ahead of the first line", kOnePageTrace, "\x1b%-12345X\x04"},
        {"an included document without brackets: its %%Trailer and %%EOF do not end the job",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>save\n%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 1 1\n"
         "%%EndComments\nfill\n%%Trailer\n%%Pages: 9\n%%EOF\nrestore showpage\n<PageTrailer* 1><PageStart 2>%%Page: 2 2\n"
         "<PageSetup* 2>%!PS-Adobe-3.0 EPSF-3.0\n%%EOF\nshowpage\n%%Trailer\n%%EOF\n%%Trailer\nx\n<PageTrailer* 2>"
         "%%Trailer\n<TrailerStart>%%Pages: 2\n%%EOF\n%%EOF\n<DocumentEnd>"},
        {"an included document's %%EOF alone does not end the job either",
         "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
         "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>%!PS-Adobe-3.0 EPSF-3.0\nfill\n%%EOF\nshowpage\n<PageTrailer* 1>"
         "<TrailerStart*>%%EOF\n<DocumentEnd>"},
        {"no structuring comments: one page of the whole document",
         "<DocumentStart*><CommentsEnd*><PrologEnd*><SetupStart*><SetupEnd*><PageStart* 1><PageSetup* 1>%!PS\n"
         "%%BeginDocument: x\n%%Page: 1 1\n%%Trailer\n%%EOF\nshowpage<PageTrailer* 1><TrailerStart*><DocumentEnd*>",
         "\x04"},
    };
    for (const auto& c : cases) expectTrace(c.name, c.trace, c.ahead);
    // The page counts the summary gives, and the trailer's own count.
    const Scan included = scan(documentOf(cases[16].trace));
    EXPECT_EQ(std::tuple(included.summary.pages, included.summary.declaredPages), std::tuple(2u, 2u));
    EXPECT_EQ(scan(documentOf(cases[9].trace)).summary.pages, 0u);
    EXPECT_EQ(scan(documentOf(cases[5].trace)).summary.declaredPages, 1u);
    EXPECT_EQ(scan(documentOf(cases[18].trace)).summary.pages, 1u);
}

TEST(DscScanner, HoldsAPossibleTrailerOnlyWithinItsBound) {
    const std::string page = "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n%%Trailer\n";
    const std::string line = std::string(99, 'x') + "\n";
    const std::size_t within = (tvzx::host::kMostHeldTrailer - 2 * tvzx::host::kDefaultScanBuffer) / line.size();
    const std::size_t beyond = (tvzx::host::kMostHeldTrailer + 2 * tvzx::host::kDefaultScanBuffer) / line.size();
    std::string held, released;
    for (std::size_t i = 0; i < within; ++i) held += line;
    for (std::size_t i = 0; i < beyond; ++i) released += line;
    // A trailer within the bound is the job's; one beyond it is taken for an
    // included document's, and the job's trailer goes before %%EOF.
    EXPECT_TRUE(scan(page + held + "%%EOF\n").trace.ends_with("<PageTrailer* 1>%%Trailer\n<TrailerStart>" + held +
                                                               "%%EOF\n<DocumentEnd>"));
    EXPECT_TRUE(scan(page + released + "%%EOF\n").trace.ends_with(released + "<PageTrailer* 1><TrailerStart*>%%EOF\n<DocumentEnd>"));
}

TEST(DscScanner, IgnoresStructureInsideNestedIncludedDocumentsAndCountedData) {
    const std::string binary = "%%Page: 7 7\r%%EOF\r";
    // Three documents deep, each with its pages, page trailers, trailer and
    // end; a stray %%EndDocument ahead of them changes nothing.
    const std::string trace =
        "<DocumentStart>%!PS-Adobe-3.0\n<CommentsEnd>%%EndComments\n<PrologEnd*><SetupStart*><SetupEnd*>"
        "<PageStart 1>%%Page: 1 1\n<PageSetup* 1>%%EndDocument\n%%BeginDocument: one.ps\n%!PS-Adobe-3.0\n%%Page: 1 1\n"
        "%%BeginDocument: two.eps\n%%Page: 1 1\n%%BeginDocument: three.eps\n%%Page: 1 1\n%%PageTrailer\n%%Trailer\n%%EOF\n"
        "%%EndDocument\n%%PageTrailer\n%%Trailer\n%%EOF\n%%EndDocument\n%%Page: 2 2\n%%Trailer\n%%EOF\n%%EndDocument\n"
        "%%PageTrailer\n<PageTrailer 1>%%PageTrailer\n<PageStart 2>%%Page: 2 2\n<PageSetup* 2>%%BeginBinary: " +
        std::to_string(binary.size()) + "\n" + binary + "%%EndBinary\n%%BeginData: 2 Hex Lines\n%%Page: 8 8\n%%Trailer\n"
        "%%EndData\n%%BeginData: 4\n%%EOF%%EndData\n<PageTrailer* 2>%%Trailer\n<TrailerStart>%%EOF\n<DocumentEnd>";
    expectTrace("nested", trace);
}

TEST(DscScanner, RefusesWhatIsNotPostScriptOrEndsInsideAPage) {
    const std::string page = "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n";
    const std::string notPostScript = "no \"%!\" first line: not a PostScript document";
    const struct {
        const char* name;
        std::string document, message;
    } cases[] = {
        {"empty", "", "empty input: no \"%!\" first line"}, {"text", "hello\n%!PS-Adobe-3.0\n", notPostScript},
        {"a job language header alone", "\x1b%-12345X@PJL\r\n\x04", notPostScript},
        {"random bytes", std::string("\x7F" "ELF\x02\x01\x01\x00", 8), "binary data instead of a \"%!\" first line"},
        {"DOS EPS", std::string("\xC5\xD0\xD3\xC6\x20\x00\x00\x00", 8), "binary EPS file (DOS EPS header) instead of a \"%!\" first line"},
        {"cut in a page setup", page + "%%BeginPageSetup\n/a 1 def\n", "truncated: page 1 has no %%EndPageSetup"},
        {"cut in an included document", page + "%%BeginDocument: x\n%%EOF\n", "truncated inside an included document: no %%EndDocument"},
        {"cut in binary data", page + "%%BeginBinary: 100\n%%EOF\n", "truncated inside counted data (%%BeginData or %%BeginBinary)"},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.document), c.message) << c.name;
}

}  // namespace
