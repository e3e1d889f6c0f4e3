// tvzx render, run as a user runs it: where the stream goes, and that a
// refused argument or document writes nothing and says what is wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;

using namespace tvzx::testing;

constexpr std::string_view kJobEnd = "%%EOF\n\x1b%-12345X";

class RenderCommand : public tvzx::testing::ToolTest {
protected:
    void SetUp() override {
        ToolTest::SetUp();
        fs::create_directories(dir_ / "out");
        std::ofstream(dir_ / "doc.ps") << "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nshowpage\n%%EOF\n";
        std::ofstream(dir_ / "cut.ps") << "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n%%BeginBinary: 99\nshow";
    }

    ToolRun tvzx(std::vector<std::string> args) const {
        args.insert(args.begin(), "render");
        return ::tvzx::testing::runTvzx(args, file("stderr"));
    }
};

TEST_F(RenderCommand, PrintsTheSampleDocumentWithoutAnInput) {
    const ToolRun run = tvzx({"--set", "PageSize=A4"});
    EXPECT_EQ(std::pair(run.status, run.err), std::pair(0, std::string())) << run.err;
    EXPECT_TRUE(run.out.starts_with(kJobStart) && run.out.ends_with(kJobEnd));
    EXPECT_NE(run.out.find("%%Title: tvzx sample\n"), std::string::npos);
}

TEST_F(RenderCommand, WritesTheSameStreamToAFileOrADeviceAsToStandardOutput) {
    const std::string out = file("out/job.prn").string();
    const ToolRun toFile = tvzx({file("doc.ps").string(), "-o", out, "--set", "PageSize=Letter", "--job-id", "12"});
    const ToolRun toStdout = tvzx({file("doc.ps").string(), "--set", "PageSize=Letter", "--job-id", "12"});
    EXPECT_EQ(std::pair(toFile.status, toFile.out), std::pair(0, std::string())) << toFile.err;
    EXPECT_EQ(tvzx::testing::withoutJobIdentity(readAll(out)), tvzx::testing::withoutJobIdentity(toStdout.out));
    // The document name is the input's file name.
    EXPECT_NE(toStdout.out.find("%%TARVO-TitleEx: <646F632E7073>\r\n"), std::string::npos);
    const ToolRun toDevice = tvzx({file("doc.ps").string(), "-o", "/dev/null"});
    EXPECT_EQ(toDevice.status, 0) << toDevice.err;
}

TEST_F(RenderCommand, RefusesWithOneLineAndWritesNothing) {
    const std::string cut = file("cut.ps").string(), doc = file("doc.ps").string(), out = file("out/job.prn").string();
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{cut, "-o", out}, cut + ": truncated inside counted data (%%BeginData or %%BeginBinary)"},
        {{cut}, cut + ": truncated inside counted data (%%BeginData or %%BeginBinary)"},
        {{doc, "-o", out, "--job-id", "twelve"}, "--job-id: 'twelve' is not a job id"},
        {{file("none.ps").string(), "-o", out}, file("none.ps").string() + ": cannot open: No such file or directory"},
        {{doc, "-o", out, "--module", file("none.dll").string()}, file("none.dll").string() + ": cannot load the module: "},
        {{doc, doc, "-o", out}, "unknown argument '" + doc + "'"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = tvzx(args);
        EXPECT_EQ(std::pair(run.status, run.out), std::pair(2, std::string())) << message;
        EXPECT_EQ(run.err.rfind("tvzx: " + message, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        // Not even a partial file is left behind.
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << message;
    }
}

}  // namespace
