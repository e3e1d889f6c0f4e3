#include "tabs/body_extraction.h"

#include <algorithm>
#include <vector>

namespace tvzx::tabs {
namespace {

// Reads the document forward through a window that keeps the tail of each
// block, so that a marker split between two blocks is still found. A mark
// records what is read after it, so the reader can go back to it once.
class MarkerReader {
public:
    explicit MarkerReader(platform::ReadableFile& file) : file_(file) {}

    // Moves to the next occurrence of the marker. Returns false when the
    // document ends without one.
    bool skipTo(std::string_view marker) {
        for (;;) {
            const std::size_t found = window_.find(marker, position_);
            if (found != std::string::npos) {
                position_ = found;
                return true;
            }
            // Only the last bytes can still begin the marker.
            position_ = std::max(position_, keepFrom(marker));
            if (!readBlock(marker)) return false;
        }
    }

    // Appends everything from the current position up to the next occurrence
    // of the marker at least `skip` bytes ahead, and stops at that marker.
    // Returns false when the document ends without one.
    bool copyUntil(std::string_view marker, std::size_t skip, std::string& out) {
        for (;;) {
            const std::size_t found = window_.find(marker, position_ + skip);
            if (found != std::string::npos) {
                out.append(window_, position_, found - position_);
                position_ = found;
                return true;
            }
            const std::size_t kept = std::max(position_ + std::min(skip, window_.size() - position_), keepFrom(marker));
            out.append(window_, position_, kept - position_);
            skip -= std::min(skip, kept - position_);
            position_ = kept;
            if (!readBlock(marker)) return false;
        }
    }

    // Remembers the current position.
    void mark() {
        marked_ = window_.substr(position_);
        replay_.clear();
        recording_ = true;
    }

    // Drops the mark: the reader will not go back to it.
    void forgetMark() {
        marked_.clear();
        replay_.clear();
        recording_ = false;
    }

    // Goes back to the position of the last mark.
    void backToMark() {
        window_ = std::move(marked_) + replay_;
        position_ = 0;
        replay_.clear();
        recording_ = false;
    }

private:
    std::size_t keepFrom(std::string_view marker) const {
        return window_.size() >= marker.size() ? window_.size() - marker.size() + 1 : 0;
    }

    // Drops what lies before the position and appends the next block.
    // Returns false at the end of the file.
    bool readBlock(std::string_view marker) {
        window_.erase(0, position_);
        position_ = 0;
        block_.resize(readBlockFor(marker));
        const std::size_t count = file_.read(block_.data(), block_.size());
        if (count == 0) return false;
        const std::string_view bytes(reinterpret_cast<const char*>(block_.data()), std::min(count, block_.size()));
        window_ += bytes;
        if (recording_) replay_ += bytes;
        return true;
    }

    platform::ReadableFile& file_;
    std::vector<std::uint8_t> block_;
    std::string window_;
    std::size_t position_ = 0;
    std::string marked_;
    std::string replay_;
    bool recording_ = false;
};

// Copies from the start marker (included) up to the end marker (excluded).
bool copySection(MarkerReader& reader, std::string_view start, std::string_view end, std::string& out) {
    return reader.skipTo(start) && reader.copyUntil(end, start.size(), out);
}

}  // namespace

std::size_t readBlockFor(std::string_view marker) {
    return std::max(kMinimumReadBlock, 2 * marker.size() + 1024);
}

std::optional<std::string> extractTabBody(platform::ReadableFile& file) {
    MarkerReader reader(file);
    std::string body;
    // The header and prolog of the tab document.
    if (!copySection(reader, kHeaderStart, kBeginSetup, body)) return std::nullopt;
    // The setup's own dictionary work and the two features that identify the
    // driver, each closed where the next feature begins.
    for (const std::string_view start : {kUserDictionary, kCreatorFeature, kPpdVersionFeature}) {
        if (!copySection(reader, start, kFeatureBegin, body)) return std::nullopt;
        body += kFeatureBeginLine;
    }
    // The paper: the page size feature, or else the page region.
    const std::string beforePaper = body;
    reader.mark();
    if (!copySection(reader, kPageSizeFeature, kFeatureBegin, body)) {
        body = beforePaper;
        reader.backToMark();
        if (!copySection(reader, kPageRegionFeature, kFeatureBegin, body)) return std::nullopt;
    }
    reader.forgetMark();
    // The page to the end of the document.
    if (!copySection(reader, kPageStart, kEndOfFile, body)) return std::nullopt;
    return body;
}

std::size_t MemoryFile::read(std::uint8_t* buffer, std::size_t capacity) {
    const std::size_t count = std::min(capacity, bytes_.size() - position_);
    std::copy_n(bytes_.begin() + static_cast<std::ptrdiff_t>(position_), count, buffer);
    position_ += count;
    return count;
}

}  // namespace tvzx::tabs
