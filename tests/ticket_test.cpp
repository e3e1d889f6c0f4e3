// The job ticket: one feature-rich job line by line, and the header's names.
#include <gtest/gtest.h>

#include "pjl/ticket.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

using namespace settings;

// Returns whether the ticket of the default record with these names holds the line.
bool holds(const TicketInputs& inputs, const std::string& line) {
    return buildJobTicket(settings::defaultRecord(), inputs).find("@PJL SET " + line + "\r\n") != std::string::npos;
}

// Returns the ticket cut to the length of the expected beginning.
std::string opening(const TicketInputs& inputs, const std::string& expected) {
    return buildJobTicket(settings::defaultRecord(), inputs).substr(0, expected.size());
}

// A finished, held, accounted job with the user's own login, every line as
// the printer must read it.
TEST(Ticket, FeatureRichJobInFull) {
    CoreData s = settings::defaultRecord();
    const std::pair<FieldId, std::string_view> options[] = {
        {FieldId::InputSlot, "Tray2"},         {FieldId::Staple, "2StaplesNarrow"},   {FieldId::Punch, "3Holes"},
        {FieldId::Fold, "ZFold"},              {FieldId::OutputBin, "StaplerSub"},    {FieldId::OffsetPages, "True"},
        {FieldId::DateStamp, "All"},           {FieldId::DatePosition, "BottomRight"}, {FieldId::DateFont, "Ming12"},
        {FieldId::JobInfo, "Top"},             {FieldId::PIJobName, "True"},          {FieldId::AccountTrack, "True"},
        {FieldId::PrintMode, "ProofMode"},     {FieldId::OutputMethod, "HoldPrint"},
        {FieldId::UserAuthentication, "MainBody"},
    };
    for (const auto& [field, name] : options) s.setOption(field, settings::fieldDef(field).options->find(name).value());
    s.setNumber(FieldId::NumCopies, 3);
    s.setNumber(FieldId::OffsetPagesCount, 5);
    s.setNumber(FieldId::NumLines, 2);
    s.setText(FieldId::FileName, "q3.pdf");  // named for the job: wins over the document's name
    s.setText(FieldId::PIComment, "Proof for review");
    s.setText(FieldId::AccountTrackDepartmentName, "Sales");
    s.setText(FieldId::AccountTrackPassword, "1234");
    s.setText(FieldId::UserAuthenticationUserName, "\xFF");  // the logged-on user
    s.setText(FieldId::UserAuthenticationPassword, "pw");
    // The enciphering has known answers of its own; here it only has to land on its line.
    const std::string lines[] = {
        "DRIVERJOBID=\"20261207-0001\"", "STRINGCODESET=UTF8", "ZXCOETYPE=2", "USERNAME=\"alice\"",
        "JOBNAME=\"q3.pdf\"", "ORIENTATION=PORTRAIT", "MEDIASOURCE=TRAY2", "LAYOUT=NORMAL", "DUPLEX=ON",
        "BINDING=LEFT", "COMPOSITIONTYPE=NORMAL", "IMAGESHIFTINSIDEMODE=SINGLEPAGE", "MIXEDORIGINALMODE=OFF",
        "LARGESIZEOUTPUTMODE=OFF", "LARGESIZEOUTPUTORDER=RIGHTDOWN", "OUTPUTPAPER=AUTO", "FITTOPAPER=OFF", "SCALE=100",
        "FULLBLEED=OFF", "ROTATE180=OFF", "BOOKLETBLANKPAGEINSERTION=OFF", "OUTBIN=BIN2", "FINISH=ANY2POINT",
        "STAPLEPITCH=LEVEL1", "PUNCH=ON", "PUNCHNUM=3", "RINGBINDMODE=OFF", "FEEDDIRECTION=AUTO", "OUTPUTMODE=FACEDOWN",
        "NTO1=OFF", "QTY=3", "COPIESOFFSET=1", "SHEETSOFFSET=5", "JOBOFFSET=ON", "EXTFINISHERMIDDLEMODE=OFF",
        "FOLDING=ZFOLD", "TRIM=OFF", "SQUAREFOLD=OFF", "SQUAREFOLDSTRENGTH=NORMAL", "SLIT=OFF", "SLITPOSITION1=\"M,80\"",
        "SLITPOSITION2=\"M,80\"", "BODYSLITPOSITIONOFFSET=\"M,0\"", "CREASE=OFF", "MEDIATYPE=NOSET", "MEDIAWEIGHT=NOSET",
        "MEDIACOLOR=NOSET", "MEDIAPREPUNCHED=OFF", "MEDIAWEIGHTUNIT=GM2", "HEADERPAGE=OFF", "PERFECTBINDMODE=OFF",
        "PERFECTBINDTRIM=ON", "PERFECTBINDSPINE=100", "PERFECTBINDDUPLEX=OFF",
        "PERFECTBINDTRAY=\"TRAY1,NOSET,NOSET,NOSET\"", "PERFECTBINDCREASE=OFF", "CHAPTERMODE=OFF", "TABIMAGESHIFT=OFF",
        "TABPAPEROUT=OFF", "CBCOLORPATCHPRINT=OFF", "CBJOBINFOPRINT=ON", "CBJOBINFOPOSITION=TOP", "CBJOBINFOLINES=2",
        "CBSWDISABLEBACKGROUND=OFF", "CBSWRIPDATE=OFF", "CBSWJOBNAME=ON", "CBSWUSERNAME=OFF", "CBSWPRINTERNAME=OFF",
        "CBSWMODELNAME=OFF", "CBSWROMVERSION=OFF", "CBSWTONECURVE=OFF", "CBSWPUREBLACK=OFF", "CBSWSCREEN=OFF",
        "CBSWUSECIECOLOR=OFF", "CBSWDOCUMENTID=OFF", "CBSWJOBCOMMENT=ON", "JOBCOMMENT1=\"Proof for review\"",
        "TONECURVE2=\"OFF\"", "TONECURVE1=\"_SAMEASIMAGE\"", "RESOLUTION=1200", "SCREEN2=DOT1", "SCREEN1=DOT1",
        "ZXCUSTOMSCREENSHAPEK=ROUND", "ZXCUSTOMSCREENLPIK=1200", "ZXCUSTOMSCREENDEGREEK=450", "PUREBLACKMODE=0",
        "TONERSAVE=OFF", "LOWDENSITY=LEVEL6", "OUTLINEPROCESSINGAREA=TEXTGRAPHICS", "THINNING=LEVEL1", "SMOOTHING=OFF",
        "OUTLINEENHANCE=ON", "SLIMLINEEMPHASIS=OFF", "USECIECOLOR=ON", "IMAGESHIFT=OFF", "PRINTPOSITION=MIDDLE",
        "TOMBOPOSITION=OFF", "TOMBOMODE=PERPAGE", "TOMBODUPLEX=OFF", "TOMBOTYPE=TYPE1", "TOMBOSIZE=30",
        "TOMBOHORIZSHIFT=0", "TOMBOVERTSHIFT=0", "DTSTPMODE=ON", "DTSTPPAGE=ALLPAGES", "DTSTPDATE=DATE1",
        "DTSTPTIME=OFF", "DTSTPPOSITION=RIGHTBOTTOM", "DTSTPCHARSIZE=12", "DTSTPCHARKIND=MINCHO", "DTSTPCOLOR=BLACK",
        "DTSTPOUTSIDE=OFF", "PAGESTAMP=\"NONE,1,1\"", "NUMBERING=\"NONE,1\"", "JIMONMODE=OFF",
        "JIMONPATTERN=\"OFF,OFF,OFF,OFF,OFF,OFF,OFF,OFF\"", "JIMONBACKPATTERN=OFF",
        "JIMONPATTERNINDEX=\"0,0,0,0,0,0,0,0\"", "TANDEM=OFF", "SENDEMAIL=OFF", "ZXSECTIONNAME=\"Sales\"",
        "ZXSECTIONKEY2=\"" + encipherForTicket("1234") + "\"", "TARVOFORMSAVE=OFF", "HOLD=ZXWAITPROOFANDHOLDPRINT",
        "SPOOL=OFF", "ZXUSERNAME=\"alice\"", "ZXUSERKEY2=\"" + encipherForTicket("pw") + "\"", "ZXCERTSERVTYPE=NONE",
    };
    std::string expected;
    for (const std::string& line : lines) expected += "@PJL SET " + line + "\r\n";
    EXPECT_EQ(buildJobTicket(s, {"Q3 report", "alice", "20261207-0001"}), expected);
}

