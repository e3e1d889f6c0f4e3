// The job parameters' Base64 DEVMODE as the spooler hands it over: any text,
// read as UTF-16 code units.
#include <cstddef>
#include <cstdint>
#include <string>

#include "frame/document_hooks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::u16string parameters;
    parameters.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2) parameters += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    (void)tvzx::frame::recordFromJobParameters(parameters);
    // The same bytes read as plain ASCII Base64, the common case.
    const std::u16string ascii(data, data + size);
    (void)tvzx::frame::recordFromJobParameters(ascii);
    return 0;
}
