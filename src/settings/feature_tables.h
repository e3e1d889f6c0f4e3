// Feature vocabulary of the job settings: option tables of the option fields,
// numeric descriptors of the number fields, the field table of the record and
// the paper table. All of it is constant data compiled into the plug-in; the
// PPD and PJL writers walk these tables instead of holding their own strings.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "settings/field_id.h"

namespace tvzx::settings {

// Display string identifier meaning "no display text".
inline constexpr std::uint64_t kNoDisplayString = ~std::uint64_t{0};

// How the PJL job ticket uses a feature's key.
enum class PjlMode : std::uint8_t {
    None = 0,       // no PJL line
    Plain = 1,      // key written with the option's PJL value
    Grouped = 2,    // written like Plain; marks N-up and the overlay/prepend/append keys
    Suppressed = 3, // key known but never written into the ticket
};

// One option of an option table. An empty text means the column has no value.
struct OptionEntry {
    std::string_view name;       // name in the settings text form
    std::string_view ppdOption;  // PPD option keyword
    std::string_view value1;     // further value name (media colours)
    std::string_view value3;     // further value name (unused)
    std::string_view pjlValue;   // value written after the PJL key
    PjlMode pjlMode = PjlMode::None;
    std::uint64_t displayId = kNoDisplayString;
};

struct OptionTable {
    std::string_view ppdKeyword;
    std::string_view keyword2;
    std::string_view keyword3;
    std::string_view pjlKey;
    PjlMode pjlMode = PjlMode::None;
    std::uint64_t displayId = kNoDisplayString;
    std::span<const OptionEntry> entries;  // empty for an open list
    std::uint32_t defaultIndex = 0;

    // Returns the number of options; 0 for an open list.
    constexpr std::uint32_t count() const { return static_cast<std::uint32_t>(entries.size()); }
    // Returns the index of the option with this name, if any.
    constexpr std::optional<std::uint32_t> find(std::string_view name) const {
        for (std::uint32_t i = 0; i < count(); ++i)
            if (entries[i].name == name) return i;
        return std::nullopt;
    }
};

struct NumericDescriptor {
    std::string_view ppdKeyword;
    std::string_view keyword2;
    std::string_view keyword3;
    std::string_view pjlKey;
    PjlMode pjlMode = PjlMode::None;
    std::uint64_t displayId = kNoDisplayString;
    // The fourth factor is the scale the PJL writer rescales the value to.
    std::array<std::uint32_t, 4> unitFactors{1, 1, 1, 1};
    std::uint32_t scale = 1;
    std::uint32_t minimum = 0;   // two's complement for signed fields
    std::uint32_t maximum = 0;
    std::uint32_t defaultValue = 0;

    constexpr std::uint32_t pjlScale() const { return unitFactors[3]; }
};

enum class Kind : char { Option = 'S', Range = 'R', Array = 'A' };

// Defaults that are not a constant of the field table.
enum class ComputedDefault : std::uint8_t {
    None,
    LocalePageSize,    // PageSize from the user locale
    TabPageSize,       // tab paper that matches the locale's unit family
    TabHeight,         // 34.3 mm for inch papers, else 40.3 mm
    PerfectBindWidth,  // width of Letter or A4
    PerfectBindHeight, // height of Letter or A4
    TabFontName,       // font that suits the display language
    ToneCurveText,     // first value of the default option of the field's table
};

struct FieldDef {
    std::string_view name;
    std::uint8_t elementSize;
    std::uint32_t count;
    std::uint32_t offset;
    std::uint8_t flag;  // R: signed; A: NUL-terminated text
    Kind kind;
    const OptionTable* options = nullptr;       // S fields and the tone-curve texts
    const NumericDescriptor* numeric = nullptr; // R fields
    std::uint32_t defaultValue = 0;             // S fields: default index
    std::string_view defaultText;               // A text fields
    ComputedDefault computed = ComputedDefault::None;

    constexpr std::uint32_t byteSize() const { return elementSize * count; }
    constexpr std::uint32_t end() const { return offset + byteSize(); }
    constexpr bool isText() const { return kind == Kind::Array && flag != 0; }
    constexpr bool isBinary() const { return kind == Kind::Array && flag == 0; }
    constexpr bool isSigned() const { return kind == Kind::Range && flag != 0; }
};

inline constexpr std::uint32_t kRecordSize = 26871;
inline constexpr std::uint32_t kFirstFieldOffset = 9;

// Returns the ordered table of every field of the record.
std::span<const FieldDef, kFieldCount> fieldTable();
// Returns the descriptor of one field.
const FieldDef& fieldDef(FieldId id);
// Returns the field with this exact name, if any.
std::optional<FieldId> findField(std::string_view name);

// Column selector of the value lookup.
enum class Column : std::uint8_t { PpdOption = 0, Value1 = 1, PjlValue = 2, Value3 = 3 };

struct LookupResult {
    std::string_view text;  // empty when the option has no value in that column
    bool exact = false;     // false when the default option stood in
};

// Returns the column's text of the option at index; the default option's text,
// marked not exact, when the index is not below the option count.
LookupResult lookupValue(const OptionTable& table, std::uint32_t index, Column column);

enum class UnitFamily : std::uint8_t { Other = 0, Inch = 1, Metric = 2 };

struct PaperRow {
    std::uint8_t pageSizeIndex;
    std::uint8_t secondNumber;  // the index plus 2
    UnitFamily family;
    std::uint32_t widthMicrons;
    std::uint32_t heightMicrons;
    double widthPoints;
    double heightPoints;
    std::int16_t windowsPaperCode;  // 0 where Windows has none
    std::uint8_t doubleSizePartner; // 25 when there is none
};

// Option index of PageSize that means "custom size".
inline constexpr std::uint8_t kCustomPageSize = 25;

// Returns the paper table row of a PageSize option index; nothing for the
// custom size and any index not in the table.
const PaperRow* lookupPaper(std::uint32_t pageSizeIndex);
// Returns all paper table rows in storage order.
std::span<const PaperRow> paperTable();

}  // namespace tvzx::settings
