// Punching: whether to punch, and the hole pattern.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kPunchCountKey = "PUNCHNUM";

struct HolePattern {
    std::string_view option;
    std::string_view count;
};
// Binding-system punches have pattern numbers of their own.
constexpr HolePattern kPatterns[] = {
    {"2Holes", "2"},
    {"3Holes", "3"},
    {"4Holes", "4"},
    {"GBCStreampunch", "10"},
    {"GBCStreampunchCorvel", "10"},
    {"GBCDoubleStreampunch", "11"},
};

}  // namespace

void writePunching(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view punch = optionPjlValue(settings, FieldId::Punch);
    if (!punch.empty()) ticket += formatPjlSet(pjlKeyOf(FieldId::Punch), punch);
    for (const HolePattern& pattern : kPatterns)
        if (isOption(settings, FieldId::Punch, pattern.option)) ticket += formatPjlSet(kPunchCountKey, pattern.count);
}

}  // namespace tvzx::pjl
