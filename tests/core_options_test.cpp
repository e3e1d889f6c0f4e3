// The core driver's option bytes: written from the record's PPD selections
// through the printer's keyword tables, and kept in step by the DevMode
// requests and the job services.
#include <gtest/gtest.h>

#include <cstring>

#include "config/core_options.h"
#include "config/printer_job_services.h"
#include "frame/plugin_callbacks.h"
#include "printer_fixtures.h"
#include "rules/rule_engine.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"

namespace {

using namespace tvzx;
using namespace tvzx::config;
using settings::FieldId;
using namespace tvzx::testing;

constexpr std::size_t kCoreAreaSize = 64;

// A public DEVMODE with the core driver's area behind it.
struct Devmode {
    Devmode() : storage(sizeof(win::DEVMODEW) + kCoreAreaSize) {
        devmode()->dmSize = sizeof(win::DEVMODEW);
        devmode()->dmDriverExtra = static_cast<win::WORD>(kCoreAreaSize);
    }
    win::DEVMODEW* devmode() { return reinterpret_cast<win::DEVMODEW*>(storage.data()); }
    std::vector<std::uint8_t> area() const { return {storage.begin() + sizeof(win::DEVMODEW), storage.end()}; }
    std::vector<std::uint8_t> storage;
};

std::vector<std::uint8_t> areaWith(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    std::vector<std::uint8_t> area(kCoreAreaSize);
    for (const auto& [offset, value] : bytes) area[offset] = value;
    return area;
}

// The printer's tables: the duplex byte at 5, the tray byte at 9.
void storeTables(PrinterSpooler& spooler, std::uint32_t hash = settings::schemaHash()) {
    spooler.setBinary(std::string(kOffsetsValue), formatKeywordTable({{"ZVDuplex", 5}, {"InputSlot", 9}}, hash));
    spooler.setBinary(std::string(kValuesValue),
                      formatKeywordTable({{"ZVDuplex_False", 0x0170}, {"ZVDuplex_True", 0x0171}, {"InputSlot_Tray2", 2}}, hash));
}

settings::CoreData recordWith(FieldId id, std::string_view option) {
    settings::CoreData record = settings::defaultRecord();
    record.setOption(id, settings::fieldDef(id).options->find(option).value());
    return record;
}

TEST(CoreOptionBytes, TheLowByteOfEachKnownSelectionIsWrittenWhereItDiffers) {
    const KeywordTable offsets{{"ZVDuplex", 5}, {"InputSlot", 9}, {"ZVStaple", 63}, {"ZVLayout", 64}};
    const KeywordTable values{{"ZVDuplex_True", 0x0171}, {"InputSlot_Tray2", 2}, {"ZVStaple_None", 4},
                              {"ZVLayout_None", 6}, {"ZVNup_None", 8}};
    const ppd::FeatureSelections selections{{"ZVDuplex", "True"}, {"InputSlot", "Tray2"}, {"ZVStaple", "None"},
                                            {"ZVLayout", "None"}, {"ZVNup", "None"}, {"ZVDuplex", "Unknown"}};
    std::vector<std::uint8_t> area = areaWith({{9, 2}});
    // The tray byte already holds its value; the layout byte lies one past the area.
    EXPECT_EQ(writeCoreOptionBytes(area, offsets, values, selections), 2u);
    EXPECT_EQ(area, areaWith({{5, 0x71}, {9, 2}, {63, 4}}));
}

TEST(CoreOptionBytes, StayUntouchedWithoutUsableTables) {
    const settings::CoreData record = recordWith(FieldId::Duplex, "False");
    PrinterSpooler otherHash;
    storeTables(otherHash, settings::schemaHash() ^ 1);
    // Offsets alone, or an empty value table, give nothing to write.
    PrinterSpooler offsetsOnly;
    offsetsOnly.setBinary(std::string(kOffsetsValue), formatKeywordTable({{"ZVDuplex", 5}}, settings::schemaHash()));
    PrinterSpooler emptyValues;
    storeTables(emptyValues);
    emptyValues.setBinary(std::string(kValuesValue), formatKeywordTable({}, settings::schemaHash()));
    for (PrinterSpooler* spooler : {&otherHash, &offsetsOnly, &emptyValues}) {
        Devmode devmode;
        EXPECT_EQ(syncCoreDriverOptions(PrinterAccess(*spooler, printerHandle()), devmode.devmode(), record), 0u);
        EXPECT_EQ(devmode.area(), areaWith({}));
    }
}

TEST(PrinterJobServices, ApplyTheInstalledOptionsOfThePrinter) {
    PrinterSpooler spooler;
    PrinterJobServices services(spooler);
    Devmode devmode;
    // A printer described as having no stapler cannot staple.
    std::vector<std::uint8_t> installed(rules::kInstalledOptionsSize);
    installed[0] = 1;
    spooler.setBinary("InstallableOptions", installed);
    settings::CoreData record = recordWith(FieldId::Staple, "2StaplesWide");
    services.applyInstallableOptions(record, devmode.devmode(), printerHandle());
    EXPECT_EQ(record.option(FieldId::Staple), 0u);
    // Without a printer nothing is known and nothing is cleared.
    record = recordWith(FieldId::Staple, "2StaplesWide");
    services.applyInstallableOptions(record, devmode.devmode(), nullptr);
    EXPECT_NE(record.option(FieldId::Staple), 0u);
}

TEST(DevModeRequests, TheDefaultDuplexGoesThroughTheRulesAndTheCoreBytesFollow) {
    PrinterSpooler spooler;
    storeTables(spooler);
    spooler.setDword("DefaultDuplex", 0);
    PrinterJobServices job(spooler);
    postscript::FeatureTexts texts;
    postscript::TabSheets tabs;
    postscript::JobIdentity identity;
    const frame::Environment environment{&spooler, &job, &texts, &tabs, &identity};
    Devmode devmode;
    std::vector<std::uint8_t> block(settings::kPrivateBlockSize);
    win::OEMDMPARAM param{.cbSize = sizeof param, .pdriverobj = nullptr, .hPrinter = printerHandle(), .hModule = nullptr,
                          .pPublicDMIn = devmode.devmode(), .pPublicDMOut = nullptr, .pOEMDMIn = nullptr,
                          .pOEMDMOut = block.data(), .cbBufSize = settings::kPrivateBlockSize};
    ASSERT_EQ(frame::devMode(win::OEMDM_DEFAULT, &param, environment), win::S_OK);

    const auto& record = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(block.data(), block.size()));
    EXPECT_EQ(record.option(FieldId::Duplex), 0u);
    EXPECT_EQ(devmode.area(), areaWith({{5, 0x70}}));
}

}  // namespace
