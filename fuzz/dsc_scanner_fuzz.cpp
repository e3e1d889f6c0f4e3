// The document structure scanner on any bytes. The first byte chooses the
// buffer size, so that lines and line ends are split at every place. Every
// byte handed on must be the document's own, in order, behind the bytes left
// out ahead of its first line; an accepted document must come back whole
// from there, with one header end, one setup section before the pages, one
// page setup and one page trailer mark per page, in that order, and one
// trailer after the last page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "host/dsc_scanner.h"
#include "host/host_error.h"

namespace {

using tvzx::host::DscEvent;
using tvzx::host::DscMark;

void require(bool condition) {
    if (!condition) std::abort();
}

class Checker final : public tvzx::host::DscHandler {
public:
    explicit Checker(std::string_view document) : document_(document) {}

    void documentBytes(std::string_view bytes) override {
        require(marks_ > 0 && !ended_);
        passed_.append(bytes);
    }

    void mark(const DscEvent& event) override {
        switch (event.mark) {
            case DscMark::DocumentStart: require(marks_ == 0 && passed_.empty()); break;
            case DscMark::CommentsEnd: require(!commentsEnded_ && setups_ == 0); commentsEnded_ = true; break;
            case DscMark::SetupStart:
                require(commentsEnded_ && pages_ == 0 && !setupOpen_ && setups_ == 0);
                setupOpen_ = true;
                ++setups_;
                break;
            case DscMark::SetupEnd: require(setupOpen_); setupOpen_ = false; break;
            case DscMark::PageStart:
                require(setups_ == 1 && !setupOpen_ && event.page == pages_ + 1);
                require(pages_ == 0 || pageStep_ == 2);
                ++pages_;
                pageStep_ = 0;
                break;
            case DscMark::PageSetup: require(event.page == pages_ && pageStep_ == 0); pageStep_ = 1; break;
            case DscMark::PageTrailer: require(event.page == pages_ && pageStep_ == 1); pageStep_ = 2; break;
            case DscMark::TrailerStart:
                require(setups_ == 1 && !setupOpen_ && (pages_ == 0 || pageStep_ == 2) && !trailer_);
                trailer_ = true;
                break;
            case DscMark::DocumentEnd: require(trailer_ && document_.ends_with(passed_)); ended_ = true; break;
            default: break;
        }
        ++marks_;
    }

    bool ended() const { return ended_; }
    std::size_t passed() const { return passed_.size(); }
    std::uint64_t pages() const { return pages_; }

private:
    std::string_view document_;
    std::string passed_;
    std::size_t marks_ = 0;
    std::uint64_t pages_ = 0;
    int pageStep_ = 0;
    int setups_ = 0;
    bool setupOpen_ = false;
    bool commentsEnded_ = false;
    bool trailer_ = false;
    bool ended_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t bufferSize = tvzx::host::kMinimumScanBuffer + data[0];
    const std::string_view document(reinterpret_cast<const char*>(data + 1), size - 1);
    tvzx::host::MemorySource source(document);
    Checker checker(document);
    try {
        const tvzx::host::DscSummary summary = tvzx::host::scanDocument(source, checker, bufferSize);
        require(checker.ended() && summary.pages == checker.pages() && summary.bytes == document.size() &&
                summary.skippedBytes + checker.passed() == document.size());
    } catch (const tvzx::host::DocumentRefused&) {
        require(!checker.ended());
    }
    return 0;
}
