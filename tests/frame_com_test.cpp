// The COM face of the plug-in: class factory, plug-in object, reference
// counts, interface answers, GetInfo and the helper interfaces.
#include <gtest/gtest.h>

#include "frame/module_state.h"
#include "frame/plugin_object.h"
#include "frame_fixtures.h"
#include "platform/last_error.h"
#include "settings/schema_hash.h"

namespace tvzx {
namespace {

using namespace tvzx::win;

IPrintOemPS2* newPlugin() {
    IClassFactory* factory = nullptr;
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    IPrintOemPS2* plugin = nullptr;
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin)),
              S_OK);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 0u);
    return plugin;
}

TEST(FrameCom, ClassObjectIsOnlyForTheRenderingPlugInClass) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(frame::getClassObject(&IID_IUnknown, &IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, nullptr), E_OUTOFMEMORY);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IPrintOemPS, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

TEST(FrameCom, FactoryCountsReferencesAndAnswersItsInterfaces) {
    IClassFactory* factory = frame::createClassFactory();
    EXPECT_EQ(factory->lpVtbl->AddRef(factory), 2u);
    void* out = nullptr;
    EXPECT_EQ(factory->lpVtbl->QueryInterface(factory, &IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, factory);
    EXPECT_EQ(factory->lpVtbl->QueryInterface(factory, &IID_IPrintOemPS2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 2u);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 1u);

    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, nullptr), E_POINTER);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, reinterpret_cast<IUnknown*>(factory), &IID_IPrintOemPS2, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->Release(factory), 0u);
}

TEST(FrameCom, LockServerDecidesWhetherTheModuleMayUnload) {
    IClassFactory* factory = frame::createClassFactory();
    const std::int32_t before = frame::serverLockCount();
    ASSERT_EQ(before, 0);
    EXPECT_EQ(frame::canUnloadNow(), S_OK);
    EXPECT_EQ(factory->lpVtbl->LockServer(factory, 1), S_OK);
    EXPECT_EQ(frame::serverLockCount(), 1);
    EXPECT_EQ(frame::canUnloadNow(), S_FALSE);
    EXPECT_EQ(factory->lpVtbl->LockServer(factory, 0), S_OK);
    EXPECT_EQ(frame::canUnloadNow(), S_OK);
    factory->lpVtbl->Release(factory);
}

TEST(FrameCom, PlugInAnswersItsThreeInterfacesOnly) {
    IPrintOemPS2* plugin = newPlugin();
    for (const GUID* iid : {&IID_IUnknown, &IID_IPrintOemPS, &IID_IPrintOemPS2}) {
        void* out = nullptr;
        EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, iid, &out), S_OK);
        EXPECT_EQ(out, plugin);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, &IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, &IID_IUnknown, nullptr), E_POINTER);
    // Three successful answers added three references to the creation one.
    EXPECT_EQ(plugin->lpVtbl->AddRef(plugin), 5u);
    for (win::ULONG expected = 4; expected > 0; --expected) EXPECT_EQ(plugin->lpVtbl->Release(plugin), expected);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
}

TEST(FrameCom, GetInfoAnswersSignatureVersionAndHelpers) {
    DWORD value = 0;
    DWORD needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETSIGNATURE, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(value, 0x54565A58u);
    EXPECT_EQ(frame::getInfo(OEMGI_GETVERSION, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, settings::schemaHash());
    EXPECT_EQ(frame::getInfo(OEMGI_GETREQUESTEDHELPERINTERFACES, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, OEMPUBLISH_IPRINTCOREHELPER);

    needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof value, &needed), E_NOTIMPL);
    EXPECT_EQ(needed, 8u);
}

