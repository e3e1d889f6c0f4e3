// The PPD feature selections of the job settings: the straight mapping
// through the option tables, the six features with rules of their own, the
// restriction to changed settings, and the two places that use them.
#include <gtest/gtest.h>

#include <algorithm>

#include "postscript/injection.h"
#include "ppd/feature_selections.h"

namespace {

using namespace tvzx::ppd;
using namespace tvzx::settings;

std::uint32_t optionOf(FieldId id, std::string_view name) {
    const auto index = fieldDef(id).options->find(name);
    EXPECT_TRUE(index) << fieldDef(id).name << " has no option " << name;
    return index.value_or(0);
}

CoreData withOptions(const std::vector<std::pair<FieldId, std::string_view>>& options) {
    CoreData record = defaultRecord();
    for (const auto& [id, name] : options) record.setOption(id, optionOf(id, name));
    return record;
}

// The selections as "Keyword=Option" lines, which show well in a failure.
std::string lines(const FeatureSelections& selections) {
    std::string out;
    for (const auto& selection : selections) out += selection.keyword + "=" + selection.option + "\n";
    return out;
}

// The option selected for a keyword, or "(none)".
std::string optionFor(const FeatureSelections& selections, std::string_view keyword) {
    const auto it = std::find_if(selections.begin(), selections.end(),
                                 [keyword](const auto& selection) { return selection.keyword == keyword; });
    return it == selections.end() ? "(none)" : it->option;
}

FieldSet setOf(std::initializer_list<FieldId> ids) {
    FieldSet set;
    for (FieldId id : ids) set.set(static_cast<std::size_t>(id));
    return set;
}

TEST(PpdSelections, DefaultsFollowTheRecordOrderWithOneSelectionPerFeature) {
    const FeatureSelections selections = featureSelections(defaultRecord());
    const std::string text = lines(selections);
    // Automatic tray and automatic target size have no PPD option.
    EXPECT_EQ(optionFor(selections, "InputSlot") + optionFor(selections, "ZVTargetPaperSize"), "(none)(none)");
    // The offset feature stands where its first setting stands, after collation.
    // The printer and model name come together from one setting.
    for (const char* run : {"ZVCollate=Sort\nZVOffset=False\nZVThirdPartyFinisherMode=None\n",
                            "ZVCbSwPrinterName=False\nZVCbSwModelName=False\n"})
        EXPECT_NE(text.find(run), std::string::npos) << text;
    std::set<std::string> keywords;
    for (const auto& selection : selections) EXPECT_TRUE(keywords.insert(selection.keyword).second) << "twice: " << selection.keyword;
}

TEST(PpdSelections, OptionsAndTheSixFeaturesWithRulesOfTheirOwn) {
    const struct {
        std::vector<std::pair<FieldId, std::string_view>> options;
        std::string_view keyword;
        std::string expected;
    } cases[] = {
        {{{FieldId::PageSize, "B4"}}, "PageSize", "ZXB4"}, {{{FieldId::InputSlot, "Tray2"}}, "InputSlot", "Tray2"},
        {{{FieldId::FaceUp, "True"}}, "ZVOutputOrder", "FaceUp"},
        // One staple follows the binding edge; top binding staples left.
        {{{FieldId::Staple, "1Staple"}, {FieldId::Binding, "Left"}}, "ZVStaple", "1Staple(Left)"},
        {{{FieldId::Staple, "1Staple"}, {FieldId::Binding, "Right"}}, "ZVStaple", "1Staple(Right)"},
        {{{FieldId::Staple, "1Staple"}, {FieldId::Binding, "Top"}}, "ZVStaple", "1Staple(Left)"},
        {{{FieldId::Staple, "1StapleRight"}, {FieldId::Binding, "Left"}}, "ZVStaple", "1Staple(Right)"},
        // Offset is on when copies or pages are offset.
        {{{FieldId::OffsetPages, "True"}}, "ZVOffset", "True"}, {{}, "ZVOffset", "False"},
        {{{FieldId::OffsetCopies, "True"}}, "ZVOffset", "True"},
        // Both stream punches select the stream punch.
        {{{FieldId::Punch, "GBCStreampunch"}}, "ZVPunch", "GBCStreampunch"},
        {{{FieldId::Punch, "GBCStreampunchCorvel"}}, "ZVPunch", "GBCStreampunch"},
        {{{FieldId::Punch, "3Holes"}}, "ZVPunch", "3holes"},
        // The date style is none without a date stamp.
        {{{FieldId::DateStamp, "Off"}, {FieldId::DateStyle, "Style3"}}, "ZVDateStyle", "None"},
        {{{FieldId::DateStamp, "All"}, {FieldId::DateStyle, "Style3"}}, "ZVDateStyle", "Style3"},
        {{{FieldId::TargetPaperSize, "Letter"}}, "ZVTargetPaperSize", "Letter"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(optionFor(featureSelections(withOptions(c.options)), c.keyword), c.expected) << c.keyword << " " << c.expected;
    // An index at the end of the list or past it gives the default; the
    // custom page size has no option.
    CoreData record = defaultRecord();
    record.setOption(FieldId::Layout, fieldDef(FieldId::Layout).options->count());
    record.setOption(FieldId::OffsetCopies, fieldDef(FieldId::OffsetCopies).options->count());
    record.setOption(FieldId::PageSize, kCustomPageSize);
    const FeatureSelections selections = featureSelections(record);
    EXPECT_EQ(optionFor(selections, "ZVLayout") + " " + optionFor(selections, "ZVOffset") + " " + optionFor(selections, "PageSize"),
              "None False A4");

    // A profile target is the profile's paper size.
    record = withOptions({{FieldId::TargetPaperSize, "PaperProfile"}});
    // Without a profile the target is automatic, which has no PPD option.
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "(none)");
    record.setOption(FieldId::MainPaperProfileIndex, 3);
    record.setOption(FieldId::MainPaperProfileSize, optionOf(FieldId::PageSize, "Tabloid"));
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "ZXTabloid");
    // A profile of custom size names no target.
    record.setOption(FieldId::MainPaperProfileSize, kCustomPageSize);
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "(none)");
}

