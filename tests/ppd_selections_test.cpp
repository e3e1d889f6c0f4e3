// The PPD feature selections of the job settings: the straight mapping
// through the option tables, the six features with rules of their own, the
// restriction to changed settings, and the two places that use them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "postscript/injection.h"
#include "ppd/feature_selections.h"
#include "settings/core_data.h"

namespace {

using tvzx::ppd::FeatureSelections;
using tvzx::ppd::featureSelections;
using namespace tvzx::settings;

std::uint32_t optionOf(FieldId id, std::string_view name) {
    const auto index = fieldDef(id).options->find(name);
    EXPECT_TRUE(index) << fieldDef(id).name << " has no option " << name;
    return index.value_or(0);
}

CoreData withOptions(std::initializer_list<std::pair<FieldId, std::string_view>> options) {
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
    EXPECT_EQ(selections.size(), 74u) << text;
    EXPECT_EQ(selections.front(), (tvzx::ppd::FeatureSelection{"PageSize", "A4"})) << text;
    EXPECT_EQ(selections.back(), (tvzx::ppd::FeatureSelection{"ZVOutputMethod", "Print"})) << text;
    EXPECT_EQ(optionFor(selections, "InputSlot"), "(none)");
    EXPECT_EQ(optionFor(selections, "ZVTargetPaperSize"), "(none)");
    // The offset feature stands where its first setting stands, after collation.
    EXPECT_NE(text.find("ZVCollate=Sort\nZVOffset=False\nZVThirdPartyFinisherMode=None\n"), std::string::npos) << text;
    // The printer and model name come together from one setting.
    EXPECT_NE(text.find("ZVCbSwPrinterName=False\nZVCbSwModelName=False\n"), std::string::npos) << text;
    for (std::size_t i = 0; i < selections.size(); ++i)
        for (std::size_t j = i + 1; j < selections.size(); ++j)
            EXPECT_NE(selections[i].keyword, selections[j].keyword) << "twice: " << selections[i].keyword;
}

TEST(PpdSelections, StraightMappingUsesThePpdOptionAndTheDefaultForAnIndexPastTheList) {
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::PageSize, "B4"}})), "PageSize"), "ZXB4");
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::InputSlot, "Tray2"}})), "InputSlot"), "Tray2");
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::FaceUp, "True"}})), "ZVOutputOrder"), "FaceUp");
    CoreData record = defaultRecord();
    record.setOption(FieldId::Layout, 200);
    record.setOption(FieldId::PageSize, kCustomPageSize);
    const FeatureSelections selections = featureSelections(record);
    EXPECT_EQ(optionFor(selections, "ZVLayout"), "None");
    EXPECT_EQ(optionFor(selections, "PageSize"), "A4");
}

TEST(PpdSelections, OneStapleFollowsTheBindingEdgeAndTopBindsLeft) {
    const struct {
        std::string_view binding;
        std::string expected;
    } cases[] = {{"Left", "1Staple(Left)"}, {"Right", "1Staple(Right)"}, {"Top", "1Staple(Left)"}};
    for (const auto& c : cases) {
        const CoreData record = withOptions({{FieldId::Staple, "1Staple"}, {FieldId::Binding, c.binding}});
        EXPECT_EQ(optionFor(featureSelections(record), "ZVStaple"), c.expected) << "binding " << c.binding;
    }
    const CoreData right = withOptions({{FieldId::Staple, "1StapleRight"}, {FieldId::Binding, "Left"}});
    EXPECT_EQ(optionFor(featureSelections(right), "ZVStaple"), "1Staple(Right)");
}

TEST(PpdSelections, OffsetIsOnWhenCopiesOrPagesAreOffset) {
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::OffsetPages, "True"}})), "ZVOffset"), "True");
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::OffsetCopies, "True"}})), "ZVOffset"), "True");
    EXPECT_EQ(optionFor(featureSelections(defaultRecord()), "ZVOffset"), "False");

    const FieldSet pagesOnly = setOf({FieldId::OffsetPages});
    EXPECT_EQ(lines(featureSelections(withOptions({{FieldId::OffsetPages, "True"}}), &pagesOnly)), "ZVOffset=True\n");
}