TEST(FrameCom, GetInfoFailuresSetTheLastError) {
    DWORD value = 0;
    DWORD needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETINTERFACEVERSION, &value, sizeof value, &needed), E_FAIL);
    EXPECT_EQ(platform::lastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(frame::getInfo(OEMGI_GETSIGNATURE, &value, sizeof value, nullptr), E_FAIL);
    EXPECT_EQ(platform::lastError(), ERROR_INVALID_PARAMETER);

    std::uint8_t shortBuffer[3] = {0xAA, 0xAA, 0xAA};
    EXPECT_EQ(frame::getInfo(OEMGI_GETSIGNATURE, shortBuffer, sizeof shortBuffer, &needed), E_FAIL);
    EXPECT_EQ(needed, 4u);
    EXPECT_EQ(platform::lastError(), ERROR_INSUFFICIENT_BUFFER);
    EXPECT_EQ(shortBuffer[0], 0xAA);
    EXPECT_EQ(frame::getInfo(OEMGI_GETSIGNATURE, nullptr, 4, &needed), E_FAIL);
    EXPECT_EQ(platform::lastError(), ERROR_INSUFFICIENT_BUFFER);
}

TEST(FrameCom, HelpersAreHeldUntilDisableDriverOrTheLastRelease) {
    testing::FakeDriverHelpers host;
    IPrintOemPS2* plugin = newPlugin();
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(host.references, 2);
    // A second publication keeps what is held.
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(host.references, 2);
    EXPECT_EQ(plugin->lpVtbl->DisableDriver(plugin), S_OK);
    EXPECT_EQ(host.references, 0);

    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
    EXPECT_EQ(host.references, 0);
}

TEST(FrameCom, PublishingWithoutTheSpoolWriterFails) {
    testing::FakeDriverHelpers host(/*offerCore=*/false);
    IPrintOemPS2* plugin = newPlugin();
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, nullptr), E_FAIL);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(host.references, 1);
    plugin->lpVtbl->Release(plugin);
    EXPECT_EQ(host.references, 0);
}

TEST(FrameCom, CommandWritesThroughTheDriverHelper) {
    testing::FakeEnvironment environment;
    testing::FakeDriverHelpers host;
    testing::FakeDevice device;
    IPrintOemPS2* plugin = newPlugin();
    DWORD result = 0;
    // Without a helper nothing can be written, yet the call succeeds.
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_ENDSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    ASSERT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_ENDSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0], "\x1b%-12345X");
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_PAGES, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, ERROR_NOT_SUPPORTED);
    EXPECT_EQ(plugin->lpVtbl->WritePrinter(plugin, nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    plugin->lpVtbl->Release(plugin);
}

TEST(FrameCom, DevModeAnswersTheBlockSizeAndRejectsBadRequests) {
    testing::FakeEnvironment environment;
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    EXPECT_EQ(frame::devMode(OEMDM_SIZE, &param, frame::environment()), S_OK);
    EXPECT_EQ(param.cbBufSize, settings::kPrivateBlockSize);
    EXPECT_EQ(frame::devMode(OEMDM_SIZE, nullptr, frame::environment()), E_FAIL);
    EXPECT_EQ(platform::lastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(frame::devMode(99, &param, frame::environment()), E_FAIL);
}

// A CONVERT or MERGE that names a device whose document is under way
// leaves the core driver's layout flag as the job set it; without a job
// under way the flag follows the settings.
TEST(FrameCom, DevModeDuringADocumentKeepsTheLayoutFlag) {
    testing::FakeEnvironment environment;
    testing::FakeDevice device;
    device.blockSettings().setOption(settings::FieldId::NUpCount, 3);
    std::vector<std::uint8_t> input = device.privateBlock;
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    param.pPublicDMIn = param.pPublicDMOut = &device.publicDevmode();
    param.pOEMDMIn = input.data();
    param.pOEMDMOut = device.privateBlock.data();
    param.cbBufSize = settings::kPrivateBlockSize;
    param.pdriverobj = &device.devObj;
    for (const DWORD mode : {OEMDM_CONVERT, OEMDM_MERGE}) {
        device.state().documentStartCount = 1;
        device.layoutFlag() = 0;
        EXPECT_EQ(frame::devMode(mode, &param, frame::environment()), S_OK);
        EXPECT_EQ(device.layoutFlag(), 0) << mode;
        device.state().documentStartCount = 0;
        EXPECT_EQ(frame::devMode(mode, &param, frame::environment()), S_OK);
        EXPECT_EQ(device.layoutFlag(), 1) << mode;
    }
}

}  // namespace
}  // namespace tvzx
