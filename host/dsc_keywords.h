// The document structuring comments the host reads in a document and writes
// into the stream. Each keyword is written with its "%%" (or "%!") and, where
// the comment takes arguments, its colon.
#pragma once

#include <string_view>

namespace tvzx::host::dsc {

inline constexpr std::string_view kPostScript = "%!";
inline constexpr std::string_view kPsAdobe = "%!PS-Adobe-";
// The first line of an encapsulated document names its version of this.
inline constexpr std::string_view kEncapsulated = " EPSF-";
inline constexpr std::string_view kCommentPrefix = "%%";
inline constexpr std::string_view kContinuation = "%%+";

inline constexpr std::string_view kEndComments = "%%EndComments";
inline constexpr std::string_view kPages = "%%Pages:";
inline constexpr std::string_view kBeginProlog = "%%BeginProlog";
inline constexpr std::string_view kEndProlog = "%%EndProlog";
inline constexpr std::string_view kBeginSetup = "%%BeginSetup";
inline constexpr std::string_view kEndSetup = "%%EndSetup";
inline constexpr std::string_view kPage = "%%Page:";
inline constexpr std::string_view kBeginPageSetup = "%%BeginPageSetup";
inline constexpr std::string_view kEndPageSetup = "%%EndPageSetup";
inline constexpr std::string_view kPageTrailer = "%%PageTrailer";
inline constexpr std::string_view kTrailer = "%%Trailer";
inline constexpr std::string_view kEof = "%%EOF";

// Comments that belong to a page's own comment block right after %%Page:
// (%%PageBoundingBox, %%PageOrientation, %%PageMedia and the like all start
// with "%%Page").
inline constexpr std::string_view kPageCommentPrefix = "%%Page";
inline constexpr std::string_view kViewingOrientation = "%%ViewingOrientation:";
inline constexpr std::string_view kEndPageComments = "%%EndPageComments";

// Comments that open or close a section: none of them belongs to the
// header, so one ends a header that lacks %%EndComments.
inline constexpr std::string_view kBeginPrefix = "%%Begin";
inline constexpr std::string_view kEndPrefix = "%%End";

// Brackets whose content is not the document's own structure.
inline constexpr std::string_view kBeginDocument = "%%BeginDocument:";
inline constexpr std::string_view kEndDocument = "%%EndDocument";
inline constexpr std::string_view kBeginData = "%%BeginData:";
inline constexpr std::string_view kBeginBinary = "%%BeginBinary:";
// Arguments of %%BeginData.
inline constexpr std::string_view kDataLines = "Lines";

// Written by the host itself.
// A document without structuring comments, printed as one page.
inline constexpr std::string_view kUnstructuredDocument = "%%BeginDocument: unstructured";
inline constexpr std::string_view kBeginResource = "%%BeginResource:";
inline constexpr std::string_view kEndResource = "%%EndResource";
inline constexpr std::string_view kBeginFeature = "%%BeginFeature:";
inline constexpr std::string_view kEndFeature = "%%EndFeature";

}  // namespace tvzx::host::dsc
