// The hook table, the pass-through hooks, the document and page hooks with
// their settings synchronisation, and the escape filter.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "frame/document_hooks.h"
#include "frame/escape_filter.h"
#include "frame/hook_table.h"
#include "device/layout_override.h"
#include "frame/plugin_callbacks.h"
#include "frame/plugin_object.h"
#include "common/wide_text.h"
#include "frame_fixtures.h"
#include "settings/feature_tables.h"
#include "tab_fakes.h"

namespace tvzx {
namespace {

using namespace tvzx::win;
using settings::FieldId;

// What the driver's own functions were asked.
struct DriverCalls {
    int startDoc = 0, startPage = 0, endDoc = 0, escape = 0, copyBits = 0, queryFontData = 0;
    RECTL* rectangle = nullptr;
    ULONG lastEscape = 0;
} calls;

BOOL TVZX_STDCALL driverStartDoc(SURFOBJ*, WCHAR*, DWORD) { return ++calls.startDoc, 11; }
BOOL TVZX_STDCALL driverStartPage(SURFOBJ*) { return ++calls.startPage, 12; }
BOOL TVZX_STDCALL driverEndDoc(SURFOBJ*, FLONG) { return ++calls.endDoc, 13; }
ULONG TVZX_STDCALL driverEscape(SURFOBJ*, ULONG escape, ULONG, void*, ULONG, void*) {
    return ++calls.escape, calls.lastEscape = escape, 14;
}
BOOL TVZX_STDCALL driverCopyBits(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL* rectangle, POINTL*) {
    return ++calls.copyBits, calls.rectangle = rectangle, 15;
}
LONG TVZX_STDCALL driverQueryFontData(DHPDEV, FONTOBJ*, ULONG, ULONG, GLYPHDATA*, void*, ULONG size) {
    return ++calls.queryFontData, static_cast<LONG>(size);
}

// The driver's own table: everything the tests call, but no DrvBitBlt.
DRVFN driverFunctions[] = {
    {INDEX_DrvStartDoc, reinterpret_cast<PFN>(&driverStartDoc)}, {INDEX_DrvEndDoc, reinterpret_cast<PFN>(&driverEndDoc)},
    {INDEX_DrvStartPage, reinterpret_cast<PFN>(&driverStartPage)}, {INDEX_DrvEscape, reinterpret_cast<PFN>(&driverEscape)},
    {INDEX_DrvCopyBits, reinterpret_cast<PFN>(&driverCopyBits)},
    {INDEX_DrvQueryFontData, reinterpret_cast<PFN>(&driverQueryFontData)},
};
DRVENABLEDATA driverTable{0x00050000, std::size(driverFunctions), driverFunctions};

class FrameHooks : public ::testing::Test {
protected:
    void SetUp() override {
        calls = {};
        frame::captureDriverFunctions(device.state(), &driverTable);
    }

    template <typename Function>
    Function hook(frame::HookSlot slot) {
        return reinterpret_cast<Function>(frame::hookTable()[static_cast<std::size_t>(slot)].pfn);
    }

    BOOL startDoc(const char16_t* name = u"Report", DWORD jobId = 0) {
        return frame::hookStartDoc(&device.surface, const_cast<char16_t*>(name), jobId);
    }
    settings::CoreData& block() { return device.blockSettings(); }
    settings::CoreData& captured() { return device.state().settings; }

