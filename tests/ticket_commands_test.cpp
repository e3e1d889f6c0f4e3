// The feature commands of the job ticket: their order, values and conditions.
#include <gtest/gtest.h>

#include <initializer_list>
#include <set>
#include <string>

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
std::string featureCommands(std::initializer_list<std::string_view> assignments) {
    CoreData settings = settings::defaultRecord();
    for (std::string_view assignment : assignments) {
        const auto error = settings::applySetting(settings, assignment);
        EXPECT_FALSE(error) << *error;
    }
    const std::string ticket = buildJobTicket(settings, {});
    // The two header lines without names come first.
    const std::string header = "@PJL SET STRINGCODESET=UTF8\r\n@PJL SET ZXCOETYPE=2\r\n";
    EXPECT_EQ(ticket.substr(0, header.size()), header);
    return ticket.substr(header.size());
}

// The lines of the ticket whose keys are among these, in ticket order.
std::string linesOf(const std::string& ticket, std::initializer_list<std::string_view> keys) {
    const std::set<std::string_view> wanted(keys);
    std::string out;
    for (std::size_t at = 0; at < ticket.size();) {
        const std::size_t end = ticket.find("\r\n", at) + 2;
        const std::string_view line(ticket.data() + at, end - at);
        const std::size_t keyStart = std::string_view("@PJL SET ").size();
        const std::string_view key = line.substr(keyStart, line.find('=') - keyStart);
        if (wanted.count(key)) out += line;
        at = end;
    }
    return out;
}

