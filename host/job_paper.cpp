#include "job_paper.h"

namespace tvzx::host {
namespace {

// The custom size fields store millimetres times 10000.
constexpr std::int64_t kStoredPerMicron = 10;
constexpr std::uint32_t kLandscapeOption = 1;

std::uint32_t storedToMicrons(std::int64_t stored) {
    return static_cast<std::uint32_t>((stored + kStoredPerMicron / 2) / kStoredPerMicron);
}

}  // namespace

JobPaper jobPaper(const settings::CoreData& record) {
    using settings::FieldId;
    const std::uint32_t index = record.option(FieldId::PageSize);
    if (index == settings::kCustomPageSize)
        return {storedToMicrons(record.number(FieldId::CustomPageSizeWidth)),
                storedToMicrons(record.number(FieldId::CustomPageSizeHeight)), nullptr, {}};
    const settings::OptionTable& table = *settings::fieldDef(FieldId::PageSize).options;
    const settings::PaperRow* row = settings::lookupPaper(index);
    if (row == nullptr) row = settings::lookupPaper(table.defaultIndex);
    return {row->widthMicrons, row->heightMicrons, row, table.entries[row->pageSizeIndex].name};
}

bool isLandscape(const settings::CoreData& record) {
    return record.option(settings::FieldId::Orientation) == kLandscapeOption;
}

std::uint32_t micronsToPixels(std::uint64_t microns, std::uint32_t dpi) {
    return static_cast<std::uint32_t>((microns * dpi + kMicronsPerInch / 2) / kMicronsPerInch);
}

}  // namespace tvzx::host
