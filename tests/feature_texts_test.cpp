// The feature dictionary texts of a job: setup entries, N-up data, page and
// trailer texts, the plug-in settings procedure, and the named paper sizes the
// custom page is matched against.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "common/hex_text.h"
#include "frame/environment.h"
#include "postscript/feature_texts.h"
#include "postscript/paper_values.h"
#include "postscript/ppd_paper_sizes.h"
#include "postscript/tray_configuration.h"
#include "rules/page_exceptions.h"
#include "settings/feature_tables.h"
#include "settings/schema_hash.h"

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

// Returns the text with one line replaced; the line must be there.
std::string withLine(std::string text, const std::string& line, const std::string& replacement) {
    const std::size_t at = text.find(line);
    EXPECT_NE(at, std::string::npos) << "no line " << line;
    if (at != std::string::npos) text.replace(at, line.size(), replacement);
    return text;
}

const std::string kEnsure = "\r\nuserdict /TVZXFeatures known not { userdict /TVZXFeatures 100 dict put } if\r\n";
const std::string kDefaultTray = " << /TVZXMediaType /NoSet /TVZXMediaWeight /NoSet /TVZXMediaColor /NoSet "
                                 "/TVZXMediaPrepunched false >>\r\n";

std::string versionLine() {
    return "TVZXFeatures /PDVersion (7.0.410:0x" + hexBytesText(settings::schemaHash()) + ") put\r\n";
}

const std::string kA4NupData =
    "TVZXFeatures /HiResPageSize [210000 297000] put\r\n"
    "TVZXFeatures /HiResPageSizePpdPt undef\r\n"
    "TVZXFeatures /TVZXTolerance 1 put\r\n"
    "TVZXFeatures /PageOrient (Port) put\r\n"
    "TVZXFeatures /TVZXPdNup /None put\r\n"
    "TVZXFeatures /Tarvo_NupP5 known { TVZXFeatures /Tarvo_NupP5 get exec } if\r\n";

std::string defaultSetupText() {
    return kEnsure + versionLine() +
           "TVZXFeatures /TARVOPDOS (WinNT5) put\r\n"
           "TVZXFeatures /TVZXPBMode /None put\r\n" +
           kA4NupData +
           "TVZXFeatures /Zoom 100 put\r\n"
           "TVZXFeatures /TVZXMixedOriginalMode false put\r\n"
           "TVZXFeatures /Orient (Port) put\r\n"
           "TVZXFeatures /TrayConfiguration \r\n<<\r\n" +
           "/Tray1" + kDefaultTray + "/Tray2" + kDefaultTray + "/Tray3" + kDefaultTray + "/Tray4" + kDefaultTray +
           "/Tray5" + kDefaultTray + "/MBT" + kDefaultTray + ">> put\r\n";
}

TEST(SetupText, DefaultRecord) { EXPECT_EQ(setupText(a4Record()), defaultSetupText()); }

TEST(SetupText, TellingSettingsChangeTheirOwnEntries) {
    CoreData record = a4Record();
    record.setOption(FieldId::PerfectBindMode, 4);
    record.setNumber(FieldId::Zoom, 250);
    record.setOption(FieldId::MixedSize, 1);
    record.setOption(FieldId::Orientation, 1);
    record.setOption(FieldId::NUpCount, 12);
    std::string expected = defaultSetupText();
    expected = withLine(expected, "/TVZXPBMode /None", "/TVZXPBMode /2in1");
    expected = withLine(expected, "/Zoom 100", "/Zoom 250");
    expected = withLine(expected, "/TVZXMixedOriginalMode false", "/TVZXMixedOriginalMode true");
    expected = withLine(expected, "/PageOrient (Port)", "/PageOrient (Land)");
    expected = withLine(expected, "/Orient (Port)", "/Orient (Land)");
    expected = withLine(expected, "/TVZXPdNup /None", "/TVZXPdNup /16r");
    EXPECT_EQ(setupText(record), expected);
    // Values past the lists read as none.
    record.setOption(FieldId::PerfectBindMode, 6);
    record.setOption(FieldId::NUpCount, 13);
    expected = withLine(expected, "/TVZXPBMode /2in1", "/TVZXPBMode /None");
    EXPECT_EQ(setupText(record), withLine(expected, "/TVZXPdNup /16r", "/TVZXPdNup /None"));
}

