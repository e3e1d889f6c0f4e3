// The built plug-in module, loaded as the driver loads it: only through its
// exports and the interfaces they lead to, in the system's own calling
// convention (the Windows build runs this under a Windows loader).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

#include "frame/module_state.h"
#include "frame_fixtures.h"
#include "platform/dynamic_library.h"
#include "platform/path_text.h"
#include "settings/private_block.h"
#include "settings/schema_hash.h"

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
        ASSERT_NE(getClassObject, nullptr);
        ASSERT_NE(canUnloadNow, nullptr);
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

    std::unique_ptr<platform::LoadedLibrary> library;
    DllGetClassObjectFn getClassObject = nullptr;
    DllCanUnloadNowFn canUnloadNow = nullptr;
};

TEST_F(LoadedModule, ExportsOnlyItsEntryPoints) {
    EXPECT_NE(library->symbol(kTabWorkerExport), nullptr);
    EXPECT_EQ(library->symbol("_ZN4tvzx5frame12canUnloadNowEv"), nullptr);
    EXPECT_EQ(library->symbol("_ZN4tvzx8settings10schemaHashEv"), nullptr);
    EXPECT_EQ(library->symbol("BdcSetNotifyPrint"), nullptr);
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

TEST_F(LoadedModule, AnswersDevModeSizeAndDefaultsThroughTheInterfaces) {
    IPrintOemPS2* plugin = createPlugin();
    ASSERT_NE(plugin, nullptr);
    OEMDMPARAM param{};
    param.cbSize = sizeof param;
    ASSERT_EQ(plugin->lpVtbl->DevMode(plugin, OEMDM_SIZE, &param), S_OK);
    EXPECT_EQ(param.cbBufSize, settings::kPrivateBlockSize);

    // Without a printer the module's defaults are the record's own defaults,
    // the same bytes this program makes with its own copy of the core.
    std::vector<std::uint8_t> block(settings::kPrivateBlockSize, 0xEE);
    param.pOEMDMOut = block.data();
    ASSERT_EQ(plugin->lpVtbl->DevMode(plugin, OEMDM_DEFAULT, &param), S_OK);
    std::array<std::uint8_t, settings::kPrivateBlockSize> expected{};
    settings::initialiseBlock(expected);
    EXPECT_TRUE(std::equal(block.begin(), block.end(), expected.begin()));
    EXPECT_TRUE(settings::isCurrentBlock(block));
    EXPECT_EQ(plugin->lpVtbl->DevMode(plugin, OEMDM_SIZE, nullptr), E_FAIL);
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
