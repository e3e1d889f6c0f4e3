#include "pjl/settings_secrets.h"

#include <algorithm>
#include <string>
#include <variant>
#include <vector>

#include "common/aes256.h"
#include "pjl/relay_settings.h"

namespace tvzx::pjl {
namespace {

using settings::FieldId;

// The text fields that hold passwords.
constexpr FieldId kPasswordFields[] = {
    FieldId::AccountTrackPassword, FieldId::WaitModePassword,           FieldId::OutputMethodFolderNamePassword,
    FieldId::PdfPassword,          FieldId::UserAuthenticationPassword,
};

// Returns the field's value with whatever may be a secret taken out: the
// ticket enciphers every relay value, and a PIN may be a text or a number.
RelayValue clearedValue(const RelayValue& value) {
    if (std::holds_alternative<std::string>(value)) return std::string();
    if (std::holds_alternative<std::int64_t>(value)) return std::int64_t{0};
    return value;
}

// Clears the secrets of one relay field in place, wiping the clear text.
void clearRelayField(RelayField& field) {
    if (auto* text = std::get_if<std::string>(&field.value)) wipeMemory(text->data(), text->size());
    field.value = clearedValue(field.value);
}

}  // namespace

settings::CoreData withoutSecrets(const settings::CoreData& record) {
    settings::CoreData copy = record;
    for (const FieldId id : kPasswordFields) std::ranges::fill(copy.field(id), std::uint8_t{0});

    // The relay block is rebuilt from its parsed fields, so that nothing of
    // a line the parser skipped survives either.
    std::vector<RelayField> fields = parseRelaySettings(record.field(FieldId::RelayServerSettings));
    std::ranges::for_each(fields, clearRelayField);
    if (!storeRelaySettings(copy, fields)) std::ranges::fill(copy.field(FieldId::RelayServerSettings), std::uint8_t{0});
    return copy;
}

}  // namespace tvzx::pjl