TEST(NupData, CustomPageWithoutANamedSizeGoesOutInExactPoints) {
    CoreData record = a4Record();
    setCustomPage(record, 100, 150);
    EXPECT_EQ(nUpData(record), "TVZXFeatures /HiResPageSize [100000 150000] put\r\n"
                               "TVZXFeatures /HiResPageSizePpdPt [283.4645669291338663 425.1968503937007995] put\r\n"
                               "TVZXFeatures /TVZXTolerance 1 put\r\n"
                               "TVZXFeatures /PageOrient (Port) put\r\n"
                               "TVZXFeatures /TVZXPdNup /None put\r\n"
                               "TVZXFeatures /Tarvo_NupP5 known { TVZXFeatures /Tarvo_NupP5 get exec } if\r\n");
    // Tenths of a micrometre round half up.
    record.setNumber(FieldId::CustomPageSizeWidth, 1000005);
    record.setNumber(FieldId::CustomPageSizeHeight, 1500004);
    EXPECT_EQ(hiResPageSize(record), "[100001 150000]");
}

TEST(NupData, NamedPagesAndCustomPagesMatchingThemGoOutInMicrometres) {
    CoreData record = a4Record();
    record.setOption(FieldId::PageSize, 15);  // Letter
    EXPECT_EQ(hiResPageSize(record), "[215900 279400]");
    // An index past the custom size reads as the list's default, A4.
    record.setOption(FieldId::PageSize, 40);
    EXPECT_EQ(hiResPageSize(record), "[210000 297000]");
    EXPECT_EQ(hiResPageSizePpdPt(record), "");
    // 210 x 297 mm is 595.28 x 841.89 points: the PPD's A4 of 595 x 842.
    setCustomPage(record, 210, 297);
    EXPECT_EQ(hiResPageSize(record), "[210000 297000]");
    EXPECT_EQ(hiResPageSizePpdPt(record), "");
    // 1.7 points wider than A4 is a size of its own.
    setCustomPage(record, 210.5, 297.4);
    EXPECT_EQ(hiResPageSizePpdPt(record), "[596.6929133858267278 843.0236220472440891]");
    // A4 turned on its side is not the PPD's A4.
    setCustomPage(record, 297, 210);
    EXPECT_EQ(hiResPageSizePpdPt(record), "[841.8897637795275841 595.2755905511811534]");
}

TEST(PpdPaperSizes, MatchWithinOnePointAsThePageStands) {
    ASSERT_NE(matchingPpdPaperSize(595, 842), nullptr);
    EXPECT_EQ(matchingPpdPaperSize(595, 842)->keyword, "A4");
    EXPECT_EQ(matchingPpdPaperSize(596.0, 841.0)->keyword, "A4");
    EXPECT_EQ(matchingPpdPaperSize(596.01, 842), nullptr);
    EXPECT_EQ(matchingPpdPaperSize(842, 595), nullptr);
    // Letter and 9x11 share a height; the width decides.
    EXPECT_EQ(matchingPpdPaperSize(612.4, 791.6)->keyword, "Letter");
    EXPECT_EQ(matchingPpdPaperSize(648, 792)->keyword, "9x11");
}

