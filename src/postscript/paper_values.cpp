#include "postscript/paper_values.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "common/rescale.h"
#include "postscript/ppd_paper_sizes.h"
#include "settings/feature_tables.h"

namespace tvzx::postscript {
namespace {

using settings::CoreData;
using settings::FieldId;

// Lengths in the settings are millimetres times 10000; the page size goes out
// in micrometres, the custom papers in tenths of a millimetre.
constexpr std::uint32_t kStoredPerMillimetre = 10000;
constexpr std::uint32_t kMicronsPerMillimetre = 1000;
constexpr std::uint32_t kTenthsPerMillimetre = 10;
constexpr std::uint64_t kMicronsPerTenth = kMicronsPerMillimetre / kTenthsPerMillimetre;
// Point sizes of a custom page are written with this many decimals.
constexpr int kPointDecimals = 16;
// Pages the layout code numbers with 16 bits.
constexpr std::uint64_t kLastNumberedPage = 65535;
// Target paper options before the named sizes: Auto and PaperProfile.
constexpr std::uint32_t kFirstNamedTarget = 2;
// The target paper Auto goes out under this keyword.
constexpr std::string_view kAutoTargetKeyword = "None";

std::uint64_t micronsOfStored(std::uint32_t stored) {
    return static_cast<std::uint64_t>(rescale(stored, kStoredPerMillimetre, kMicronsPerMillimetre));
}

std::uint64_t micronsOf(const CoreData& settings, FieldId id) { return micronsOfStored(settings.raw(id)); }

std::uint64_t tenthsOfMicrons(std::uint64_t microns) { return (microns + kMicronsPerTenth / 2) / kMicronsPerTenth; }

std::string pair(std::uint64_t first, std::uint64_t second) {
    return "[" + std::to_string(first) + " " + std::to_string(second) + "]";
}

std::string fixedPoints(double points) {
    std::array<char, 64> digits{};
    const auto [end, error] =
        std::to_chars(digits.data(), digits.data() + digits.size(), points, std::chars_format::fixed, kPointDecimals);
    if (error != std::errc()) return "0";
    return std::string(digits.data(), end);
}

// Page exceptions that are sheets of their own rather than pages of the
// document: inserted sheets and tab sheets.
bool givesPagePaper(const rules::PageException& exception) {
    if (rules::isTabKind(exception.kind)) return false;
    const auto kind = static_cast<rules::ExceptionKind>(exception.kind);
    return kind != rules::ExceptionKind::BlankInsert && kind != rules::ExceptionKind::PrintedInsert;
}

std::string exceptionPaper(const rules::PageException& exception) {
    if (exception.paperSize == settings::kCustomPageSize) {
        // The record keeps its custom size like the job's own custom page;
        // the page it yields is in micrometres, handed on in tenths of a
        // millimetre like the custom target paper.
        return pair(tenthsOfMicrons(micronsOfStored(exception.customWidth)),
                    tenthsOfMicrons(micronsOfStored(exception.customHeight)));
    }
    const settings::OptionTable& sizes = *settings::fieldDef(FieldId::PageSize).options;
    if (exception.paperSize >= sizes.count()) return {};
    const std::string_view keyword = sizes.entries[exception.paperSize].ppdOption;
    return keyword.empty() ? std::string() : "/" + std::string(keyword);
}

std::string targetPaper(const CoreData& settings) {
    std::uint32_t target = settings.option(FieldId::TargetPaperSize);
    if (target > kTargetCustom) target = kTargetAuto;
    if (target == kTargetPaperProfile && settings.option(FieldId::MainPaperProfileIndex) != 0)
        target = profileTargetPaper(settings.option(FieldId::MainPaperProfileSize));
    if (target == kTargetCustom) target = kTargetAuto;
    if (target == kTargetAuto) return "/" + std::string(kAutoTargetKeyword);
    const settings::OptionTable& targets = *settings::fieldDef(FieldId::TargetPaperSize).options;
    if (target >= targets.count()) return {};
    const std::string_view keyword = targets.entries[target].ppdOption;
    return keyword.empty() ? std::string() : "/" + std::string(keyword);
}

}  // namespace

PageMicrons pageMicrons(const CoreData& settings) {
    const std::uint32_t pageSize = settings.option(FieldId::PageSize);
    if (pageSize == settings::kCustomPageSize)
        return {micronsOf(settings, FieldId::CustomPageSizeWidth), micronsOf(settings, FieldId::CustomPageSizeHeight)};
    const settings::PaperRow* paper = settings::lookupPaper(pageSize);
    if (paper == nullptr) paper = settings::lookupPaper(settings::fieldDef(FieldId::PageSize).options->defaultIndex);
    if (paper == nullptr) return {};
    return {paper->widthMicrons, paper->heightMicrons};
}

std::string hiResPageSize(const CoreData& settings) {
    const PageMicrons page = pageMicrons(settings);
    return pair(page.width, page.height);
}

std::string hiResPageSizePpdPt(const CoreData& settings) {
    if (settings.option(FieldId::PageSize) != settings::kCustomPageSize) return {};
    const PageMicrons page = pageMicrons(settings);
    const double width = pointsOfMicrons(page.width);
    const double height = pointsOfMicrons(page.height);
    // A custom page the PPD has a name for reaches the printer as that size.
    if (matchingPpdPaperSize(width, height) != nullptr) return {};
    return "[" + fixedPoints(width) + " " + fixedPoints(height) + "]";
}

std::uint32_t profileTargetPaper(std::uint32_t profileSize) {
    if (profileSize > settings::kCustomPageSize) return kTargetAuto;
    return profileSize + kFirstNamedTarget;
}

std::string targetPaperCustomSize(const CoreData& settings) {
    const std::uint32_t target = settings.option(FieldId::TargetPaperSize);
    FieldId width = FieldId::CustomTargetPaperSizeWidth;
    FieldId height = FieldId::CustomTargetPaperSizeHeight;
    if (target == kTargetPaperProfile) {
        // A paper profile brings its own size; without a chosen profile there
        // is no target size to describe.
        if (settings.option(FieldId::MainPaperProfileIndex) == 0) return {};
        if (profileTargetPaper(settings.option(FieldId::MainPaperProfileSize)) != kTargetCustom) return {};
        width = FieldId::MainPaperProfileWidth;
        height = FieldId::MainPaperProfileHeight;
    } else if (target != kTargetCustom) {
        return {};
    }
    const auto a = static_cast<std::uint64_t>(rescale(settings.raw(width), kStoredPerMillimetre, kTenthsPerMillimetre));
    const auto b = static_cast<std::uint64_t>(rescale(settings.raw(height), kStoredPerMillimetre, kTenthsPerMillimetre));
    return pair(std::min(a, b), std::max(a, b));
}

std::string pagePaperArgument(const CoreData& settings, std::span<const rules::PageException> exceptions,
                              std::uint64_t page) {
    if (page == 0 || page > kLastNumberedPage) return {};
    const auto covering = std::find_if(exceptions.begin(), exceptions.end(), [page](const rules::PageException& e) {
        return givesPagePaper(e) && e.coversPage(static_cast<std::uint32_t>(page));
    });
    if (covering != exceptions.end()) return exceptionPaper(*covering);
    // Pages without an exception of their own go back to the job's paper, but
    // only a job with exceptions ever left it.
    if (exceptions.empty()) return {};
    return targetPaper(settings);
}

}  // namespace tvzx::postscript