    testing::FakeEnvironment environment;
    testing::FakeDevice device;
};

TEST(FrameHookTable, DescribesTwentySevenHooksInSlotOrder) {
    DRVENABLEDATA data{};
    EXPECT_EQ(frame::enableDriver(&data), S_OK);
    EXPECT_EQ(frame::enableDriver(nullptr), S_OK);
    EXPECT_EQ(data.iDriverVersion, PRINTER_OEMINTF_VERSION);
    ASSERT_EQ(data.c, 27u);
    const ULONG expected[] = {12, 19, 18, 20, 69, 70, 74, 71, 68, 23, 14, 15, 16, 33,
                              32, 24, 35, 34, 26, 27, 28, 53, 47, 37, 64, 65, 76};
    for (ULONG i = 0; i < data.c; ++i) {
        EXPECT_EQ(data.pdrvfn[i].iFunc, expected[i]) << "slot " << i;
        EXPECT_NE(data.pdrvfn[i].pfn, nullptr);
    }
}

TEST_F(FrameHooks, PassThroughHooksCallTheDriverWithTheirArguments) {
    RECTL rectangle{};
    auto copyBits = hook<PFN_DrvCopyBits>(frame::HookSlot::CopyBits);
    EXPECT_EQ(copyBits(&device.surface, nullptr, nullptr, nullptr, &rectangle, nullptr), 15);
    EXPECT_EQ(std::tuple(calls.copyBits, calls.rectangle), std::tuple(1, &rectangle));
    // The font calls find the device through the device handle itself.
    auto queryFontData = hook<PFN_DrvQueryFontData>(frame::HookSlot::QueryFontData);
    EXPECT_EQ(queryFontData(&device.devObj, nullptr, 0, 0, nullptr, nullptr, 33), 33);
    // The driver has no DrvBitBlt, and a surface without device has no state.
    auto bitBlt = hook<PFN_DrvBitBlt>(frame::HookSlot::BitBlt);
    EXPECT_EQ(bitBlt(&device.surface, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, 0),
              0);
    SURFOBJ orphan{};
    EXPECT_EQ(copyBits(&orphan, nullptr, nullptr, nullptr, &rectangle, nullptr), 0);
    EXPECT_EQ(calls.copyBits, 1);
}

TEST_F(FrameHooks, DocumentStartKeepsTheNameAndWakesThePrinter) {
    std::u16string longName(600, u'x');
    longName[510] = u'y';
    EXPECT_EQ(startDoc(longName.c_str(), 42), 11);
    const device::DeviceState& state = device.state();
    EXPECT_EQ(untilNul(state.documentName.data(), state.documentName.size()), longName.substr(0, 511));
    EXPECT_EQ(environment.job.wokenPrinters, std::vector<std::u16string>{u"Production 1"});

    // Without a printer name there is no one to wake.
    environment.spooler.name = u"";
    startDoc();
    EXPECT_EQ(environment.job.wokenPrinters.size(), 1u);
}

// Only the outer of nested documents captures the settings; after one end
// too many the count does not wrap, and the next document captures again.
TEST_F(FrameHooks, NestedDocumentsCaptureTheSettingsOnce) {
    startDoc(u"Outer");
    block().setOption(FieldId::Staple, 1);
    startDoc(u"Inner");
    EXPECT_EQ(captured().option(FieldId::Staple), 0u);
    EXPECT_EQ(frame::hookEndDoc(&device.surface, 0), 13);
    for (int end = 0; end < 2; ++end) frame::hookEndDoc(&device.surface, 0);
    startDoc(u"Next");
    EXPECT_EQ(captured().option(FieldId::Staple), 1u);
}

TEST_F(FrameHooks, PageStartPutsBackTheOutputMethodAndLayoutOfTheJobStart) {
    block().setOption(FieldId::OutputMethod, 2);
    startDoc();
    block().setOption(FieldId::OutputMethod, 0);
    block().setText(FieldId::AccountTrackDepartmentName, "Changed");
    EXPECT_EQ(frame::hookStartPage(&device.surface), 12);
    EXPECT_EQ(block().option(FieldId::OutputMethod), 2u);
    EXPECT_NE(block().text(FieldId::AccountTrackDepartmentName), "Changed");
    // Neither the N-up nor the page exceptions differ: the core driver's
    // options are left alone.
    EXPECT_EQ(environment.job.coreDriverWrites, 0);
    // The layout of the job start comes back too, and the core driver's options follow.
    block().setOption(FieldId::NUpCount, 3);
    frame::hookStartPage(&device.surface);
    EXPECT_EQ(std::pair(block().option(FieldId::NUpCount), environment.job.coreDriverWrites), std::pair(0u, 1));
}

TEST_F(FrameHooks, NothingIsSynchronisedWithoutAPrivateBlockAtDocumentStart) {
    device.devObj.pOEMDM = nullptr;
    startDoc();
    EXPECT_EQ(device.state().privateDevmodePresent, 0);
    device.devObj.pOEMDM = device.privateBlock.data();
    block().setOption(FieldId::OutputMethod, 2);
    frame::hookStartPage(&device.surface);
    EXPECT_EQ(std::pair(block().option(FieldId::OutputMethod), calls.startPage), std::pair(2u, 1));
}

// A DEVMODE as the spooler keeps it for a job: public part, the core
// driver's part of `extra` bytes stating `corePartSize` at byte 114, then
// the plug-in's block.
std::vector<std::uint8_t> jobDevmode(std::uint16_t extra, std::uint16_t corePartSize,
                                     const settings::CoreData& record) {
    std::vector<std::uint8_t> bytes(sizeof(DEVMODEW) + extra);
    auto* devmode = reinterpret_cast<DEVMODEW*>(bytes.data());
    devmode->dmSize = sizeof(DEVMODEW);
    devmode->dmDriverExtra = extra;
    if (extra >= 116) writeLittleEndian(bytes.data() + sizeof(DEVMODEW) + 114, 2, corePartSize);
    std::vector<std::uint8_t> block(settings::kPrivateBlockSize);
    settings::initialiseBlock(std::span<std::uint8_t, settings::kPrivateBlockSize>(block));
    settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(block)) = record;
    bytes.insert(bytes.end(), block.begin(), block.end());
    return bytes;
}

std::u16string asParameters(std::span<const std::uint8_t> bytes) {
    const std::string text = base64Encode(bytes);
    return std::u16string(text.begin(), text.end());
}

TEST(FrameJobParameters, BlockFollowsTheCoreDriverPartWhenItStatesItsSizeAndHostileOnesGiveNothing) {
    settings::CoreData record = settings::defaultRecord();
    record.setOption(FieldId::OutputMethod, 1);
    // 117 bytes of driver extra state the core part's size at byte 114.
    auto found = frame::recordFromJobParameters(asParameters(jobDevmode(117, 117, record)));
    EXPECT_EQ(found.value_or(settings::defaultRecord()).option(FieldId::OutputMethod), 1u);
    // With 116 the block is looked for right behind the public part, where
    // the core driver's part lies instead.
    EXPECT_FALSE(frame::recordFromJobParameters(asParameters(jobDevmode(116, 116, record))));
    auto bytes = jobDevmode(0, 0, record);
    reinterpret_cast<DEVMODEW*>(bytes.data())->dmDriverExtra = 116;
    EXPECT_TRUE(frame::recordFromJobParameters(asParameters(bytes)));

    // Short or hostile parameters give nothing.
    const auto valid = jobDevmode(117, 117, settings::defaultRecord());
    for (const char16_t* text : {u"", u"QUJD"}) EXPECT_FALSE(frame::recordFromJobParameters(text));
    // Cut anywhere, the block is incomplete.
    for (std::size_t cut : {std::size_t{69}, std::size_t{71}, sizeof(DEVMODEW) + 115, valid.size() - 1})
        EXPECT_FALSE(frame::recordFromJobParameters(asParameters(std::span(valid).first(cut)))) << cut;
    // Sizes that point past the end (the public part's, the core driver
    // part's), and a block under another schema.
    for (std::size_t at :
         {offsetof(DEVMODEW, dmSize), sizeof(DEVMODEW) + 114, sizeof(DEVMODEW) + 117 + settings::kHashOffset}) {
        auto bytes = valid;
        bytes[at] ^= 0xFF;
        bytes[at + 1] ^= 0xFF;
        EXPECT_FALSE(frame::recordFromJobParameters(asParameters(bytes))) << at;
    }
}

TEST_F(FrameHooks, JobParametersDecideTheIdentityAtTheFirstPage) {
    // Unreadable parameters change nothing.
    block().setOption(FieldId::OutputMethod, 2);
    environment.spooler.jobs[41] = u"not a devmode";
    startDoc(u"Report", 41);
    EXPECT_EQ(captured().option(FieldId::OutputMethod), 2u);
    frame::hookEndDoc(&device.surface, 0);

    settings::CoreData submitted = settings::defaultRecord();
    submitted.setOption(FieldId::OutputMethod, 1);
    submitted.setText(FieldId::AccountTrackDepartmentName, "Sales");
    submitted.setOption(FieldId::Staple, 1);
    environment.spooler.jobs[42] = asParameters(jobDevmode(117, 117, submitted));
    startDoc(u"Report", 42);
    EXPECT_EQ(std::tuple(captured().option(FieldId::OutputMethod), captured().text(FieldId::AccountTrackDepartmentName),
                         captured().option(FieldId::Staple), block().option(FieldId::OutputMethod)),
              std::tuple(1u, "Sales", 0u, 1u));
    // Once pages are set up the job's parameters are not read again.
    const int queries = environment.spooler.jobQueries;
    device.state().pageCounter = 1;
    frame::hookStartPage(&device.surface);
    EXPECT_EQ(environment.spooler.jobQueries, queries);
}

class FrameEscapes : public FrameHooks {
protected:
    // Asks whether the escape is supported, naming it little-endian in `width` bytes.
    ULONG querySupport(std::uint64_t escape, std::size_t width) {
        std::vector<std::uint8_t> input(width);
        writeLittleEndian(input.data(), width, escape);
        return frame::hookEscape(&device.surface, QUERYESCSUPPORT, static_cast<ULONG>(width), input.data(), 0, nullptr);
    }
    ULONG askNup(DWORD& answer) {
        DWORD feature = FEATURESETTING_NUP;
        return frame::hookEscape(&device.surface, GET_PS_FEATURESETTING, 4, &feature, 4, &answer);
    }
};

TEST_F(FrameEscapes, DeclinedPassThroughEscapesAreNotSupported) {
    environment.spooler.setDword(std::string(frame::kDeclinePassThroughValue), 0);
    EXPECT_EQ(querySupport(POSTSCRIPT_PASSTHROUGH, 2), 14u);
    calls = {};
    environment.spooler.setDword(std::string(frame::kDeclinePassThroughValue), 1);
    for (const auto& [escape, width] : {std::pair{POSTSCRIPT_PASSTHROUGH, 2}, {POSTSCRIPT_DATA, 4},
                                        {POSTSCRIPT_IGNORE, 1}, {POSTSCRIPT_IDENTIFY, 8}})
        EXPECT_EQ(querySupport(escape, width), 0u) << escape << " in " << width << " bytes";
    EXPECT_EQ(calls.escape, 0);
    // Other escapes, and a query of a width no escape has, go to the driver.
    EXPECT_EQ(querySupport(GET_PS_FEATURESETTING, 4), 14u);
    EXPECT_EQ(querySupport(POSTSCRIPT_PASSTHROUGH, 3), 14u);
    EXPECT_EQ(std::tuple(calls.escape, calls.lastEscape), std::tuple(2, QUERYESCSUPPORT));
}

TEST_F(FrameEscapes, NupQueryIsAnsweredWhenThePlugInLaysOutThePages) {
    DWORD answer = 0;
    EXPECT_EQ(askNup(answer), 14u);
    EXPECT_EQ(device.layoutFlag(), 0);
    block().setOption(FieldId::NUpCount, 3);
    const ULONG answered = askNup(answer);
    EXPECT_EQ(std::tuple(answered, answer, device.layoutFlag(), calls.escape), std::tuple(1u, 1u, 1, 1));
    // Once the pages have started the flag stays as it is.
    device.layoutFlag() = 0;
    device.state().pageCounter = 1;
    EXPECT_EQ(askNup(answer), 14u);
    EXPECT_EQ(device.layoutFlag(), 0);
}

TEST(FrameLayoutOverride, FlagFollowsNupAndTabSheetsWhereThereIsRoom) {
    testing::FakeDevice device;
    testing::RecordingJobServices services;
    settings::CoreData record = settings::defaultRecord();
    auto update = [&] { return device::updateLayoutOverride(&device.publicDevmode(), &record, nullptr, services); };
    EXPECT_EQ(update(), 0);
    services.tabRecord = true;
    EXPECT_EQ(update(), 1);
    EXPECT_EQ(device.layoutFlag(), 1);
    record.setOption(FieldId::TabImageShift, 1);
    EXPECT_EQ(update(), 0);
    EXPECT_EQ(device::updateLayoutOverride(nullptr, &record, nullptr, services), 0);
    EXPECT_EQ(device::updateLayoutOverride(&device.publicDevmode(), nullptr, nullptr, services), 0);
    // Where the flag may stand is the DevMode requests' rule, tested with them.
}

// The settings a device keeps between the driver's calls, seen where they
// end up: the ticket the plug-in object writes. A block changed where it
// lies shows only once an event that may change it has come.
class KeptSettings : public FrameHooks {
protected:
    void SetUp() override {
        FrameHooks::SetUp();
        plugin = testing::publishedPlugin(host);
        ASSERT_NE(plugin, nullptr);
        block().setOption(FieldId::AccountTrack, *settings::fieldDef(FieldId::AccountTrack).options->find("True"));
        block().setText(FieldId::AccountTrackDepartmentName, "Sales");
    }
    void TearDown() override {
        if (plugin != nullptr) plugin->lpVtbl->Release(plugin);
    }

