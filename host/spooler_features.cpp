#include "spooler_features.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <string_view>

namespace tvzx::host {
namespace {

// The brackets a spooler puts around each feature's code.
constexpr std::string_view kBracketOpen = "[{";
constexpr std::string_view kBracketClose = "} stopped cleartomark";
constexpr std::string_view kBeginFeature = "%%BeginFeature:";
constexpr std::string_view kEndFeature = "%%EndFeature";
// Its copies, outside the PPD's features; the job ticket carries them.
constexpr std::string_view kBeginNonPpdFeature = "%RBIBeginNonPPDFeature:";
constexpr std::string_view kEndNonPpdFeature = "%RBIEndNonPPDFeature";
constexpr std::string_view kPage = "%%Page:";
// The copies left to the printer, among the header comments.
constexpr std::string_view kCopiesComment = "%RBINumCopies:";
constexpr std::string_view kEndComments = "%%EndComments";
constexpr std::size_t kReadSize = 64 * 1024;
// The header is looked for this far at most: a document without one is not
// read ahead whole.
constexpr std::size_t kHeaderReadLimit = 1024 * 1024;

// Returns the line without its CR LF or LF ending.
std::string_view content(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    return line;
}

}  // namespace

bool SpoolerFeatureFilter::nextLine() {
    for (;;) {
        const std::size_t end = buffer_.find('\n');
        if (end != std::string::npos) {
            line_.assign(buffer_, 0, end + 1);
            buffer_.erase(0, end + 1);
            return true;
        }
        if (innerEnded_) {
            line_ = std::move(buffer_);
            buffer_.clear();
            return !line_.empty();
        }
        std::array<char, kReadSize> chunk;
        const std::size_t got = inner_.read(chunk);
        if (got == 0) innerEnded_ = true;
        buffer_.append(chunk.data(), got);
    }
}

void SpoolerFeatureFilter::fillPending() {
    pending_.clear();
    pendingAt_ = 0;
    // Skips lines up to and with the one that closes a bracket.
    const auto skipTo = [this](std::string_view close) {
        while (nextLine())
            if (content(line_) == close) return;
    };
    while (pending_.empty() && !inBody_ && nextLine()) {
        const std::string_view text = content(line_);
        if (text.starts_with(kPage)) {
            inBody_ = true;
            pending_ = std::move(line_);
        } else if (text.starts_with(kBeginNonPpdFeature)) {
            skipTo(kEndNonPpdFeature);
        } else if (text == kBracketOpen) {
            // Only a bracket that holds a feature is the spooler's.
            std::string open = std::move(line_);
            if (!nextLine()) {
                pending_ = std::move(open);
            } else if (content(line_).starts_with(kBeginFeature)) {
                skipTo(kEndFeature);
                skipTo(kBracketClose);
            } else {
                // The next line is read again on its own: it may be the first page.
                buffer_.insert(0, line_);
                pending_ = std::move(open);
            }
        } else {
            pending_ = std::move(line_);
        }
    }
}

std::optional<std::uint32_t> SpoolerFeatureFilter::printerCopies() {
    // The header ends at its end comment, or at the first line that is no comment.
    const auto headerEnd = [this] {
        return buffer_.find(std::string("\n") + std::string(kEndComments)) != std::string::npos ||
               buffer_.find("\n%%BeginProlog") != std::string::npos || buffer_.find(std::string("\n") + std::string(kPage)) != std::string::npos;
    };
    while (!innerEnded_ && buffer_.size() < kHeaderReadLimit && !headerEnd()) {
        std::array<char, kReadSize> chunk;
        const std::size_t got = inner_.read(chunk);
        if (got == 0) innerEnded_ = true;
        buffer_.append(chunk.data(), got);
    }
    const std::size_t at = buffer_.find(std::string("\n") + std::string(kCopiesComment));
    if (at == std::string::npos) return std::nullopt;
    std::size_t i = at + 1 + kCopiesComment.size();
    while (i < buffer_.size() && buffer_[i] == ' ') ++i;
    std::uint32_t copies = 0;
    const auto [end, error] = std::from_chars(buffer_.data() + i, buffer_.data() + buffer_.size(), copies);
    if (error != std::errc() || end == buffer_.data() + i) return std::nullopt;
    return copies;
}

std::size_t SpoolerFeatureFilter::read(std::span<char> into) {
    if (pendingAt_ == pending_.size()) {
        if (!inBody_) fillPending();
        if (pendingAt_ == pending_.size()) {
            // Past the first page: what is read ahead goes first, then the rest.
            if (!buffer_.empty()) {
                pending_ = std::move(buffer_);
                buffer_.clear();
                pendingAt_ = 0;
            } else {
                return innerEnded_ ? 0 : inner_.read(into);
            }
        }
    }
    const std::size_t n = std::min(into.size(), pending_.size() - pendingAt_);
    std::copy_n(pending_.data() + pendingAt_, n, into.data());
    pendingAt_ += n;
    return n;
}

}  // namespace tvzx::host
