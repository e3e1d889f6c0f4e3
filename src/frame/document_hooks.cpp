#include "frame/document_hooks.h"

#include <algorithm>

#include "common/base64.h"
#include "common/byte_order.h"
#include "device/device_state.h"
#include "frame/hook_table.h"
#include "settings/private_block.h"

namespace tvzx::frame {
namespace {

using settings::CoreData;
using settings::FieldId;

constexpr char kNonAscii = '?';
constexpr std::size_t kDevmodeSizeOffset = offsetof(win::DEVMODEW, dmSize);
constexpr std::size_t kDriverExtraOffset = offsetof(win::DEVMODEW, dmDriverExtra);

// Returns the 16-bit little-endian number at an offset, when it lies wholly
// inside the bytes.
std::optional<std::uint16_t> readLe16At(std::span<const std::uint8_t> bytes, std::uint64_t offset) {
    if (offset + 2 > bytes.size()) return std::nullopt;
    return static_cast<std::uint16_t>(readLittleEndian(bytes.data() + offset, 2));
}

settings::FieldSet fieldSetOf(FieldId id) {
    settings::FieldSet set;
    set.set(static_cast<std::size_t>(id));
    return set;
}

bool fieldsDiffer(const CoreData& a, const CoreData& b, FieldId id) {
    const auto left = a.field(id);
    const auto right = b.field(id);
    return !std::equal(left.begin(), left.end(), right.begin(), right.end());
}

// Takes the output and identity fields of the job's own parameters into the
// device state: what the job was submitted with wins over what the
// application set since.
void takeJobParameters(const win::DEVOBJ& devObj, device::DeviceState& state, const Environment& environment) {
    if (state.jobId == 0 || state.pageCounter != 0 || devObj.hPrinter == nullptr) return;
    const auto parameters = environment.spooler->jobParameters(devObj.hPrinter, state.jobId);
    if (!parameters || parameters->empty()) return;
    const auto record = recordFromJobParameters(*parameters);
    if (!record) return;
    settings::copySelectedFields(state.settings, *record, device::outputFieldSet());
    settings::copySelectedFields(state.settings, *record, device::identityFieldSet());
}

void keepSurfaceSize(device::DeviceState& state, const win::SURFOBJ& surface) {
    state.bitmapWidth = static_cast<std::uint32_t>(surface.sizlBitmap.cx);
    state.bitmapHeight = static_cast<std::uint32_t>(surface.sizlBitmap.cy);
}

void keepDocumentName(device::DeviceState& state, const win::WCHAR* documentName) {
    state.documentName.fill(u'\0');
    // The last character stays NUL.
    for (std::size_t i = 0; i + 1 < device::kDocumentNameCapacity && documentName[i] != u'\0'; ++i)
        state.documentName[i] = documentName[i];
}

void wakePrinter(const win::DEVOBJ* devObj, const Environment& environment) {
    if (devObj == nullptr || devObj->hPrinter == nullptr) return;
    const auto name = environment.spooler->printerName(devObj->hPrinter);
    if (name && !name->empty()) environment.job->wakePrinter(*name);
}

}  // namespace

std::optional<CoreData> recordFromJobParameters(std::u16string_view parameters) {
    // The parameters are Base64, so only ASCII matters; anything else is
    // skipped by the decoder.
    std::string narrow;
    narrow.reserve(parameters.size());
    for (char16_t c : parameters) narrow.push_back(c < 0x80 ? static_cast<char>(c) : kNonAscii);
    const std::vector<std::uint8_t> decoded = base64Decode(narrow);
    const std::span<const std::uint8_t> bytes(decoded);

    const auto devmodeSize = readLe16At(bytes, kDevmodeSizeOffset);
    const auto driverExtra = readLe16At(bytes, kDriverExtraOffset);
    if (!devmodeSize || !driverExtra) return std::nullopt;
    // The plug-in's block follows the core driver's part when that part is
    // large enough to state its own size; otherwise it follows the public part.
    std::uint64_t blockStart = *devmodeSize;
    if (*driverExtra >= kMinimumExtraForCoreDriverPart) {
        const auto corePartSize = readLe16At(bytes, std::uint64_t{*devmodeSize} + kCoreDriverPartSizeOffset);
        if (!corePartSize) return std::nullopt;
        blockStart += *corePartSize;
    }
    if (blockStart > bytes.size()) return std::nullopt;
    const auto block = bytes.subspan(static_cast<std::size_t>(blockStart));
    if (!settings::isCurrentBlock(block)) return std::nullopt;
    CoreData record;
    std::copy_n(block.begin() + settings::kRecordOffset, settings::kRecordSize, record.bytes.begin());
    return record;
}

void syncJobSettings(win::DEVOBJ* devObj, const Environment& environment) {
    device::DeviceState* state = device::deviceStateOf(devObj);
    if (state == nullptr || state->privateDevmodePresent != 1) return;
    // A DEVMODE brought in step stays so until it or the job's start changes,
    // which forgets the mark; only the job's parameters are still read
    // before the first page.
    if (state->pageCounter != 0 && state->jobSettings.devmodeInStep(devObj)) return;
    CoreData* devmodeSettings = device::currentBlockRecord(device::privateBlockOf(devObj));
    if (devmodeSettings == nullptr) return;

    takeJobParameters(*devObj, *state, environment);

    // The output and identity fields stay those of the start of the job.
    bool rewritten = settings::copySelectedFields(*devmodeSettings, state->settings, device::outputFieldSet());
    rewritten |= settings::copySelectedFields(*devmodeSettings, state->settings, device::identityFieldSet());

    // So do the layout fields; the core driver's options follow a change.
    bool layoutChanged = true;
    if (fieldsDiffer(*devmodeSettings, state->settings, FieldId::NUpCount))
        settings::copySelectedFields(*devmodeSettings, state->settings, fieldSetOf(FieldId::NUpCount));
    else if (fieldsDiffer(*devmodeSettings, state->settings, FieldId::PageSpecificTrays))
        settings::copySelectedFields(*devmodeSettings, state->settings, fieldSetOf(FieldId::PageSpecificTrays));
    else
        layoutChanged = false;
    // The settings built from the old block are out of date.
    if (rewritten || layoutChanged) state->jobSettings.forget();
    // One layout field is taken per run: after a change the next run looks again.
    if (!layoutChanged) {
        state->jobSettings.markDevmodeInStep(devObj);
        return;
    }
    environment.job->writeCoreDriverSelections(*devmodeSettings, devObj->pPublicDM, devObj->hPrinter);
}

win::BOOL TVZX_STDCALL hookStartDoc(win::SURFOBJ* surface, win::WCHAR* documentName, win::DWORD jobId) {
    win::DEVOBJ* devObj = device::deviceObjectOf(surface);
    device::DeviceState* state = device::deviceStateOf(devObj);
    // Whatever fails here, the driver still starts its document.
    try {
        const Environment& environment = frame::environment();
        wakePrinter(devObj, environment);
        if (state != nullptr) {
            if (jobId != 0) state->jobId = jobId;
            if (documentName != nullptr) keepDocumentName(*state, documentName);
            keepSurfaceSize(*state, *surface);
            // A document start may come with other installed options; the
            // settings are built again for it.
            state->jobSettings.forget();
            // Only the first of nested document starts captures the settings.
            if (++state->documentStartCount == 1) {
                const auto block = device::privateBlockOf(devObj);
                state->privateDevmodePresent = block.empty() ? 0 : 1;
                if (!block.empty())
                    std::copy_n(block.begin() + settings::kRecordOffset, settings::kRecordSize,
                                state->settings.bytes.begin());
            }
        }
        syncJobSettings(devObj, environment);
    } catch (...) {
    }
    const auto driver = driverFunction<win::PFN_DrvStartDoc>(state, HookSlot::StartDoc);
    return driver != nullptr ? driver(surface, documentName, jobId) : 0;
}

win::BOOL TVZX_STDCALL hookStartPage(win::SURFOBJ* surface) {
    win::DEVOBJ* devObj = device::deviceObjectOf(surface);
    device::DeviceState* state = device::deviceStateOf(devObj);
    if (state != nullptr) keepSurfaceSize(*state, *surface);
    try {
        syncJobSettings(devObj, environment());
    } catch (...) {
    }
    const auto driver = driverFunction<win::PFN_DrvStartPage>(state, HookSlot::StartPage);
    return driver != nullptr ? driver(surface) : 0;
}

win::BOOL TVZX_STDCALL hookEndDoc(win::SURFOBJ* surface, win::FLONG flags) {
    device::DeviceState* state = device::deviceStateOf(device::deviceObjectOf(surface));
    if (state != nullptr) {
        state->documentName.fill(u'\0');
        state->bitmapWidth = 0;
        state->bitmapHeight = 0;
        // An end without a start must not wrap the count, or the next start
        // would never capture the settings.
        if (state->documentStartCount > 0) --state->documentStartCount;
    }
    const auto driver = driverFunction<win::PFN_DrvEndDoc>(state, HookSlot::EndDoc);
    return driver != nullptr ? driver(surface, flags) : 0;
}

}  // namespace tvzx::frame
