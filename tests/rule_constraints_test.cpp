// The rule tables as data: every constraint is one the rule table allows,
// every name resolves, and the corrections they cause end in a consistent
// record.
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "rules/compiled_rules.h"
#include "rules/constraint_table.h"
#include "rules/installed_options.h"
#include "rules/may_correct.h"
#include "rules/page_exception_rules.h"
#include "rules/rule_engine.h"

namespace tvzx::rules {
namespace {

using settings::CoreData;
using settings::FieldId;

std::string nameOf(FieldId field) { return std::string(settings::fieldDef(field).name); }

// Returns "Name=Option" for an option setting, "Name=number" otherwise.
std::string valueText(const CoreData& record, FieldId field) {
    const settings::FieldDef& def = settings::fieldDef(field);
    const std::uint32_t value = def.kind == settings::Kind::Array ? 0 : record.raw(field);
    if (def.kind == settings::Kind::Option && def.options != nullptr && value < def.options->count())
        return nameOf(field) + "=" + std::string(def.options->entries[value].name);
    if (def.kind == settings::Kind::Array) return nameOf(field) + "=<bytes>";
    return nameOf(field) + "=" + std::to_string(value);
}

// Returns the fields in which two records differ, as "before -> after" lines.
std::string differences(const CoreData& before, const CoreData& after) {
    std::string out;
    for (const settings::FieldDef& def : settings::fieldTable()) {
        const auto id = *settings::findField(def.name);
        if (before.field(id).size() != after.field(id).size() ||
            !std::equal(before.field(id).begin(), before.field(id).end(), after.field(id).begin()))
            out += "  " + valueText(before, id) + " -> " + valueText(after, id) + "\n";
    }
    return out;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
}

// Returns, for every changed setting whose setter, run again with its own
// value, would still correct the record, what it would change.
std::vector<std::string> conflictsLeft(const CoreData& record, const settings::FieldSet& changed,
                                       const std::string& what) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i) {
        const auto field = static_cast<FieldId>(i);
        if (!changed.test(i) || !ownsSetter(field) || settings::fieldDef(field).kind == settings::Kind::Array) continue;
        CoreData rerun = record;
        setSetting(rerun, field, record.raw(field));
        if (rerun != record)
            out.push_back(what + ", then " + valueText(record, field) + " again:\n" + differences(record, rerun));
    }
    return out;
}

TEST(RuleTable, EveryConstraintIsOneTheRuleTableAllows) {
    std::vector<std::string> offenders;
    for (const Constraint& c : constraintTable()) {
        if (!mayCorrect(c.trigger, c.target)) offenders.push_back(nameOf(c.trigger) + " -> " + nameOf(c.target));
        if (!ownsSetter(c.trigger)) offenders.push_back(nameOf(c.trigger) + " has no setter");
    }
    for (const RecordConstraint& c : recordConstraintTable())
        if (!mayCorrect(FieldId::PageSpecificTrays, c.target))
            offenders.push_back("PageSpecificTrays -> " + nameOf(c.target));
    EXPECT_TRUE(offenders.empty()) << joined(offenders);
    EXPECT_GT(constraintTable().size(), 200u);
}

TEST(RuleTable, RowsOfSeveralSettingsAreSplitAsTheRuleTableReads) {
    // "(and Gutter from ImposQuality)": only ImposQuality may correct Gutter.
    EXPECT_TRUE(mayCorrect(FieldId::ImposQuality, FieldId::Gutter));
    EXPECT_FALSE(mayCorrect(FieldId::Creep, FieldId::Gutter));
    // "each other" rows.
    EXPECT_TRUE(mayCorrect(FieldId::MediaTypeAuto, FieldId::MediaWeightAuto));
    EXPECT_TRUE(mayCorrect(FieldId::MediaWeightAuto, FieldId::MediaTypeAuto));
    EXPECT_TRUE(mayCorrect(FieldId::ColorPatch, FieldId::JobInfo));
    EXPECT_TRUE(mayCorrect(FieldId::JobInfo, FieldId::ColorPatch));
    // "the cover's own" rows pair each cover with its own fields only.
    EXPECT_TRUE(mayCorrect(FieldId::PIFrontCoverTray, FieldId::PIFrontSheets));
    EXPECT_FALSE(mayCorrect(FieldId::PIFrontCoverTray, FieldId::PIBackSheets));
    EXPECT_TRUE(mayCorrect(FieldId::BackSheets, FieldId::BackCoverTray));
    EXPECT_FALSE(mayCorrect(FieldId::BackSheets, FieldId::FrontCoverTray));
    EXPECT_TRUE(mayCorrect(FieldId::OffsetPagesCount, FieldId::OffsetCopiesCount));
    EXPECT_FALSE(mayCorrect(FieldId::OffsetCopiesCount, FieldId::OffsetPagesCount));
    // Settings that only run the page exception pass own a setter with no corrections.
    ASSERT_NE(mayCorrectRow(FieldId::Tab2PageSize), nullptr);
    EXPECT_EQ(mayCorrectRow(FieldId::Tab2PageSize)->count, 0u);
    // Plain settings have no row.
    EXPECT_FALSE(ownsSetter(FieldId::NumCopies));
    EXPECT_FALSE(ownsSetter(FieldId::PageSizeName));
}