    void command(DEVOBJ& devObj, DWORD index) {
        DWORD result = 1;
        plugin->lpVtbl->Command(plugin, &devObj, index, nullptr, 0, &result);
    }
    std::string ticket(DEVOBJ& devObj) {
        host.writes.clear();
        command(devObj, PSINJECT_PSADOBE);
        std::string text;
        for (const std::string& piece : host.writes) text += piece;
        return text;
    }
    bool staples(DEVOBJ& devObj) { return ticket(devObj).find("@PJL SET FINISH=LEFT1POINT\r\n") != std::string::npos; }
    bool staples() { return staples(device.devObj); }
    bool fourUp() { return ticket(device.devObj).find("=N4\r\n") != std::string::npos; }
    // The department the ticket names.
    std::string department() {
        const std::string text = ticket(device.devObj);
        const std::size_t at = text.find("@PJL SET ZXSECTIONNAME=\"");
        if (at == std::string::npos) return "(none)";
        const std::size_t from = at + 24;
        return text.substr(from, text.find('"', from) - from);
    }
    HRESULT devModeFor(DEVOBJ* devObj) {
        OEMDMPARAM request{sizeof(OEMDMPARAM), devObj, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0};
        return plugin->lpVtbl->DevMode(plugin, OEMDM_SIZE, &request);
    }
    void startPage() { frame::hookStartPage(&device.surface); }

