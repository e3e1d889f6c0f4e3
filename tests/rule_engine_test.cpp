// The rules engine: its run state, the corrections of every constraint
// family by value, the page exception rules and pass, and its entry points.
#include <gtest/gtest.h>

#include "rules/installed_options.h"
#include "rules/page_exception_rules.h"
#include "rules/page_exceptions.h"
#include "rules/page_forms.h"
#include "rules/rule_context.h"
#include "rules/rule_engine.h"
#include "rules/user_edits.h"
#include "rules/setters.h"
#include "settings/settings_lines.h"

namespace tvzx::rules {
namespace {

using settings::CoreData;
using settings::FieldId;
using F = settings::FieldId;

std::uint32_t option(FieldId field, std::string_view name) {
    const auto index = settings::fieldDef(field).options->find(name);
    EXPECT_TRUE(index.has_value()) << settings::fieldDef(field).name << " has no option " << name;
    return index.value_or(0);
}

// Calls `each` with the setting and the value text of each "Name=Value" of
// the space-separated text.
template <typename Each>
void eachSetting(std::string_view text, Each each) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(' ', at), text.size()), equals = text.find('=', at);
        const auto field = settings::findField(text.substr(at, equals - at));
        ASSERT_TRUE(field) << "no setting " << text.substr(at, equals - at);
        each(*field, std::string(text.substr(equals + 1, end - equals - 1)));
        at = end + 1;
    }
}

// Returns the stored number of a value text: an option name, a number for
// range settings, or "#n" for an option stored as n.
std::uint32_t storedValue(FieldId field, const std::string& value) {
    if (value[0] == '#' || settings::fieldDef(field).kind != settings::Kind::Option)
        return static_cast<std::uint32_t>(std::stoul(value.substr(value[0] == '#')));
    return option(field, value);
}

// Returns "Name=Value" for each field, separated by spaces: option names for
// option settings (or the index past the list), numbers otherwise.
std::string show(const CoreData& record, std::initializer_list<FieldId> fields) {
    std::string out;
    for (FieldId field : fields)
        out += (out.empty() ? "" : " ") + std::string(settings::fieldDef(field).name) + "=" +
               settings::formatFieldValue(record, field);
    return out;
}

// Returns show() of the settings the expected text names, in its order.
std::string shownLike(const CoreData& record, std::string_view expected) {
    std::string out;
    eachSetting(expected,
                [&](FieldId field, const std::string&) { out += (out.empty() ? "" : " ") + show(record, {field}); });
    return out;
}

// Returns the default record with the values written as they are, without rules.
CoreData recordWith(std::string_view values) {
    CoreData record = settings::defaultRecord();
    eachSetting(values,
                [&](FieldId field, const std::string& value) { record.setRaw(field, storedValue(field, value)); });
    return record;
}

// Changes the settings of the text one after the other through their setters.
void set(CoreData& record, std::string_view values, const RuleInputs& inputs = {}) {
    eachSetting(values, [&](FieldId field, const std::string& value) {
        setSetting(record, field, storedValue(field, value), nullptr, inputs);
    });
}

std::vector<std::uint8_t> bytesOf(CoreData& record, FieldId field) {
    return {record.field(field).begin(), record.field(field).end()};
}

// Writes the list as it is, or through its setter and so through the rules.
void putExceptions(CoreData& record, const std::vector<PageException>& records) {
    const EncodedPageExceptions encoded = encodePageExceptions(records);
    std::copy(encoded.block.begin(), encoded.block.end(), record.field(FieldId::PageSpecificTrays).begin());
}
void setExceptions(CoreData& record, const std::vector<PageException>& records) {
    setSettingBytes(record, FieldId::PageSpecificTrays, encodePageExceptions(records).block);
}

PageException pageRecord(ExceptionKind kind, std::uint16_t first, std::uint16_t last, std::uint8_t finishing1 = 0) {
    PageException r;
    r.kind = static_cast<std::uint8_t>(kind);
    r.pageRanges = {{first, last}};
    r.finishing1 = finishing1;
    return r;
}

