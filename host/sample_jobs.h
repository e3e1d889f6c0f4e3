// The built-in sample jobs: the sample document on its own, and the same
// document with tab sheets printed on a page, inserted before a page and
// placed after the document.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::host {

struct SampleJob {
    std::string_view name;
    std::string_view documentName;
    // The settings the job starts from; nothing for the defaults.
    std::optional<settings::CoreData> settings;
    // Whether the job prints through a printer (tab sheets do).
    bool needsPrinter = false;
};

// The names of the sample jobs, for usage texts.
inline constexpr std::string_view kSampleJobNames = "plain, tabs";

// Returns the sample job of this name; nothing for an unknown name.
std::optional<SampleJob> sampleJob(std::string_view name);

// Returns the page exception list of the tab sample: a printed tab on page 3,
// an inserted tab before page 2, a tab after the document (page 4).
settings::CoreData sampleTabSettings();

// Returns the printer data file the tab sample prints through when none is
// given: the one beside the running program, else the one in the source tree.
std::string samplePrinterDataPath();

}  // namespace tvzx::host
