#include "pjl/authentication.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <variant>
#include <vector>

#include "common/aes256.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"
#include "pjl/relay_settings.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {


constexpr std::string_view kUserNameKey = "ZXUSERNAME";
constexpr std::string_view kServerTypeKey = "ZXCERTSERVTYPE";
constexpr std::string_view kServerNumberKey = "ZXCERTSERVNUM";
constexpr std::string_view kFieldCountKey = "ZXCERTFLEXCONTNUM";
constexpr std::string_view kFieldTypeKey = "ZXCERTFLEXCONTTYPE";
constexpr std::string_view kFieldIdKey = "ZXCERTFLEXCONTID";
constexpr std::string_view kSelectTypeKey = "ZXCERTSELECTTYPE";
constexpr std::string_view kScreenIdKey = "ZXCERTFLEXSCREENID";

constexpr std::string_view kPublicUser = "Public";
constexpr std::string_view kServerByNumber = "NUMBER";
constexpr std::string_view kNoServer = "NONE";
constexpr std::string_view kFlexSelect = "FLEX";

// The user name setting holding only this byte means: the logged-on user.
constexpr std::string_view kLoggedOnUser = "\xFF";

// Option names of the settings that steer these commands.
constexpr std::string_view kTrue = "True";
constexpr std::string_view kOff = "Off";
constexpr std::string_view kExternalServer = "ExternalServer";
constexpr std::string_view kRelayServer = "RelayServer";

// The controller takes the values of at most this many relay input fields.
constexpr std::size_t kRelayFieldGroups = 6;

// How each relay field type is announced and under which key its value goes;
// a type not listed is sent like a text field, the first row.
struct RelayTypeKeys {
    std::uint32_t type;
    std::string_view typeName;
    std::string_view valueKey;
};
constexpr std::array<RelayTypeKeys, 5> kRelayTypeKeys{{
    {kRelayTypeText, "STRING", "ZXCERTFLEXSTRING"},
    {kRelayTypeNumber, "NUMERIC", "ZXCERTFLEXNUMERIC"},
    {kRelayTypeToggle, "TOGGLE", "ZXCERTFLEXTOGGLE"},
    {kRelayTypeDateTime, "DATEANDTIME1", "ZXCERTFLEXDAY"},
    {kRelayTypeSelect, "STATICSELECT", "ZXCERTFLEXSELECT"},
}};

const RelayTypeKeys& relayTypeKeys(std::uint32_t type) {
    for (const RelayTypeKeys& keys : kRelayTypeKeys)
        if (keys.type == type) return keys;
    return kRelayTypeKeys.front();
}

// Returns the key of one relay field group: the base key and the field's
// number, counted from 1.
std::string numberedKey(std::string_view key, std::size_t number) {
    return std::string(key) + formatNumber(static_cast<std::int64_t>(number));
}

}  // namespace

bool isRelayValueKey(std::string_view key) {
    for (const RelayTypeKeys& keys : kRelayTypeKeys) {
        if (!key.starts_with(keys.valueKey) || key.size() == keys.valueKey.size()) continue;
        const std::string_view number = key.substr(keys.valueKey.size());
        if (number.find_first_not_of("0123456789") == std::string_view::npos) return true;
    }
    return false;
}

namespace {

void wipeText(std::string& text) { wipeMemory(text.data(), text.size()); }

// Appends the relay screen's input fields; nothing when the settings hold no
// field, not even the screen id.
void writeRelayFields(std::string& ticket, const CoreData& settings) {
    std::vector<RelayField> fields = parseRelaySettings(settings.field(FieldId::RelayServerSettings));
    if (fields.empty()) return;

    // The count is that of all fields, though only the first groups follow.
    ticket += formatPjlSet(kFieldCountKey, formatNumber(static_cast<std::int64_t>(fields.size())));
    for (std::size_t i = 0; i < fields.size() && i < kRelayFieldGroups; ++i) {
        const RelayField& field = fields[i];
        const RelayTypeKeys& keys = relayTypeKeys(field.type);
        const std::size_t number = i + 1;
        ticket += formatPjlSet(numberedKey(kFieldTypeKey, number), keys.typeName);
        // The values may be PINs or other secrets: they go enciphered.
        std::string value = relayValueText(field.value);
        ticket += formatPjlSet(numberedKey(keys.valueKey, number), encipherForTicket(value), true);
        wipeText(value);
        ticket += formatPjlSet(numberedKey(kFieldIdKey, number), field.id, true);
    }
    ticket += formatPjlSet(kSelectTypeKey, kFlexSelect);
    ticket += formatPjlSet(kScreenIdKey, settings.text(FieldId::RelayServerScreenId), true);

    // Do not leave the clear values behind in freed memory.
    for (RelayField& field : fields) {
        if (auto* text = std::get_if<std::string>(&field.value)) wipeText(*text);
        if (auto* dateTime = std::get_if<RelayDateTime>(&field.value)) wipeText(dateTime->text);
    }
}

}  // namespace

void writeUserAuthentication(std::string& ticket, const CoreData& settings, const TicketInputs& inputs) {
    const std::string_view method = optionName(settings, FieldId::UserAuthentication);
    const bool isPublic = optionName(settings, FieldId::UserAuthenticationPublic) == kTrue;
    // A relay server login identifies the user through the relay fields, not
    // through a user name and password.
    const bool relayLogin = method == kRelayServer && !isPublic;

    if (method != kOff && !relayLogin) {
        if (isPublic) {
            ticket += formatPjlSet(kUserNameKey, kPublicUser, true);
        } else {
            // The marker stands for the logged-on user when the ticket has
            // one; without one the setting is sent as it is.
            std::string_view userName = settings.text(FieldId::UserAuthenticationUserName);
            if (userName == kLoggedOnUser && inputs.userName) userName = *inputs.userName;
            ticket += formatPjlSet(kUserNameKey, userName, true);
            ticket += formatPjlSet(kUserPasswordKey, encipherForTicket(settings.text(FieldId::UserAuthenticationPassword)), true);
        }
    }

    // The server number matters only for a personal login at an external
    // server; every other login is checked without one.
    const bool byServerNumber = method == kExternalServer && !isPublic;
    ticket += formatPjlSet(kServerTypeKey, byServerNumber ? kServerByNumber : kNoServer);
    if (byServerNumber)
        ticket += formatPjlSet(kServerNumberKey, formatNumber(settings.raw(FieldId::UserAuthenticationServer)));

    if (relayLogin) writeRelayFields(ticket, settings);
}

}  // namespace tvzx::pjl
