// Ticket commands of chapters, page-specific settings and tab sheets.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pjl/ticket.h"
#include "rules/page_exceptions.h"
#include "settings/core_data.h"

namespace tvzx::pjl {

// Returns the page ranges of a chapter list: page numbers and ranges
// ("1,5-9,12") separated by commas, semicolons or blanks. Items that are not
// a number or a forward range of numbers from 1 to 65535 are skipped.
std::vector<rules::PageRange> parseChapterPages(std::string_view text);

// CHAPTERMODE and, when on, CHAPTER with every chapter start page.
void writeChapters(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// PERPAGESETPAGEREPEAT, when the page-specific settings repeat.
void writePageSpecificRepeat(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// ZXINDEXINFO1 (inserted sheets) and ZXINDEXINFO2 (page-specific settings).
//
// Both texts start with the binding's PJL value, followed by one item per
// page range of each record, separated by ";":
//   inserted sheets:        INS:<page>:<tray>:<size>:<BLANK|PRINT>
//   page-specific settings: PAGE:<first>-<last>:<tray>:<size>:<f1>:<f2>:<f3>:<f4>
// where <size> is the PJL page size name, CUSTOM for a custom size, and
// <f1> to <f4> are the record's finishing values. A text with no items is
// not written.
void writeIndexInformation(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);
// Returns the two index information texts (empty when there are no items).
std::pair<std::string, std::string> indexInformation(const settings::CoreData& settings,
                                                     const std::vector<rules::PageException>& records);
// TABIMAGESHIFT and, when on, TABIMAGESHIFTINFO.
void writeTabImageShift(std::string& ticket, const settings::CoreData& settings, const TicketInputs&);

}  // namespace tvzx::pjl
