// Companion file names derived from the plug-in's own path, and the names
// the real module finds for itself once loaded.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <stdlib.h>

#include "platform/companion_files.h"
#include "platform/module_exports.h"
#include "platform/path_text.h"

namespace {

using namespace tvzx;
using platform::companionFileName;

constexpr const char* kModulePath = TVZX_BINARY_DIR "/src/tvzx_ps.dll";

std::string show(const std::optional<std::u16string>& name) {
    return name ? "\"" + platform::utf8Path(*name) + "\"" : "(none)";
}

TEST(CompanionFileName, EveryKindFromTheBaseOfThePlugInsFileName) {
    const std::u16string module = u"C:\\Drivers\\X_PS_dll.dll";
    const std::u16string system = u"C:\\Windows\\system32";
    const struct {
        std::u16string module;
        std::uint32_t kind;
        std::u16string systemDirectory;
        std::optional<std::u16string> expected;
    } cases[] = {
        // The base is the file name up to its last underscore.
        {module, 0, {}, u"C:\\Drivers\\X_PS_ui.dll"}, {module, 1, {}, u"C:\\Drivers\\X_PS.chm"},
        {module, 2, {}, u"C:\\Drivers\\X_PS_ps.dll"}, {module, 3, {}, u"C:\\Drivers\\X_PS_umpd.dll"},
        {module, 4, {}, u"C:\\Drivers\\X_PS.dll"}, {module, 5, {}, u"C:\\Drivers\\X_PS_pcl.dll"},
        {module, 6, {}, u"C:\\Drivers\\X_PS.lng"}, {module, 7, {}, u"C:\\Drivers\\X_PS_n.dll"},
        // The system copy is the base's file name in the system directory.
        {module, 8, system, u"C:\\Windows\\system32\\X_PS.dll"},
        {module, 8, system + u"\\", u"C:\\Windows\\system32\\X_PS.dll"}, {module, 8, {}, std::nullopt},
        {module, 8, u"/usr/lib/", u"/usr/lib/X_PS.dll"},
        // Without an underscore the base is the name less its extension.
        {u"plugin.dll", 0, {}, u"plugin_ui.dll"},
        {u"/opt/print_drivers/plugin.DLL", 7, {}, u"/opt/print_drivers/plugin_n.dll"},
        // Only the file name's underscores count, never the directory's.
        {u"C:\\my_dir\\plugin.dll", 1, {}, u"C:\\my_dir\\plugin.chm"},
        {u"/work/build/src/tvzx_ps.dll", 7, {}, u"/work/build/src/tvzx_n.dll"},
        // A five-character path is long enough.
        {u"a.dll", 6, {}, u"a.lng"},
        // Refused: no ".dll" to take off, nothing before it, no such kind.
        {u"C:\\pluginxdll", 0, {}, std::nullopt}, {u"C:\\Drivers\\X_PS_dll.exe", 0, system, std::nullopt},
        {u"C:\\Drivers\\X_PS_dll.exe", 8, system, std::nullopt}, {u".dll", 0, system, std::nullopt},
        {u".dll", 8, system, std::nullopt}, {u"", 6, system, std::nullopt}, {module, 9, system, std::nullopt},
        {module, 0xFFFFFFFF, system, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(show(companionFileName(c.module, c.kind, c.systemDirectory)), show(c.expected))
            << platform::utf8Path(c.module) << " kind " << c.kind;
}

// The plug-in module loaded as the driver loads it, for its own handle.
class ModuleCompanions : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        module_ = platform::moduleHandleContaining(dlsym(handle_, "DllCanUnloadNow"));
        ASSERT_NE(module_, nullptr);
        char* real = realpath(kModulePath, nullptr);
        ASSERT_NE(real, nullptr);
        const std::string path(real);
        free(real);
        directory_ = platform::utf16Path(path.substr(0, path.rfind('/') + 1));
    }
    void TearDown() override { if (handle_ != nullptr) dlclose(handle_); }

    void* handle_ = nullptr;
    void* module_ = nullptr;
    std::u16string directory_;
};

TEST_F(ModuleCompanions, FindsItsCompanionsBesideItsRealPathAndLoadsTheNotificationLibrary) {
    EXPECT_EQ(show(platform::companionFilePath(module_, platform::CompanionKind::Notification)),
              show(directory_ + u"tvzx_n.dll"));
    EXPECT_EQ(show(platform::companionFilePath(module_, platform::CompanionKind::Language)), show(directory_ + u"tvzx.lng"));
    // POSIX has no system directory for the system copy.
    EXPECT_FALSE(platform::companionFilePath(module_, platform::CompanionKind::SystemCopy) ||
                 platform::companionFilePath(nullptr, platform::CompanionKind::Base));

    // The name is copied only when it fits with its terminator.
    const std::u16string expected = directory_ + u"tvzx_ui.dll";
    std::vector<char16_t> buffer(expected.size() + 1, u'x');
    EXPECT_TRUE(platform::copyCompanionFileName(module_, 0, buffer.data(), buffer.size()));
    EXPECT_EQ(std::u16string(buffer.data()), expected);
    std::vector<char16_t> tooShort(expected.size(), u'x');
    EXPECT_FALSE(platform::copyCompanionFileName(module_, 0, tooShort.data(), tooShort.size()));
    EXPECT_EQ(tooShort[0], u'\0');
    EXPECT_FALSE(platform::copyCompanionFileName(module_, 0, nullptr, 100));
    EXPECT_FALSE(platform::copyCompanionFileName(module_, 9, buffer.data(), buffer.size()));
    EXPECT_EQ(buffer[0], u'\0');

    // The notification library shipped beside it loads.
    const auto library =
        platform::loadCompanionLibrary(module_, platform::CompanionKind::Notification, platform::systemLibraryLoader());
    ASSERT_NE(library, nullptr);
    EXPECT_NE(library->symbol("BdcSetNotifyPrint"), nullptr);
    // The library keeps its copy of the core to itself.
    EXPECT_EQ(library->symbol("_ZN4tvzx6config19windowsVersionClassEv"), nullptr);
    EXPECT_EQ(platform::loadCompanionLibrary(module_, platform::CompanionKind::Help, platform::systemLibraryLoader()),
              nullptr);
}

}  // namespace
