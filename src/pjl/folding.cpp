// Folding with its direction.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kOutside = "OUT";
constexpr std::string_view kInside = "IN";

}  // namespace

void writeFolding(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const settings::OptionTable& table = *settings::fieldDef(FieldId::Fold).options;
    if (table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    std::string value(optionPjlValue(settings, FieldId::Fold));
    if (value.empty()) return;
    // Letter folds name both directions; centre folds name only the outward one.
    const bool outside = isOption(settings, FieldId::FoldDirection, "Outside");
    const bool letter = isOption(settings, FieldId::Fold, "MultiLetterFold");
    const bool center = isOption(settings, FieldId::Fold, "MultiCenterFold");
    if ((letter || center) && outside) value += kOutside;
    else if (letter) value += kInside;
    ticket += formatPjlSet(table.pjlKey, value);
}

}  // namespace tvzx::pjl
