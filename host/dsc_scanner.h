// Reads a PostScript document that follows the document structuring
// conventions and finds its parts: the header comments, the prolog, the
// setup section, each page with its page setup and page trailer, the trailer
// and the end. The document streams through in pieces, so memory stays
// bounded whatever its size; every byte from the first line on is handed on
// unchanged and in order, with the structural marks between them.
//
// It reads what printers and print spoolers read: bytes ahead of the first
// line (Ctrl-D, a UTF-8 byte-order mark, a printer job language header) are
// left out; a header may end without %%EndComments, a document without
// %%Trailer or %%EOF; the job's trailer is the document's last %%Trailer
// (or its last %%EOF) after its last page, so that an included document
// without %%BeginDocument brackets does not end the job; and a document
// with a "%!" first line but no structuring comments is one page.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "byte_source.h"

namespace tvzx::host {

// A place in the document structure, between two bytes of the document.
enum class DscMark : std::uint8_t {
    DocumentStart,  // before the "%!PS-Adobe" (or "%!") first line
    CommentsEnd,    // before the %%EndComments line
    PrologEnd,      // before the %%EndProlog line
    SetupStart,     // after the %%BeginSetup line
    SetupEnd,       // before the %%EndSetup line
    PageStart,      // before a %%Page: line
    PageSetup,      // after the %%BeginPageSetup line
    PageTrailer,    // after the %%PageTrailer line
    TrailerStart,   // after the %%Trailer line
    DocumentEnd,    // after the last byte
};

// Returns the mark's name, for messages and tests.
std::string_view markName(DscMark mark);

struct DscEvent {
    DscMark mark;
    // The document lacks the comment; the mark stands where the comment
    // belongs. DocumentStart: the document has no structuring comments at
    // all, and every mark up to the first page's PageSetup follows at once,
    // before its first byte; the document is that one page. CommentsEnd:
    // before the first line that cannot belong to the header (or at the
    // end). PrologEnd: before the setup section (or where it belongs).
    // SetupStart and SetupEnd: together, after the prolog; SetupEnd alone:
    // before the first line after an open setup section that cannot belong
    // to it. PageSetup: after the page's own comments. PageTrailer: before
    // the next page or the trailer. TrailerStart: before %%EOF, or at the
    // end. DocumentEnd: the document has no %%EOF.
    bool synthetic = false;
    // The page the mark belongs to, counted from 1 in document order; 0
    // outside the pages.
    std::uint64_t page = 0;
};

class DscHandler {
public:
    virtual ~DscHandler() = default;
    // Receives the next bytes of the document.
    virtual void documentBytes(std::string_view bytes) = 0;
    // Receives a mark at its place between the document bytes.
    virtual void mark(const DscEvent& event) = 0;
};

// What the scanner found in a document it accepted.
struct DscSummary {
    std::uint64_t pages = 0;
    std::uint64_t lines = 0;
    std::uint64_t bytes = 0;          // read, the bytes left out included
    std::uint64_t skippedBytes = 0;   // left out ahead of the first line
    // The count of %%Pages: (in the header, or in the trailer for "(atend)").
    std::optional<std::uint64_t> declaredPages;
};

// Lines are read through a buffer of this many bytes; a longer line streams
// through in pieces and is recognised by its beginning.
inline constexpr std::size_t kDefaultScanBuffer = 64 * 1024;
inline constexpr std::size_t kMinimumScanBuffer = 64;

// The most bytes of a possible trailer held back until the document shows
// whether another page follows it. Past this, the trailer is taken for an
// included document's, and the job's trailer goes to the end.
inline constexpr std::size_t kMostHeldTrailer = 1024 * 1024;

// Reads the whole document from source and hands every byte and mark to the
// handler. Returns what was found. Throws DocumentRefused with one line
// naming the fault when the input is not PostScript (empty, binary data, no
// "%!" first line) or really ends early: inside counted data, an included
// document or a page setup section. The handler may have received part of
// the document by then.
DscSummary scanDocument(ByteSource& source, DscHandler& handler, std::size_t bufferSize = kDefaultScanBuffer);

}  // namespace tvzx::host
