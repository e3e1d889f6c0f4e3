// The driver's conversion and merge requests on an arbitrary private block.
// The block lies in the driver extra of a public DEVMODE, as the driver keeps
// it, and its own size field is whatever the input holds: a block may claim
// more than the DEVMODE holds. A stored description is offered for whatever
// hash it carries.
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
    if (size < 2) return 0;
    const bool merge = (data[0] & 1) != 0;
    // The driver extra counts its bytes in 16 bits.
    const std::size_t blockSize = std::min<std::size_t>(size - 1, 0xFFFF);
    std::vector<std::uint8_t> devmodeBytes(sizeof(win::DEVMODEW) + blockSize);
    auto& holder = *reinterpret_cast<win::DEVMODEW*>(devmodeBytes.data());
    holder.dmSize = sizeof(win::DEVMODEW);
    holder.dmDriverExtra = static_cast<win::WORD>(blockSize);
    std::uint8_t* input = devmodeBytes.data() + sizeof(win::DEVMODEW);
    std::copy_n(data + 1, blockSize, input);

    platform::MemoryPrinterData printerData;
    if (blockSize >= settings::kBaseHeaderSize) {
        const std::string wrapped = settings::writeDescription();
        printerData.set(std::string(settings::kDescriptionValuePrefix) + hexBytesText(readLe32(input + 8)),
                        {win::REG_BINARY, std::vector<std::uint8_t>(wrapped.begin(), wrapped.end())});
    }
    settings::BasicDevModeServices services(&printerData);

    std::vector<std::uint8_t> output(settings::kPrivateBlockSize);
    win::OEMDMPARAM param{};
    param.pOEMDMOut = output.data();
    param.cbBufSize = static_cast<win::DWORD>(output.size());
    settings::devModeCallback(win::OEMDM_DEFAULT, &param, services);
    param.pPublicDMIn = &holder;
    param.pOEMDMIn = input;
    settings::devModeCallback(merge ? win::OEMDM_MERGE : win::OEMDM_CONVERT, &param, services);
    return 0;
}
