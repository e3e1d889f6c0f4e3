// The tab sheets of a job in stream order: at each page setup the sheets of
// that page and the page-setup callback, at each page trailer the pending
// restore, in the trailer the sheets after the document's last page.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "platform/spooler.h"
#include "postscript/injection.h"
#include "tabs/tab_records.h"
#include "tabs/tab_sheet.h"

namespace tvzx::tabs {

// Document names of the tab documents, followed by a blank and the page.
inline constexpr std::string_view kTabAfterDocumentPrefix = "Tab after Document";
// The longest document name a tab document gets.
inline constexpr std::size_t kTabDocumentNameLimit = 255;

// Returns the document name of the tab document for a tab sheet of `page`
// with this prefix.
std::u16string tabDocumentName(std::string_view prefix, std::uint32_t page);

// Fills the exchange fields that come from the job's public DEVMODE:
// orientation, print quality, y resolution and scale where its fields say
// they are set, the defaults otherwise.
void takePublicDevMode(const win::DEVMODEW* devMode, TabExchange& exchange);

class PlugInTabSheets final : public postscript::TabSheets {
public:
    // Produces one tab sheet into the sink and returns whether it was written.
    using SheetMaker = std::function<bool(const TabSheetRequest&, OutputSink&)>;
    // Returns the working directory for the printer (may be null).
    using DirectoryFinder = std::function<std::optional<std::u16string>(void* printer)>;

    // Tab sheets made by the worker of the running system.
    explicit PlugInTabSheets(platform::Spooler& spooler);
    PlugInTabSheets(platform::Spooler& spooler, SheetMaker makeSheet, DirectoryFinder findDirectory);

    std::string setupPreparation(const settings::CoreData& settings) override;
    std::string pageSaveCapture(const settings::CoreData& settings) override;
    bool actsOnPages(const settings::CoreData& settings) override;
    void beginPage(postscript::InjectionContext& context) override;
    void endPage(postscript::InjectionContext& context) override;
    void afterDocument(postscript::InjectionContext& context) override;

private:
    // Makes one sheet; returns whether it was written.
    bool makeSheet(postscript::InjectionContext& context, const std::u16string& printerName, const UsableTab& tab,
                   std::string_view prefix, bool noEject);
    // Returns the name of the job's printer; nothing without a printer handle
    // or when the spooler cannot tell it.
    std::optional<std::u16string> printerNameOf(const postscript::InjectionContext& context);
    // Writes the restore a sheet printed on the page still owes.
    void writePendingRestore(postscript::InjectionContext& context);

    platform::Spooler& spooler_;
    SheetMaker makeSheet_;
    DirectoryFinder findDirectory_;
};

}  // namespace tvzx::tabs
