#include "ipp_job_options.h"

#include <algorithm>

#include "pjl/pjl_format.h"
#include "settings/feature_tables.h"
#include "settings/settings_lines.h"

namespace tvzx::host {
namespace {

using settings::FieldId;

constexpr char kAssign = '=';
constexpr char kEditSeparator = ' ';
constexpr std::string_view kSecureOutput = "OutputMethod=Secure";

// What an IPP attribute's value sets; an enum value is named by its
// number and by its keyword.
struct IppValue {
    std::string_view attribute;
    std::string_view number;
    std::string_view keyword;
    std::string_view assignments;
};

constexpr IppValue kIppValues[] = {
    {"sides", {}, "one-sided", "Duplex=False"},
    {"sides", {}, "two-sided-long-edge", "Duplex=True Binding=Left"},
    {"sides", {}, "two-sided-short-edge", "Duplex=True Binding=Top"},
    {"collate", {}, "true", "Collate=Sort"},
    {"collate", {}, "false", "Collate=Group"},
    {"print-quality", "3", "draft", "PrintQuality=Draft"},
    {"print-quality", "4", "normal", "PrintQuality=Normal"},
    {"print-quality", "5", "high", "PrintQuality=Normal Resolution=1200dpi"},
    {"printer-resolution", {}, "600dpi", "Resolution=600dpi"},
    {"printer-resolution", {}, "1200dpi", "Resolution=1200dpi"},
    {"orientation-requested", "3", "portrait", "Orientation=Port"},
    {"orientation-requested", "4", "landscape", "Orientation=Land"},
    {"orientation-requested", "5", "reverse-landscape", "Orientation=Land"},
    {"orientation-requested", "6", "reverse-portrait", "Orientation=Port"},
    // CUPS's own option, "-o landscape" or "-o nolandscape".
    {"landscape", {}, "true", "Orientation=Land"},
    {"landscape", {}, "false", "Orientation=Port"},
    {"finishings", "3", "none", ""},
    {"finishings", "4", "staple", "Staple=1StapleLeft"},
    {"finishings", "5", "punch", "Punch=2Holes"},
    {"finishings", "10", "fold", "Fold=ZFold"},
    {"finishings", "13", "booklet-maker", "Layout=Booklet"},
    {"finishings", "20", "staple-top-left", "Staple=1StapleLeft Binding=Left"},
    {"finishings", "22", "staple-top-right", "Staple=1StapleRight Binding=Right"},
    {"finishings", "28", "staple-dual-left", "Staple=2StaplesNormal Binding=Left"},
    {"finishings", "29", "staple-dual-top", "Staple=2StaplesNormal Binding=Top"},
    {"finishings", "30", "staple-dual-right", "Staple=2StaplesNormal Binding=Right"},
    {"finishings", "74", "punch-dual-left", "Punch=2Holes Binding=Left"},
    {"finishings", "75", "punch-dual-top", "Punch=2Holes Binding=Top"},
    {"finishings", "76", "punch-dual-right", "Punch=2Holes Binding=Right"},
    {"finishings", "78", "punch-triple-left", "Punch=3Holes Binding=Left"},
    {"finishings", "79", "punch-triple-top", "Punch=3Holes Binding=Top"},
    {"finishings", "80", "punch-triple-right", "Punch=3Holes Binding=Right"},
    {"finishings", "82", "punch-quad-left", "Punch=4Holes Binding=Left"},
    {"finishings", "83", "punch-quad-top", "Punch=4Holes Binding=Top"},
    {"finishings", "84", "punch-quad-right", "Punch=4Holes Binding=Right"},
    {"finishings", "93", "fold-half", "Fold=MultiCenterFold"},
    {"finishings", "96", "fold-letter", "Fold=MultiLetterFold"},
    {"finishings", "100", "fold-z", "Fold=ZFold"},
};

bool inTable(std::string_view attribute) {
    for (const IppValue& row : kIppValues)
        if (row.attribute == attribute) return true;
    return false;
}

const IppValue* findIppValue(std::string_view attribute, std::string_view value) {
    for (const IppValue& row : kIppValues)
        if (row.attribute == attribute && (row.keyword == value || (!row.number.empty() && row.number == value)))
            return &row;
    return nullptr;
}

std::string_view outputBinName(std::size_t index) {
    return settings::fieldDef(FieldId::OutputBin).options->entries[index].name;
}

// Returns the output bin option a value names (case ignored); nothing when
// it names none.
std::optional<std::string_view> findOutputBin(std::string_view value) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    const auto sameLetter = [&](char a, char b) { return lower(a) == lower(b); };
    const settings::OptionTable& table = *settings::fieldDef(FieldId::OutputBin).options;
    for (const settings::OptionEntry& entry : table.entries)
        if (std::ranges::equal(entry.name, value, sameLetter)) return entry.name;
    return std::nullopt;
}

std::string fieldName(FieldId id) { return std::string(settings::fieldDef(id).name); }

std::string_view onOption(FieldId id) { return settings::fieldDef(id).options->entries[1].name; }

std::string assignText(FieldId id, std::string_view text) {
    return fieldName(id) + kAssign + settings::quotedText(text);
}

// Returns the bytes a text field holds, without its terminating zero.
std::size_t textCapacity(FieldId id) { return settings::fieldDef(id).count - 1; }

IppJobEdits refused(std::string_view attribute, std::optional<std::string_view> value, std::string reason) {
    IppJobEdits result;
    result.refusal = IppRefusal{std::string(attribute), value ? std::optional<std::string>(*value) : std::nullopt,
                                std::move(reason)};
    return result;
}

IppJobEdits mapSingle(std::string_view attribute, std::string_view value, const IppJobContext& job) {
    IppJobEdits result;
    if (attribute == kIppOutputBin) {
        const std::optional<std::string_view> bin = findOutputBin(value);
        if (!bin) return refused(attribute, value, "names no output bin of this printer");
        result.edits.push_back(fieldName(FieldId::OutputBin) + kAssign + std::string(*bin));
    } else if (attribute == kIppJobPassword) {
        // The password is never repeated, not even in a refusal.
        const std::size_t capacity = textCapacity(FieldId::WaitModePassword);
        if (value.empty() || value.size() > capacity)
            return refused(attribute, std::nullopt, "the password must have 1 to " + std::to_string(capacity) + " bytes");
        // A secure print job: the user releases it at the printer with the
        // password, under the job's own identifier.
        const std::size_t idCapacity = settings::fieldDef(FieldId::WaitModeSecurePrintId).count;
        result.edits.emplace_back(kSecureOutput);
        result.edits.push_back(assignText(FieldId::WaitModeSecurePrintId, pjl::boundedUtf8Copy(job.user, idCapacity)));
        result.edits.push_back(assignText(FieldId::WaitModePassword, value));
    } else {
        const std::size_t capacity = textCapacity(FieldId::AccountTrackDepartmentName);
        if (value.empty() || value.size() > capacity)
            return refused(attribute, value, "the account must have 1 to " + std::to_string(capacity) + " bytes");
        result.edits.push_back(fieldName(FieldId::AccountTrack) + kAssign + std::string(onOption(FieldId::AccountTrack)));
        result.edits.push_back(assignText(FieldId::AccountTrackDepartmentName, value));
    }
    return result;
}

}  // namespace