TEST(PpdSelections, ChangedSettingsRestrictTheListAndRulesFollowWhatTheyRead) {
    const FieldSet none;
    EXPECT_TRUE(featureSelections(defaultRecord(), &none).empty());

    const CoreData record = withOptions({{FieldId::Staple, "1Staple"}, {FieldId::Binding, "Right"},
                                         {FieldId::DateStamp, "Off"}, {FieldId::OutputMethod, "Hold"},
                                         {FieldId::OffsetPages, "True"}, {FieldId::PIPrinterAndDeviceName, "True"}});
    // The number of job information lines has no PPD feature.
    const std::pair<FieldId, std::string> rows[] = {
        {FieldId::Binding, "ZVBinding=RightBinding\nZVStaple=1Staple(Right)\n"},
        {FieldId::DateStamp, "ZVDateStamp=None\nZVDateStyle=None\n"}, {FieldId::OffsetPages, "ZVOffset=True\n"},
        {FieldId::PIPrinterAndDeviceName, "ZVCbSwPrinterName=True\nZVCbSwModelName=True\n"}, {FieldId::NumLines, ""}};
    for (const auto& [id, expected] : rows) {
        const FieldSet changed = setOf({id});
        EXPECT_EQ(lines(featureSelections(record, &changed)), expected) << fieldDef(id).name;
    }
    // Building replaces what the list held.
    const FieldSet binding = setOf({FieldId::Binding});
    FeatureSelections selections{{"Stale", "Entry"}};
    tvzx::ppd::buildFeatureSelections(record, selections, &binding);
    EXPECT_EQ(lines(selections), rows[0].second);
}

TEST(PpdSelections, TheSettingsProcedureAsksForTheOutputFieldsOnly) {
    const CoreData record = withOptions({{FieldId::PrintMode, "ProofMode"}, {FieldId::OutputMethod, "HoldPrint"},
                                         {FieldId::Duplex, "False"}});
    EXPECT_EQ(tvzx::postscript::outputFieldSelections(record),
              (std::vector<tvzx::postscript::PpdSelection>{{"ZVPrintMode", "ProofMode"}, {"ZVOutputMethod", "HoldPrint"}}));
    // Output methods without a PPD option give no pair.
    EXPECT_EQ(tvzx::postscript::outputFieldSelections(withOptions({{FieldId::OutputMethod, "Secure"}})),
              (std::vector<tvzx::postscript::PpdSelection>{{"ZVPrintMode", "Print"}}));
}

}  // namespace
