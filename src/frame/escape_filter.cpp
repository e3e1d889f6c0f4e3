#include "frame/escape_filter.h"

#include <cstring>
#include <optional>

#include "common/byte_order.h"
#include "frame/environment.h"
#include "frame/hook_table.h"
#include "device/job_settings.h"
#include "device/layout_override.h"

namespace tvzx::frame {
namespace {

constexpr std::uint32_t kDwordSize = 4;
constexpr win::ULONG kNotSupported = 0;
constexpr win::ULONG kAnswered = 1;

// Returns whether the printer declines the pass-through escapes; false when
// the value cannot be read.
bool declinesPassThrough(win::HANDLE printer, const Environment& environment) noexcept {
    try {
        const auto data = environment.spooler->printerData(printer);
        if (!data) return false;
        const auto value = data->read(kDeclinePassThroughValue);
        if (!value || value->data.size() != kDwordSize) return false;
        return readLe32(value->data.data()) != 0;
    } catch (...) {
        return false;
    }
}

// Returns the escape a support query asks about, read in the width of its
// input; nothing for a width the query cannot have.
std::optional<std::uint64_t> queriedEscape(win::ULONG inSize, const void* in) {
    switch (inSize) {
        case 1:
        case 2:
        case 4:
        case 8: return readLittleEndian(static_cast<const std::uint8_t*>(in), inSize);
        default: return std::nullopt;
    }
}

bool isPassThroughEscape(std::uint64_t escape) {
    return escape == win::POSTSCRIPT_PASSTHROUGH || escape == win::POSTSCRIPT_DATA ||
           escape == win::POSTSCRIPT_IGNORE || escape == win::POSTSCRIPT_IDENTIFY;
}

bool isNupQuery(win::ULONG escape, win::ULONG inSize, const void* in, win::ULONG outSize, const void* out) {
    return escape == win::GET_PS_FEATURESETTING && inSize == kDwordSize && in != nullptr &&
           readLe32(static_cast<const std::uint8_t*>(in)) == win::FEATURESETTING_NUP && outSize == kDwordSize &&
           out != nullptr;
}

}  // namespace

win::ULONG TVZX_STDCALL hookEscape(win::SURFOBJ* surface, win::ULONG escape, win::ULONG inSize, void* in,
                                   win::ULONG outSize, void* out) {
    const Environment& environment = frame::environment();
    win::DEVOBJ* devObj = device::deviceObjectOf(surface);
    device::DeviceState* state = device::deviceStateOf(devObj);

    if (escape == win::QUERYESCSUPPORT && devObj != nullptr && devObj->hPrinter != nullptr && in != nullptr &&
        declinesPassThrough(devObj->hPrinter, environment)) {
        const auto queried = queriedEscape(inSize, in);
        if (queried && isPassThroughEscape(*queried)) return kNotSupported;
    }

    // The application is told to print one page per sheet when the plug-in
    // does the page layout itself.
    if (isNupQuery(escape, inSize, in, outSize, out) && device::currentBlockRecord(device::privateBlockOf(devObj)) != nullptr) {
        try {
            const device::JobSettings job = device::currentJobSettings(devObj, *environment.job);
            if (device::updateLayoutOverride(devObj->pPublicDM, &job.record, state, *environment.job) == 1) {
                writeLe32(static_cast<std::uint8_t*>(out), 1);
                return kAnswered;
            }
        } catch (...) {
        }
    }

    const auto driver = driverFunction<win::PFN_DrvEscape>(state, HookSlot::Escape);
    return driver != nullptr ? driver(surface, escape, inSize, in, outSize, out) : kNotSupported;
}

}  // namespace tvzx::frame
