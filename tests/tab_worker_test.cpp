// The tab worker: what it checks before it prints and what it hands the base
// module. The worker process's round trip through the shared block runs in
// the tab job tests of the host.
#include <gtest/gtest.h>

#include <cstring>

#include "common/byte_order.h"
#include "rules/page_exceptions.h"
#include "settings/field_id.h"
#include "tabs/exchange_record.h"
#include "tabs/tab_worker.h"

namespace tvzx::tabs {
namespace {

using settings::FieldId;

// What the base module's entry was called with.
struct BaseCall {
    void* printer = nullptr;
    std::u16string printerName, temporaryPath, documentName;
    std::uint32_t jobId = 0;
    std::uint16_t orientation = 0, printQuality = 0, yResolution = 0, scale = 0;
    std::uint32_t informationSize = 0;
    std::array<std::uint8_t, 4> information{};
    std::string label;
    std::vector<std::uint8_t> settings;
    std::uint32_t corePrivateOffset = 0;
    bool operator==(const BaseCall&) const = default;
};
int baseCalls = 0;
BaseCall baseCall;
std::int32_t baseResult = 1;

std::int32_t TVZX_STDCALL recordingCreateTabDocument(
    void* printer, const char16_t* printerName, const char16_t* temporaryPath, const char16_t* documentName,
    std::uint32_t jobId, std::uint16_t orientation, std::uint16_t printQuality, std::uint16_t yResolution,
    std::uint16_t scale, std::uint32_t informationSize, const TabInformation* information, std::uint32_t settingsSize,
    const std::uint8_t* settings, std::uint32_t corePrivateOffset) {
    const auto* bytes = information->bytes;
    baseCall = {printer, printerName, temporaryPath, documentName, jobId, orientation, printQuality, yResolution,
                scale, informationSize, {bytes[0], bytes[1], bytes[2], bytes[3]}, information->label,
                std::vector<std::uint8_t>(settings, settings + settingsSize), corePrivateOffset};
    return ++baseCalls, baseResult;
}

// A base module that is present and exports its entry unless told otherwise.
class BaseLoader final : public platform::LibraryLoader, public platform::LoadedLibrary {
public:
    std::unique_ptr<platform::LoadedLibrary> load(std::u16string_view path) override {
        loaded.emplace_back(path);
        return present ? std::make_unique<BaseLoader>(*this) : nullptr;
    }
    void* symbol(const char* name) const override {
        if (!exports || std::strcmp(name, kCreateTabDocumentExport) != 0) return nullptr;
        return reinterpret_cast<void*>(&recordingCreateTabDocument);
    }
    bool present = true, exports = true;
    std::vector<std::u16string> loaded;
};

// A spooler that opens one printer by name and knows its DEVMODE.
class NamedPrinterSpooler final : public platform::Spooler {
public:
    std::unique_ptr<platform::PrinterData> printerData(void*) override { return nullptr; }
    std::optional<std::u16string> printerName(void*) override { return u"Production 1"; }
    std::optional<std::u16string> jobParameters(void*, std::uint32_t) override { return std::nullopt; }
    std::optional<std::vector<std::uint8_t>> printerDevMode(void* printer) override {
        return printer != nullptr ? std::optional(devMode) : std::nullopt;
    }
    void* openPrinter(std::u16string_view name) override { return ++opened, name == u"Production 1" ? &token : nullptr; }
    void closePrinter(void* printer) override { closed += printer == &token; }
    std::vector<std::uint8_t> devMode;
    int token = 0, opened = 0, closed = 0;
};

// Returns a DEVMODE of a public part of `publicSize` bytes and a driver part
// of `driverSize` bytes that notes `offset` for the core driver.
std::vector<std::uint8_t> devModeWith(std::uint16_t publicSize, std::uint16_t driverSize, std::uint16_t offset) {
    std::vector<std::uint8_t> devMode(publicSize + driverSize);
    writeLittleEndian(devMode.data() + 68, 2, publicSize);
    writeLittleEndian(devMode.data() + 70, 2, driverSize);
    if (publicSize + 116u <= devMode.size()) writeLittleEndian(devMode.data() + publicSize + 114, 2, offset);
    return devMode;
}

class TabWorkerTest : public ::testing::Test {
public:
    TabWorkerTest() {
        baseCalls = 0;
        baseResult = 1;
        exchange = {.module = 0x1000, .printerName = u"Production 1", .temporaryPath = u"/spool/TP1a.tmp",
                    .documentName = u"Inserted Tab before 2", .orientation = 2, .printQuality = 0xFFFD,
                    .yResolution = 1200, .settings = settings::defaultRecord(), .jobId = 9,
                    .tabInformation = {0, 1, 1, 3}, .label = "Index"};
        rules::PageException record;
        record.kind = 5;
        record.pageRanges = {{2, 2}};
        const auto encoded = rules::encodePageExceptions(std::vector<rules::PageException>{record});
        std::ranges::copy(encoded.block, exchange.settings.field(FieldId::PageSpecificTrays).begin());
        spooler.devMode = devModeWith(220, 300, 1234);
    }