TEST(TargetPaperCustomSize, OnlyForACustomTargetOrAProfileOfCustomSize) {
    CoreData record = a4Record();
    EXPECT_EQ(targetPaperCustomSize(record), "");
    record.setOption(FieldId::TargetPaperSize, kTargetCustom);
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 4200000);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 2970000);
    // The short side first, in tenths of a millimetre.
    EXPECT_EQ(targetPaperCustomSize(record), "[2970 4200]");
    EXPECT_EQ(setupText(record), withLine(defaultSetupText(), "TVZXFeatures /TrayConfiguration",
                                          "TVZXFeatures /TPCS [2970 4200] put\r\nTVZXFeatures /TrayConfiguration"));
    // Half a tenth rounds up.
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 2104500);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 2104499);
    EXPECT_EQ(targetPaperCustomSize(record), "[2104 2105]");

    record = a4Record();
    record.setOption(FieldId::TargetPaperSize, kTargetPaperProfile);
    record.setNumber(FieldId::MainPaperProfileWidth, 3300000);
    record.setNumber(FieldId::MainPaperProfileHeight, 4880000);
    record.setNumber(FieldId::CustomTargetPaperSizeWidth, 1000000);
    record.setNumber(FieldId::CustomTargetPaperSizeHeight, 1000000);
    record.setOption(FieldId::MainPaperProfileSize, settings::kCustomPageSize);
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
    record.setOption(FieldId::InputSlot, 2);
    record.setOption(FieldId::MainPaperProfileIndex, 7);
    record.setOption(FieldId::MainPaperProfileMediaType, 2);
    record.setOption(FieldId::MainPaperProfileMediaWeight, 5);
    record.setOption(FieldId::MainPaperProfileMediaColor, 14);
    ASSERT_TRUE(record.setText(FieldId::MainPaperProfileCustomMediaColorName, "Sky Blue"));
    record.setOption(FieldId::MainPaperProfileMediaPrepunched, 1);
    // The tray's own settings give way to the profile's.
    record.setOption(FieldId::MediaTypeTray2, 4);
    record.setOption(FieldId::MediaTypeTray3, 3);
    record.setOption(FieldId::MediaColorTray3, 3);
    record.setOption(FieldId::MediaPrepunchedTray3, 1);
    // A custom colour without a name, and a type past the list.
    record.setOption(FieldId::MediaColorMBT, 14);
    record.setOption(FieldId::MediaTypeTray1, 9);
    record.setOption(FieldId::MediaWeightTray5, 13);
    record.setOption(FieldId::MediaColorTray4, 14);
    ASSERT_TRUE(record.setText(FieldId::CustomMediaColorNameTray4, "Salmon"));
    EXPECT_EQ(trayConfiguration(record),
              "\r\n<<\r\n"
              "/Tray1" + kDefaultTray +
              "/Tray2 << /TVZXMediaType /Bond /TVZXMediaWeight /Thick /TVZXMediaColor <536B7920426C7565>cvn "
              "/TVZXMediaPrepunched true >>\r\n"
              "/Tray3 << /TVZXMediaType /Book /TVZXMediaWeight /NoSet /TVZXMediaColor /Goldenrod "
              "/TVZXMediaPrepunched true >>\r\n"
              "/Tray4 << /TVZXMediaType /NoSet /TVZXMediaWeight /NoSet /TVZXMediaColor /Salmon "
              "/TVZXMediaPrepunched false >>\r\n"
              "/Tray5 << /TVZXMediaType /NoSet /TVZXMediaWeight /Thick9 /TVZXMediaColor /NoSet "
              "/TVZXMediaPrepunched false >>\r\n"
              "/MBT << /TVZXMediaType /NoSet /TVZXMediaWeight /NoSet /TVZXMediaColor /Custom "
              "/TVZXMediaPrepunched false >>\r\n"
              ">>");
    // Without a chosen profile the tray keeps its own settings.
    record.setOption(FieldId::MainPaperProfileIndex, 0);
    EXPECT_NE(trayConfiguration(record).find("/Tray2 << /TVZXMediaType /Rough /TVZXMediaWeight /NoSet "
                                             "/TVZXMediaColor /NoSet /TVZXMediaPrepunched false >>"),
              std::string::npos);
}

TEST(EndOfSetupPageTrailerAndTrailer, CallTheLayoutCode) {
    EXPECT_EQ(endOfSetupText(),
              kEnsure + "TVZXFeatures /Tarvo_V11 <2525544152564F50414745545241494C45522525> put\r\n"
                        "TVZXFeatures /Tarvo_NupP0 known { TVZXFeatures /Tarvo_NupP0 get exec } if\r\n");
    EXPECT_EQ(pageTrailerText(),
              "\r\n" + kEnsure + "TVZXFeatures /Tarvo_NupP3 known { TVZXFeatures /Tarvo_NupP3 get exec } if\r\n");
    EXPECT_EQ(trailerText(), kEnsure + "TVZXFeatures /Tarvo_P6 known { TVZXFeatures /Tarvo_P6 get exec } if\r\n");
}

TEST(PageText, WithoutPageExceptions) {
    const CoreData record = a4Record();
    const std::string expected = kEnsure + "TVZXFeatures /Tarvo_P4 known { TVZXFeatures /Tarvo_P4 get exec } if\r\n" +
                                 kA4NupData + "\r\nuserdict /TVZXPluginEndPageSetupCallBack undef\r\n";
    EXPECT_EQ(pageText(record, {}, 0), expected);
    PlugInFeatureTexts texts;
    EXPECT_EQ(texts.pageHead(record) + texts.pageText(record, 3), expected);
}

