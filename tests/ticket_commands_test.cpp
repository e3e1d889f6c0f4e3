// The feature commands of the job ticket: their order, values and conditions.
#include <gtest/gtest.h>

#include "pjl/page_commands.h"
#include "pjl/ticket.h"
#include "rules/page_exceptions.h"
#include "rules/page_forms.h"
#include "settings/settings_lines.h"

namespace tvzx::pjl {
namespace {

using settings::CoreData;
using settings::FieldId;

// The feature commands of a job with these settings (one "Name=Value" each).
std::string featureCommands(const std::vector<std::string>& assignments) {
    CoreData settings = settings::defaultRecord();
    for (const std::string& assignment : assignments)
        EXPECT_EQ(settings::applySetting(settings, assignment), std::nullopt) << assignment;
    // Without names, and with an empty job identity: none of them is sent.
    const std::string ticket = buildJobTicket(settings, {std::nullopt, std::nullopt, ""});
    // The two header lines without names come first.
    const std::string header = "@PJL SET STRINGCODESET=UTF8\r\n@PJL SET ZXCOETYPE=2\r\n";
    EXPECT_EQ(ticket.substr(0, header.size()), header);
    return ticket.substr(header.size());
}

std::string keyOf(std::string_view line) { return std::string(line.substr(0, line.find('='))); }

// The ticket lines of these "KEY=value" commands, written out.
std::string setLines(const std::vector<std::string>& commands) {
    std::string out;
    for (const std::string& command : commands) out += "@PJL SET " + command + "\r\n";
    return out;
}

// The lines of the ticket whose keys are among these, in ticket order.
std::string linesOf(const std::string& ticket, const std::set<std::string>& wanted) {
    std::string out;
    for (std::size_t at = 0, end; at < ticket.size(); at = end) {
        end = ticket.find("\r\n", at) + 2;
        const std::string_view line(ticket.data() + at, end - at);
        if (wanted.count(keyOf(line.substr(std::string_view("@PJL SET ").size())))) out += line;
    }
    return out;
}

// Each row: settings, the commands they give in ticket order, and keys that
// must not be there.
struct Row {
    std::vector<std::string> settings;
    std::vector<std::string> commands;
    std::vector<std::string> absent = {};
};

TEST(TicketCommands, ValuesAndConditionsOfTheFeatureCommands) {
    const std::string comment(450, 'c');
    const Row rows[] = {
        // The default job (the order of every command is pinned by the full ticket).
        {{}, {"MEDIASOURCE=AUTO", "OUTBIN=DEFAULT", "FINISH=NONE", "PUNCH=OFF", "QTY=1", "JOBOFFSET=OFF", "FOLDING=OFF",
              "CBJOBINFOPRINT=OFF", "DTSTPMODE=OFF", "ZXCERTSERVTYPE=NONE"},
         {"DRIVERJOBID", "USERNAME", "JOBNAME", "STAPLEPITCH", "PUNCHNUM", "COPIES", "COPIESOFFSET", "SHEETSOFFSET",
          "CBJOBINFOPOSITION", "JOBCOMMENT1", "DTSTPPAGE", "ZXSECTIONNAME", "HOLD", "ZXUSERNAME", "BOXHOLD"}},
        // Stapling and saddle stitching.
        {{"Staple=1Staple", "Binding=Left"}, {"FINISH=LEFT1POINT"}, {"STAPLEPITCH"}},
        {{"Staple=1Staple", "Binding=Top"}, {"FINISH=RIGHT1POINT"}, {"STAPLEPITCH"}},
        {{"Staple=2StaplesWide", "Stitch=True"}, {"FINISH=CENTER", "STAPLEPITCH=LEVEL3", "STITCH=SADDLE"}},
        {{"Stitch=True"}, {"FINISH=CENTER", "STITCH=SADDLE"}},
        // Punching; copies, offset and divided output.
        {{"Punch=GBCDoubleStreampunch"}, {"PUNCH=ON", "PUNCHNUM=11"}}, {{"Punch=GBCStreampunchCorvel"}, {"PUNCHNUM=10"}},
        {{"NumCopies=3", "Collate=Group"}, {"COPIES=3"}, {"QTY"}},
        {{"OffsetCopies=True", "OffsetCopiesCount=4"}, {"COPIESOFFSET=4", "JOBOFFSET=ON"}, {"SHEETSOFFSET"}},
        {{"DivideOutput=True", "DivideOutputPages=12"}, {"PAGELOOP=12"}},
        // N-up: two, six and eight pages side by side turn the sheet; four keep it.
        {{"NUpCount=4Reverse"}, {"ORIENTATION=PORTRAIT", "INFONIN1=N4"}}, {{"NUpCount=2"}, {"ORIENTATION=LANDSCAPE", "INFONIN1=N2"}},
        {{"NUpCount=6"}, {"ORIENTATION=LANDSCAPE", "INFONIN1=N6"}}, {{"NUpCount=8Reverse"}, {"ORIENTATION=LANDSCAPE"}},
        {{"Orientation=Land", "PerfectBindMode=1In1Port"}, {"ORIENTATION=PORTRAIT"}},
        // Poster overlaps only for divided posters.
        {{"PosterPrint=Central", "HorizontalOverlap=50000"}, {}, {"OVERLAPWIDTH"}},
        {{"PosterPrint=Divided", "HorizontalOverlap=50000", "VerticalOverlap=123456"},
         {"OVERLAPWIDTH=50", "OVERLAPHEIGHT=123"}},
        // Folding.
        {{"Fold=MultiLetterFold"}, {"FOLDING=MULTILETTERFOLDIN"}}, {{"Fold=MultiCenterFold"}, {"FOLDING=MULTICENTERFOLD"}},
        {{"Fold=MultiLetterFold", "FoldDirection=Outside"}, {"FOLDING=MULTILETTERFOLDOUT"}},
        {{"Fold=MultiCenterFold", "FoldDirection=Outside"}, {"FOLDING=MULTICENTERFOLDOUT"}},
        {{"Fold=ZFold", "FoldDirection=Outside"}, {"FOLDING=ZFOLD"}},
        // Slit and crease.
        {{"PerfectBindMode=Blank", "PerfectBindSlit=True", "PerfectBindSlitPositionTop=123456"},
         {"SLIT=COVERONLY", "SLITPOSITION1=\"M,123\""}},
        {{"Crease=2Pieces", "CreasePosition2Value=123456"},
         {"CREASE=ON", "CREASELINE=2", "CREASEPOSITION1=\"M,70\"", "CREASEPOSITION2=\"M,123\""}, {"CREASEPOSITION3"}},
        {{"SlitMargin=-5000"}, {"BODYSLITPOSITIONOFFSET=\"M,-5\""}},
        // The media of the paper source; a custom colour without a name is no colour.
        {{"InputSlot=Tray2", "MediaTypeTray2=Bond", "MediaWeightTray2=Thick3", "MediaColorTray2=Custom",
          "CustomMediaColorNameTray2=\"Sky blue\"", "WeightUnitTray2=lb2", "MediaTypeAuto=Rough"},
         {"MEDIATYPE=BOND", "MEDIAWEIGHT=THICK3", "MEDIACOLOR=USERDEFINE", "MEDIACOLORNAME=\"Sky blue\"",
          "MEDIAWEIGHTUNIT=LB2"}},
        {{"MediaColorAuto=Custom"}, {"MEDIACOLOR=NOSET"}, {"MEDIACOLORNAME"}},
        // Header page and covers.
        {{"HeaderPage=Tray3"}, {"HEADERPAGE=ON", "HEADERPAGETRAY=TRAY3"}},
        {{"FrontCoverTray=Tray2", "FrontCoverPrinted=True", "TargetPaperSizeTray2=15", "PIBackCoverTray=PITray1",
          "PIBackSheets=2", "TargetPaperSizePITray1=27", "Staple=1StapleLeft"},
         {"PPSPAPER1=LETTER", "PPSINSERTPAGES1=\"1,PRINT,STAPLE,NOPUNCH\"", "PPSPAPER4=AUTO",
          "PPSINSERTPAGES4=\"2,PASS,STAPLE,NOPUNCH\""},
         {"PPSPAPER2"}},
        // Perfect binding.
        {{"PerfectBindMode=2In1", "PerfectBindTray=Tray3", "MediaTypeTray3=Book", "MediaColorTray3=Custom",
          "CustomMediaColorNameTray3=\"Bone\""},
         {"PERFECTBINDMODE=2IN1", "PERFECTBINDTRAY=\"TRAY3,BOOK,NOSET,USERDEFINE\"", "PERFECTBINDMEDIACOLORNAME=\"Bone\"",
          "PERFECTBINDPAPERSIZE=\"M,2100,2970\""}},
        // Chapters; a list with nothing readable leaves them off.
        {{"ChapterMode=True", "ChapterPages=312C332D35"}, {"CHAPTERMODE=ON", "CHAPTER=\"1,3,4,5\""}},
        {{"ChapterMode=True", "ChapterPages=782D79"}, {"CHAPTERMODE=OFF"}, {"CHAPTER"}},
        // Job information and comments, cut into lines of 200 bytes; the
        // controller's own default layout shows no comments.
        {{"JobInfo=Top", "PIPrinterAndDeviceName=True", "PIComment=\"" + comment + "\""},
         {"CBJOBINFOPRINT=ON", "CBJOBINFOPOSITION=TOP", "CBJOBINFOLINES=3", "CBSWPRINTERNAME=ON", "CBSWMODELNAME=ON",
          "CBSWJOBCOMMENT=ON", "JOBCOMMENT1=\"" + comment.substr(0, 200) + "\"",
          "JOBCOMMENT2=\"" + comment.substr(0, 200) + "\"", "JOBCOMMENT3=\"" + comment.substr(0, 50) + "\""},
         {"JOBCOMMENT4"}},
        {{"JobInfo=ControllerDefault", "PIComment=\"x\""}, {"CBJOBINFOPOSITION=DEFAULT"}, {"CBJOBINFOLINES", "JOBCOMMENT1"}},
        // Screens follow the screening mode.
        {{"ScreenTypeImage=Error", "ScreenTypeTextGraphics=SameAsImage"}, {"SCREEN2=STOCHASTIC", "SCREEN1=STOCHASTIC"}},
        {{"ScreeningMode=Custom"}, {"SCREEN2=EXTERNAL", "SCREEN1=EXTERNAL"}},
        // Forms and stored jobs.
        {{"JobForm=12", "JobFormPageCount=5", "Prepend=0", "Append=7"},
         {"TARVOOVERLAYALL=\"12:2\"", "TARVOPREPENDJOB=0", "TARVOAPPENDJOB=7"}},
        {{"JobForm=12", "FormPrintPattern=Once"}, {"TARVOOVERLAYALL=\"12:0\""}},
        // Image shift; a gutter too small for tenths of a millimetre still
        // shifts in high precision.
        {{"ImageShiftType=AllEqual", "HorizontalShift=25000", "VerticalShift=-10000", "Gutter=50000"},
         {"IMAGESHIFT=CONTROLLER", "IMAGESHIFTINFO=\"25,-10,50,0,-25,-10,50,0\""}, {"HIGHPRECISIONIMAGESHIFTINFO"}},
        {{"ImageShiftType=AllEqual", "VerticalShift=-10000", "Binding=Top"}, {"IMAGESHIFTINFO=\"0,-10,0,0,0,10,0,0\""}},
        {{"ImposQuality=High", "Gutter=400"},
         {"IMAGESHIFT=CONTROLLER", "IMAGESHIFTINFO=\"0,0,0,0,0,0,0,0\"", "HIGHPRECISIONIMAGESHIFTINFO=4"}},
        // Stamps.
        {{"DateStamp=All", "DateStyle=Style3", "TimeStyle=24H", "DatePosition=BottomRight", "DateFont=Ming12"},
         {"DTSTPMODE=ON", "DTSTPPAGE=ALLPAGES", "DTSTPDATE=DATE3", "DTSTPTIME=TIME2", "DTSTPPOSITION=RIGHTBOTTOM",
          "DTSTPCHARSIZE=12", "DTSTPCHARKIND=MINCHO", "DTSTPCOLOR=BLACK", "DTSTPOUTSIDE=OFF"}},
        {{"PageNumberingMode=NotFrontCover", "PageNumberingStartPage=3", "PageNumberingFont=Gothic14"},
         {"PAGESTAMP=\"NOTFRONTCOVER,3,1\"", "PSTPCHARKIND=GOTHIC", "PSTPCHARSIZE=14"}},
        {{"SetNumberingMode=StampForAllPages", "SetNumberingFontSize=36pt"},
         {"NUMBERING=\"ALLPAGES,1\"", "NUMBERINGCHARSIZE=36", "NUMBERINGCOLOR=BLACK"}},
        // Copy guard.
        {{"CopyProtection=True", "BackPattern=Pattern2", "PatternIndex=Pattern4"},
         {"JIMONMODE=ON", "JIMONPATTERN=\"FIXED,OFF,OFF,OFF,OFF,OFF,OFF,OFF\"", "JIMONBACKPATTERN=TYPE2",
          "JIMONPATTERNINDEX=\"4,0,0,0,0,0,0,0\""}},
        // An e-mail notice needs an address.
        {{"SendEMail=Always"}, {"SENDEMAIL=OFF"}, {"SENDEMAILTIMING"}},
        {{"SendEMail=OnError", "SendEMailAddress=\"ops@example.test\""},
         {"SENDEMAIL=ON", "SENDEMAILTIMING=ONERROR", "SENDEMAILADDRESS=\"ops@example.test\""}},
        // PDF encryption never reaches the ticket.
        {{"EncryptPdf=True", "PdfPassword=\"secret\"", "AddShowpage=True"}, {}, {"PDFPASSWDRQ", "PDFPASSWD", "ZXADDSHOWPAGE"}},
    };
    for (const Row& row : rows) {
        std::set<std::string> keys(row.absent.begin(), row.absent.end());
        for (const std::string& command : row.commands) keys.insert(keyOf(command));
        const std::string ticket = featureCommands(row.settings);
        EXPECT_EQ(linesOf(ticket, keys), setLines(row.commands)) << (row.settings.empty() ? "default" : row.settings.front());
        EXPECT_EQ(ticket.find("secret"), std::string::npos);
    }
}

TEST(TicketCommands, PageListsOfChaptersIndexInformationAndForms) {
    EXPECT_EQ(parseChapterPages(" 7; 2-3,9-8,0,x,65536, 4 "), (std::vector<rules::PageRange>{{7, 7}, {2, 3}, {4, 4}}));

    CoreData settings = settings::defaultRecord();
    rules::PageException insert, paper, tab;
    insert.kind = static_cast<std::uint8_t>(rules::ExceptionKind::BlankInsert);
    insert.tray = 2;
    insert.paperSize = 1;
    insert.pageRanges = {{5, 5}};
    paper.kind = static_cast<std::uint8_t>(rules::ExceptionKind::PagePaper);
    paper.tray = 3;
    paper.paperSize = 25;
    paper.finishing1 = 2;
    paper.pageRanges = {{1, 4}};
    tab.kind = 5;
    tab.pageRanges = {{9, 9}};
    const auto block = rules::encodePageExceptions(std::vector{insert, paper, tab}).block;
    std::copy(block.begin(), block.end(), settings.field(FieldId::PageSpecificTrays).begin());
    const auto formBlock = rules::encodePageForms(std::vector<rules::PageForm>{{1, 1, 1}, {2, 3, 9}, {3, 10, 10}, {4, 11, 11}});
    std::copy(formBlock.begin(), formBlock.end(), settings.field(FieldId::PageSpecificForms).begin());
    const std::string ticket = buildJobTicket(settings, {});
    EXPECT_EQ(linesOf(ticket, {"ZXINDEXINFO1", "ZXINDEXINFO2"}),
              "@PJL SET ZXINDEXINFO1=\"LEFT;INS:5:2:A4:BLANK\"\r\n"
              "@PJL SET ZXINDEXINFO2=\"LEFT;PAGE:1-4:3:CUSTOM:2:0:0:0\"\r\n");
    EXPECT_EQ(linesOf(ticket, {"TARVOOVERLAYPAGE1", "TARVOOVERLAYPAGE2", "TARVOOVERLAYPAGE3", "TARVOOVERLAYPAGE4"}),
              "@PJL SET TARVOOVERLAYPAGE1=\"1:1-1\"\r\n@PJL SET TARVOOVERLAYPAGE2=\"2:3-9\"\r\n"
              "@PJL SET TARVOOVERLAYPAGE3=\"3:10-10\"\r\n");
}

}  // namespace
}  // namespace tvzx::pjl
