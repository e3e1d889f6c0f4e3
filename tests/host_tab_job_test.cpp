// A job with tab sheets from end to end: tvzx render prints the tab sample
// through the plug-in, whose worker process (or thread) has the base module
// print each tab document; Ghostscript then shows every label on its tab.
#include <gtest/gtest.h>

#include <cmath>

#include "postscript/tab_texts.h"
#include "stream_text.h"
#include "tool_runner.h"
#include "required_tool.h"

namespace tvzx {
namespace {

namespace fs = std::filesystem;
using namespace testing;

// One run of text the interpreter's text device found: its box in points
// from the top left, and its characters.
struct TextRun {
    double left, top, right;
    std::string text;
};

// Returns the runs of text of each page of Ghostscript's text output (the
// form that gives a box per run and per character).
std::vector<std::vector<TextRun>> textRuns(const std::string& output) {
    std::vector<std::vector<TextRun>> pages;
    const std::regex element(R"re(<page>|<span bbox="(\S+) (\S+) (\S+) \S+"|<char [^>]* c="([^"]*)"/>)re");
    for (auto it = std::sregex_iterator(output.begin(), output.end(), element); it != std::sregex_iterator(); ++it) {
        const std::smatch& m = *it;
        if (m.str(0) == "<page>") pages.emplace_back();
        else if (m[1].matched && !pages.empty())
            pages.back().push_back({std::stod(m.str(1)), std::stod(m.str(2)), std::stod(m.str(3)), {}});
        else if (m[4].matched && !pages.empty() && !pages.back().empty()) pages.back().back().text += m.str(4);
    }
    return pages;
}

class TabJob : public testing::ToolTest {
protected:
    std::string render(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"render", "--sample", "tabs", "-o", (dir_ / "job.prn").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = runTvzx(args, dir_ / "err.txt");
        EXPECT_EQ(run.status, 0) << run.err;
        return readAll(dir_ / "job.prn");
    }

    // Returns the path of the plug-in module copied, with the named
    // modules beside it, to a folder of its own.
    std::string moduleWith(std::initializer_list<const char*> others) const {
        const fs::path modules = dir_ / "modules";
        fs::create_directories(modules);
        for (const char* file : others) fs::copy_file(fs::path(TVZX_BINARY_DIR) / "src" / file, modules / file);
        fs::copy_file(fs::path(TVZX_BINARY_DIR) / "src" / "tvzx_ps.dll", modules / "tvzx_ps.dll");
        return (modules / "tvzx_ps.dll").string();
    }
};

TEST_F(TabJob, EveryTabSheetIsSplicedWhereItBelongs) {
    const std::string stream = render();
    ASSERT_EQ(count(stream, postscript::stateSave()), 3u);
    ASSERT_EQ(count(stream, postscript::stateRestore()), 3u);
    // Inserted before page 2, printed on page 3, after the last page.
    std::size_t from = 0;
    for (const char* part : {"%%Page: 2 2", "%%Title: Inserted Tab before 2", "%%Page: 3 3", "%%Title: Printed Tab on 3",
                             "%%Trailer", "%%Title: Tab after Document 4"})
        ASSERT_NE(from = stream.find(part, from), std::string::npos) << "missing or out of order: " << part;
    // One sheet is printed on its page; the tab documents' own job framing
    // stays out of the job.
    EXPECT_EQ(std::tuple(count(stream, postscript::noEjectText()), count(stream, "@PJL ENTER LANGUAGE"),
                         count(stream, "%%EOF")), std::tuple(1u, 1u, 1u));
}

TEST_F(TabJob, ThreadGivesTheSameStreamAsTheWorkerProcess) {
    const std::string byProcess = withoutJobIdentity(render());
    // A module without the export runner beside it prints its tab documents
    // on a thread.
    EXPECT_TRUE(withoutJobIdentity(render({"--module", moduleWith({"tvzx.dll", "tvzx_n.dll"})})) == byProcess);
}

TEST_F(TabJob, WithoutTheBaseModuleTheJobGoesOnWithoutTabSheets) {
    const std::string stream = render({"--module", moduleWith({})});
    EXPECT_EQ(std::tuple(count(stream, postscript::stateSave()), count(stream, "%%Page: "), count(stream, "%%EOF")),
              std::tuple(0u, 3u, 1u));
}

TEST_F(TabJob, PageToolsTakeTheJobsPagesWithTheirTabSheets) {
    TVZX_REQUIRE_TOOL(::system("command -v psselect >/dev/null && command -v psnup >/dev/null") == 0,
                      "psutils (psselect, psnup)");
    render();
    // Returns what the page tool said and the document it wrote.
    const auto run = [&](const std::string& tool) {
        const std::string command = tool + " '" + (dir_ / "job.prn").string() + "' '" + (dir_ / "out.ps").string() +
                                    "' 2>'" + (dir_ / "tool.txt").string() + "'";
        EXPECT_EQ(::system(command.c_str()), 0) << command;
        return std::pair(readAll(dir_ / "tool.txt"), readAll(dir_ / "out.ps"));
    };
    // A page takes the tab sheets spliced into it, and only those.
    for (const auto& [page, mine, other] : {std::tuple("2", "%%Title: Inserted Tab before 2", "%%Title: Printed Tab on 3"),
                                            std::tuple("3", "%%Title: Printed Tab on 3", "%%Title: Inserted Tab before 2")}) {
        const auto [said, document] = run(std::string("psselect -p") + page);
        EXPECT_NE(said.find("Wrote 1 pages"), std::string::npos) << said;
        EXPECT_EQ(std::tuple(count(document, "%%Page: "), count(document, mine), count(document, other)),
                  std::tuple(1u, 1u, 0u)) << page;
    }
    const auto [said, document] = run("psnup -2");
    EXPECT_NE(said.find("Wrote 2 pages"), std::string::npos) << said;
}

TEST_F(TabJob, GhostscriptShowsEachLabelOnItsTab) {
    TVZX_REQUIRE_TOOL(::system("gs -v >/dev/null 2>&1") == 0, "Ghostscript (gs)");
    render();
    const std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=txtwrite -dTextFormat=0 -r72 -sOutputFile='" +
                                (dir_ / "text.xml").string() + "' '" + (dir_ / "job.prn").string() + "' 2>&1";
    ASSERT_EQ(::system(command.c_str()), 0);
    const auto pages = textRuns(readAll(dir_ / "text.xml"));
    // Page 1, the inserted tab, page 2, page 3 on its tab paper, the tab after
    // the document.
    ASSERT_EQ(pages.size(), 5u);
    // The A4 tab paper (631 x 841 pt) carries its tabs right of the A4 sheet
    // (595 pt), 34 mm from the top, 40.3 mm each.
    constexpr double kStripLeft = 595, kStripRight = 631;
    constexpr double kAbove = 34.0 * 72 / 25.4, kTab = 40.3 * 72 / 25.4;
    // Returns the runs inside the tab strip as "text@tab index", in order.
    const auto onTabs = [&](const std::vector<TextRun>& runs) {
        std::string out;
        for (const TextRun& run : runs)
            if (run.left >= kStripLeft && run.right <= kStripRight)
                out += run.text + "@" + std::to_string(static_cast<int>(std::floor((run.top - kAbove) / kTab))) + " ";
        return out;
    };
    std::string all;
    for (const auto& page : pages) all += "|" + onTabs(page);
    EXPECT_EQ(all, "||Part A@0 ||Part B@1 |Index@2 ");
    // The inserted sheets carry their label and nothing else.
    EXPECT_EQ(std::pair(pages[1].size(), pages[4].size()), (std::pair<std::size_t, std::size_t>(1, 1)));
}

}  // namespace
}  // namespace tvzx
