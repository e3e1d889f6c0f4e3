// User authentication commands, the last lines of the job ticket.
#include <gtest/gtest.h>

#include "pjl/authentication.h"
#include "pjl/relay_settings.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

using namespace settings;

// Selects an option by name; a name the table lacks throws.
void select(CoreData& settings, FieldId id, std::string_view option) {
    settings.setOption(id, settings::fieldDef(id).options->find(option).value());
}

CoreData login(std::string_view method, bool isPublic) {
    CoreData settings = settings::defaultRecord();
    select(settings, FieldId::UserAuthentication, method);
    select(settings, FieldId::UserAuthenticationPublic, isPublic ? "True" : "False");
    settings.setText(FieldId::UserAuthenticationUserName, "bob");
    settings.setText(FieldId::UserAuthenticationPassword, "pa55word");
    settings.setRaw(FieldId::UserAuthenticationServer, 3);
    settings.setText(FieldId::RelayServerScreenId, "LOGIN-01");
    const std::vector<RelayField> fields = {{kRelayTypeText, "dept", std::string("R&D")}};
    EXPECT_TRUE(storeRelaySettings(settings, fields));
    return settings;
}

std::string authentication(const CoreData& settings, std::optional<std::string> userName = std::nullopt) {
    std::string ticket;
    writeUserAuthentication(ticket, settings, {std::nullopt, std::move(userName), std::nullopt});
    return ticket;
}

std::string enciphered(std::string_view key, std::string_view value) {
    return "@PJL SET " + std::string(key) + "=\"" + encipherForTicket(value) + "\"\r\n";
}

const std::string kNone = "@PJL SET ZXCERTSERVTYPE=NONE\r\n";
const std::string kPublic = "@PJL SET ZXUSERNAME=\"Public\"\r\n";

TEST(AuthenticationLogin, ByMethodAndPublicOrPersonalLogin) {
    const std::string bob = "@PJL SET ZXUSERNAME=\"bob\"\r\n" + enciphered("ZXUSERKEY2", "pa55word");
    // Only a personal login to an external server names the server, by number;
    // a public login sends no name and no relay fields.
    const struct {
        std::string_view method;
        bool isPublic;
        std::string expected;
    } rows[] = {
        {"Off", false, kNone}, {"Off", true, kNone}, {"MainBody", false, bob + kNone}, {"MainBody", true, kPublic + kNone},
        {"ExternalServer", false, bob + "@PJL SET ZXCERTSERVTYPE=NUMBER\r\n@PJL SET ZXCERTSERVNUM=3\r\n"},
        {"ExternalServer", true, kPublic + kNone}, {"RelayServer", true, kPublic + kNone},
    };
    for (const auto& row : rows)
        EXPECT_EQ(authentication(login(row.method, row.isPublic), "alice"), row.expected) << row.method << " " << row.isPublic;
}

TEST(AuthenticationLogin, MarkerStandsForTheLoggedOnUser) {
    CoreData settings = login("MainBody", false);
    settings.setText(FieldId::UserAuthenticationUserName, "\xFF");
    const std::string key = enciphered("ZXUSERKEY2", "pa55word");
    EXPECT_EQ(authentication(settings, "alice"), "@PJL SET ZXUSERNAME=\"alice\"\r\n" + key + kNone);
    // With no logged-on user the setting goes as it is.
    EXPECT_EQ(authentication(settings), "@PJL SET ZXUSERNAME=\"\xFF\"\r\n" + key + kNone);
    // Any other name wins over the logged-on user.
    settings.setText(FieldId::UserAuthenticationUserName, "\xFF\xFF");
    EXPECT_EQ(authentication(settings, "alice"), "@PJL SET ZXUSERNAME=\"\xFF\xFF\"\r\n" + key + kNone);
    // A sixteen-byte password gives two blocks.
    settings.setText(FieldId::UserAuthenticationPassword, "0123456789ABCDEF");
    EXPECT_EQ(authentication(settings), "@PJL SET ZXUSERNAME=\"\xFF\xFF\"\r\n"
              "@PJL SET ZXUSERKEY2=\"4F69D5AB7D6D3288898E8E2553E38AE5A4C2D20FF0F3E3289B1F160C0EEE681E\"\r\n" + kNone);
}

TEST(AuthenticationRelay, PersonalLoginSendsSixGroupsOfTheRelayFieldsInsteadOfAName) {
    CoreData settings = login("RelayServer", false);
    const std::vector<RelayField> fields = {
        {kRelayTypeText, "user", std::string("bob")}, {kRelayTypeNumber, "pin", std::int64_t{-1234}},
        {kRelayTypeToggle, "remember", true}, {kRelayTypeDateTime, "until", RelayDateTime{"2026-12-31 23:59"}},
        {kRelayTypeSelect, "site", std::string("North")}, {9, "note", std::string("free text")},
    };
    ASSERT_TRUE(storeRelaySettings(settings, fields));
    // Each field goes as its type, its value enciphered under a key of that type, and its id.
    const auto group = [](std::string n, std::string type, std::string key, std::string_view value, std::string id) {
        return "@PJL SET ZXCERTFLEXCONTTYPE" + n + "=" + type + "\r\n" + enciphered("ZXCERTFLEX" + key + n, value) +
               "@PJL SET ZXCERTFLEXCONTID" + n + "=\"" + id + "\"\r\n";
    };
    EXPECT_EQ(authentication(settings, "alice"),
              kNone + "@PJL SET ZXCERTFLEXCONTNUM=6\r\n" + group("1", "STRING", "STRING", "bob", "user") +
                  group("2", "NUMERIC", "NUMERIC", "-1234", "pin") + group("3", "TOGGLE", "TOGGLE", "ON", "remember") +
                  group("4", "DATEANDTIME1", "DAY", "2026-12-31 23:59", "until") +
                  group("5", "STATICSELECT", "SELECT", "North", "site") + group("6", "STRING", "STRING", "free text", "note") +
                  "@PJL SET ZXCERTSELECTTYPE=FLEX\r\n@PJL SET ZXCERTFLEXSCREENID=\"LOGIN-01\"\r\n");

    // Every field counts, but six groups are sent; without readable fields, nothing.
    std::vector<RelayField> eight;
    for (int i = 1; i <= 8; ++i) eight.push_back({kRelayTypeNumber, "f" + std::to_string(i), std::int64_t{i}});
    ASSERT_TRUE(storeRelaySettings(settings, eight));
    const std::string ticket = authentication(settings);
    EXPECT_NE(ticket.find("@PJL SET ZXCERTFLEXCONTNUM=8\r\n"), std::string::npos) << ticket;
    EXPECT_NE(ticket.find("@PJL SET ZXCERTFLEXCONTID6=\"f6\"\r\n@PJL SET ZXCERTSELECTTYPE=FLEX\r\n"), std::string::npos);
    EXPECT_EQ(ticket.find("ZXCERTFLEXCONTTYPE7"), std::string::npos) << ticket;
    // No readable fields, no relay commands.
    ASSERT_TRUE(storeRelaySettings(settings, {}));
    EXPECT_EQ(authentication(settings), kNone);
    // Only malformed lines count as no fields, too.
    settings.setText(FieldId::RelayServerSettings, "x\tid\tvalue\n2\tpin\tnot a number\n");
    EXPECT_EQ(authentication(settings), kNone);
}

}  // namespace
}  // namespace tvzx::pjl
