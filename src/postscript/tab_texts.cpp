#include "postscript/tab_texts.h"

#include <initializer_list>
#include <span>
#include <string_view>

namespace tvzx::postscript {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Makes sure of the feature dictionary the way the tab-sheet code expects it.
constexpr std::string_view kTabFeatureDictionary =
    "userdict /TVZXFeatures 2 copy known {pop pop}{100 dict put} ifelse";
constexpr std::string_view kFirstTabOnPageOne = "TVZXFeatures /QXP1Tab true put";
constexpr std::string_view kFirstTabElsewhere = "TVZXFeatures /QXP1Tab false put";

// erasepage leaves a page with a printed tab sheet alone (and moves a QuarkXPress
// page back into place); TARVOQXPFix keeps that application's page matrices
// for the pages before and after a tab sheet.
constexpr std::string_view kErasePageOverride[] = {
    "userdict /erasepage { userdict /TARVONEP known TVZXFeatures /QXP1Tab known and",
    "TVZXFeatures /IsQxDict known and {userdict /TARVONEP get} {false} ifelse {",
    "TVZXFeatures /IsQxDict get exec { false { currentpagedevice /PageSize get 0 get",
    "647 eq {-17.5}{-18}ifelse 0 translate }if }if } {1 //erasepage exec pop} ifelse }",
    "bind put userdict /TVZXFeatures get /TARVOQXPFix { TVZXFeatures /QXP1Tab known",
    "TVZXFeatures /QxDict known and { TVZXFeatures /QxDict get exec { TVZXFeatures",
    "/Appl1Dict 2 copy known { pop pop pop }{ 3 -1 roll put}ifelse TVZXFeatures dup",
    "/pmx_n get null eq exch /pmx_t get null eq and { TVZXFeatures /QXP1Tab get {",
    "TVZXFeatures /pmx_t 1 index /Appl1Dict get /pmx get matrix copy put /dMT } {",
    "TVZXFeatures /pmx_n 1 index /Appl1Dict get /pmx get matrix copy put /dMN }",
    "ifelse TVZXFeatures exch 1 index /Appl1Dict get /pmx get matrix defaultmatrix",
    "matrix invertmatrix matrix concatmatrix put }if } if } if } bind put",
};

// The driver's page save is restored before a tab sheet changes the page device.
constexpr std::string_view kPageSaveCapture[] = {
    "userdict /pagesave known {userdict /pagesave get}{null}ifelse dup null eq {false}",
    "{true exch restore}ifelse TVZXFeatures /TARVOSaveAfterTab 3 -1 roll put",
};

// The page-setup callback up to where the shifted form moves the page.
constexpr std::string_view kCallbackHead[] = {
    "userdict /TVZXPluginEndPageSetupCallBack {",
    "TVZXFeatures /TARVOSaveAfterTab known {TVZXFeatures /TARVOSaveAfterTab get {userdict",
    "begin /pagesave save def end}if TVZXFeatures /TARVOSaveAfterTab undef} if TVZXFeatures",
    "/Tarvo_dV9 known TVZXFeatures /Tarvo_V9 known and {TVZXFeatures",
    "/Tarvo_dV9 get matrix defaultmatrix TVZXFeatures /Tarvo_V9 get concatmatrix setmatrix} if",
};

// Runs the QuarkXPress page-matrix fix at the end of a page.
constexpr std::string_view kQxpFixCall[] = {
    "userdict /TVZXFeatures known { userdict /TVZXFeatures get dup /QXP1Tab known",
    "TVZXFeatures /TARVOQXPFix known and {/TARVOQXPFix get exec} {pop}ifelse }if",
};

// Copies the feature dictionary, userdict, the dictionary and operand stacks
// and the page device into userdict entries, leaving the interpreter clean
// for the tab sheet.
constexpr std::string_view kStateSave[] = {
    "userdict /TARVOZXSAVE TVZXFeatures length dict put",
    "TVZXFeatures {userdict /TARVOZXSAVE get 3 -2 roll put} forall",
    "userdict /TARVOUDSAVE undef userdict /TARVODISAVE undef userdict /TARVOSDSAVE",
    "undef userdict /TARVOCPDSAVE undef userdict /TARVOCPDSAVE 100 dict put",
    "currentpagedevice {userdict /TARVOCPDSAVE get 3 -2 roll put} forall userdict",
    "/TARVOUDSAVE 100 dict put /LH {1 //showpage exec pop} executeonly def userdict",
    "{exch dup /TARVOUDSAVE eq not {userdict /TARVOUDSAVE get 3 -2 roll exch put}{pop",
    "pop} ifelse} forall userdict /TARVODISAVE countdictstack array dictstack put",
    "userdict /TARVODISAVE get aload pop countdictstack -3 roll pop pop pop",
    "countdictstack 3 sub array astore userdict /TARVODISAVE 3 -1 roll put",
    "countdictstack 3 sub {end} repeat userdict /TVZXFeatures get /QXP1Tab get",
    "userdict /TVZXFeatures get /QXP1Tab undef count array astore userdict",
    "/TARVOSDSAVE 3 -1 roll put userdict {type /savetype eq {dup userdict exch undef}",
    "if pop} forall",
};

// Takes the saved state back, holds the following page-device requests until
// the page-device restore, and ends the tab sheet. The layout code's page
// procedure and the tab-sheet code's end procedure are used only when the
// interpreter has them, like every other procedure the plug-in calls: a
// printer or tab document without them must not lose the job.
constexpr std::string_view kStateRestore[] = {
    "clear userdict {type /savetype eq {dup userdict exch undef} if pop} forall",
    "userdict /TARVOSDSAVE known { userdict /TARVOSDSAVE get aload pop userdict",
    "/TARVOSDSAVE undef } if userdict /TARVODISAVE known { countdictstack 3 sub {end}",
    "repeat userdict /TARVODISAVE get 0 1 2 index length 1 sub {1 index exch get",
    "begin} for pop userdict /TARVODISAVE undef } if userdict /TARVOUDSAVE known {",
    "userdict /TARVONEP known {userdict /TARVONEP get}{null} ifelse userdict { pop",
    "userdict exch dup /TARVOUDSAVE eq {pop pop}{undef} ifelse } forall userdict",
    "/TARVOUDSAVE get { exch dup /TARVOUDSAVE eq {pop pop} {userdict 3 -2 roll exch",
    "put} ifelse } forall userdict /TARVOUDSAVE undef dup null eq not {userdict",
    "/TARVONEP 3 -1 roll put}{pop} ifelse } if userdict /TVZXFeatures get /QXP1Tab 3",
    "-1 roll put userdict /TARVOCPDSAVE known { userdict /TARVOSPDSAVE /setpagedevice",
    "load put userdict begin /setpagedevice { userdict /TARVOCPDSAVE known { {userdict",
    "/TARVOCPDSAVE get 3 -2 roll put} forall } if } def end TVZXFeatures /Tarvo_P5 known {",
    "TVZXFeatures dup /Tarvo_P5 get /TARVO_NB5 exch put TVZXFeatures /Tarvo_P5 { initmatrix",
    "TVZXFeatures /TARVO_NB5 get TVZXFeatures /Tarvo_P5 3 -1 roll put TVZXFeatures /TARVO_NB5",
    "undef TVZXFeatures /TARVO_NB5P 3 -1 roll put } put } if } if TVZXFeatures /pmx_t known {",
    "TVZXFeatures",
    "/pmx_t get null ne { TVZXFeatures /Appl1Dict get /pmx TVZXFeatures /pmx_t get put}{",
    "TVZXFeatures /dMN get null ne { TVZXFeatures /dMN get matrix defaultmatrix matrix",
    "concatmatrix TVZXFeatures /pmx_t 3 -1 roll put TVZXFeatures /Appl1Dict get /pmx",
    "TVZXFeatures /pmx_t get put }if }ifelse } if",
    "TVZXFeatures /Tarvo_dV9 userdict /TARVOZXSAVE get /Tarvo_dV9_tab 2 copy known",
    "{get} {pop pop [1 0 0 1 0 0]}",
    "ifelse put",
    "/TarvoTABdict where { /TarvoTABdict get dup /Tarvo_TP2 known { /Tarvo_TP2 get exec }",
    "{ pop } ifelse } if",
};

// Replays the saved page device, the page size last, and the layout code's
// page procedure held during the tab sheet, when the interpreter has it.
constexpr std::string_view kPageDeviceRestore[] = {
    "userdict /TARVOCPDSAVE known { userdict /TARVOSPDSAVE known {userdict",
    "/setpagedevice undef userdict /TARVOSPDSAVE undef} if userdict /TARVOCPDSAVE get",
    "dup /PageSize get exch dup /PageSize undef userdict /TARVOCPDSAVE undef { << 3",
    "1 roll >> setpagedevice } forall << /PageSize 3 -1 roll >> setpagedevice userdict",
    "/TARVONEP undef } if TVZXFeatures /TARVO_NB5 known { TVZXFeatures /Tarvo_P5",
    "TVZXFeatures /TARVO_NB5 get put TVZXFeatures /TARVO_NB5 undef } if TVZXFeatures",
    "/TARVO_NB5P known { TVZXFeatures /TARVO_NB5P get TVZXFeatures /TARVO_NB5P undef",
    "TVZXFeatures /Tarvo_P5 get exec } if TVZXFeatures /pmx_n known { TVZXFeatures",
    "/pmx_n get null ne { TVZXFeatures /Appl1Dict get /pmx TVZXFeatures /pmx_n get",
    "put}{TVZXFeatures /dMT get null ne { TVZXFeatures /dMT get matrix defaultmatrix",
    "matrix concatmatrix TVZXFeatures /pmx_n 3 -1 roll put TVZXFeatures /Appl1Dict get",
    "/pmx TVZXFeatures /pmx_n get put }if }ifelse} if",
    "userdict /TARVOZXSAVE 2 copy known {2 copy get {TVZXFeatures 3 -2 roll put}",
    "forall undef}{pop pop} ifelse",
    "TVZXFeatures /Tarvo_P5 known TVZXFeatures /TVZXPSname known and { TVZXFeatures begin",
    "TVZXPSname /Tarvo_P5 load end exec } if",
};

constexpr std::string_view kCallbackEnd = "} bind executeonly put";
// On the short tab papers the page moves right by the width of the tab; the
// page size name comes from the layout code, without it the page stays.
constexpr std::string_view kShortTabShift[] = {
    "<< /ZXLetterSTab 36 /ZXA4STab1 36 /ZXA4STab2 42 >>",
    "TVZXFeatures /TVZXPSname known { TVZXFeatures /TVZXPSname get 2 copy known {get 0 exch",
    "translate}{pop pop} ifelse } { pop } ifelse",
};

// A tab sheet printed on the page leaves the page to the document's own eject.
constexpr std::string_view kNoEject = "userdict /TARVONEP true put userdict /showpage {} put";

// Returns CR LF, then each line of every part followed by CR LF.
std::string linesText(std::initializer_list<std::span<const std::string_view>> parts) {
    std::size_t size = kLineEnd.size();
    for (const auto part : parts)
        for (const std::string_view line : part) size += line.size() + kLineEnd.size();
    std::string text;
    text.reserve(size);
    text += kLineEnd;
    for (const auto part : parts)
        for (const std::string_view line : part) {
            text += line;
            text += kLineEnd;
        }
    return text;
}

}  // namespace

std::string tabFlagText(bool firstPrintedTabOnPageOne) {
    const std::string_view lines[] = {kTabFeatureDictionary,
                                      firstPrintedTabOnPageOne ? kFirstTabOnPageOne : kFirstTabElsewhere};
    return linesText({lines});
}

std::string erasePageOverride() { return linesText({kErasePageOverride}); }

std::string tabPreparation(bool firstPrintedTabOnPageOne) {
    return tabFlagText(firstPrintedTabOnPageOne) + erasePageOverride();
}

std::string pageSaveCapture() { return linesText({kPageSaveCapture}); }

std::string pageSetupCallback(bool shifted) {
    const std::string_view end[] = {kCallbackEnd};
    if (shifted) return linesText({kCallbackHead, kShortTabShift, end});
    return linesText({kCallbackHead, end});
}

std::string qxpFixCall() { return linesText({kQxpFixCall}); }

std::string stateSave() { return linesText({kStateSave}); }

std::string noEjectText() {
    const std::string_view lines[] = {kNoEject};
    return linesText({lines});
}

std::string stateRestore() { return linesText({kStateRestore}); }

std::string pageDeviceRestore() { return linesText({kPageDeviceRestore}); }

}  // namespace tvzx::postscript