TEST(TicketCommands, DefaultJobInTicketOrder) {
    const std::string expected =
    "@PJL SET ORIENTATION=PORTRAIT\r\n"
    "@PJL SET MEDIASOURCE=AUTO\r\n"
    "@PJL SET LAYOUT=NORMAL\r\n"
    "@PJL SET DUPLEX=ON\r\n"
    "@PJL SET BINDING=LEFT\r\n"
    "@PJL SET COMPOSITIONTYPE=NORMAL\r\n"
    "@PJL SET IMAGESHIFTINSIDEMODE=SINGLEPAGE\r\n"
    "@PJL SET MIXEDORIGINALMODE=OFF\r\n"
    "@PJL SET LARGESIZEOUTPUTMODE=OFF\r\n"
    "@PJL SET LARGESIZEOUTPUTORDER=RIGHTDOWN\r\n"
    "@PJL SET OUTPUTPAPER=AUTO\r\n"
    "@PJL SET FITTOPAPER=OFF\r\n"
    "@PJL SET SCALE=100\r\n"
    "@PJL SET FULLBLEED=OFF\r\n"
    "@PJL SET ROTATE180=OFF\r\n"
    "@PJL SET BOOKLETBLANKPAGEINSERTION=OFF\r\n"
    "@PJL SET OUTBIN=DEFAULT\r\n"
    "@PJL SET FINISH=NONE\r\n"
    "@PJL SET PUNCH=OFF\r\n"
    "@PJL SET RINGBINDMODE=OFF\r\n"
    "@PJL SET FEEDDIRECTION=AUTO\r\n"
    "@PJL SET OUTPUTMODE=FACEDOWN\r\n"
    "@PJL SET NTO1=OFF\r\n"
    "@PJL SET QTY=1\r\n"
    "@PJL SET JOBOFFSET=OFF\r\n"
    "@PJL SET EXTFINISHERMIDDLEMODE=OFF\r\n"
    "@PJL SET FOLDING=OFF\r\n"
    "@PJL SET TRIM=OFF\r\n"
    "@PJL SET SQUAREFOLD=OFF\r\n"
    "@PJL SET SQUAREFOLDSTRENGTH=NORMAL\r\n"
    "@PJL SET SLIT=OFF\r\n"
    "@PJL SET SLITPOSITION1=\"M,80\"\r\n"
    "@PJL SET SLITPOSITION2=\"M,80\"\r\n"
    "@PJL SET BODYSLITPOSITIONOFFSET=\"M,0\"\r\n"
    "@PJL SET CREASE=OFF\r\n"
    "@PJL SET MEDIATYPE=NOSET\r\n"
    "@PJL SET MEDIAWEIGHT=NOSET\r\n"
    "@PJL SET MEDIACOLOR=NOSET\r\n"
    "@PJL SET MEDIAPREPUNCHED=OFF\r\n"
    "@PJL SET MEDIAWEIGHTUNIT=GM2\r\n"
    "@PJL SET HEADERPAGE=OFF\r\n"
    "@PJL SET PERFECTBINDMODE=OFF\r\n"
    "@PJL SET PERFECTBINDTRIM=ON\r\n"
    "@PJL SET PERFECTBINDSPINE=100\r\n"
    "@PJL SET PERFECTBINDDUPLEX=OFF\r\n"
    "@PJL SET PERFECTBINDTRAY=\"TRAY1,NOSET,NOSET,NOSET\"\r\n"
    "@PJL SET PERFECTBINDCREASE=OFF\r\n"
    "@PJL SET CHAPTERMODE=OFF\r\n"
    "@PJL SET TABIMAGESHIFT=OFF\r\n"
    "@PJL SET TABPAPEROUT=OFF\r\n"
    "@PJL SET CBCOLORPATCHPRINT=OFF\r\n"
    "@PJL SET CBJOBINFOPRINT=OFF\r\n"
    "@PJL SET TONECURVE2=\"OFF\"\r\n"
    "@PJL SET TONECURVE1=\"_SAMEASIMAGE\"\r\n"
    "@PJL SET RESOLUTION=1200\r\n"
    "@PJL SET SCREEN2=DOT1\r\n"
    "@PJL SET SCREEN1=DOT1\r\n"
    "@PJL SET ZXCUSTOMSCREENSHAPEK=ROUND\r\n"
    "@PJL SET ZXCUSTOMSCREENLPIK=1200\r\n"
    "@PJL SET ZXCUSTOMSCREENDEGREEK=450\r\n"
    "@PJL SET PUREBLACKMODE=0\r\n"
    "@PJL SET TONERSAVE=OFF\r\n"
    "@PJL SET LOWDENSITY=LEVEL6\r\n"
    "@PJL SET OUTLINEPROCESSINGAREA=TEXTGRAPHICS\r\n"
    "@PJL SET THINNING=LEVEL1\r\n"
    "@PJL SET SMOOTHING=OFF\r\n"
    "@PJL SET OUTLINEENHANCE=ON\r\n"
    "@PJL SET SLIMLINEEMPHASIS=OFF\r\n"
    "@PJL SET USECIECOLOR=ON\r\n"
    "@PJL SET IMAGESHIFT=OFF\r\n"
    "@PJL SET PRINTPOSITION=MIDDLE\r\n"
    "@PJL SET TOMBOPOSITION=OFF\r\n"
    "@PJL SET TOMBOMODE=PERPAGE\r\n"
    "@PJL SET TOMBODUPLEX=OFF\r\n"
    "@PJL SET TOMBOTYPE=TYPE1\r\n"
    "@PJL SET TOMBOSIZE=30\r\n"
    "@PJL SET TOMBOHORIZSHIFT=0\r\n"
    "@PJL SET TOMBOVERTSHIFT=0\r\n"
    "@PJL SET DTSTPMODE=OFF\r\n"
    "@PJL SET PAGESTAMP=\"NONE,1,1\"\r\n"
    "@PJL SET NUMBERING=\"NONE,1\"\r\n"
    "@PJL SET JIMONMODE=OFF\r\n"
    "@PJL SET JIMONPATTERN=\"OFF,OFF,OFF,OFF,OFF,OFF,OFF,OFF\"\r\n"
    "@PJL SET JIMONBACKPATTERN=OFF\r\n"
    "@PJL SET JIMONPATTERNINDEX=\"0,0,0,0,0,0,0,0\"\r\n"
    "@PJL SET TANDEM=OFF\r\n"
    "@PJL SET SENDEMAIL=OFF\r\n"
    "@PJL SET TARVOFORMSAVE=OFF\r\n"
    "@PJL SET SPOOL=OFF\r\n"
    "@PJL SET ZXCERTSERVTYPE=NONE\r\n"
    ;
    EXPECT_EQ(featureCommands({}), expected);
}

