#include "rules/page_exceptions.h"

#include <algorithm>

#include "common/byte_order.h"

namespace tvzx::rules {
namespace {

constexpr std::uint16_t kCurrentFormMarker = 0xFFFF;
constexpr std::uint8_t kFormatNumber = 6;
constexpr std::size_t kCurrentRecordsOffset = 5;
constexpr std::size_t kOlderRecordsOffset = 2;
constexpr std::size_t kMaximumSubEntries = 255;
constexpr std::uint16_t kMaximumSubEntryNumber = 100;
constexpr std::size_t kMaximumAttributeText = 127;
constexpr std::uint32_t kMaximumCustomSize = 600000000;

// Reads the block front to back; bytes past its end read as zero and mark
// the read as overrun.
class BlockReader {
public:
    BlockReader(std::span<const std::uint8_t> block, std::size_t offset) : block_(block), at_(offset) {}

    std::uint8_t byte() {
        if (at_ >= block_.size()) {
            overrun_ = true;
            ++at_;
            return 0;
        }
        return block_[at_++];
    }
    std::uint8_t byteUpTo(std::uint8_t maximum) { return std::min(byte(), maximum); }
    std::uint8_t flag() { return byte() != 0 ? 1 : 0; }
    std::uint16_t number16() {
        const std::uint16_t high = byte();
        return static_cast<std::uint16_t>((high << 8) | byte());
    }
    std::uint32_t number32() {
        const std::uint32_t high = number16();
        return (high << 16) | number16();
    }
    // A text ends at its zero byte; one that runs off the block ends there.
    std::string text() {
        std::string out;
        while (at_ < block_.size() && block_[at_] != 0) out += static_cast<char>(block_[at_++]);
        byte();
        return out;
    }
    TabInfo tabInfo() {
        TabInfo tab;
        tab.skip = byte();
        tab.paper = byte();
        tab.position = byte();
        tab.passOn = byte();
        tab.label = text();
        return tab;
    }
    bool overrun() const { return overrun_; }

private:
    std::span<const std::uint8_t> block_;
    std::size_t at_;
    bool overrun_ = false;
};

PageException readRecord(BlockReader& in) {
    PageException r;
    r.kind = in.byteUpTo(kLastKind);
    r.finishing1 = in.byteUpTo(7);
    r.finishing2 = in.byteUpTo(7);
    r.finishing3 = in.flag();
    r.finishing4 = in.byteUpTo(2);
    r.number1 = in.number16();
    r.attribute1 = in.byteUpTo(6);
    r.attribute2 = in.byteUpTo(14);
    r.attribute3 = in.byteUpTo(15);
    r.attributeText = in.text();
    if (r.attributeText.size() > kMaximumAttributeText) r.attributeText.resize(kMaximumAttributeText);
    r.attribute4 = in.byteUpTo(2);
    r.tray = in.byteUpTo(8);
    r.number2 = in.number16();
    r.paperName = in.text();
    r.paperSize = in.byteUpTo(settings::kCustomPageSize);
    r.customWidth = std::min(in.number32(), kMaximumCustomSize);
    r.customHeight = std::min(in.number32(), kMaximumCustomSize);
    r.tabInfo = in.tabInfo();
    const std::size_t subEntries = in.byte();
    for (std::size_t i = 0; i < subEntries && !in.overrun(); ++i) {
        SubEntry entry;
        entry.value1 = in.byteUpTo(7);
        entry.value2 = in.byteUpTo(7);
        entry.flag = in.flag();
        entry.number = std::min(in.number16(), kMaximumSubEntryNumber);
        entry.tab = in.tabInfo();
        r.subEntries.push_back(std::move(entry));
    }
    const std::size_t ranges = in.number16();
    for (std::size_t i = 0; i < ranges && !in.overrun(); ++i) {
        PageRange range;
        range.first = in.number16();
        range.last = in.number16();
        r.pageRanges.push_back(range);
    }
    return r;
}

void normaliseTab(TabInfo& tab) {
    tab.skip = tab.skip != 0 ? 1 : 0;
    tab.paper = tab.paper != 0 ? 1 : 0;
    tab.position = tab.position != 0 ? 1 : 0;
}

// Tabs that shift the page image need tab information of the tab form and
// ranges that run forwards.
void normaliseTabRecord(PageException& record) {
    normaliseTab(record.tabInfo);
    for (SubEntry& entry : record.subEntries) normaliseTab(entry.tab);
    for (PageRange& range : record.pageRanges)
        if (range.last < range.first) std::swap(range.first, range.last);
}

// Writes front to back into the fixed block; what falls past its end is dropped.
class BlockWriter {
public:
    explicit BlockWriter(std::span<std::uint8_t> block) : block_(block) {}
    void byte(std::uint8_t value) {
        if (at_ < block_.size()) block_[at_] = value;
        else dropped_ = true;
        ++at_;
    }
    void number16(std::uint16_t value) {
        byte(static_cast<std::uint8_t>(value >> 8));
        byte(static_cast<std::uint8_t>(value));
    }
    void number32(std::uint32_t value) {
        number16(static_cast<std::uint16_t>(value >> 16));
        number16(static_cast<std::uint16_t>(value));
    }
    void text(const std::string& value) {
        for (char c : value) byte(static_cast<std::uint8_t>(c));
        byte(0);
    }
    void tabInfo(const TabInfo& tab) {
        byte(tab.skip);
        byte(tab.paper);
        byte(tab.position);
        byte(tab.passOn);
        text(tab.label);
    }
    bool dropped() const { return dropped_; }

private:
    std::span<std::uint8_t> block_;
    std::size_t at_ = 0;
    bool dropped_ = false;
};

void writeRecord(BlockWriter& out, const PageException& r) {
    for (std::uint8_t value : {r.kind, r.finishing1, r.finishing2, r.finishing3, r.finishing4}) out.byte(value);
    out.number16(r.number1);
    for (std::uint8_t value : {r.attribute1, r.attribute2, r.attribute3}) out.byte(value);
    out.text(r.attributeText);
    out.byte(r.attribute4);
    out.byte(r.tray);
    out.number16(r.number2);
    out.text(r.paperName);
    out.byte(r.paperSize);
    out.number32(r.customWidth);
    out.number32(r.customHeight);
    out.tabInfo(r.tabInfo);
    const std::size_t subEntries = std::min(r.subEntries.size(), kMaximumSubEntries);
    out.byte(static_cast<std::uint8_t>(subEntries));
    for (std::size_t i = 0; i < subEntries; ++i) {
        const SubEntry& entry = r.subEntries[i];
        out.byte(entry.value1);
        out.byte(entry.value2);
        out.byte(entry.flag);
        out.number16(entry.number);
        out.tabInfo(entry.tab);
    }
    const std::size_t ranges = std::min<std::size_t>(r.pageRanges.size(), 0xFFFF);
    out.number16(static_cast<std::uint16_t>(ranges));
    for (std::size_t i = 0; i < ranges; ++i) {
        out.number16(r.pageRanges[i].first);
        out.number16(r.pageRanges[i].last);
    }
}

}  // namespace

bool PageException::coversPage(std::uint32_t page) const {
    return std::any_of(pageRanges.begin(), pageRanges.end(),
                       [page](const PageRange& range) { return range.first <= page && page <= range.last; });
}

DecodedPageExceptions decodePageExceptions(std::span<const std::uint8_t> block, bool tabImageShift) {
    DecodedPageExceptions result;
    if (block.size() < 2) return result;
    std::size_t count = readBigEndian(block.data(), 2);
    std::size_t start = kOlderRecordsOffset;
    if (count == kCurrentFormMarker) {
        // The current form names its format; any other format is unreadable.
        if (block.size() < kCurrentRecordsOffset || block[2] != kFormatNumber) return result;
        count = readBigEndian(block.data() + 3, 2);
        start = kCurrentRecordsOffset;
    }
    BlockReader in(block, start);
    for (std::size_t i = 0; i < count; ++i) {
        PageException record = readRecord(in);
        if (in.overrun()) {
            result.complete = false;
            break;
        }
        if (tabImageShift && isTabKind(record.kind)) normaliseTabRecord(record);
        result.records.push_back(std::move(record));
    }
    return result;
}

std::vector<PageException> pageExceptionsOf(const settings::CoreData& settings) {
    constexpr std::uint32_t kTrue = 1;
    const bool tabImageShift = settings.option(settings::FieldId::TabImageShift) == kTrue;
    return decodePageExceptions(settings.field(settings::FieldId::PageSpecificTrays), tabImageShift).records;
}

EncodedPageExceptions encodePageExceptions(std::span<const PageException> records) {
    EncodedPageExceptions result;
    BlockWriter out(result.block);
    out.number16(kCurrentFormMarker);
    out.byte(kFormatNumber);
    out.number16(records.size() > 0xFFFF ? 0xFFFF : static_cast<std::uint16_t>(records.size()));
    for (const PageException& record : records) writeRecord(out, record);
    result.fits = !out.dropped();
    return result;
}

bool holdsTabRecords(const settings::CoreData& settings) {
    const auto records = pageExceptionsOf(settings);
    return std::any_of(records.begin(), records.end(), [](const PageException& r) { return isTabKind(r.kind); });
}

}  // namespace tvzx::rules
