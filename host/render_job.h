// One print job through the simulated driver: the document streams from its
// source to the output, and the plug-in is called where the PostScript
// driver calls it, with the driver's own prolog and the job's PPD features
// in the setup section.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "byte_source.h"
#include "common/output_sink.h"
#include "dsc_scanner.h"
#include "rules/rule_engine.h"
#include "rules/user_edits.h"
#include "settings/core_data.h"

namespace tvzx::host {

// The printer the host plays.
inline constexpr std::u16string_view kPrinterName = u"TVZX Printer";

// Settings for the job: a text of Name=Value lines, or one assignment.
struct SettingsEdit {
    std::string origin;  // what messages call it: a file name or "--set"
    std::string text;
    bool singleAssignment = false;
};

// How the edits of a job are made.
struct EditOptions {
    rules::EditMode mode = rules::EditMode::ThroughSetters;  // for the single assignments
    // The printer's installed options: applied to the starting record, and
    // consulted by the setters. Nothing for a printer that is not known.
    std::optional<rules::InstalledOptions> installed;
};

struct RenderRequest {
    std::string modulePath;  // empty: defaultModulePath()
    std::string ppdPath;     // empty: defaultPpdPath()
    // The record the job starts from instead of the defaults, before the
    // edits; the plug-in converts it as it converts any stored settings.
    std::optional<settings::CoreData> startingSettings;
    std::vector<SettingsEdit> settings;
    EditOptions edits;
    // Settings the job's DEVMODE changes to before a page (numbered from 1),
    // as an application's ResetDC between pages does.
    std::map<std::uint32_t, std::vector<SettingsEdit>> pageSettings;
    std::string documentName;  // UTF-8
    // The printer the job goes to, opened through the system's spooler
    // (UTF-8); empty: the simulated printer.
    std::string printerName;
    // The registry export file of the printer's data, for a system without
    // a spooler: the printer it describes, named printerName when that is
    // given, is the job's printer. Empty: the simulated printer has no data.
    std::string printerDataPath;
    std::uint32_t jobId = 0;
    // The user the job renders for, as the spooler impersonates them on the
    // rendering thread; nothing: the thread's own user.
    std::optional<std::string> userName;
};

struct RenderResult {
    DscSummary document;
    settings::CoreData settings;  // the job settings the plug-in ran with
    // The plug-in's answer to the application's N-up question: 1 when it
    // lays out the pages itself; nothing when it left the question to the
    // driver.
    std::optional<std::uint32_t> nupAnswer;
};

// Returns the plug-in module the host loads when none is named: the one
// beside the host's file (the program, or the base module that prints tab
// documents), else for a packaged program the package's, else the one
// built with the host.
std::string defaultModulePath();
// Returns the PPD file the host reads when none is named: the one beside the
// host's file, else for a packaged program the package's, else the one
// shipped in the source tree.
std::string defaultPpdPath();

// Edits a record as a job's settings are edited: the printer's installed
// options first, then the saved settings texts as they stand, in order, then
// the single assignments in order, each as a user's edit. Returns what the
// rules changed besides the settings the assignments named. Throws
// HostError naming the edit and the refused line.
std::vector<rules::RuleChange> applySettingsEdits(settings::CoreData& record, const std::vector<SettingsEdit>& edits,
                                                  const EditOptions& options = {});

// Renders the document into the output. Returns what the document held and
// the settings used. Throws HostError (DocumentRefused for a document
// without the structure it needs); the output then holds a partial job.
RenderResult renderDocument(const RenderRequest& request, ByteSource& input, OutputSink& output);

}  // namespace tvzx::host
