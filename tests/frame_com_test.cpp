// The COM face of the plug-in: class factory, plug-in object, interface
// answers, GetInfo and the helper interfaces.
#include <gtest/gtest.h>

#include "frame/module_state.h"
#include "frame/plugin_object.h"
#include "frame_fixtures.h"
#include "platform/last_error.h"

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

TEST(FrameCom, ClassObjectAndFactoryRefuseWhatTheyDoNotMake) {
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(frame::getClassObject(&IID_IUnknown, &IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, nullptr), E_OUTOFMEMORY);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(frame::getClassObject(&CLSID_OEMRENDER, &IID_IPrintOemPS, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);

    IClassFactory* factory = frame::createClassFactory();
    EXPECT_EQ(factory->lpVtbl->QueryInterface(factory, &IID_IUnknown, &out), S_OK);
    EXPECT_EQ(out, factory);
    EXPECT_EQ(factory->lpVtbl->QueryInterface(factory, &IID_IPrintOemPS2, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, nullptr), E_POINTER);
    out = reinterpret_cast<void*>(1);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, reinterpret_cast<IUnknown*>(factory), &IID_IPrintOemPS2, &out),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    factory->lpVtbl->Release(factory);
    factory->lpVtbl->Release(factory);
}

TEST(FrameCom, PlugInAnswersItsThreeInterfacesOnly) {
    IPrintOemPS2* plugin = newPlugin();
    for (const GUID* iid : {&IID_IUnknown, &IID_IPrintOemPS, &IID_IPrintOemPS2}) {
        void* out = nullptr;
        EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, iid, &out), S_OK);
        EXPECT_EQ(out, plugin);
        plugin->lpVtbl->Release(plugin);
    }
    void* out = reinterpret_cast<void*>(1);
    EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, &IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(plugin->lpVtbl->QueryInterface(plugin, &IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(plugin->lpVtbl->WritePrinter(plugin, nullptr, nullptr, 0, nullptr), E_NOTIMPL);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
}

TEST(FrameCom, GetInfoAnswersOrFailsWithTheLastErrorSet) {
    // The signature and version are checked by the host in every job.
    DWORD value = 0;
    DWORD needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETREQUESTEDHELPERINTERFACES, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, OEMPUBLISH_IPRINTCOREHELPER);
    needed = 0;
    EXPECT_EQ(frame::getInfo(OEMGI_GETPUBLISHERINFO, &value, sizeof value, &needed), E_NOTIMPL);
    EXPECT_EQ(needed, 8u);

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

// Each helper reference the plug-in takes is given back by DisableDriver or
// the last release; a second publication keeps what is held.
TEST(FrameCom, HelpersAreHeldUntilDisableDriverOrTheLastRelease) {
    testing::FakeDriverHelpers host;
    IPrintOemPS2* plugin = newPlugin();
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, nullptr), E_FAIL);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(host.references, 2);
    EXPECT_EQ(plugin->lpVtbl->DisableDriver(plugin), S_OK);
    EXPECT_EQ(host.references, 0);
    EXPECT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
    EXPECT_EQ(host.references, 0);
}

TEST(FrameCom, CommandWithoutAHelperWritesNothingYetSucceeds) {
    testing::FakeEnvironment environment;
    testing::FakeDevice device;
    IPrintOemPS2* plugin = newPlugin();
    DWORD result = 1;
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_ENDSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    plugin->lpVtbl->Release(plugin);
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
