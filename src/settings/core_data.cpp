#include "settings/core_data.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "common/byte_order.h"
#include "l10n/display_language.h"
#include "platform/system_locale.h"
#include "settings/schema_hash.h"

namespace tvzx::settings {
namespace {

constexpr std::uint8_t kLetter = 15;
constexpr std::uint8_t kLegal = 13;
constexpr std::uint8_t kA3 = 0;
constexpr std::uint8_t kA4 = 1;
constexpr std::string_view kA4Tab = "ZXA4Tab1";
constexpr std::string_view kLetterTab = "ZXLetterTab";
constexpr std::uint32_t kHeaderReservedOffset = 4;
constexpr std::uint32_t kHeaderMarkerOffset = 5;
// Language index whose tab font default is the Japanese gothic face.
constexpr int kJapaneseLanguageIndex = 8;
constexpr std::string_view kJapaneseTabFont = "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF";

bool isInchPaper(std::uint8_t pageSize) {
    const PaperRow* row = lookupPaper(pageSize);
    return row != nullptr && row->family == UnitFamily::Inch;
}

// Stores a length given in millimetres in the field's scale, rounded half away
// from zero as the stored defaults are.
std::uint32_t scaledMillimetres(const FieldDef& def, double millimetres) {
    return static_cast<std::uint32_t>(std::llround(def.numeric->scale * millimetres));
}

std::uint32_t paperDimension(const FieldDef& def, std::uint8_t pageSize, bool width) {
    const PaperRow* row = lookupPaper(pageSize);
    const std::uint32_t microns = width ? row->widthMicrons : row->heightMicrons;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(microns) * def.numeric->scale / 1000);
}

void writeDefault(CoreData& record, const FieldDef& def, FieldId id, const DefaultInputs& inputs, std::uint8_t pageSize) {
    const bool inch = isInchPaper(pageSize);
    switch (def.computed) {
        case ComputedDefault::LocalePageSize: record.setRaw(id, pageSize); return;
        case ComputedDefault::TabPageSize:
            record.setRaw(id, def.options->find(inch ? kLetterTab : kA4Tab).value_or(def.defaultValue));
            return;
        case ComputedDefault::TabHeight: record.setRaw(id, scaledMillimetres(def, inch ? 34.3 : 40.3)); return;
        case ComputedDefault::PerfectBindWidth: record.setRaw(id, paperDimension(def, inch ? kLetter : kA4, true)); return;
        case ComputedDefault::PerfectBindHeight: record.setRaw(id, paperDimension(def, inch ? kLetter : kA4, false)); return;
        case ComputedDefault::TabFontName:
            record.setText(id, inputs.languageIndex == kJapaneseLanguageIndex ? kJapaneseTabFont : def.defaultText);
            return;
        case ComputedDefault::ToneCurveText: {
            // The first non-empty alternative value of the table's default option.
            const OptionTable& table = *def.options;
            for (Column column : {Column::Value1, Column::PjlValue, Column::Value3}) {
                const LookupResult value = lookupValue(table, table.defaultIndex, column);
                if (!value.text.empty()) {
                    record.setText(id, value.text);
                    return;
                }
            }
            return;
        }
        case ComputedDefault::None: break;
    }
    switch (def.kind) {
        case Kind::Option:
        case Kind::Range: record.setRaw(id, def.kind == Kind::Range ? def.numeric->defaultValue : def.defaultValue); break;
        case Kind::Array:
            if (def.isText()) record.setText(id, def.defaultText);
            break;
    }
}

void writeFieldDefault(CoreData& record, FieldId id) {
    const auto from = defaultRecord().field(id);
    std::copy(from.begin(), from.end(), record.field(id).begin());
}

}  // namespace

std::uint32_t CoreData::storedHash() const { return readBe32(bytes.data()); }

std::uint32_t CoreData::raw(FieldId id) const {
    const FieldDef& def = fieldDef(id);
    return static_cast<std::uint32_t>(readBigEndian(bytes.data() + def.offset, def.elementSize));
}

void CoreData::setRaw(FieldId id, std::uint32_t value) {
    const FieldDef& def = fieldDef(id);
    writeBigEndian(bytes.data() + def.offset, def.elementSize, value);
}

std::int64_t CoreData::number(FieldId id) const {
    const FieldDef& def = fieldDef(id);
    const std::uint32_t value = raw(id);
    if (!def.isSigned()) return value;
    if (def.elementSize == 2) return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
}

std::string_view CoreData::text(FieldId id) const {
    const FieldDef& def = fieldDef(id);
    const char* start = reinterpret_cast<const char*>(bytes.data() + def.offset);
    const std::size_t length = static_cast<std::size_t>(std::find(start, start + def.count, '\0') - start);
    return std::string_view(start, length);
}

bool CoreData::setText(FieldId id, std::string_view value) {
    const auto target = field(id);
    const std::size_t room = target.size() - 1;
    const std::size_t length = std::min(room, value.size());
    std::fill(target.begin(), target.end(), 0);
    if (length > 0) std::memcpy(target.data(), value.data(), length);
    return length == value.size();
}

std::span<const std::uint8_t> CoreData::field(FieldId id) const {
    const FieldDef& def = fieldDef(id);
    return std::span<const std::uint8_t>(bytes.data() + def.offset, def.byteSize());
}

std::span<std::uint8_t> CoreData::field(FieldId id) {
    const FieldDef& def = fieldDef(id);
    return std::span<std::uint8_t>(bytes.data() + def.offset, def.byteSize());
}

