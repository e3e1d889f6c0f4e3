// The tab sheet body extraction on arbitrary tab documents, read through a
// file that hands out its bytes in uneven pieces. The body must not depend on
// how the file is read: pieces chosen by the input, single bytes and the
// whole file at once all give the same result.
//
// Input: one byte whose low two bits give the number of piece sizes (1 to
// 4), that many size bytes, then the document.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "tabs/body_extraction.h"

namespace {

// A file whose reads return at most the next size of a repeating list.
class PiecewiseFile final : public tvzx::platform::ReadableFile {
public:
    PiecewiseFile(std::span<const std::uint8_t> bytes, std::vector<std::size_t> pieces)
        : bytes_(bytes), pieces_(std::move(pieces)) {}
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override {
        const std::size_t piece = pieces_[next_++ % pieces_.size()];
        const std::size_t count = std::min({capacity, piece, bytes_.size() - position_});
        std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer);
        position_ += count;
        return count;
    }
    std::uint64_t size() override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::vector<std::size_t> pieces_;
    std::size_t next_ = 0;
    std::size_t position_ = 0;
};

// Small sizes byte for byte, large ones in steps of 64 up to 8192.
std::size_t pieceSize(std::uint8_t code) { return code < 128 ? code + 1u : (code - 127u) * 64u; }

std::optional<std::string> extractedInPieces(std::span<const std::uint8_t> document, std::vector<std::size_t> pieces) {
    PiecewiseFile file(document, std::move(pieces));
    return tvzx::tabs::extractTabBody(file);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx::tabs;
    if (size == 0) return 0;
    const std::size_t count = (data[0] & 3u) + 1u;
    if (size < 1 + count) return 0;
    std::vector<std::size_t> pieces;
    for (std::size_t i = 0; i < count; ++i) pieces.push_back(pieceSize(data[1 + i]));
    const std::span<const std::uint8_t> document(data + 1 + count, size - 1 - count);

    MemoryFile whole(document);
    const std::optional<std::string> body = extractTabBody(whole);
    if (extractedInPieces(document, pieces) != body) __builtin_trap();
    if (extractedInPieces(document, {1}) != body) __builtin_trap();

    // A body starts with the header and holds at most the document and the
    // three feature openings put back in.
    if (body) {
        if (!body->starts_with(kHeaderStart)) __builtin_trap();
        if (body->size() > document.size() + 3 * kFeatureBeginLine.size()) __builtin_trap();
    }
    return 0;
}
