// The injection-point dispatcher: what each injection point writes, in
// which order, for a one-page job, and what it leaves out.
#include <gtest/gtest.h>

#include "device/module_state.h"
#include "frame/plugin_callbacks.h"
#include "frame_fixtures.h"
#include "pjl/ticket.h"
#include "postscript/dsc_comments.h"
#include "postscript/injection.h"

namespace tvzx {
namespace {

using namespace tvzx::win;
using settings::FieldId;

struct FixedIdentity final : postscript::JobIdentity {
    std::string notificationId(std::u16string_view printer, std::u16string_view document) override {
        askedPrinter = printer;
        askedDocument = document;
        return "ACDE48000000";
    }
    std::string userName() override { return user; }

    std::string user = "jdoe";
    std::u16string askedPrinter, askedDocument;
};

// The core helper's answers by "feature/option"; a missing pair fails.
struct FakeCoreHelper final : postscript::CoreHelper {
    HRESULT getOptionAttribute(DEVOBJ*, const char* feature, const char* option, const char* attribute,
                               DWORD* dataType, std::uint8_t* buffer, DWORD size, DWORD* needed) override {
        EXPECT_STREQ(attribute, "Invocation");
        const auto it = answers.find(std::string(feature) + "/" + option);
        if (it == answers.end()) return E_FAIL;
        *dataType = type;
        *needed = static_cast<DWORD>(it->second.size());
        if (buffer == nullptr) return E_OUTOFMEMORY;
        if (failData) return E_FAIL;
        std::memcpy(buffer, it->second.data(), std::min<std::size_t>(size, it->second.size()));
        return S_OK;
    }

    std::map<std::string, std::string> answers;
    DWORD type = kADT_BINARY;
    bool failData = false;
};

class Injection : public ::testing::Test {
protected:
    void SetUp() override {
        device::setTabDocumentActive(false);
        nameDocument(u"Report2024");
        device.state().bitmapWidth = 4960;
        device.state().bitmapHeight = 7016;
        core.answers["ZVPrintMode/Print"] = "<< /PrintMode 0 >> setpagedevice";
        core.answers["ZVOutputMethod/Print"] = "<< /OutputMethod 0 >> setpagedevice";
    }
    void TearDown() override { device::setTabDocumentActive(false); }

    void nameDocument(std::u16string_view name) {
        device.state().documentName.fill(u'\0');
        std::copy(name.begin(), name.end(), device.state().documentName.begin());
    }

    DWORD command(DWORD index) { return commandOn(&device.devObj, index); }
    DWORD commandOn(DEVOBJ* devObj, DWORD index) {
        DWORD result = 12345;
        EXPECT_EQ(postscript::dispatch(devObj, index, &sink, &core, &result, services()), S_OK);
        return result;
    }
    postscript::InjectionServices services() {
        return {environment.job, environment.spooler, texts, environment.tabs, identity};
    }
    settings::CoreData validatedBlockSettings() {
        settings::CoreData record = device.blockSettings();
        settings::validateRecord(record);
        return record;
    }

