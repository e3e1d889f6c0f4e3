#include "ppd_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <set>
#include <string_view>

#include "ppd/marked_choices.h"
#include "ppd_keywords.h"
#include "settings/feature_tables.h"

namespace tvzx::host {
namespace {

using settings::OptionTable;

// The PostScript that records a selection the controller reads back: an
// entry of the feature dictionary, made when missing.
constexpr std::string_view kEnsureDictionary =
    "userdict /TVZXFeatures known not {userdict /TVZXFeatures 100 dict put} if ";
constexpr std::string_view kSetPageDevice = ">> setpagedevice";

// Every sheet keeps this margin (a quarter inch) unprinted.
constexpr double kMarginPoints = 18;
// The largest sheet the family feeds, in points (324 by 483 millimetres),
// and the smallest (a postcard).
constexpr int kMaxMediaWidth = 918;
constexpr int kMaxMediaHeight = 1369;
constexpr int kMinMediaWidth = 283;
constexpr int kMinMediaHeight = 419;

// The resolutions the Resolution options name: "600dpi" gives 600.
std::string dotsPerInch(std::string_view option) {
    const std::size_t digits = option.find_first_not_of("0123456789");
    return std::string(option.substr(0, digits));
}

std::string pageSizeCode(double width, double height) {
    return "<</PageSize [" + formatPoints(width) + " " + formatPoints(height) + "] /ImagingBBox null" +
           std::string(kSetPageDevice);
}

std::string dictionaryCode(std::string_view keyword, std::string_view option) {
    return std::string(kEnsureDictionary) + "TVZXFeatures /" + std::string(keyword) + " " +
           postScriptString(std::string(option)) + " put";
}

// Returns the code of one option of a table feature: page device keys where
// the interpreter has one, an entry of the feature dictionary otherwise.
std::string choiceCode(std::string_view keyword, std::string_view option, std::uint32_t index) {
    if (keyword == ppd::kInputSlot) return "<</MediaPosition " + std::to_string(index) + std::string(kSetPageDevice);
    if (keyword == ppd::kResolution) {
        const std::string dpi = dotsPerInch(option);
        return "<</HWResolution [" + dpi + " " + dpi + "]" + std::string(kSetPageDevice);
    }
    if (keyword == ppd::kOutputBin) return "<</OutputType " + postScriptString(std::string(option)) + std::string(kSetPageDevice);
    if (keyword == ppd::kDuplex) return std::string("<</Duplex ") + (option == ppd::kTrue ? "true" : "false") + std::string(kSetPageDevice);
    return dictionaryCode(keyword, option);
}

PpdChoice paperChoice(const settings::OptionEntry& entry, const settings::PaperRow& paper) {
    return {std::string(entry.ppdOption), std::string(entry.name), pageSizeCode(paper.widthPoints, paper.heightPoints)};
}

// Returns the page size feature (or the page region, with the same choices).
PpdFeature paperFeature(std::string_view keyword) {
    const OptionTable& table = *settings::fieldDef(settings::FieldId::PageSize).options;
    PpdFeature feature{std::string(keyword), std::string(keyword), {}, {}};
    for (std::uint32_t i = 0; i < table.count(); ++i)
        if (const settings::PaperRow* paper = settings::lookupPaper(i))
            feature.choices.push_back(paperChoice(table.entries[i], *paper));
    feature.defaultOption = std::string(table.entries[table.defaultIndex].ppdOption);
    return feature;
}

PpdFeature booleanFeature(std::string_view keyword, std::string_view label) {
    return {std::string(keyword), std::string(label), std::string(ppd::kFalse),
            {{std::string(ppd::kFalse), std::string(ppd::kFalse), dictionaryCode(keyword, ppd::kFalse)},
             {std::string(ppd::kTrue), std::string(ppd::kTrue), dictionaryCode(keyword, ppd::kTrue)}}};
}

void addChoice(PpdFeature& feature, PpdChoice choice) {
    const bool known = std::any_of(feature.choices.begin(), feature.choices.end(),
                                   [&](const PpdChoice& c) { return c.option == choice.option; });
    if (!known) feature.choices.push_back(std::move(choice));
}

// Returns the feature of one option table. A default option that has no PPD
// option of its own ("Auto": the controller decides) becomes a choice
// without code, so that the PPD's default means what the table's does.
PpdFeature tableFeature(std::string_view fieldName, const OptionTable& table) {
    PpdFeature feature{std::string(table.ppdKeyword), std::string(fieldName), {}, {}};
    const settings::OptionEntry* defaultEntry = table.defaultIndex < table.count() ? &table.entries[table.defaultIndex] : nullptr;
    if (defaultEntry != nullptr && defaultEntry->ppdOption.empty() && !defaultEntry->name.empty()) {
        feature.choices.push_back({std::string(defaultEntry->name), std::string(defaultEntry->name), {}});
        feature.defaultOption = std::string(defaultEntry->name);
    }
    for (std::uint32_t i = 0; i < table.count(); ++i) {
        const settings::OptionEntry& entry = table.entries[i];
        if (entry.ppdOption.empty()) continue;
        addChoice(feature, {std::string(entry.ppdOption), std::string(entry.name), choiceCode(table.ppdKeyword, entry.ppdOption, i)});
    }
    if (feature.defaultOption.empty() && defaultEntry != nullptr) feature.defaultOption = std::string(defaultEntry->ppdOption);
    if (feature.defaultOption.empty() && !feature.choices.empty()) feature.defaultOption = feature.choices.front().option;
    return feature;
}

std::string orderLine(std::string_view keyword, int order) {
    return std::string(ppd::kOrderDependency) + " " + std::to_string(order) + " " + std::string(ppd::kAnySetup) + " *" +
           std::string(keyword) + "\n";
}

bool isBoolean(const PpdFeature& feature) {
    return feature.choices.size() == 2 && feature.choices[0].option == ppd::kFalse && feature.choices[1].option == ppd::kTrue;
}

std::string featureText(const PpdFeature& feature, std::optional<int> order) {
    const std::string& keyword = feature.keyword;
    std::string text = std::string(ppd::kOpenUi) + " *" + keyword + "/" + feature.label + ": " +
                       std::string(isBoolean(feature) ? ppd::kBoolean : ppd::kPickOne) + "\n";
    if (order) text += orderLine(keyword, *order);
    text += std::string(ppd::kDefaultPrefix) + keyword + ": " + feature.defaultOption + "\n";
    for (const PpdChoice& choice : feature.choices)
        text += "*" + keyword + " " + choice.option + "/" + choice.label + ": \"" + choice.code + "\"\n";
    text += std::string(ppd::kCloseUi) + " *" + keyword + "\n\n";
    return text;
}

// The PPD order of the features the host writes ahead of all others.
constexpr int kOpCreatorOrder = 10;
constexpr int kOpPpdVersionOrder = 11;
constexpr int kPaperOrder = 20;
constexpr int kFirstTableOrder = 30;
constexpr std::string_view kGroup = "General";

std::string paperAreas() {
    const OptionTable& table = *settings::fieldDef(settings::FieldId::PageSize).options;
    const std::string defaultSize(table.entries[table.defaultIndex].ppdOption);
    const std::string area(ppd::kImageableArea);
    const std::string dimension(ppd::kPaperDimension);
    std::string areas = std::string(ppd::kDefaultPrefix) + area + ": " + defaultSize + "\n";
    std::string dimensions = std::string(ppd::kDefaultPrefix) + dimension + ": " + defaultSize + "\n";
    for (std::uint32_t i = 0; i < table.count(); ++i) {
        const settings::PaperRow* paper = settings::lookupPaper(i);
        if (paper == nullptr) continue;
        const std::string head = std::string(table.entries[i].ppdOption) + "/" + std::string(table.entries[i].name) + ": \"";
        areas += "*" + area + " " + head + formatPoints(kMarginPoints) + " " + formatPoints(kMarginPoints) + " " +
                 formatPoints(paper->widthPoints - kMarginPoints) + " " + formatPoints(paper->heightPoints - kMarginPoints) + "\"\n";
        dimensions += "*" + dimension + " " + head + formatPoints(paper->widthPoints) + " " + formatPoints(paper->heightPoints) + "\"\n";
    }
    return areas + "\n" + dimensions + "\n";
}

// One parameter of the custom size: its order among the code's operands,
// its type and its range.
std::string customParameter(std::string_view name, int order, std::string_view type, int minimum, int maximum) {
    return std::string(ppd::kParamCustomPageSize) + " " + std::string(name) + ": " + std::to_string(order) + " " +
           std::string(type) + " " + std::to_string(minimum) + " " + std::to_string(maximum) + "\n";
}

std::string customSize() {
    const std::string margin = formatPoints(kMarginPoints);
    std::string text = std::string(ppd::kVariablePaperSize) + " True\n";
    text += std::string(ppd::kHwMargins) + " " + margin + " " + margin + " " + margin + " " + margin + "\n";
    text += std::string(ppd::kMaxMediaWidth) + " \"" + std::to_string(kMaxMediaWidth) + "\"\n";
    text += std::string(ppd::kMaxMediaHeight) + " \"" + std::to_string(kMaxMediaHeight) + "\"\n";
    text += std::string(ppd::kCenterRegistered) + " False\n";
    text += "*" + std::string(ppd::kCustomPageSize) + " " + std::string(ppd::kCustomTrue) +
            ": \"pop pop pop <</PageSize [5 -2 roll] /ImagingBBox null" + std::string(kSetPageDevice) + "\"\n";
    text += std::string(ppd::kEnd) + "\n";
    text += customParameter("Width", 1, "points", kMinMediaWidth, kMaxMediaWidth);
    text += customParameter("Height", 2, "points", kMinMediaHeight, kMaxMediaHeight);
    text += customParameter("WidthOffset", 3, "points", 0, 0);
    text += customParameter("HeightOffset", 4, "points", 0, 0);
    text += customParameter("Orientation", 5, "int", 0, 0);
    return text + "\n";
}

// The installed options, each with the choices CUPS's installable options
// page offers: a unit is there or not; the paper-feed unit is one of its kinds.
std::string installableGroup() {
    constexpr std::string_view kInstalled = "Installed";
    constexpr std::string_view kNotInstalled = "Not installed";
    std::vector<PpdFeature> features;
    for (const tvzx::ppd::InstallableOption& option : tvzx::ppd::installableOptions()) {
        PpdFeature feature{std::string(option.keyword), std::string(option.label), {}, {}};
        if (option.unit) {
            feature.defaultOption = std::string(ppd::kTrue);
            feature.choices = {{std::string(ppd::kFalse), std::string(kNotInstalled), {}},
                               {std::string(ppd::kTrue), std::string(kInstalled), {}}};
        } else {
            for (const std::string_view choice : tvzx::ppd::paperFeedUnitChoices())
                feature.choices.push_back({std::string(choice), std::string(choice), {}});
            feature.defaultOption = feature.choices.back().option;
        }
        features.push_back(std::move(feature));
    }
    std::string text = std::string(ppd::kOpenGroup) + " " + std::string(ppd::kInstallableGroup) + "/Installed options\n\n";
    for (const PpdFeature& feature : features) text += featureText(feature, std::nullopt);
    return text + std::string(ppd::kCloseGroup) + " " + std::string(ppd::kInstallableGroup) + "\n\n";
}

// The line that has CUPS run the plug-in's filter after its PostScript filter.
std::string cupsFilterLine() {
    return std::string(ppd::kCupsFilter2) + " \"" + std::string(ppd::kSpoolerPostScriptType) + " " +
           std::string(ppd::kPrinterStreamType) + " 0 " + std::string(ppd::kCupsFilterProgram) + "\"\n\n";
}

constexpr std::string_view kHeader =
    "*PPD-Adobe: \"4.3\"\n"
    "*% PPD file of the TVZX production printer family, written by tvzx_make_ppd\n"
    "*% from the plug-in's option tables. Regenerate it; do not edit it.\n"
    "*FormatVersion: \"4.3\"\n";

constexpr std::string_view kDeviceDescription =
    "*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n"
    "*PCFileName: \"TVZX.PPD\"\n"
    "*Manufacturer: \"Tarvo\"\n"
    "*Product: \"(TVZX Production Printer)\"\n"
    "*ModelName: \"Tarvo TVZX Production Printer\"\n"
    "*ShortNickName: \"Tarvo TVZX\"\n"
    "*NickName: \"Tarvo TVZX Production Printer PS\"\n"
    "*PSVersion: \"(3010.000) 0\"\n"
    "*LanguageLevel: \"3\"\n"
    "*ColorDevice: False\n"
    "*DefaultColorSpace: Gray\n"
    "*FileSystem: False\n"
    "*Throughput: \"60\"\n"
    "*TTRasterizer: Type42\n"
    "*DefaultFont: Courier\n"
    "*Font Courier: Standard \"(002.004S)\" Standard ROM\n"
    "*Font Courier-Bold: Standard \"(002.004S)\" Standard ROM\n"
    "*Font Helvetica: Standard \"(001.006S)\" Standard ROM\n"
    "*Font Helvetica-Bold: Standard \"(001.007S)\" Standard ROM\n"
    "*Font Times-Roman: Standard \"(001.007S)\" Standard ROM\n"
    "*Font Times-Bold: Standard \"(001.007S)\" Standard ROM\n\n";

}  // namespace

std::string driverVersion() { return TVZX_HOST_VERSION; }

std::string postScriptString(const std::string& text) {
    std::string literal = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\') literal += '\\';
        literal += c;
    }
    return literal + ")";
}

