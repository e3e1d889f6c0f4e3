// Taking the public DEVMODE into the job settings: orientation, tray by bin
// number and name, paper by code, form name or size, custom sizes with the
// remembered custom papers, resolution and copies.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

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
class Devmode {
public:
    explicit Devmode(std::size_t extra = 0) : storage_(sizeof(win::DEVMODEW) + extra) {
        dm().dmSize = sizeof(win::DEVMODEW);
        dm().dmDriverExtra = static_cast<win::WORD>(extra);
    }
    win::DEVMODEW& dm() { return *reinterpret_cast<win::DEVMODEW*>(storage_.data()); }
    std::uint8_t* bytes() { return storage_.data(); }

    Devmode& paper(std::int16_t code) {
        dm().dmFields |= win::DM_PAPERSIZE;
        dm().dmPaperSize = code;
        return *this;
    }
    Devmode& size(std::int16_t width, std::int16_t length) {
        dm().dmFields |= win::DM_PAPERWIDTH | win::DM_PAPERLENGTH;
        dm().dmPaperWidth = width;
        dm().dmPaperLength = length;
        return *this;
    }
    Devmode& form(std::u16string_view name) {
        dm().dmFields |= win::DM_FORMNAME;
        std::memset(dm().dmFormName, 0, sizeof dm().dmFormName);
        std::copy(name.begin(), name.end(), dm().dmFormName);
        return *this;
    }

private:
    std::vector<std::uint8_t> storage_;
};

std::string shown(const std::optional<std::uint32_t>& value) { return value ? std::to_string(*value) : "(none)"; }

// The paper part of the values as one line, which shows well in a failure.
std::string paperOf(const rules::PublicSettings& values) {
    return "size " + shown(values.pageSize) + " width " + shown(values.customWidth) + " height " +
           shown(values.customHeight) + " name " + values.pageSizeName.value_or("(none)") + " type " +
           shown(values.pageSizeType);
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
    devmode.dm().dmOrientation = 2;
    devmode.dm().dmPaperSize = 9;
    devmode.dm().dmPrintQuality = 600;
    devmode.dm().dmCopies = 12;
    // Only flagged fields are taken.
    rules::PublicSettings values = publicSettingsOf(devmode.dm(), {});
    EXPECT_FALSE(values.orientation || values.pageSize || values.numCopies || values.resolution || values.inputSlot);
    devmode.dm().dmFields = win::DM_ORIENTATION | win::DM_PRINTQUALITY | win::DM_COPIES;
    values = publicSettingsOf(devmode.dm(), {});
    EXPECT_EQ(shown(values.orientation), named(FieldId::Orientation, "Land"));
    EXPECT_EQ(shown(values.resolution), named(FieldId::Resolution, "600dpi"));
    EXPECT_EQ(shown(values.numCopies), "12");

    devmode.dm().dmOrientation = 1;
    devmode.dm().dmFields |= win::DM_YRESOLUTION;
    devmode.dm().dmPrintQuality = 1200;
    devmode.dm().dmYResolution = 1200;
    values = publicSettingsOf(devmode.dm(), {});
    EXPECT_EQ(shown(values.orientation), named(FieldId::Orientation, "Port"));
    EXPECT_EQ(shown(values.resolution), named(FieldId::Resolution, "1200dpi"));

    // A resolution pair the printer does not have, and counts the record
    // cannot hold, change nothing.
    devmode.dm().dmYResolution = 600;
    for (std::int16_t copies : {0, -3, 10000}) {
        devmode.dm().dmCopies = copies;
        values = publicSettingsOf(devmode.dm(), {});
        EXPECT_FALSE(values.resolution);
        EXPECT_FALSE(values.numCopies) << copies;
    }
}

TEST(PublicDevmode, PaperByCodeFormOrSize) {
    PrinterPaperFacts facts;
    facts.languageIndex = kEnglish;
    // A code of the paper table.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(9).dm(), facts)), paperNamed("A4"));
    // A Windows code of the same size as one of the printer's papers.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(2).dm(), facts)), paperNamed("Letter"));
    // Width and length in tenths of a millimetre.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(2970, 4200).dm(), facts)), paperNamed("A3"));
    // A spooler form of 210000 by 297000 micrometres is 2100 by 2970 tenths: A4.
    facts.forms = {{u"Office", 210000, 297000}, {u"Letter Tab", 228600, 279400}};
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(256).form(u"Office").dm(), facts)), paperNamed("A4"));
    // Two papers share a size: the form's name tells them apart.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(256).form(u"Letter Tab").dm(), facts)), paperNamed("ZXLetterTab"));
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(2286, 2794).dm(), facts)), paperNamed("9x11"));
    // A form found by its number in the spooler's list.
    facts.forms.resize(120, {u"Other", 1000, 1000});
    facts.forms[119] = {u"Form 120", 210000, 297000};
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(120).dm(), facts)), paperNamed("A4"));
}

TEST(PublicDevmode, AnUnknownPaperIsACustomSizeNamedAfterItsForm) {
    PrinterPaperFacts facts;
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(1000, 2000).form(u"Banner").dm(), facts)),
              customPaper(1000000, 2000000, "Banner", "NotFromEngine"));
    // A Windows paper the printer has no paper for, without a spooler list.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(20).dm(), facts)),
              customPaper(1048000, 2413000, "Envelope #10", "NotFromEngine"));

    facts.customPapers = {{0, 25, {}, u"Long"}, {kEngineCustomPaper, 25, {}, u"Banner"}};
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(1000, 2000).form(u"Banner").dm(), facts)),
              customPaper(1000000, 2000000, "Banner", "FromEngine"));
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(kPostScriptCustomPaper).size(1000, 2000).form(u"Long").dm(), facts)),
              customPaper(1000000, 2000000, "Long", "BuiltInCustomSize"));
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(1000, 2000).form(u"Long").dm(), facts)),
              customPaper(1000000, 2000000, "Long", "NotFromEngine"));

    // Without a usable size nothing about the paper is set.
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().size(0, 2000).dm(), facts)),
              "size (none) width (none) height (none) name (none) type (none)");
    EXPECT_EQ(paperOf(publicSettingsOf(Devmode().paper(300).dm(), facts)),
              "size (none) width (none) height (none) name (none) type (none)");
}

