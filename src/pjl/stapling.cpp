// Stapling and saddle stitching.
#include "pjl/finishing_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kStaplePitchKey = "STAPLEPITCH";
constexpr std::string_view kCenter = "CENTER";

struct StaplePitch {
    std::string_view option;
    std::string_view level;
};
// Two staples stand at one of three distances from each other.
constexpr StaplePitch kPitches[] = {
    {"2StaplesWide", "LEVEL3"},
    {"2StaplesNormal", "LEVEL2"},
    {"2StaplesNarrow", "LEVEL1"},
};

}  // namespace

void writeStapling(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view finishKey = pjlKeyOf(FieldId::Staple);
    const bool stitch = isOn(settings, FieldId::Stitch);
    // One staple goes to the corner of the binding edge: right or top
    // binding staples on the right.
    std::string_view finish = optionPjlValue(settings, FieldId::Staple);
    if (isOption(settings, FieldId::Staple, "1Staple")) {
        const auto corner = settings::fieldDef(FieldId::Staple).options->find(isOn(settings, FieldId::Binding) ? "1StapleRight" : "1StapleLeft");
        finish = optionPjlValueAt(FieldId::Staple, corner.value_or(0));
    }
    // A saddle stitch staples along the centre fold, whatever else is chosen.
    if (stitch) finish = kCenter;
    if (!finish.empty()) ticket += formatPjlSet(finishKey, finish);
    for (const StaplePitch& pitch : kPitches)
        if (isOption(settings, FieldId::Staple, pitch.option)) ticket += formatPjlSet(kStaplePitchKey, pitch.level);
    if (stitch) ticket += formatPjlSet(pjlKeyOf(FieldId::Stitch), optionPjlValue(settings, FieldId::Stitch));
}

}  // namespace tvzx::pjl