    testing::FakeDriverHelpers host;
    IPrintOemPS2* plugin = nullptr;
};

TEST_F(KeptSettings, DevModeCallNamingTheDeviceBuildsThemAgain) {
    EXPECT_FALSE(staples());
    block().setOption(FieldId::Staple, 1);
    EXPECT_FALSE(staples());
    EXPECT_EQ(devModeFor(&device.devObj), S_OK);
    EXPECT_TRUE(staples());
}

TEST_F(KeptSettings, NoOtherCallOfAJobBuildsThemAgain) {
    startDoc();
    startPage();
    EXPECT_FALSE(staples());
    block().setOption(FieldId::Staple, 1);
    // A DevMode call for no device or for another, every injection point,
    // the page hooks, the N-up question, the margins and a pass-through
    // drawing call.
    testing::FakeDevice other;
    devModeFor(nullptr);
    devModeFor(&other.devObj);
    for (DWORD index : {PSINJECT_BEGINSTREAM, PSINJECT_COMMENTS, PSINJECT_BEGINSETUP, PSINJECT_ENDSETUP,
                        PSINJECT_BEGINPAGESETUP, PSINJECT_PAGETRAILER, PSINJECT_TRAILER, PSINJECT_ENDSTREAM, DWORD{77}})
        command(device.devObj, index);
    startPage();
    DWORD feature = FEATURESETTING_NUP, answer = 0;
    frame::hookEscape(&device.surface, GET_PS_FEATURESETTING, 4, &feature, 4, &answer);
    RECTL margins{};
    BOOL adjusted = 0;
    plugin->lpVtbl->GetPDEVAdjustment(plugin, &device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &margins, sizeof margins,
                                      &adjusted);
    hook<PFN_DrvCopyBits>(frame::HookSlot::CopyBits)(&device.surface, nullptr, nullptr, nullptr, &margins, nullptr);
    frame::hookEndDoc(&device.surface, 0);
    EXPECT_FALSE(staples());
}

// The old device object and the new one may be handed the same DEVMODEs:
// what the old one kept does not pass for the new one's.
TEST_F(KeptSettings, ResetPdevCarriesTheStateButBuildsThemAgain) {
    device.state().pageCounter = 3;
    device.state().settings.setOption(FieldId::Staple, 2);
    EXPECT_FALSE(staples());
    testing::FakeDevice next;
    next.devObj.pOEMDM = device.devObj.pOEMDM;
    next.devObj.pPublicDM = device.devObj.pPublicDM;
    next.devObj.hPrinter = device.devObj.hPrinter;
    block().setOption(FieldId::Staple, 1);
    EXPECT_EQ(plugin->lpVtbl->ResetPDEV(plugin, &device.devObj, &next.devObj), S_OK);
    const device::DeviceState& carried = next.state();
    EXPECT_EQ(std::tuple(carried.pageCounter, carried.settings.option(FieldId::Staple), carried.driverFunctions),
              std::tuple(3u, 2u, device.state().driverFunctions));
    EXPECT_TRUE(staples(next.devObj));
    EXPECT_FALSE(staples(device.devObj));
    EXPECT_EQ(plugin->lpVtbl->ResetPDEV(plugin, nullptr, &next.devObj), S_OK);
}

TEST_F(KeptSettings, DocumentStartReadsTheInstalledOptionsAgain) {
    block().setOption(FieldId::Staple, 1);
    startDoc();
    EXPECT_TRUE(staples());
    // The stapler is taken off the printer while the document is under way.
    environment.job.staplerInstalled = [](const DEVMODEW*, HANDLE) { return false; };
    startPage();
    frame::hookEndDoc(&device.surface, 0);
    EXPECT_TRUE(staples());
    startDoc();
    EXPECT_FALSE(staples());
}

// Another private DEVMODE gives other settings; so does another public
// DEVMODE or printer, for which the printer configuration is another.
TEST_F(KeptSettings, AnotherDevmodeOrPrinterBuildsThemAgain) {
    std::vector<std::uint8_t> otherBlock = device.privateBlock;
    settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(otherBlock))
        .setOption(FieldId::Staple, 1);
    EXPECT_FALSE(staples());
    device.devObj.pOEMDM = otherBlock.data();
    EXPECT_TRUE(staples());
    testing::FakeDevice other;
    environment.job.staplerInstalled = [&](const DEVMODEW* publicDevmode, HANDLE printer) {
        return publicDevmode != other.devObj.pPublicDM && printer != other.devObj.hPrinter;
    };
    device.devObj.pPublicDM = other.devObj.pPublicDM;
    EXPECT_FALSE(staples());
    device.devObj.pPublicDM = &device.publicDevmode();
    EXPECT_TRUE(staples());
    device.devObj.hPrinter = other.devObj.hPrinter;
    EXPECT_FALSE(staples());
}

