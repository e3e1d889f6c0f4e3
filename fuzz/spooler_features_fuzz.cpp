// The spooler-feature filter on any bytes. The first byte chooses the read
// size. What comes out is never longer than what went in, and everything
// from the first page line on passes unchanged.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "host/byte_source.h"
#include "host/spooler_features.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t chunk = 1 + data[0] % 64;
    const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    tvzx::host::MemorySource memory(document);
    tvzx::host::SpoolerFeatureFilter filter(memory);
    std::string out;
    std::vector<char> buffer(chunk);
    while (const std::size_t got = filter.read(buffer)) out.append(buffer.data(), got);
    require(out.size() <= document.size());
    // The body from the first page line on is the document's own tail.
    const std::size_t page = out.find("%%Page:");
    if (page != std::string::npos && (page == 0 || out[page - 1] == '\n')) {
        const std::string_view body = std::string_view(out).substr(page);
        require(document.ends_with(body));
    }
    return 0;
}
