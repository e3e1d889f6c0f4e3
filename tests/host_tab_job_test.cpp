// A job with tab sheets from end to end: tvzx render prints the tab sample
// through the plug-in, whose worker process (or thread) has the base module
// print each tab document; Ghostscript then shows every label on its tab.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "postscript/tab_texts.h"
#include "tool_runner.h"
#include "required_tool.h"

namespace tvzx {
namespace {

namespace fs = std::filesystem;
using testing::readAll;
using testing::runTvzx;

// The job identity changes with every job; everything else must not.
std::string withoutJobIdentity(const std::string& stream) {
    return std::regex_replace(stream, std::regex("@PJL SET DRIVERJOBID=\"[^\"]*\""), "@PJL SET DRIVERJOBID=\"*\"");
}

std::size_t count(const std::string& text, std::string_view what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) ++n;
    return n;
}

// A grey page from the interpreter: one byte per pixel, 0 black.
struct GreyPage {
    int width = 0;
    int height = 0;
    std::string pixels;

    // Returns the dark pixels inside (or, with `outside`, outside) the
    // rectangle given in points from the bottom left at `dpi`.
    int darkPixels(double left, double bottom, double right, double top, double dpi, bool outside = false) const {
        const double scale = dpi / 72.0;
        const int x0 = static_cast<int>(left * scale), x1 = static_cast<int>(right * scale + 0.5);
        const int y0 = height - static_cast<int>(top * scale + 0.5), y1 = height - static_cast<int>(bottom * scale);
        int dark = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const bool inside = x >= x0 && x < x1 && y >= y0 && y < y1;
                if (inside != outside && static_cast<unsigned char>(pixels[y * width + x]) < 128) ++dark;
            }
        return dark;
    }
};

GreyPage readPgm(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    GreyPage page;
    // The header's numbers may be interleaved with comment lines.
    const auto number = [&in] {
        in >> std::ws;
        while (in.peek() == '#') {
            std::string comment;
            std::getline(in, comment);
            in >> std::ws;
        }
        int value = 0;
        in >> value;
        return value;
    };
    std::string magic;
    in >> magic;
    page.width = number();
    page.height = number();
    number();  // the largest grey value
    in.get();
    page.pixels.resize(static_cast<std::size_t>(page.width) * page.height);
    in.read(page.pixels.data(), static_cast<std::streamsize>(page.pixels.size()));
    return page;
}

class TabJob : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-tabs-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string render(const std::vector<std::string>& extra = {}) {
        std::vector<std::string> args = {"render", "--sample", "tabs", "-o", (dir_ / "job.prn").string()};
        args.insert(args.end(), extra.begin(), extra.end());
        const auto run = runTvzx(args, dir_ / "err.txt");
        EXPECT_EQ(run.status, 0) << run.err;
        return readAll(dir_ / "job.prn");
    }

    fs::path dir_;
};

TEST_F(TabJob, EveryTabSheetIsSplicedWhereItBelongs) {
    const std::string stream = render();
    ASSERT_EQ(count(stream, postscript::stateSave()), 3u);
    ASSERT_EQ(count(stream, postscript::stateRestore()), 3u);
    // Inserted before page 2, printed on page 3, after the last page.
    const std::size_t page2 = stream.find("%%Page: 2 2");
    const std::size_t page3 = stream.find("%%Page: 3 3");
    const std::size_t trailer = stream.find("%%Trailer");
    const std::size_t inserted = stream.find("%%Title: Inserted Tab before 2");
    const std::size_t printed = stream.find("%%Title: Printed Tab on 3");
    const std::size_t after = stream.find("%%Title: Tab after Document 4");
    ASSERT_NE(inserted, std::string::npos);
    ASSERT_NE(printed, std::string::npos);
    ASSERT_NE(after, std::string::npos);
    EXPECT_GT(inserted, page2);
    EXPECT_LT(inserted, page3);
    EXPECT_GT(printed, page3);
    EXPECT_GT(after, trailer);
    EXPECT_EQ(count(stream, postscript::noEjectText()), 1u);
    // The tab documents' own job framing stays out of the job.
    EXPECT_EQ(count(stream, "@PJL ENTER LANGUAGE"), 1u);
    EXPECT_EQ(count(stream, "%%EOF"), 1u);
}

