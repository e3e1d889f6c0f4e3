// Ticket commands of image quality, overlays, image shift, stamps and the
// copy guard.
#pragma once

#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// TONECURVE2 and TONECURVE1: the tone curve names.
void writeImageToneCurve(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeTextToneCurve(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// SCREEN2 and SCREEN1: the screens of images and of text and graphics.
void writeImageScreen(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeTextScreen(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// TARVOOVERLAYALL: the form laid over every page.
void writeJobForm(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// TARVOOVERLAYPAGEREPEAT, when the page overlays repeat.
void writeFormRepeat(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// TARVOOVERLAYPAGE1 to 3: the first three page overlays, "<form>:<first>-<last>".
void writePageForms(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// TARVOPREPENDJOB and TARVOAPPENDJOB: stored jobs printed before and after.
void writePrependJob(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeAppendJob(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// IMAGESHIFT with the front and back shifts, gutter and creep.
void writeImageShift(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// The date stamp, page numbering and set numbering.
void writeDateStamp(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writePageNumbering(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeSetNumbering(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// The copy guard pattern.
void writeCopyGuard(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
