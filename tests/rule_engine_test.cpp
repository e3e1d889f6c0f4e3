// The rules engine: its run state, the corrections of every constraint
// family by value, the page exception rules and pass, and its entry points.
#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <tuple>
#include <string>
#include <utility>
#include <vector>

#include "rules/installed_options.h"
#include "rules/page_exception_rules.h"
#include "rules/page_exceptions.h"
#include "rules/page_forms.h"
#include "rules/rule_context.h"
#include "rules/rule_engine.h"
#include "rules/user_edits.h"
#include "rules/setters.h"

namespace tvzx::rules {
namespace {

using settings::CoreData;
using settings::FieldId;
using F = settings::FieldId;

constexpr std::uint32_t kNoFormNumber = 0xFFFFFFFFu;

std::uint32_t option(FieldId field, std::string_view name) {
    const auto index = settings::fieldDef(field).options->find(name);
    EXPECT_TRUE(index.has_value()) << settings::fieldDef(field).name << " has no option " << name;
    return index.value_or(0);
}

// Returns "Name=Value" for each field, separated by spaces: option names for
// option settings, stored numbers otherwise.
std::string show(const CoreData& record, std::initializer_list<FieldId> fields) {
    std::string out;
    for (FieldId field : fields) {
        const settings::FieldDef& def = settings::fieldDef(field);
        const std::uint32_t value = record.raw(field);
        if (!out.empty()) out += ' ';
        out += std::string(def.name) + "=";
        if (def.kind == settings::Kind::Option && def.options->count() > value)
            out += std::string(def.options->entries[value].name);
        else
            out += std::to_string(value);
    }
    return out;
}

// A setting and an option name, or a stored number for number settings.
struct Value {
    FieldId field;
    std::string_view name;
    std::uint32_t number = 0;
};

// Returns the default record with the values written as they are, without rules.
CoreData recordWith(std::initializer_list<Value> values) {
    CoreData record = settings::defaultRecord();
    for (const Value& v : values)
        record.setRaw(v.field, v.name.empty() ? v.number : option(v.field, v.name));
    return record;
}

void set(CoreData& record, FieldId field, std::string_view name, const RuleInputs& inputs = {}) {
    setSetting(record, field, option(field, name), nullptr, inputs);
}

void putExceptions(CoreData& record, const std::vector<PageException>& records) {
    const EncodedPageExceptions encoded = encodePageExceptions(records);
    std::copy(encoded.block.begin(), encoded.block.end(), record.field(FieldId::PageSpecificTrays).begin());
}

PageException pageRecord(ExceptionKind kind, std::uint16_t first, std::uint16_t last) {
    PageException r;
    r.kind = static_cast<std::uint8_t>(kind);
    r.pageRanges = {{first, last}};
    return r;
}

std::string namesOf(const settings::FieldSet& set) {
    std::string out;
    for (std::size_t i = 0; i < settings::kFieldCount; ++i)
        if (set.test(i)) out += (out.empty() ? "" : " ") + std::string(settings::fieldTable()[i].name);
    return out;
}

TEST(RuleContext, ChangedFollowsTheSnapshotWithinOneRun) {
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
}

TEST(RuleContext, ARuleNeverCorrectsASettingInProgress) {
    const CoreData booklet = recordWith({{F::Layout, "Booklet"}});
    CoreData guarded = booklet;
    {
        RuleContext context(guarded, nullptr, nullptr, nullptr);
        context.inProgress.push(F::Layout);
        runSetter(context, F::Duplex, option(F::Duplex, "False"));
    }
    EXPECT_EQ(show(guarded, {F::Layout, F::Duplex}), "Layout=Booklet Duplex=False");

    CoreData free = booklet;
    set(free, F::Duplex, "False");
    EXPECT_EQ(show(free, {F::Layout, F::Duplex}), "Layout=None Duplex=False");
}


// Returns show() of the settings the expected text names, in its order.
std::string shownLike(const CoreData& record, std::string_view expected) {
    std::string out;
    for (std::size_t at = 0; at < expected.size();) {
        const std::size_t equals = expected.find('=', at);
        const std::size_t space = std::min(expected.find(' ', at), expected.size());
        const auto field = settings::findField(expected.substr(at, equals - at));
        if (!field) return "no setting " + std::string(expected.substr(at, equals - at));
        out += (out.empty() ? "" : " ") + show(record, {*field});
        at = space + 1;
    }
    return out;
}

// One constraint family a row: the record as written, one setting changed
// through its setter, and what the rules must leave. Most families are
// checked from both ends, and a value next to a boundary of its family
// shows that the boundary is where the rules put it.
TEST(RuleValues, EachFamilyCorrectsTheNamedSettings) {
    static DeviceInfo current;
    current.state = 2;
    // Printers with and without job storage.
    InstalledOptions noStorage{};
    noStorage[kConfigurationGivenByte] = 1;
    InstalledOptions withStorage = noStorage;
    withStorage[4] = 0x02;
    const PrinterConfig lacking{noStorage};
    const PrinterConfig storing{withStorage};
    struct Row {
        std::vector<Value> start;
        Value change;
        std::string_view expected;
        RuleInputs inputs = {};
    };
    const Row rows[] = {
        {{{F::Layout, "2in1"}, {F::Fold, "MultiLetterFold"}, {F::RingBinding, "True"}, {F::FrontCoverTray, "Tray2"},
          {F::BackCoverTray, "MBT"}, {F::DivideOutput, "True"}, {F::Tandem, "True"}, {F::PosterPrint, "Central"}},
         {F::Collate, "Group"},
         "Layout=None Fold=None RingBinding=False FrontCoverTray=None BackCoverTray=None DivideOutput=False "
         "Tandem=False PosterPrint=Central"},
        {{{F::PosterPrint, "Central"}, {F::NUpCount, "16Reverse"}}, {F::Collate, "Group"}, "PosterPrint=Off NUpCount=1",
         {&current, nullptr}},
        {{{F::Collate, "Group"}}, {F::Staple, "1StapleLeft"}, "Collate=Sort Staple=1StapleLeft"},
        {{{F::Layout, "Booklet"}, {F::ChapterMode, "True"}, {F::ImageShiftType, "SeparateFrontBack"},
          {F::CutMarkDuplex, "OnlyFront"}, {F::OutputBin, "RelayUnit3ASub"}}, {F::Duplex, "False"},
         "Layout=None ChapterMode=False ImageShiftType=AllEqual CutMarkDuplex=BothSides OutputBin=Auto"},
        {{{F::FaceUp, "True"}, {F::OutputBin, "RelayUnit3ASub"}}, {F::Duplex, "False"}, "OutputBin=RelayUnit3ASub"},
        {{{F::Duplex, "False"}, {F::MediaWeightAuto, "Thick8"}}, {F::Duplex, "True"}, "Duplex=True MediaWeightAuto=NoSet"},
        {{{F::Duplex, "False"}, {F::MediaTypeAuto, "Interleaved"}}, {F::Duplex, "True"}, "MediaTypeAuto=NoSet"},
        {{}, {F::MediaWeightAuto, "Thick8"}, "Duplex=False MediaWeightAuto=Thick8"},
        {{}, {F::MediaWeightAuto, "Thick7"}, "Duplex=True MediaWeightAuto=Thick7"},
        {{{F::Fold, "ZFold"}}, {F::MediaWeightAuto, "Thick4"}, "Fold=None"},
        {{{F::Fold, "ZFold"}}, {F::MediaWeightAuto, "Thick3"}, "Fold=ZFold"},
        {{{F::MediaWeightAuto, "Thick4"}}, {F::Fold, "ZFold"}, "Fold=ZFold MediaWeightAuto=NoSet"},
        {{{F::Staple, "1Staple"}}, {F::MediaTypeAuto, "Interleaved"}, "Duplex=False Staple=None"},
        {{{F::Duplex, "False"}, {F::Fold, "ZFold"}, {F::Staple, "2StaplesWide"}, {F::Punch, "2Holes"},
          {F::ChapterMode, "True"}, {F::RingBinding, "True"}}, {F::Layout, "Booklet"},
         "Layout=Booklet Duplex=True Fold=None Staple=None Punch=None ChapterMode=False RingBinding=False"},
        {{{F::Fold, "MultiCenterFold"}, {F::FoldDirection, "Inside"}}, {F::Layout, "Booklet"},
         "Fold=MultiCenterFold FoldDirection=Outside"},
        {{{F::Layout, "Booklet"}, {F::Gutter, {}, 50000}, {F::Creep, {}, 10000}, {F::CreepInputUnit, "AllSheets"},
          {F::BookletSplitting, "True"}, {F::BookletBlankInsertion, "True"}, {F::DatePrintOnOutside, "True"},
          {F::PageNumberingPrintOnOutside, "True"}, {F::SetNumberingPrintOnOutside, "True"}}, {F::Layout, "None"},
         "Gutter=0 Creep=0 CreepInputUnit=PerSheet BookletSplitting=False BookletBlankInsertion=False "
         "DatePrintOnOutside=False PageNumberingPrintOnOutside=False SetNumberingPrintOnOutside=False"},
        {{{F::Layout, "Booklet"}, {F::RingBinding, "True"}, {F::DatePrintOnOutside, "True"}}, {F::Layout, "None"},
         "DatePrintOnOutside=True"},
        {{{F::ImposQuality, "High"}, {F::Gutter, {}, 50000}}, {F::Layout, "2in1"}, "Gutter=50000"},
        {{{F::Gutter, {}, 50000}}, {F::Layout, "2in1"}, "Gutter=0"},
        {{{F::ImposQuality, "High"}, {F::Gutter, {}, 50000}}, {F::Layout, "4Repeat"}, "Gutter=0"},
        {{{F::Layout, "2in1"}, {F::ImposQuality, "High"}, {F::Gutter, {}, 50000}}, {F::ImposQuality, "Normal"},
         "Gutter=0"},
        {{{F::Collate, "Group"}, {F::MixedSize, "True"}, {F::PosterPrint, "Central"}}, {F::Layout, "4in1Vertical"},
         "Collate=Sort MixedSize=False PosterPrint=Off"},
        {{{F::ImposQuality, "High"}, {F::Zoom, {}, 150}, {F::FullBleed, "True"}, {F::MixedSize, "True"}},
         {F::NUpCount, "2"}, "ImposQuality=Normal Zoom=100 FullBleed=False MixedSize=False"},
        {{{F::NUpCount, "4"}}, {F::ImposQuality, "High"}, "NUpCount=1"},
        {{{F::Layout, "2in1"}}, {F::NUpCount, "2"}, "Layout=None"},
        {{{F::Layout, "AdhBinding"}}, {F::NUpCount, "9"}, "Layout=None"},
        {{{F::Layout, "2Repeat"}}, {F::NUpCount, "2Reverse"}, "Layout=None"},
        {{{F::Layout, "Booklet"}}, {F::NUpCount, "2"}, "Layout=Booklet"},
        {{{F::Layout, "2RepeatReverseBottom"}}, {F::NUpCount, "4"}, "Layout=None"},
        {{{F::Layout, "2RepeatReverseTop"}}, {F::NUpCount, "8"}, "Layout=2RepeatReverseTop"},
        {{{F::Layout, "2RepeatReverseLeft"}}, {F::NUpCount, "8Reverse"}, "Layout=None"},
        {{{F::Layout, "2RepeatReverseRight"}}, {F::NUpCount, "9"}, "Layout=2RepeatReverseRight"},
        {{{F::Layout, "4Repeat"}}, {F::NUpCount, "16"}, "Layout=4Repeat"},
        {{{F::Layout, "4Repeat"}}, {F::NUpCount, "16"}, "Layout=None", {nullptr, &lacking}},
        {{{F::Layout, "8Repeat"}}, {F::NUpCount, "4"}, "Layout=8Repeat", {nullptr, &storing}},
        {{{F::Layout, "8Repeat"}}, {F::NUpCount, "2"}, "Layout=8Repeat", {nullptr, &lacking}},
        {{{F::NUpCount, "4"}, {F::MixedSize, "True"}}, {F::BookletBlankInsertion, "True"}, "NUpCount=1 MixedSize=False"},
        {{{F::NUpCount, "4"}, {F::OutputMethod, "SaveInUBAndP"}}, {F::BookletSplitting, "True"},
         "NUpCount=1 OutputMethod=Print"},
        {{{F::TargetPaperSize, "A3"}, {F::NUpCount, "2"}, {F::Layout, "AdhBinding"}}, {F::MixedSize, "True"},
         "TargetPaperSize=Auto NUpCount=1 Layout=None"},
        {{{F::MixedSize, "True"}}, {F::TargetPaperSize, "A3"}, "MixedSize=False"},
        {{{F::TargetPaperSize, "A3"}}, {F::PageSize, "ZXA4Tab1"}, "TargetPaperSize=Auto"},
        {{{F::FullBleed, "True"}, {F::NUpCount, "2"}}, {F::ScaleToFit, "True"}, "FullBleed=False NUpCount=1"},
        {{{F::ScaleToFit, "True"}}, {F::FullBleed, "True"}, "ScaleToFit=False"},
        {{{F::NUpCount, "2"}}, {F::Zoom, {}, 150}, "NUpCount=1"},
        {{{F::ThirdPartyFinisherMiddleMode, "True"}}, {F::Rotate180, "True"}, "ThirdPartyFinisherMiddleMode=False"},
        {{{F::Staple, "1StapleLeft"}}, {F::Binding, "Right"}, "Staple=1StapleRight"},
        {{{F::Binding, "Left"}}, {F::Staple, "1StapleRight"}, "Binding=Right"},
        {{{F::RingBinding, "True"}, {F::NTo1, "True"}, {F::OutputBin, "OpenStacker"}, {F::DivideOutput, "True"}},
         {F::Staple, "2StaplesWide"}, "RingBinding=False NTo1=False OutputBin=Auto DivideOutput=False"},
        {{{F::MediaPrepunchedAuto, "True"}, {F::FaceUp, "True"}, {F::Fold, "MultiCenterFold"}}, {F::Punch, "2Holes"},
         "MediaPrepunchedAuto=False FaceUp=False Fold=None"},
        {{{F::Collate, "Group"}, {F::Staple, "1Staple"}, {F::Punch, "2Holes"}}, {F::Fold, "MultiCenterFold"},
         "Collate=Sort Staple=None Punch=None"},
        {{{F::Stitch, "True"}, {F::OffsetCopies, "True"}, {F::OutputBin, "OpenStacker"}, {F::PosterPrint, "Central"}},
         {F::Fold, "ZFold"}, "Stitch=False OffsetCopies=False OutputBin=Auto PosterPrint=Off"},
        {{{F::Layout, "Booklet"}, {F::Fold, "MultiCenterFold"}}, {F::FoldDirection, "Inside"}, "Fold=None"},
        {{{F::Fold, "ZFold"}, {F::OutputBin, "StaplerMain"}}, {F::Stitch, "True"}, "Fold=None OutputBin=Auto"},
        {{{F::Collate, "Group"}, {F::Staple, "1Staple"}, {F::MediaPrepunchedAuto, "True"}, {F::OutputBin, "StaplerMain"}},
         {F::RingBinding, "True"}, "Collate=Sort Staple=None MediaPrepunchedAuto=False OutputBin=Auto"},
        {{{F::RingBinding, "True"}, {F::PageNumberingPrintOnOutside, "True"}}, {F::RingBinding, "False"},
         "PageNumberingPrintOnOutside=False"},
        {{{F::Staple, "1Staple"}, {F::PIBackCoverTray, {}, 1}}, {F::OutputBin, "OpenStacker"},
         "Staple=None PIBackCoverTray=None"},
        {{{F::Stitch, "True"}, {F::OffsetCopies, "True"}}, {F::OutputBin, "ThirdPartyFinisherMiddle"},
         "Stitch=False OffsetCopies=False"},
        {{{F::Duplex, "False"}}, {F::OutputBin, "RelayUnit3ASub"}, "FaceUp=True"},
        {{{F::Punch, "2Holes"}, {F::Fold, "ZFold"}, {F::Stitch, "True"}}, {F::FaceUp, "True"},
         "Punch=None Fold=None Stitch=False"},
        {{{F::Staple, "1Staple"}, {F::RingBinding, "True"}}, {F::NTo1, "True"}, "Staple=None RingBinding=False"},
        {{{F::Collate, "Group"}, {F::PosterPrint, "Central"}}, {F::DivideOutput, "True"}, "Collate=Sort PosterPrint=Off"},
        {{{F::OffsetPages, "True"}, {F::OutputBin, "ThirdPartyFinisherMiddle"}}, {F::OffsetCopies, "True"},
         "OffsetPages=False OutputBin=Auto"},
        {{{F::OffsetCopies, "True"}}, {F::OffsetPages, "True"}, "OffsetCopies=False"},
        {{{F::Staple, "1Staple"}, {F::Rotate180, "True"}, {F::OutputBin, "StaplerMain"}},
         {F::ThirdPartyFinisherMiddleMode, "True"}, "Staple=None Rotate180=False OutputBin=Auto"},
        {{{F::Punch, "2Holes"}, {F::RingBinding, "True"}}, {F::MediaPrepunchedAuto, "True"},
         "Punch=None RingBinding=False"},
        {{{F::Collate, "Group"}, {F::PosterPrint, "Central"}}, {F::FrontCoverTray, "Tray2"},
         "Collate=Sort PosterPrint=Off"},
        {{{F::PosterPrint, "Central"}}, {F::BackCoverTray, "MBT"}, "PosterPrint=Off"},
        {{{F::OutputBin, "OpenStacker"}}, {F::PIFrontCoverTray, "PITray2"}, "OutputBin=Auto"},
        {{{F::ThirdPartyFinisherMiddleMode, "True"}, {F::PosterPrint, "Central"}}, {F::PIBackCoverTray, "PITray1"},
         "ThirdPartyFinisherMiddleMode=False PosterPrint=Off"},
        {{{F::Duplex, "False"}, {F::PosterPrint, "Central"}}, {F::ChapterMode, "True"}, "Duplex=True PosterPrint=Off"},
        {{{F::Layout, "2in1"}, {F::Fold, "ZFold"}, {F::PIFrontCoverTray, "PITray2"}}, {F::PosterPrint, "Central"},
         "Layout=None Fold=None PIFrontCoverTray=None"},
        {{{F::PosterPrint, "Central"}, {F::HorizontalOverlap, {}, 100}}, {F::PosterPrint, "Off"}, "HorizontalOverlap=0"},
        {{{F::JobInfo, "Top"}, {F::PrintPosition, "Left"}}, {F::ColorPatch, "Top"}, "JobInfo=Off PrintPosition=Left"},
        {{{F::JobInfo, "Top"}, {F::PrintPosition, "Left"}}, {F::ColorPatch, "Left"}, "JobInfo=Top PrintPosition=Middle"},
        {{{F::ColorPatch, "Bottom"}, {F::PrintPosition, "Right"}}, {F::JobInfo, "Right"},
         "ColorPatch=Bottom PrintPosition=Middle"},
        {{{F::ColorPatch, "Right"}, {F::JobInfo, "Left"}}, {F::PrintPosition, "Right"}, "ColorPatch=Off JobInfo=Left"},
        {{{F::CopyProtection, "True"}, {F::SetNumberingMode, "WatermarkForAllPages"}, {F::Smoothing, "True"}},
         {F::Resolution, "1200dpi"}, "CopyProtection=False SetNumberingMode=Off Smoothing=False"},
        {{{F::Resolution, "1200dpi"}, {F::ScreeningMode, "Custom"}}, {F::Smoothing, "True"},
         "Resolution=600dpi ScreeningMode=Fixed"},
        {{{F::Thinning, "True"}, {F::Enhancement, "True"}}, {F::ScreeningMode, "Custom"},
         "Thinning=False Enhancement=False"},
        {{{F::ScreeningMode, "Custom"}}, {F::Thinning, "True"}, "ScreeningMode=Fixed"},
        {{{F::ScreeningMode, "Custom"}}, {F::Enhancement, "True"}, "ScreeningMode=Fixed"},
        {{{F::OutputMethod, "Form"}}, {F::Prepend, {}, 4}, "OutputMethod=Print"},
        {{{F::OutputMethod, "Form"}}, {F::Append, {}, 4}, "OutputMethod=Print"},
        {{{F::Duplex, "False"}}, {F::ImageShiftType, "SeparateFrontBack"}, "Duplex=True"},
        {{{F::DateStamp, {}, 1}, {F::DatePrintOnOutside, "True"}}, {F::DateStamp, "Off"}, "DatePrintOnOutside=False"},
        {{{F::PageNumberingMode, {}, 1}, {F::PageNumberingPrintOnOutside, "True"}}, {F::PageNumberingMode, "Off"},
         "PageNumberingPrintOnOutside=False"},
        {{{F::DatePrintOnOutside, "True"}}, {F::DatePosition, "TopCenter"}, "DatePrintOnOutside=False"},
        {{{F::DatePosition, "MiddleCenter"}}, {F::DatePrintOnOutside, "True"}, "DatePosition=MiddleLeft"},
        {{{F::PageNumberingPrintOnOutside, "True"}}, {F::PageNumberingPosition, "BottomCenter"},
         "PageNumberingPrintOnOutside=False"},
        {{{F::PageNumberingPosition, "BottomCenter"}}, {F::PageNumberingPrintOnOutside, "True"},
         "PageNumberingPosition=BottomLeft"},
        {{{F::SetNumberingPrintOnOutside, "True"}}, {F::SetNumberingPosition, "MiddleCenter"},
         "SetNumberingPrintOnOutside=False"},
        {{{F::SetNumberingPosition, "TopCenter"}}, {F::SetNumberingPrintOnOutside, "True"},
         "SetNumberingPosition=TopLeft"},
        {{{F::CopyProtection, "True"}, {F::Tandem, "True"}, {F::Resolution, "1200dpi"}},
         {F::SetNumberingMode, "WatermarkForAllPages"}, "CopyProtection=False Tandem=False Resolution=600dpi"},
        {{{F::SetNumberingMode, "WatermarkForAllPages"}, {F::OutputMethod, "Form"}}, {F::CopyProtection, "True"},
         "SetNumberingMode=Off OutputMethod=Print"},
        {{{F::SetNumberingMode, "WatermarkForAllPages"}, {F::Collate, "Group"}, {F::OutputMethod, "Secure"}},
         {F::Tandem, "True"}, "SetNumberingMode=Off Collate=Sort OutputMethod=Print"},
        {{{F::OutputMethod, "HoldPrint"}}, {F::PrintMode, "Spool"}, "OutputMethod=Print"},
        {{{F::OutputMethod, "HoldPrint"}}, {F::PrintMode, "Wait"}, "OutputMethod=HoldPrint"},
        {{{F::PrintMode, "ProofMode1st"}}, {F::OutputMethod, "SaveInUB"}, "PrintMode=Print"},
        {{{F::PrintMode, "Wait"}}, {F::OutputMethod, "SaveInUBAndP"}, "PrintMode=Wait"},
        {{{F::Tandem, "True"}}, {F::OutputMethod, "Secure"}, "Tandem=False"},
        {{{F::Layout, "Booklet"}, {F::BookletSplitting, "True"}}, {F::OutputMethod, "SaveInUBAndP"},
         "BookletSplitting=False"},
    };
    for (const Row& row : rows) {
        CoreData record = settings::defaultRecord();
        for (const Value& v : row.start) record.setRaw(v.field, v.name.empty() ? v.number : option(v.field, v.name));
        const Value& c = row.change;
        setSetting(record, c.field, c.name.empty() ? c.number : option(c.field, c.name), nullptr, row.inputs);
        EXPECT_EQ(shownLike(record, row.expected), row.expected)
            << settings::fieldDef(c.field).name << "=" << (c.name.empty() ? std::to_string(c.number) : std::string(c.name));
    }
}

TEST(ResolutionRules, FormsStoredAtAnotherResolutionAreDropped) {
    const std::vector<PageForm> forms = {{12, 1, 3}};
    const auto formBlock = encodePageForms(forms);
    CoreData record = recordWith({{F::Resolution, "600dpi"}, {F::JobForm, {}, 7}, {F::JobFormResolution, {}, 0},
                                  {F::Prepend, {}, 8}, {F::PrependResolution, {}, 1}, {F::Append, {}, 9},
                                  {F::AppendResolution, {}, 2}, {F::PageSpecificFormsResolution, {}, 0}});
    std::copy(formBlock.begin(), formBlock.end(), record.field(F::PageSpecificForms).begin());
    set(record, F::Resolution, "1200dpi");
    const auto jobForm = record.field(F::JobForm);
    EXPECT_EQ(std::vector<std::uint8_t>(jobForm.begin(), jobForm.end()),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    // Stored at this resolution, or at a resolution not recorded: kept.
    EXPECT_EQ(show(record, {F::Prepend, F::Append}), "Prepend=8 Append=9");
    const auto list = record.field(F::PageSpecificForms);
    EXPECT_EQ(std::vector<std::uint8_t>(list.begin(), list.end()), std::vector<std::uint8_t>(kPageFormsBlockSize, 0));
}

TEST(OutputRules, StoringAsAFormDropsFormsAndCopyProtection) {
    CoreData record = recordWith({{F::JobForm, {}, 3}, {F::Prepend, {}, 4}, {F::Append, {}, 5},
                                  {F::CopyProtection, "True"}, {F::PrintMode, "Wait"}});
    const auto formBlock = encodePageForms(std::vector<PageForm>{{2, 1, 1}});
    std::copy(formBlock.begin(), formBlock.end(), record.field(F::PageSpecificForms).begin());
    set(record, F::OutputMethod, "Form");
    EXPECT_EQ(record.raw(F::JobForm), kNoFormNumber);
    EXPECT_EQ(record.raw(F::Prepend), kNoFormNumber);
    EXPECT_EQ(record.raw(F::Append), kNoFormNumber);
    EXPECT_TRUE(decodePageForms(record.field(F::PageSpecificForms)).empty());
    EXPECT_EQ(show(record, {F::CopyProtection, F::PrintMode, F::OutputMethod}),
              "CopyProtection=False PrintMode=Print OutputMethod=Form");
    // A form chosen afterwards takes the job back to printing.
    setSetting(record, F::JobForm, 6);
    EXPECT_EQ(show(record, {F::JobForm, F::OutputMethod}), "JobForm=6 OutputMethod=Print");
    CoreData listed = recordWith({{F::OutputMethod, "Form"}});
    setSettingBytes(listed, F::PageSpecificForms, encodePageForms(std::vector<PageForm>{{2, 1, 1}}));
    EXPECT_EQ(show(listed, {F::OutputMethod}), "OutputMethod=Print");

}

TEST(PageExceptionRules, ANewListRulesOutWhatItsRecordsConflictWith) {
    PageException finishing = pageRecord(ExceptionKind::PageFinishing, 2, 4);
    finishing.finishing1 = 3;  // the pages' own staple
    finishing.finishing2 = 1;  // and their own punching
    CoreData record = recordWith({{F::ImposQuality, "High"}, {F::Staple, "2StaplesWide"}, {F::Punch, "3Holes"},
                                  {F::RingBinding, "True"}, {F::OutputBin, "OpenStacker"}, {F::OffsetPages, "True"},
                                  {F::PosterPrint, "Partial"}});
    std::vector<PageException> list = {finishing};
    const EncodedPageExceptions encoded = encodePageExceptions(list);
    setSettingBytes(record, F::PageSpecificTrays, encoded.block);
    EXPECT_EQ(show(record, {F::ImposQuality, F::Staple, F::Punch, F::RingBinding, F::OutputBin, F::OffsetPages,
                            F::PosterPrint}),
              "ImposQuality=Normal Staple=None Punch=None RingBinding=False OutputBin=Auto OffsetPages=False "
              "PosterPrint=Off");
    EXPECT_EQ(pageExceptionsOf(record), list);
}

TEST(PageExceptionRules, TabRecordsTurnNUpOffAndNeedLongEdgeTabStock) {
    PageException tab = pageRecord(ExceptionKind::TabWithText, 5, 5);
    tab.finishing1 = 5;
    tab.tabInfo.paper = 0;
    PageException second = pageRecord(ExceptionKind::Tab, 9, 9);
    second.finishing1 = 6;
    second.tabInfo.paper = 1;
    PageException plain = pageRecord(ExceptionKind::Tab, 12, 12);
    plain.finishing1 = 4;
    plain.tabInfo.paper = 1;
    const EncodedPageExceptions encoded = encodePageExceptions(std::vector<PageException>{tab, second});
    CoreData record =
        recordWith({{F::NUpCount, "2"}, {F::Tab1PageSize, "ZXA4STab2"}, {F::Tab2PageSize, "ZXLetterSTab"}});
    setSettingBytes(record, F::PageSpecificTrays, encoded.block);
    EXPECT_EQ(show(record, {F::NUpCount, F::Tab1PageSize, F::Tab2PageSize}),
              "NUpCount=1 Tab1PageSize=ZXA4Tab2 Tab2PageSize=ZXLetterTab");

    // A tab that is not printed across the edge keeps the short-edge stock.
    CoreData shortEdge = recordWith({{F::Tab2PageSize, "ZXA4STab1"}});
    setSettingBytes(shortEdge, F::PageSpecificTrays, encodePageExceptions(std::vector<PageException>{plain}).block);
    EXPECT_EQ(show(shortEdge, {F::Tab2PageSize}), "Tab2PageSize=ZXA4STab1");

    // A sub-entry is a tab record of its own.
    PageException withSubEntry = pageRecord(ExceptionKind::Tab, 14, 14);
    withSubEntry.subEntries = {{6, 0, 0, 1, {0, 1, 0, 0, "B"}}};
    CoreData nested = recordWith({{F::Tab2PageSize, "ZXA4STab1"}});
    setSettingBytes(nested, F::PageSpecificTrays, encodePageExceptions(std::vector<PageException>{withSubEntry}).block);
    EXPECT_EQ(show(nested, {F::Tab2PageSize}), "Tab2PageSize=ZXA4Tab1");

    // Under a layout other than none, tab records are left alone.
    CoreData imposed = recordWith({{F::Layout, "2in1"}, {F::Tab1PageSize, "ZXA4STab1"}});
    setSettingBytes(imposed, F::PageSpecificTrays, encoded.block);
    EXPECT_EQ(show(imposed, {F::Tab1PageSize}), "Tab1PageSize=ZXA4STab1");
}

TEST(PageExceptionRules, RepeatingNeedsExceptionsToRepeat) {
    CoreData record = recordWith({{F::PageSpecificRepeatMode, "On"}});
    setSettingBytes(record, F::PageSpecificTrays,
                    encodePageExceptions(std::vector<PageException>{pageRecord(ExceptionKind::PagePaper, 1, 1)}).block);
    EXPECT_EQ(show(record, {F::PageSpecificRepeatMode}), "PageSpecificRepeatMode=On");
    setSettingBytes(record, F::PageSpecificTrays, encodePageExceptions({}).block);
    EXPECT_EQ(show(record, {F::PageSpecificRepeatMode}), "PageSpecificRepeatMode=Off");
}

// Job-wide face-up delivery and booklets clear the records' own finishing
// and keep their trays; grouped and perfect-bound jobs leave the list alone.
TEST(PageExceptionPass, JobWideSettingsClearTheRecordsOwnFinishing) {
    struct Case {
        ExceptionKind kind;
        Value start, change;
        bool cleared;
    };
    const Case cases[] = {{ExceptionKind::PageFinishing, {F::Collate, "Sort"}, {F::FaceUp, "True"}, true},
                          {ExceptionKind::BlankInsert, {F::Collate, "Sort"}, {F::Layout, "Booklet"}, true},
                          {ExceptionKind::PageFinishing, {F::Collate, "Group"}, {F::FaceUp, "True"}, false},
                          {ExceptionKind::PageFinishing, {F::Layout, "AdhBinding"}, {F::FaceUp, "True"}, false}};
    for (const Case& c : cases) {
        PageException own = pageRecord(c.kind, 3, 3);
        own.finishing1 = own.finishing3 = own.finishing4 = 1;
        own.tray = 2;
        CoreData record = recordWith({c.start});
        putExceptions(record, {own});
        set(record, c.change.field, c.change.name);
        const PageException r = pageExceptionsOf(record).at(0);
        EXPECT_EQ(std::tuple(r.finishing1, r.finishing3, r.finishing4, r.tray),
                  c.cleared ? std::tuple(0, 0, 0, 2) : std::tuple(1, 1, 1, 2))
            << c.start.name << " then " << c.change.name;
    }
}

TEST(PageExceptionPass, SourcesFollowThePrinterAndTheDevice) {
    PageException blank = pageRecord(ExceptionKind::BlankInsert, 4, 4);
    PageException printed = pageRecord(ExceptionKind::PrintedInsert, 6, 6);
    PageException bypass = pageRecord(ExceptionKind::PagePaper, 8, 9);
    bypass.tray = 6;
    bypass.finishing1 = 3;

    InstalledOptions installed{};
    installed[kConfigurationGivenByte] = 1;
    installed[2] = 0x01;  // a post-inserter
    installed[kPaperFeedUnitByte] = 2;  // no bypass tray
    const PrinterConfig config{installed};

    CoreData record = settings::defaultRecord();
    putExceptions(record, {blank, printed, bypass});
    // Any setting the list depends on runs the pass.
    set(record, F::Duplex, "True", {nullptr, &config});
    auto records = pageExceptionsOf(record);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].tray, kFirstInserterSource);  // blank sheets from the post-inserter
    EXPECT_EQ(records[1].tray, 1);                     // printed sheets from the first tray
    EXPECT_EQ(records[2].tray, 0);                     // the job's own source instead of a missing one
    EXPECT_EQ(records[2].finishing1, 0);               // and no stapler on this printer

