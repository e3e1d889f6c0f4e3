// The rule tables as data: every name resolves, and the corrections they
// cause end in a consistent record; the installed-options block read by value.
#include <gtest/gtest.h>

#include <algorithm>

#include "rules/compiled_rules.h"
#include "rules/installed_options.h"
#include "rules/may_correct.h"

namespace tvzx::rules {
namespace {

using namespace settings;

std::string nameOf(FieldId field) { return std::string(settings::fieldDef(field).name); }

// Returns the names of the fields in which two records differ.
std::string differences(const CoreData& before, const CoreData& after) {
    std::string out;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i) {
        const auto id = static_cast<FieldId>(i);
        if (!std::ranges::equal(before.field(id), after.field(id))) out += " " + nameOf(id);
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
            out.push_back(what + ", then " + nameOf(field) + " again changes" + differences(record, rerun));
    }
    return out;
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
            if (again != record) faults.push_back(what + " set twice changes" + differences(record, again));

            const auto left = conflictsLeft(record, changed, what);
            faults.insert(faults.end(), left.begin(), left.end());
        }
    }
    EXPECT_TRUE(faults.empty()) << joined(faults);
}

TEST(InstalledOptionsBlock, BitsAndPaperFeedUnitSayWhichUnitsAndTraysThePrinterHas) {
    InstalledOptions installed{};
    // One letter per unit: stapler, punch unit, folder, two and three holes,
    // duplex unit, job storage, trays 3 and 4, bypass tray.
    const auto units = [&installed] {
        std::string out;
        for (const Capability unit : {Capability::Stapler, Capability::PunchUnit, Capability::Folder,
                                      Capability::TwoHolePunch, Capability::ThreeHolePunch, Capability::DuplexUnit,
                                      Capability::JobStorage, Capability::Tray3, Capability::Tray4, Capability::BypassTray})
            out += hasCapability(installed, unit) ? 'y' : 'n';
        return out;
    };
    // A block that does not describe the printer leaves every unit in place.
    EXPECT_EQ(units(), "yyyyyyyyyy");
    installed[kConfigurationGivenByte] = 1;
    installed[1] = 0x01 | 0x02;  // stapler and punch unit
    installed[3] = 0x02;         // three holes only
    installed[4] = 0x01;         // duplex unit
    installed[kPaperFeedUnitByte] = 4;
    EXPECT_EQ(units(), "yynnyynyny");
    // No hole pattern named means every pattern of the unit.
    installed[3] = 0;
    EXPECT_EQ(units(), "yynyyynyny");
    // The paper-feed unit code decides the fitted trays, one letter per
    // InputSlot option: Auto, Tray1 ... Tray5, MBT.
    const std::pair<std::uint8_t, const char*> feedUnits[] = {{0, "yyynnnn"}, {1, "yyyyyyn"}, {2, "yyyynnn"},
                                                              {3, "yyyynnn"}, {4, "yyyynny"}, {5, "yyyynny"},
                                                              {6, "yyyyyyy"}, {200, "yyyyyyy"}};
    installed = {};
    for (const auto& [code, fitted] : feedUnits) {
        installed[kPaperFeedUnitByte] = code;
        std::string got;
        for (std::uint32_t slot = 0; slot < 7; ++slot) got += inputSlotFitted(installed, slot) ? 'y' : 'n';
        EXPECT_EQ(got, fitted) << "paper-feed unit code " << int(code);
    }
}

}  // namespace
}  // namespace tvzx::rules
