// Counting and replacing pieces of a stream or document, shared by the tests
// that edit or inspect whole streams.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace tvzx::testing {

// Returns how often `what` occurs in the text, occurrences not overlapping.
inline std::size_t count(std::string_view text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// Returns the text with every `from` replaced by `to`.
inline std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) text.replace(at, from.size(), to);
    return text;
}

// Returns the text with its first `from` replaced by `to`; a `from` missing fails the test.
inline std::string replaced(std::string text, std::string_view from, std::string_view to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

}  // namespace tvzx::testing