// A page start that puts the job's own values back into the block makes the
// ticket follow; one with nothing to put back keeps what was built.
TEST_F(KeptSettings, SynchronisationThatRewritesTheBlockBuildsThemAgain) {
    startDoc();
    block().setText(FieldId::AccountTrackDepartmentName, "Changed");
    devModeFor(&device.devObj);
    EXPECT_EQ(department(), "Changed");
    startPage();
    EXPECT_EQ(department(), "Sales");
    // The same for a layout field.
    block().setOption(FieldId::NUpCount, 3);
    devModeFor(&device.devObj);
    EXPECT_TRUE(fourUp());
    startPage();
    EXPECT_FALSE(fourUp());
    block().setOption(FieldId::Staple, 1);
    startPage();
    EXPECT_FALSE(staples());
}

// Once pages are under way a block in step is not looked at again until
// the device is handed another one or a DevMode call comes; then the layout
// fields come back one per page start.
TEST_F(KeptSettings, PagesUnderWaySynchroniseOnlyABlockNotInStep) {
    startDoc();
    startPage();
    command(device.devObj, PSINJECT_BEGINPAGESETUP);
    block().setText(FieldId::AccountTrackDepartmentName, "Changed");
    startPage();
    EXPECT_EQ(block().text(FieldId::AccountTrackDepartmentName), "Changed");

    std::vector<std::uint8_t> otherBlock = device.privateBlock;
    settings::CoreData& other = settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(otherBlock));
    device.devObj.pOEMDM = otherBlock.data();
    startPage();
    EXPECT_EQ(other.text(FieldId::AccountTrackDepartmentName), "Sales");
    EXPECT_EQ(department(), "Sales");

    const std::uint8_t trays = other.field(FieldId::PageSpecificTrays)[0];
    other.setOption(FieldId::NUpCount, 3);
    other.field(FieldId::PageSpecificTrays)[0] = trays ^ 1;
    devModeFor(&device.devObj);
    startPage();
    EXPECT_EQ(std::tuple(other.option(FieldId::NUpCount), other.field(FieldId::PageSpecificTrays)[0],
                         environment.job.coreDriverWrites),
              std::tuple(0u, trays ^ 1, 1));
    startPage();
    EXPECT_EQ(std::pair(other.field(FieldId::PageSpecificTrays)[0], environment.job.coreDriverWrites),
              std::pair(trays, 2));
}

