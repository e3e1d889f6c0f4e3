// tvzx render, run as a user runs it: where the stream goes, and that a
// refused argument or document writes nothing and says what is wrong.
#include <gtest/gtest.h>

#include <algorithm>

#include "required_tool.h"
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

TEST_F(RenderCommand, PrintsTheDocumentOnStandardInputAndTheSampleAtATerminalOrWhenAskedFor) {
    const std::string doc = file("doc.ps").string();
    const std::vector<std::string> job = {"--set", "PageSize=A4", "--job-id", "7", "--document", "d"};
    const auto render = [&](std::string_view launcher, std::vector<std::string> args) {
        args.insert(args.end(), job.begin(), job.end());
        args.insert(args.begin(), "render");
        const ToolRun run = ::tvzx::testing::runTvzx(args, file("stderr"), launcher);
        EXPECT_EQ(std::pair(run.status, run.err), std::pair(0, std::string())) << launcher;
        return withoutJobIdentity(run.out);
    };
    const std::string named = render({}, {doc});
    ASSERT_TRUE(named.starts_with(kJobStart) && named.ends_with(kJobEnd)) << named;
    // From a pipe or a file, with or without "-", the same job as the named file.
    EXPECT_EQ(render("cat '" + doc + "' |", {}), named);
    EXPECT_EQ(render("cat '" + doc + "' |", {"-"}), named);
    EXPECT_EQ(render("<'" + doc + "'", {"-"}), named);
    EXPECT_EQ(render("<'" + doc + "'", {}), named);
    // The sample when asked for, whatever waits on standard input.
    const std::string sample = render("<'" + doc + "'", {"--sample", "plain"});
    EXPECT_NE(sample.find("%%Title: tvzx sample\n"), std::string::npos);
    EXPECT_EQ(named.find("%%Title: tvzx sample\n"), std::string::npos);
    // At a terminal, where no document would come, the sample prints.
    TVZX_REQUIRE_TOOL(::system("command -v script >/dev/null") == 0, "script (util-linux), for a terminal");
    const std::string atTerminal = "timeout 60 script -qec \"" + std::string(TVZX_BINARY_DIR) + "/tools/tvzx/tvzx render -o " +
                                   file("tty.prn").string() + "\" /dev/null </dev/null >/dev/null";
    ASSERT_EQ(::system(atTerminal.c_str()), 0);
    EXPECT_NE(readAll(file("tty.prn")).find("%%Title: tvzx sample\n"), std::string::npos);
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
        {{"-", "--sample", "plain", "-o", out}, "--sample prints a built-in job instead of -"},
        // An empty standard input is no document, and no reason for the sample.
        {{"-o", out}, "standard input: empty input"}, {{"-", "-o", out}, "standard input: empty input"},
    };
    for (const auto& [args, message] : cases) {
        const ToolRun run = ::tvzx::testing::runTvzx([&] { auto all = args; all.insert(all.begin(), "render"); return all; }(),
                                                     file("stderr"), "</dev/null");
        EXPECT_EQ(std::pair(run.status, run.out), std::pair(2, std::string())) << message;
        EXPECT_EQ(run.err.rfind("tvzx: " + message, 0), 0u) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        // Not even a partial file is left behind.
        EXPECT_TRUE(fs::is_empty(dir_ / "out")) << message;
    }
}

using AwkwardDocuments = tvzx::testing::ToolTest;

TEST_F(AwkwardDocuments, RenderTakesAwkwardDocumentsAndGivesEachPageItsCode) {
    const std::string pages = "%%Page: 1 1\nshowpage\n%%Page: 2 2\nshowpage\n";
    const std::string eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 10 10\n%%EndComments\n0 0 10 10 rectfill\n";
    const struct {
        const char* name;
        std::string document;
        int pages;
    } cases[] = {
        {"no %%EOF, nor a line end at the end", "%!PS-Adobe-3.0\n%%EndComments\n" + pages + "showpage", 2},
        {"a trailer without %%EOF, CR line ends", "%!PS-Adobe-3.0\r%%EndComments\r%%Page: 1 1\rshowpage\r%%Trailer\r", 1},
        {"a job language header ahead", "\x1b%-12345X@PJL JOB\r\n@PJL ENTER LANGUAGE = POSTSCRIPT\r\n%!PS-Adobe-3.0\n%%EndComments\n" +
         pages + "%%EOF\n", 2},
        {"no structuring comments", "%!PS\n72 72 moveto (a) show showpage\n%%Page: 2 2\nshowpage", 1},
        {"no pages", eps + "%%Trailer\n%%EOF\n", 0},
        {"a Ctrl-D ahead", "\x04%!PS-Adobe-3.0\n%%EndComments\n" + pages + "%%EOF\n", 2},
        {"an included document without brackets", "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nsave\n" + eps +
         "%%Trailer\n%%EOF\nrestore showpage\n%%Page: 2 2\nshowpage\n%%Trailer\n%%EOF\n", 2},
    };
    for (const auto& c : cases) {
        tvzx::testing::writeAll(file("doc.ps"), c.document);
        const tvzx::testing::ToolRun run = tvzx::testing::runTvzx({"render", file("doc.ps").string()}, file("stderr"));
        EXPECT_EQ(std::pair(run.status, run.err), std::pair(0, std::string())) << c.name;
        // Each page got the plug-in's page code (the setup has the first).
        int pagesRendered = -1;
        for (std::size_t at = 0; (at = run.out.find("%%TARVO-BitmapSize: ", at)) != std::string::npos; ++at) ++pagesRendered;
        EXPECT_EQ(pagesRendered, c.pages) << c.name;
        // The job's trailer follows its last page, and the job ends with
        // %%EOF; the comments the host adds start lines of their own.
        EXPECT_EQ(run.out.find("showpage%%"), std::string::npos) << c.name;
        EXPECT_LT(run.out.rfind("%%TARVO-BitmapSize: "), run.out.rfind("%%Trailer")) << c.name;
        const std::string end = run.out.substr(run.out.rfind("%%EOF"));
        EXPECT_TRUE(end == "%%EOF\n\x1b%-12345X" || end == "%%EOF\r\n\x1b%-12345X" || end == "%%EOF\r\x1b%-12345X") << c.name;
    }
}

}  // namespace
