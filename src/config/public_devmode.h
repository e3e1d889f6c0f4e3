// Taking the public DEVMODE into the job settings: orientation, paper source,
// paper size, resolution and copies, as applications set them, become the
// record's Orientation, InputSlot, PageSize (or a custom size), Resolution and
// NumCopies. Only fields flagged in dmFields are taken; the values go through
// the rules engine so that dependent settings follow.
//
// Paper: the size in tenths of a millimetre comes from dmPaperWidth and
// dmPaperLength, else for the PostScript custom size code 32767 from the
// custom size the core driver keeps at the end of a DEVMODE of at least 380
// bytes (two 32-bit micrometre sizes at bytes 372 and 376), else from the
// form of the DEVMODE's form name or paper code. The paper is matched in this
// order: a paper code of the paper table; a form name equal to the localized
// name of a PageSize option of the same size; equal dimensions (for codes 1
// to 117 those of the Windows paper of that code); otherwise it becomes the
// custom size with the form's name and a paper-size source taken from the
// remembered custom papers.
//
// Resolution: the pairs (600, 600) and (1200, 1200) of dmPrintQuality and
// dmYResolution select "600dpi" and "1200dpi"; other pairs change nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "config/bin_names.h"
#include "config/printer_access.h"
#include "config/printer_values.h"
#include "platform/windows_types.h"
#include "rules/rule_engine.h"
#include "settings/core_data.h"

namespace tvzx::config {

// The PostScript driver's paper code for a custom page size.
inline constexpr std::int16_t kPostScriptCustomPaper = 32767;
// A DEVMODE this long carries the core driver's custom size at its end.
inline constexpr std::size_t kCustomSizeDevmodeBytes = 380;
inline constexpr std::size_t kCustomWidthOffset = 372;
inline constexpr std::size_t kCustomHeightOffset = 376;
inline constexpr std::int16_t kLandscapeOrientation = 2;

// What the printer tells about trays and papers.
struct PrinterPaperFacts {
    rules::InstalledOptions installed{};
    PrinterBins bins;
    std::vector<std::u16string> publishedBinNames;
    std::vector<Form> forms;  // the spooler's list, else the built-in papers
    std::vector<CustomPaper> customPapers;
    int languageIndex = 0;    // language of the localized paper and tray names
};

// Returns what the printer tells, reading only what the DEVMODE's flagged
// fields need.
PrinterPaperFacts readPrinterPaperFacts(const PrinterAccess& printer, const win::DEVMODEW& devmode);

// Returns the values of the flagged fields that reach the record. The
// DEVMODE must be readable for dmSize + dmDriverExtra bytes.
rules::PublicSettings publicSettingsOf(const win::DEVMODEW& devmode, const PrinterPaperFacts& facts);

// Takes the public DEVMODE into the record through the rules engine;
// returns whether the record changed. Without a DEVMODE nothing happens.
bool takePublicDevmode(settings::CoreData& record, const win::DEVMODEW* devmode, const PrinterAccess& printer,
                       settings::FieldSet* changed = nullptr);

}  // namespace tvzx::config
