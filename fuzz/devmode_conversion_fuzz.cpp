// The driver's conversion and merge requests on an arbitrary private block.
// The block's own size field is kept within the bytes given, as the driver
// guarantees; a stored description is offered for whatever hash it carries.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "common/hex_text.h"
#include "settings/devmode.h"
#include "settings/private_block.h"
#include "settings/text_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx;
    if (size < 5) return 0;
    const bool merge = (data[0] & 1) != 0;
    std::vector<std::uint8_t> input(data + 1, data + size);
    const std::uint32_t stated = std::min<std::uint32_t>(readLe32(input.data()), static_cast<std::uint32_t>(input.size()));
    writeLe32(input.data(), stated);

    platform::MemoryPrinterData printerData;
    if (input.size() >= settings::kBaseHeaderSize) {
        const std::string wrapped = settings::writeDescription();
        printerData.set(std::string(settings::kDescriptionValuePrefix) + hexBytesText(readLe32(input.data() + 8)),
                        {win::REG_BINARY, std::vector<std::uint8_t>(wrapped.begin(), wrapped.end())});
    }
    settings::BasicDevModeServices services(&printerData);

    std::vector<std::uint8_t> output(settings::kPrivateBlockSize);
    win::OEMDMPARAM param{};
    param.pOEMDMOut = output.data();
    param.cbBufSize = static_cast<win::DWORD>(output.size());
    settings::devModeCallback(win::OEMDM_DEFAULT, &param, services);
    param.pOEMDMIn = input.data();
    settings::devModeCallback(merge ? win::OEMDM_MERGE : win::OEMDM_CONVERT, &param, services);
    return 0;
}
