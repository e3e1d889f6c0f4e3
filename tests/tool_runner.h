// Running the tvzx tool as a user runs it, for the tests of its commands.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::testing {

// How every job the tool renders begins.
inline constexpr std::string_view kJobStart = "\x1b%-12345X@PJL\r\n";

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

inline std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Returns the stream with the job identity, made anew for every job, masked.
inline std::string withoutJobIdentity(const std::string& stream) {
    return std::regex_replace(stream, std::regex("@PJL SET DRIVERJOBID=\"[^\"]*\""), "@PJL SET DRIVERJOBID=\"*\"");
}

inline void writeAll(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A test with a folder of its own, named after the test, removed after it.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("tvzx-" + std::to_string(::getpid()) + "-" + test->test_suite_name() + "-" + test->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path file(const std::string& name) const { return dir_ / name; }

    std::filesystem::path dir_;
};

// Returns how tvzx ran with the arguments (each quoted for the shell): its
// exit status, standard output, and standard error by way of errFile. A
// launcher ("env ..." and its settings) may stand before the tool.
inline ToolRun runTvzx(const std::vector<std::string>& args, const std::filesystem::path& errFile,
                       std::string_view launcher = {}) {
    std::string command = std::string(launcher) + (launcher.empty() ? "" : " ") + TVZX_BINARY_DIR + "/tools/tvzx/tvzx";
    for (const auto& arg : args) command += " '" + arg + "'";
    command += " 2>'" + errFile.string() + "'";
    ToolRun run;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readAll(errFile);
    return run;
}

}  // namespace tvzx::testing