TEST(PageText, PageExceptionsGiveThePagePaper) {
    CoreData record = a4Record();
    record.setOption(FieldId::TargetPaperSize, 3);  // A4
    rules::PageException custom = pagePaper(0, settings::kCustomPageSize, 5, 5);
    custom.customWidth = 2104950;  // 210.495 mm
    custom.customHeight = 2970000;
    rules::PageException tab = pagePaper(5, 0, 6, 6);
    tab.tabInfo = {0, 0, 0, 0, "Part 2"};
    setPageExceptions(record, {pagePaper(1, 0, 4, 4), pagePaper(0, 0, 2, 3), custom, tab,
                               pagePaper(3, 10, 2, 9), pagePaper(2, 5, 7, 7)});
    const std::vector<rules::PageException> exceptions = rules::pageExceptionsOf(record);
    const std::string head = kEnsure + "TVZXFeatures /Tarvo_P4 known { TVZXFeatures /Tarvo_P4 get exec } if\r\n" + kA4NupData;
    const auto call = [](const std::string& argument) {
        return "TVZXFeatures /Tarvo_P8 known { " + argument + " TVZXFeatures /Tarvo_P8 get exec } if\r\n";
    };
    // Page 1 has no exception of its own: the target paper.
    EXPECT_EQ(pageText(record, exceptions, 1), head + call("/A4"));
    EXPECT_EQ(pageText(record, exceptions, 2), head + call("/A3"));
    // The custom size of the record, in tenths of a millimetre.
    EXPECT_EQ(pageText(record, exceptions, 5), head + call("[2105 2970]"));
    // Inserted sheets and tab sheets are no pages: the next record or the target.
    EXPECT_EQ(pageText(record, exceptions, 4), head + call("/ZXTabloid"));
    EXPECT_EQ(pageText(record, exceptions, 6), head + call("/ZXTabloid"));
    EXPECT_EQ(pageText(record, exceptions, 10), head + call("/A4"));
    // Pages the layout code cannot number get no paper.
    EXPECT_EQ(pageText(record, exceptions, 0), head);
    EXPECT_EQ(pageText(record, exceptions, 65536), head);
    EXPECT_EQ(pageText(record, exceptions, 65535), head + call("/A4"));
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
    EXPECT_EQ(argument(kTargetAuto), "/None");
    EXPECT_EQ(argument(26), "/ZXLetterSTab");
    // The custom target and values past it stand for Auto.
    EXPECT_EQ(argument(kTargetCustom), "/None");
    EXPECT_EQ(argument(200), "/None");
    // A paper profile without a chosen profile has no paper keyword.
    EXPECT_EQ(argument(kTargetPaperProfile), "");
    record.setOption(FieldId::MainPaperProfileIndex, 2);
    record.setOption(FieldId::MainPaperProfileSize, 15);  // Letter
    EXPECT_EQ(argument(kTargetPaperProfile), "/Letter");
    record.setOption(FieldId::MainPaperProfileSize, settings::kCustomPageSize);
    EXPECT_EQ(argument(kTargetPaperProfile), "/None");
    record.setOption(FieldId::MainPaperProfileSize, 99);
    EXPECT_EQ(argument(kTargetPaperProfile), "/None");
    // No exceptions at all: no paper.
    EXPECT_EQ(pagePaperArgument(record, {}, 1), "");
}

TEST(PlugInSettings, OneLinePerCodeAndNoneWithoutCodes) {
    const std::vector<std::string> codes = {"", "/ZXHold true def"};
    EXPECT_EQ(plugInSettingsText(codes), "TVZXFeatures /TVZXPlugInSettings {\r\n/ZXHold true def\r\n} bind executeonly put\r\n");
    const std::vector<std::string> empty = {"", ""};
    EXPECT_EQ(plugInSettingsText(empty), "");
}

// Whatever a record holds, even one that was never checked, the texts stay
// printable ASCII on lines of their own: texts from the user, such as colour
// names, cannot reach the stream as they are.
TEST(FeatureTexts, StayPrintableForAnyRecord) {
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        CoreData record = a4Record();
        for (const settings::FieldDef& def : settings::fieldTable()) {
            const auto id = static_cast<FieldId>(&def - settings::fieldTable().data());
            if (def.kind == settings::Kind::Option) {
                const std::uint32_t count = def.options->count() == 0 ? 40 : def.options->count();
                record.setRaw(id, static_cast<std::uint32_t>(random() % (count + 3)));
            } else if (def.kind == settings::Kind::Range) {
                record.setRaw(id, static_cast<std::uint32_t>(random()));
            } else if (def.isText()) {
                std::string text(random() % def.count, ' ');
                for (char& c : text) c = static_cast<char>(1 + random() % 255);
                record.setText(id, text);
            }
        }
        rules::PageException custom = pagePaper(0, settings::kCustomPageSize, 1, 2);
        custom.customWidth = static_cast<std::uint32_t>(random());
        custom.customHeight = static_cast<std::uint32_t>(random());
        setPageExceptions(record, {custom});
        for (const std::string& text : {setupText(record), pageText(record, rules::pageExceptionsOf(record), 2)}) {
            for (const char c : text)
                ASSERT_TRUE((c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n')
                    << "round " << round << ": byte " << static_cast<int>(static_cast<unsigned char>(c)) << " in\n"
                    << text;
            // Lines end in CR LF, nowhere else is there a CR or LF.
            for (std::size_t at = 0; (at = text.find_first_of("\r\n", at)) != std::string::npos; at += 2)
                ASSERT_EQ(text.compare(at, 2, "\r\n"), 0) << "round " << round << " at " << at << " in\n" << text;
        }
    }
}

}  // namespace
}  // namespace tvzx::postscript