    // The record-change handler drops a corrected record whose source holds no paper.
    DeviceInfo device;
    device.state = 1;
    device.sourceLoaded = {true, false, true, true, true, true, true, true, true};
    CoreData reported = settings::defaultRecord();
    putExceptions(reported, {printed, blank});
    set(reported, F::Duplex, "True", {&device, &config});
    records = pageExceptionsOf(reported);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, static_cast<std::uint8_t>(ExceptionKind::BlankInsert));
}

TEST(PublicSettings, ValuesGoThroughTheRules) {
    CoreData record = recordWith({{F::TargetPaperSize, "A3"}, {F::CopyProtection, "True"}, {F::Resolution, "600dpi"}});
    PublicSettings values;
    values.pageSize = option(F::PageSize, "ZXA4Tab1");
    values.orientation = option(F::Orientation, "Land");
    values.resolution = option(F::Resolution, "1200dpi");
    values.numCopies = 3;
    values.pageSizeName = std::string(200, 'n');
    values.pageSizeType = option(F::PageSizeType, "FromEngine");
    settings::FieldSet changed;
    EXPECT_TRUE(applyPublicSettings(record, values, InstalledOptions{}, &changed));
    EXPECT_EQ(show(record, {F::PageSize, F::Orientation, F::Resolution, F::TargetPaperSize, F::CopyProtection,
                            F::PageSizeType}),
              "PageSize=ZXA4Tab1 Orientation=Land Resolution=1200dpi TargetPaperSize=Auto CopyProtection=False "
              "PageSizeType=FromEngine");
    const auto copies = record.field(F::NumCopies);
    EXPECT_EQ(std::vector<std::uint8_t>(copies.begin(), copies.end()), (std::vector<std::uint8_t>{0x00, 0x03}));
    EXPECT_EQ(record.text(F::PageSizeName), std::string(127, 'n'));
    EXPECT_EQ(namesOf(changed),
              "PageSize PageSizeType PageSizeName Orientation TargetPaperSize NumCopies Resolution CopyProtection");
    // The same values again change nothing.
    EXPECT_FALSE(applyPublicSettings(record, values, InstalledOptions{}));
}