TEST(TicketCommands, Stapling) {
    EXPECT_EQ(linesOf(featureCommands({"Staple=1Staple", "Binding=Left"}), {"FINISH", "STAPLEPITCH"}),
              "@PJL SET FINISH=LEFT1POINT\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Staple=1Staple", "Binding=Top"}), {"FINISH", "STAPLEPITCH"}),
              "@PJL SET FINISH=RIGHT1POINT\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Staple=2StaplesNarrow"}), {"FINISH", "STAPLEPITCH", "STITCH"}),
              "@PJL SET FINISH=ANY2POINT\r\n@PJL SET STAPLEPITCH=LEVEL1\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Staple=2StaplesWide", "Stitch=True"}), {"FINISH", "STAPLEPITCH", "STITCH"}),
              "@PJL SET FINISH=CENTER\r\n@PJL SET STAPLEPITCH=LEVEL3\r\n@PJL SET STITCH=SADDLE\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Stitch=True"}), {"FINISH", "STITCH"}),
              "@PJL SET FINISH=CENTER\r\n@PJL SET STITCH=SADDLE\r\n");
}

TEST(TicketCommands, Punching) {
    EXPECT_EQ(linesOf(featureCommands({"Punch=GBCDoubleStreampunch"}), {"PUNCH", "PUNCHNUM"}),
              "@PJL SET PUNCH=ON\r\n@PJL SET PUNCHNUM=11\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Punch=GBCStreampunchCorvel"}), {"PUNCHNUM"}), "@PJL SET PUNCHNUM=10\r\n");
    EXPECT_EQ(linesOf(featureCommands({}), {"PUNCH", "PUNCHNUM"}), "@PJL SET PUNCH=OFF\r\n");
}

TEST(TicketCommands, CopiesAndOffset) {
    EXPECT_EQ(linesOf(featureCommands({"NumCopies=3"}), {"QTY", "COPIES"}), "@PJL SET QTY=3\r\n");
    EXPECT_EQ(linesOf(featureCommands({"NumCopies=3", "Collate=Group"}), {"QTY", "COPIES"}), "@PJL SET COPIES=3\r\n");
    EXPECT_EQ(linesOf(featureCommands({"OffsetPages=True", "OffsetPagesCount=25"}),
                      {"COPIESOFFSET", "SHEETSOFFSET", "JOBOFFSET"}),
              "@PJL SET COPIESOFFSET=1\r\n@PJL SET SHEETSOFFSET=25\r\n@PJL SET JOBOFFSET=ON\r\n");
    EXPECT_EQ(linesOf(featureCommands({"OffsetCopies=True", "OffsetCopiesCount=4"}),
                      {"COPIESOFFSET", "SHEETSOFFSET", "JOBOFFSET"}),
              "@PJL SET COPIESOFFSET=4\r\n@PJL SET JOBOFFSET=ON\r\n");
    EXPECT_EQ(linesOf(featureCommands({"DivideOutput=True", "DivideOutputPages=12"}), {"PAGELOOP"}),
              "@PJL SET PAGELOOP=12\r\n");
}

TEST(TicketCommands, NUpAndOrientation) {
    EXPECT_EQ(linesOf(featureCommands({}), {"INFONIN1"}), "");
    EXPECT_EQ(linesOf(featureCommands({"NUpCount=4Reverse"}), {"INFONIN1", "ORIENTATION"}),
              "@PJL SET ORIENTATION=PORTRAIT\r\n@PJL SET INFONIN1=N4\r\n");
    // Two pages side by side turn the sheet.
    EXPECT_EQ(linesOf(featureCommands({"NUpCount=2"}), {"INFONIN1", "ORIENTATION"}),
              "@PJL SET ORIENTATION=LANDSCAPE\r\n@PJL SET INFONIN1=N2\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Orientation=Land", "PerfectBindMode=1In1Port"}), {"ORIENTATION"}),
              "@PJL SET ORIENTATION=PORTRAIT\r\n");
}

TEST(TicketCommands, PosterOverlapOnlyForDividedPosters) {
    EXPECT_EQ(linesOf(featureCommands({"PosterPrint=Central", "HorizontalOverlap=50000"}), {"OVERLAPWIDTH"}), "");
    EXPECT_EQ(linesOf(featureCommands({"PosterPrint=Divided", "HorizontalOverlap=50000", "VerticalOverlap=123456"}),
                      {"OVERLAPWIDTH", "OVERLAPHEIGHT"}),
              "@PJL SET OVERLAPWIDTH=50\r\n@PJL SET OVERLAPHEIGHT=123\r\n");
}

