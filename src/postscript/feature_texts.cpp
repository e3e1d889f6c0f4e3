#include "postscript/feature_texts.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <vector>

#include "postscript/feature_dictionary.h"
#include "postscript/paper_values.h"
#include "postscript/tray_configuration.h"
#include "settings/feature_tables.h"
#include "settings/schema_hash.h"

namespace tvzx::postscript {
namespace {

using settings::CoreData;
using settings::FieldId;

// PostScript names of the perfect-binding modes, by PerfectBindMode option.
constexpr std::string_view kPerfectBindModes[] = {"/None", "/Blank", "/1in1P", "/1in1L", "/2in1", "/3in1"};
// PostScript names of the N-up modes, by NUpCount option: pages per sheet,
// f for the forward and r for the reverse page order.
constexpr std::string_view kNupModes[] = {"/None", "/2f",  "/2r",  "/4f",  "/4r",  "/6f",  "/6r",
                                          "/8f",   "/8r",  "/9f",  "/9r",  "/16f", "/16r"};
// What a mode outside the lists stands for.
constexpr std::string_view kNoMode = "/None";
static_assert(kPerfectBindModes[0] == kNoMode && kNupModes[0] == kNoMode);

constexpr std::string_view kPortrait = "(Port)";
constexpr std::string_view kLandscape = "(Land)";
constexpr std::uint32_t kLandscapeOption = 1;
constexpr std::uint32_t kMixedSizeOn = 1;
// The tolerance the layout code is handed with the N-up data.
constexpr std::string_view kTolerance = "1";

template <std::size_t N>
std::string_view modeName(const std::string_view (&modes)[N], std::uint32_t option) {
    return option < N ? modes[option] : kNoMode;
}

std::string_view orientation(const CoreData& settings) {
    return settings.option(FieldId::Orientation) == kLandscapeOption ? kLandscape : kPortrait;
}

// Returns a number field's value in its own unit: the stored integer divided
// by the field's scale, without a fraction when there is none.
std::string scaledNumber(const CoreData& settings, FieldId id) {
    const std::int64_t stored = settings.number(id);
    const std::int64_t scale = std::max<std::int64_t>(settings::fieldDef(id).numeric->scale, 1);
    if (stored % scale == 0) return std::to_string(stored / scale);
    std::array<char, 32> digits{};
    const double value = static_cast<double>(stored) / static_cast<double>(scale);
    const auto [end, error] = std::to_chars(digits.data(), digits.data() + digits.size(), value);
    return error == std::errc() ? std::string(digits.data(), end) : std::to_string(stored / scale);
}

std::string quoted(std::string_view text) { return "(" + std::string(text) + ")"; }

}  // namespace

std::string nUpData(const CoreData& settings) {
    std::string text;
    text += dictPut(names::kHiResPageSize, hiResPageSize(settings));
    text += dictPut(names::kHiResPageSizePpdPt, hiResPageSizePpdPt(settings));
    text += dictPut(names::kTolerance, kTolerance);
    text += dictPut(names::kPageOrient, orientation(settings));
    text += dictPut(names::kNup, modeName(kNupModes, settings.option(FieldId::NUpCount)));
    text += dictCall(names::kNupPage);
    return text;
}

std::string setupText(const CoreData& settings) {
    std::string text = ensureFeatureDict();
    text += dictPut(names::kVersion, quoted(settings::settingsVersionText()));
    text += dictPut(names::kSystem, kSystemName);
    text += dictPut(names::kPerfectBindMode, modeName(kPerfectBindModes, settings.option(FieldId::PerfectBindMode)));
    text += nUpData(settings);
    text += dictPut(names::kZoom, scaledNumber(settings, FieldId::Zoom));
    text += dictPut(names::kMixedOriginalMode, settings.option(FieldId::MixedSize) == kMixedSizeOn ? "true" : "false");
    text += dictPut(names::kOrient, orientation(settings));
    // The custom target paper is described only when it is the target.
    const std::string targetSize = targetPaperCustomSize(settings);
    if (!targetSize.empty()) text += dictPut(names::kTargetPaperCustomSize, targetSize);
    text += dictPut(names::kTrayConfiguration, trayConfiguration(settings));
    return text;
}

std::string endOfSetupText() {
    std::string text = ensureFeatureDict();
    text += dictPut(names::kPageTrailerMark, hexString(kPageTrailerMarkText));
    text += dictCall(names::kNupSetupEnd);
    return text;
}

std::string pageHeadText(const CoreData& settings) {
    std::string text = ensureFeatureDict();
    text += dictCall(names::kBeginPage);
    text += nUpData(settings);
    return text;
}

std::string pageTailText(const CoreData& settings, std::span<const rules::PageException> exceptions,
                         std::uint64_t page) {
    std::string text;
    const std::string paper = pagePaperArgument(settings, exceptions, page);
    if (!paper.empty()) text += dictCall(names::kPagePaper, paper);
    // Without page exceptions there are no tab sheets whose page setup the
    // callback finishes.
    if (exceptions.empty()) text += kDropEndPageSetupCallBack;
    return text;
}

std::string pageText(const CoreData& settings, std::span<const rules::PageException> exceptions, std::uint64_t page) {
    return pageHeadText(settings) + pageTailText(settings, exceptions, page);
}

std::string pageTrailerText() {
    std::string text = "\r\n";
    text += ensureFeatureDict();
    text += dictCall(names::kNupPageEnd);
    return text;
}

std::string trailerText() {
    std::string text = ensureFeatureDict();
    text += dictCall(names::kDocumentEnd);
    return text;
}

std::string plugInSettingsText(std::span<const std::string> invocations) {
    std::string body;
    for (const std::string& code : invocations)
        if (!code.empty()) body += code + "\r\n";
    if (body.empty()) return {};
    std::string text;
    text += names::kFeatures;
    text += " /";
    text += names::kPlugInSettings;
    text += " {\r\n";
    text += body;
    text += "} bind executeonly put\r\n";
    return text;
}

std::string PlugInFeatureTexts::setupEntries(const CoreData& settings) { return setupText(settings); }

std::string PlugInFeatureTexts::endOfSetup(const CoreData&) { return endOfSetupText(); }

std::string PlugInFeatureTexts::pageHead(const CoreData& settings) { return pageHeadText(settings); }

std::string PlugInFeatureTexts::pageText(const CoreData& settings, std::uint64_t page) {
    const std::vector<rules::PageException> exceptions = rules::pageExceptionsOf(settings);
    return pageTailText(settings, exceptions, page);
}

bool PlugInFeatureTexts::pageTextVaries(const CoreData& settings) { return !rules::pageExceptionsOf(settings).empty(); }

std::string PlugInFeatureTexts::pageTrailer(const CoreData&) { return pageTrailerText(); }

std::string PlugInFeatureTexts::trailer(const CoreData&) { return trailerText(); }

std::string PlugInFeatureTexts::plugInSettings(std::span<const std::string> invocations) {
    return plugInSettingsText(invocations);
}

}  // namespace tvzx::postscript
