#include "pjl/paper_commands.h"

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kPortrait = "PORTRAIT";
constexpr std::string_view kCustom = "CUSTOM";
constexpr std::uint32_t kPortraitIndex = 0;
constexpr std::uint32_t kLandscapeIndex = 1;
// Target paper options before the named sizes: Auto and PaperProfile.
constexpr std::uint32_t kTargetAuto = 0;
constexpr std::uint32_t kTargetPaperProfile = 1;
constexpr std::uint32_t kFirstNamedTarget = 2;

// N-up counts whose sheet turns against the page: two, six and eight pages
// per sheet lie across it, four, nine and sixteen keep its direction.
bool nUpTurnsTheSheet(std::string_view count) {
    return count == "2" || count == "2Reverse" || count == "6" || count == "6Reverse" || count == "8" ||
           count == "8Reverse";
}

void writeDimension(std::string& ticket, const CoreData& settings, FieldId customTarget, FieldId profile) {
    const std::uint32_t target = effectiveTargetPaper(settings);
    if (target != kCustomTargetPaper) return;
    // A custom size comes from the target setting itself or from the profile.
    const bool fromTarget = settings.option(FieldId::TargetPaperSize) == kCustomTargetPaper;
    const FieldId source = fromTarget ? customTarget : profile;
    ticket += formatPjlSet(pjlKeyOf(customTarget), pjlNumber(settings, source));
}

void writePageLoop(std::string& ticket, const CoreData& settings, FieldId mode, FieldId pages) {
    if (!isOn(settings, mode)) return;
    ticket += formatPjlSet(pjlKeyOf(mode), pjlNumberAtScale(settings, pages, 1));
}

void writeOverlap(std::string& ticket, const CoreData& settings, FieldId overlap) {
    if (!isOption(settings, FieldId::PosterPrint, "Divided") && !isOption(settings, FieldId::PosterPrint, "CentralDivided"))
        return;
    ticket += formatPjlSet(pjlKeyOf(overlap), pjlNumber(settings, overlap));
}

}  // namespace

std::uint32_t effectiveTargetPaper(const CoreData& settings) {
    const std::uint32_t target = settings.option(FieldId::TargetPaperSize);
    const bool profileChosen = settings.option(FieldId::MainPaperProfileIndex) != 0;
    if (!profileChosen || (target != kTargetAuto && target != kTargetPaperProfile)) return target;
    // Paper sizes stand two places further on in the target list.
    return settings.option(FieldId::MainPaperProfileSize) + kFirstNamedTarget;
}

void writeOrientation(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    std::uint32_t orientation = settings.option(FieldId::Orientation);
    if (isOption(settings, FieldId::PerfectBindMode, "1In1Port")) {
        orientation = kPortraitIndex;
    } else if (isOption(settings, FieldId::PerfectBindMode, "1In1Land")) {
        orientation = kLandscapeIndex;
    } else if (isOn(settings, FieldId::NUpCount) && nUpTurnsTheSheet(optionName(settings, FieldId::NUpCount))) {
        orientation = orientation == kLandscapeIndex ? kPortraitIndex : kLandscapeIndex;
    }
    const std::string_view value = optionPjlValueAt(FieldId::Orientation, orientation);
    ticket += formatPjlSet(pjlKeyOf(FieldId::Orientation), value.empty() ? kPortrait : value);
}

void writePaperProfileId(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::uint32_t profile = settings.option(FieldId::MainPaperProfileIndex);
    if (profile != 0) ticket += formatPjlSet(pjlKeyOf(FieldId::MainPaperProfileIndex), formatNumber(profile));
}

void writeBookletSplitting(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writePageLoop(ticket, settings, FieldId::BookletSplitting, FieldId::BookletSplittingPages);
}

void writeOverlapWidth(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeOverlap(ticket, settings, FieldId::HorizontalOverlap);
}

void writeOverlapHeight(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeOverlap(ticket, settings, FieldId::VerticalOverlap);
}

void writeOutputPaper(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::uint32_t target = effectiveTargetPaper(settings);
    const std::string_view key = pjlKeyOf(FieldId::TargetPaperSize);
    if (target == kCustomTargetPaper) {
        ticket += formatPjlSet(key, kCustom);
        return;
    }
    const std::string_view value = optionPjlValueAt(FieldId::TargetPaperSize, target);
    if (!value.empty()) ticket += formatPjlSet(key, value);
}

void writeOutputPaperWidth(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeDimension(ticket, settings, FieldId::CustomTargetPaperSizeWidth, FieldId::MainPaperProfileWidth);
}

void writeOutputPaperHeight(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeDimension(ticket, settings, FieldId::CustomTargetPaperSizeHeight, FieldId::MainPaperProfileHeight);
}

void writeFitToPaper(std::string& ticket, const CoreData&, const TicketInputs&) {
    ticket += formatPjlSet(pjlKeyOf(FieldId::ScaleToFit), optionPjlValueAt(FieldId::ScaleToFit, 0));
}

void writeScale(std::string& ticket, const CoreData&, const TicketInputs&) {
    const settings::NumericDescriptor& zoom = *settings::fieldDef(FieldId::Zoom).numeric;
    ticket += formatPjlSet(zoom.pjlKey, formatNumber(zoom.defaultValue));
}

void writeCopies(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view key = isOn(settings, FieldId::Collate) ? pjlKeyOf(FieldId::Collate) : pjlKeyOf(FieldId::NumCopies);
    ticket += formatPjlSet(key, pjlNumberAtScale(settings, FieldId::NumCopies, 1));
}

void writeDivideOutput(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writePageLoop(ticket, settings, FieldId::DivideOutput, FieldId::DivideOutputPages);
}

}  // namespace tvzx::pjl