TEST(TicketCommands, Folding) {
    EXPECT_EQ(linesOf(featureCommands({"Fold=MultiLetterFold"}), {"FOLDING"}), "@PJL SET FOLDING=MULTILETTERFOLDIN\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Fold=MultiLetterFold", "FoldDirection=Outside"}), {"FOLDING"}),
              "@PJL SET FOLDING=MULTILETTERFOLDOUT\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Fold=MultiCenterFold"}), {"FOLDING"}), "@PJL SET FOLDING=MULTICENTERFOLD\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Fold=MultiCenterFold", "FoldDirection=Outside"}), {"FOLDING"}),
              "@PJL SET FOLDING=MULTICENTERFOLDOUT\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Fold=ZFold", "FoldDirection=Outside"}), {"FOLDING"}), "@PJL SET FOLDING=ZFOLD\r\n");
}

TEST(TicketCommands, SlitAndCrease) {
    EXPECT_EQ(linesOf(featureCommands({"PerfectBindMode=Blank", "PerfectBindSlit=True", "PerfectBindSlitPositionTop=123456"}),
                      {"SLIT", "SLITPOSITION1"}),
              "@PJL SET SLIT=COVERONLY\r\n@PJL SET SLITPOSITION1=\"M,123\"\r\n");
    EXPECT_EQ(linesOf(featureCommands({"Crease=2Pieces", "CreasePosition2Value=123456"}),
                      {"CREASE", "CREASELINE", "CREASEPOSITION1", "CREASEPOSITION2", "CREASEPOSITION3"}),
              "@PJL SET CREASE=ON\r\n@PJL SET CREASELINE=2\r\n@PJL SET CREASEPOSITION1=\"M,70\"\r\n"
              "@PJL SET CREASEPOSITION2=\"M,123\"\r\n");
    EXPECT_EQ(linesOf(featureCommands({"SlitMargin=-5000"}), {"BODYSLITPOSITIONOFFSET"}),
              "@PJL SET BODYSLITPOSITIONOFFSET=\"M,-5\"\r\n");
}

TEST(TicketCommands, MediaOfThePaperSource) {
    const std::string tray = featureCommands({"InputSlot=Tray2", "MediaTypeTray2=Bond", "MediaWeightTray2=Thick3",
                                              "MediaColorTray2=Custom", "CustomMediaColorNameTray2=\"Sky blue\"",
                                              "WeightUnitTray2=lb2", "MediaTypeAuto=Rough"});
    EXPECT_EQ(linesOf(tray, {"MEDIATYPE", "MEDIAWEIGHT", "MEDIACOLOR", "MEDIACOLORNAME", "MEDIAWEIGHTUNIT"}),
              "@PJL SET MEDIATYPE=BOND\r\n@PJL SET MEDIAWEIGHT=THICK3\r\n@PJL SET MEDIACOLOR=USERDEFINE\r\n"
              "@PJL SET MEDIACOLORNAME=\"Sky blue\"\r\n@PJL SET MEDIAWEIGHTUNIT=LB2\r\n");
    // A custom colour without a name is no colour at all.
    EXPECT_EQ(linesOf(featureCommands({"MediaColorAuto=Custom"}), {"MEDIACOLOR", "MEDIACOLORNAME"}),
              "@PJL SET MEDIACOLOR=NOSET\r\n");
}

TEST(TicketCommands, HeaderPageAndCovers) {
    EXPECT_EQ(linesOf(featureCommands({"HeaderPage=Tray3"}), {"HEADERPAGE", "HEADERPAGETRAY"}),
              "@PJL SET HEADERPAGE=ON\r\n@PJL SET HEADERPAGETRAY=TRAY3\r\n");
    const std::string covers = featureCommands({"FrontCoverTray=Tray2", "FrontCoverPrinted=True", "TargetPaperSizeTray2=15",
                                                "PIBackCoverTray=PITray1", "PIBackSheets=2", "TargetPaperSizePITray1=27",
                                                "Staple=1StapleLeft"});
    EXPECT_EQ(linesOf(covers, {"PPSPAPER1", "PPSINSERTPAGES1", "PPSPAPER4", "PPSINSERTPAGES4", "PPSPAPER2"}),
              "@PJL SET PPSPAPER1=LETTER\r\n@PJL SET PPSINSERTPAGES1=\"1,PRINT,STAPLE,NOPUNCH\"\r\n"
              "@PJL SET PPSPAPER4=AUTO\r\n@PJL SET PPSINSERTPAGES4=\"2,PASS,STAPLE,NOPUNCH\"\r\n");
}