TEST(TicketHeader, JobNameIsCutAtACharacterBoundaryForeignUserNameBytesBecomeQuestionMarksAndControlsLeave) {
    EXPECT_TRUE(holds({std::string(300, 'x'), std::nullopt, std::nullopt}, "JOBNAME=\"" + std::string(240, 'x') + "\""));
    // The 240th byte falls inside a three-byte character: it is left out whole.
    const std::string name = std::string(238, 'y') + "\xE3\x82\xB4" + "z";
    EXPECT_TRUE(holds({name, std::nullopt, std::nullopt}, "JOBNAME=\"" + std::string(238, 'y') + "\""));
    // A user name of another code page is no UTF-8.
    EXPECT_TRUE(holds({std::nullopt, "J\xF6rg", std::nullopt}, "USERNAME=\"J?rg\""));

    // Removed, not replaced: the cut counts the kept bytes only, so the
    // closing two-byte character just fits into the 240 bytes.
    const std::string controlled = "Gr\xC3\xB6\xC3\x9F" "e\x1B[2J\t\x7F" + std::string(228, 'y') + "\xCE\xA9";
    const std::string expected = "@PJL SET STRINGCODESET=UTF8\r\n@PJL SET ZXCOETYPE=2\r\n"
                                 "@PJL SET USERNAME=\"m\xC3\xBCller\"\r\n"
                                 "@PJL SET JOBNAME=\"Gr\xC3\xB6\xC3\x9F" "e[2J" + std::string(228, 'y') + "\xCE\xA9\"\r\n@PJL";
    EXPECT_EQ(opening({controlled, "m\x01\xC3\xBCller\r\n", std::nullopt}, expected), expected);
}

}  // namespace
}  // namespace tvzx::pjl
