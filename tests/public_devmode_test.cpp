// Taking the public DEVMODE into the job settings: orientation, tray by bin
// number and name, paper by code, form name or size, custom sizes with the
// remembered custom papers, resolution and copies.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/byte_order.h"
#include "config/public_devmode.h"
#include "config/windows_forms.h"
#include "printer_fixtures.h"

namespace {

using namespace tvzx;
using namespace tvzx::config;
using settings::FieldId;
using tvzx::testing::PrinterSpooler;
using tvzx::testing::printerHandle;

constexpr int kEnglish = 0;

std::uint32_t optionOf(FieldId id, std::string_view name) { return settings::fieldDef(id).options->find(name).value(); }

// A DEVMODE with room behind the public part, all fields unflagged.
struct Devmode {
    explicit Devmode(std::size_t extra = 0) : storage(sizeof(win::DEVMODEW) + extra) {
        dm().dmSize = sizeof(win::DEVMODEW);
        dm().dmDriverExtra = static_cast<win::WORD>(extra);
    }
    win::DEVMODEW& dm() { return *reinterpret_cast<win::DEVMODEW*>(storage.data()); }

    Devmode& paper(std::int16_t code) {
        dm().dmFields |= win::DM_PAPERSIZE;
        return dm().dmPaperSize = code, *this;
    }
    Devmode& size(std::int16_t width, std::int16_t length) {
        dm().dmFields |= win::DM_PAPERWIDTH | win::DM_PAPERLENGTH;
        dm().dmPaperWidth = width;
        return dm().dmPaperLength = length, *this;
    }
    Devmode& form(std::u16string_view name) {
        dm().dmFields |= win::DM_FORMNAME;
        std::ranges::fill(dm().dmFormName, 0);
        return std::ranges::copy(name, dm().dmFormName), *this;
    }
    std::vector<std::uint8_t> storage;
};

std::string shown(const std::optional<std::uint32_t>& value) { return value ? std::to_string(*value) : "(none)"; }

// The paper part of the values as one line, which shows well in a failure.
std::string paperOf(const rules::PublicSettings& values) {
    return "size " + shown(values.pageSize) + " width " + shown(values.customWidth) + " height " + shown(values.customHeight) +
           " name " + values.pageSizeName.value_or("(none)") + " type " + shown(values.pageSizeType);
}

std::string named(FieldId id, std::string_view name) { return std::to_string(optionOf(id, name)); }

std::string paperNamed(std::string_view name) {
    return "size " + named(FieldId::PageSize, name) + " width (none) height (none) name (none) type (none)";
}

std::string customPaper(std::uint32_t width, std::uint32_t height, std::string_view name, std::string_view type) {
    return "size 25 width " + std::to_string(width) + " height " + std::to_string(height) + " name " + std::string(name) +
           " type " + named(FieldId::PageSizeType, type);
}

TEST(PublicDevmode, OrientationResolutionAndCopies) {
    Devmode devmode;
    win::DEVMODEW& dm = devmode.dm();
    std::tie(dm.dmOrientation, dm.dmPaperSize, dm.dmPrintQuality, dm.dmCopies) = std::tuple(2, 9, 600, 12);
    // Only flagged fields are taken.
    rules::PublicSettings values = publicSettingsOf(dm, {});
    EXPECT_FALSE(values.orientation || values.pageSize || values.numCopies || values.resolution || values.inputSlot);
    dm.dmFields = win::DM_ORIENTATION | win::DM_PRINTQUALITY | win::DM_COPIES;
    values = publicSettingsOf(dm, {});
    EXPECT_EQ(std::tuple(shown(values.orientation), shown(values.resolution), shown(values.numCopies)),
              std::tuple(named(FieldId::Orientation, "Land"), named(FieldId::Resolution, "600dpi"), "12"));

    dm.dmFields |= win::DM_YRESOLUTION;
    std::tie(dm.dmOrientation, dm.dmPrintQuality, dm.dmYResolution) = std::tuple(1, 1200, 1200);
    values = publicSettingsOf(dm, {});
    EXPECT_EQ(std::pair(shown(values.orientation), shown(values.resolution)),
              std::pair(named(FieldId::Orientation, "Port"), named(FieldId::Resolution, "1200dpi")));

    // A resolution pair the printer does not have, and counts the record
    // cannot hold, change nothing.
    dm.dmYResolution = 600;
    for (std::int16_t copies : {0, -3, 10000}) {
        dm.dmCopies = copies;
        values = publicSettingsOf(dm, {});
        EXPECT_FALSE(values.resolution || values.numCopies) << copies;
    }
}

TEST(PublicDevmode, PaperByCodeFormOrSizeElseACustomSize) {
    PrinterPaperFacts facts;
    facts.languageIndex = kEnglish;
    const auto paper = [&](Devmode& devmode) { return paperOf(publicSettingsOf(devmode.dm(), facts)); };
    EXPECT_EQ(paper(Devmode().paper(9)), paperNamed("A4"));  // a code of the paper table
    // A Windows code of the same size as one of the printer's papers.
    EXPECT_EQ(paper(Devmode().paper(2)), paperNamed("Letter"));
    // Width and length in tenths of a millimetre.
    EXPECT_EQ(paper(Devmode().size(2970, 4200)), paperNamed("A3"));
    // A spooler form of 210000 by 297000 micrometres is 2100 by 2970 tenths: A4.
    facts.forms = {{u"Office", 210000, 297000}, {u"Letter Tab", 228600, 279400}};
    EXPECT_EQ(paper(Devmode().paper(256).form(u"Office")), paperNamed("A4"));
    // Two papers share a size: the form's name tells them apart.
    EXPECT_EQ(paper(Devmode().paper(256).form(u"Letter Tab")), paperNamed("ZXLetterTab"));
    EXPECT_EQ(paper(Devmode().size(2286, 2794)), paperNamed("9x11"));
    // A form found by its number in the spooler's list.
    facts.forms.resize(120, {u"Other", 1000, 1000});
    facts.forms[119] = {u"Form 120", 210000, 297000};
    EXPECT_EQ(paper(Devmode().paper(120)), paperNamed("A4"));
    // An unknown paper is a custom size named after its form.
    facts = {};
    EXPECT_EQ(paper(Devmode().size(1000, 2000).form(u"Banner")), customPaper(1000000, 2000000, "Banner", "NotFromEngine"));
    // A Windows paper the printer has no paper for, without a spooler list.
    EXPECT_EQ(paper(Devmode().paper(20)), customPaper(1048000, 2413000, "Envelope #10", "NotFromEngine"));
    facts.customPapers = {{0, 25, {}, u"Long"}, {kEngineCustomPaper, 25, {}, u"Banner"}};
    EXPECT_EQ(paper(Devmode().size(1000, 2000).form(u"Banner")), customPaper(1000000, 2000000, "Banner", "FromEngine"));
    EXPECT_EQ(paper(Devmode().paper(kPostScriptCustomPaper).size(1000, 2000).form(u"Long")),
              customPaper(1000000, 2000000, "Long", "BuiltInCustomSize"));
    EXPECT_EQ(paper(Devmode().size(1000, 2000).form(u"Long")), customPaper(1000000, 2000000, "Long", "NotFromEngine"));
    // Without a usable size nothing about the paper is set.
    const std::string none = "size (none) width (none) height (none) name (none) type (none)";
    EXPECT_EQ(paper(Devmode().size(0, 2000)), none);
    EXPECT_EQ(paper(Devmode().paper(300)), none);
    // The PostScript custom size comes from the end of a long DEVMODE.
    Devmode devmode(kCustomSizeDevmodeBytes - sizeof(win::DEVMODEW));
    devmode.paper(kPostScriptCustomPaper);
    writeLe32(devmode.storage.data() + kCustomWidthOffset, 330000);
    writeLe32(devmode.storage.data() + kCustomHeightOffset, 1200049);
    EXPECT_EQ(paperOf(publicSettingsOf(devmode.dm(), {})), customPaper(3300000, 12000000, "", "NotFromEngine"));

    // One byte short, it has none.
    EXPECT_EQ(paper(Devmode(kCustomSizeDevmodeBytes - sizeof(win::DEVMODEW) - 1).paper(kPostScriptCustomPaper)), none);
}

TEST(PublicDevmode, TheTrayIsTheBinWhoseNameNamesIt) {
    PrinterPaperFacts facts;
    facts.languageIndex = kEnglish;
    facts.bins = {{7, 256, 257, 258, 258}, {u"Automatically Select", u"TRAY 1", u"Unnamed", u"Bypass Tray", u"Tray 5"}};
    Devmode devmode;
    devmode.dm().dmFields = win::DM_DEFAULTSOURCE;
    const auto slotOf = [&](std::int16_t bin) {
        devmode.dm().dmDefaultSource = bin;
        return shown(publicSettingsOf(devmode.dm(), facts).inputSlot);
    };
    // The first bin of a number decides; unnamed, unknown and automatic bins name no tray.
    EXPECT_EQ(slotOf(256) + " " + slotOf(258), named(FieldId::InputSlot, "Tray1") + " " + named(FieldId::InputSlot, "MBT"));
    EXPECT_EQ(slotOf(257) + slotOf(300) + slotOf(7), "(none)(none)(none)");
    // The published name at the bin's position stands in.
    facts.publishedBinNames = {u"Auto", u"Tray1", u"Tray2"};
    EXPECT_EQ(slotOf(257), named(FieldId::InputSlot, "Tray2"));
}

TEST(PrinterValues, BinsTextListsCustomPapersAndInstalledOptions) {
    PrinterSpooler spooler;
    spooler.setBins(kCapabilityBins, kCapabilityBinNames, {15, 256}, {u"Auto", u"Tray 1"});
    const std::vector<std::u16string> trays = {u"Auto", u"Tray 1", u"Tray 2", u"Tray 3", u"Tray 4", u"Tray 5", u"Bypass"};
    spooler.setBins(kCapabilityDriverBins, kCapabilityDriverBinNames, {1, 2, 3, 4, 5, 6, 7}, trays);
    EXPECT_EQ(readPrinterBins(PrinterAccess(spooler, printerHandle())), (PrinterBins{{1, 2, 3, 4, 5, 6, 7}, trays}));
    spooler.setBins(kCapabilityDriverBins, kCapabilityDriverBinNames, {1, 2, 3, 4, 5, 6}, {});
    EXPECT_EQ(readPrinterBins(PrinterAccess(spooler, printerHandle())), (PrinterBins{{15, 256}, {u"Auto", u"Tray 1"}}));
    // Only whole elements of an answer count.
    EXPECT_EQ(binsOfAnswers({3, {1, 0, 2}}, {1, std::vector<std::uint8_t>(47, 'A')}), (PrinterBins{{1}, {}}));
    // Driver capabilities serve for the bins when both list seven bins.
    const std::vector<std::uint8_t> list = {'A', 0, 0, 0, 'B', 0, 'C', 0, 0, 0, 0, 0, 'D', 0, 0, 0};
    EXPECT_EQ(textListOf(list), (std::vector<std::u16string>{u"A", u"BC"}));

    std::vector<std::uint8_t> papers(2 * kCustomPaperRecordSize);
    writeLe32(papers.data(), 1);
    writeLe32(papers.data() + 4, 7);
    papers[8] = 0xAB;
    std::ranges::copy(tvzx::testing::wideBytes(u"Banner"), papers.begin() + kCustomPaperNameOffset);
    std::fill(papers.begin() + kCustomPaperRecordSize + kCustomPaperNameOffset, papers.end(), 'x');
    const auto parsed = parseCustomPapers(papers);
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0], (CustomPaper{1, settings::kCustomPageSize, {0xAB, 0, 0, 0, 0, 0, 0, 0}, u"Banner"}));
    EXPECT_EQ(parsed[1].name, std::u16string(66, u'\x7878'));
    papers.pop_back();
    EXPECT_TRUE(parseCustomPapers(papers).empty());

    EXPECT_EQ(readInstalledOptions(PrinterAccess(spooler, printerHandle())), rules::InstalledOptions{});
    spooler.setBinary("InstallableOptions", {1, 2, 3});
    EXPECT_EQ(readInstalledOptions(PrinterAccess(spooler, printerHandle())), (rules::InstalledOptions{1, 2, 3}));
    spooler.setBinary("InstallableOptions", std::vector<std::uint8_t>(rules::kInstalledOptionsSize + 1, 9));
    EXPECT_EQ(readInstalledOptions(PrinterAccess(spooler, printerHandle())), rules::InstalledOptions{});
}

