#include "rules/page_exception_rules.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "rules/compiled_rules.h"
#include "rules/may_correct.h"
#include "rules/setters.h"

namespace tvzx::rules {
namespace {

using F = settings::FieldId;
using K = ExceptionKind;

constexpr std::uint8_t kAllKinds = 0xFF;
constexpr std::uint8_t kTabKinds = kindBit(K::Tab) | kindBit(K::TabWithText) | kindBit(K::TabAfterDocument);
constexpr std::uint8_t kPageKinds = kindBit(K::PagePaper) | kindBit(K::PageFinishing) | kindBit(K::SheetFinishing);
constexpr std::uint8_t kFinishingKinds = kindBit(K::PageFinishing) | kindBit(K::SheetFinishing);

constexpr std::string_view kPlainTrays = "OpenStacker ThirdPartyFinisherMiddle RelayUnit3ASub";
constexpr std::string_view kMultiSheetFolds = "MultiLetterFold MultiCenterFold";

constexpr RecordConstraint kRecordConstraints[] = {
    // Pages with finishing of their own are imposed at normal quality.
    {kFinishingKinds, RecordTest::Any, F::ImposQuality, oneOf("High"), to("Normal")},
    // Tab sheets are printed one page to a sheet.
    {kTabKinds, RecordTest::Any, F::NUpCount, allBut("1"), to("1")},
    // A tab printed across the long edge needs the long-edge tab stock of the same paper.
    {kTabKinds, RecordTest::LongEdgeTabOnTab1, F::Tab1PageSize, oneOf("ZXA4STab1"), to("ZXA4Tab1")},
    {kTabKinds, RecordTest::LongEdgeTabOnTab1, F::Tab1PageSize, oneOf("ZXA4STab2"), to("ZXA4Tab2")},
    {kTabKinds, RecordTest::LongEdgeTabOnTab1, F::Tab1PageSize, oneOf("ZXLetterSTab"), to("ZXLetterTab")},
    {kTabKinds, RecordTest::LongEdgeTabOnTab2, F::Tab2PageSize, oneOf("ZXA4STab1"), to("ZXA4Tab1")},
    {kTabKinds, RecordTest::LongEdgeTabOnTab2, F::Tab2PageSize, oneOf("ZXA4STab2"), to("ZXA4Tab2")},
    {kTabKinds, RecordTest::LongEdgeTabOnTab2, F::Tab2PageSize, oneOf("ZXLetterSTab"), to("ZXLetterTab")},
    // A poster has no pages to make exceptions for.
    {kAllKinds, RecordTest::Any, F::PosterPrint, allBut("Off"), to("Off")},
    // Pages stapled on their own replace the job's staples; rings, multi-sheet folds and shifted sets exclude them.
    {kPageKinds, RecordTest::Staples, F::Staple, allBut("None"), to("None")},
    {kPageKinds, RecordTest::Staples, F::RingBinding, oneOf("True"), to("False")},
    {kPageKinds, RecordTest::Staples, F::Fold, oneOf(kMultiSheetFolds), to("None")},
    {kPageKinds, RecordTest::Staples, F::OffsetCopies, oneOf("True"), to("False")},
    // Pages punched on their own replace the job's punching; the ring binder would punch them again.
    {kPageKinds, RecordTest::Punches, F::Punch, allBut("None"), to("None")},
    {kPageKinds, RecordTest::Punches, F::RingBinding, oneOf("True"), to("False")},
    // Pages folded on their own do not go into a multi-sheet fold.
    {kPageKinds, RecordTest::Folds, F::Fold, oneOf(kMultiSheetFolds), to("None")},
    // Finished pages pass through the finisher face down and leave through its trays.
    {kPageKinds, RecordTest::Finishes, F::FaceUp, oneOf("True"), to("False")},
    {kPageKinds, RecordTest::Finishes, F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")},
    {kPageKinds, RecordTest::Finishes, F::OutputBin, oneOf(kPlainTrays), to("Auto")},
    {kPageKinds, RecordTest::FaceDown, F::FaceUp, oneOf("True"), to("False")},
    // Offsets by pages cannot follow sets of pages finished on their own.
    {kFinishingKinds, RecordTest::Any, F::OffsetPages, oneOf("True"), to("False")},
    // A post-inserter tray loaded with the record's sheets cannot supply a cover as well, and its
    // sheets join the set inside the finisher.
    {kAllKinds, RecordTest::FromFirstInserter, F::PIFrontCoverTray, oneOf("PITray1"), to("None")},
    {kAllKinds, RecordTest::FromFirstInserter, F::PIBackCoverTray, oneOf("PITray1"), to("None")},
    {kAllKinds, RecordTest::FromSecondInserter, F::PIFrontCoverTray, oneOf("PITray2"), to("None")},
    {kAllKinds, RecordTest::FromSecondInserter, F::PIBackCoverTray, oneOf("PITray2"), to("None")},
    {kAllKinds, RecordTest::FromFirstInserter, F::OutputBin, oneOf(kPlainTrays), to("Auto")},
    {kAllKinds, RecordTest::FromSecondInserter, F::OutputBin, oneOf(kPlainTrays), to("Auto")},
    // A printed front cover takes page 1, which another paper cannot take as well.
    {kindBit(K::PagePaper), RecordTest::TakesPrintedCoverPage, F::FrontCoverTray, allBut("None"), to("None")},
    // A blank sheet cannot go between the pages of one imposed sheet.
    {kindBit(K::BlankInsert), RecordTest::Any, F::Layout, oneOf("2in1 4in1Horizontal 4in1Vertical"), to("None")},
};

// The rules of a new list correct only what the list's setter may correct.
constexpr bool recordConstraintsFollowTheRuleTable() {
    for (const RecordConstraint& c : kRecordConstraints)
        if (!mayCorrect(F::PageSpecificTrays, c.target)) return false;
    return true;
}
static_assert(recordConstraintsFollowTheRuleTable(), "a record constraint corrects what the list may not correct");

// A record of one of `kinds` is left alone while `field` holds one of `values`.
struct SkipCondition {
    std::uint8_t kinds;
    F field;
    ValueSet values;
};

constexpr SkipCondition kRecordSkips[] = {
    // Tab sheets are only handled for sorted, unimposed, one-up jobs without stream punching,
    // multi-sheet folds, slitting or creasing.
    {kTabKinds, F::Collate, allBut("Sort")},
    {kTabKinds, F::Layout, allBut("None")},
    {kTabKinds, F::NUpCount, allBut("1")},
    {kTabKinds, F::Punch, oneOf("GBCStreampunch GBCDoubleStreampunch")},
    {kTabKinds, F::Fold, oneOf(kMultiSheetFolds)},
    {kTabKinds, F::Slit, otherThan(0)},
    {kTabKinds, F::Crease, otherThan(0)},
    // In booklets and two- or four-up layouts only blank inserted sheets keep a meaning of their own.
    {static_cast<std::uint8_t>(~kindBit(K::BlankInsert)), F::Layout, oneOf("Booklet 2in1 4in1Horizontal 4in1Vertical")},
};

// The pass does not run while the job is grouped or perfect-bound.
struct PassSkip {
    F field;
    ValueSet values;
};

constexpr PassSkip kPassSkips[] = {
    {F::Collate, allBut("Sort")},
    {F::Layout, oneOf("AdhBinding")},
};

// The settings whose setters end with the page exception pass.
constexpr F kPassTriggers[] = {
    F::Layout,        F::Duplex,          F::ImposQuality,        F::NUpCount,
    F::PosterPrint,   F::TargetPaperSize, F::Staple,              F::Punch,
    F::Fold,          F::RingBinding,     F::OutputBin,           F::FaceUp,
    F::ThirdPartyFinisherMiddleMode,      F::MediaTypeAuto,       F::MediaWeightAuto,
    F::MediaPrepunchedAuto,               F::MainPaperProfileIndex,
    F::PIFrontCoverTray,                  F::FrontCoverTray,      F::PIBackCoverTray,
    F::PageSpecificRepeatMode,            F::Tab1PageSize,        F::Tab2PageSize,
};

constexpr bool passTriggersOwnSetters() {
    for (F field : kPassTriggers)
        if (!ownsSetter(field)) return false;
    return true;
}
static_assert(passTriggersOwnSetters());

// Record finishing that a job-wide setting excludes, by finishing value.
enum FinishingBit : std::uint8_t {
    kStapleBit = 1,    // finishing1
    kPunchBit = 2,     // finishing2
    kFoldBit = 4,      // finishing3
    kFaceDownBit = 8,  // finishing4 asking face-down delivery
    kAnyDeliveryBit = 16, // finishing4 asking any delivery of its own
};

// While `field` holds one of `values`, the record finishing of `clears` goes.
struct JobExclusion {
    F field;
    ValueSet values;
    std::uint8_t clears;
};

constexpr JobExclusion kJobExclusions[] = {
    // Ring binding, the third-party finisher and face-up delivery leave no room for page finishing.
    {F::RingBinding, oneOf("True"), kStapleBit | kPunchBit | kFoldBit},
    {F::ThirdPartyFinisherMiddleMode, oneOf("True"), kStapleBit | kPunchBit | kFoldBit},
    {F::FaceUp, oneOf("True"), kStapleBit | kPunchBit | kFoldBit | kFaceDownBit},
    {F::OutputBin, oneOf(kPlainTrays), kStapleBit | kPunchBit | kFoldBit},
    // A multi-sheet fold takes the whole set; job-wide staples and punching replace the pages' own.
    {F::Fold, oneOf(kMultiSheetFolds), kStapleBit | kFoldBit},
    {F::Staple, allBut("None"), kStapleBit},
    {F::Punch, allBut("None"), kPunchBit},
};

// Record finishing that needs a unit of the printer.
struct UnitNeed {
    Capability unit;
    std::uint8_t finishing;
};

constexpr UnitNeed kUnitNeeds[] = {
    {Capability::Stapler, kStapleBit},
    {Capability::PunchUnit, kPunchBit},
    {Capability::Folder, kFoldBit},
};

constexpr std::uint8_t kFaceDown = 1;
constexpr std::uint8_t kNoSource = 0;
constexpr std::uint8_t kFirstTray = 1;
constexpr std::uint8_t kLongEdgeTabFirst = 5;
constexpr std::uint8_t kLongEdgeTabLast = 6;
constexpr std::uint8_t kFirstTabPaper = 0;
constexpr std::uint8_t kSecondTabPaper = 1;
constexpr std::uint16_t kFirstPage = 1;

// The units that sources 3 to 8 of a record need; sources 0 to 2 are always there.
constexpr std::uint8_t kFirstFittedSource = 3;
constexpr Capability kSourceUnits[] = {
    Capability::Tray3,      Capability::Tray4,        Capability::Tray5,
    Capability::BypassTray, Capability::PostInserter, Capability::PostInserterTray2,
};
static_assert(kFirstFittedSource + std::size(kSourceUnits) == kRecordSources);

struct CompiledRecordConstraint {
    const RecordConstraint* source;
    CompiledSet forbidden;
    std::uint32_t replacement;
};

struct CompiledCondition {
    std::uint8_t kinds;
    F field;
    CompiledSet values;
    std::uint8_t clears;
};

// The record tables with their option names looked up, built once.
struct PageExceptionTables {
    std::vector<CompiledRecordConstraint> constraints;
    std::vector<CompiledCondition> recordSkips;
    std::vector<CompiledCondition> passSkips;
    std::vector<CompiledCondition> jobExclusions;
    CompiledCondition imposedLayout{};
    CompiledCondition printedFrontCover{};
    std::vector<std::string> faults;
};

// Layouts whose sheets take no finishing of their own.
constexpr PassSkip kImposedLayout = {F::Layout, oneOf("Booklet 2in1 4in1Horizontal 4in1Vertical")};
// A front cover that carries page 1.
constexpr PassSkip kPrintedFrontCover = {F::FrontCoverPrinted, oneOf("True")};

PageExceptionTables buildTables() {
    PageExceptionTables tables;
    std::string fault;
    // A condition that does not suit its setting never holds, and is reported.
    const auto condition = [&tables, &fault](std::uint8_t kinds, F field, const ValueSet& values, std::uint8_t clears) {
        if (const auto compiled = compileSet(field, values, fault))
            return CompiledCondition{kinds, field, *compiled, clears};
        tables.faults.push_back("page exception condition: " + fault);
        return CompiledCondition{0, field, CompiledSet{Match::Names, 0, 0, 0}, 0};
    };
    for (const RecordConstraint& c : kRecordConstraints) {
        const auto forbidden = compileSet(c.target, c.forbidden, fault);
        const auto replacement = compileReplacement(c.target, c.to, fault);
        if (forbidden && replacement) tables.constraints.push_back({&c, *forbidden, *replacement});
    }
    for (const SkipCondition& skip : kRecordSkips)
        tables.recordSkips.push_back(condition(skip.kinds, skip.field, skip.values, 0));
    for (const PassSkip& skip : kPassSkips)
        tables.passSkips.push_back(condition(kAllKinds, skip.field, skip.values, 0));
    for (const JobExclusion& exclusion : kJobExclusions)
        tables.jobExclusions.push_back(condition(kAllKinds, exclusion.field, exclusion.values, exclusion.clears));
    tables.imposedLayout = condition(kAllKinds, kImposedLayout.field, kImposedLayout.values, 0);
    tables.printedFrontCover = condition(kAllKinds, kPrintedFrontCover.field, kPrintedFrontCover.values, 0);
    return tables;
}

const PageExceptionTables& tables() {
    static const PageExceptionTables built = buildTables();
    return built;
}

bool holds(const settings::CoreData& settings, const CompiledCondition& condition) {
    return matches(condition.values, settings, condition.field, {});
}

bool kindIn(std::uint8_t kinds, std::uint8_t kind) { return kind < 8 && ((kinds >> kind) & 1) != 0; }

bool isLongEdgeTab(const PageException& record, std::uint8_t paper) {
    return record.finishing1 >= kLongEdgeTabFirst && record.finishing1 <= kLongEdgeTabLast &&
           record.tabInfo.paper == paper;
}

// Returns whether the record asks for what the test names.
bool passes(RecordTest test, const PageException& record, const settings::CoreData& settings) {
    switch (test) {
        case RecordTest::Any: return true;
        case RecordTest::Staples: return record.finishing1 != 0;
        case RecordTest::Punches: return record.finishing2 != 0;
        case RecordTest::Folds: return record.finishing3 != 0;
        case RecordTest::Finishes: return record.finishing1 != 0 || record.finishing2 != 0 || record.finishing3 != 0;
        case RecordTest::FaceDown: return record.finishing4 == kFaceDown;
        case RecordTest::FromFirstInserter: return record.tray == kFirstInserterSource;
        case RecordTest::FromSecondInserter: return record.tray == kSecondInserterSource;
        case RecordTest::TakesPrintedCoverPage:
            return holds(settings, tables().printedFrontCover) && record.coversPage(kFirstPage);
        case RecordTest::LongEdgeTabOnTab1: return isLongEdgeTab(record, kFirstTabPaper);
        case RecordTest::LongEdgeTabOnTab2: return isLongEdgeTab(record, kSecondTabPaper);
    }
    return false;
}

// Returns whether a skip condition leaves the record alone, apart from the
// conditions on `exempt`.
bool skippedApartFrom(const PageException& record, const settings::CoreData& settings, std::optional<F> exempt) {
    for (const CompiledCondition& skip : tables().recordSkips)
        if (skip.field != exempt && kindIn(skip.kinds, record.kind) && holds(settings, skip)) return true;
    return false;
}

// Applies the record constraints of one record. A constraint is not held back
// by a skip condition on the very setting it corrects: a tab record turns
// N-up off although tab records are otherwise left alone under N-up.
void constrainBy(RuleContext& context, const PageException& record) {
    for (const CompiledRecordConstraint& compiled : tables().constraints) {
        const RecordConstraint& c = *compiled.source;
        if (!kindIn(c.kinds, record.kind) || skippedApartFrom(record, *context.settings, c.target)) continue;
        if (!passes(c.test, record, *context.settings)) continue;
        if (context.inProgress.contains(c.target)) continue;
        if (!matches(compiled.forbidden, *context.settings, c.target, {})) continue;
        correct(context, c.target, c.to.put, compiled.replacement);
    }
}

// Returns a sub-entry as the tab record it stands for.
PageException subEntryRecord(const SubEntry& entry) {
    PageException record;
    record.kind = static_cast<std::uint8_t>(K::Tab);
    record.finishing1 = entry.value1;
    record.finishing2 = entry.value2;
    record.finishing3 = entry.flag;
    record.tabInfo = entry.tab;
    return record;
}

// Each step corrects the record in place and returns whether it changed it.
bool clearFinishing(PageException& record, std::uint8_t clears) {
    bool changed = false;
    const auto clear = [&changed](std::uint8_t& value, bool when) {
        if (when && value != 0) {
            value = 0;
            changed = true;
        }
    };
    clear(record.finishing1, (clears & kStapleBit) != 0);
    clear(record.finishing2, (clears & kPunchBit) != 0);
    clear(record.finishing3, (clears & kFoldBit) != 0);
    clear(record.finishing4,
          (clears & kAnyDeliveryBit) != 0 || ((clears & kFaceDownBit) != 0 && record.finishing4 == kFaceDown));
    return changed;
}

// A sheet inside an imposed layout has no finishing of its own.
bool fitLayout(PageException& record, const RuleContext& context) {
    if (!holds(*context.settings, tables().imposedLayout)) return false;
    return clearFinishing(record, kStapleBit | kPunchBit | kFoldBit | kAnyDeliveryBit);
}

// Job-wide finishing that excludes the record's own.
bool fitJobFinishing(PageException& record, const RuleContext& context) {
    if (isTabKind(record.kind)) return false;
    std::uint8_t clears = 0;
    for (const CompiledCondition& exclusion : tables().jobExclusions)
        if (holds(*context.settings, exclusion)) clears |= exclusion.clears;
    return clearFinishing(record, clears);
}

// Finishing that needs a unit the printer lacks.
bool fitUnits(PageException& record, const RuleContext& context) {
    if (context.printerConfig == nullptr || isTabKind(record.kind)) return false;
    std::uint8_t clears = 0;
    for (const UnitNeed& need : kUnitNeeds)
        if (!hasCapability(context.printerConfig->installed, need.unit)) clears |= need.finishing;
    return clearFinishing(record, clears);
}

// A source the printer does not have falls back to the job's own.
bool fitSource(PageException& record, const RuleContext& context) {
    if (context.printerConfig == nullptr || record.tray < kFirstFittedSource || record.tray >= kRecordSources)
        return false;
    if (hasCapability(context.printerConfig->installed, kSourceUnits[record.tray - kFirstFittedSource])) return false;
    record.tray = kNoSource;
    return true;
}

// An inserted sheet needs a source: blank sheets come from the post-inserter
// when the printer has one, everything else from the first tray.
bool assignSource(PageException& record, const RuleContext& context) {
    const bool insert = record.kind == static_cast<std::uint8_t>(K::BlankInsert) ||
                        record.kind == static_cast<std::uint8_t>(K::PrintedInsert);
    if (context.printerConfig == nullptr || !insert || record.tray != kNoSource) return false;
    const InstalledOptions& installed = context.printerConfig->installed;
    const bool inserter = record.kind == static_cast<std::uint8_t>(K::BlankInsert) && configurationGiven(installed) &&
                          hasCapability(installed, Capability::PostInserter);
    record.tray = inserter ? kFirstInserterSource : kFirstTray;
    return true;
}

struct CorrectionStep {
    RecordChange reason;
    bool (*apply)(PageException&, const RuleContext&);
};

constexpr CorrectionStep kCorrectionSteps[] = {
    {RecordChange::LayoutFinishing, fitLayout},
    {RecordChange::JobFinishing, fitJobFinishing},
    {RecordChange::MissingUnit, fitUnits},
    {RecordChange::SourceMissing, fitSource},
    {RecordChange::SourceAssigned, assignSource},
};

}  // namespace

std::span<const RecordConstraint> recordConstraintTable() { return kRecordConstraints; }

bool recordSkipped(const PageException& record, const settings::CoreData& settings) {
    return skippedApartFrom(record, settings, std::nullopt);
}

bool acceptRecordChange(const PageException& record, RecordChange, const RuleContext& context) {
    if (!deviceInfoUsable(context.deviceInfo) || record.tray == kNoSource || record.tray >= kRecordSources) return true;
    return context.deviceInfo->sourceLoaded[record.tray];
}

void applyRecordConstraints(RuleContext& context) {
    const std::vector<PageException> records = pageExceptionsOf(*context.settings);
    for (const PageException& record : records) {
        constrainBy(context, record);
        for (const SubEntry& entry : record.subEntries) constrainBy(context, subEntryRecord(entry));
    }
}

std::vector<std::string> pageExceptionConditionFaults() { return tables().faults; }

bool pageExceptionsDependOn(settings::FieldId field) {
    return std::find(std::begin(kPassTriggers), std::end(kPassTriggers), field) != std::end(kPassTriggers);
}

void runPageExceptionPass(RuleContext& context) {
    const settings::CoreData& settings = *context.settings;
    if (context.inProgress.contains(F::PageSpecificTrays)) return;
    for (const CompiledCondition& skip : tables().passSkips)
        if (holds(settings, skip)) return;

    std::vector<PageException> records = pageExceptionsOf(settings);
    std::vector<PageException> kept;
    kept.reserve(records.size());
    bool listChanged = false;
    for (PageException& record : records) {
        if (recordSkipped(record, settings)) {
            kept.push_back(std::move(record));
            continue;
        }
        // Each correction goes to the record-change handler, which may drop the record.
        bool accepted = true;
        for (const CorrectionStep& step : kCorrectionSteps) {
            if (!step.apply(record, context)) continue;
            listChanged = true;
            if (!acceptRecordChange(record, step.reason, context)) {
                accepted = false;
                break;
            }
        }
        if (accepted) kept.push_back(std::move(record));
    }
    if (!listChanged) return;
    const EncodedPageExceptions encoded = encodePageExceptions(kept);
    runSetter(context, F::PageSpecificTrays, encoded.block);
}

}  // namespace tvzx::rules
