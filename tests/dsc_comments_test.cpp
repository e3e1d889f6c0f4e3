// The DSC comments that carry the job settings, title and user.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/base64.h"
#include "postscript/dsc_comments.h"
#include "settings/text_form.h"

namespace tvzx::postscript {
namespace {

// Stores a text into a binary field, zero-filling the rest.
void storeBlock(settings::CoreData& record, settings::FieldId id, std::string_view text) {
    const auto block = record.field(id);
    std::fill(block.begin(), block.end(), std::uint8_t{0});
    std::copy(text.begin(), text.end(), block.begin());
}

TEST(Comments, LongOnesStayWithin160CharactersShortOnesGoHexAndTheJobSettingsOnesHoldNoSecrets) {
    // "%%TARVO-JobSettings: " is 21 characters: the first line holds 139.
    EXPECT_EQ(longComment("TARVO-JobSettings", std::string(139, 'A')),
              "%%TARVO-JobSettings: " + std::string(139, 'A') + "\r\n%%+ \r\n");
    EXPECT_EQ(longComment("TARVO-JobSettings", std::string(140, 'A')),
              "%%TARVO-JobSettings: " + std::string(139, 'A') + "\r\n%%+ A\r\n");
    // A continuation line holds 156.
    EXPECT_EQ(longComment("K", std::string(155 + 156, 'B')),
              "%%K: " + std::string(155, 'B') + "\r\n%%+ " + std::string(156, 'B') + "\r\n%%+ \r\n");
    EXPECT_EQ(longComment("K", ""), "%%K: \r\n");
    EXPECT_EQ(longComment("", "value"), "");
    // A short comment is hexadecimal for blanks and bytes past ASCII.
    EXPECT_EQ(shortComment("TitleEx", "Q3 Report"), "%%TARVO-TitleEx: <5133205265706F7274>\r\n");
    EXPECT_EQ(shortComment("ForEx", "\xC3\xA9"), "%%TARVO-ForEx: <C3A9>\r\n");

    // The job settings comments carry the record without secrets, and its description.
    using settings::FieldId;
    settings::CoreData record = settings::defaultRecord();
    record.setOption(FieldId::Staple, 2);
    record.setText(FieldId::WaitModePassword, "secret12");
    record.setText(FieldId::UserAuthenticationPassword, "hunter22");
    record.setText(FieldId::PdfPassword, "pdfsecret");
    // Relay values: a text PIN, a number, a toggle, a date, an unknown type
    // read as text, and a malformed line that is dropped.
    storeBlock(record, FieldId::RelayServerSettings,
               "1\tpin\tsecret12\n2\tcode\t4711\n3\tok\tON\n4\twhen\t2026-12-07\n5\tkey\tp\\x41ss\nbroken line\n");
    // What the comment must carry, written out by hand.
    settings::CoreData expected = record;
    for (FieldId id : {FieldId::AccountTrackPassword, FieldId::WaitModePassword, FieldId::OutputMethodFolderNamePassword,
                       FieldId::PdfPassword, FieldId::UserAuthenticationPassword})
        expected.setText(id, "");
    storeBlock(expected, FieldId::RelayServerSettings, "1\tpin\t\n2\tcode\t0\n3\tok\tON\n4\twhen\t2026-12-07\n5\tkey\t\n");

    EXPECT_EQ(jobSettingsComments(record), longComment("TARVO-JobSettings", base64Encode(expected.bytes)) +
                                               longComment("TARVO-JobSettingsDescription", settings::writeDescription()));
}

}  // namespace
}  // namespace tvzx::postscript
