#include "pjl/cover_commands.h"

#include <optional>

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kProfileKey = "PPSPAPERPROFILEID";
constexpr std::string_view kPaperKey = "PPSPAPER";
constexpr std::string_view kCustomPaperKey = "PPSCUSTOMPAPER";
constexpr std::string_view kInsertKey = "PPSINSERTPAGES";
constexpr std::string_view kAuto = "AUTO";
constexpr std::string_view kCustom = "CUSTOM";
constexpr std::string_view kPrint = "PRINT";
constexpr std::string_view kBlank = "BLANK";
constexpr std::string_view kPass = "PASS";
constexpr std::string_view kStaple = "STAPLE";
constexpr std::string_view kNoStaple = "NOSTAPLE";
constexpr std::string_view kPunch = "PUNCH";
constexpr std::string_view kNoPunch = "NOPUNCH";
constexpr std::string_view kMillimetrePrefix = "M,";
// A tray's target size that leaves the size to the tray.
constexpr std::uint32_t kTrayAutoSize = 27;

struct CoverSheet {
    int number;
    FieldId tray;
    FieldId sheets;
    std::optional<FieldId> printed;  // post-inserter sheets are never printed
    FieldId profile;
    FieldId profileSize;
    FieldId profileWidth;
    FieldId profileHeight;
};

constexpr CoverSheet kFrontCover{1, FieldId::FrontCoverTray, FieldId::FrontSheets, FieldId::FrontCoverPrinted,
                                 FieldId::FrontCoverPaperProfileIndex, FieldId::FrontCoverPaperProfileSize,
                                 FieldId::FrontCoverPaperProfileWidth, FieldId::FrontCoverPaperProfileHeight};
constexpr CoverSheet kBackCover{2, FieldId::BackCoverTray, FieldId::BackSheets, FieldId::BackCoverPrinted,
                                FieldId::BackCoverPaperProfileIndex, FieldId::BackCoverPaperProfileSize,
                                FieldId::BackCoverPaperProfileWidth, FieldId::BackCoverPaperProfileHeight};
constexpr CoverSheet kPostInserterFront{3, FieldId::PIFrontCoverTray, FieldId::PIFrontSheets, std::nullopt,
                                        FieldId::PIFrontCoverPaperProfileIndex, FieldId::PIFrontCoverPaperProfileSize,
                                        FieldId::PIFrontCoverPaperProfileWidth, FieldId::PIFrontCoverPaperProfileHeight};
constexpr CoverSheet kPostInserterBack{4, FieldId::PIBackCoverTray, FieldId::PIBackSheets, std::nullopt,
                                       FieldId::PIBackCoverPaperProfileIndex, FieldId::PIBackCoverPaperProfileSize,
                                       FieldId::PIBackCoverPaperProfileWidth, FieldId::PIBackCoverPaperProfileHeight};

struct TrayTarget {
    std::string_view tray;
    FieldId targetSize;
};
// What each paper source is loaded with, as the device reports it.
constexpr TrayTarget kTrayTargets[] = {
    {"Tray1", FieldId::TargetPaperSizeTray1},     {"Tray2", FieldId::TargetPaperSizeTray2},
    {"Tray3", FieldId::TargetPaperSizeTray3},     {"Tray4", FieldId::TargetPaperSizeTray4},
    {"Tray5", FieldId::TargetPaperSizeTray5},     {"PITray1", FieldId::TargetPaperSizePITray1},
    {"PITray2", FieldId::TargetPaperSizePITray2}, {"MBT", FieldId::TargetPaperSizeMBT},
};

std::string numbered(std::string_view key, int number) { return std::string(key) + std::to_string(number); }

// Returns the PJL page size name of a paper size index; CUSTOM for sizes
// without a name.
std::string_view pageSizeName(std::uint32_t size) {
    const std::string_view name = size < settings::kCustomPageSize ? optionPjlValueAt(FieldId::PageSize, size) : std::string_view{};
    return name.empty() ? kCustom : name;
}

void writeCover(std::string& ticket, const CoreData& settings, const CoverSheet& sheet) {
    if (!isOn(settings, sheet.tray)) return;
    const std::uint32_t profile = settings.option(sheet.profile);
    if (profile != 0) ticket += formatPjlSet(numbered(kProfileKey, sheet.number), formatNumber(profile));

    // The profile's size when a profile applies, else what the tray holds.
    std::uint32_t size = kTrayAutoSize;
    if (profile != 0) {
        size = settings.option(sheet.profileSize);
    } else {
        for (const TrayTarget& target : kTrayTargets)
            if (isOption(settings, sheet.tray, target.tray)) size = settings.option(target.targetSize);
    }
    ticket += formatPjlSet(numbered(kPaperKey, sheet.number), size == kTrayAutoSize ? kAuto : pageSizeName(size));
    if (profile != 0 && size == settings::kCustomPageSize) {
        const std::string dimensions = std::string(kMillimetrePrefix) + pjlNumber(settings, sheet.profileWidth) + "," +
                                       pjlNumber(settings, sheet.profileHeight);
        ticket += formatPjlSet(numbered(kCustomPaperKey, sheet.number), dimensions);
    }

    const std::string_view mode = !sheet.printed ? kPass : isOn(settings, *sheet.printed) ? kPrint : kBlank;
    const std::string record = std::to_string(settings.number(sheet.sheets)) + "," + std::string(mode) + "," +
                               std::string(isOn(settings, FieldId::Staple) ? kStaple : kNoStaple) + "," +
                               std::string(isOn(settings, FieldId::Punch) ? kPunch : kNoPunch);
    ticket += formatPjlSet(numbered(kInsertKey, sheet.number), record);
}

}  // namespace

void writePostInserterFrontCover(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeCover(ticket, settings, kPostInserterFront);
}

void writeFrontCover(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeCover(ticket, settings, kFrontCover);
}

void writeBackCover(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeCover(ticket, settings, kBackCover);
}

void writePostInserterBackCover(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeCover(ticket, settings, kPostInserterBack);
}

}  // namespace tvzx::pjl
