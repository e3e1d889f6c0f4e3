#include "rules/constraint_table.h"

#include "rules/may_correct.h"

namespace tvzx::rules {
namespace {

using F = settings::FieldId;

// Trays outside the finisher: they take neither finished sets nor inserted sheets.
constexpr std::string_view kPlainTrays = "OpenStacker ThirdPartyFinisherMiddle RelayUnit3ASub";
constexpr std::string_view kMultiSheetFolds = "MultiLetterFold MultiCenterFold";
constexpr std::string_view kFoldableWeightsExceeded = "Thick4 Thick5 Thick6 Thick7 Thick8 Thick9";
constexpr std::string_view kUnduplexableWeights = "Thick8 Thick9";
constexpr std::string_view kTwoAndFourUp = "2in1 4in1Horizontal 4in1Vertical";
constexpr std::string_view kBoundBooks = "Booklet AdhBinding";
constexpr std::string_view kImposedLayouts = "AdhBinding Booklet 2in1 4in1Horizontal 4in1Vertical";
constexpr std::string_view kReverseRepeats =
    "2RepeatReverseLeft 2RepeatReverseRight 2RepeatReverseTop 2RepeatReverseBottom";

constexpr Constraint kConstraints[] = {
    // Grouped output (every copy of a page together) has no sets to impose, finish or cover.
    rule(F::Collate, oneOf("Group"), F::Layout, oneOf(kTwoAndFourUp), to("None")),
    rule(F::Collate, oneOf("Group"), F::NUpCount, range(1, 12), to("1")),
    rule(F::Collate, oneOf("Group"), F::Staple,
         oneOf("1Staple 1StapleLeft 1StapleRight 2StaplesNarrow 2StaplesNormal 2StaplesWide"), to("None")),
    rule(F::Collate, oneOf("Group"), F::Fold, oneOf(kMultiSheetFolds), to("None")),
    rule(F::Collate, oneOf("Group"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::Collate, oneOf("Group"), F::DivideOutput, oneOf("True"), to("False")),
    rule(F::Collate, oneOf("Group"), F::FrontCoverTray, allBut("None"), to("None")),
    rule(F::Collate, oneOf("Group"), F::BackCoverTray, allBut("None"), to("None")),
    rule(F::Collate, oneOf("Group"), F::Tandem, oneOf("True"), to("False")),
    // A device that reports its trays cannot tile grouped posters.
    rule(F::Collate, oneOf("Group"), F::PosterPrint, range(1, 4), to("Off")).onlyWith(Needs::DeviceInfo),

    // One-sided output cannot be a booklet or a perfect-bound book.
    rule(F::Duplex, oneOf("False"), F::Layout, oneOf(kBoundBooks), to("None")),
    // Separate back-side shifts need back sides.
    rule(F::Duplex, oneOf("False"), F::ImageShiftType, oneOf("SeparateFrontBack"), to("AllEqual")),
    // Chapters start on a front side, which only two-sided output has.
    rule(F::Duplex, oneOf("False"), F::ChapterMode, oneOf("True"), to("False")),
    // Front-only cut marks mean nothing without back sides.
    rule(F::Duplex, oneOf("False"), F::CutMarkDuplex, oneOf("OnlyFront"), to("BothSides")),
    // The relay unit's sub tray takes one-sided sheets face up only.
    rule(F::Duplex, oneOf("False"), F::OutputBin, oneOf("RelayUnit3ASub"), to("Auto")).with(F::FaceUp, oneOf("False")),
    // Interleaving sheets and the heaviest stocks cannot pass the duplex path.
    rule(F::Duplex, oneOf("True"), F::MediaTypeAuto, oneOf("Interleaved"), to("NoSet")),
    rule(F::Duplex, oneOf("True"), F::MediaWeightAuto, oneOf(kUnduplexableWeights), to("NoSet")),

    // Without imposition there is no gutter, creep, booklet splitting or blank insertion.
    rule(F::Layout, oneOf("None"), F::Gutter, otherThan(0), toNumber(0)),
    rule(F::Layout, oneOf("None"), F::Creep, otherThan(0), toNumber(0)),
    rule(F::Layout, oneOf("None"), F::CreepInputUnit, oneOf("AllSheets"), to("PerSheet")),
    rule(F::Layout, oneOf("None"), F::BookletSplitting, oneOf("True"), to("False")),
    rule(F::Layout, oneOf("None"), F::BookletBlankInsertion, oneOf("True"), to("False")),
    // Only bound output (imposed or ring-bound) has an outside edge for stamps.
    rule(F::Layout, oneOf("None"), F::DatePrintOnOutside, oneOf("True"), to("False"))
        .with(F::RingBinding, oneOf("False")),
    rule(F::Layout, oneOf("None"), F::PageNumberingPrintOnOutside, oneOf("True"), to("False"))
        .with(F::RingBinding, oneOf("False")),
    rule(F::Layout, oneOf("None"), F::SetNumberingPrintOnOutside, oneOf("True"), to("False"))
        .with(F::RingBinding, oneOf("False")),
    // Plain 2-in-1, the 4-up layouts and the repeat layouts leave no gutter.
    rule(F::Layout, oneOf("2in1"), F::Gutter, otherThan(0), toNumber(0)).with(F::ImposQuality, oneOf("Normal")),
    rule(F::Layout, oneOf("4in1Horizontal 4in1Vertical 4Repeat 8Repeat"), F::Gutter, otherThan(0), toNumber(0)),
    // A booklet is printed on both sides and folded once in the middle, printed side out, without staples or holes.
    rule(F::Layout, oneOf("Booklet"), F::Duplex, oneOf("False"), to("True")),
    rule(F::Layout, oneOf("Booklet"), F::Fold, oneOf("ZFold MultiLetterFold"), to("None")),
    rule(F::Layout, oneOf("Booklet"), F::FoldDirection, oneOf("Inside"), to("Outside"))
        .with(F::Fold, oneOf("MultiCenterFold")),
    rule(F::Layout, oneOf("Booklet"), F::Staple, allBut("None"), to("None")),
    rule(F::Layout, oneOf("Booklet"), F::Punch, allBut("None"), to("None")),
    // A perfect-bound book is printed on both sides and takes neither staples nor holes.
    rule(F::Layout, oneOf("AdhBinding"), F::Duplex, oneOf("False"), to("True")),
    rule(F::Layout, oneOf("AdhBinding"), F::Staple, allBut("None"), to("None")),
    rule(F::Layout, oneOf("AdhBinding"), F::Punch, allBut("None"), to("None")),
    // A bound book is not ring-bound as well.
    rule(F::Layout, oneOf(kBoundBooks), F::RingBinding, oneOf("True"), to("False")),
    // Booklet imposition reorders the pages, so no chapter can start on a sheet of its own.
    rule(F::Layout, oneOf("Booklet"), F::ChapterMode, oneOf("True"), to("False")),
    // These layouts place the pages themselves and take no N-up on top (the pairs of N-up's own constraints).
    rule(F::Layout, oneOf("AdhBinding 2in1 4in1Horizontal 4in1Vertical 2Repeat"), F::NUpCount, allBut("1"), to("1")),
    rule(F::Layout, oneOf(kReverseRepeats), F::NUpCount, oneOf("2 2Reverse 4 4Reverse 6 6Reverse"), to("1")),
    rule(F::Layout, oneOf("2RepeatReverseLeft 2RepeatReverseRight"), F::NUpCount, oneOf("8 8Reverse"), to("1")),
    // Grouped output cannot be laid out two or four pages to a sheet.
    rule(F::Layout, oneOf(kTwoAndFourUp), F::Collate, oneOf("Group"), to("Sort")),
    // Imposition needs one page size throughout.
    rule(F::Layout, oneOf(kImposedLayouts), F::MixedSize, oneOf("True"), to("False")),
    // Imposed sheets are not split into poster tiles.
    rule(F::Layout, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),

    // N-up places several pages on a sheet itself; these imposed layouts cannot take it on top.
    rule(F::NUpCount, allBut("1"), F::Layout, oneOf("AdhBinding 2in1 4in1Horizontal 4in1Vertical 2Repeat"), to("None")),
    rule(F::NUpCount, oneOf("2 2Reverse 4 4Reverse 6 6Reverse"), F::Layout, oneOf(kReverseRepeats), to("None")),
    rule(F::NUpCount, oneOf("8 8Reverse"), F::Layout, oneOf("2RepeatReverseLeft 2RepeatReverseRight"), to("None")),
    // Repeating a sheet of four or more pages is built from stored pages, which needs job storage.
    rule(F::NUpCount, oneOf("4 4Reverse 6 6Reverse 8 8Reverse 9 9Reverse 16 16Reverse"), F::Layout,
         oneOf("4Repeat 8Repeat"), to("None"))
        .onlyWith(Needs::NoJobStorage),
    // Grouped output cannot be N-up.
    rule(F::NUpCount, allBut("1"), F::Collate, oneOf("Group"), to("Sort")),
    // N-up scales the pages itself: no high-quality imposition, booklet extras, mixed sizes, bleed, fitting or zoom.
    rule(F::NUpCount, allBut("1"), F::ImposQuality, oneOf("High"), to("Normal")),
    rule(F::NUpCount, allBut("1"), F::BookletBlankInsertion, oneOf("True"), to("False")),
    rule(F::NUpCount, allBut("1"), F::BookletSplitting, oneOf("True"), to("False")),
    rule(F::NUpCount, allBut("1"), F::MixedSize, oneOf("True"), to("False")),
    rule(F::NUpCount, allBut("1"), F::FullBleed, oneOf("True"), to("False")),
    rule(F::NUpCount, allBut("1"), F::ScaleToFit, oneOf("True"), to("False")),
    rule(F::NUpCount, allBut("1"), F::Zoom, otherThan(100), toNumber(100)),

    // High-quality imposition is for imposed layouts, not N-up.
    rule(F::ImposQuality, oneOf("High"), F::NUpCount, allBut("1"), to("1")),
    // Plain 2-in-1 leaves no gutter.
    rule(F::ImposQuality, oneOf("Normal"), F::Gutter, otherThan(0), toNumber(0)).with(F::Layout, oneOf("2in1")),

    // Blank insertion and splitting belong to booklets of one page size, one page to a booklet page.
    rule(F::BookletBlankInsertion, oneOf("True"), F::NUpCount, allBut("1"), to("1")),
    rule(F::BookletBlankInsertion, oneOf("True"), F::MixedSize, oneOf("True"), to("False")),
    rule(F::BookletSplitting, oneOf("True"), F::NUpCount, allBut("1"), to("1")),
    rule(F::BookletSplitting, oneOf("True"), F::MixedSize, oneOf("True"), to("False")),
    // A job saved and printed at once is kept whole, not split into booklets.
    rule(F::BookletSplitting, oneOf("True"), F::OutputMethod, oneOf("SaveInUBAndP"), to("Print")),

    // Pages of mixed sizes can be neither imposed nor N-up, nor fitted onto one target paper.
    rule(F::MixedSize, oneOf("True"), F::Layout, oneOf(kImposedLayouts), to("None")),
    rule(F::MixedSize, oneOf("True"), F::NUpCount, allBut("1"), to("1")),
    rule(F::MixedSize, oneOf("True"), F::BookletBlankInsertion, oneOf("True"), to("False")),
    rule(F::MixedSize, oneOf("True"), F::BookletSplitting, oneOf("True"), to("False")),
    rule(F::MixedSize, oneOf("True"), F::TargetPaperSize, allBut("Auto"), to("Auto")),
    // One target paper for every page ends mixed sizes.
    rule(F::TargetPaperSize, allBut("Auto"), F::MixedSize, oneOf("True"), to("False")),

    // A poster spreads one page over several sheets: no imposition, chapters, folds, covers or divided sets.
    rule(F::PosterPrint, allBut("Off"), F::Layout, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::ChapterMode, oneOf("True"), to("False")),
    rule(F::PosterPrint, allBut("Off"), F::Fold, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::FrontCoverTray, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::BackCoverTray, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::PIFrontCoverTray, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::PIBackCoverTray, allBut("None"), to("None")),
    rule(F::PosterPrint, allBut("Off"), F::DivideOutput, oneOf("True"), to("False")),
    // Tile overlaps belong to posters.
    rule(F::PosterPrint, oneOf("Off"), F::HorizontalOverlap, otherThan(0), toNumber(0)),
    rule(F::PosterPrint, oneOf("Off"), F::VerticalOverlap, otherThan(0), toNumber(0)),

    // Tab stock prints at its own size; reducing it onto another paper would cut the tab off.
    rule(F::PageSize, oneOf("ZXA4Tab1 ZXA4Tab2 ZXLetterTab ZXA4STab1 ZXA4STab2 ZXLetterSTab"), F::TargetPaperSize,
         allBut("Auto"), to("Auto")),

    // Fitting to the paper keeps the printer's margins, which full bleed gives up; neither applies to N-up.
    rule(F::ScaleToFit, oneOf("True"), F::NUpCount, allBut("1"), to("1")),
    rule(F::ScaleToFit, oneOf("True"), F::FullBleed, oneOf("True"), to("False")),
    rule(F::Zoom, otherThan(100), F::NUpCount, allBut("1"), to("1")),
    rule(F::FullBleed, oneOf("True"), F::NUpCount, allBut("1"), to("1")),
    rule(F::FullBleed, oneOf("True"), F::ScaleToFit, oneOf("True"), to("False")),

    // The third-party finisher takes sheets the right way up.
    rule(F::Rotate180, oneOf("True"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),

    // A single corner staple sits on the binding edge.
    rule(F::Binding, oneOf("Right"), F::Staple, oneOf("1StapleLeft"), to("1StapleRight")),
    rule(F::Binding, oneOf("Left"), F::Staple, oneOf("1StapleRight"), to("1StapleLeft")),
    rule(F::Staple, oneOf("1StapleLeft"), F::Binding, oneOf("Right"), to("Left")),
    rule(F::Staple, oneOf("1StapleRight"), F::Binding, oneOf("Left"), to("Right")),
    // Staples bind each set: grouped output, bound books, multi-sheet folds, rings and divided sets exclude them.
    rule(F::Staple, allBut("None"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::Staple, allBut("None"), F::Layout, oneOf(kBoundBooks), to("None")),
    rule(F::Staple, allBut("None"), F::Fold, oneOf(kMultiSheetFolds), to("None")),
    rule(F::Staple, allBut("None"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::Staple, allBut("None"), F::DivideOutput, oneOf("True"), to("False")),
    // The stapler takes the sheets face down in page order and delivers to its own trays.
    rule(F::Staple, allBut("None"), F::NTo1, oneOf("True"), to("False")),
    rule(F::Staple, allBut("None"), F::OutputBin, oneOf(kPlainTrays), to("Auto")),
    rule(F::Staple, allBut("None"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),
    // Interleaving sheets cannot be stapled.
    rule(F::Staple, allBut("None"), F::MediaTypeAuto, oneOf("Interleaved"), to("NoSet")),

    // Holes go through single sheets: no bound books, no centre folds, no prepunched paper, no rings (the
    // ring binder punches its own), and the sheets pass the finisher face down in page order.
    rule(F::Punch, allBut("None"), F::Layout, oneOf(kBoundBooks), to("None")),
    rule(F::Punch, allBut("None"), F::Fold, oneOf("MultiCenterFold"), to("None")),
    rule(F::Punch, allBut("None"), F::MediaPrepunchedAuto, oneOf("True"), to("False")),
    rule(F::Punch, allBut("None"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::Punch, allBut("None"), F::FaceUp, oneOf("True"), to("False")),
    rule(F::Punch, allBut("None"), F::NTo1, oneOf("True"), to("False")),
    rule(F::Punch, allBut("None"), F::OutputBin, oneOf(kPlainTrays), to("Auto")),
    rule(F::Punch, allBut("None"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),

    // Multi-sheet folds fold the whole set, which grouped or divided output does not keep together.
    rule(F::Fold, oneOf(kMultiSheetFolds), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::Fold, oneOf(kMultiSheetFolds), F::DivideOutput, oneOf("True"), to("False")),
    rule(F::Fold, oneOf(kMultiSheetFolds), F::Staple, allBut("None"), to("None")),
    rule(F::Fold, oneOf("MultiCenterFold"), F::Punch, allBut("None"), to("None")),
    // A booklet is folded once in the middle, printed side out.
    rule(F::Fold, oneOf("ZFold MultiLetterFold"), F::Layout, oneOf("Booklet"), to("None")),
    rule(F::Fold, oneOf("MultiCenterFold"), F::FoldDirection, oneOf("Inside"), to("Outside"))
        .with(F::Layout, oneOf("Booklet")),
    // Letter and Z folds are not saddle-stitched.
    rule(F::Fold, oneOf("ZFold MultiLetterFold"), F::Stitch, oneOf("True"), to("False")),
    // Folded sheets leave the folder face down in page order, unshifted, unbound, through the finisher's trays.
    rule(F::Fold, allBut("None"), F::FaceUp, oneOf("True"), to("False")),
    rule(F::Fold, allBut("None"), F::NTo1, oneOf("True"), to("False")),
    rule(F::Fold, allBut("None"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::Fold, allBut("None"), F::OffsetCopies, oneOf("True"), to("False")),
    rule(F::Fold, allBut("None"), F::OutputBin, oneOf(kPlainTrays), to("Auto")),
    rule(F::Fold, allBut("None"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),
    rule(F::Fold, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),
    // The folder cannot fold the heaviest stocks.
    rule(F::Fold, allBut("None"), F::MediaWeightAuto, oneOf(kFoldableWeightsExceeded), to("NoSet")),
    // A folded booklet has its printed side outside.
    rule(F::FoldDirection, oneOf("Inside"), F::Fold, oneOf("MultiCenterFold"), to("None"))
        .with(F::Layout, oneOf("Booklet")),

    // Saddle-stitched booklets leave face down in page order through the booklet tray.
    rule(F::Stitch, oneOf("True"), F::Fold, oneOf("ZFold MultiLetterFold"), to("None")),
    rule(F::Stitch, oneOf("True"), F::FaceUp, oneOf("True"), to("False")),
    rule(F::Stitch, oneOf("True"), F::NTo1, oneOf("True"), to("False")),
    rule(F::Stitch, oneOf("True"), F::OutputBin, allBut("Auto"), to("Auto")),

    // The ring binder punches and binds each set itself: no grouped output, staples, holes, folds,
    // prepunched paper or bound books, and the bound sets leave face down, unshifted, through its tray.
    rule(F::RingBinding, oneOf("True"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::RingBinding, oneOf("True"), F::Staple, allBut("None"), to("None")),
    rule(F::RingBinding, oneOf("True"), F::Punch, allBut("None"), to("None")),
    rule(F::RingBinding, oneOf("True"), F::Fold, allBut("None"), to("None")),
    rule(F::RingBinding, oneOf("True"), F::MediaPrepunchedAuto, oneOf("True"), to("False")),
    rule(F::RingBinding, oneOf("True"), F::Layout, oneOf(kBoundBooks), to("None")),
    rule(F::RingBinding, oneOf("True"), F::FaceUp, oneOf("True"), to("False")),
    rule(F::RingBinding, oneOf("True"), F::NTo1, oneOf("True"), to("False")),
    rule(F::RingBinding, oneOf("True"), F::OffsetCopies, oneOf("True"), to("False")),
    rule(F::RingBinding, oneOf("True"), F::OutputBin, allBut("Auto"), to("Auto")),
    // Without rings or imposition there is no outside edge for stamps.
    rule(F::RingBinding, oneOf("False"), F::DatePrintOnOutside, oneOf("True"), to("False"))
        .with(F::Layout, oneOf("None")),
    rule(F::RingBinding, oneOf("False"), F::PageNumberingPrintOnOutside, oneOf("True"), to("False"))
        .with(F::Layout, oneOf("None")),
    rule(F::RingBinding, oneOf("False"), F::SetNumberingPrintOnOutside, oneOf("True"), to("False"))
        .with(F::Layout, oneOf("None")),

    // Trays outside the finisher take no finished sets and no post-inserted covers.
    rule(F::OutputBin, oneOf(kPlainTrays), F::Staple, allBut("None"), to("None")),
    rule(F::OutputBin, oneOf(kPlainTrays), F::Punch, allBut("None"), to("None")),
    rule(F::OutputBin, oneOf(kPlainTrays), F::Fold, allBut("None"), to("None")),
    rule(F::OutputBin, oneOf(kPlainTrays), F::PIFrontCoverTray, allBut("None"), to("None")),
    rule(F::OutputBin, oneOf(kPlainTrays), F::PIBackCoverTray, allBut("None"), to("None")),
    // Stitched booklets and ring-bound sets have trays of their own.
    rule(F::OutputBin, allBut("Auto"), F::Stitch, oneOf("True"), to("False")),
    rule(F::OutputBin, allBut("Auto"), F::RingBinding, oneOf("True"), to("False")),
    // Only the third-party finisher's tray passes sheets on to it, and it takes the stack unshifted.
    rule(F::OutputBin, oneOf("StaplerMain StaplerSub OpenStacker RelayUnit3ASub"), F::ThirdPartyFinisherMiddleMode,
         oneOf("True"), to("False")),
    rule(F::OutputBin, oneOf("ThirdPartyFinisherMiddle"), F::OffsetCopies, oneOf("True"), to("False")),
    rule(F::OutputBin, oneOf("ThirdPartyFinisherMiddle"), F::OffsetPages, oneOf("True"), to("False")),
    // The relay unit's sub tray takes one-sided sheets face up only.
    rule(F::OutputBin, oneOf("RelayUnit3ASub"), F::FaceUp, oneOf("False"), to("True")).with(F::Duplex, oneOf("False")),

    // Face-up delivery bypasses the finishing units.
    rule(F::FaceUp, oneOf("True"), F::Punch, allBut("None"), to("None")),
    rule(F::FaceUp, oneOf("True"), F::Fold, allBut("None"), to("None")),
    rule(F::FaceUp, oneOf("True"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::FaceUp, oneOf("True"), F::Stitch, oneOf("True"), to("False")),
    rule(F::FaceUp, oneOf("True"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),

    // Last-page-first output reaches the finishing units in the wrong order.
    rule(F::NTo1, oneOf("True"), F::Staple, allBut("None"), to("None")),
    rule(F::NTo1, oneOf("True"), F::Punch, allBut("None"), to("None")),
    rule(F::NTo1, oneOf("True"), F::Fold, allBut("None"), to("None")),
    rule(F::NTo1, oneOf("True"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::NTo1, oneOf("True"), F::Stitch, oneOf("True"), to("False")),

    // Divided output splits each set: no grouped output, staples, multi-sheet folds or posters.
    rule(F::DivideOutput, oneOf("True"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::DivideOutput, oneOf("True"), F::Staple, allBut("None"), to("None")),
    rule(F::DivideOutput, oneOf("True"), F::Fold, oneOf(kMultiSheetFolds), to("None")),
    rule(F::DivideOutput, oneOf("True"), F::PosterPrint, allBut("Off"), to("Off")),

    // One kind of offset stacking at a time; folded, ring-bound and third-party sets are not shifted.
    rule(F::OffsetCopies, oneOf("True"), F::OffsetPages, oneOf("True"), to("False")),
    rule(F::OffsetCopies, oneOf("True"), F::Fold, allBut("None"), to("None")),
    rule(F::OffsetCopies, oneOf("True"), F::RingBinding, oneOf("True"), to("False")),
    rule(F::OffsetCopies, oneOf("True"), F::OutputBin, oneOf("ThirdPartyFinisherMiddle"), to("Auto")),
    rule(F::OffsetCopies, oneOf("True"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),
    rule(F::OffsetPages, oneOf("True"), F::OffsetCopies, oneOf("True"), to("False")),
    rule(F::OffsetPages, oneOf("True"), F::OutputBin, oneOf("ThirdPartyFinisherMiddle"), to("Auto")),

    // The third-party finisher takes plain, unshifted, upright sheets face down through its own tray,
    // without post-inserted covers.
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::Staple, allBut("None"), to("None")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::Punch, allBut("None"), to("None")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::Fold, allBut("None"), to("None")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::FaceUp, oneOf("True"), to("False")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::OffsetCopies, oneOf("True"), to("False")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::Rotate180, oneOf("True"), to("False")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::OutputBin,
         oneOf("StaplerMain StaplerSub OpenStacker RelayUnit3ASub"), to("Auto")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::PIFrontCoverTray, allBut("None"), to("None")),
    rule(F::ThirdPartyFinisherMiddleMode, oneOf("True"), F::PIBackCoverTray, allBut("None"), to("None")),

    // Interleaving sheets are printed on one side and not stapled; the heaviest stocks are neither
    // duplexed nor folded; prepunched paper is not punched again nor ring-bound.
    rule(F::MediaTypeAuto, oneOf("Interleaved"), F::Duplex, oneOf("True"), to("False")),
    rule(F::MediaTypeAuto, oneOf("Interleaved"), F::Staple, allBut("None"), to("None")),
    rule(F::MediaWeightAuto, oneOf(kUnduplexableWeights), F::Duplex, oneOf("True"), to("False")),
    rule(F::MediaWeightAuto, oneOf(kFoldableWeightsExceeded), F::Fold, allBut("None"), to("None")),
    rule(F::MediaPrepunchedAuto, oneOf("True"), F::Punch, allBut("None"), to("None")),
    rule(F::MediaPrepunchedAuto, oneOf("True"), F::RingBinding, oneOf("True"), to("False")),

    // Covers are added per set, which grouped output and posters do not have.
    rule(F::FrontCoverTray, allBut("None"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::FrontCoverTray, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),
    rule(F::BackCoverTray, allBut("None"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::BackCoverTray, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),
    // Post-inserted covers join each set inside the finisher.
    rule(F::PIFrontCoverTray, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),
    rule(F::PIFrontCoverTray, allBut("None"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),
    rule(F::PIFrontCoverTray, allBut("None"), F::OutputBin, oneOf(kPlainTrays), to("Auto")),
    rule(F::PIBackCoverTray, allBut("None"), F::PosterPrint, allBut("Off"), to("Off")),
    rule(F::PIBackCoverTray, allBut("None"), F::ThirdPartyFinisherMiddleMode, oneOf("True"), to("False")),
    rule(F::PIBackCoverTray, allBut("None"), F::OutputBin, oneOf(kPlainTrays), to("Auto")),

    // Chapters start on a front side of their own: two-sided output, pages in order, not a poster.
    rule(F::ChapterMode, oneOf("True"), F::Duplex, oneOf("False"), to("True")),
    rule(F::ChapterMode, oneOf("True"), F::Layout, oneOf("Booklet"), to("None")),
    rule(F::ChapterMode, oneOf("True"), F::PosterPrint, allBut("Off"), to("Off")),

    // Repeating the page exceptions needs exceptions to repeat.
    rule(F::PageSpecificTrays, exceptionListEmpty(), F::PageSpecificRepeatMode, oneOf("On"), to("Off")),

    // The colour patch and the job information cannot share an edge (both list the same edges).
    rule(F::ColorPatch, oneOf("Left Top Right Bottom"), F::JobInfo, sameAsTrigger(), to("Off")),
    rule(F::JobInfo, oneOf("Left Top Right Bottom"), F::ColorPatch, sameAsTrigger(), to("Off")),
    // An edge that carries the patch or the job information keeps the page image away from it.
    rule(F::ColorPatch, oneOf("Left"), F::PrintPosition, oneOf("Left"), to("Middle")),
    rule(F::ColorPatch, oneOf("Right"), F::PrintPosition, oneOf("Right"), to("Middle")),
    rule(F::JobInfo, oneOf("Left"), F::PrintPosition, oneOf("Left"), to("Middle")),
    rule(F::JobInfo, oneOf("Right"), F::PrintPosition, oneOf("Right"), to("Middle")),
    rule(F::PrintPosition, oneOf("Left"), F::ColorPatch, oneOf("Left"), to("Off")),
    rule(F::PrintPosition, oneOf("Left"), F::JobInfo, oneOf("Left"), to("Off")),
    rule(F::PrintPosition, oneOf("Right"), F::ColorPatch, oneOf("Right"), to("Off")),
    rule(F::PrintPosition, oneOf("Right"), F::JobInfo, oneOf("Right"), to("Off")),

    // Copy-protection patterns, watermark numbering and smoothing exist at 600 dpi only.
    rule(F::Resolution, oneOf("1200dpi"), F::CopyProtection, oneOf("True"), to("False")),
    rule(F::Resolution, oneOf("1200dpi"), F::SetNumberingMode, oneOf("WatermarkForAllPages"), to("Off")),
    rule(F::Resolution, oneOf("1200dpi"), F::Smoothing, oneOf("True"), to("False")),
    // A stored form prints only at the resolution it was stored with.
    rule(F::Resolution, anyValue(), F::JobForm, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::JobFormResolution, knownOtherThanTrigger()),
    rule(F::Resolution, anyValue(), F::Append, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::AppendResolution, knownOtherThanTrigger()),
    rule(F::Resolution, anyValue(), F::Prepend, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::PrependResolution, knownOtherThanTrigger()),
    rule(F::Resolution, anyValue(), F::PageSpecificForms, formListNotEmpty(), toEmptyFormList())
        .with(F::PageSpecificFormsResolution, knownOtherThanTrigger()),
    rule(F::CopyProtection, oneOf("True"), F::Resolution, oneOf("1200dpi"), to("600dpi")),
    rule(F::SetNumberingMode, oneOf("WatermarkForAllPages"), F::Resolution, oneOf("1200dpi"), to("600dpi")),
    rule(F::Smoothing, oneOf("True"), F::Resolution, oneOf("1200dpi"), to("600dpi")),

    // A stored form prints only with the screening it was stored with.
    rule(F::ScreeningMode, anyValue(), F::JobForm, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::JobFormScreeningMode, knownOtherThanTrigger()),
    rule(F::ScreeningMode, anyValue(), F::Append, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::AppendScreeningMode, knownOtherThanTrigger()),
    rule(F::ScreeningMode, anyValue(), F::Prepend, otherThan(kNoForm), toNumber(kNoForm))
        .with(F::PrependScreeningMode, knownOtherThanTrigger()),
    rule(F::ScreeningMode, anyValue(), F::PageSpecificForms, formListNotEmpty(), toEmptyFormList())
        .with(F::PageSpecificFormsScreeningMode, knownOtherThanTrigger()),
    // Custom screens print as defined, without thinning, enhancement or smoothing.
    rule(F::ScreeningMode, oneOf("Custom"), F::Thinning, oneOf("True"), to("False")),
    rule(F::ScreeningMode, oneOf("Custom"), F::Enhancement, oneOf("True"), to("False")),
    rule(F::ScreeningMode, oneOf("Custom"), F::Smoothing, oneOf("True"), to("False")),
    rule(F::Thinning, oneOf("True"), F::ScreeningMode, oneOf("Custom"), to("Fixed")),
    rule(F::Enhancement, oneOf("True"), F::ScreeningMode, oneOf("Custom"), to("Fixed")),
    rule(F::Smoothing, oneOf("True"), F::ScreeningMode, oneOf("Custom"), to("Fixed")),

    // A job that stores itself as a form cannot lay a form over itself.
    rule(F::JobForm, otherThan(kNoForm), F::OutputMethod, oneOf("Form"), to("Print")),
    rule(F::Prepend, otherThan(kNoForm), F::OutputMethod, oneOf("Form"), to("Print")),
    rule(F::Append, otherThan(kNoForm), F::OutputMethod, oneOf("Form"), to("Print")),
    rule(F::PageSpecificForms, formListNotEmpty(), F::OutputMethod, oneOf("Form"), to("Print")),

    // Separate back-side shifts need two-sided output.
    rule(F::ImageShiftType, oneOf("SeparateFrontBack"), F::Duplex, oneOf("False"), to("True")),

    // Nothing is stamped on the outside edge while the stamp is off.
    rule(F::DateStamp, oneOf("Off"), F::DatePrintOnOutside, oneOf("True"), to("False")),
    rule(F::PageNumberingMode, oneOf("Off"), F::PageNumberingPrintOnOutside, oneOf("True"), to("False")),
    rule(F::SetNumberingMode, oneOf("Off"), F::SetNumberingPrintOnOutside, oneOf("True"), to("False")),
    // A stamp in the centre column has no outside edge to move to.
    rule(F::DatePosition, oneOf("TopCenter MiddleCenter BottomCenter"), F::DatePrintOnOutside, oneOf("True"),
         to("False")),
    rule(F::DatePrintOnOutside, oneOf("True"), F::DatePosition, oneOf("TopCenter"), to("TopLeft")),
    rule(F::DatePrintOnOutside, oneOf("True"), F::DatePosition, oneOf("MiddleCenter"), to("MiddleLeft")),
    rule(F::DatePrintOnOutside, oneOf("True"), F::DatePosition, oneOf("BottomCenter"), to("BottomLeft")),
    rule(F::PageNumberingPosition, oneOf("TopCenter MiddleCenter BottomCenter"), F::PageNumberingPrintOnOutside,
         oneOf("True"), to("False")),
    rule(F::PageNumberingPrintOnOutside, oneOf("True"), F::PageNumberingPosition, oneOf("TopCenter"), to("TopLeft")),
    rule(F::PageNumberingPrintOnOutside, oneOf("True"), F::PageNumberingPosition, oneOf("MiddleCenter"),
         to("MiddleLeft")),
    rule(F::PageNumberingPrintOnOutside, oneOf("True"), F::PageNumberingPosition, oneOf("BottomCenter"),
         to("BottomLeft")),
    rule(F::SetNumberingPosition, oneOf("TopCenter MiddleCenter BottomCenter"), F::SetNumberingPrintOnOutside,
         oneOf("True"), to("False")),
    rule(F::SetNumberingPrintOnOutside, oneOf("True"), F::SetNumberingPosition, oneOf("TopCenter"), to("TopLeft")),
    rule(F::SetNumberingPrintOnOutside, oneOf("True"), F::SetNumberingPosition, oneOf("MiddleCenter"),
         to("MiddleLeft")),
    rule(F::SetNumberingPrintOnOutside, oneOf("True"), F::SetNumberingPosition, oneOf("BottomCenter"),
         to("BottomLeft")),

    // Watermark numbering and copy protection both print a background pattern; only one fits.
    rule(F::SetNumberingMode, oneOf("WatermarkForAllPages"), F::CopyProtection, oneOf("True"), to("False")),
    rule(F::CopyProtection, oneOf("True"), F::SetNumberingMode, oneOf("WatermarkForAllPages"), to("Off")),
    // Numbered sets are counted by one printer, so they are not shared with a tandem partner.
    rule(F::SetNumberingMode, allBut("Off"), F::Tandem, oneOf("True"), to("False")),
    rule(F::Tandem, oneOf("True"), F::SetNumberingMode, allBut("Off"), to("Off")),
    // A job stored as a form carries no copy-protection pattern.
    rule(F::CopyProtection, oneOf("True"), F::OutputMethod, oneOf("Form"), to("Print")),
    // Tandem printing splits the sets between two printers: grouped output and secure release do not split.
    rule(F::Tandem, oneOf("True"), F::Collate, oneOf("Group"), to("Sort")),
    rule(F::Tandem, oneOf("True"), F::OutputMethod, oneOf("Secure"), to("Print")),

    // Proof, wait and spool modes print at once and cannot hold, store or secure the job.
    rule(F::PrintMode, oneOf("Spool"), F::OutputMethod, oneOf("HoldPrint Hold SaveInUBAndP SaveInUB Secure Form"),
         to("Print")),
    rule(F::PrintMode, oneOf("ProofMode ProofMode1st Wait"), F::OutputMethod, oneOf("Hold SaveInUB Secure Form"),
         to("Print")),
    // A job stored as a form keeps no form, prepended or appended job of its own and no copy protection;
    // a secure job is not shared with a tandem partner.
    rule(F::OutputMethod, oneOf("Form"), F::JobForm, otherThan(kNoForm), toNumber(kNoForm)),
    rule(F::OutputMethod, oneOf("Form"), F::Prepend, otherThan(kNoForm), toNumber(kNoForm)),
    rule(F::OutputMethod, oneOf("Form"), F::Append, otherThan(kNoForm), toNumber(kNoForm)),
    rule(F::OutputMethod, oneOf("Form"), F::PageSpecificForms, formListNotEmpty(), toEmptyFormList()),
    rule(F::OutputMethod, oneOf("Form"), F::CopyProtection, oneOf("True"), to("False")),
    rule(F::OutputMethod, oneOf("Secure"), F::Tandem, oneOf("True"), to("False")),
    rule(F::OutputMethod, oneOf("HoldPrint SaveInUBAndP"), F::PrintMode, oneOf("Spool"), to("Print")),
    rule(F::OutputMethod, oneOf("Hold SaveInUB Secure Form"), F::PrintMode, oneOf("ProofMode ProofMode1st Wait Spool"),
         to("Print")),
    // A job saved and printed at once is kept whole, not split into booklets.
    rule(F::OutputMethod, oneOf("SaveInUBAndP"), F::BookletSplitting, oneOf("True"), to("False")),
};

// Every constraint corrects only what its setting's row allows, never its
// own setting, and its further condition is on a third setting.
constexpr bool constraintsFollowTheRuleTable() {
    for (const Constraint& c : kConstraints) {
        if (!mayCorrect(c.trigger, c.target)) return false;
        if (c.conditional && (c.alsoField == c.trigger || c.alsoField == c.target)) return false;
    }
    return true;
}
static_assert(constraintsFollowTheRuleTable(), "a constraint corrects a setting its setter may not correct");

}  // namespace

std::span<const Constraint> constraintTable() { return kConstraints; }

}  // namespace tvzx::rules
