#include "pjl/table_commands.h"

#include "common/rescale.h"
#include "pjl/pjl_format.h"

namespace tvzx::pjl {

using settings::Column;
using settings::fieldDef;
using settings::PjlMode;

bool isWritten(PjlMode mode) { return mode == PjlMode::Plain || mode == PjlMode::Grouped; }

std::uint32_t effectiveOption(const CoreData& settings, FieldId id) {
    const settings::OptionTable& table = *fieldDef(id).options;
    const std::uint32_t index = settings.option(id);
    return index < table.count() || table.count() == 0 ? index : table.defaultIndex;
}

std::string_view optionName(const CoreData& settings, FieldId id) {
    const settings::OptionTable& table = *fieldDef(id).options;
    const std::uint32_t index = effectiveOption(settings, id);
    return index < table.count() ? table.entries[index].name : std::string_view{};
}

bool isOption(const CoreData& settings, FieldId id, std::string_view name) { return optionName(settings, id) == name; }

bool isOn(const CoreData& settings, FieldId id) { return effectiveOption(settings, id) != 0; }

std::string_view optionPjlValueAt(FieldId id, std::uint32_t index) {
    return settings::lookupValue(*fieldDef(id).options, index, Column::PjlValue).text;
}

std::string_view optionPjlValue(const CoreData& settings, FieldId id) {
    return optionPjlValueAt(id, settings.option(id));
}

std::string_view pjlKeyOf(FieldId id) {
    const settings::FieldDef& def = fieldDef(id);
    if (def.options != nullptr) return def.options->pjlKey;
    if (def.numeric != nullptr) return def.numeric->pjlKey;
    return {};
}

std::string pjlNumberAtScale(const CoreData& settings, FieldId id, std::uint32_t pjlScale) {
    return formatNumber(rescale(settings.number(id), fieldDef(id).numeric->scale, pjlScale));
}

std::string pjlNumber(const CoreData& settings, FieldId id) {
    return pjlNumberAtScale(settings, id, fieldDef(id).numeric->pjlScale());
}

void writeOptionCommand(std::string& ticket, const CoreData& settings, FieldId id) {
    const settings::OptionTable& table = *fieldDef(id).options;
    if (table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    const std::string_view value = optionPjlValue(settings, id);
    if (!value.empty()) ticket += formatPjlSet(table.pjlKey, value);
}

void writeNumericCommand(std::string& ticket, const CoreData& settings, FieldId id) {
    const settings::NumericDescriptor& descriptor = *fieldDef(id).numeric;
    if (descriptor.pjlKey.empty() || !isWritten(descriptor.pjlMode)) return;
    ticket += formatPjlSet(descriptor.pjlKey, pjlNumber(settings, id));
}

}  // namespace tvzx::pjl
