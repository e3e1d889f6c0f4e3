// The DSC comments that carry the job settings, title and user.
#include <gtest/gtest.h>

#include "common/base64.h"
#include "postscript/dsc_comments.h"
#include "settings/text_form.h"

namespace tvzx::postscript {
namespace {

TEST(LongComment, LinesStayWithin160Characters) {
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
}

TEST(JobSettingsComments, CarryTheRecordAndItsDescription) {
    settings::CoreData record = settings::defaultRecord();
    record.setOption(settings::FieldId::Staple, 2);
    const std::string block = jobSettingsComments(record);
    EXPECT_EQ(block, longComment("TARVO-JobSettings", base64Encode(record.bytes)) +
                         longComment("TARVO-JobSettingsDescription", settings::writeDescription()));
    // Every line of the block stays within the DSC line limit.
    for (std::size_t at = 0; at < block.size();) {
        const std::size_t end = block.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - at, 160u);
        at = end + 2;
    }
}

TEST(ShortComment, PlainOrHexadecimal) {
    EXPECT_EQ(shortComment("TitleEx", "Report2024"), "%%TARVO-TitleEx: Report2024\r\n");
    EXPECT_EQ(shortComment("TitleEx", "Q3 Report"), "%%TARVO-TitleEx: <5133205265706F7274>\r\n");
    EXPECT_EQ(shortComment("ForEx", "\xC3\xA9"), "%%TARVO-ForEx: <C3A9>\r\n");
}

TEST(BitmapSize, OneLine) { EXPECT_EQ(bitmapSizeLine(4960, 7016), "%%TARVO-BitmapSize: 4960 7016\r\n"); }

}  // namespace
}  // namespace tvzx::postscript