IppAttributeKind ippAttributeKind(std::string_view attribute) {
    if (attribute == kIppOutputBin || attribute == kIppJobPassword || attribute == kIppAccountId)
        return IppAttributeKind::Single;
    return inTable(attribute) ? IppAttributeKind::List : IppAttributeKind::Unmapped;
}

std::vector<IppChoice> ippChoices(std::string_view attribute) {
    std::vector<IppChoice> choices;
    if (attribute == kIppOutputBin) {
        const std::size_t count = settings::fieldDef(FieldId::OutputBin).options->entries.size();
        for (std::size_t i = 0; i < count; ++i)
            choices.push_back({kIppOutputBin, {}, outputBinName(i), fieldName(FieldId::OutputBin) + kAssign + std::string(outputBinName(i))});
        return choices;
    }
    for (const IppValue& row : kIppValues)
        if (row.attribute == attribute) choices.push_back({row.attribute, row.number, row.keyword, std::string(row.assignments)});
    return choices;
}

std::vector<std::string> ippChoiceEdits(const IppChoice& choice) {
    std::vector<std::string> edits;
    std::string_view text = choice.assignments;
    while (!text.empty()) {
        const std::size_t end = text.find(kEditSeparator);
        if (end != 0) edits.emplace_back(text.substr(0, end));
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return edits;
}

IppJobEdits mapIppAttribute(std::string_view attribute, std::span<const std::string_view> values,
                            const IppJobContext& job) {
    switch (ippAttributeKind(attribute)) {
    case IppAttributeKind::Unmapped:
        return refused(attribute, values.empty() ? std::string_view() : values.front(),
                       "is not an attribute this printer supports");
    case IppAttributeKind::Single:
        if (values.size() != 1)
            return refused(attribute, attribute == kIppJobPassword ? std::nullopt : std::optional<std::string_view>(""),
                           "takes exactly one value");
        return mapSingle(attribute, values.front(), job);
    case IppAttributeKind::List:
        break;
    }
    // Every value is checked before any of its edits is taken.
    IppJobEdits result;
    for (std::string_view value : values) {
        const IppValue* row = findIppValue(attribute, value);
        if (row == nullptr) return refused(attribute, value, "is not a value this printer supports");
        for (std::string& edit : ippChoiceEdits({row->attribute, row->number, row->keyword, std::string(row->assignments)}))
            result.edits.push_back(std::move(edit));
    }
    return result;
}

}  // namespace tvzx::host