// Returns the installed options of a printer whose configuration is known:
// nothing installed but what the bytes given say.
InstalledOptions configured(std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    InstalledOptions installed{};
    installed[kConfigurationGivenByte] = 1;
    for (const auto& [at, value] : bytes) installed[at] = value;
    return installed;
}

std::string namesOf(const settings::FieldSet& set) {
    std::string out;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i)
        if (set.test(i)) out += (out.empty() ? "" : " ") + std::string(settings::fieldTable()[i].name);
    return out;
}

TEST(RuleContext, ChangedFollowsTheSnapshotAndNoRuleCorrectsASettingInProgress) {
    CoreData record = settings::defaultRecord();
    settings::FieldSet changed;
    RuleContext context(record, &changed, nullptr, nullptr);
    // A corner staple on the right moves the binding to the right.
    runSetter(context, F::Staple, option(F::Staple, "1StapleRight"));
    EXPECT_EQ(namesOf(changed), "Binding Staple");
    // Back to the snapshot's value: the staple leaves the set, the binding stays.
    runSetter(context, F::Staple, option(F::Staple, "None"));
    EXPECT_EQ(namesOf(changed), "Binding");
    EXPECT_TRUE(context.inProgress.entries().empty());

    // A rule never corrects a setting in progress.
    // Otherwise single-sided printing would rule the booklet out.
    CoreData guarded = recordWith("Layout=Booklet");
    RuleContext guardedContext(guarded, nullptr, nullptr, nullptr);
    guardedContext.inProgress.push(F::Layout);
    runSetter(guardedContext, F::Duplex, option(F::Duplex, "False"));
    EXPECT_EQ(show(guarded, {F::Layout, F::Duplex}), "Layout=Booklet Duplex=False");
}

