// The relay server's input fields in the RelayServerSettings block.
#include <gtest/gtest.h>

#include "pjl/relay_settings.h"

namespace tvzx::pjl {
namespace {

using namespace settings;

std::vector<RelayField> parse(std::string_view text) {
    return parseRelaySettings(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

std::string describe(const std::vector<RelayField>& fields) {
    std::string out;
    for (const RelayField& field : fields)
        out += std::to_string(field.type) + "|" + field.id + "|" + relayValueText(field.value) + "\n";
    return out;
}

TEST(RelaySettings, ReadsEveryTypeInBlockOrderWithEscapesAndNumberLimits) {
    const std::vector<RelayField> expected = {
        {kRelayTypeText, "user", std::string("bob smith")}, {kRelayTypeNumber, "pin", std::int64_t{-42}},
        {kRelayTypeToggle, "keep", false}, {kRelayTypeDateTime, "until", RelayDateTime{"2026-12-31 23:59"}},
        {kRelayTypeSelect, "site", std::string("Nord\xC3\xA9")}, {17, "extra", std::string("")}};
    // CR LF, a blank line and a last line ended by the zero byte are all fine.
    const std::string text = "1\tuser\tbob smith\r\n2\tpin\t-42\n\n3\tkeep\tOFF\n4\tuntil\t2026-12-31 23:59\n"
                             "6\tsite\tNord\xC3\xA9\n017\textra\t";
    EXPECT_EQ(describe(parse(text + std::string(1, '\0') + "1\tafter\tzero\n")), describe(expected));
    EXPECT_EQ(parse(text), expected);
    // Escapes, and numbers to their limits.
    EXPECT_EQ(describe(parse("1\tback\\\\slash\ta\\tb\\nc\\rd\\\\e\\x7f\\x41\n")),
              "1|back\\slash|a\tb\nc\rd\\e\x7F" "A\n");
    EXPECT_EQ(describe(parse("2\tmin\t-9223372036854775808\n2\tmax\t9223372036854775807\n2\tlead\t007\n")),
              "2|min|-9223372036854775808\n2|max|9223372036854775807\n2|lead|7\n");
}

TEST(RelaySettings, SkipsMalformedLinesAndKeepsTheRest) {
    const std::string_view bad[] = {
        "1\tno value column", "x\tid\tv", "-1\tid\tv", "4294967296\tid\tv", "\tid\tv", "1\t\tv", "1\tsay \"hi\"\tv",
        "1\tbad\xC3\tv", "1\tid\tone\ttoo many", "1\tid\traw\x01" "control", "1\tid\tunknown \\q escape",
        "1\tid\tcut off \\", "1\tid\tzero \\x00 byte", "1\tid\tnot hex \\xG1", "2\tid\t12a", "2\tid\t", "2\tid\t 1",
        "2\tid\t9223372036854775808", "3\tid\ton", "4\tid\t"};
    for (std::string_view line : bad) {
        const std::string text = "1\tfirst\ta\n" + std::string(line) + "\n6\tlast\tb\n";
        EXPECT_EQ(describe(parse(text)), "1|first|a\n6|last|b\n") << "line: " << line;
    }
}

TEST(RelaySettings, ReadsOnlyTheBlock) {
    // A block without its zero byte was cut off: its last line may have lost
    // part of the value, so it is dropped.
    // The block ends nine bytes into "2\tcut\t12345", that is after "123".
    const std::size_t fill = kRelaySettingsSize - 11 - 8 - 9;
    const std::string block = "2\tpin\t1234\n1\tfill\t" + std::string(fill, 'x') + "\n2\tcut\t12345";
    ASSERT_EQ(block.size(), kRelaySettingsSize + 2);
    EXPECT_EQ(describe(parse(block)), "2|pin|1234\n1|fill|" + std::string(fill, 'x') + "\n");
    EXPECT_EQ(describe(parse(block.substr(0, kRelaySettingsSize - 1) + '\0')),
              "2|pin|1234\n1|fill|" + std::string(fill, 'x') + "\n2|cut|12\n");

    // Nothing past the block is read, even a whole line after its end.
    EXPECT_TRUE(parse(std::string(kRelaySettingsSize, '\n') + "1\tbeyond\tv\n").empty());
    EXPECT_TRUE(parse("").empty());
    EXPECT_TRUE(parse(std::string(kRelaySettingsSize, '\0')).empty());
}

TEST(RelaySettings, WritesWhatItReadsBackAndRefusesWhatItCannotWriteOrDoesNotFit) {
    const std::vector<RelayField> fields = {
        {kRelayTypeText, "path\\name", std::string("tab\there\nline\rcr\x01\x1F\x7F")},
        {kRelayTypeNumber, "n", std::numeric_limits<std::int64_t>::min()}, {kRelayTypeToggle, "t", true},
        {kRelayTypeDateTime, "d", RelayDateTime{"12:00"}}, {0, "\xE6\x97\xA5", std::string("")}};
    const std::optional<std::string> text = formatRelaySettings(fields);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(*text, "1\tpath\\\\name\ttab\\there\\nline\\rcr\\x01\\x1F\x7F\n"
                     "2\tn\t-9223372036854775808\n3\tt\tON\n4\td\t12:00\n0\t\xE6\x97\xA5\t\n");
    EXPECT_EQ(parse(*text), fields);

    // Fields it cannot write, or that do not fit, are refused.
    const std::vector<RelayField> refused[] = {
        {{kRelayTypeText, "", std::string("v")}}, {{kRelayTypeText, "a\"b", std::string("v")}},
        {{kRelayTypeText, "a\tb", std::string("v")}}, {{kRelayTypeText, "\xFF", std::string("v")}},
        {{kRelayTypeText, "id", std::string("zero\0byte", 9)}}, {{kRelayTypeNumber, "id", std::string("12")}},
        {{kRelayTypeToggle, "id", std::int64_t{1}}}, {{kRelayTypeDateTime, "id", RelayDateTime{""}}}};
    for (const std::vector<RelayField>& one : refused)
        EXPECT_FALSE(formatRelaySettings(one).has_value()) << "id: " << one[0].id;

    // "1\tid\t" and the line end take 6 of the 883 bytes before the zero byte.
    CoreData settings = settings::defaultRecord();
    const std::vector<RelayField> fits{{kRelayTypeText, "id", std::string(kRelaySettingsSize - 7, 'v')}};
    ASSERT_TRUE(storeRelaySettings(settings, fits));
    EXPECT_EQ(parseRelaySettings(settings.field(FieldId::RelayServerSettings)), fits);
    const CoreData before = settings;
    const std::vector<RelayField> tooLong{{kRelayTypeText, "id", std::string(kRelaySettingsSize - 6, 'v')}};
    EXPECT_FALSE(storeRelaySettings(settings, tooLong));
    EXPECT_FALSE(storeRelaySettings(settings, refused[0]));
    EXPECT_EQ(settings, before);
}

}  // namespace
}  // namespace tvzx::pjl
