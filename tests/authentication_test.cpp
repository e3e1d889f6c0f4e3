// User authentication commands, the last lines of the job ticket.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "pjl/authentication.h"
#include "pjl/relay_settings.h"
#include "pjl/ticket_cipher.h"

namespace tvzx::pjl {
namespace {

using settings::CoreData;
using settings::FieldId;

void select(CoreData& settings, FieldId id, std::string_view option) {
    const std::optional<std::uint32_t> index = settings::fieldDef(id).options->find(option);
    ASSERT_TRUE(index.has_value()) << "no option " << option;
    settings.setOption(id, *index);
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

TEST(AuthenticationLogin, OffWritesOnlyTheServerType) {
    EXPECT_EQ(authentication(login("Off", false), "alice"), kNone);
    EXPECT_EQ(authentication(login("Off", true), "alice"), kNone);
}

TEST(AuthenticationLogin, PrinterUserList) {
    EXPECT_EQ(authentication(login("MainBody", false)),
              "@PJL SET ZXUSERNAME=\"bob\"\r\n" + enciphered("ZXUSERKEY2", "pa55word") + kNone);
    EXPECT_EQ(authentication(login("MainBody", true)), kPublic + kNone);
}

TEST(AuthenticationLogin, ExternalServerByNumberOnlyForPersonalLogin) {
    EXPECT_EQ(authentication(login("ExternalServer", false)), "@PJL SET ZXUSERNAME=\"bob\"\r\n" +
                                                                  enciphered("ZXUSERKEY2", "pa55word") +
                                                                  "@PJL SET ZXCERTSERVTYPE=NUMBER\r\n"
                                                                  "@PJL SET ZXCERTSERVNUM=3\r\n");
    EXPECT_EQ(authentication(login("ExternalServer", true)), kPublic + kNone);
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
}

TEST(AuthenticationLogin, SixteenBytePasswordGivesTwoBlocks) {
    CoreData settings = login("MainBody", false);
    settings.setText(FieldId::UserAuthenticationPassword, "0123456789ABCDEF");
    EXPECT_EQ(authentication(settings),
              "@PJL SET ZXUSERNAME=\"bob\"\r\n"
              "@PJL SET ZXUSERKEY2=\"4F69D5AB7D6D3288898E8E2553E38AE5A4C2D20FF0F3E3289B1F160C0EEE681E\"\r\n" +
                  kNone);
}

TEST(AuthenticationRelay, PersonalLoginSendsTheRelayFieldsInsteadOfAName) {
    CoreData settings = login("RelayServer", false);
    const std::vector<RelayField> fields = {
        {kRelayTypeText, "user", std::string("bob")},
        {kRelayTypeNumber, "pin", std::int64_t{-1234}},
        {kRelayTypeToggle, "remember", true},
        {kRelayTypeDateTime, "until", RelayDateTime{"2026-12-31 23:59"}},
        {kRelayTypeSelect, "site", std::string("North")},
        {9, "note", std::string("free text")},
    };
    ASSERT_TRUE(storeRelaySettings(settings, fields));
    EXPECT_EQ(authentication(settings, "alice"),
              kNone + "@PJL SET ZXCERTFLEXCONTNUM=6\r\n"
                      "@PJL SET ZXCERTFLEXCONTTYPE1=STRING\r\n" +
                  enciphered("ZXCERTFLEXSTRING1", "bob") +
                  "@PJL SET ZXCERTFLEXCONTID1=\"user\"\r\n"
                  "@PJL SET ZXCERTFLEXCONTTYPE2=NUMERIC\r\n" +
                  enciphered("ZXCERTFLEXNUMERIC2", "-1234") +
                  "@PJL SET ZXCERTFLEXCONTID2=\"pin\"\r\n"
                  "@PJL SET ZXCERTFLEXCONTTYPE3=TOGGLE\r\n" +
                  enciphered("ZXCERTFLEXTOGGLE3", "ON") +
                  "@PJL SET ZXCERTFLEXCONTID3=\"remember\"\r\n"
                  "@PJL SET ZXCERTFLEXCONTTYPE4=DATEANDTIME1\r\n" +
                  enciphered("ZXCERTFLEXDAY4", "2026-12-31 23:59") +
                  "@PJL SET ZXCERTFLEXCONTID4=\"until\"\r\n"
                  "@PJL SET ZXCERTFLEXCONTTYPE5=STATICSELECT\r\n" +
                  enciphered("ZXCERTFLEXSELECT5", "North") +
                  "@PJL SET ZXCERTFLEXCONTID5=\"site\"\r\n"
                  "@PJL SET ZXCERTFLEXCONTTYPE6=STRING\r\n" +
                  enciphered("ZXCERTFLEXSTRING6", "free text") +
                  "@PJL SET ZXCERTFLEXCONTID6=\"note\"\r\n"
                  "@PJL SET ZXCERTSELECTTYPE=FLEX\r\n"
                  "@PJL SET ZXCERTFLEXSCREENID=\"LOGIN-01\"\r\n");
}

TEST(AuthenticationRelay, CountsEveryFieldButSendsSixGroups) {
    CoreData settings = login("RelayServer", false);
    std::vector<RelayField> fields;
    for (int i = 1; i <= 8; ++i) fields.push_back({kRelayTypeNumber, "f" + std::to_string(i), std::int64_t{i}});
    ASSERT_TRUE(storeRelaySettings(settings, fields));
    const std::string ticket = authentication(settings);
    EXPECT_NE(ticket.find("@PJL SET ZXCERTFLEXCONTNUM=8\r\n"), std::string::npos) << ticket;
    EXPECT_NE(ticket.find("@PJL SET ZXCERTFLEXCONTID6=\"f6\"\r\n@PJL SET ZXCERTSELECTTYPE=FLEX\r\n"), std::string::npos)
        << ticket;
    EXPECT_EQ(ticket.find("ZXCERTFLEXCONTTYPE7"), std::string::npos) << ticket;
}

TEST(AuthenticationRelay, NoFieldsNoRelayCommands) {
    CoreData settings = login("RelayServer", false);
    ASSERT_TRUE(storeRelaySettings(settings, {}));
    EXPECT_EQ(authentication(settings), kNone);
    // Only malformed lines count as no fields, too.
    settings.setText(FieldId::RelayServerSettings, "x\tid\tvalue\n2\tpin\tnot a number\n");
    EXPECT_EQ(authentication(settings), kNone);
}

TEST(AuthenticationRelay, PublicLoginSendsNoRelayFields) {
    EXPECT_EQ(authentication(login("RelayServer", true), "alice"), kPublic + kNone);
}

}  // namespace
}  // namespace tvzx::pjl
