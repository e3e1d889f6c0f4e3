// Cutting a tab sheet's body out of the tab document the base module
// printed: the header and prolog, the setup that carries the driver's
// procedures and the paper, and the page itself, without the job framing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "platform/temporary_files.h"

namespace tvzx::tabs {

// The markers of the tab document, in the order they are looked for.
inline constexpr std::string_view kHeaderStart = "%!PS-Adobe-3";
inline constexpr std::string_view kBeginSetup = "%%BeginSetup";
inline constexpr std::string_view kUserDictionary = "userdict";
inline constexpr std::string_view kFeatureBegin = "featurebegin{";
inline constexpr std::string_view kFeatureBeginLine = "featurebegin{\r\n";
inline constexpr std::string_view kCreatorFeature = "%%BeginFeature: *ZVOpCreator";
inline constexpr std::string_view kPpdVersionFeature = "%%BeginFeature: *ZVOpPPDVersion";
inline constexpr std::string_view kPageSizeFeature = "%%BeginFeature: *PageSize";
inline constexpr std::string_view kPageRegionFeature = "%%BeginFeature: *PageRegion";
inline constexpr std::string_view kPageStart = "1 setlinecap 1 setlinejoin";
inline constexpr std::string_view kEndOfFile = "%%EOF";

// The smallest block the file is read in.
inline constexpr std::size_t kMinimumReadBlock = 4095;

// Returns the block size for looking for a marker: at least
// kMinimumReadBlock, and twice the marker's length plus 1024 for long ones.
std::size_t readBlockFor(std::string_view marker);

// Returns the tab sheet body of the tab document read from the file's
// current position; nothing when a marker is missing or the file ends early.
std::optional<std::string> extractTabBody(platform::ReadableFile& file);

// A file held in memory, for documents that are already read.
class MemoryFile final : public platform::ReadableFile {
public:
    explicit MemoryFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    explicit MemoryFile(std::string_view text)
        : bytes_(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()) {}
    std::size_t read(std::uint8_t* buffer, std::size_t capacity) override;
    std::uint64_t size() override { return bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace tvzx::tabs