TEST_F(TabJob, ThreadGivesTheSameStreamAsTheWorkerProcess) {
    const std::string byProcess = withoutJobIdentity(render());
    // A module without the export runner beside it prints its tab documents
    // on a thread.
    const fs::path modules = dir_ / "modules";
    fs::create_directories(modules);
    for (const char* file : {"tvzx_ps.dll", "tvzx.dll", "tvzx_n.dll"})
        fs::copy_file(fs::path(TVZX_BINARY_DIR) / "src" / file, modules / file);
    const std::string byThread = withoutJobIdentity(render({"--module", (modules / "tvzx_ps.dll").string()}));
    EXPECT_EQ(byThread.size(), byProcess.size());
    EXPECT_TRUE(byThread == byProcess);
    EXPECT_EQ(count(byThread, postscript::stateSave()), 3u);
}

TEST_F(TabJob, WithoutTheBaseModuleTheJobGoesOnWithoutTabSheets) {
    const fs::path modules = dir_ / "modules";
    fs::create_directories(modules);
    fs::copy_file(fs::path(TVZX_BINARY_DIR) / "src" / "tvzx_ps.dll", modules / "tvzx_ps.dll");
    const std::string stream = render({"--module", (modules / "tvzx_ps.dll").string()});
    EXPECT_EQ(count(stream, postscript::stateSave()), 0u);
    EXPECT_EQ(count(stream, "%%Page: "), 3u);
    EXPECT_EQ(count(stream, "%%EOF"), 1u);
}

TEST_F(TabJob, GhostscriptShowsEachLabelOnItsTab) {
    TVZX_REQUIRE_TOOL(::system("gs -v >/dev/null 2>&1") == 0, "Ghostscript (gs)");
    render();
    constexpr double kDpi = 36;
    const std::string command = "gs -q -dNOPAUSE -dBATCH -dSAFER -sDEVICE=pgmraw -r36 -sOutputFile='" +
                                (dir_ / "page-%d.pgm").string() + "' '" + (dir_ / "job.prn").string() + "' 2>&1";
    ASSERT_EQ(::system(command.c_str()), 0);
    // Page 1, the inserted tab, page 2, page 3 on its tab paper, the tab after
    // the document.
    ASSERT_TRUE(fs::exists(dir_ / "page-5.pgm"));
    ASSERT_FALSE(fs::exists(dir_ / "page-6.pgm"));

    // The A4 tab paper (631 x 841 pt) carries its tabs right of the A4 sheet,
    // 34 mm from the top, 40.3 mm each.
    constexpr double kStripLeft = 595, kStripRight = 631, kPaperTop = 841;
    constexpr double kAbove = 34.0 * 72 / 25.4, kTab = 40.3 * 72 / 25.4;
    const auto tabTop = [&](int index) { return kPaperTop - kAbove - index * kTab; };
    struct Sheet {
        int page;
        int tabIndex;
        bool blankElsewhere;
    };
    for (const Sheet sheet : {Sheet{2, 0, true}, Sheet{4, 1, false}, Sheet{5, 2, true}}) {
        SCOPED_TRACE("page " + std::to_string(sheet.page));
        const GreyPage page = readPgm(dir_ / ("page-" + std::to_string(sheet.page) + ".pgm"));
        EXPECT_EQ(page.width, 316);  // the tab paper, not the A4 sheet
        const double top = tabTop(sheet.tabIndex);
        EXPECT_GT(page.darkPixels(kStripLeft, top - kTab, kStripRight, top, kDpi), 10) << "label missing";
        if (sheet.blankElsewhere) {
            EXPECT_EQ(page.darkPixels(kStripLeft, top - kTab, kStripRight, top, kDpi, true), 0);
        }
    }
    // The sheets of the document keep their own size.
    EXPECT_EQ(readPgm(dir_ / "page-1.pgm").width, 298);
    EXPECT_EQ(readPgm(dir_ / "page-3.pgm").width, 298);
}

}  // namespace
}  // namespace tvzx
