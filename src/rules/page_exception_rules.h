// How the page exception list and the job-wide settings keep each other
// consistent: the rules of a new list (which job-wide settings its records
// rule out) and the page exception pass (which record values the job-wide
// settings rule out).
//
// What the rules read in a record:
//   tray        the paper source: 0 the job's own, 1 to 5 Tray1 to Tray5,
//               6 the bypass tray, 7 and 8 the post-inserter trays
//   finishing1  the pages' own staple, a Staple option index (7: the
//               printer's choice); in a tab record, 5 and 6 mark a tab that
//               is printed across the tab's long edge
//   finishing2  the pages' own punching, a Punch option index (7: the
//               printer's choice)
//   finishing3  1 when the pages are folded on their own
//   finishing4  the pages' delivery: 0 as the job, 1 face down, 2 face up
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "rules/page_exceptions.h"
#include "rules/rule_context.h"
#include "rules/value_sets.h"

namespace tvzx::rules {

inline constexpr std::uint8_t kFirstInserterSource = 7;
inline constexpr std::uint8_t kSecondInserterSource = 8;

// What a record must ask for before a record constraint applies.
enum class RecordTest : std::uint8_t {
    Any,
    Staples,              // the pages are stapled on their own
    Punches,              // the pages are punched on their own
    Folds,                // the pages are folded on their own
    Finishes,             // any of the three
    FaceDown,             // the pages are delivered face down
    FromFirstInserter,    // the sheets come from the first post-inserter tray
    FromSecondInserter,   // the sheets come from the second post-inserter tray
    TakesPrintedCoverPage,// the record's paper takes page 1 while the front cover is printed
    LongEdgeTabOnTab1,    // a tab across the long edge on the first tab paper
    LongEdgeTabOnTab2,    // a tab across the long edge on the second tab paper
};

// Returns the bit of a record kind in a kind mask.
constexpr std::uint8_t kindBit(ExceptionKind kind) {
    return static_cast<std::uint8_t>(1u << static_cast<unsigned>(kind));
}

// While a record of one of `kinds` passes `test`, the job-wide `target`
// holding one of `forbidden` becomes `to`.
struct RecordConstraint {
    std::uint8_t kinds;
    RecordTest test;
    settings::FieldId target;
    ValueSet forbidden;
    Replacement to;
};

// Returns the constraints a new page exception list puts on the job-wide
// settings, in the order they are applied to each record.
std::span<const RecordConstraint> recordConstraintTable();

// Returns a line for every condition of the page exception rules that does
// not suit its setting.
std::vector<std::string> pageExceptionConditionFaults();

// Why the pass changed a record; the record-change handler is told.
enum class RecordChange : std::uint8_t {
    LayoutFinishing = 2,  // the job's layout cannot honour the record's own finishing
    MissingUnit = 3,      // the printer lacks the unit for the record's finishing
    SourceAssigned = 5,   // an inserted sheet without a source was given one
    SourceMissing = 6,    // the record's source is not installed
    JobFinishing = 9,     // the job-wide finishing excludes the record's own
};

// Returns whether both the pass and the rules of a new list leave the record
// alone under the job-wide settings.
bool recordSkipped(const PageException& record, const settings::CoreData& settings);

// Returns whether the record-change handler keeps a corrected record: with
// current device information a record whose source holds no paper goes.
bool acceptRecordChange(const PageException& record, RecordChange reason, const RuleContext& context);

// Applies the rules of the page exception list now in the record (the first
// rules of the PageSpecificTrays setter).
void applyRecordConstraints(RuleContext& context);

// Returns whether the page exception list depends on the setting, so that
// the setting's setter ends with the page exception pass.
bool pageExceptionsDependOn(settings::FieldId field);

// Brings the records of the page exception list in line with the job-wide
// settings, and sets the corrected list through its setter.
void runPageExceptionPass(RuleContext& context);

}  // namespace tvzx::rules
