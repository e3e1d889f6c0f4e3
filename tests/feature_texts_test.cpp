// The feature dictionary texts of a job: setup entries, N-up data, page and
// trailer texts, the plug-in settings procedure, and the named paper sizes the
// custom page is matched against.
#include <gtest/gtest.h>

#include "common/hex_text.h"
#include "postscript/feature_texts.h"
#include "postscript/paper_values.h"
#include "postscript/ppd_paper_sizes.h"
#include "postscript/tray_configuration.h"
#include "rules/page_exceptions.h"
#include "settings/feature_tables.h"
#include "settings/schema_hash.h"
#include "stream_text.h"

namespace tvzx::postscript {
namespace {

using settings::CoreData;
using settings::FieldId;

constexpr std::uint32_t kA4 = 1;
constexpr std::uint32_t kStoredPerMillimetre = 10000;

// A record with every default and an A4 page, whatever the machine's locale.
CoreData a4Record() {
    CoreData record = settings::buildDefaultRecord({'9', 0});
    record.setOption(FieldId::PageSize, kA4);
    return record;
}

// Sets options and numbers alike: both are stored as they are given here.
void setAll(CoreData& record, std::initializer_list<std::pair<FieldId, std::int64_t>> values) {
    for (const auto& [id, value] : values)
        if (settings::fieldDef(id).kind == settings::Kind::Option) record.setOption(id, static_cast<std::uint32_t>(value));
        else record.setNumber(id, value);
}

void setCustomPage(CoreData& record, double widthMm, double heightMm) {
    record.setOption(FieldId::PageSize, settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, static_cast<std::int64_t>(widthMm * kStoredPerMillimetre + 0.5));
    record.setNumber(FieldId::CustomPageSizeHeight, static_cast<std::int64_t>(heightMm * kStoredPerMillimetre + 0.5));
}

void setPageExceptions(CoreData& record, const std::vector<rules::PageException>& exceptions) {
    const rules::EncodedPageExceptions encoded = rules::encodePageExceptions(exceptions);
    ASSERT_TRUE(encoded.fits);
    std::copy(encoded.block.begin(), encoded.block.end(), record.field(FieldId::PageSpecificTrays).begin());
}

rules::PageException pagePaper(std::uint8_t kind, std::uint8_t paperSize, std::uint16_t first, std::uint16_t last) {
    rules::PageException exception;
    exception.kind = kind;
    exception.paperSize = paperSize;
    exception.pageRanges = {{first, last}};
    return exception;
}

// Returns the text with each {line, replacement} applied in turn; each line must be there.
std::string withLines(std::string text, std::initializer_list<std::pair<std::string_view, std::string_view>> changes) {
    for (const auto& [line, replacement] : changes) text = testing::replaced(text, line, replacement);
    return text;
}

const std::string kEnsure = "\r\nuserdict /TVZXFeatures known not { userdict /TVZXFeatures 100 dict put } if\r\n";
const std::string kDefaultTray = " << /TVZXMediaType /NoSet /TVZXMediaWeight /NoSet /TVZXMediaColor /NoSet "
                                 "/TVZXMediaPrepunched false >>\r\n";

const std::string kNupTail = "TVZXFeatures /TVZXTolerance 1 put\r\nTVZXFeatures /PageOrient (Port) put\r\n"
                             "TVZXFeatures /TVZXPdNup /None put\r\n"
                             "TVZXFeatures /Tarvo_NupP5 known { TVZXFeatures /Tarvo_NupP5 get exec } if\r\n";
const std::string kA4NupData =
    "TVZXFeatures /HiResPageSize [210000 297000] put\r\nTVZXFeatures /HiResPageSizePpdPt undef\r\n" + kNupTail;
const std::string kP4 = "TVZXFeatures /Tarvo_P4 known { TVZXFeatures /Tarvo_P4 get exec } if\r\n";

std::string defaultSetupText() {
    return kEnsure + "TVZXFeatures /PDVersion (7.0.410:0x" + hexBytesText(settings::schemaHash()) + ") put\r\n" +
           "TVZXFeatures /TARVOPDOS (WinNT5) put\r\nTVZXFeatures /TVZXPBMode /None put\r\n" + kA4NupData +
           "TVZXFeatures /Zoom 100 put\r\nTVZXFeatures /TVZXMixedOriginalMode false put\r\n" +
           "TVZXFeatures /Orient (Port) put\r\nTVZXFeatures /TrayConfiguration \r\n<<\r\n/Tray1" + kDefaultTray +
           "/Tray2" + kDefaultTray + "/Tray3" + kDefaultTray + "/Tray4" + kDefaultTray + "/Tray5" + kDefaultTray +
           "/MBT" + kDefaultTray + ">> put\r\n";
}

TEST(SetupText, TellingSettingsChangeTheirOwnEntries) {
    CoreData record = a4Record();
    setAll(record, {{FieldId::PerfectBindMode, 4}, {FieldId::Zoom, 250}, {FieldId::MixedSize, 1}, {FieldId::Orientation, 1},
                    {FieldId::NUpCount, 12}});
    const std::string landscape = withLines(defaultSetupText(), {{"/Zoom 100", "/Zoom 250"},
        {"/TVZXMixedOriginalMode false", "/TVZXMixedOriginalMode true"}, {"/PageOrient (Port)", "/PageOrient (Land)"},
        {"/Orient (Port)", "/Orient (Land)"}});
    EXPECT_EQ(setupText(record),
              withLines(landscape, {{"/TVZXPBMode /None", "/TVZXPBMode /2in1"}, {"/TVZXPdNup /None", "/TVZXPdNup /16r"}}));
    // Values past the lists read as none.
    setAll(record, {{FieldId::PerfectBindMode, 6}, {FieldId::NUpCount, 13}});
    EXPECT_EQ(setupText(record), landscape);
}

TEST(NupData, CustomPageWithoutANamedSizeGoesOutInExactPoints) {
    CoreData record = a4Record();
    setCustomPage(record, 100, 150);
    EXPECT_EQ(nUpData(record), "TVZXFeatures /HiResPageSize [100000 150000] put\r\n"
                               "TVZXFeatures /HiResPageSizePpdPt [283.4645669291338663 425.1968503937007995] put\r\n" +
                                   kNupTail);
    // Tenths of a micrometre round half up.
    setAll(record, {{FieldId::CustomPageSizeWidth, 1000005}, {FieldId::CustomPageSizeHeight, 1500004}});
    EXPECT_EQ(hiResPageSize(record), "[100001 150000]");
}

TEST(NupData, NamedPagesAndCustomPagesMatchingThemGoOutInMicrometres) {
    CoreData record = a4Record();
    using Sizes = std::pair<std::string, std::string>;
    const auto sizes = [&] { return Sizes(hiResPageSize(record), hiResPageSizePpdPt(record)); };
    record.setOption(FieldId::PageSize, 15);  // Letter
    EXPECT_EQ(sizes(), Sizes("[215900 279400]", ""));
    // An index past the custom size reads as the list's default, A4.
    record.setOption(FieldId::PageSize, 40);
    EXPECT_EQ(sizes(), Sizes("[210000 297000]", ""));
    // 210 x 297 mm is 595.28 x 841.89 points: the PPD's A4 of 595 x 842.
    setCustomPage(record, 210, 297);
    EXPECT_EQ(sizes(), Sizes("[210000 297000]", ""));
    // 1.7 points wider than A4 is a size of its own.
    setCustomPage(record, 210.5, 297.4);
    EXPECT_EQ(hiResPageSizePpdPt(record), "[596.6929133858267278 843.0236220472440891]");
    // A4 turned on its side is not the PPD's A4.
    setCustomPage(record, 297, 210);
    EXPECT_EQ(hiResPageSizePpdPt(record), "[841.8897637795275841 595.2755905511811534]");
}

TEST(PpdPaperSizes, MatchWithinOnePointAsThePageStands) {
    // Letter and 9x11 share a height; the width decides.
    const std::tuple<double, double, std::string_view> rows[] = {{595, 842, "A4"}, {596.0, 841.0, "A4"}, {596.01, 842, ""},
                                                                 {842, 595, ""}, {612.4, 791.6, "Letter"}, {648, 792, "9x11"}};
    for (const auto& [width, height, keyword] : rows) {
        const auto* size = matchingPpdPaperSize(width, height);
        EXPECT_EQ(size == nullptr ? "" : std::string(size->keyword), keyword) << width << " x " << height;
    }
}

TEST(TargetPaperCustomSize, OnlyForACustomTargetOrAProfileOfCustomSize) {
    CoreData record = a4Record();
    EXPECT_EQ(targetPaperCustomSize(record), "");
    setAll(record, {{FieldId::TargetPaperSize, kTargetCustom}, {FieldId::CustomTargetPaperSizeWidth, 4200000},
                    {FieldId::CustomTargetPaperSizeHeight, 2970000}});
    // The short side first, in tenths of a millimetre.
    EXPECT_EQ(targetPaperCustomSize(record), "[2970 4200]");
    EXPECT_EQ(setupText(record), withLines(defaultSetupText(), {{"TVZXFeatures /TrayConfiguration",
                                           "TVZXFeatures /TPCS [2970 4200] put\r\nTVZXFeatures /TrayConfiguration"}}));
    // Half a tenth rounds up.
    setAll(record, {{FieldId::CustomTargetPaperSizeWidth, 2104500}, {FieldId::CustomTargetPaperSizeHeight, 2104499}});
    EXPECT_EQ(targetPaperCustomSize(record), "[2104 2105]");

    record = a4Record();
    setAll(record, {{FieldId::TargetPaperSize, kTargetPaperProfile}, {FieldId::MainPaperProfileWidth, 3300000},
                    {FieldId::MainPaperProfileHeight, 4880000}, {FieldId::CustomTargetPaperSizeWidth, 1000000},
                    {FieldId::CustomTargetPaperSizeHeight, 1000000}, {FieldId::MainPaperProfileSize, settings::kCustomPageSize}});
    // Without a chosen profile there is no size.
    EXPECT_EQ(targetPaperCustomSize(record), "");
    record.setOption(FieldId::MainPaperProfileIndex, 3);
    EXPECT_EQ(targetPaperCustomSize(record), "[3300 4880]");
    // A profile of a named size is no custom target.
    record.setOption(FieldId::MainPaperProfileSize, kA4);
    EXPECT_EQ(targetPaperCustomSize(record), "");
}

TEST(TrayConfiguration, TheJobsTrayTakesThePaperProfile) {
    CoreData record = a4Record();
    setAll(record, {{FieldId::InputSlot, 2}, {FieldId::MainPaperProfileIndex, 7}, {FieldId::MainPaperProfileMediaType, 2},
                    {FieldId::MainPaperProfileMediaWeight, 5}, {FieldId::MainPaperProfileMediaColor, 14},
                    {FieldId::MainPaperProfileMediaPrepunched, 1}});
    ASSERT_TRUE(record.setText(FieldId::MainPaperProfileCustomMediaColorName, "Sky Blue"));
    // The tray's own settings give way to the profile's; a custom colour
    // without a name, and a type past the list.
    setAll(record, {{FieldId::MediaTypeTray2, 4}, {FieldId::MediaTypeTray3, 3}, {FieldId::MediaColorTray3, 3},
                    {FieldId::MediaPrepunchedTray3, 1}, {FieldId::MediaColorMBT, 14}, {FieldId::MediaTypeTray1, 9},
                    {FieldId::MediaWeightTray5, 13}, {FieldId::MediaColorTray4, 14}});
    ASSERT_TRUE(record.setText(FieldId::CustomMediaColorNameTray4, "Salmon"));
    const auto tray = [](std::string type, std::string weight, std::string colour, bool punched) {
        return " << /TVZXMediaType /" + type + " /TVZXMediaWeight /" + weight + " /TVZXMediaColor " + colour +
               " /TVZXMediaPrepunched " + (punched ? "true" : "false") + " >>\r\n";
    };
    EXPECT_EQ(trayConfiguration(record),
              "\r\n<<\r\n/Tray1" + kDefaultTray + "/Tray2" + tray("Bond", "Thick", "<536B7920426C7565>cvn", true) +
                  "/Tray3" + tray("Book", "NoSet", "/Goldenrod", true) + "/Tray4" +
                  tray("NoSet", "NoSet", "/Salmon", false) + "/Tray5" + tray("NoSet", "Thick9", "/NoSet", false) +
                  "/MBT" + tray("NoSet", "NoSet", "/Custom", false) + ">>");
    // Without a chosen profile the tray keeps its own settings.
    record.setOption(FieldId::MainPaperProfileIndex, 0);
    EXPECT_NE(trayConfiguration(record).find("/Tray2" + tray("Rough", "NoSet", "/NoSet", false)), std::string::npos);
}

TEST(EndOfSetupPageTrailerAndTrailer, CallTheLayoutCode) {
    EXPECT_EQ(endOfSetupText(),
              kEnsure + "TVZXFeatures /Tarvo_V11 <2525544152564F50414745545241494C45522525> put\r\n"
                        "TVZXFeatures /Tarvo_NupP0 known { TVZXFeatures /Tarvo_NupP0 get exec } if\r\n");
    EXPECT_EQ(pageTrailerText(),
              "\r\n" + kEnsure + "TVZXFeatures /Tarvo_NupP3 known { TVZXFeatures /Tarvo_NupP3 get exec } if\r\n");
    EXPECT_EQ(trailerText(), kEnsure + "TVZXFeatures /Tarvo_P6 known { TVZXFeatures /Tarvo_P6 get exec } if\r\n");
}

TEST(PageText, PageExceptionsGiveThePagePaper) {
    CoreData record = a4Record();
    // Without page exceptions, no paper and the callback undone.
    EXPECT_EQ(pageText(record, {}, 0), kEnsure + kP4 + kA4NupData + "\r\nuserdict /TVZXPluginEndPageSetupCallBack undef\r\n");
    record.setOption(FieldId::TargetPaperSize, 3);  // A4
    rules::PageException custom = pagePaper(0, settings::kCustomPageSize, 5, 5);
    custom.customWidth = 2104950;  // 210.495 mm
    custom.customHeight = 2970000;
    rules::PageException tab = pagePaper(5, 0, 6, 6);
    tab.tabInfo = {0, 0, 0, 0, "Part 2"};
    setPageExceptions(record, {pagePaper(1, 0, 4, 4), pagePaper(0, 0, 2, 3), custom, tab,
                               pagePaper(3, 10, 2, 9), pagePaper(2, 5, 7, 7)});
    const std::vector<rules::PageException> exceptions = rules::pageExceptionsOf(record);
    const std::string head = kEnsure + kP4 + kA4NupData;
    const auto call = [](const std::string& argument) {
        return "TVZXFeatures /Tarvo_P8 known { " + argument + " TVZXFeatures /Tarvo_P8 get exec } if\r\n";
    };
    // Pages without an exception of their own take the target paper; page 5 the
    // record's custom size in tenths of a millimetre; inserted sheets and tab
    // sheets are no pages (the next record or the target); pages the layout code
    // cannot number get no paper.
    const std::pair<std::uint64_t, std::string> pages[] = {{1, call("/A4")}, {2, call("/A3")}, {5, call("[2105 2970]")},
        {4, call("/ZXTabloid")}, {6, call("/ZXTabloid")}, {10, call("/A4")}, {0, ""}, {65536, ""}, {65535, call("/A4")}};
    for (const auto& [page, paper] : pages) EXPECT_EQ(pageText(record, exceptions, page), head + paper) << page;
    PlugInFeatureTexts texts;
    EXPECT_EQ(texts.pageHead(record) + texts.pageText(record, 2), head + call("/A3"));
}

TEST(PageText, TargetPaperForPagesWithoutTheirOwn) {
    CoreData record = a4Record();
    const std::vector<rules::PageException> exceptions = {pagePaper(0, 0, 9, 9)};
    const auto argument = [&](std::uint32_t target) {
        record.setOption(FieldId::TargetPaperSize, target);
        return pagePaperArgument(record, exceptions, 1);
    };
    // The custom target and values past it stand for Auto; a paper profile
    // without a chosen profile has no paper keyword.
    EXPECT_EQ((std::vector{argument(kTargetAuto), argument(26), argument(kTargetCustom), argument(200),
                           argument(kTargetPaperProfile)}),
              (std::vector<std::string>{"/None", "/ZXLetterSTab", "/None", "/None", ""}));
    // A profile of Letter, of a custom size, and of a size past the list.
    setAll(record, {{FieldId::MainPaperProfileIndex, 2}});
    using Profile = std::pair<std::uint32_t, std::string_view>;
    for (const auto& [size, expected] : {Profile{15, "/Letter"}, {settings::kCustomPageSize, "/None"}, {99, "/None"}}) {
        record.setOption(FieldId::MainPaperProfileSize, size);
        EXPECT_EQ(argument(kTargetPaperProfile), expected) << size;
    }
    // No exceptions at all: no paper.
    EXPECT_EQ(pagePaperArgument(record, {}, 1), "");
}

TEST(PlugInSettings, OneLinePerCodeAndNoneWithoutCodes) {
    const std::vector<std::string> codes = {"", "/ZXHold true def"};
    EXPECT_EQ(plugInSettingsText(codes), "TVZXFeatures /TVZXPlugInSettings {\r\n/ZXHold true def\r\n} bind executeonly put\r\n");
    EXPECT_EQ(plugInSettingsText(std::vector<std::string>{"", ""}), "");
}

}  // namespace
}  // namespace tvzx::postscript