std::uint8_t pageSizeForLocale(char localePaperSize) {
    switch (localePaperSize) {
        case '1': return kLetter;
        case '5': return kLegal;
        case '8': return kA3;
        default: return kA4;
    }
}

CoreData buildDefaultRecord(const DefaultInputs& inputs) {
    CoreData record;
    writeBe32(record.bytes.data(), schemaHash());
    record.bytes[kHeaderReservedOffset] = 0;
    writeBe32(record.bytes.data() + kHeaderMarkerOffset, 0xFFFFFFFFu);
    const std::uint8_t pageSize = pageSizeForLocale(inputs.localePaperSize);
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto id = static_cast<FieldId>(i);
        writeDefault(record, fieldDef(id), id, inputs, pageSize);
    }
    return record;
}

std::uint8_t localeDefaultPageSize() {
    static const std::uint8_t pageSize = [] {
        const std::string value = platform::localePaperSize();
        return pageSizeForLocale(value.empty() ? '\0' : value.front());
    }();
    return pageSize;
}

const CoreData& defaultRecord() {
    static const CoreData record = [] {
        DefaultInputs inputs;
        const std::string paper = platform::localePaperSize();
        inputs.localePaperSize = paper.empty() ? '\0' : paper.front();
        inputs.languageIndex = l10n::currentLanguageIndex();
        return buildDefaultRecord(inputs);
    }();
    return record;
}

namespace {

// The check of one field, written against its descriptor so that the whole
// record is checked in one pass without per-field lookups.
bool fieldValueIsValid(const std::uint8_t* bytes, const FieldDef& def) {
    const std::uint8_t* p = bytes + def.offset;
    switch (def.kind) {
        case Kind::Option: {
            const std::uint32_t count = def.options->count();
            return count == 0 || readBigEndian(p, def.elementSize) < count;
        }
        case Kind::Range: {
            const NumericDescriptor& n = *def.numeric;
            const auto value = static_cast<std::uint32_t>(readBigEndian(p, def.elementSize));
            if (!def.isSigned()) return n.minimum <= value && value <= n.maximum;
            const std::int32_t signedValue =
                def.elementSize == 2 ? static_cast<std::int16_t>(value) : static_cast<std::int32_t>(value);
            return static_cast<std::int32_t>(n.minimum) <= signedValue && signedValue <= static_cast<std::int32_t>(n.maximum);
        }
        case Kind::Array: return !def.isText() || p[def.count - 1] == 0;
    }
    return true;
}

// Paper profiles are numbered by the printer: their tables name only "None"
// (0), and every other number is a profile the device reports.
constexpr FieldId kProfileIndices[] = {FieldId::MainPaperProfileIndex,       FieldId::PIFrontCoverPaperProfileIndex,
                                       FieldId::FrontCoverPaperProfileIndex, FieldId::BackCoverPaperProfileIndex,
                                       FieldId::PIBackCoverPaperProfileIndex, FieldId::PerfectBindPaperProfileIndex};

bool isProfileIndex(std::size_t field) {
    return std::any_of(std::begin(kProfileIndices), std::end(kProfileIndices),
                       [field](FieldId id) { return static_cast<std::size_t>(id) == field; });
}

// The target paper has one legal value past its list: the custom size (27),
// when both custom target dimensions are set.
constexpr std::uint32_t kCustomTargetPaper = 27;

bool targetPaperIsValid(const CoreData& record) {
    const std::uint32_t index = record.raw(FieldId::TargetPaperSize);
    if (index < kCustomTargetPaper) return true;
    return index == kCustomTargetPaper && record.raw(FieldId::CustomTargetPaperSizeWidth) != 0 &&
           record.raw(FieldId::CustomTargetPaperSizeHeight) != 0;
}

// PageSize has one legal value past its list: the custom size, when both
// custom dimensions are set.
bool pageSizeIsValid(const CoreData& record) {
    const std::uint32_t index = record.raw(FieldId::PageSize);
    if (index < kCustomPageSize) return true;
    return index == kCustomPageSize && record.raw(FieldId::CustomPageSizeWidth) != 0 &&
           record.raw(FieldId::CustomPageSizeHeight) != 0;
}

}  // namespace

bool fieldIsValid(const CoreData& record, FieldId id) {
    if (id == FieldId::PageSize) return pageSizeIsValid(record);
    if (id == FieldId::TargetPaperSize) return targetPaperIsValid(record);
    if (isProfileIndex(static_cast<std::size_t>(id))) return true;
    return fieldValueIsValid(record.bytes.data(), fieldDef(id));
}

bool validateRecord(CoreData& record) {
    if (record.storedHash() != schemaHash()) {
        record = defaultRecord();
        return false;
    }
    bool valid = true;
    if (!pageSizeIsValid(record)) {
        valid = false;
        record.setRaw(FieldId::PageSize, localeDefaultPageSize());
    }
    const auto fields = fieldTable();
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (i == static_cast<std::size_t>(FieldId::PageSize) || fieldValueIsValid(record.bytes.data(), fields[i])) continue;
        if (fieldIsValid(record, static_cast<FieldId>(i))) continue;
        valid = false;
        writeFieldDefault(record, static_cast<FieldId>(i));
    }
    return valid;
}

bool copySelectedFields(CoreData& destination, const CoreData& source, const FieldSet& fields) {
    bool written = false;
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        if (!fields.test(i)) continue;
        const auto id = static_cast<FieldId>(i);
        const auto from = source.field(id);
        const auto to = destination.field(id);
        if (std::equal(from.begin(), from.end(), to.begin())) continue;
        std::copy(from.begin(), from.end(), to.begin());
        written = true;
    }
    return written;
}

}  // namespace tvzx::settings