TEST(RuleTable, EveryNameResolvesAndNoReplacementIsForbiddenItself) {
    const auto faults = ruleTableFaults();
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// Every option setting with a setter, every option, each set on the default
// record: the chain ends, the record stays valid, setting the same value again
// changes nothing, and no setting the chain changed conflicts with the record
// it left (running its setter again with its own value changes nothing).
TEST(RuleChains, EverySingleChangeEndsInAConsistentRecord) {
    std::vector<std::string> faults;
    for (const MayCorrectRow& row : mayCorrectTable()) {
        const settings::FieldDef& def = settings::fieldDef(row.setting);
        if (def.kind != settings::Kind::Option || def.options == nullptr || def.options->count() == 0) continue;
        for (std::uint32_t option = 0; option < def.options->count(); ++option) {
            const std::string what = nameOf(row.setting) + "=" + std::string(def.options->entries[option].name);
            CoreData record = settings::defaultRecord();
            settings::FieldSet changed;
            setSetting(record, row.setting, option, &changed);

            CoreData validated = record;
            if (!settings::validateRecord(validated)) faults.push_back(what + " left an invalid record");

            CoreData again = record;
            setSetting(again, row.setting, option);
            if (again != record) faults.push_back(what + " set twice:\n" + differences(record, again));

            const auto left = conflictsLeft(record, changed, what);
            faults.insert(faults.end(), left.begin(), left.end());
        }
    }
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

// A long run of changes from one fixed sequence: every chain ends, every
// record stays valid and consistent.
TEST(RuleChains, LongRunsOfChangesKeepTheRecordValid) {
    std::vector<FieldId> settable;
    for (const MayCorrectRow& row : mayCorrectTable()) {
        const settings::FieldDef& def = settings::fieldDef(row.setting);
        if (def.kind == settings::Kind::Option && def.options != nullptr && def.options->count() > 0)
            settable.push_back(row.setting);
    }
    ASSERT_FALSE(settable.empty());
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1103515245u + 12345u;
        return state >> 8;
    };
    CoreData record = settings::defaultRecord();
    for (int step = 0; step < 5000; ++step) {
        const FieldId field = settable[next() % settable.size()];
        const std::uint32_t option = next() % settings::fieldDef(field).options->count();
        settings::FieldSet changed;
        setSetting(record, field, option, &changed);
        const std::string what = "step " + std::to_string(step) + " " + valueText(record, field);
        CoreData validated = record;
        ASSERT_TRUE(settings::validateRecord(validated)) << what << "\n" << differences(record, validated);
        const auto left = conflictsLeft(record, changed, what);
        ASSERT_TRUE(left.empty()) << joined(left);
    }
}

TEST(InstalledOptionsBlock, BitsSayWhichUnitsThePrinterHas) {
    InstalledOptions installed{};
    // A block that does not describe the printer leaves every unit in place.
    EXPECT_TRUE(hasCapability(installed, Capability::Stapler));
    EXPECT_TRUE(hasCapability(installed, Capability::BypassTray));
    installed[kConfigurationGivenByte] = 1;
    installed[1] = 0x01 | 0x02;  // stapler and punch unit
    installed[3] = 0x02;         // three holes only
    installed[4] = 0x01;         // duplex unit
    installed[kPaperFeedUnitByte] = 4;
    EXPECT_TRUE(hasCapability(installed, Capability::Stapler));
    EXPECT_TRUE(hasCapability(installed, Capability::PunchUnit));
    EXPECT_FALSE(hasCapability(installed, Capability::Folder));
    EXPECT_FALSE(hasCapability(installed, Capability::TwoHolePunch));
    EXPECT_TRUE(hasCapability(installed, Capability::ThreeHolePunch));
    EXPECT_TRUE(hasCapability(installed, Capability::DuplexUnit));
    EXPECT_FALSE(hasCapability(installed, Capability::JobStorage));
    EXPECT_TRUE(hasCapability(installed, Capability::Tray3));
    EXPECT_FALSE(hasCapability(installed, Capability::Tray4));
    EXPECT_TRUE(hasCapability(installed, Capability::BypassTray));
    // No hole pattern named means every pattern of the unit.
    installed[3] = 0;
    EXPECT_TRUE(hasCapability(installed, Capability::TwoHolePunch));
}

TEST(InstalledOptionsBlock, PaperFeedUnitCodeDecidesTheFittedTrays) {
    // InputSlot options: Auto, Tray1 ... Tray5, MBT.
    struct Case {
        std::uint8_t code;
        const char* fitted;  // one letter per InputSlot option
    };
    const Case cases[] = {
        {0, "yyynnnn"}, {1, "yyyyyyn"}, {2, "yyyynnn"}, {3, "yyyynnn"},
        {4, "yyyynny"}, {5, "yyyynny"}, {6, "yyyyyyy"}, {200, "yyyyyyy"},
    };
    for (const Case& c : cases) {
        InstalledOptions installed{};
        installed[kPaperFeedUnitByte] = c.code;
        std::string got;
        for (std::uint32_t slot = 0; slot < 7; ++slot) got += inputSlotFitted(installed, slot) ? 'y' : 'n';
        EXPECT_EQ(got, c.fitted) << "paper-feed unit code " << int(c.code);
    }
}

}  // namespace
}  // namespace tvzx::rules
