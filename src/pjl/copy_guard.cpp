// The copy guard: a hidden pattern that shows on photocopies.
#include "pjl/image_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kPatternKey = "JIMONPATTERN";
constexpr std::string_view kFixed = "FIXED";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kNoPatternIndex = "0";
// The controller takes eight pattern slots; only the first is used.
constexpr std::string_view kUnusedPatterns = ",OFF,OFF,OFF,OFF,OFF,OFF,OFF";
constexpr std::string_view kUnusedIndices = ",0,0,0,0,0,0,0";

}  // namespace

void writeCopyGuard(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const bool on = isOn(settings, FieldId::CopyProtection);
    writeOptionCommand(ticket, settings, FieldId::CopyProtection);
    ticket += formatPjlSet(kPatternKey, std::string(on ? kFixed : kOff) + std::string(kUnusedPatterns), true);
    ticket += formatPjlSet(pjlKeyOf(FieldId::BackPattern), on ? optionPjlValue(settings, FieldId::BackPattern) : kOff);
    const std::string_view index = on ? optionPjlValue(settings, FieldId::PatternIndex) : kNoPatternIndex;
    ticket += formatPjlSet(pjlKeyOf(FieldId::PatternIndex), std::string(index) + std::string(kUnusedIndices), true);
}

}  // namespace tvzx::pjl