TEST(TicketCommands, PerfectBinding) {
    const std::string binding = featureCommands({"PerfectBindMode=2In1", "PerfectBindTray=Tray3", "MediaTypeTray3=Book",
                                                 "MediaColorTray3=Custom", "CustomMediaColorNameTray3=\"Bone\""});
    EXPECT_EQ(linesOf(binding, {"PERFECTBINDMODE", "PERFECTBINDTRAY", "PERFECTBINDMEDIACOLORNAME", "PERFECTBINDPAPERSIZE"}),
              "@PJL SET PERFECTBINDMODE=2IN1\r\n@PJL SET PERFECTBINDTRAY=\"TRAY3,BOOK,NOSET,USERDEFINE\"\r\n"
              "@PJL SET PERFECTBINDMEDIACOLORNAME=\"Bone\"\r\n@PJL SET PERFECTBINDPAPERSIZE=\"M,2100,2970\"\r\n");
}

TEST(TicketCommands, Chapters) {
    EXPECT_EQ(linesOf(featureCommands({"ChapterMode=True", "ChapterPages=312C332D35"}), {"CHAPTERMODE", "CHAPTER"}),
              "@PJL SET CHAPTERMODE=ON\r\n@PJL SET CHAPTER=\"1,3,4,5\"\r\n");
    // A list with nothing readable leaves chapters off.
    EXPECT_EQ(linesOf(featureCommands({"ChapterMode=True", "ChapterPages=782D79"}), {"CHAPTERMODE", "CHAPTER"}),
              "@PJL SET CHAPTERMODE=OFF\r\n");
    const auto ranges = parseChapterPages(" 7; 2-3,9-8,0,x,65536, 4 ");
    ASSERT_EQ(ranges.size(), 3u);
    EXPECT_EQ(ranges[0], (rules::PageRange{7, 7}));
    EXPECT_EQ(ranges[1], (rules::PageRange{2, 3}));
    EXPECT_EQ(ranges[2], (rules::PageRange{4, 4}));
}

TEST(TicketCommands, IndexInformationFromPageExceptions) {
    CoreData settings = settings::defaultRecord();
    rules::PageException insert;
    insert.kind = static_cast<std::uint8_t>(rules::ExceptionKind::BlankInsert);
    insert.tray = 2;
    insert.paperSize = 1;
    insert.pageRanges = {{5, 5}};
    rules::PageException paper;
    paper.kind = static_cast<std::uint8_t>(rules::ExceptionKind::PagePaper);
    paper.tray = 3;
    paper.paperSize = 25;
    paper.finishing1 = 2;
    paper.pageRanges = {{1, 4}};
    rules::PageException tab;
    tab.kind = 5;
    tab.pageRanges = {{9, 9}};
    const auto block = rules::encodePageExceptions(std::vector{insert, paper, tab}).block;
    std::copy(block.begin(), block.end(), settings.field(FieldId::PageSpecificTrays).begin());
    EXPECT_EQ(linesOf(buildJobTicket(settings, {}), {"ZXINDEXINFO1", "ZXINDEXINFO2"}),
              "@PJL SET ZXINDEXINFO1=\"LEFT;INS:5:2:A4:BLANK\"\r\n"
              "@PJL SET ZXINDEXINFO2=\"LEFT;PAGE:1-4:3:CUSTOM:2:0:0:0\"\r\n");
}

TEST(TicketCommands, JobInformationAndComments) {
    const std::string comment(450, 'c');
    const std::string ticket = featureCommands({"JobInfo=Top", "PIPrinterAndDeviceName=True",
                                                ("PIComment=\"" + comment + "\"").c_str()});
    EXPECT_EQ(linesOf(ticket, {"CBJOBINFOPRINT", "CBJOBINFOPOSITION", "CBJOBINFOLINES", "CBSWPRINTERNAME", "CBSWMODELNAME",
                               "CBSWJOBCOMMENT"}),
              "@PJL SET CBJOBINFOPRINT=ON\r\n@PJL SET CBJOBINFOPOSITION=TOP\r\n@PJL SET CBJOBINFOLINES=3\r\n"
              "@PJL SET CBSWPRINTERNAME=ON\r\n@PJL SET CBSWMODELNAME=ON\r\n@PJL SET CBSWJOBCOMMENT=ON\r\n");
    EXPECT_EQ(linesOf(ticket, {"JOBCOMMENT1", "JOBCOMMENT2", "JOBCOMMENT3", "JOBCOMMENT4"}),
              "@PJL SET JOBCOMMENT1=\"" + comment.substr(0, 200) + "\"\r\n@PJL SET JOBCOMMENT2=\"" +
                  comment.substr(0, 200) + "\"\r\n@PJL SET JOBCOMMENT3=\"" + comment.substr(0, 50) + "\"\r\n");
    // The controller's own default layout shows no comments.
    EXPECT_EQ(linesOf(featureCommands({"JobInfo=ControllerDefault", "PIComment=\"x\""}),
                      {"CBJOBINFOPOSITION", "CBJOBINFOLINES", "JOBCOMMENT1"}),
              "@PJL SET CBJOBINFOPOSITION=DEFAULT\r\n");
}

