// Ticket commands of orientation, paper and output paper, scaling, poster
// overlap, page loops and copies.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// ORIENTATION: the orientation the printed sheet takes after perfect
// binding or N-up imposition.
void writeOrientation(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PAPERPROFILEID, when a main paper profile is chosen.
void writePaperProfileId(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PAGELOOP for booklet splitting.
void writeBookletSplitting(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// OVERLAPWIDTH and OVERLAPHEIGHT of divided posters.
void writeOverlapWidth(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeOverlapHeight(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// OUTPUTPAPER and, for a custom size, its width and height.
void writeOutputPaper(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeOutputPaperWidth(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeOutputPaperHeight(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// FITTOPAPER and SCALE: the imposition is the plug-in's, so the controller
// neither fits nor scales.
void writeFitToPaper(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeScale(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// COPIES (grouped output) or QTY (sorted output).
void writeCopies(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PAGELOOP for divided output.
void writeDivideOutput(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

// The target paper index that stands for a custom size.
inline constexpr std::uint32_t kCustomTargetPaper = 27;

// Returns the target paper index the job prints on: the target size, or the
// size of the chosen main paper profile when the target leaves it open.
std::uint32_t effectiveTargetPaper(const settings::CoreData& settings);

}  // namespace tvzx::pjl
