// The working directory: the order of the candidates by system and printer,
// the write test with its scratch names, and the Windows version class the
// order depends on.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "config/working_directory.h"
#include "config/windows_version.h"
#include "platform/file_system.h"
#include "platform/path_text.h"
#include "platform/printer_data.h"
#include "printer_fixtures.h"

namespace {

using namespace tvzx;
using config::WindowsVersionClass;

std::string show(const std::optional<std::u16string>& path) {
    return path ? "\"" + platform::utf8Path(*path) + "\"" : "(none)";
}

// Directories and files in memory. Directories named in `readOnly` refuse
// new files; every question is recorded.
class MemoryFileSystem final : public platform::FileSystem {
public:
    bool isDirectory(std::u16string_view path) override { return directories.count(std::u16string(path)) != 0; }
    bool exists(std::u16string_view path) override {
        ++existsQuestions;
        return takenNames || files.count(std::u16string(path)) != 0 || isDirectory(path);
    }
    bool createScratchFile(std::u16string_view path) override {
        created.emplace_back(path);
        const std::u16string directory(path.substr(0, path.rfind(u'/')));
        if (readOnly.count(directory) != 0 || files.count(std::u16string(path)) != 0) return false;
        // Another process takes the name between the look and the create.
        if (raced.erase(std::u16string(path)) != 0) {
            files.insert(std::u16string(path));
            return false;
        }
        // Removed again at once: nothing stays behind.
        return true;
    }
    std::u16string temporaryDirectory() override { return temporary; }
    std::optional<std::u16string> commonAppDataDirectory() override { return commonAppData; }

    std::set<std::u16string> directories = {u"/tmp/user", u"/data/common", u"/spool/printers/"};
    std::set<std::u16string> files, readOnly, raced;
    bool takenNames = false;
    std::u16string temporary = u"/tmp/user";
    std::optional<std::u16string> commonAppData = u"/data/common";
    std::vector<std::u16string> created;
    int existsQuestions = 0;
};

// Returns the working directory chosen on the system for a printer (or none)
// whose spool directory is "/spool/printers/".
std::string chosen(MemoryFileSystem& files, WindowsVersionClass versionClass, bool withPrinter = true) {
    platform::MemoryPrinterData printer;
    printer.set("DefaultSpoolDirectory", {1, tvzx::testing::wideBytes(u"/spool/printers/")});
    const config::WorkingDirectoryQuery query{.versionClass = versionClass, .printer = withPrinter ? &printer : nullptr};
    return show(config::workingDirectory(files, query));
}

TEST(WorkingDirectory, CandidateOrderBySystemAndPrinterPassingOverMissingOrTooLongOnes) {
    const struct {
        WindowsVersionClass versionClass;
        bool withPrinter;
        std::set<std::u16string> readOnly;
        std::string expected;
    } cases[] = {
        // Older systems try the user's temporary directory first.
        {WindowsVersionClass::Version5_1, true, {}, "\"/tmp/user/\""},
        {WindowsVersionClass::Version5_1, true, {u"/tmp/user"}, "\"/data/common/\""},
        // Newer ones try the shared places first and keep it for last.
        {WindowsVersionClass::Version6_0, true, {}, "\"/data/common/\""},
        {WindowsVersionClass::Version6_2, true, {u"/data/common"}, "\"/spool/printers/\""},
        {WindowsVersionClass::Undetermined, true, {u"/data/common", u"/spool/printers"}, "\"/tmp/user/\""},
        // Without a printer the shared data and the spool directory are left out.
        {WindowsVersionClass::Version6_1, false, {}, "\"/tmp/user/\""},
        {WindowsVersionClass::Version6_1, false, {u"/tmp/user"}, "(none)"},
    };
    for (const auto& c : cases) {
        MemoryFileSystem files;
        files.readOnly = c.readOnly;
        EXPECT_EQ(chosen(files, c.versionClass, c.withPrinter), c.expected)
            << "class " << static_cast<int>(c.versionClass) << (c.withPrinter ? " with" : " without") << " printer";
    }

    // Candidates that are missing or too long are passed over.
    MemoryFileSystem files;
    files.commonAppData.reset();
    files.directories.erase(u"/spool/printers/");
    EXPECT_EQ(chosen(files, WindowsVersionClass::Version6_2), "\"/tmp/user/\"");

    // A directory whose path with its separator fills the whole capacity.
    const std::u16string longest(config::kWorkingDirectoryCapacity - 1, u'd');
    files.directories.insert(longest);
    files.temporary = longest;
    EXPECT_EQ(chosen(files, WindowsVersionClass::Version6_2), "(none)");
    files.temporary = longest.substr(1);
    files.directories.insert(files.temporary);
    EXPECT_EQ(chosen(files, WindowsVersionClass::Version6_2), "\"" + std::string(longest.size() - 1, 'd') + "/\"");
}

// The first unused scratch name is tried; one taken by another process
// meanwhile moves on to the next.
TEST(WriteTest, TriesTheFirstUnusedScratchName) {
    MemoryFileSystem files;
    files.files = {u"/tmp/user/tvz0000000A.tmp", u"/tmp/user/tvz0000000B.tmp"};
    files.raced = {u"/tmp/user/tvz0000000C.tmp"};
    EXPECT_TRUE(config::passesWriteTest(files, u"/tmp/user", 10));
    EXPECT_EQ(files.created, (std::vector<std::u16string>{u"/tmp/user/tvz0000000C.tmp", u"/tmp/user/tvz0000000D.tmp"}));

    // Every name taken: the directory fails after the attempts allowed.
    MemoryFileSystem crowded;
    crowded.takenNames = true;
    EXPECT_FALSE(config::passesWriteTest(crowded, u"/tmp/user", 0, 5));
    EXPECT_EQ(std::pair(crowded.existsQuestions, crowded.created.size()), std::pair(5, std::size_t{0}));

    for (const char16_t* directory : {u"/not/there", u""}) EXPECT_FALSE(config::passesWriteTest(files, directory, 0));
    // A directory that refuses the file fails at once.
    MemoryFileSystem readOnly;
    readOnly.readOnly = {u"/tmp/user"};
    EXPECT_FALSE(config::passesWriteTest(readOnly, u"/tmp/user", 10));
    EXPECT_EQ(readOnly.created.size(), 1u);
}

TEST(WriteTest, RealDirectoryPassesAndKeepsNoFile) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::temp_directory_path() / ("tvzx-workdir-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    platform::FileSystem& files = platform::systemFileSystem();
    const std::u16string path = platform::utf16Path(directory.string());
    EXPECT_TRUE(config::passesWriteTest(files, path, 0x1234));
    EXPECT_TRUE(fs::is_empty(directory));
    // An existing scratch file is never reused.
    { std::ofstream(directory / "tvz00001234.tmp") << "kept"; }
    EXPECT_TRUE(config::passesWriteTest(files, path, 0x1234));
    EXPECT_EQ(std::distance(fs::directory_iterator(directory), fs::directory_iterator()), 1);
    // A file is no directory.
    EXPECT_FALSE(config::passesWriteTest(files, platform::utf16Path((directory / "tvz00001234.tmp").string()), 0));
    EXPECT_FALSE(config::passesWriteTest(files, platform::utf16Path((directory / "missing").string()), 0));
    fs::remove_all(directory);
}

#if !defined(_WIN32)
// Lines are added at the end of the file; a symbolic link planted under its
// name (the job log sits in a directory others can write to) is refused.
TEST(AppendToFile, AddsAtTheEndAndRefusesALinkInTheFilesPlace) {
    namespace fs = std::filesystem;
    const fs::path directory = fs::temp_directory_path() / ("tvzx-append-" + std::to_string(::getpid()));
    fs::create_directories(directory);
    const auto path = [](const fs::path& file) { return platform::utf16Path(file.string()); };
    EXPECT_TRUE(platform::appendToFile(path(directory / "log"), "one\n"));
    EXPECT_TRUE(platform::appendToFile(path(directory / "log"), "two\n"));
    fs::create_symlink(directory / "log", directory / "link");
    EXPECT_FALSE(platform::appendToFile(path(directory / "link"), "three\n"));
    std::ifstream log(directory / "log");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), {}), "one\ntwo\n");
    fs::remove_all(directory);
}
#endif

