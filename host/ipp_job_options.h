// A job's IPP attributes as the user's edits of the job settings: each
// attribute and value a client may send becomes "Name=Value" edits, or a
// refusal naming the attribute, the value and why. The CUPS filter and the
// printer application both print through this one mapping, and the printer
// application advertises the values it lists as the supported ones.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::host {

// The attributes that carry a text rather than a choice.
inline constexpr std::string_view kIppJobPassword = "job-password";
inline constexpr std::string_view kIppAccountId = "job-account-id";
inline constexpr std::string_view kIppOutputBin = "output-bin";

enum class IppAttributeKind {
    Unmapped,  // no attribute of this mapping
    List,      // one or more values, each of the attribute's choices
    Single,    // exactly one value: a text, or one of the attribute's choices
};

// Returns how the attribute's values are read.
IppAttributeKind ippAttributeKind(std::string_view attribute);

// One value of a choice attribute and what it sets. An enum value is named
// by its number and by its keyword; a keyword attribute has no number.
struct IppChoice {
    std::string_view attribute;
    std::string_view number;
    std::string_view keyword;
    std::string assignments;  // "Name=Value" edits, separated by blanks; empty: nothing to set
};

// Returns the values of the attribute the printer family can do, in the
// order they are advertised; output-bin lists one per output bin (its
// values are matched without regard to case). Empty for an attribute
// without a fixed list.
std::vector<IppChoice> ippChoices(std::string_view attribute);

// Returns the edits of one choice, in the order they are applied.
std::vector<std::string> ippChoiceEdits(const IppChoice& choice);

// A value the job cannot be printed with.
struct IppRefusal {
    std::string attribute;
    // The value refused; nothing when the value is a secret (a password).
    std::optional<std::string> value;
    std::string reason;
};

struct IppJobEdits {
    std::vector<std::string> edits;  // "Name=Value", in the order they are applied
    std::optional<IppRefusal> refusal;
};

// What an attribute's edits depend on besides its values.
struct IppJobContext {
    // The job's user, under whose name a secure job is released.
    std::string_view user;
};

// Returns the edits of one attribute with its values (a list attribute's
// several values add up in order), or the refusal of the first value this
// printer family cannot do; an unmapped attribute is refused too.
IppJobEdits mapIppAttribute(std::string_view attribute, std::span<const std::string_view> values,
                            const IppJobContext& job);

}  // namespace tvzx::host
