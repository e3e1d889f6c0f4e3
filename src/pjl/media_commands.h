// Ticket commands of the paper the job prints on and of the header page.
#pragma once

#include <optional>
#include <string>

#include "pjl/ticket.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// The media settings of one paper source or paper profile. A profile carries
// no weight unit: it has none.
struct MediaFields {
    settings::FieldId type;
    settings::FieldId weight;
    settings::FieldId color;
    settings::FieldId colorName;
    settings::FieldId prepunched;
    std::optional<settings::FieldId> weightUnit;
};

// Returns the media settings of the paper actually used: the main paper
// profile when one is chosen, else those of the chosen paper source.
MediaFields effectiveMainPaper(const settings::CoreData& settings);

// Returns the media settings of a tray by the name of its option
// ("Auto", "Tray1" to "Tray5", "PITray1", "PITray2", "MBT"); nothing for a
// source without media settings.
std::optional<MediaFields> trayMedia(std::string_view tray);

// Returns the PJL names of a media type, weight and colour held as option
// indices of the media tables (NOSET for what the tables do not know).
std::string mediaTypeName(std::uint32_t index);
std::string mediaWeightName(std::uint32_t index);
std::string mediaColorName(std::uint32_t index, std::string_view customName);

// MEDIATYPE, MEDIAWEIGHT, MEDIACOLOR, MEDIACOLORNAME, MEDIAPREPUNCHED and
// MEDIAWEIGHTUNIT of the effective main paper.
void writeMediaType(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeMediaWeight(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeMediaColor(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeMediaColorName(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeMediaPrepunched(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
void writeMediaWeightUnit(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// HEADERPAGE and HEADERPAGETRAY.
void writeHeaderPage(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
