#include "pjl/ticket_writers.h"

#include "pjl/authentication.h"
#include "pjl/cover_commands.h"
#include "pjl/finishing_commands.h"
#include "pjl/image_commands.h"
#include "pjl/job_information.h"
#include "pjl/media_commands.h"
#include "pjl/page_commands.h"
#include "pjl/paper_commands.h"
#include "pjl/perfect_binding.h"
#include "pjl/secure_print.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

using F = settings::FieldId;

// The feature commands in the fixed order of the ticket. Settings decide
// whether a writer produces lines, never where they stand.
constexpr TicketWriter kWriters[] = {
    writeOrientation,
    optionCommand<F::InputSlot>,
    writePaperProfileId,
    optionCommand<F::Layout>,
    optionCommand<F::Duplex>,
    optionCommand<F::Binding>,
    optionCommand<F::ImposQuality>,
    optionCommand<F::CreepInputUnit>,
    writeBookletSplitting,
    optionCommand<F::MixedSize>,
    optionCommand<F::NUpCount>,
    optionCommand<F::PosterPrint>,
    optionCommand<F::PosterPrintOrder>,
    writeOverlapWidth,
    writeOverlapHeight,
    writeOutputPaper,
    writeOutputPaperWidth,
    writeOutputPaperHeight,
    writeFitToPaper,
    writeScale,
    optionCommand<F::FullBleed>,
    optionCommand<F::Rotate180>,
    optionCommand<F::BookletBlankInsertion>,
    optionCommand<F::OutputBin>,
    writeStapling,
    writePunching,
    optionCommand<F::RingBinding>,
    writeRingBindFrontFace,
    writeRingBindBackFace,
    optionCommand<F::FeedDir>,
    optionCommand<F::FaceUp>,
    optionCommand<F::NTo1>,
    writeCopies,
    writeDivideOutput,
    writeOffset,
    optionCommand<F::ThirdPartyFinisherMiddleMode>,
    writeFolding,
    optionCommand<F::Trim>,
    optionCommand<F::SquareFold>,
    optionCommand<F::SquareFoldStrength>,
    writeSlit,
    writeCrease,
    writeMediaType,
    writeMediaWeight,
    writeMediaColor,
    writeMediaColorName,
    writeMediaPrepunched,
    writeMediaWeightUnit,
    writeHeaderPage,
    writePostInserterFrontCover,
    writeFrontCover,
    writeBackCover,
    writePostInserterBackCover,
    optionCommand<F::PerfectBindMode>,
    optionCommand<F::PerfectBindTrim>,
    writePerfectBindSpine,
    optionCommand<F::PerfectBindDuplex>,
    writePerfectBindTray,
    optionCommand<F::PerfectBindCrease>,
    writePerfectBindPaperSize,
    writePerfectBindPaperProfileId,
    writeChapters,
    writePageSpecificRepeat,
    writeIndexInformation,
    writeTabImageShift,
    optionCommand<F::TabEject>,
    writeColorPatch,
    writeJobInformation,
    writeJobComments,
    writeImageToneCurve,
    writeTextToneCurve,
    optionCommand<F::Resolution>,
    writeImageScreen,
    writeTextScreen,
    optionCommand<F::ScreenDotBlack>,
    optionCommand<F::ScreenFreqBlack>,
    optionCommand<F::ScreenAngleBlack>,
    optionCommand<F::CharacterDensity>,
    optionCommand<F::PrintQuality>,
    optionCommand<F::ImageDensity>,
    optionCommand<F::OutlineMode>,
    optionCommand<F::Thinning>,
    optionCommand<F::Smoothing>,
    optionCommand<F::Enhancement>,
    optionCommand<F::DotLineEmphasis>,
    optionCommand<F::UseCieColor>,
    writeJobForm,
    writeFormRepeat,
    writePageForms,
    writePrependJob,
    writeAppendJob,
    writeImageShift,
    optionCommand<F::PrintPosition>,
    optionCommand<F::CutMarks>,
    optionCommand<F::CutMarkScope>,
    optionCommand<F::CutMarkDuplex>,
    optionCommand<F::CutMarkType>,
    numericCommand<F::CutLength>,
    numericCommand<F::CutMarkHoriShift>,
    numericCommand<F::CutMarkVertShift>,
    writeDateStamp,
    writePageNumbering,
    writeSetNumbering,
    writeCopyGuard,
    optionCommand<F::Tandem>,
    writeSendEmail,
    writeAccountTrack,
    writeHoldAndBox,
    // PDF encryption and the added showpage are known to the controller but
    // never sent in the ticket: their tables mark them so.
    optionCommand<F::EncryptPdf>,
    optionCommand<F::AddShowpage>,
    writeUserAuthentication,
};

}  // namespace

std::span<const TicketWriter> ticketWriters() { return kWriters; }

}  // namespace tvzx::pjl
