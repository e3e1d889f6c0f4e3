// Sets of setting values and the values a correction writes, as the rule
// tables spell them: option names of the setting's own option table, or
// stored numbers for number and open-list settings.
#pragma once

#include <cstdint>
#include <string_view>

namespace tvzx::rules {

enum class Match : std::uint8_t {
    Anything,              // any value
    Names,                 // one of the named options
    AllBut,                // an option of the table other than the named ones
    Range,                 // a value from low to high
    Equal,                 // exactly low
    Other,                 // any value but low
    FormListNotEmpty,      // a per-page overlay list that holds an entry
    ExceptionListEmpty,    // a page exception list that holds no record
    KnownOtherThanTrigger, // an option of the correcting setting's table other than its value
    SameAsTrigger,         // the value the correcting setting holds
};

struct ValueSet {
    Match match = Match::Anything;
    std::string_view names;  // option names, separated by single spaces
    std::uint32_t low = 0;
    std::uint32_t high = 0;
};

// Returns the set of the named options ("2in1 4in1Horizontal").
constexpr ValueSet oneOf(std::string_view names) { return {Match::Names, names, 0, 0}; }
// Returns every option of the table except the named ones.
constexpr ValueSet allBut(std::string_view names) { return {Match::AllBut, names, 0, 0}; }
// Returns the values from low to high, both included.
constexpr ValueSet range(std::uint32_t low, std::uint32_t high) { return {Match::Range, {}, low, high}; }
// Returns the one stored value.
constexpr ValueSet equalTo(std::uint32_t value) { return {Match::Equal, {}, value, value}; }
// Returns every stored value but one.
constexpr ValueSet otherThan(std::uint32_t value) { return {Match::Other, {}, value, value}; }
// Returns every value.
constexpr ValueSet anyValue() { return {}; }
// Returns the per-page overlay lists that hold an entry.
constexpr ValueSet formListNotEmpty() { return {Match::FormListNotEmpty, {}, 0, 0}; }
// Returns the page exception lists that hold no record.
constexpr ValueSet exceptionListEmpty() { return {Match::ExceptionListEmpty, {}, 0, 0}; }
// Returns the recorded option values that name another option of the
// correcting setting than the one it holds (a recorded value outside its
// option table is not known and matches nothing).
constexpr ValueSet knownOtherThanTrigger() { return {Match::KnownOtherThanTrigger, {}, 0, 0}; }

// Returns the value the correcting setting holds (for two settings that
// share one option list).
constexpr ValueSet sameAsTrigger() { return {Match::SameAsTrigger, {}, 0, 0}; }

enum class Put : std::uint8_t { Option, Number, EmptyFormList };

// The value a correction writes.
struct Replacement {
    Put put = Put::Number;
    std::string_view name;  // the option, for Put::Option
    std::uint32_t number = 0;
};

// Returns the correction to the named option.
constexpr Replacement to(std::string_view name) { return {Put::Option, name, 0}; }
// Returns the correction to a stored number.
constexpr Replacement toNumber(std::uint32_t number) { return {Put::Number, {}, number}; }
// Returns the correction to the per-page overlay list without entries.
constexpr Replacement toEmptyFormList() { return {Put::EmptyFormList, {}, 0}; }

// The "no form" value of JobForm, Prepend and Append.
inline constexpr std::uint32_t kNoForm = 0xFFFFFFFFu;

}  // namespace tvzx::rules
