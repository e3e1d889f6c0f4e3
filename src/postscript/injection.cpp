#include "postscript/injection.h"

#include <array>
#include <cstring>
#include <memory>
#include <new>
#include <optional>

#include "device/job_settings.h"
#include "device/layout_override.h"
#include "device/module_state.h"
#include "common/wide_text.h"
#include "pjl/ticket.h"
#include "platform/user_account.h"
#include "postscript/dsc_comments.h"
#include "ppd/feature_selections.h"
#include "settings/feature_tables.h"

namespace tvzx::postscript {
namespace {

using settings::CoreData;

// What one call of the dispatcher works with.
struct Call {
    win::DEVOBJ* devObj;
    device::DeviceState* state;
    const device::JobSettings& job;
    OutputSink* sink;
    CoreHelper* core;
    const InjectionServices& services;

    // Whether the driver helper and a device object are there to write for.
    bool helper() const { return sink != nullptr && devObj != nullptr; }
    const CoreData& settings() const { return job.record; }
};

// Writes one text as one piece; an empty text is not written.
void writeText(OutputSink& sink, std::string_view text) {
    if (!text.empty()) sink.write(text);
}

std::optional<std::string> presentWhenNonEmpty(std::string text) {
    if (text.empty()) return std::nullopt;
    return text;
}

std::u16string_view documentNameOf(const device::DeviceState* state) {
    if (state == nullptr) return {};
    return untilNul(state->documentName.data(), device::kDocumentNameCapacity);
}

bool startsWith(std::u16string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (text[i] != static_cast<unsigned char>(prefix[i])) return false;
    return true;
}

// Returns the kept value, built first when there is none yet.
template <typename Value, typename Build>
const Value& kept(std::optional<Value>& slot, Build build) {
    if (!slot) slot = build();
    return *slot;
}

// Returns the user's name, asked once a document: the spooler prints a job
// on behalf of one user from its start to its end.
const std::string& userName(const Call& call) {
    return kept(call.job.userName, [&] { return call.services.identity.userName(); });
}

// Returns the job ticket with the document and user names and the given
// notification identifier (absent when empty).
std::string jobTicket(const Call& call, std::string notificationId) {
    pjl::TicketInputs inputs;
    inputs.documentName = presentWhenNonEmpty(utf8FromUtf16(documentNameOf(call.state)));
    inputs.userName = presentWhenNonEmpty(userName(call));
    inputs.driverJobId = presentWhenNonEmpty(std::move(notificationId));
    return pjl::buildJobTicket(call.settings(), inputs);
}

void clearJobProgress(device::DeviceState* state) {
    if (state == nullptr) return;
    state->pageCounter = 0;
    state->restorePending = 0;
}

void beginStream(Call& call) {
    clearJobProgress(call.state);
    // The opening line belongs to the ticket, which every job with the
    // driver's helper gets (it always names its character set).
    if (!call.helper()) return;
    call.sink->write(std::string(kUniversalExit) + std::string(kPjlLine));
}

void beforePostScriptHeader(Call& call) {
    if (!call.helper()) return;
    std::string notificationId;
    if (call.devObj->hPrinter != nullptr) {
        const std::u16string printerName = call.services.spooler.printerName(call.devObj->hPrinter).value_or(u"");
        notificationId = call.services.identity.notificationId(printerName, documentNameOf(call.state));
    }
    const std::string ticket = jobTicket(call, std::move(notificationId));
    if (ticket.empty()) return;
    call.sink->write(ticket);
    call.sink->write(kEnterPostScript);
}

void headerComments(Call& call) {
    if (call.helper()) writeText(*call.sink, jobSettingsComments(call.settings()));
    const std::u16string_view documentName = documentNameOf(call.state);
    // The jobs that print tab sheets are recognised by their document names;
    // the device counts as one until it is disabled.
    if (call.state != nullptr && call.devObj != nullptr && !documentName.empty() &&
        (startsWith(documentName, kPrintedTabDocumentPrefix) || startsWith(documentName, kInsertedTabDocumentPrefix)))
        device::markTabDocument(*call.state);
    if (!call.helper()) return;
    if (!documentName.empty()) writeText(*call.sink, shortComment(kTitleKey, utf8FromUtf16(documentName)));
    const std::string& user = userName(call);
    if (!user.empty()) writeText(*call.sink, shortComment(kUserKey, user));
}

// Writes the procedure with the PPD code of the output method, once per job:
// only before the first page and only when the block does not forbid it.
void plugInSettingsProcedure(Call& call) {
    if (call.core == nullptr || !call.helper() || call.state == nullptr) return;
    if (call.state->pageCounter != 0 || call.job.suppressesSettingsProcedure) return;
    std::vector<std::string> invocations;
    for (const PpdSelection& selection : outputFieldSelections(call.settings())) {
        std::string code = fetchInvocation(*call.core, call.devObj, selection);
        if (!code.empty()) invocations.push_back(std::move(code));
    }
    writeText(*call.sink, call.services.texts.plugInSettings(invocations));
}

void beginSetup(Call& call) {
    if (call.helper()) {
        writeText(*call.sink, call.services.tabs.setupPreparation(call.settings()));
        std::array<char, kBitmapSizeLineLimit> line;
        if (call.state != nullptr)
            writeText(*call.sink, formatBitmapSizeLine(line, call.state->bitmapWidth, call.state->bitmapHeight));
        writeText(*call.sink, call.services.texts.setupEntries(call.settings()));
    }
    plugInSettingsProcedure(call);
}

void endSetup(Call& call) {
    if (call.helper()) writeText(*call.sink, call.services.texts.endOfSetup(call.settings()));
}

void trailer(Call& call) {
    // The trailer call needs no device object; the tab sheets decide for
    // themselves what they need.
    if (call.sink == nullptr || call.state == nullptr) return;
    writeText(*call.sink, call.services.texts.trailer(call.settings()));
    InjectionContext context{call.devObj, call.state, call.settings(), *call.sink};
    call.services.tabs.afterDocument(context);
}

void endStream(Call& call) {
    clearJobProgress(call.state);
    if (!call.helper()) return;
    if (jobTicket(call, {}).empty()) return;
    call.sink->write(kUniversalExit);
}

// Returns whether the tab sheets act on the job's pages; asked once a job.
bool tabsActOnPages(const Call& call) {
    return kept(call.job.tabsActOnPages, [&] { return call.services.tabs.actsOnPages(call.settings()); });
}

void beginPageSetup(Call& call) {
    if (call.state != nullptr) ++call.state->pageCounter;
    if (!call.helper() || call.state == nullptr) return;
    writeText(*call.sink, kept(call.job.pageSaveCapture,
                                   [&] { return call.services.tabs.pageSaveCapture(call.settings()); }));
    const std::string& head =
        kept(call.job.pageHead, [&] { return call.services.texts.pageHead(call.settings()); });
    // A text of the page's own is built for each page; one that is the same
    // on every page, once a job.
    const auto pageTail = [&] { return call.services.texts.pageText(call.settings(), call.state->pageCounter); };
    const bool varies = kept(call.job.pageTextVaries, [&] { return call.services.texts.pageTextVaries(call.settings()); });
    const std::string ownTail = varies ? pageTail() : std::string();
    const std::string& tail = varies ? ownTail : kept(call.job.pageTail, pageTail);
    // The page's texts go out as they stand, without a copy joining them.
    std::array<char, kBitmapSizeLineLimit> line;
    writeText(*call.sink, formatBitmapSizeLine(line, call.state->bitmapWidth, call.state->bitmapHeight));
    writeText(*call.sink, head);
    writeText(*call.sink, tail);
    if (!tabsActOnPages(call)) return;
    InjectionContext context{call.devObj, call.state, call.settings(), *call.sink};
    call.services.tabs.beginPage(context);
}

void pageTrailer(Call& call) {
    if (!call.helper() || call.state == nullptr) return;
    if (tabsActOnPages(call)) {
        InjectionContext context{call.devObj, call.state, call.settings(), *call.sink};
        call.services.tabs.endPage(context);
    }
    writeText(*call.sink, kept(call.job.pageTrailer, [&] { return call.services.texts.pageTrailer(call.settings()); }));
}

}  // namespace

std::string FeatureTexts::setupEntries(const CoreData&) { return {}; }
std::string FeatureTexts::endOfSetup(const CoreData&) { return {}; }
std::string FeatureTexts::pageHead(const CoreData&) { return {}; }
std::string FeatureTexts::pageText(const CoreData&, std::uint64_t) { return {}; }
bool FeatureTexts::pageTextVaries(const CoreData&) { return true; }
std::string FeatureTexts::pageTrailer(const CoreData&) { return {}; }
std::string FeatureTexts::trailer(const CoreData&) { return {}; }

std::string FeatureTexts::plugInSettings(std::span<const std::string> invocations) {
    std::string body;
    for (const std::string& code : invocations)
        if (!code.empty()) body += code + "\r\n";
    if (body.empty()) return {};
    return std::string(kFeatureDictionary) + " /" + std::string(kPlugInSettingsKey) + " {\r\n" + body +
           "} bind executeonly put\r\n";
}

std::string TabSheets::setupPreparation(const CoreData&) { return {}; }
std::string TabSheets::pageSaveCapture(const CoreData&) { return {}; }
bool TabSheets::actsOnPages(const CoreData&) { return true; }
void TabSheets::beginPage(InjectionContext&) {}
void TabSheets::endPage(InjectionContext&) {}
void TabSheets::afterDocument(InjectionContext&) {}

std::string JobIdentity::notificationId(std::u16string_view, std::u16string_view) { return {}; }

std::string JobIdentity::userName() { return std::string(withoutDomain(platform::currentUserName())); }

std::vector<PpdSelection> outputFieldSelections(const CoreData& settings) {
    // The PPD mapping, restricted to the output fields.
    std::vector<PpdSelection> selections;
    for (ppd::FeatureSelection& selection : ppd::featureSelections(settings, &device::outputFieldSet()))
        selections.emplace_back(std::move(selection.keyword), std::move(selection.option));
    return selections;
}

std::string_view withoutDomain(std::string_view userName) {
    const std::size_t backslash = userName.rfind('\\');
    return backslash == std::string_view::npos ? userName : userName.substr(backslash + 1);
}

std::string fetchInvocation(CoreHelper& core, win::DEVOBJ* devObj, const PpdSelection& selection) {
    const std::string attribute(kInvocationAttribute);
    // First the size: the helper answers "out of memory" with the size it needs.
    win::DWORD dataType = 0;
    win::DWORD needed = 0;
    const win::HRESULT probe = core.getOptionAttribute(devObj, selection.first.c_str(), selection.second.c_str(),
                                                       attribute.c_str(), &dataType, nullptr, 0, &needed);
    if (probe != win::E_OUTOFMEMORY || dataType != win::kADT_BINARY || needed == 0) return {};
    try {
        // One byte more than asked for keeps the code NUL-terminated whatever
        // the helper writes.
        std::vector<std::uint8_t> buffer(static_cast<std::size_t>(needed) + 1, 0);
        win::DWORD written = 0;
        if (!win::succeeded(core.getOptionAttribute(devObj, selection.first.c_str(), selection.second.c_str(),
                                                    attribute.c_str(), &dataType, buffer.data(), needed, &written)))
            return {};
        const char* text = reinterpret_cast<const char*>(buffer.data());
        return std::string(text, strnlen(text, needed));
    } catch (const std::bad_alloc&) {
        return {};
    }
}

win::HRESULT dispatch(win::DEVOBJ* devObj, std::uint32_t index, OutputSink* driverHelper, CoreHelper* coreHelper,
                      win::DWORD* result, const InjectionServices& services) {
    device::DeviceState* state = device::deviceStateOf(devObj);
    // The device keeps its settings between calls and builds them again when
    // what they derive from changes; the core driver's layout flag is kept
    // in step with them.
    std::unique_ptr<device::JobSettings> unkept;
    if (state == nullptr) unkept = std::make_unique<device::JobSettings>(device::currentJobSettings(devObj, services.job));
    const device::JobSettings& job = state != nullptr ? state->jobSettings.current(devObj, services.job) : *unkept;
    if (job.fromPrivateBlock) device::updateLayoutOverride(devObj->pPublicDM, &job.record, state, services.job);
    Call call{devObj, state, job, driverHelper, coreHelper, services};

    void (*handler)(Call&) = nullptr;
    switch (index) {
        case win::PSINJECT_BEGINSTREAM: handler = beginStream; break;
        case win::PSINJECT_PSADOBE: handler = beforePostScriptHeader; break;
        case win::PSINJECT_COMMENTS: handler = headerComments; break;
        case win::PSINJECT_BEGINSETUP: handler = beginSetup; break;
        case win::PSINJECT_ENDSETUP: handler = endSetup; break;
        case win::PSINJECT_TRAILER: handler = trailer; break;
        case win::PSINJECT_ENDSTREAM: handler = endStream; break;
        case win::PSINJECT_BEGINPAGESETUP: handler = beginPageSetup; break;
        case win::PSINJECT_PAGETRAILER: handler = pageTrailer; break;
        default: break;
    }
    if (result != nullptr) *result = handler != nullptr ? 0 : win::ERROR_NOT_SUPPORTED;
    if (handler != nullptr) handler(call);
    return win::S_OK;
}

}  // namespace tvzx::postscript