// One constraint family a row: the record as written, one setting changed
// through its setter, and what the rules must leave. Most families are
// checked from both ends, and a value next to a boundary of its family
// shows that the boundary is where the rules put it.
TEST(RuleValues, EachFamilyCorrectsTheNamedSettings) {
    static const DeviceInfo current{.state = 2};
    // Printers with and without job storage.
    const PrinterConfig lacking{configured({})};
    const PrinterConfig storing{configured({{4, 0x02}})};
    const struct Row {
        std::string_view start, change, expected;
        RuleInputs inputs = {};
    } rows[] = {
        {"Layout=2in1 Fold=MultiLetterFold RingBinding=True FrontCoverTray=Tray2 BackCoverTray=MBT DivideOutput=True "
         "Tandem=True PosterPrint=Central", "Collate=Group",
         "Layout=None Fold=None RingBinding=False FrontCoverTray=None BackCoverTray=None DivideOutput=False "
         "Tandem=False PosterPrint=Central"},
        {"PosterPrint=Central NUpCount=16Reverse", "Collate=Group", "PosterPrint=Off NUpCount=1", {&current, nullptr}},
        {"Collate=Group", "Staple=1StapleLeft", "Collate=Sort Staple=1StapleLeft"},
        {"Layout=Booklet ChapterMode=True ImageShiftType=SeparateFrontBack CutMarkDuplex=OnlyFront "
         "OutputBin=RelayUnit3ASub", "Duplex=False",
         "Layout=None ChapterMode=False ImageShiftType=AllEqual CutMarkDuplex=BothSides OutputBin=Auto"},
        {"FaceUp=True OutputBin=RelayUnit3ASub", "Duplex=False", "OutputBin=RelayUnit3ASub"},
        {"Duplex=False MediaWeightAuto=Thick8", "Duplex=True", "Duplex=True MediaWeightAuto=NoSet"},
        {"Duplex=False MediaTypeAuto=Interleaved", "Duplex=True", "MediaTypeAuto=NoSet"},
        {"", "MediaWeightAuto=Thick8", "Duplex=False MediaWeightAuto=Thick8"},
        {"", "MediaWeightAuto=Thick7", "Duplex=True MediaWeightAuto=Thick7"},
        {"Fold=ZFold", "MediaWeightAuto=Thick4", "Fold=None"}, {"Fold=ZFold", "MediaWeightAuto=Thick3", "Fold=ZFold"},
        {"MediaWeightAuto=Thick4", "Fold=ZFold", "Fold=ZFold MediaWeightAuto=NoSet"},
        {"Staple=1Staple", "MediaTypeAuto=Interleaved", "Duplex=False Staple=None"},
        {"Duplex=False Fold=ZFold Staple=2StaplesWide Punch=2Holes ChapterMode=True RingBinding=True", "Layout=Booklet",
         "Layout=Booklet Duplex=True Fold=None Staple=None Punch=None ChapterMode=False RingBinding=False"},
        {"Fold=MultiCenterFold FoldDirection=Inside", "Layout=Booklet", "Fold=MultiCenterFold FoldDirection=Outside"},
        {"Layout=Booklet Gutter=50000 Creep=10000 CreepInputUnit=AllSheets BookletSplitting=True "
         "BookletBlankInsertion=True DatePrintOnOutside=True PageNumberingPrintOnOutside=True "
         "SetNumberingPrintOnOutside=True", "Layout=None",
         "Gutter=0 Creep=0 CreepInputUnit=PerSheet BookletSplitting=False BookletBlankInsertion=False "
         "DatePrintOnOutside=False PageNumberingPrintOnOutside=False SetNumberingPrintOnOutside=False"},
        {"Layout=Booklet RingBinding=True DatePrintOnOutside=True", "Layout=None", "DatePrintOnOutside=True"},
        {"ImposQuality=High Gutter=50000", "Layout=2in1", "Gutter=50000"}, {"Gutter=50000", "Layout=2in1", "Gutter=0"},
        {"ImposQuality=High Gutter=50000", "Layout=4Repeat", "Gutter=0"},
        {"Layout=2in1 ImposQuality=High Gutter=50000", "ImposQuality=Normal", "Gutter=0"},
        {"Collate=Group MixedSize=True PosterPrint=Central", "Layout=4in1Vertical",
         "Collate=Sort MixedSize=False PosterPrint=Off"},
        {"ImposQuality=High Zoom=150 FullBleed=True MixedSize=True", "NUpCount=2",
         "ImposQuality=Normal Zoom=100 FullBleed=False MixedSize=False"},
        {"NUpCount=4", "ImposQuality=High", "NUpCount=1"}, {"Layout=2in1", "NUpCount=2", "Layout=None"},
        {"Layout=AdhBinding", "NUpCount=9", "Layout=None"}, {"Layout=2Repeat", "NUpCount=2Reverse", "Layout=None"},
        {"Layout=Booklet", "NUpCount=2", "Layout=Booklet"},
        {"Layout=2RepeatReverseBottom", "NUpCount=4", "Layout=None"},
        {"Layout=2RepeatReverseTop", "NUpCount=8", "Layout=2RepeatReverseTop"},
        {"Layout=2RepeatReverseLeft", "NUpCount=8Reverse", "Layout=None"},
        {"Layout=2RepeatReverseRight", "NUpCount=9", "Layout=2RepeatReverseRight"},
        {"Layout=4Repeat", "NUpCount=16", "Layout=4Repeat"},
        {"Layout=4Repeat", "NUpCount=16", "Layout=None", {nullptr, &lacking}},
        {"Layout=8Repeat", "NUpCount=4", "Layout=8Repeat", {nullptr, &storing}},
        {"Layout=8Repeat", "NUpCount=2", "Layout=8Repeat", {nullptr, &lacking}},
        {"NUpCount=4 MixedSize=True", "BookletBlankInsertion=True", "NUpCount=1 MixedSize=False"},
        {"NUpCount=4 OutputMethod=SaveInUBAndP", "BookletSplitting=True", "NUpCount=1 OutputMethod=Print"},
        {"TargetPaperSize=A3 NUpCount=2 Layout=AdhBinding", "MixedSize=True",
         "TargetPaperSize=Auto NUpCount=1 Layout=None"},
        {"MixedSize=True", "TargetPaperSize=A3", "MixedSize=False"},
        {"TargetPaperSize=A3", "PageSize=ZXA4Tab1", "TargetPaperSize=Auto"},
        {"FullBleed=True NUpCount=2", "ScaleToFit=True", "FullBleed=False NUpCount=1"},
        {"ScaleToFit=True", "FullBleed=True", "ScaleToFit=False"}, {"NUpCount=2", "Zoom=150", "NUpCount=1"},
        {"ThirdPartyFinisherMiddleMode=True", "Rotate180=True", "ThirdPartyFinisherMiddleMode=False"},
        {"Staple=1StapleLeft", "Binding=Right", "Staple=1StapleRight"},
        {"Binding=Left", "Staple=1StapleRight", "Binding=Right"},
        {"RingBinding=True NTo1=True OutputBin=OpenStacker DivideOutput=True", "Staple=2StaplesWide",
         "RingBinding=False NTo1=False OutputBin=Auto DivideOutput=False"},
        {"MediaPrepunchedAuto=True FaceUp=True Fold=MultiCenterFold", "Punch=2Holes",
         "MediaPrepunchedAuto=False FaceUp=False Fold=None"},
        {"Collate=Group Staple=1Staple Punch=2Holes", "Fold=MultiCenterFold", "Collate=Sort Staple=None Punch=None"},
        {"Stitch=True OffsetCopies=True OutputBin=OpenStacker PosterPrint=Central", "Fold=ZFold",
         "Stitch=False OffsetCopies=False OutputBin=Auto PosterPrint=Off"},
        {"Layout=Booklet Fold=MultiCenterFold", "FoldDirection=Inside", "Fold=None"},
        {"Fold=ZFold OutputBin=StaplerMain", "Stitch=True", "Fold=None OutputBin=Auto"},
        {"Collate=Group Staple=1Staple MediaPrepunchedAuto=True OutputBin=StaplerMain", "RingBinding=True",
         "Collate=Sort Staple=None MediaPrepunchedAuto=False OutputBin=Auto"},
        {"RingBinding=True PageNumberingPrintOnOutside=True", "RingBinding=False", "PageNumberingPrintOnOutside=False"},
        {"Staple=1Staple PIBackCoverTray=#1", "OutputBin=OpenStacker", "Staple=None PIBackCoverTray=None"},
        {"Stitch=True OffsetCopies=True", "OutputBin=ThirdPartyFinisherMiddle", "Stitch=False OffsetCopies=False"},
        {"Duplex=False", "OutputBin=RelayUnit3ASub", "FaceUp=True"},
        {"Punch=2Holes Fold=ZFold Stitch=True", "FaceUp=True", "Punch=None Fold=None Stitch=False"},
        {"Staple=1Staple RingBinding=True", "NTo1=True", "Staple=None RingBinding=False"},
        {"Collate=Group PosterPrint=Central", "DivideOutput=True", "Collate=Sort PosterPrint=Off"},
        {"OffsetPages=True OutputBin=ThirdPartyFinisherMiddle", "OffsetCopies=True",
         "OffsetPages=False OutputBin=Auto"},
        {"OffsetCopies=True", "OffsetPages=True", "OffsetCopies=False"},
        {"Staple=1Staple Rotate180=True OutputBin=StaplerMain", "ThirdPartyFinisherMiddleMode=True",
         "Staple=None Rotate180=False OutputBin=Auto"},
        {"Punch=2Holes RingBinding=True", "MediaPrepunchedAuto=True", "Punch=None RingBinding=False"},
        {"Collate=Group PosterPrint=Central", "FrontCoverTray=Tray2", "Collate=Sort PosterPrint=Off"},
        {"PosterPrint=Central", "BackCoverTray=MBT", "PosterPrint=Off"},
        {"OutputBin=OpenStacker", "PIFrontCoverTray=PITray2", "OutputBin=Auto"},
        {"ThirdPartyFinisherMiddleMode=True PosterPrint=Central", "PIBackCoverTray=PITray1",
         "ThirdPartyFinisherMiddleMode=False PosterPrint=Off"},
        {"Duplex=False PosterPrint=Central", "ChapterMode=True", "Duplex=True PosterPrint=Off"},
        {"Layout=2in1 Fold=ZFold PIFrontCoverTray=PITray2", "PosterPrint=Central",
         "Layout=None Fold=None PIFrontCoverTray=None"},
        {"PosterPrint=Central HorizontalOverlap=100", "PosterPrint=Off", "HorizontalOverlap=0"},
        {"JobInfo=Top PrintPosition=Left", "ColorPatch=Top", "JobInfo=Off PrintPosition=Left"},
        {"JobInfo=Top PrintPosition=Left", "ColorPatch=Left", "JobInfo=Top PrintPosition=Middle"},
        {"ColorPatch=Bottom PrintPosition=Right", "JobInfo=Right", "ColorPatch=Bottom PrintPosition=Middle"},
        {"ColorPatch=Right JobInfo=Left", "PrintPosition=Right", "ColorPatch=Off JobInfo=Left"},
        {"CopyProtection=True SetNumberingMode=WatermarkForAllPages Smoothing=True", "Resolution=1200dpi",
         "CopyProtection=False SetNumberingMode=Off Smoothing=False"},
        {"Resolution=1200dpi ScreeningMode=Custom", "Smoothing=True", "Resolution=600dpi ScreeningMode=Fixed"},
        {"Thinning=True Enhancement=True", "ScreeningMode=Custom", "Thinning=False Enhancement=False"},
        {"ScreeningMode=Custom", "Thinning=True", "ScreeningMode=Fixed"},
        {"ScreeningMode=Custom", "Enhancement=True", "ScreeningMode=Fixed"},
        {"OutputMethod=Form", "Prepend=#4", "OutputMethod=Print"},
        {"OutputMethod=Form", "Append=#4", "OutputMethod=Print"},
        {"Duplex=False", "ImageShiftType=SeparateFrontBack", "Duplex=True"},
        {"DateStamp=#1 DatePrintOnOutside=True", "DateStamp=Off", "DatePrintOnOutside=False"},
        {"PageNumberingMode=#1 PageNumberingPrintOnOutside=True", "PageNumberingMode=Off",
         "PageNumberingPrintOnOutside=False"},
        {"DatePrintOnOutside=True", "DatePosition=TopCenter", "DatePrintOnOutside=False"},
        {"DatePosition=MiddleCenter", "DatePrintOnOutside=True", "DatePosition=MiddleLeft"},
        {"PageNumberingPrintOnOutside=True", "PageNumberingPosition=BottomCenter", "PageNumberingPrintOnOutside=False"},
        {"PageNumberingPosition=BottomCenter", "PageNumberingPrintOnOutside=True", "PageNumberingPosition=BottomLeft"},
        {"SetNumberingPrintOnOutside=True", "SetNumberingPosition=MiddleCenter", "SetNumberingPrintOnOutside=False"},
        {"SetNumberingPosition=TopCenter", "SetNumberingPrintOnOutside=True", "SetNumberingPosition=TopLeft"},
        {"CopyProtection=True Tandem=True Resolution=1200dpi", "SetNumberingMode=WatermarkForAllPages",
         "CopyProtection=False Tandem=False Resolution=600dpi"},
        {"SetNumberingMode=WatermarkForAllPages OutputMethod=Form", "CopyProtection=True",
         "SetNumberingMode=Off OutputMethod=Print"},
        {"SetNumberingMode=WatermarkForAllPages Collate=Group OutputMethod=Secure", "Tandem=True",
         "SetNumberingMode=Off Collate=Sort OutputMethod=Print"},
        {"OutputMethod=HoldPrint", "PrintMode=Spool", "OutputMethod=Print"},
        {"OutputMethod=HoldPrint", "PrintMode=Wait", "OutputMethod=HoldPrint"},
        {"PrintMode=ProofMode1st", "OutputMethod=SaveInUB", "PrintMode=Print"},
        {"PrintMode=Wait", "OutputMethod=SaveInUBAndP", "PrintMode=Wait"},
        {"Tandem=True", "OutputMethod=Secure", "Tandem=False"},
        {"Layout=Booklet BookletSplitting=True", "OutputMethod=SaveInUBAndP", "BookletSplitting=False"},
    };
    for (const Row& row : rows) {
        CoreData record = recordWith(row.start);
        set(record, row.change, row.inputs);
        EXPECT_EQ(shownLike(record, row.expected), row.expected) << row.start << " then " << row.change;
    }
}

