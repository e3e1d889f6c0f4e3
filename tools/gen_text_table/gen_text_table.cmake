# Turns the readable text table (UTF-8, tab-separated) into the C++ source of
# the built-in table. Run as a script:
#   cmake -DINPUT=text_table.tsv -DOUTPUT=text_table_data.cpp -P gen_text_table.cmake
#
# Each line of the input holds one text identifier: the identifier, the key,
# then the nine language texts in table column order. Identifiers must start
# at 0 and follow each other without gaps; an empty or missing field is a
# missing text. Lines beginning with "#" are comments.
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED INPUT OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "gen_text_table: INPUT and OUTPUT must be given")
endif()

# Identifier, key and nine texts.
set(field_limit 11)

file(READ "${INPUT}" content)

# CMake lists split at ";" (except inside brackets) and treat "\;" as an
# escape, so the characters that list handling would misread are replaced by
# control characters for the duration and put back, escaped for C++, when a
# text is written out. The input must not hold those control characters.
string(ASCII 1 semicolon_mark)
string(ASCII 2 open_bracket_mark)
string(ASCII 3 close_bracket_mark)
string(ASCII 4 backslash_mark)
foreach(mark IN ITEMS "${semicolon_mark}" "${open_bracket_mark}" "${close_bracket_mark}" "${backslash_mark}")
  string(FIND "${content}" "${mark}" position)
  if(NOT position EQUAL -1)
    message(FATAL_ERROR "gen_text_table: ${INPUT} holds a control character")
  endif()
endforeach()
string(REPLACE "\r" "" content "${content}")
string(REPLACE ";" "${semicolon_mark}" content "${content}")
string(REPLACE "[" "${open_bracket_mark}" content "${content}")
string(REPLACE "]" "${close_bracket_mark}" content "${content}")
string(REPLACE "\\" "${backslash_mark}" content "${content}")
string(REPLACE "\n" ";" lines "${content}")

# Returns in out_var the C++ element for one text: a null entry when empty,
# else a UTF-16 literal. The marked characters stay marked until the whole
# table is written.
function(text_element text out_var)
  if(text STREQUAL "")
    set(${out_var} "{}" PARENT_SCOPE)
    return()
  endif()
  string(REPLACE "\"" "\\\"" text "${text}")
  set(${out_var} "t(u\"${text}\")" PARENT_SCOPE)
endfunction()

set(rows "")
set(expected_id 0)
set(line_number 0)
foreach(line IN LISTS lines)
  math(EXPR line_number "${line_number} + 1")
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  string(REPLACE "\t" ";" fields "${line}")
  list(LENGTH fields field_count)
  if(field_count GREATER field_limit)
    message(FATAL_ERROR "gen_text_table: ${INPUT}:${line_number}: ${field_count} fields, at most ${field_limit} allowed")
  endif()
  list(GET fields 0 id)
  if(NOT id STREQUAL "${expected_id}")
    message(FATAL_ERROR "gen_text_table: ${INPUT}:${line_number}: identifier '${id}' where ${expected_id} was expected")
  endif()
  math(EXPR expected_id "${expected_id} + 1")

  # A row without any text is a row of nulls.
  if(field_count LESS 2)
    string(APPEND rows "    {},\n")
    continue()
  endif()
  list(GET fields 1 key)
  # The texts stand in table column order; the key comes last in the row.
  set(row "")
  foreach(index RANGE 2 10)
    set(text "")
    if(index LESS field_count)
      list(GET fields ${index} text)
    endif()
    text_element("${text}" element)
    string(APPEND row "${element}, ")
  endforeach()
  text_element("${key}" element)
  string(APPEND rows "    {${row}${element}},\n")
endforeach()

# Put the marked characters back, backslashes escaped for C++.
string(REPLACE "${backslash_mark}" "\\\\" rows "${rows}")
string(REPLACE "${semicolon_mark}" ";" rows "${rows}")
string(REPLACE "${open_bracket_mark}" "[" rows "${rows}")
string(REPLACE "${close_bracket_mark}" "]" rows "${rows}")

set(source "// Generated from text_table.tsv by gen_text_table.cmake; edit the table, not this file.
#include \"l10n/text_table.h\"

#include <array>
#include <cstddef>
#include <iterator>
#include <limits>

namespace tvzx::l10n {
namespace {

// One text as written; a missing text has no characters at all.
struct Text {
    const char16_t* data = nullptr;
    std::size_t size = 0;
};
// One row as written: the nine languages, then the key.
using TextRow = std::array<Text, kTextColumnCount>;

// A text whose length the compiler takes from the literal itself.
template <std::size_t N>
constexpr Text t(const char16_t (&text)[N]) {
    return {text, N - 1};
}

// The rows as written; only read while compiling, to build the packed form
// below, so the module carries no pointer per text (a table of views would
// need a relocation each, copied into every process that loads the module).
constexpr TextRow kRows[] = {
${rows}    {},  // the terminating row of nulls
};

static_assert(std::size(kRows) == kTextRowCount + 1, \"the text table must hold every text identifier once\");

// Where one text stands in the pool; a missing text has no offset.
struct TextSpan {
    std::uint32_t offset;
    std::uint32_t length;
};
constexpr std::uint32_t kNoText = std::numeric_limits<std::uint32_t>::max();

// The pool's size: every text with its terminating NUL.
constexpr std::size_t kPoolSize = [] {
    std::size_t size = 0;
    for (const TextRow& row : kRows)
        for (const Text& text : row)
            if (text.data != nullptr) size += text.size + 1;
    return size;
}();

// Every text of the table, one after the other, each closed by a NUL.
constexpr auto kPool = [] {
    std::array<char16_t, kPoolSize> pool{};
    std::size_t at = 0;
    for (const TextRow& row : kRows)
        for (const Text& text : row) {
            if (text.data == nullptr) continue;
            for (std::size_t unit = 0; unit < text.size; ++unit) pool[at++] = text.data[unit];
            pool[at++] = u'\\0';
        }
    return pool;
}();
static_assert(kPool.size() < kNoText, \"the text pool must be addressable by 32-bit offsets\");

// Each row's texts as places in the pool, in the order the pool was filled.
constexpr auto kSpans = [] {
    std::array<std::array<TextSpan, kTextColumnCount>, std::size(kRows)> spans{};
    std::uint32_t at = 0;
    for (std::size_t id = 0; id < std::size(kRows); ++id)
        for (std::size_t column = 0; column < kTextColumnCount; ++column) {
            const Text& text = kRows[id][column];
            if (text.data == nullptr) {
                spans[id][column] = {kNoText, 0};
                continue;
            }
            spans[id][column] = {at, static_cast<std::uint32_t>(text.size)};
            at += static_cast<std::uint32_t>(text.size + 1);
        }
    return spans;
}();

}  // namespace

std::u16string_view tableText(std::uint32_t textId, TextColumn column) {
    // The terminating row answers for its own identifier; anything past it
    // has no row at all.
    if (textId > kTextRowCount) return {};
    const TextSpan span = kSpans[textId][static_cast<std::size_t>(column)];
    if (span.offset == kNoText) return {};
    return std::u16string_view(kPool.data() + span.offset, span.length);
}

}  // namespace tvzx::l10n
")

# Only a changed table touches the output, so an unchanged one rebuilds nothing.
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" previous)
  if(previous STREQUAL source)
    return()
  endif()
endif()
file(WRITE "${OUTPUT}" "${source}")