// Version answers set by the test.
struct FixedVersion final : platform::SystemVersion {
    FixedVersion(std::uint32_t major = 0, std::uint32_t minor = 0) : atLeastMajor(major), atLeastMinor(minor) {}
    bool atLeast(std::uint32_t major, std::uint32_t minor) override {
        return major < atLeastMajor || (major == atLeastMajor && minor <= atLeastMinor);
    }
    std::optional<platform::ReportedVersion> reported() override { return report; }
    std::uint32_t atLeastMajor, atLeastMinor;
    std::optional<platform::ReportedVersion> report;
};

TEST(WindowsVersionClass, ChecksFromNewestDownThenTheReportedVersion) {
    using V = WindowsVersionClass;
    const struct {
        std::uint32_t major, minor;
        V expected;
    } checked[] = {{10, 0, V::Version6_2}, {6, 1, V::Version6_1}, {6, 0, V::Version6_0}, {5, 2, V::Version5_1}};
    for (const auto& c : checked) {
        FixedVersion version(c.major, c.minor);
        EXPECT_EQ(config::classifyWindowsVersion(version), c.expected) << c.major << "." << c.minor;
    }
    FixedVersion old;
    old.report = platform::ReportedVersion{2, 5, 0};
    EXPECT_EQ(config::classifyWindowsVersion(old), V::Version5_0);

    const std::pair<platform::ReportedVersion, V> reported[] = {
        {{2, 4, 0}, V::NtBefore5},   {{2, 5, 0}, V::Version5_0}, {{2, 5, 2}, V::Version5_1}, {{2, 6, 0}, V::Version6_0},
        {{2, 6, 1}, V::Version6_1},  {{2, 6, 2}, V::Version6_2}, {{1, 4, 10}, V::NotNt},     {{0, 3, 1}, V::NotNt},
        {{3, 6, 0}, V::Undetermined}};
    for (const auto& [version, expected] : reported)
        EXPECT_EQ(config::classifyReportedVersion(version), expected)
            << version.platformId << " " << version.major << "." << version.minor;
    // Nothing answered: the version cannot be determined.
    FixedVersion silent;
    EXPECT_EQ(config::classifyWindowsVersion(silent), V::Undetermined);
}

}  // namespace