TEST(ResolutionRules, FormsStoredAtAnotherResolutionAreDropped) {
    CoreData record = recordWith("Resolution=600dpi JobForm=#7 JobFormResolution=#0 Prepend=#8 PrependResolution=#1 "
                                 "Append=#9 AppendResolution=#2 PageSpecificFormsResolution=#0");
    setSettingBytes(record, F::PageSpecificForms, encodePageForms(std::vector<PageForm>{{12, 1, 3}}));
    set(record, "Resolution=1200dpi");
    EXPECT_EQ(bytesOf(record, F::JobForm), (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    // Stored at this resolution, or at a resolution not recorded: kept.
    EXPECT_EQ(show(record, {F::Prepend, F::Append}), "Prepend=8 Append=9");
    EXPECT_EQ(bytesOf(record, F::PageSpecificForms), std::vector<std::uint8_t>(kPageFormsBlockSize, 0));
}

TEST(OutputRules, StoringAsAFormDropsFormsAndCopyProtection) {
    constexpr std::string_view kStoredAsForm = "JobForm=4294967295 Prepend=4294967295 Append=4294967295 "
                                               "CopyProtection=False PrintMode=Print OutputMethod=Form";
    CoreData record = recordWith("JobForm=#3 Prepend=#4 Append=#5 CopyProtection=True PrintMode=Wait");
    const auto formBlock = encodePageForms(std::vector<PageForm>{{2, 1, 1}});
    std::copy(formBlock.begin(), formBlock.end(), record.field(F::PageSpecificForms).begin());
    set(record, "OutputMethod=Form");
    // No form is all ones.
    EXPECT_EQ(shownLike(record, kStoredAsForm), kStoredAsForm);
    EXPECT_TRUE(decodePageForms(record.field(F::PageSpecificForms)).empty());
    // A form chosen afterwards takes the job back to printing.
    setSetting(record, F::JobForm, 6);
    EXPECT_EQ(show(record, {F::JobForm, F::OutputMethod}), "JobForm=6 OutputMethod=Print");
    CoreData listed = recordWith("OutputMethod=Form");
    setSettingBytes(listed, F::PageSpecificForms, formBlock);
    EXPECT_EQ(show(listed, {F::OutputMethod}), "OutputMethod=Print");
}

TEST(PageExceptionRules, ANewListRulesOutWhatItsRecordsConflictWithAndRepeatingNeedsOne) {
    // The pages' own staple and their own punching.
    PageException finishing = pageRecord(ExceptionKind::PageFinishing, 2, 4, 3);
    finishing.finishing2 = 1;
    const char* const job = "ImposQuality=High Staple=2StaplesWide Punch=3Holes RingBinding=True OutputBin=OpenStacker "
                            "OffsetPages=True PosterPrint=Partial";
    CoreData record = recordWith(job);
    setExceptions(record, {finishing});
    EXPECT_EQ(shownLike(record, job), "ImposQuality=Normal Staple=None Punch=None RingBinding=False OutputBin=Auto "
                                      "OffsetPages=False PosterPrint=Off");
    EXPECT_EQ(pageExceptionsOf(record), std::vector<PageException>{finishing});
}

TEST(PageExceptionRules, TabRecordsTurnNUpOffAndNeedLongEdgeTabStock) {
    const PageException tab = pageRecord(ExceptionKind::TabWithText, 5, 5, 5);
    PageException second = pageRecord(ExceptionKind::Tab, 9, 9, 6);
    second.tabInfo.paper = 1;
    // A sub-entry is a tab record of its own.
    PageException withSubEntry = pageRecord(ExceptionKind::Tab, 14, 14);
    withSubEntry.subEntries = {{6, 0, 0, 1, {0, 1, 0, 0, "B"}}};
    // A tab that is not printed across the edge keeps the short-edge stock;
    // under a layout other than none, tab records are left alone.
    PageException plain = pageRecord(ExceptionKind::Tab, 12, 12, 4);
    plain.tabInfo.paper = 1;
    const struct {
        std::vector<PageException> list;
        std::string_view start, expected;
    } cases[] = {
        {{tab, second}, "NUpCount=2 Tab1PageSize=ZXA4STab2 Tab2PageSize=ZXLetterSTab",
         "NUpCount=1 Tab1PageSize=ZXA4Tab2 Tab2PageSize=ZXLetterTab"},
        {{plain}, "Tab2PageSize=ZXA4STab1", "Tab2PageSize=ZXA4STab1"},
        {{withSubEntry}, "Tab2PageSize=ZXA4STab1", "Tab2PageSize=ZXA4Tab1"},
        {{tab, second}, "Layout=2in1 Tab1PageSize=ZXA4STab1", "Tab1PageSize=ZXA4STab1"},
    };
    for (const auto& c : cases) {
        CoreData record = recordWith(c.start);
        setExceptions(record, c.list);
        EXPECT_EQ(shownLike(record, c.expected), c.expected) << c.start;
    }

    // Repeating needs exceptions to repeat.
    CoreData repeating = recordWith("PageSpecificRepeatMode=On");
    setExceptions(repeating, {pageRecord(ExceptionKind::PagePaper, 1, 1)});
    EXPECT_EQ(show(repeating, {F::PageSpecificRepeatMode}), "PageSpecificRepeatMode=On");
    setExceptions(repeating, {});
    EXPECT_EQ(show(repeating, {F::PageSpecificRepeatMode}), "PageSpecificRepeatMode=Off");
}

// Job-wide face-up delivery and booklets clear the records' own finishing
// and keep their trays; grouped and perfect-bound jobs leave the list alone.
TEST(PageExceptionPass, JobWideSettingsClearTheRecordsOwnFinishing) {
    const struct {
        ExceptionKind kind;
        std::string_view start, change;
        bool cleared;
    } cases[] = {{ExceptionKind::PageFinishing, "Collate=Sort", "FaceUp=True", true},
                 {ExceptionKind::BlankInsert, "Collate=Sort", "Layout=Booklet", true},
                 {ExceptionKind::PageFinishing, "Collate=Group", "FaceUp=True", false},
                 {ExceptionKind::PageFinishing, "Layout=AdhBinding", "FaceUp=True", false}};
    for (const auto& c : cases) {
        PageException own = pageRecord(c.kind, 3, 3);
        own.finishing1 = own.finishing3 = own.finishing4 = 1;
        own.tray = 2;
        CoreData record = recordWith(c.start);
        putExceptions(record, {own});
        set(record, c.change);
        const PageException r = pageExceptionsOf(record).at(0);
        EXPECT_EQ(std::tuple(r.finishing1, r.finishing3, r.finishing4, r.tray),
                  c.cleared ? std::tuple(0, 0, 0, 2) : std::tuple(1, 1, 1, 2)) << c.start << " then " << c.change;
    }
}

TEST(PageExceptionPass, SourcesFollowThePrinterAndTheDevice) {
    PageException blank = pageRecord(ExceptionKind::BlankInsert, 4, 4);
    PageException printed = pageRecord(ExceptionKind::PrintedInsert, 6, 6);
    PageException bypass = pageRecord(ExceptionKind::PagePaper, 8, 9, 3);
    bypass.tray = 6;
    // A post-inserter, and no bypass tray.
    const PrinterConfig config{configured({{2, 0x01}, {kPaperFeedUnitByte, 2}})};

    CoreData record = settings::defaultRecord();
    putExceptions(record, {blank, printed, bypass});
    // Any setting the list depends on runs the pass.
    set(record, "Duplex=True", {nullptr, &config});
    auto records = pageExceptionsOf(record);
    ASSERT_EQ(records.size(), 3u);
    // Blank sheets from the post-inserter, printed ones from the first tray,
    // the job's own source instead of a missing one, and no stapler here.
    EXPECT_EQ(std::tuple(records[0].tray, records[1].tray, records[2].tray, records[2].finishing1),
              std::tuple(kFirstInserterSource, 1, 0, 0));

    // The record-change handler drops a corrected record whose source holds no paper.
    const DeviceInfo device{1, {true, false, true, true, true, true, true, true, true}};
    CoreData reported = settings::defaultRecord();
    putExceptions(reported, {printed, blank});
    set(reported, "Duplex=True", {&device, &config});
    records = pageExceptionsOf(reported);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, static_cast<std::uint8_t>(ExceptionKind::BlankInsert));
}

TEST(PublicSettings, ValuesGoThroughTheRules) {
    CoreData record = recordWith("TargetPaperSize=A3 CopyProtection=True Resolution=600dpi");
    PublicSettings values;
    values.pageSize = option(F::PageSize, "ZXA4Tab1");
    values.orientation = option(F::Orientation, "Land");
    values.resolution = option(F::Resolution, "1200dpi");
    values.numCopies = 3;
    values.pageSizeName = std::string(200, 'n');
    values.pageSizeType = option(F::PageSizeType, "FromEngine");
    settings::FieldSet changed;
    EXPECT_TRUE(applyPublicSettings(record, values, InstalledOptions{}, &changed));
    const std::string_view expected = "PageSize=ZXA4Tab1 Orientation=Land Resolution=1200dpi TargetPaperSize=Auto "
                                      "CopyProtection=False PageSizeType=FromEngine";
    EXPECT_EQ(shownLike(record, expected), expected);
    EXPECT_EQ(bytesOf(record, F::NumCopies), (std::vector<std::uint8_t>{0x00, 0x03}));
    EXPECT_EQ(record.text(F::PageSizeName), std::string(127, 'n'));
    EXPECT_EQ(namesOf(changed),
              "PageSize PageSizeType PageSizeName Orientation TargetPaperSize NumCopies Resolution CopyProtection");
    // The same values again change nothing.
    EXPECT_FALSE(applyPublicSettings(record, values, InstalledOptions{}));
}

TEST(InstalledOptionsRules, MissingUnitsClearWhatNeedsThem) {
    const CoreData finished = recordWith("Layout=Booklet Staple=2StaplesWide OutputBin=StaplerMain Fold=MultiCenterFold "
                                         "Punch=2Holes InputSlot=MBT FrontCoverTray=Tray4 PIFrontCoverTray=PITray2 "
                                         "OutputMethod=Secure");
    // A punch unit only, punching three holes, and a post-inserter with one tray.
    const InstalledOptions installed = configured({{1, 0x02}, {3, 0x02}, {2, 0x01}, {kPaperFeedUnitByte, 2}});
    CoreData record = finished;
    EXPECT_TRUE(applyInstalledOptions(record, installed));
    // Without a duplex unit the booklet goes too, as the rules of Duplex say;
    // without job storage a secure job stays secure, never printed at once.
    const std::string_view expected = "Staple=None OutputBin=Auto Fold=None Punch=None InputSlot=Auto "
                                      "FrontCoverTray=None PIFrontCoverTray=None Duplex=False Layout=None "
                                      "OutputMethod=Secure";
    EXPECT_EQ(shownLike(record, expected), expected);
    for (const char* mode : {"PrintMode=ProofMode", "PrintMode=ProofMode1st", "PrintMode=Wait"}) {
        CoreData held = recordWith(mode);
        applyInstalledOptions(held, installed);
        EXPECT_EQ(show(held, {F::PrintMode}), mode);
    }
}

TEST(UserEdits, AnEditWrittenAsItStandsTakesNoRules) {
    CoreData raw = recordWith("Duplex=False");
    EXPECT_EQ(applyUserEdit(raw, "Layout=Booklet", EditMode::AsItStands), std::nullopt);
    EXPECT_EQ(show(raw, {F::Layout, F::Duplex}), "Layout=Booklet Duplex=False");
}

}  // namespace
}  // namespace tvzx::rules
