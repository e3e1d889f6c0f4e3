// The document the host prints when it is given none: a few pages with every
// part of the document structure, so that each injection point is reached.
#pragma once

#include <string_view>

namespace tvzx::host {

// Returns the document's bytes.
std::string_view sampleDocument();

// The document name the sample job carries.
inline constexpr std::string_view kSampleDocumentName = "tvzx sample";

}  // namespace tvzx::host
