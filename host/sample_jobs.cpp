#include "sample_jobs.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "render_job.h"
#include "rules/page_exceptions.h"
#include "sample_document.h"
#include "settings/field_id.h"

namespace tvzx::host {
namespace {

constexpr std::string_view kSamplePrinterFile = "sample_printer.reg";
constexpr std::string_view kTabSampleDocumentName = "tvzx tab sample";
constexpr std::uint8_t kTabWithLabel = 6;

rules::PageException tabRecord(std::uint16_t page, std::uint8_t position, std::uint8_t tabIndex,
                               std::string label) {
    rules::PageException record;
    record.kind = kTabWithLabel;
    record.tabInfo.position = position;
    record.tabInfo.passOn = tabIndex;
    record.tabInfo.label = std::move(label);
    record.pageRanges.push_back({page, page});
    return record;
}

}  // namespace

settings::CoreData sampleTabSettings() {
    settings::CoreData record = settings::defaultRecord();
    const std::vector<rules::PageException> records = {
        tabRecord(2, 1, 0, "Part A"),
        tabRecord(3, 0, 1, "Part B"),
        tabRecord(4, 0, 2, "Index"),
    };
    const auto encoded = rules::encodePageExceptions(records);
    std::span<std::uint8_t> block = record.field(settings::FieldId::PageSpecificTrays);
    std::copy_n(encoded.block.begin(), std::min(block.size(), encoded.block.size()), block.begin());
    return record;
}

std::optional<SampleJob> sampleJob(std::string_view name) {
    if (name == "plain") return SampleJob{"plain", kSampleDocumentName, std::nullopt, false};
    if (name == "tabs") return SampleJob{"tabs", kTabSampleDocumentName, sampleTabSettings(), true};
    return std::nullopt;
}

std::string samplePrinterDataPath() {
    return (std::filesystem::path(defaultPpdPath()).parent_path() / kSamplePrinterFile).string();
}

}  // namespace tvzx::host
