// The family's base module as far as tab sheets need it: its
// CreateTabDocument prints the tab document of one tab sheet into a file,
// through the simulated PostScript driver and the plug-in beside it.
#include <exception>
#include <string>

#include "base/tab_document.h"
#include "host/byte_source.h"
#include "host/output_file.h"
#include "host/render_job.h"
#include "platform/module_exports.h"
#include "platform/module_path.h"
#include "platform/path_text.h"
#include "tabs/tab_worker.h"

namespace {

// The plug-in module's file name is the base module's with this ending.
constexpr std::u16string_view kPlugInEnding = u"_ps.dll";
constexpr std::u16string_view kBaseEnding = u".dll";

// Returns the plug-in module beside this base module; empty when this
// module's path cannot be told.
std::string plugInBesideBase(const void* address) {
    std::u16string path = tvzx::platform::modulePath(tvzx::platform::moduleHandleContaining(address));
    if (path.size() <= kBaseEnding.size()) return {};
    path.resize(path.size() - kBaseEnding.size());
    return tvzx::platform::utf8Path(path + std::u16string(kPlugInEnding));
}

}  // namespace

extern "C" TVZX_EXPORT std::int32_t TVZX_STDCALL CreateTabDocument(
    void* printer, const char16_t* printerName, const char16_t* temporaryPath, const char16_t* documentName,
    std::uint32_t jobId, std::uint16_t orientation, std::uint16_t printQuality, std::uint16_t yResolution,
    std::uint16_t scale, std::uint32_t tabInformationSize, const tvzx::tabs::TabInformation* tabInformation,
    std::uint32_t settingsSize, const std::uint8_t* settings, std::uint32_t corePrivateOffset) {
    // The simulated driver plays its own printer and prints the tab document
    // upright, so the printer and the job's page fields are not needed here.
    (void)printer;
    (void)printerName;
    (void)orientation;
    (void)printQuality;
    (void)yResolution;
    (void)scale;
    (void)corePrivateOffset;
    if (temporaryPath == nullptr || tabInformation == nullptr || settings == nullptr) return 0;
    if (tabInformationSize != sizeof(tvzx::tabs::TabInformation) || settingsSize != tvzx::settings::kRecordSize)
        return 0;
    try {
        tvzx::settings::CoreData job;
        std::copy_n(settings, tvzx::settings::kRecordSize, job.bytes.begin());
        const std::uint8_t* information = tabInformation->bytes;
        const std::string label = tabInformation->label != nullptr ? tabInformation->label : "";
        const std::u16string title = documentName != nullptr ? documentName : u"";

        const tvzx::base::TabPaperSettings paper =
            tvzx::base::tabPaperSettings(job, information[tvzx::base::kPaperByte]);
        const tvzx::base::LabelPlacement place = tvzx::base::placeLabel(paper, information[tvzx::base::kTabIndexByte]);
        const std::string document =
            tvzx::base::tabDocument(paper, place, label, tvzx::platform::utf8Path(title));

        tvzx::host::RenderRequest request;
        request.modulePath = plugInBesideBase(reinterpret_cast<const void*>(&CreateTabDocument));
        request.documentName = tvzx::platform::utf8Path(title);
        request.jobId = jobId;
        request.startingSettings = tvzx::base::tabDocumentSettings(job, paper);
        tvzx::host::MemorySource source(document);
        tvzx::host::OutputFile output(tvzx::platform::utf8Path(std::u16string_view(temporaryPath)));
        tvzx::host::renderDocument(request, source, output);
        output.commit();
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}
