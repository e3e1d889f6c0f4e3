// The built plug-in module, loaded as the driver loads it: only through its
// exports and the interfaces they lead to, in the system's own calling
// convention (the Windows build runs this under a Windows loader). Whole
// jobs through the loaded module are the simulated host's tests.
#include <gtest/gtest.h>

#include "device/module_state.h"
#include "platform/dynamic_library.h"
#include "platform/path_text.h"

namespace tvzx {
namespace {

using namespace tvzx::win;

constexpr const char* kModulePath = TVZX_BINARY_DIR "/src/tvzx_ps.dll";
constexpr const char* kTabWorkerExport = "CreateTabFileExW";

class LoadedModule : public ::testing::Test {
protected:
    void SetUp() override {
        library = platform::systemLibraryLoader().load(platform::utf16Path(kModulePath));
        ASSERT_NE(library, nullptr) << "build the tvzx_ps target first: " << kModulePath;
        getClassObject = reinterpret_cast<DllGetClassObjectFn>(library->symbol(kDllGetClassObjectName.data()));
        canUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(library->symbol(kDllCanUnloadNowName.data()));
        ASSERT_TRUE(getClassObject != nullptr && canUnloadNow != nullptr);
    }

    IPrintOemPS2* createPlugin(IClassFactory** factoryOut = nullptr) {
        IClassFactory* factory = nullptr;
        EXPECT_EQ(getClassObject(&CLSID_OEMRENDER, &IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
        if (factory == nullptr) return nullptr;
        IPrintOemPS2* plugin = nullptr;
        EXPECT_EQ(factory->lpVtbl->CreateInstance(factory, nullptr, &IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin)),
                  S_OK);
        if (factoryOut != nullptr)
            *factoryOut = factory;
        else
            factory->lpVtbl->Release(factory);
        return plugin;
    }

    std::unique_ptr<platform::LoadedLibrary> library;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

TEST_F(LoadedModule, ExportsOnlyItsEntryPoints) {
    EXPECT_NE(library->symbol(kTabWorkerExport), nullptr);
    for (const char* hidden : {"_ZN4tvzx5frame12canUnloadNowEv", "_ZN4tvzx8settings10schemaHashEv", "BdcSetNotifyPrint"})
        EXPECT_EQ(library->symbol(hidden), nullptr) << hidden;
}

TEST_F(LoadedModule, UnloadsOnlyWhenTheServerIsUnlocked) {
    IClassFactory* factory = nullptr;
    IPrintOemPS2* plugin = createPlugin(&factory);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->lpVtbl->LockServer(factory, 1);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    // The module keeps its own count, apart from this program's copy.
    EXPECT_EQ(device::serverLockCount(), 0);
    factory->lpVtbl->LockServer(factory, 0);
    EXPECT_EQ(canUnloadNow(), S_OK);
    factory->lpVtbl->Release(factory);
    plugin->lpVtbl->Release(plugin);
}

}  // namespace
}  // namespace tvzx