std::string formatPoints(double points) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", points);
    std::string result(text);
    // Trailing zeros and a bare decimal point carry nothing.
    result.erase(result.find_last_not_of('0') + 1);
    if (result.back() == '.') result.pop_back();
    return result;
}

std::vector<PpdFeature> ppdFeatures() {
    std::vector<PpdFeature> features;
    features.push_back({std::string(ppd::kOpCreator), "Creator", std::string(ppd::kOpCreatorDriver),
                        {{std::string(ppd::kOpCreatorDriver), "PostScript driver", dictionaryCode(ppd::kOpCreator, ppd::kOpCreatorDriver)}}});
    const std::string version = driverVersion();
    features.push_back({std::string(ppd::kOpPpdVersion), "PPD version", version,
                        {{version, version, dictionaryCode(ppd::kOpPpdVersion, version)}}});
    features.push_back(paperFeature(ppd::kPageSize));
    features.push_back(paperFeature(ppd::kPageRegion));

    std::set<std::string_view> seen{ppd::kPageSize};
    for (const settings::FieldDef& field : settings::fieldTable()) {
        if (field.kind != settings::Kind::Option || field.options == nullptr) continue;
        const OptionTable& table = *field.options;
        if (table.ppdKeyword.empty() || !seen.insert(table.ppdKeyword).second) continue;
        PpdFeature feature = tableFeature(field.name, table);
        // Stapling with one staple follows the binding edge: both corners
        // must be selectable whatever the table lists.
        if (table.ppdKeyword == ppd::kStaple) {
            addChoice(feature, {std::string(ppd::kStapleLeft), "1StapleLeft", choiceCode(ppd::kStaple, ppd::kStapleLeft, 0)});
            addChoice(feature, {std::string(ppd::kStapleRight), "1StapleRight", choiceCode(ppd::kStaple, ppd::kStapleRight, 0)});
        }
        // Both stream punches, plain and coil, select the stream punch.
        if (table.ppdKeyword == ppd::kPunch)
            addChoice(feature, {std::string(ppd::kStreamPunch), std::string(ppd::kStreamPunch), choiceCode(ppd::kPunch, ppd::kStreamPunch, 0)});
        features.push_back(std::move(feature));
    }
    // Selections the settings mapping derives from more than one table:
    // offset from the two offset settings, the model name from the printer
    // and device name setting.
    features.push_back(booleanFeature(ppd::kOffset, "Offset"));
    features.push_back(booleanFeature(ppd::kModelName, "PIModelName"));
    return features;
}

std::string ppdText() {
    std::string text(kHeader);
    text += std::string(ppd::kFileVersion) + " \"" + driverVersion() + "\"\n";
    text += kDeviceDescription;
    text += cupsFilterLine();
    text += installableGroup();

    const std::vector<PpdFeature> features = ppdFeatures();
    text += std::string(ppd::kOpenGroup) + " " + std::string(kGroup) + "/" + std::string(kGroup) + "\n\n";
    int tableOrder = kFirstTableOrder;
    for (const PpdFeature& feature : features) {
        int order = tableOrder;
        if (feature.keyword == ppd::kOpCreator) order = kOpCreatorOrder;
        else if (feature.keyword == ppd::kOpPpdVersion) order = kOpPpdVersionOrder;
        else if (feature.keyword == ppd::kPageSize || feature.keyword == ppd::kPageRegion) order = kPaperOrder;
        else ++tableOrder;
        text += featureText(feature, order);
    }
    text += std::string(ppd::kCloseGroup) + " " + std::string(kGroup) + "\n\n";
    text += paperAreas();
    text += customSize();
    text += "*% End of the PPD file\n";
    return text;
}

}  // namespace tvzx::host