TEST(PublicDevmode, IsTakenIntoTheRecordThroughThePrinter) {
    PrinterSpooler spooler;
    spooler.setBins(kCapabilityBins, kCapabilityBinNames, {256, 257, 258}, {u"Tray 1", u"Tray 2", u"Tray 3"});
    spooler.formList = std::vector<Form>{{u"Wide", 500000, 300000}};
    Devmode devmode;
    devmode.paper(1).form(u"Wide");
    devmode.dm().dmFields |= win::DM_DEFAULTSOURCE;
    devmode.dm().dmDefaultSource = 257;
    const PrinterAccess printer(spooler, printerHandle());

    settings::CoreData record = settings::defaultRecord();
    settings::FieldSet changed;
    EXPECT_TRUE(takePublicDevmode(record, &devmode.dm(), printer, &changed));
    EXPECT_EQ(std::pair(record.option(FieldId::PageSize), record.option(FieldId::InputSlot)),
              std::pair(optionOf(FieldId::PageSize, "Letter"), optionOf(FieldId::InputSlot, "Tray2")));
    EXPECT_TRUE(changed.test(static_cast<std::size_t>(FieldId::InputSlot)));
    // A tray the paper-feed unit does not provide stays out.
    devmode.dm().dmDefaultSource = 258;
    EXPECT_FALSE(takePublicDevmode(record, &devmode.dm(), printer));
    EXPECT_EQ(record.option(FieldId::InputSlot), optionOf(FieldId::InputSlot, "Tray2"));
}

}  // namespace
