// tvzx render, run as a user runs it: where the stream goes, and that a
// refused argument or document writes nothing and says what is wrong.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kJobStart = "\x1b%-12345X@PJL\r\n";
constexpr std::string_view kJobEnd = "%%EOF\n\x1b%-12345X";
// The job identity in the ticket is made of the time and random digits.
constexpr std::string_view kJobIdentityLine = "@PJL SET DRIVERJOBID=\"";
constexpr std::string_view kJobIdentityPrefix = "ACDE48";
constexpr std::size_t kJobIdentityLength = 26;

// Returns the stream with the job identity's digits masked, after checking
// that they have the identity's form.
std::string withoutJobIdentity(std::string stream) {
    const std::size_t at = stream.find(kJobIdentityLine);
    if (at == std::string::npos) return stream;
    const std::size_t start = at + kJobIdentityLine.size();
    const std::string identity = stream.substr(start, kJobIdentityLength);
    EXPECT_TRUE(identity.starts_with(kJobIdentityPrefix)) << identity;
    EXPECT_EQ(stream[start + kJobIdentityLength], '"') << identity;
    stream.replace(start, kJobIdentityLength, kJobIdentityLength, '#');
    return stream;
}

struct CommandRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class RenderCommand : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-render-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_ / "out");
        std::ofstream(dir_ / "doc.ps") << "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n";
        std::ofstream(dir_ / "cut.ps") << "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nshowpage\n";
    }
    void TearDown() override { fs::remove_all(dir_); }

    fs::path file(const std::string& name) const { return dir_ / name; }

    CommandRun tvzx(const std::vector<std::string>& args) const {
        std::string command = std::string(TVZX_BINARY_DIR) + "/tools/tvzx/tvzx render";
        for (const auto& arg : args) command += " '" + arg + "'";
        command += " 2>'" + file("stderr").string() + "'";
        CommandRun run;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (pipe == nullptr) return run;
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
        const int status = ::pclose(pipe);
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = readAll(file("stderr"));
        return run;
    }

    fs::path dir_;
};

TEST_F(RenderCommand, PrintsTheSampleDocumentWithoutAnInput) {
    const CommandRun run = tvzx({"--set", "PageSize=A4"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.out.starts_with(kJobStart));
    EXPECT_TRUE(run.out.ends_with(kJobEnd));
    EXPECT_NE(run.out.find("%%Title: tvzx sample\n"), std::string::npos);
    EXPECT_EQ(run.err, "");
}

TEST_F(RenderCommand, WritesTheSameStreamToAFileAsToStandardOutput) {
    const std::string out = file("out/job.prn").string();
    const CommandRun toFile = tvzx({file("doc.ps").string(), "-o", out, "--set", "PageSize=Letter", "--job-id", "12"});
    const CommandRun toStdout = tvzx({file("doc.ps").string(), "--set", "PageSize=Letter", "--job-id", "12"});
    EXPECT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(withoutJobIdentity(readAll(out)), withoutJobIdentity(toStdout.out));
    // The document name is the input's file name.
    EXPECT_NE(toStdout.out.find("%%TARVO-TitleEx: <646F632E7073>\r\n"), std::string::npos);
}

TEST_F(RenderCommand, WritesToADeviceDirectly) {
    const CommandRun run = tvzx({file("doc.ps").string(), "-o", "/dev/null"});
    EXPECT_EQ(run.status, 0) << run.err;
    struct stat status {};
    ASSERT_EQ(::stat("/dev/null", &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST_F(RenderCommand, RefusesWithOneLineAndWritesNothing) {
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::string cut = file("cut.ps").string();
    const std::string doc = file("doc.ps").string();
    const std::string out = file("out/job.prn").string();
    const Case cases[] = {
        {{cut, "-o", out}, cut + ": truncated after page 1: no %%EOF"},
        {{cut}, cut + ": truncated after page 1: no %%EOF"},
        {{doc, "-o", out, "--set", "Staple=Sideways"}, "--set: unknown option for Staple: 'Sideways'"},
        {{doc, "-o", out, "--set", "Staple"}, "--set: expected Name=Value: 'Staple'"},
        {{doc, "-o", out, "--job-id", "twelve"}, "--job-id: 'twelve' is not a job id"},
        {{doc, "-o", out, "--settings", file("none.txt").string()}, "cannot read " + file("none.txt").string()},
        {{file("none.ps").string(), "-o", out}, file("none.ps").string() + ": cannot open: No such file or directory"},
        {{doc, "-o", out, "--module", file("none.dll").string()}, file("none.dll").string() + ": cannot load the module: "},
        {{doc, "-o", out, "--frobnicate"}, "unknown argument '--frobnicate'"},
        {{doc, doc, "-o", out}, "unknown argument '" + doc + "'"},
        {{doc, "-o"}, "option -o needs a value"},
    };
    for (const Case& c : cases) {
        const CommandRun run = tvzx(c.args);
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.out, "") << c.message;
        EXPECT_EQ(run.err.rfind("tvzx: " + c.message, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        // Not even a partial file is left behind.
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << c.message;
    }
}

}  // namespace