TEST(PublicSettings, TraysThePaperFeedUnitLacksAreDropped) {
    using Case = std::tuple<const char*, int, const char*>;
    for (const auto& [slot, code, expected] : {Case{"MBT", 3, "Tray1"}, Case{"MBT", 4, "MBT"}, Case{"Tray5", 1, "Tray5"}}) {
        CoreData record = recordWith({{F::InputSlot, "Tray1"}});
        PublicSettings values;
        values.inputSlot = option(F::InputSlot, slot);
        InstalledOptions installed{};
        installed[kPaperFeedUnitByte] = static_cast<std::uint8_t>(code);
        applyPublicSettings(record, values, installed);
        EXPECT_EQ(show(record, {F::InputSlot}), std::string("InputSlot=") + expected) << slot << " " << code;
    }
}

TEST(InstalledOptionsRules, MissingUnitsClearWhatNeedsThem) {
    const CoreData finished = recordWith({{F::Layout, "Booklet"}, {F::Staple, "2StaplesWide"},
                                          {F::OutputBin, "StaplerMain"}, {F::Fold, "MultiCenterFold"},
                                          {F::Punch, "2Holes"}, {F::InputSlot, "MBT"}, {F::FrontCoverTray, "Tray4"},
                                          {F::PIFrontCoverTray, "PITray2"}, {F::OutputMethod, "Secure"}});
    // Nothing known about the printer: nothing is ruled out.
    CoreData unknown = finished;
    EXPECT_FALSE(applyInstalledOptions(unknown, InstalledOptions{}));
    EXPECT_EQ(unknown, finished);

    InstalledOptions installed{};
    installed[kConfigurationGivenByte] = 1;
    installed[1] = 0x02;  // a punch unit only
    installed[2] = 0x01;  // a post-inserter with one tray
    installed[3] = 0x02;  // punching three holes
    installed[kPaperFeedUnitByte] = 2;
    CoreData record = finished;
    settings::FieldSet changed;
    EXPECT_TRUE(applyInstalledOptions(record, installed, &changed));
    // Without a duplex unit the booklet goes too, as the rules of Duplex say;
    // without job storage a secure job stays secure, never printed at once.
    EXPECT_EQ(show(record, {F::Staple, F::OutputBin, F::Fold, F::Punch, F::InputSlot, F::FrontCoverTray,
                            F::PIFrontCoverTray, F::Duplex, F::Layout, F::OutputMethod}),
              "Staple=None OutputBin=Auto Fold=None Punch=None InputSlot=Auto FrontCoverTray=None "
              "PIFrontCoverTray=None "
              "Duplex=False Layout=None OutputMethod=Secure");
    for (const char* mode : {"ProofMode", "ProofMode1st", "Wait"}) {
        CoreData held = recordWith({{F::PrintMode, mode}});
        applyInstalledOptions(held, installed);
        EXPECT_EQ(show(held, {F::PrintMode}), std::string("PrintMode=") + mode);
    }

    // A fully equipped printer keeps everything.
    InstalledOptions everything{};
    everything.fill(0xFF);
    CoreData kept = finished;
    EXPECT_FALSE(applyInstalledOptions(kept, everything));
}

