#include "job_attributes.h"

#include <algorithm>
#include <charconv>

#include "host/host_error.h"
#include "pjl/pjl_format.h"
#include "rules/rule_engine.h"
#include "settings/core_data.h"
#include "settings/feature_tables.h"
#include "settings/settings_lines.h"

namespace tvzx::printer_app {
namespace {

using settings::FieldId;

constexpr char kAssign = '=';
constexpr std::string_view kAutoSlot = "Auto";
constexpr std::string_view kMediaTypePrefix = "MediaType";
constexpr std::string_view kEditOrigin = "ipp";

constexpr VendorAttribute kVendorAttributes[] = {
    {kLayoutAttribute, VendorKind::Choice},      {kFoldAttribute, VendorKind::Choice},
    {kBindingAttribute, VendorKind::Choice},     {kStapleAttribute, VendorKind::Choice},
    {kPunchAttribute, VendorKind::Choice},       {kOutputMethodAttribute, VendorKind::Choice},
    {kSecureIdAttribute, VendorKind::Text},      {kSecurePasswordAttribute, VendorKind::Secret},
    {kAccountAttribute, VendorKind::Text},       {kSettingsAttribute, VendorKind::SettingsFile},
};

// Vendor choices that name every option of one setting.
struct OptionAttribute {
    std::string_view attribute;
    FieldId field;
};

constexpr OptionAttribute kOptionAttributes[] = {
    {kLayoutAttribute, FieldId::Layout}, {kFoldAttribute, FieldId::Fold},   {kBindingAttribute, FieldId::Binding},
    {kStapleAttribute, FieldId::Staple}, {kPunchAttribute, FieldId::Punch},
};

// Choices listed value by value: the attribute, its IPP value and the edits.
struct ListedChoice {
    std::string_view attribute;
    std::string_view value;
    std::string_view edit;
};

constexpr ListedChoice kListedChoices[] = {
    {kOutputMethodAttribute, "print", "OutputMethod=Print"},
    {kOutputMethodAttribute, "hold", "OutputMethod=Hold"},
    {kOutputMethodAttribute, "hold-print", "OutputMethod=HoldPrint"},
    {kOutputMethodAttribute, "secure", "OutputMethod=Secure"},
    {kOutputMethodAttribute, "proof", "PrintMode=ProofMode"},
    {kMediaSourceAttribute, "auto", "InputSlot=Auto"},
    {kMediaSourceAttribute, "tray-1", "InputSlot=Tray1"},
    {kMediaSourceAttribute, "tray-2", "InputSlot=Tray2"},
    {kMediaSourceAttribute, "tray-3", "InputSlot=Tray3"},
    {kMediaSourceAttribute, "tray-4", "InputSlot=Tray4"},
    {kMediaSourceAttribute, "tray-5", "InputSlot=Tray5"},
    {kMediaSourceAttribute, "by-pass-tray", "InputSlot=MBT"},
};

// The media types, set for the tray the job takes its paper from.
struct MediaType {
    std::string_view keyword;
    std::string_view option;
};

constexpr MediaType kMediaTypes[] = {
    {"auto", "NoSet"}, {"stationery", "Plain"}, {"bond", "Bond"},
    {"book", "Book"},  {"rough", "Rough"},      {"interleaved", "Interleaved"},
};

// The family's paper sizes by their PWG names (tab stock has none).
struct MediaSize {
    std::string_view pageSize;
    std::string_view media;
};

constexpr MediaSize kMediaSizes[] = {
    {"A3", "iso_a3_297x420mm"},           {"A4", "iso_a4_210x297mm"},          {"A5", "iso_a5_148x210mm"},
    {"B4", "jis_b4_257x364mm"},           {"B5", "jis_b5_182x257mm"},          {"ISOB4", "iso_b4_250x353mm"},
    {"ISOB5", "iso_b5_176x250mm"},        {"Postcard", "jpn_hagaki_100x148mm"}, {"SRA3", "iso_sra3_320x450mm"},
    {"SRA4", "iso_sra4_225x320mm"},       {"Tabloid", "na_ledger_11x17in"},    {"TabloidExtra", "na_arch-b_12x18in"},
    {"9x11", "na_9x11_9x11in"},           {"Legal", "na_legal_8.5x14in"},      {"8x13", "na_govt-legal_8x13in"},
    {"Letter", "na_letter_8.5x11in"},     {"Statement", "na_invoice_5.5x8.5in"}, {"8K", "om_8k_270x390mm"},
    {"16K", "om_16k_195x270mm"},
};

std::string fieldName(FieldId id) { return std::string(settings::fieldDef(id).name); }

std::string assign(std::string_view name, std::string_view value) {
    return std::string(name) + kAssign + std::string(value);
}

host::IppJobEdits refused(std::string_view attribute, std::optional<std::string_view> value, std::string reason) {
    host::IppJobEdits result;
    result.refusal = host::IppRefusal{std::string(attribute), value ? std::optional<std::string>(*value) : std::nullopt,
                                      std::move(reason)};
    return result;
}

const VendorAttribute* findVendor(std::string_view name) {
    for (const VendorAttribute& vendor : kVendorAttributes)
        if (vendor.name == name) return &vendor;
    return nullptr;
}

const OptionAttribute* findOptionAttribute(std::string_view name) {
    for (const OptionAttribute& row : kOptionAttributes)
        if (row.attribute == name) return &row;
    return nullptr;
}

bool isListed(std::string_view attribute) {
    return std::any_of(std::begin(kListedChoices), std::end(kListedChoices),
                       [&](const ListedChoice& row) { return row.attribute == attribute; });
}

// Returns every choice of an attribute this layer lists: its IPP value and edits.
std::vector<std::pair<std::string, std::string>> ownChoices(std::string_view attribute, std::string_view inputSlot) {
    std::vector<std::pair<std::string, std::string>> choices;
    if (const OptionAttribute* row = findOptionAttribute(attribute)) {
        for (const settings::OptionEntry& entry : settings::fieldDef(row->field).options->entries)
            choices.emplace_back(optionKeyword(entry.name), assign(fieldName(row->field), entry.name));
    } else if (attribute == kMediaAttribute) {
        for (const MediaSize& size : kMediaSizes)
            choices.emplace_back(size.media, assign(fieldName(FieldId::PageSize), size.pageSize));
    } else if (attribute == kMediaTypeAttribute) {
        const std::string name = std::string(kMediaTypePrefix) + std::string(inputSlot);
        for (const MediaType& type : kMediaTypes) choices.emplace_back(type.keyword, assign(name, type.option));
    } else {
        for (const ListedChoice& row : kListedChoices)
            if (row.attribute == attribute) choices.emplace_back(row.value, row.edit);
    }
    return choices;
}

bool isOwnChoice(std::string_view attribute) {
    return findOptionAttribute(attribute) != nullptr || attribute == kMediaAttribute ||
           attribute == kMediaTypeAttribute || isListed(attribute);
}

// Returns the edits of one attribute this layer maps itself.
host::IppJobEdits mapOwn(std::string_view attribute, std::span<const std::string_view> values, const JobContext& context) {
    if (values.size() != 1) return refused(attribute, "", "takes exactly one value");
    const std::string_view value = values.front();
    host::IppJobEdits result;
    if (isOwnChoice(attribute)) {
        for (const auto& [keyword, edit] : ownChoices(attribute, context.inputSlot))
            if (keyword == value) {
                result.edits.push_back(edit);
                return result;
            }
        return refused(attribute, value, "is not a value this printer supports");
    }
    if (attribute == kCopiesAttribute) {
        std::uint32_t copies = 0;
        const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), copies);
        if (error != std::errc() || end != value.data() + value.size() || copies == 0)
            return refused(attribute, value, "is not a number of copies");
        result.edits.push_back(assign(fieldName(FieldId::NumCopies), value));
        return result;
    }
    const VendorAttribute* vendor = findVendor(attribute);
    if (vendor == nullptr) return refused(attribute, value, "is not an attribute this printer supports");
    // Texts must fit their settings field, without its terminating zero.
    const auto text = [&](FieldId id, std::optional<std::string_view> shown) -> std::optional<host::IppJobEdits> {
        const std::size_t capacity = settings::fieldDef(id).count - 1;
        if (value.empty() || value.size() > capacity)
            return refused(attribute, shown, "must have 1 to " + std::to_string(capacity) + " bytes");
        result.edits.push_back(assign(fieldName(id), settings::quotedText(value)));
        return std::nullopt;
    };
    std::optional<host::IppJobEdits> refusal;
    if (attribute == kSecureIdAttribute) {
        refusal = text(FieldId::WaitModeSecurePrintId, value);
    } else if (attribute == kSecurePasswordAttribute) {
        refusal = text(FieldId::WaitModePassword, std::nullopt);
    } else if (attribute == kAccountAttribute) {
        result.edits.push_back(assign(fieldName(FieldId::AccountTrack), settings::fieldDef(FieldId::AccountTrack).options->entries[1].name));
        refusal = text(FieldId::AccountTrackDepartmentName, value);
    }
    if (refusal) return *refusal;
    return result;
}