TEST(PpdSelections, BothStreamPunchesSelectTheStreamPunch) {
    for (std::string_view punch : {"GBCStreampunch", "GBCStreampunchCorvel"})
        EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::Punch, punch}})), "ZVPunch"), "GBCStreampunch")
            << punch;
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::Punch, "3Holes"}})), "ZVPunch"), "3holes");
}

TEST(PpdSelections, DateStyleIsNoneWithoutADateStamp) {
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::DateStamp, "Off"}, {FieldId::DateStyle, "Style3"}})),
                        "ZVDateStyle"),
              "None");
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::DateStamp, "All"}, {FieldId::DateStyle, "Style3"}})),
                        "ZVDateStyle"),
              "Style3");
}

TEST(PpdSelections, ProfileTargetIsTheProfilesPaperSize) {
    CoreData record = withOptions({{FieldId::TargetPaperSize, "PaperProfile"}});
    // Without a profile the target is automatic, which has no PPD option.
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "(none)");
    record.setOption(FieldId::MainPaperProfileIndex, 3);
    record.setOption(FieldId::MainPaperProfileSize, optionOf(FieldId::PageSize, "Tabloid"));
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "ZXTabloid");
    // A profile of custom size names no target.
    record.setOption(FieldId::MainPaperProfileSize, kCustomPageSize);
    EXPECT_EQ(optionFor(featureSelections(record), "ZVTargetPaperSize"), "(none)");
    EXPECT_EQ(optionFor(featureSelections(withOptions({{FieldId::TargetPaperSize, "Letter"}})), "ZVTargetPaperSize"),
              "Letter");
}

TEST(PpdSelections, PrinterAndDeviceNameGivesBothNameFeatures) {
    const CoreData record = withOptions({{FieldId::PIPrinterAndDeviceName, "True"}});
    const FieldSet changed = setOf({FieldId::PIPrinterAndDeviceName});
    EXPECT_EQ(lines(featureSelections(record, &changed)), "ZVCbSwPrinterName=True\nZVCbSwModelName=True\n");
}

TEST(PpdSelections, ChangedSettingsRestrictTheListAndRulesFollowWhatTheyRead) {
    const FieldSet none;
    EXPECT_TRUE(featureSelections(defaultRecord(), &none).empty());

    const CoreData record = withOptions({{FieldId::Staple, "1Staple"}, {FieldId::Binding, "Right"},
                                         {FieldId::DateStamp, "Off"}, {FieldId::OutputMethod, "Hold"}});
    const FieldSet binding = setOf({FieldId::Binding});
    EXPECT_EQ(lines(featureSelections(record, &binding)), "ZVBinding=RightBinding\nZVStaple=1Staple(Right)\n");
    const FieldSet dateStamp = setOf({FieldId::DateStamp});
    EXPECT_EQ(lines(featureSelections(record, &dateStamp)), "ZVDateStamp=None\nZVDateStyle=None\n");
    // The number of job information lines has no PPD feature.
    const FieldSet lineCount = setOf({FieldId::NumLines});
    EXPECT_TRUE(featureSelections(record, &lineCount).empty());
}

TEST(PpdSelections, BuildingReplacesWhatTheListHeld) {
    FeatureSelections selections{{"Stale", "Entry"}};
    const FieldSet duplex = setOf({FieldId::Duplex});
    tvzx::ppd::buildFeatureSelections(defaultRecord(), selections, &duplex);
    EXPECT_EQ(lines(selections), "ZVDuplex=True\n");
}

TEST(PpdSelections, TheSettingsProcedureAsksForTheOutputFieldsOnly) {
    const CoreData record = withOptions({{FieldId::PrintMode, "ProofMode"}, {FieldId::OutputMethod, "HoldPrint"},
                                         {FieldId::Duplex, "False"}});
    const auto pairs = tvzx::postscript::outputFieldSelections(record);
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[0], (tvzx::postscript::PpdSelection{"ZVPrintMode", "ProofMode"}));
    EXPECT_EQ(pairs[1], (tvzx::postscript::PpdSelection{"ZVOutputMethod", "HoldPrint"}));
    // Output methods without a PPD option give no pair.
    EXPECT_TRUE(tvzx::postscript::outputFieldSelections(withOptions({{FieldId::PrintMode, "Print"},
                                                                      {FieldId::OutputMethod, "Secure"}}))
                    .size() == 1);
}

}  // namespace
