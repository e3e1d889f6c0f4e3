// Tone curves and screens.
#include "pjl/image_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kExternal = "EXTERNAL";
constexpr std::string_view kSameAsImage = "SameAsImage";

void writeToneCurve(std::string& ticket, const CoreData& settings, FieldId curve) {
    const settings::OptionTable& table = *settings::fieldDef(curve).options;
    if (table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    ticket += formatPjlSet(table.pjlKey, settings.text(curve), true);
}

// A custom screening mode hands the screen to the external screen settings.
void writeScreen(std::string& ticket, const CoreData& settings, FieldId type) {
    const std::string_view key = pjlKeyOf(type);
    if (key.empty()) return;
    if (isOption(settings, FieldId::ScreeningMode, "Custom")) {
        ticket += formatPjlSet(key, kExternal);
        return;
    }
    // Text and graphics may take the image's screen.
    const FieldId source = isOption(settings, type, kSameAsImage) ? FieldId::ScreenTypeImage : type;
    const std::string_view value = optionPjlValue(settings, source);
    if (!value.empty()) ticket += formatPjlSet(key, value);
}

}  // namespace

void writeImageToneCurve(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeToneCurve(ticket, settings, FieldId::ToneCurveImage);
}

void writeTextToneCurve(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeToneCurve(ticket, settings, FieldId::ToneCurveTextGraphics);
}

void writeImageScreen(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeScreen(ticket, settings, FieldId::ScreenTypeImage);
}

void writeTextScreen(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeScreen(ticket, settings, FieldId::ScreenTypeTextGraphics);
}

}  // namespace tvzx::pjl