TEST(TicketCommands, ScreensFollowTheScreeningMode) {
    EXPECT_EQ(linesOf(featureCommands({"ScreenTypeImage=Error", "ScreenTypeTextGraphics=SameAsImage"}), {"SCREEN1", "SCREEN2"}),
              "@PJL SET SCREEN2=STOCHASTIC\r\n@PJL SET SCREEN1=STOCHASTIC\r\n");
    EXPECT_EQ(linesOf(featureCommands({"ScreeningMode=Custom"}), {"SCREEN1", "SCREEN2"}),
              "@PJL SET SCREEN2=EXTERNAL\r\n@PJL SET SCREEN1=EXTERNAL\r\n");
}

TEST(TicketCommands, FormsAndStoredJobs) {
    EXPECT_EQ(linesOf(featureCommands({}), {"TARVOOVERLAYALL", "TARVOPREPENDJOB", "TARVOAPPENDJOB"}), "");
    EXPECT_EQ(linesOf(featureCommands({"JobForm=12", "JobFormPageCount=5", "Prepend=0", "Append=7"}),
                      {"TARVOOVERLAYALL", "TARVOPREPENDJOB", "TARVOAPPENDJOB"}),
              "@PJL SET TARVOOVERLAYALL=\"12:2\"\r\n@PJL SET TARVOPREPENDJOB=0\r\n@PJL SET TARVOAPPENDJOB=7\r\n");
    EXPECT_EQ(linesOf(featureCommands({"JobForm=12", "FormPrintPattern=Once"}), {"TARVOOVERLAYALL"}),
              "@PJL SET TARVOOVERLAYALL=\"12:0\"\r\n");

    CoreData settings = settings::defaultRecord();
    const std::vector<rules::PageForm> forms = {{1, 1, 1}, {2, 3, 9}, {3, 10, 10}, {4, 11, 11}};
    const auto block = rules::encodePageForms(forms);
    std::copy(block.begin(), block.end(), settings.field(FieldId::PageSpecificForms).begin());
    EXPECT_EQ(linesOf(buildJobTicket(settings, {}), {"TARVOOVERLAYPAGE1", "TARVOOVERLAYPAGE2", "TARVOOVERLAYPAGE3",
                                                     "TARVOOVERLAYPAGE4"}),
              "@PJL SET TARVOOVERLAYPAGE1=\"1:1-1\"\r\n@PJL SET TARVOOVERLAYPAGE2=\"2:3-9\"\r\n"
              "@PJL SET TARVOOVERLAYPAGE3=\"3:10-10\"\r\n");
}

TEST(TicketCommands, ImageShift) {
    EXPECT_EQ(linesOf(featureCommands({"ImageShiftType=AllEqual", "HorizontalShift=25000", "VerticalShift=-10000",
                                       "Gutter=50000"}),
                      {"IMAGESHIFT", "IMAGESHIFTINFO", "HIGHPRECISIONIMAGESHIFTINFO"}),
              "@PJL SET IMAGESHIFT=CONTROLLER\r\n@PJL SET IMAGESHIFTINFO=\"25,-10,50,0,-25,-10,50,0\"\r\n");
    EXPECT_EQ(linesOf(featureCommands({"ImageShiftType=AllEqual", "VerticalShift=-10000", "Binding=Top"}),
                      {"IMAGESHIFTINFO"}),
              "@PJL SET IMAGESHIFTINFO=\"0,-10,0,0,0,10,0,0\"\r\n");
    // A gutter too small for tenths of a millimetre still shifts in high precision.
    EXPECT_EQ(linesOf(featureCommands({"ImposQuality=High", "Gutter=400"}),
                      {"IMAGESHIFT", "IMAGESHIFTINFO", "HIGHPRECISIONIMAGESHIFTINFO"}),
              "@PJL SET IMAGESHIFT=CONTROLLER\r\n@PJL SET IMAGESHIFTINFO=\"0,0,0,0,0,0,0,0\"\r\n"
              "@PJL SET HIGHPRECISIONIMAGESHIFTINFO=4\r\n");
}

