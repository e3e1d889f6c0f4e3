// The feature dictionary texts of a job: the settings the plug-in stores in
// TVZXFeatures at setup, the calls of the layout code at the end of setup, on
// every page and in the trailer, and the procedure with the PPD code of the
// output method.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "postscript/injection.h"
#include "rules/page_exceptions.h"
#include "settings/core_data.h"

namespace tvzx::postscript {

// The operating-system family the plug-in reports to the layout code.
inline constexpr std::string_view kSystemName = "(WinNT5)";
// The text whose hexadecimal string marks the end of each page for the layout code.
inline constexpr std::string_view kPageTrailerMarkText = "%%TARVOPAGETRAILER%%";
// Appended to a page text when the job has no page exceptions: no tab sheet
// needs the page-setup callback.
inline constexpr std::string_view kDropEndPageSetupCallBack = "\r\nuserdict /TVZXPluginEndPageSetupCallBack undef\r\n";

// Returns the N-up data: the page size (micrometres, and exact points for a
// custom size the PPD has no name for), the tolerance, the orientation, the
// N-up mode, and the call of the layout code's N-up page procedure.
std::string nUpData(const settings::CoreData& settings);

// Returns the setup text: the feature dictionary made sure of, then the
// version, system, perfect-binding mode, N-up data, zoom, mixed-size mode,
// orientation, custom target paper (only when the target is custom) and tray
// configuration.
std::string setupText(const settings::CoreData& settings);

// Returns the end-of-setup text: the page-trailer mark and the call that ends
// the layout code's setup.
std::string endOfSetupText();

// Returns what the text of every page starts with: the layout code's page
// call and the N-up data.
std::string pageHeadText(const settings::CoreData& settings);

// Returns what follows the page head on page p: the page's paper when the
// job has page exceptions, and the removal of the page-setup callback when
// it has none. `exceptions` is the job's decoded page exception list.
std::string pageTailText(const settings::CoreData& settings, std::span<const rules::PageException> exceptions,
                         std::uint64_t page);

// Returns the text of page p: its head and its tail.
std::string pageText(const settings::CoreData& settings, std::span<const rules::PageException> exceptions,
                     std::uint64_t page);

// Returns the page-trailer text: the layout code's end-of-page call.
std::string pageTrailerText();

// Returns the trailer text: the layout code's end-of-document call.
std::string trailerText();

// Returns the TVZXPlugInSettings procedure made of the non-empty invocation
// codes, one per line, in order; empty when every code is empty.
std::string plugInSettingsText(std::span<const std::string> invocations);

// The feature texts the plug-in writes at the injection points.
class PlugInFeatureTexts final : public FeatureTexts {
public:
    // Returns setupText of the settings.
    std::string setupEntries(const settings::CoreData& settings) override;
    // Returns endOfSetupText.
    std::string endOfSetup(const settings::CoreData& settings) override;
    // Returns pageHeadText of the settings.
    std::string pageHead(const settings::CoreData& settings) override;
    // Returns pageTailText of the settings with their own page exception list.
    std::string pageText(const settings::CoreData& settings, std::uint64_t page) override;
    // Returns whether the settings hold page exceptions, the only source of
    // a text of the page's own.
    bool pageTextVaries(const settings::CoreData& settings) override;
    // Returns pageTrailerText.
    std::string pageTrailer(const settings::CoreData& settings) override;
    // Returns trailerText.
    std::string trailer(const settings::CoreData& settings) override;
    // Returns plugInSettingsText of the codes.
    std::string plugInSettings(std::span<const std::string> invocations) override;
};

}  // namespace tvzx::postscript
