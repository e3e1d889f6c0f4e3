// The injection-point dispatcher: what the plug-in adds to the PostScript
// stream each time the driver calls it at one of its injection points, in
// which order and under which settings. The texts themselves come from the
// providers below; the dispatcher is the timetable.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/output_sink.h"
#include "device/device_state.h"
#include "device/job_services.h"
#include "platform/com_abi.h"
#include "platform/spooler.h"
#include "settings/core_data.h"

namespace tvzx::postscript {

// The stream framing around the job.
inline constexpr std::string_view kUniversalExit = "\x1b%-12345X";
inline constexpr std::string_view kPjlLine = "@PJL\r\n";
inline constexpr std::string_view kEnterPostScript = "@PJL ENTER LANGUAGE = POSTSCRIPT\r\n";
// Document names of the jobs that print tab sheets themselves.
inline constexpr std::string_view kPrintedTabDocumentPrefix = "Printed Tab on";
inline constexpr std::string_view kInsertedTabDocumentPrefix = "Inserted Tab before";
// The PPD attribute that holds an option's PostScript code.
inline constexpr std::string_view kInvocationAttribute = "Invocation";
inline constexpr std::string_view kFeatureDictionary = "TVZXFeatures";
inline constexpr std::string_view kPlugInSettingsKey = "TVZXPlugInSettings";

// Everything one injection writes or reads about the job.
struct InjectionContext {
    win::DEVOBJ* devObj;         // may be null
    device::DeviceState* state;   // may be null
    const settings::CoreData& settings;
    OutputSink& sink;
};

// The dictionary entries, procedure calls and texts of the PostScript
// output. Every text is empty by default, and depends on its arguments alone.
class FeatureTexts {
public:
    virtual ~FeatureTexts() = default;
    // Returns the setup dictionary entries, written after the bitmap-size line.
    virtual std::string setupEntries(const settings::CoreData& settings);
    // Returns the end-of-setup text.
    virtual std::string endOfSetup(const settings::CoreData& settings);
    // Returns the part of every page's procedure text that is the same on
    // every page, written after the bitmap-size line. Built once per job.
    virtual std::string pageHead(const settings::CoreData& settings);
    // Returns the rest of the page procedure text of a page, written after
    // the page head.
    virtual std::string pageText(const settings::CoreData& settings, std::uint64_t page);
    // Returns whether pageText can differ from page to page for a job of
    // these settings; when not, the first page's is kept for the job. True
    // unless the texts know better.
    virtual bool pageTextVaries(const settings::CoreData& settings);
    // Returns the page-trailer call. Built once per job.
    virtual std::string pageTrailer(const settings::CoreData& settings);
    // Returns the trailer call.
    virtual std::string trailer(const settings::CoreData& settings);
    // Returns the procedure that holds the invocation codes of the output
    // method options: one line per non-empty code; empty when there is none.
    virtual std::string plugInSettings(std::span<const std::string> invocations);
};

// Tab sheets in the stream. Nothing is written by default.
class TabSheets {
public:
    virtual ~TabSheets() = default;
    // Returns the tab-page preparation of the setup section; empty unless the
    // job has tab sheets and the tab image is not shifted.
    virtual std::string setupPreparation(const settings::CoreData& settings);
    // Returns the page-save capture text; empty unless the job has tab sheets.
    virtual std::string pageSaveCapture(const settings::CoreData& settings);
    // Returns whether beginPage and endPage can write anything for a job of
    // these settings; they are not called for its pages when not. True
    // unless a kind of sheets knows better.
    virtual bool actsOnPages(const settings::CoreData& settings);
    // Writes the tab sheets that belong to the current page and the
    // page-setup callback.
    virtual void beginPage(InjectionContext& context);
    // Writes the fix call and any pending restore at the page trailer.
    virtual void endPage(InjectionContext& context);
    // Writes the tab sheets that follow the document's last page.
    virtual void afterDocument(InjectionContext& context);
};

// Who and what the job is, as the ticket and the comments name it.
class JobIdentity {
public:
    virtual ~JobIdentity() = default;
    // Returns the job notification identifier for the printer, announced to
    // the notification module; empty when there is none.
    virtual std::string notificationId(std::u16string_view printerName, std::u16string_view documentName);
    // Returns the logged-on user's name in UTF-8 without its domain part;
    // empty when it cannot be read.
    virtual std::string userName();
};

// The core driver's helper, as far as the dispatcher asks it.
class CoreHelper {
public:
    virtual ~CoreHelper() = default;
    // Asks for one attribute of one PPD option, as the core driver answers it.
    virtual win::HRESULT getOptionAttribute(win::DEVOBJ* devObj, const char* feature, const char* option,
                                            const char* attribute, win::DWORD* dataType, std::uint8_t* buffer,
                                            win::DWORD size, win::DWORD* needed) = 0;
};

struct InjectionServices {
    device::JobServices& job;
    platform::Spooler& spooler;
    FeatureTexts& texts;
    TabSheets& tabs;
    JobIdentity& identity;
};

// One PPD feature selection: feature keyword and option keyword.
using PpdSelection = std::pair<std::string, std::string>;

// Returns the PPD selections of the output fields, in field order; a field
// without a feature keyword or option keyword gives no selection.
std::vector<PpdSelection> outputFieldSelections(const settings::CoreData& settings);

// Returns the name with everything up to and including its last backslash
// removed.
std::string_view withoutDomain(std::string_view userName);

// Returns the invocation code of one PPD option, asked of the core helper in
// two steps (size, then data); empty when either step fails.
std::string fetchInvocation(CoreHelper& core, win::DEVOBJ* devObj, const PpdSelection& selection);

// Acts on one injection point. `driverHelper` is where the bytes go (null
// when the driver gave no helper); `coreHelper` may be null; `result`, when
// not null, receives 0 for a handled index and ERROR_NOT_SUPPORTED for any
// other. Always returns S_OK.
win::HRESULT dispatch(win::DEVOBJ* devObj, std::uint32_t index, OutputSink* driverHelper, CoreHelper* coreHelper,
                      win::DWORD* result, const InjectionServices& services);

}  // namespace tvzx::postscript