    std::uint32_t run() {
        std::vector<std::uint8_t> record(kExchangeRecordSize);
        writeExchange(exchange, record);
        TabWorkerServices services{spooler, loader, [this](void* module) -> std::optional<std::u16string> {
                                       baseAskedFor = module;
                                       return u"/drivers/tvzx.dll";
                                   }};
        return tabWorker(record, services);
    }

    TabExchange exchange;
    NamedPrinterSpooler spooler;
    BaseLoader loader;
    void* baseAskedFor = nullptr;
};

TEST_F(TabWorkerTest, HandsTheTabSheetToTheBaseModule) {
    EXPECT_EQ(run(), kWorkerSucceeded);
    EXPECT_EQ(loader.loaded, std::vector<std::u16string>{u"/drivers/tvzx.dll"});
    EXPECT_EQ(baseAskedFor, reinterpret_cast<void*>(0x1000));
    ASSERT_EQ(baseCalls, 1);
    // Without a handle the printer is opened by name, and closed again.
    EXPECT_EQ(baseCall, (BaseCall{&spooler.token, u"Production 1", u"/spool/TP1a.tmp", u"Inserted Tab before 2", 9, 2,
                                  0xFFFD, 1200, kDefaultScale, 12, {0, 1, 1, 3}, "Index",
                                  {exchange.settings.bytes.begin(), exchange.settings.bytes.end()}, 1234}));
    EXPECT_EQ(std::pair(spooler.opened, spooler.closed), std::pair(1, 1));
    // A printer handed in the same process is used as it is and left open.
    int handed = 0;
    exchange.printer = reinterpret_cast<std::uintptr_t>(&handed);
    EXPECT_EQ(run(), kWorkerSucceeded);
    EXPECT_EQ(std::pair(baseCall.printer, spooler.opened + spooler.closed), (std::pair<void*, int>(&handed, 2)));
    // Only the low byte of the entry's result counts.
    for (const auto& [result, expected] : {std::pair{0x100, kWorkerFailed}, {0x101, kWorkerSucceeded}}) {
        baseResult = result;
        EXPECT_EQ(run(), expected) << result;
    }
}

TEST_F(TabWorkerTest, FailsBeforePrintingWithoutWhatItNeeds) {
    const struct {
        const char* what;
        std::function<void(TabWorkerTest&)> spoil;
    } cases[] = {
        {"no module", [](TabWorkerTest& t) { t.exchange.module = 0; }},
        {"no tab records", [](TabWorkerTest& t) { t.exchange.settings = settings::defaultRecord(); }},
        {"tab image shifted", [](TabWorkerTest& t) { t.exchange.settings.setOption(FieldId::TabImageShift, 1); }},
        {"no base module", [](TabWorkerTest& t) { t.loader.present = false; }},
        {"no entry", [](TabWorkerTest& t) { t.loader.exports = false; }},
        {"unknown printer", [](TabWorkerTest& t) { t.exchange.printerName = u"Elsewhere"; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TabExchange saved = exchange;
        c.spoil(*this);
        EXPECT_EQ(run(), kWorkerFailed);
        EXPECT_EQ(baseCalls, 0);
        exchange = saved;
        loader.present = loader.exports = true;
    }
}

TEST(CorePrivateOffset, ReadOnlyFromALongEnoughDriverPart) {
    EXPECT_EQ(corePrivateOffset(devModeWith(220, 116, 0x1234)), 0u);
    EXPECT_EQ(corePrivateOffset(devModeWith(220, 117, 0x1234)), 0x1234u);
    // A DEVMODE shorter than its sizes say is not read past its end.
    std::vector<std::uint8_t> cut = devModeWith(220, 300, 0x1234);
    cut.resize(300);
    EXPECT_EQ(corePrivateOffset(cut), 0u);
    EXPECT_EQ(corePrivateOffset({}), 0u);
}

}  // namespace
}  // namespace tvzx::tabs