    testing::FakeEnvironment environment;
    testing::MarkerTexts texts;
    FixedIdentity identity;
    FakeCoreHelper core;
    testing::FakeDevice device;
    StringSink sink;
};

TEST_F(Injection, OnePageJobInStreamOrder) {
    const settings::CoreData settings = validatedBlockSettings();
    const std::string bitmap = "%%TARVO-BitmapSize: 4960 7016\r\n";
    const std::string ticket = pjl::buildJobTicket(settings, {"Report2024", "jdoe", "ACDE48000000"});
    const std::string expected =
        "\x1b%-12345X@PJL\r\n" + ticket + "@PJL ENTER LANGUAGE = POSTSCRIPT\r\n" + postscript::jobSettingsComments(settings) +
        "%%TARVO-TitleEx: Report2024\r\n%%TARVO-ForEx: jdoe\r\n" + bitmap + "<setup>\r\nTVZXFeatures /TVZXPlugInSettings {\r\n"
        "<< /PrintMode 0 >> setpagedevice\r\n<< /OutputMethod 0 >> setpagedevice\r\n} bind executeonly put\r\n"
        "<end of setup>\r\n" + bitmap + "<page head>\r\n<page 1>\r\n<page trailer>\r\n<trailer>\r\n\x1b%-12345X";
    for (DWORD index : {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE, PSINJECT_COMMENTS, PSINJECT_BEGINSETUP,
                        PSINJECT_ENDSETUP, PSINJECT_BEGINPAGESETUP, PSINJECT_PAGETRAILER, PSINJECT_TRAILER})
        EXPECT_EQ(command(index), 0u) << index;
    EXPECT_EQ(device.state().pageCounter, 1u);
    EXPECT_EQ(command(PSINJECT_ENDSTREAM), 0u);
    EXPECT_EQ(device.state().pageCounter, 0u);
    EXPECT_EQ(sink.text, expected);
    EXPECT_EQ(std::pair(identity.askedPrinter, identity.askedDocument),
              (std::pair<std::u16string, std::u16string>(u"Production 1", u"Report2024")));
}

TEST_F(Injection, UnknownIndexWritesNothingButKeepsTheLayoutFlagInStepAndPagesCountFromOne) {
    device.blockSettings().setOption(FieldId::NUpCount, 2);
    for (DWORD index : {PSINJECT_PAGES, PSINJECT_VMSAVE}) EXPECT_EQ(command(index), ERROR_NOT_SUPPORTED) << index;
    EXPECT_EQ(std::pair(sink.text, device.layoutFlag()), std::pair(std::string(), std::uint8_t{1}));
    // Pages are counted from one and cleared at the stream's edges.
    device.state().restorePending = 1;
    command(PSINJECT_BEGINSTREAM);
    EXPECT_EQ(device.state().restorePending, 0);
    // Counting needs no helper.
    EXPECT_EQ(postscript::dispatch(&device.devObj, PSINJECT_BEGINPAGESETUP, nullptr, nullptr, nullptr, services()), S_OK);
    EXPECT_EQ(device.state().pageCounter, 1u);
}

// The procedure of the output settings comes once per job, before the pages,
// with the pairs the core helper answers.
TEST_F(Injection, SettingsProcedureOncePerJobOfTheAnsweredPairs) {
    core.answers.erase("ZVPrintMode/Print");
    command(PSINJECT_BEGINSETUP);
    EXPECT_EQ(sink.text.find("PrintMode"), std::string::npos);
    EXPECT_NE(sink.text.find("TVZXPlugInSettings {\r\n<< /OutputMethod 0 >> setpagedevice\r\n}"), std::string::npos);
    sink = StringSink{};
    command(PSINJECT_BEGINPAGESETUP);
    command(PSINJECT_BEGINSETUP);
    EXPECT_EQ(sink.text.find("TVZXPlugInSettings"), std::string::npos);
    EXPECT_NE(sink.text.find("<setup>"), std::string::npos);
    // Without any answer there is no procedure at all.
    sink = StringSink{};
    device.state().pageCounter = 0;
    core.failData = true;
    command(PSINJECT_BEGINSETUP);
    EXPECT_EQ(sink.text.find("TVZXPlugInSettings"), std::string::npos);
}

TEST_F(Injection, HeaderByteTwentySuppressesOnlyTheSettingsProcedure) {
    device.privateBlock[settings::kSuppressionOffset] = 1;
    command(PSINJECT_BEGINSETUP);
    EXPECT_EQ(sink.text, "%%TARVO-BitmapSize: 4960 7016\r\n<setup>\r\n");
}

TEST_F(Injection, TabDocumentsAreRecognisedByTheirNames) {
    // Another document does not clear it; disabling the device does, however
    // many tab documents the device went through.
    using Document = std::pair<std::u16string_view, bool>;
    for (const auto& [name, active] : {Document{u"Report2024", false}, {u"Inserted Tab before page 3", true},
                                       {u"Inserted Tab before page 7", true}, {u"", true}}) {
        nameDocument(name);
        command(PSINJECT_COMMENTS);
        EXPECT_EQ(device::tabDocumentActive(), active) << name.size();
    }
    frame::disablePdev(&device.devObj);
    EXPECT_FALSE(device::tabDocumentActive());
}

TEST_F(Injection, CommentsLeaveOutEmptyTitleAndUserAndFallBackToTheDefaults) {
    nameDocument(u"");
    identity.user.clear();
    command(PSINJECT_COMMENTS);
    EXPECT_EQ(sink.text, postscript::jobSettingsComments(validatedBlockSettings()));
    // An invalid private block gives the defaults for that call.
    sink = StringSink{};
    device.blockSettings().setOption(FieldId::Staple, 1);
    device.privateBlock[settings::kSignatureOffset] ^= 0xFF;
    command(PSINJECT_COMMENTS);
    EXPECT_EQ(sink.text, postscript::jobSettingsComments(settings::defaultRecord()));
}

TEST_F(Injection, WithoutDeviceObjectOnlyTheTrailerOfAStateIsWritten) {
    for (DWORD index : {PSINJECT_BEGINSTREAM, PSINJECT_PSADOBE, PSINJECT_COMMENTS, PSINJECT_BEGINSETUP,
                        PSINJECT_ENDSETUP, PSINJECT_BEGINPAGESETUP, PSINJECT_PAGETRAILER, PSINJECT_ENDSTREAM})
        EXPECT_EQ(commandOn(nullptr, index), 0u);
    testing::FakeDevice stateless(/*withState=*/false);
    commandOn(&stateless.devObj, PSINJECT_TRAILER);
    commandOn(&stateless.devObj, PSINJECT_BEGINPAGESETUP);
    EXPECT_TRUE(sink.text.empty());
    // A device object whose only content is the state.
    DEVOBJ bare{};
    bare.pdevOEM = &device.state();
    commandOn(&bare, PSINJECT_TRAILER);
    EXPECT_EQ(sink.text, "<trailer>\r\n");
}

TEST(InjectionPieces, InvocationIsFetchedInTwoStepsAndUserNameLosesItsDomain) {
    FakeCoreHelper core;
    core.answers["ZVPrintMode/Print"] = std::string("code\0tail", 9);
    EXPECT_EQ(postscript::fetchInvocation(core, nullptr, {"ZVPrintMode", "Print"}), "code");
    EXPECT_EQ(postscript::fetchInvocation(core, nullptr, {"ZVPrintMode", "Wait"}), "");
    core.type = kADT_ASCII;
    EXPECT_EQ(postscript::fetchInvocation(core, nullptr, {"ZVPrintMode", "Print"}), "");
    for (const auto& [name, user] : {std::pair{"a\\b\\c", "c"}, {"jdoe", "jdoe"}, {"CORP\\", ""}})
        EXPECT_EQ(postscript::withoutDomain(name), user) << name;
}

}  // namespace
}  // namespace tvzx