TEST(Setters, TextsAreCutToTheirFieldAndPlainSettingsTakeNoRules) {
    CoreData record = settings::defaultRecord();
    const std::string longName(300, 'c');
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(longName.data());
    setSettingBytes(record, F::MainPaperProfileCustomMediaColorName, std::span(bytes, longName.size()));
    EXPECT_EQ(record.text(F::MainPaperProfileCustomMediaColorName), std::string(127, 'c'));
    EXPECT_EQ(record.field(F::MainPaperProfileCustomMediaColorName).back(), 0);

    // A plain setting and a number: written big-endian, nothing else follows.
    CoreData numbered = settings::defaultRecord();
    EXPECT_TRUE(setSetting(numbered, F::Gutter, static_cast<std::uint32_t>(-2500000)));
    EXPECT_EQ(numbered.number(F::Gutter), -2500000);
    EXPECT_FALSE(setSetting(numbered, F::Gutter, static_cast<std::uint32_t>(-2500000)));
}

TEST(UserEdits, EditsGoThroughTheSettersUnlessWrittenAsTheyStand) {
    CoreData record = recordWith({{F::Duplex, "False"}});
    CoreData raw = record;
    UserEdits edits(record);
    for (const char* edit : {"Staple=2StaplesWide", "Layout=Booklet"}) EXPECT_EQ(edits.apply(edit), std::nullopt);
    EXPECT_EQ(show(record, {F::Layout, F::Duplex, F::Staple}), "Layout=Booklet Duplex=True Staple=None");
    // Staple was named, so only what the rules changed besides the named settings is listed.
    const std::string changes = formatRuleChanges(edits.ruleChanges());
    EXPECT_EQ(changes.find("Staple="), std::string::npos);
    EXPECT_NE(changes.find("Duplex=False -> True\n"), std::string::npos);

    EXPECT_EQ(applyUserEdit(raw, "Layout=Booklet", EditMode::AsItStands), std::nullopt);
    EXPECT_EQ(show(raw, {F::Layout, F::Duplex}), "Layout=Booklet Duplex=False");

    // Refused edits name what is wrong and leave the record alone.
    const CoreData before = raw;
    EXPECT_NE(applyUserEdit(raw, "Layout=Sideways"), std::nullopt);
    EXPECT_NE(applyUserEdit(raw, "Nothing=1"), std::nullopt);
    EXPECT_EQ(raw.bytes, before.bytes);
}

}  // namespace
}  // namespace tvzx::rules