TEST(PublicDevmode, ThePostScriptCustomSizeComesFromTheEndOfALongDevmode) {
    Devmode devmode(kCustomSizeDevmodeBytes - sizeof(win::DEVMODEW));
    devmode.paper(kPostScriptCustomPaper);
    writeLe32(devmode.bytes() + kCustomWidthOffset, 330000);
    writeLe32(devmode.bytes() + kCustomHeightOffset, 1200049);
    EXPECT_EQ(paperOf(publicSettingsOf(devmode.dm(), {})), customPaper(3300000, 12000000, "", "NotFromEngine"));

    Devmode shorter(kCustomSizeDevmodeBytes - sizeof(win::DEVMODEW) - 1);
    shorter.paper(kPostScriptCustomPaper);
    EXPECT_FALSE(publicSettingsOf(shorter.dm(), {}).pageSize);
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
    EXPECT_EQ(slotOf(256), named(FieldId::InputSlot, "Tray1"));
    // The first bin of a number decides.
    EXPECT_EQ(slotOf(258), named(FieldId::InputSlot, "MBT"));
    EXPECT_EQ(slotOf(257), "(none)");
    EXPECT_EQ(slotOf(300), "(none)");
    EXPECT_EQ(slotOf(7), "(none)");
    // The published name at the bin's position stands in.
    facts.publishedBinNames = {u"Auto", u"Tray1", u"Tray2"};
    EXPECT_EQ(slotOf(257), named(FieldId::InputSlot, "Tray2"));
}

TEST(PrinterBins, DriverCapabilitiesServeWhenBothListSevenBins) {
    PrinterSpooler spooler;
    spooler.setBins(kCapabilityBins, kCapabilityBinNames, {15, 256}, {u"Auto", u"Tray 1"});
    const std::vector<std::u16string> trays = {u"Auto", u"Tray 1", u"Tray 2", u"Tray 3", u"Tray 4", u"Tray 5", u"Bypass"};
    spooler.setBins(kCapabilityDriverBins, kCapabilityDriverBinNames, {1, 2, 3, 4, 5, 6, 7}, trays);
    EXPECT_EQ(readPrinterBins(PrinterAccess(spooler, printerHandle())),
              (PrinterBins{{1, 2, 3, 4, 5, 6, 7}, trays}));
    spooler.setBins(kCapabilityDriverBins, kCapabilityDriverBinNames, {1, 2, 3, 4, 5, 6}, {});
    EXPECT_EQ(readPrinterBins(PrinterAccess(spooler, printerHandle())), (PrinterBins{{15, 256}, {u"Auto", u"Tray 1"}}));
    // Only whole elements of an answer count.
    const CapabilityAnswer numbers{3, {1, 0, 2}};
    const CapabilityAnswer names{1, std::vector<std::uint8_t>(47, 'A')};
    EXPECT_EQ(binsOfAnswers(numbers, names), (PrinterBins{{1}, {}}));
}

TEST(PrinterValues, TextListsCustomPapersAndInstalledOptions) {
    const std::vector<std::uint8_t> list = {'A', 0, 0, 0, 'B', 0, 'C', 0, 0, 0, 0, 0, 'D', 0, 0, 0};
    EXPECT_EQ(textListOf(list), (std::vector<std::u16string>{u"A", u"BC"}));

    std::vector<std::uint8_t> papers(2 * kCustomPaperRecordSize);
    writeLe32(papers.data(), 1);
    writeLe32(papers.data() + 4, 7);
    papers[8] = 0xAB;
    const auto name = tvzx::testing::wideBytes(u"Banner");
    std::copy(name.begin(), name.end(), papers.begin() + kCustomPaperNameOffset);
    std::fill(papers.begin() + kCustomPaperRecordSize + kCustomPaperNameOffset, papers.end(), 'x');
    const auto parsed = parseCustomPapers(papers);
    ASSERT_EQ(parsed.size(), 2u);
    EXPECT_EQ(parsed[0], (CustomPaper{1, settings::kCustomPageSize, {0xAB, 0, 0, 0, 0, 0, 0, 0}, u"Banner"}));
    EXPECT_EQ(parsed[1].name, std::u16string(66, u'\x7878'));
    papers.pop_back();
    EXPECT_TRUE(parseCustomPapers(papers).empty());

    PrinterSpooler spooler;
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
    EXPECT_EQ(record.option(FieldId::PageSize), optionOf(FieldId::PageSize, "Letter"));
    EXPECT_EQ(record.option(FieldId::InputSlot), optionOf(FieldId::InputSlot, "Tray2"));
    EXPECT_TRUE(changed.test(static_cast<std::size_t>(FieldId::InputSlot)));
    // The same DEVMODE again changes nothing.
    EXPECT_FALSE(takePublicDevmode(record, &devmode.dm(), printer));
    // A tray the paper-feed unit does not provide stays out.
    devmode.dm().dmDefaultSource = 258;
    EXPECT_FALSE(takePublicDevmode(record, &devmode.dm(), printer));
    EXPECT_EQ(record.option(FieldId::InputSlot), optionOf(FieldId::InputSlot, "Tray2"));
}

}  // namespace