// The driver's calls of a two-page job through the plug-in object: the tab
// sheets' texts come where the page they belong to needs them, each page's
// end-of-page tab work before the page trailer, the sheets after the
// document behind the trailer.
TEST(FrameInjection, TabSheetHooksRunInStreamOrder) {
    testing::FakeEnvironment environment;
    testing::MarkerTexts texts;
    testing::MarkerTabSheets tabs;
    frame::ScopedEnvironment scope{
        frame::Environment{&environment.spooler, &environment.job, &texts, &tabs, &environment.identity}};
    testing::FakeDriverHelpers host;
    testing::FakeDevice device;
    IPrintOemPS2* plugin = testing::publishedPlugin(host);
    ASSERT_NE(plugin, nullptr);
    for (DWORD index : {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE, PSINJECT_COMMENTS, PSINJECT_BEGINSETUP,
                        PSINJECT_ENDSETUP, PSINJECT_BEGINPAGESETUP, PSINJECT_PAGETRAILER, PSINJECT_BEGINPAGESETUP,
                        PSINJECT_PAGETRAILER, PSINJECT_TRAILER, PSINJECT_ENDSTREAM}) {
        DWORD result = 1;
        plugin->lpVtbl->Command(plugin, &device.devObj, index, nullptr, 0, &result);
        EXPECT_EQ(result, 0u) << index;
    }
    plugin->lpVtbl->Release(plugin);
    std::string markers;
    for (const std::string& piece : host.writes)
        for (std::size_t at = piece.find('<'); at != std::string::npos; at = piece.find('<', at + 1))
            if (at == 0 || piece[at - 1] == '\n') markers += piece.substr(at, piece.find('\n', at) + 1 - at);
    EXPECT_EQ(markers,
              "<tab setup>\r\n<setup>\r\n<end of setup>\r\n"
              "<tab capture>\r\n<page head>\r\n<page 1>\r\n<tab begin page 1>\r\n<tab end page>\r\n<page trailer>\r\n"
              "<tab capture>\r\n<page head>\r\n<page 2>\r\n<tab begin page 2>\r\n<tab end page>\r\n<page trailer>\r\n"
              "<trailer>\r\n<tab after document>\r\n");
}

}  // namespace
}  // namespace tvzx
