// The job identity: its text, its pseudo-random bytes and time, and its
// announcement to the notification library, through a recording loader and
// through the library that ships beside the module.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <fstream>

#include "config/job_identity.h"
#include "config/job_identity_service.h"
#include "config/notify_print.h"
#include "config/runtime_random.h"
#include "config/working_directory.h"
#include "platform/module_exports.h"
#include "platform/path_text.h"

namespace {

using namespace tvzx;

constexpr const char* kModulePath = TVZX_BINARY_DIR "/src/tvzx_ps.dll";

TEST(JobIdentity, TextOfMarkRandomBytesOfTheRuntimeSequenceAndUtcTime) {
    using namespace std::chrono;
    const auto at = [](year_month_day day, int h, int m, int s, int ms) {
        return config::jobTimeOf(sys_days{day} + hours{h} + minutes{m} + seconds{s} + milliseconds{ms});
    };
    EXPECT_EQ(config::formatJobIdentity({0x00, 0x7F, 0xFE}, at(year{2024} / March / 5, 14, 7, 9, 42)),
              "ACDE48007FFE03051407090042");
    EXPECT_EQ(config::formatJobIdentity({0x10, 0x20, 0x30}, at(year{2023} / December / 31, 23, 59, 59, 999)),
              "ACDE4810203012312359590999");
    // New identities have the shape, and no random byte is FF.
    for (int i = 0; i < 300; ++i) {
        const std::string identity = config::newJobIdentity();
        ASSERT_EQ(identity.size(), 26u) << identity;
        EXPECT_EQ(identity.substr(0, 6), "ACDE48");
        EXPECT_EQ(identity.substr(12).find_first_not_of("0123456789"), std::string::npos) << identity;
        // Each random byte is a value modulo 255.
        for (std::size_t byte = 6; byte < 12; byte += 2) EXPECT_NE(identity.substr(byte, 2), "FF") << identity;
    }

    // The random bytes follow the runtime sequence.
    std::uint32_t state = 1;
    std::vector<std::uint32_t> values;
    for (int i = 0; i < 5; ++i) values.push_back(config::nextRuntimeRandom(state));
    EXPECT_EQ(values, (std::vector<std::uint32_t>{41, 18467, 6334, 26500, 19169}));
    for (int i = 0; i < 100; ++i) EXPECT_LE(config::runtimeRandom(), config::kRuntimeRandomMax);
}

// What the recording library's export was called with.
struct NotifyCall {
    std::string identity, document;
};
std::vector<NotifyCall> notifyCalls;

int TVZX_NOTIFY_CALL recordNotify(const char* identity, const char* document) {
    notifyCalls.push_back({identity, document});
    return 1;
}

struct RecordingLibrary final : platform::LoadedLibrary {
    RecordingLibrary(bool exports, int& unloads) : exports(exports), unloads(unloads) {}
    ~RecordingLibrary() override { ++unloads; }
    void* symbol(const char* name) const override {
        return exports && std::string(name) == "BdcSetNotifyPrint" ? reinterpret_cast<void*>(&recordNotify) : nullptr;
    }
    bool exports;
    int& unloads;
};

struct RecordingLoader final : platform::LibraryLoader {
    explicit RecordingLoader(bool present = true, bool exports = true) : present(present), exports(exports) {}
    std::unique_ptr<platform::LoadedLibrary> load(std::u16string_view path) override {
        loaded.emplace_back(path);
        return present ? std::make_unique<RecordingLibrary>(exports, unloads) : nullptr;
    }
    bool present, exports;
    int unloads = 0;
    std::vector<std::u16string> loaded;
};

TEST(AnnounceJob, MissingLibraryExportIdentityOrDocumentSkipsTheCall) {
    notifyCalls.clear();
    RecordingLoader absent(/*present=*/false);
    EXPECT_FALSE(config::announceJob(absent, u"/drivers/x_n.dll", "ID", u"doc"));
    RecordingLoader silent(/*present=*/true, /*exports=*/false);
    EXPECT_FALSE(config::announceJob(silent, u"/drivers/x_n.dll", "ID", u"doc"));
    EXPECT_EQ(silent.unloads, 1);
    RecordingLoader unused;
    EXPECT_FALSE(config::announceJob(unused, u"/drivers/x_n.dll", "", u"doc"));
    EXPECT_FALSE(config::announceJob(unused, u"/drivers/x_n.dll", "ID", std::nullopt));
    EXPECT_TRUE(unused.loaded.empty() && notifyCalls.empty());
}

// The plug-in module loaded as the driver loads it, for its own handle.
class IdentityOfModule : public ::testing::Test {
protected:
    void SetUp() override {
        handle_ = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle_, nullptr) << dlerror();
        module_ = platform::moduleHandleContaining(dlsym(handle_, "DllCanUnloadNow"));
    }
    void TearDown() override { if (handle_ != nullptr) dlclose(handle_); }
    void* handle_ = nullptr;
    void* module_ = nullptr;
};

TEST_F(IdentityOfModule, ServiceAnnouncesToTheLibraryBesideTheModuleWhichLogsTheJob) {
    notifyCalls.clear();
    RecordingLoader loader;
    config::JobIdentityService service([this] { return module_; }, loader);
    const std::string identity = service.notificationId(u"Production 1", u"R\u00e9sum\u00e9 \U0001F5A8");
    ASSERT_EQ(loader.loaded.size(), 1u);
    const std::string loaded = platform::utf8Path(loader.loaded[0]);
    EXPECT_EQ(loaded.substr(loaded.rfind('/')), "/tvzx_n.dll");
    // The library gets the identity and the document in UTF-8, and is unloaded.
    ASSERT_EQ(notifyCalls.size(), 1u);
    EXPECT_EQ(notifyCalls[0].identity, identity);
    EXPECT_EQ(notifyCalls[0].document, "R\xC3\xA9sum\xC3\xA9 \xF0\x9F\x96\xA8");
    EXPECT_EQ(loader.unloads, 1);

    // Outside a loaded module there is no library to tell, but an identity.
    config::JobIdentityService outside([] { return nullptr; }, loader);
    EXPECT_EQ(outside.notificationId(u"Production 1", u"Report2024").size(), 26u);
    EXPECT_EQ(loader.loaded.size(), 1u);

    // The shipped library logs the job in the working directory.
    const std::string shipped = config::jobIdentity(module_, u"Quarterly report\tdraft \\ final\x7F");
    const auto directory = config::systemWorkingDirectory(platform::systemSpooler(), nullptr);
    ASSERT_TRUE(directory);
    std::ifstream log(platform::utf8Path(*directory) + "tvzx_jobs.log", std::ios::binary);
    ASSERT_TRUE(log) << "no log in " << platform::utf8Path(*directory);
    const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    const std::string line = shipped + "\tQuarterly report\\x09draft \\\\ final\\x7F\n";
    EXPECT_NE(text.find(line), std::string::npos) << "expected the line " << line;
}

}  // namespace
