// Which setting's setter may correct which other settings. The rules of a
// setter call only the setters listed in its row; the constraint tables are
// checked against these rows when the plug-in is compiled. A setting with a
// row owns a setter with rules; every other setting is written plainly.
#pragma once

#include <array>
#include <cstddef>
#include <span>

#include "settings/field_id.h"

namespace tvzx::rules {

// The longest row: the settings that Layout may correct.
inline constexpr std::size_t kMostCorrections = 41;

struct MayCorrectRow {
    settings::FieldId setting;
    std::array<settings::FieldId, kMostCorrections> targets{};
    std::size_t count = 0;

    // Returns the settings this setting's setter may correct.
    constexpr std::span<const settings::FieldId> corrected() const { return {targets.data(), count}; }
};

// Returns the row of one setting and the settings its setter may correct.
template <typename... Targets>
constexpr MayCorrectRow mayCorrect(settings::FieldId setting, Targets... targets) {
    static_assert(sizeof...(Targets) <= kMostCorrections, "a row longer than the longest row");
    return {setting, {targets...}, sizeof...(Targets)};
}

namespace may_correct_rows {
using F = settings::FieldId;

inline constexpr MayCorrectRow kRows[] = {
    mayCorrect(F::Layout, F::BackCoverTray, F::BackSheets, F::Binding, F::BookletBlankInsertion,
               F::BookletSplitting, F::ChapterMode, F::Collate, F::CopyProtection, F::Creep, F::CreepInputUnit,
               F::CutMarkType, F::CutMarks, F::DatePrintOnOutside, F::DateStamp, F::Duplex, F::FaceUp,
               F::FeedDir, F::Fold, F::FoldDirection, F::FrontCoverTray, F::FrontSheets, F::FullBleed,
               F::Gutter, F::ImposQuality, F::MixedSize, F::NUpCount, F::OffsetCopies, F::Orientation,
               F::PIBackCoverTray, F::PIFrontCoverTray, F::PageNumberingMode, F::PageNumberingPrintOnOutside,
               F::PosterPrint, F::PrintPosition, F::Punch, F::RingBinding, F::ScaleToFit, F::SetNumberingMode,
               F::SetNumberingPrintOnOutside, F::Staple, F::Zoom),
    mayCorrect(F::Duplex, F::Binding, F::ChapterMode, F::CutMarkDuplex, F::FaceUp, F::FeedDir,
               F::ImageShiftType, F::InputSlot, F::Layout, F::MainPaperProfileCustomMediaColorName,
               F::MainPaperProfileIndex, F::MediaPrepunchedAuto, F::MediaTypeAuto, F::MediaWeightAuto,
               F::OutputBin, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::ImposQuality, F::Layout, F::NUpCount, F::Gutter),
    mayCorrect(F::Gutter, F::Layout, F::NUpCount),
    mayCorrect(F::CreepInputUnit, F::Layout, F::NUpCount),
    mayCorrect(F::Creep, F::Layout, F::NUpCount),
    mayCorrect(F::BookletBlankInsertion, F::BookletSplitting, F::Layout, F::MixedSize, F::NUpCount),
    mayCorrect(F::BookletSplitting, F::BookletBlankInsertion, F::BookletSplittingPages, F::Layout, F::MixedSize,
               F::NUpCount, F::OutputMethod),
    mayCorrect(F::BookletSplittingPages, F::BookletSplitting),
    mayCorrect(F::MixedSize, F::BookletBlankInsertion, F::BookletSplitting, F::Layout, F::NUpCount,
               F::TargetPaperSize),
    mayCorrect(F::NUpCount, F::Binding, F::BookletBlankInsertion, F::BookletSplitting, F::Collate, F::Creep,
               F::CreepInputUnit, F::CutMarkScope, F::FeedDir, F::FullBleed, F::Gutter, F::ImposQuality,
               F::Layout, F::MixedSize, F::PrintPosition, F::ScaleToFit, F::Zoom),
    mayCorrect(F::PosterPrint, F::BackCoverTray, F::ChapterMode, F::Collate, F::CutMarks, F::DivideOutput,
               F::Fold, F::FrontCoverTray, F::HorizontalOverlap, F::Layout, F::PIBackCoverTray,
               F::PIFrontCoverTray, F::TargetPaperSize, F::VerticalOverlap),
    mayCorrect(F::HorizontalOverlap, F::PosterPrint),
    mayCorrect(F::VerticalOverlap, F::PosterPrint),
    mayCorrect(F::PageSize, F::Binding, F::FeedDir, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::InputSlot, F::Binding, F::Duplex, F::FaceUp, F::FeedDir, F::Fold,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::OutputBin, F::Punch,
               F::RingBinding, F::Staple, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::Orientation, F::Binding, F::FeedDir, F::Layout),
    mayCorrect(F::TargetPaperSize, F::FeedDir, F::MainPaperProfileCustomMediaColorName,
               F::MainPaperProfileIndex, F::MixedSize, F::PosterPrint),
    mayCorrect(F::ScaleToFit, F::FullBleed, F::NUpCount),
    mayCorrect(F::Zoom, F::NUpCount),
    mayCorrect(F::FullBleed, F::Binding, F::FeedDir, F::NUpCount, F::ScaleToFit, F::TargetPaperSize,
               F::TargetPaperSizeName),
    mayCorrect(F::Rotate180, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::Binding, F::FeedDir, F::Orientation, F::Staple),
    mayCorrect(F::Staple, F::Binding, F::Collate, F::DivideOutput, F::FeedDir, F::Fold, F::InputSlot, F::Layout,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::MediaPrepunchedAuto,
               F::MediaTypeAuto, F::MediaWeightAuto, F::NTo1, F::OutputBin, F::Punch, F::RingBinding,
               F::TargetPaperSize, F::TargetPaperSizeName, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::DivideOutput, F::Collate, F::DivideOutputPages, F::Fold, F::NTo1, F::PosterPrint, F::Staple),
    mayCorrect(F::DivideOutputPages, F::DivideOutput),
    mayCorrect(F::Punch, F::Binding, F::FaceUp, F::FeedDir, F::Fold, F::InputSlot, F::Layout,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::MediaPrepunchedAuto,
               F::MediaTypeAuto, F::MediaWeightAuto, F::NTo1, F::OutputBin, F::PIBackCoverTray,
               F::PIFrontCoverTray, F::RingBinding, F::Staple, F::TargetPaperSize, F::TargetPaperSizeName,
               F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::Fold, F::Binding, F::Collate, F::DivideOutput, F::FaceUp, F::FeedDir, F::FoldDirection,
               F::InputSlot, F::Layout, F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex,
               F::MediaPrepunchedAuto, F::MediaTypeAuto, F::MediaWeightAuto, F::NTo1, F::OffsetCopies,
               F::OutputBin, F::PosterPrint, F::Punch, F::RingBinding, F::Staple, F::Stitch, F::TargetPaperSize,
               F::TargetPaperSizeName, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::FoldDirection, F::DivideOutput, F::FaceUp, F::Fold, F::NTo1),
    mayCorrect(F::Stitch, F::Binding, F::FaceUp, F::FeedDir, F::Fold, F::NTo1, F::OutputBin, F::TargetPaperSize,
               F::TargetPaperSizeName),
    mayCorrect(F::RingBinding, F::Binding, F::Collate, F::DatePrintOnOutside, F::FaceUp, F::FeedDir, F::Fold,
               F::InputSlot, F::Layout, F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex,
               F::MediaPrepunchedAuto, F::MediaTypeAuto, F::MediaWeightAuto, F::NTo1, F::OffsetCopies,
               F::OutputBin, F::PIBackCoverTray, F::PIFrontCoverTray, F::PageNumberingPrintOnOutside, F::Punch,
               F::SetNumberingPrintOnOutside, F::Staple, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::OutputBin, F::FaceUp, F::Fold, F::InputSlot, F::MainPaperProfileCustomMediaColorName,
               F::MainPaperProfileIndex, F::MediaPrepunchedAuto, F::MediaTypeAuto, F::MediaWeightAuto,
               F::OffsetCopies, F::OffsetPages, F::PIBackCoverTray, F::PIFrontCoverTray, F::Punch,
               F::RingBinding, F::Staple, F::Stitch, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::FeedDir, F::Binding, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::FaceUp, F::ChapterMode, F::Duplex, F::Fold, F::FoldDirection, F::InputSlot,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::MediaPrepunchedAuto,
               F::MediaTypeAuto, F::MediaWeightAuto, F::NTo1, F::Punch, F::RingBinding, F::Stitch,
               F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::NTo1, F::ChapterMode, F::DivideOutput, F::FaceUp, F::Fold, F::FoldDirection, F::Punch,
               F::RingBinding, F::Staple, F::Stitch),
    mayCorrect(F::Collate, F::BackCoverTray, F::DivideOutput, F::Fold, F::FrontCoverTray, F::Layout,
               F::NUpCount, F::PosterPrint, F::RingBinding, F::Staple, F::Tandem),
    mayCorrect(F::OffsetCopies, F::Binding, F::FeedDir, F::Fold, F::Layout, F::OffsetCopiesCount,
               F::OffsetPages, F::OutputBin, F::RingBinding, F::TargetPaperSize, F::TargetPaperSizeName,
               F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::OffsetCopiesCount, F::OffsetCopies, F::OffsetPages),
    mayCorrect(F::OffsetPagesCount, F::OffsetCopies, F::OffsetPages, F::OffsetCopiesCount),
    mayCorrect(F::OffsetPages, F::Binding, F::FeedDir, F::OffsetCopies, F::OffsetCopiesCount,
               F::OffsetPagesCount, F::OutputBin, F::TargetPaperSize, F::TargetPaperSizeName),
    mayCorrect(F::ThirdPartyFinisherMiddleMode, F::FaceUp, F::Fold, F::OffsetCopies, F::OutputBin,
               F::PIBackCoverTray, F::PIFrontCoverTray, F::Punch, F::Rotate180, F::Staple),
    mayCorrect(F::MediaTypeAuto, F::MediaWeightAuto, F::Duplex, F::FaceUp, F::Fold, F::InputSlot,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::OutputBin, F::Punch,
               F::RingBinding, F::Staple),
    mayCorrect(F::MediaWeightAuto, F::MediaTypeAuto, F::Duplex, F::FaceUp, F::Fold, F::InputSlot,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::OutputBin, F::Punch,
               F::RingBinding, F::Staple),
    mayCorrect(F::MediaPrepunchedAuto, F::Duplex, F::FaceUp, F::Fold, F::InputSlot,
               F::MainPaperProfileCustomMediaColorName, F::MainPaperProfileIndex, F::OutputBin, F::Punch,
               F::RingBinding, F::Staple),
    mayCorrect(F::MainPaperProfileIndex, F::Duplex, F::FaceUp, F::Fold, F::InputSlot,
               F::MainPaperProfileCustomMediaColorName, F::OutputBin, F::Punch, F::RingBinding, F::Staple,
               F::TargetPaperSize),
    mayCorrect(F::PIFrontCoverTray, F::Layout, F::OutputBin, F::PIFrontCoverPaperProfileIndex, F::PIFrontSheets,
               F::PosterPrint, F::Punch, F::RingBinding, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::PIBackCoverTray, F::Layout, F::OutputBin, F::PIBackCoverPaperProfileIndex, F::PIBackSheets,
               F::PosterPrint, F::Punch, F::RingBinding, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::FrontCoverTray, F::Collate, F::FrontCoverPaperProfileIndex, F::FrontCoverPrinted,
               F::FrontSheets, F::Layout, F::PosterPrint),
    mayCorrect(F::BackCoverTray, F::Collate, F::BackCoverPaperProfileIndex, F::BackCoverPrinted, F::BackSheets,
               F::Layout, F::PosterPrint),
    mayCorrect(F::FrontSheets, F::FrontCoverPrinted, F::FrontCoverTray, F::Layout),
    mayCorrect(F::BackSheets, F::BackCoverPrinted, F::BackCoverTray, F::Layout),
    mayCorrect(F::FrontCoverPrinted, F::FrontCoverTray, F::FrontSheets),
    mayCorrect(F::BackCoverPrinted, F::BackCoverTray, F::BackSheets),
    mayCorrect(F::PIFrontSheets, F::PIFrontCoverTray),
    mayCorrect(F::PIFrontCoverPaperProfileIndex, F::PIFrontCoverTray),
    mayCorrect(F::FrontCoverPaperProfileIndex, F::FrontCoverTray),
    mayCorrect(F::BackCoverPaperProfileIndex, F::BackCoverTray),
    mayCorrect(F::PIBackSheets, F::PIBackCoverTray),
    mayCorrect(F::PIBackCoverPaperProfileIndex, F::PIBackCoverTray),
    mayCorrect(F::ChapterMode, F::Duplex, F::FaceUp, F::Layout, F::NTo1, F::PosterPrint),
    mayCorrect(F::PageSpecificRepeatMode),
    mayCorrect(F::Tab1PageSize),
    mayCorrect(F::Tab2PageSize),
    mayCorrect(F::PageSpecificTrays, F::FaceUp, F::Fold, F::FrontCoverTray, F::ImposQuality, F::Layout,
               F::NUpCount, F::OffsetCopies, F::OffsetPages, F::OutputBin, F::PIBackCoverTray,
               F::PIFrontCoverTray, F::PageSpecificRepeatMode, F::PosterPrint, F::Punch, F::RingBinding,
               F::Staple, F::Tab1PageSize, F::Tab2PageSize, F::ThirdPartyFinisherMiddleMode),
    mayCorrect(F::ColorPatch, F::JobInfo, F::PrintPosition),
    mayCorrect(F::JobInfo, F::ColorPatch, F::PrintPosition),
    mayCorrect(F::Resolution, F::Append, F::CopyProtection, F::JobForm, F::PageSpecificForms, F::Prepend,
               F::SetNumberingMode, F::Smoothing),
    mayCorrect(F::ScreeningMode, F::Append, F::Enhancement, F::JobForm, F::PageSpecificForms, F::Prepend,
               F::Smoothing, F::Thinning, F::ToneCurveTextGraphics),
    mayCorrect(F::ScreenTypeImage, F::ScreenTypeTextGraphics, F::ToneCurveTextGraphics),
    mayCorrect(F::ScreenTypeTextGraphics, F::ScreenTypeImage),
    mayCorrect(F::ToneCurveTextGraphics, F::ScreenTypeImage, F::ScreeningMode),
    mayCorrect(F::Thinning, F::ScreeningMode),
    mayCorrect(F::Enhancement, F::ScreeningMode),
    mayCorrect(F::Smoothing, F::Resolution, F::ScreeningMode),
    mayCorrect(F::JobForm, F::OutputMethod, F::Resolution, F::ScreeningMode),
    mayCorrect(F::PageSpecificForms, F::OutputMethod, F::Resolution, F::ScreeningMode),
    mayCorrect(F::Prepend, F::OutputMethod, F::Resolution, F::ScreeningMode),
    mayCorrect(F::Append, F::OutputMethod, F::Resolution, F::ScreeningMode),
    mayCorrect(F::ImageShiftType, F::Duplex),
    mayCorrect(F::CutMarkDuplex, F::Duplex),
    mayCorrect(F::PrintPosition, F::ColorPatch, F::JobInfo, F::Layout, F::NUpCount),
    mayCorrect(F::CutMarks, F::Layout, F::PosterPrint, F::SetNumberingMode),
    mayCorrect(F::CutMarkScope, F::NUpCount),
    mayCorrect(F::CutMarkType, F::Layout),
    mayCorrect(F::DateStamp, F::DatePrintOnOutside, F::Layout, F::PageNumberingMode),
    mayCorrect(F::DatePosition, F::DatePrintOnOutside),
    mayCorrect(F::DatePrintOnOutside, F::DatePosition, F::DateStamp, F::RingBinding),
    mayCorrect(F::PageNumberingMode, F::Layout, F::PageNumberingPrintOnOutside, F::SetNumberingMode),
    mayCorrect(F::PageNumberingPosition, F::PageNumberingPrintOnOutside),
    mayCorrect(F::PageNumberingPrintOnOutside, F::PageNumberingMode, F::PageNumberingPosition, F::RingBinding),
    mayCorrect(F::SetNumberingMode, F::CopyProtection, F::CutMarks, F::DateStamp, F::Layout, F::Resolution,
               F::SetNumberingFontSize, F::SetNumberingPrintOnOutside, F::Tandem),
    mayCorrect(F::SetNumberingPosition, F::SetNumberingPrintOnOutside),
    mayCorrect(F::SetNumberingFontSize, F::SetNumberingMode),
    mayCorrect(F::SetNumberingPrintOnOutside, F::RingBinding, F::SetNumberingMode, F::SetNumberingPosition),
    mayCorrect(F::CopyProtection, F::Layout, F::OutputMethod, F::Resolution, F::SetNumberingMode, F::Tandem),
    mayCorrect(F::Tandem, F::Collate, F::CopyProtection, F::OutputMethod, F::SetNumberingMode),
    mayCorrect(F::PrintMode, F::OutputMethod),
    mayCorrect(F::OutputMethod, F::Append, F::BookletSplitting, F::CopyProtection, F::JobForm,
               F::PageSpecificForms, F::Prepend, F::PrintMode, F::Tandem),
};

}  // namespace may_correct_rows

// Returns every row, in the order of the rule table.
constexpr std::span<const MayCorrectRow> mayCorrectTable() { return may_correct_rows::kRows; }

// Returns the position of a setting's row, or the number of rows when the
// setting has no setter with rules. (Positions rather than pointers keep the
// checks below constant expressions under every compiler option.)
constexpr std::size_t rowIndex(settings::FieldId setting) {
    const auto rows = mayCorrectTable();
    std::size_t at = 0;
    while (at < rows.size() && rows[at].setting != setting) ++at;
    return at;
}

// Returns whether a setting owns a setter with rules.
constexpr bool ownsSetter(settings::FieldId setting) { return rowIndex(setting) < mayCorrectTable().size(); }

// Returns the row of a setting, or nothing when the setting has no setter with rules.
constexpr const MayCorrectRow* mayCorrectRow(settings::FieldId setting) {
    return ownsSetter(setting) ? &mayCorrectTable()[rowIndex(setting)] : nullptr;
}

// Returns whether the setter of `setting` may correct `target`.
constexpr bool mayCorrect(settings::FieldId setting, settings::FieldId target) {
    if (!ownsSetter(setting)) return false;
    for (settings::FieldId corrected : mayCorrectTable()[rowIndex(setting)].corrected())
        if (corrected == target) return true;
    return false;
}

// A row per setting, no setting correcting itself, no target listed twice.
constexpr bool mayCorrectTableIsSound() {
    const auto rows = mayCorrectTable();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        for (std::size_t j = i + 1; j < rows.size(); ++j)
            if (rows[i].setting == rows[j].setting) return false;
        const auto targets = rows[i].corrected();
        for (std::size_t t = 0; t < targets.size(); ++t) {
            if (targets[t] == rows[i].setting) return false;
            for (std::size_t u = t + 1; u < targets.size(); ++u)
                if (targets[t] == targets[u]) return false;
        }
    }
    return true;
}
static_assert(mayCorrectTableIsSound());

}  // namespace tvzx::rules
