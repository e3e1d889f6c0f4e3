// Reads a PostScript document that follows the document structuring
// conventions and finds its parts: the header comments, the prolog, the
// setup section, each page with its page setup and page trailer, the trailer
// and the end. The document streams through in pieces, so memory stays
// bounded whatever its size; every byte is handed on unchanged and in order,
// with the structural marks between them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "byte_source.h"

namespace tvzx::host {

// A place in the document structure, between two bytes of the document.
enum class DscMark : std::uint8_t {
    DocumentStart,  // before the "%!PS-Adobe" first line
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
    // belongs. PrologEnd: before the setup section (or where it belongs).
    // SetupStart and SetupEnd: together, after the prolog. PageSetup: after
    // the page's own comments. PageTrailer: before the next page or the
    // trailer. TrailerStart: before %%EOF.
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
    std::uint64_t bytes = 0;
    // The count of %%Pages: (in the header, or in the trailer for "(atend)").
    std::optional<std::uint64_t> declaredPages;
};

// Lines are read through a buffer of this many bytes; a longer line streams
// through in pieces and is recognised by its beginning.
inline constexpr std::size_t kDefaultScanBuffer = 64 * 1024;
inline constexpr std::size_t kMinimumScanBuffer = 64;

// Reads the whole document from source and hands every byte and mark to the
// handler. Returns what was found. Throws DocumentRefused naming what is
// missing when the document lacks the structure the host needs (no
// "%!PS-Adobe" first line, binary data, no %%EndComments, no pages, an open
// section at the end, no %%EOF); the handler may have received part of the
// document by then.
DscSummary scanDocument(ByteSource& source, DscHandler& handler, std::size_t bufferSize = kDefaultScanBuffer);

}  // namespace tvzx::host
