// The host's PPD reader on any bytes: a file it accepts answers every
// question about its features without fault, and a file it refuses is
// refused with the host's own error, never a crash.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/host_error.h"
#include "host/ppd_file.h"

namespace {

// A few of the features the host asks about, and options of them.
constexpr std::string_view kFeatures[] = {"PageSize", "PageRegion", "ZVOpCreator", "Duplex", "CustomPageSize"};
constexpr std::string_view kOptions[] = {"A4", "Custom", "True", "None", ""};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const tvzx::host::PpdFile ppd = tvzx::host::PpdFile::fromText(text, "fuzz.ppd");
        for (const std::string_view feature : kFeatures) {
            (void)ppd.defaultOption(feature);
            for (const std::string_view option : kOptions) (void)ppd.invocation(feature, option);
        }
    } catch (const tvzx::host::HostError&) {
        // Refused input is an answer too.
    }
    return 0;
}
