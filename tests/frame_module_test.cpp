// The built plug-in module, loaded as the driver loads it: only through its
// two exports and the interfaces they lead to.
#include <gtest/gtest.h>

#if !defined(_WIN32)

#include <dlfcn.h>

#include "frame/module_state.h"
#include "frame_fixtures.h"
#include "settings/schema_hash.h"

namespace tvzx {
namespace {

using namespace tvzx::win;

constexpr const char* kModulePath = TVZX_BINARY_DIR "/src/tvzx_ps.dll";

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << "build the tvzx_ps target first: " << dlerror();
        getClassObject = reinterpret_cast<DllGetClassObjectFn>(dlsym(handle, kDllGetClassObjectName.data()));
        canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(handle, kDllCanUnloadNowName.data()));
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);
    }
    void TearDown() override {
        if (handle != nullptr) dlclose(handle);
    }

    IPrintOemPS2* createPlugin(IClassFactory** factoryOut = nullptr) {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        if (factory == nullptr) return nullptr;
        IPrintOemPS2* plugin = nullptr;
        EXPECT_EQ(
            factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin)),
            S_OK);
        if (factoryOut != nullptr)
            *factoryOut = factory;
        else
            factory->lpVtbl->Release(factory);
        return plugin;
    }

    void* handle = nullptr;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

TEST_F(LoadedModule, ExportsOnlyItsTwoEntryPoints) {
    EXPECT_EQ(dlsym(handle, "_ZN4tvzx5frame12canUnloadNowEv"), nullptr);
    EXPECT_EQ(dlsym(handle, "_ZN4tvzx8settings10schemaHashEv"), nullptr);
}

TEST_F(LoadedModule, AnswersGetInfoThroughTheInterfaces) {
    IPrintOemPS2* plugin = createPlugin();
    ASSERT_NE(plugin, nullptr);
    DWORD value = 0;
    DWORD needed = 0;
    EXPECT_EQ(plugin->lpVtbl->GetInfo(plugin, OEMGI_GETSIGNATURE, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, 0x54565A58u);
    EXPECT_EQ(plugin->lpVtbl->GetInfo(plugin, OEMGI_GETVERSION, &value, sizeof value, &needed), S_OK);
    EXPECT_EQ(value, settings::schemaHash());
    EXPECT_EQ(plugin->lpVtbl->GetInfo(plugin, OEMGI_GETINTERFACEVERSION, &value, sizeof value, &needed), E_FAIL);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
}

TEST_F(LoadedModule, RunsAStreamThroughTheDriverHelper) {
    IPrintOemPS2* plugin = createPlugin();
    ASSERT_NE(plugin, nullptr);
    DRVENABLEDATA hooks{};
    EXPECT_EQ(plugin->lpVtbl->EnableDriver(plugin, PRINTER_OEMINTF_VERSION, sizeof hooks, &hooks), S_OK);
    EXPECT_EQ(hooks.c, 27u);

    testing::FakeDriverHelpers host;
    testing::FakeDevice device(/*withState=*/false);
    ASSERT_EQ(plugin->lpVtbl->EnablePDEV(plugin, &device.devObj, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, nullptr,
                                         &device.devObj.pdevOEM),
              S_OK);
    ASSERT_EQ(plugin->lpVtbl->PublishDriverInterface(plugin, host.unknown()), S_OK);
    DWORD result = 99;
    EXPECT_EQ(plugin->lpVtbl->Command(plugin, &device.devObj, PSINJECT_BEGINSTREAM, nullptr, 0, &result), S_OK);
    EXPECT_EQ(result, 0u);
    ASSERT_EQ(host.writes.size(), 1u);
    EXPECT_EQ(host.writes[0], "\x1b%-12345X@PJL\r\n");
    // The module's device state goes back to the module.
    EXPECT_EQ(plugin->lpVtbl->DisablePDEV(plugin, &device.devObj), S_OK);
    EXPECT_EQ(device.devObj.pdevOEM, nullptr);
    EXPECT_EQ(plugin->lpVtbl->Release(plugin), 0u);
    EXPECT_EQ(host.references, 0);
}

TEST_F(LoadedModule, UnloadsOnlyWhenTheServerIsUnlocked) {
    IClassFactory* factory = nullptr;
    IPrintOemPS2* plugin = createPlugin(&factory);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->lpVtbl->LockServer(factory, 1);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    // The module keeps its own count, apart from this program's copy.
    EXPECT_EQ(frame::serverLockCount(), 0);
    factory->lpVtbl->LockServer(factory, 0);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->lpVtbl->Release(factory);
    plugin->lpVtbl->Release(plugin);
}

}  // namespace
}  // namespace tvzx

#endif