TEST(TicketCommands, Stamps) {
    EXPECT_EQ(linesOf(featureCommands({"DateStamp=All", "DateStyle=Style3", "TimeStyle=24H", "DatePosition=BottomRight",
                                       "DateFont=Ming12"}),
                      {"DTSTPMODE", "DTSTPPAGE", "DTSTPDATE", "DTSTPTIME", "DTSTPPOSITION", "DTSTPCHARSIZE",
                       "DTSTPCHARKIND", "DTSTPCOLOR", "DTSTPOUTSIDE"}),
              "@PJL SET DTSTPMODE=ON\r\n@PJL SET DTSTPPAGE=ALLPAGES\r\n@PJL SET DTSTPDATE=DATE3\r\n"
              "@PJL SET DTSTPTIME=TIME2\r\n@PJL SET DTSTPPOSITION=RIGHTBOTTOM\r\n@PJL SET DTSTPCHARSIZE=12\r\n"
              "@PJL SET DTSTPCHARKIND=MINCHO\r\n@PJL SET DTSTPCOLOR=BLACK\r\n@PJL SET DTSTPOUTSIDE=OFF\r\n");
    EXPECT_EQ(linesOf(featureCommands({"PageNumberingMode=NotFrontCover", "PageNumberingStartPage=3",
                                       "PageNumberingFont=Gothic14"}),
                      {"PAGESTAMP", "PSTPCHARKIND", "PSTPCHARSIZE"}),
              "@PJL SET PAGESTAMP=\"NOTFRONTCOVER,3,1\"\r\n@PJL SET PSTPCHARKIND=GOTHIC\r\n@PJL SET PSTPCHARSIZE=14\r\n");
    EXPECT_EQ(linesOf(featureCommands({"SetNumberingMode=StampForAllPages", "SetNumberingFontSize=36pt"}),
                      {"NUMBERING", "NUMBERINGCHARSIZE", "NUMBERINGCOLOR"}),
              "@PJL SET NUMBERING=\"ALLPAGES,1\"\r\n@PJL SET NUMBERINGCHARSIZE=36\r\n@PJL SET NUMBERINGCOLOR=BLACK\r\n");
}

TEST(TicketCommands, CopyGuard) {
    EXPECT_EQ(linesOf(featureCommands({"CopyProtection=True", "BackPattern=Pattern2", "PatternIndex=Pattern4"}),
                      {"JIMONMODE", "JIMONPATTERN", "JIMONBACKPATTERN", "JIMONPATTERNINDEX"}),
              "@PJL SET JIMONMODE=ON\r\n@PJL SET JIMONPATTERN=\"FIXED,OFF,OFF,OFF,OFF,OFF,OFF,OFF\"\r\n"
              "@PJL SET JIMONBACKPATTERN=TYPE2\r\n@PJL SET JIMONPATTERNINDEX=\"4,0,0,0,0,0,0,0\"\r\n");
}

TEST(TicketCommands, EmailNoticeNeedsAnAddress) {
    EXPECT_EQ(linesOf(featureCommands({"SendEMail=Always"}), {"SENDEMAIL", "SENDEMAILTIMING"}), "@PJL SET SENDEMAIL=OFF\r\n");
    EXPECT_EQ(linesOf(featureCommands({"SendEMail=OnError", "SendEMailAddress=\"ops@example.test\""}),
                      {"SENDEMAIL", "SENDEMAILTIMING", "SENDEMAILADDRESS"}),
              "@PJL SET SENDEMAIL=ON\r\n@PJL SET SENDEMAILTIMING=ONERROR\r\n"
              "@PJL SET SENDEMAILADDRESS=\"ops@example.test\"\r\n");
}

TEST(TicketCommands, PdfEncryptionNeverReachesTheTicket) {
    const std::string ticket = featureCommands({"EncryptPdf=True", "PdfPassword=\"secret\"", "AddShowpage=True"});
    EXPECT_EQ(linesOf(ticket, {"PDFPASSWDRQ", "PDFPASSWD", "ZXADDSHOWPAGE"}), "");
    EXPECT_EQ(ticket.find("secret"), std::string::npos);
}

}  // namespace
}  // namespace tvzx::pjl