// Returns the input slot a job's media-source value selects.
std::string_view inputSlotOf(std::span<const JobAttribute> attributes) {
    for (const JobAttribute& attribute : attributes)
        if (attribute.name == kMediaSourceAttribute && attribute.values.size() == 1)
            for (const ListedChoice& row : kListedChoices)
                if (row.attribute == kMediaSourceAttribute && row.value == attribute.values.front())
                    return row.edit.substr(row.edit.find(kAssign) + 1);
    return kAutoSlot;
}

}  // namespace

std::span<const VendorAttribute> vendorAttributes() { return kVendorAttributes; }

bool isMappedAttribute(std::string_view name) {
    return host::ippAttributeKind(name) != host::IppAttributeKind::Unmapped || isOwnChoice(name) ||
           name == kCopiesAttribute || findVendor(name) != nullptr;
}

std::string optionKeyword(std::string_view option) {
    std::string keyword;
    for (std::size_t i = 0; i < option.size(); ++i) {
        const char c = option[i];
        const bool upper = c >= 'A' && c <= 'Z';
        // A word starts at a capital after a small letter or a digit, and at
        // the last capital of a run followed by a small letter ("GBCStream").
        if (upper && i > 0) {
            const char before = option[i - 1];
            const bool afterLower = (before >= 'a' && before <= 'z') || (before >= '0' && before <= '9');
            const bool runEnds = before >= 'A' && before <= 'Z' && i + 1 < option.size() && option[i + 1] >= 'a' &&
                                 option[i + 1] <= 'z';
            if (afterLower || runEnds) keyword += '-';
        }
        keyword += upper ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return keyword;
}

JobEdits mapJobAttributes(std::span<const JobAttribute> attributes, const JobContext& given) {
    JobContext context = given;
    context.inputSlot = inputSlotOf(attributes);
    JobEdits result;
    std::vector<host::SettingsEdit> singles;
    for (const JobAttribute& attribute : attributes) {
        if (!isMappedAttribute(attribute.name)) continue;
        std::vector<std::string_view> values(attribute.values.begin(), attribute.values.end());
        if (attribute.name == kSettingsAttribute) {
            // A saved settings file of the printer, by name: never a path.
            std::optional<std::string> text;
            if (values.size() == 1 && context.saved) text = context.saved(values.front());
            if (!text) {
                result.refusal = host::IppRefusal{attribute.name, values.empty() ? "" : std::string(values.front()),
                                                  "names no saved settings of this printer"};
                return result;
            }
            result.edits.push_back({std::string(values.front()), std::move(*text), false});
            continue;
        }
        host::IppJobEdits mapped = host::ippAttributeKind(attribute.name) != host::IppAttributeKind::Unmapped
                                       ? host::mapIppAttribute(attribute.name, values, {context.user})
                                       : mapOwn(attribute.name, values, context);
        if (mapped.refusal) {
            result.refusal = std::move(mapped.refusal);
            return result;
        }
        for (std::string& edit : mapped.edits) singles.push_back({std::string(kEditOrigin), std::move(edit), true});
    }
    result.edits.insert(result.edits.end(), std::make_move_iterator(singles.begin()), std::make_move_iterator(singles.end()));
    return result;
}

std::optional<host::IppRefusal> refusalFor(std::span<const JobAttribute> attributes, const JobContext& context,
                                           const rules::InstalledOptions& installed) {
    for (const JobAttribute& attribute : attributes) {
        JobEdits mapped = mapJobAttributes(std::span<const JobAttribute>(&attribute, 1), context);
        if (mapped.refusal) return mapped.refusal;
        std::vector<std::string> edits;
        for (const host::SettingsEdit& edit : mapped.edits)
            if (edit.singleAssignment) edits.push_back(edit.text);
        if (!editsTake(edits, installed))
            return host::IppRefusal{attribute.name,
                                    findVendor(attribute.name) && findVendor(attribute.name)->kind == VendorKind::Secret
                                        ? std::nullopt
                                        : std::optional<std::string>(attribute.values.empty() ? "" : attribute.values.front()),
                                    "the printer's installed options cannot do this"};
    }
    return std::nullopt;
}

bool editsTake(std::span<const std::string> edits, const rules::InstalledOptions& installed) {
    settings::CoreData record = settings::defaultRecord();
    std::vector<host::SettingsEdit> assignments;
    for (const std::string& edit : edits) assignments.push_back({std::string(kEditOrigin), edit, true});
    host::EditOptions options;
    options.installed = installed;
    try {
        host::applySettingsEdits(record, assignments, options);
    } catch (const host::HostError&) {
        return false;
    }
    // The setters take what the units would clear; the job ticket is written
    // after the installed options have cleared it, so that is what counts.
    rules::applyInstalledOptions(record, installed);
    for (const std::string& edit : edits) {
        const std::optional<FieldId> field = settings::assignedField(edit);
        if (!field || settings::formatFieldValue(record, *field) != std::string_view(edit).substr(edit.find(kAssign) + 1))
            return false;
    }
    return true;
}

std::vector<std::string> supportedValues(std::string_view attribute, const rules::InstalledOptions& installed) {
    std::vector<std::string> values;
    if (host::ippAttributeKind(attribute) != host::IppAttributeKind::Unmapped) {
        for (const host::IppChoice& choice : host::ippChoices(attribute)) {
            const std::vector<std::string> edits = host::ippChoiceEdits(choice);
            if (!editsTake(edits, installed)) continue;
            std::string keyword(choice.keyword);
            // Output bins are keywords of small letters, matched without case.
            if (attribute == host::kIppOutputBin)
                std::transform(keyword.begin(), keyword.end(), keyword.begin(),
                               [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
            values.push_back(choice.number.empty() ? keyword : std::string(choice.number));
        }
        return values;
    }
    for (const auto& [value, edit] : ownChoices(attribute, kAutoSlot))
        if (editsTake(std::span<const std::string>(&edit, 1), installed)) values.push_back(value);
    return values;
}

std::optional<std::string_view> mediaForPageSize(std::string_view pageSize) {
    for (const MediaSize& size : kMediaSizes)
        if (size.pageSize == pageSize) return size.media;
    return std::nullopt;
}

std::optional<std::string_view> pageSizeForMedia(std::string_view media) {
    for (const MediaSize& size : kMediaSizes)
        if (size.media == media) return size.pageSize;
    return std::nullopt;
}

}  // namespace tvzx::printer_app
