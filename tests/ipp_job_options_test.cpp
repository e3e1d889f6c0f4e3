#include "host/ipp_job_options.h"

#include <gtest/gtest.h>

namespace tvzx::host {
namespace {

using Values = std::vector<std::string_view>;
using Edits = std::vector<std::string>;

IppJobEdits map(std::string_view attribute, Values values, std::string_view user = "alice") {
    return mapIppAttribute(attribute, values, {user});
}

// Every value a client may send, by keyword and (for an enum) by number,
// with the edits it must give.
struct Row {
    const char* attribute;
    const char* number;
    const char* keyword;
    Edits edits;
};

const Row kRows[] = {
    {"sides", "", "one-sided", {"Duplex=False"}}, {"sides", "", "two-sided-long-edge", {"Duplex=True", "Binding=Left"}},
    {"sides", "", "two-sided-short-edge", {"Duplex=True", "Binding=Top"}}, {"collate", "", "true", {"Collate=Sort"}},
    {"collate", "", "false", {"Collate=Group"}}, {"print-quality", "3", "draft", {"PrintQuality=Draft"}},
    {"print-quality", "4", "normal", {"PrintQuality=Normal"}},
    {"print-quality", "5", "high", {"PrintQuality=Normal", "Resolution=1200dpi"}},
    {"printer-resolution", "", "600dpi", {"Resolution=600dpi"}},
    {"printer-resolution", "", "1200dpi", {"Resolution=1200dpi"}},
    {"orientation-requested", "3", "portrait", {"Orientation=Port"}},
    {"orientation-requested", "4", "landscape", {"Orientation=Land"}},
    {"orientation-requested", "5", "reverse-landscape", {"Orientation=Land"}},
    {"orientation-requested", "6", "reverse-portrait", {"Orientation=Port"}},
    {"landscape", "", "true", {"Orientation=Land"}}, {"landscape", "", "false", {"Orientation=Port"}},
    {"finishings", "3", "none", {}}, {"finishings", "4", "staple", {"Staple=1StapleLeft"}},
    {"finishings", "5", "punch", {"Punch=2Holes"}}, {"finishings", "10", "fold", {"Fold=ZFold"}},
    {"finishings", "13", "booklet-maker", {"Layout=Booklet"}},
    {"finishings", "20", "staple-top-left", {"Staple=1StapleLeft", "Binding=Left"}},
    {"finishings", "22", "staple-top-right", {"Staple=1StapleRight", "Binding=Right"}},
    {"finishings", "28", "staple-dual-left", {"Staple=2StaplesNormal", "Binding=Left"}},
    {"finishings", "29", "staple-dual-top", {"Staple=2StaplesNormal", "Binding=Top"}},
    {"finishings", "30", "staple-dual-right", {"Staple=2StaplesNormal", "Binding=Right"}},
    {"finishings", "74", "punch-dual-left", {"Punch=2Holes", "Binding=Left"}},
    {"finishings", "75", "punch-dual-top", {"Punch=2Holes", "Binding=Top"}},
    {"finishings", "76", "punch-dual-right", {"Punch=2Holes", "Binding=Right"}},
    {"finishings", "78", "punch-triple-left", {"Punch=3Holes", "Binding=Left"}},
    {"finishings", "79", "punch-triple-top", {"Punch=3Holes", "Binding=Top"}},
    {"finishings", "80", "punch-triple-right", {"Punch=3Holes", "Binding=Right"}},
    {"finishings", "82", "punch-quad-left", {"Punch=4Holes", "Binding=Left"}},
    {"finishings", "83", "punch-quad-top", {"Punch=4Holes", "Binding=Top"}},
    {"finishings", "84", "punch-quad-right", {"Punch=4Holes", "Binding=Right"}},
    {"finishings", "93", "fold-half", {"Fold=MultiCenterFold"}},
    {"finishings", "96", "fold-letter", {"Fold=MultiLetterFold"}}, {"finishings", "100", "fold-z", {"Fold=ZFold"}},
};

TEST(IppJobOptions, EveryValueByKeywordAndNumberGivesItsEditsAndIsAdvertised) {
    std::map<std::string, std::vector<std::string>> advertised;
    for (const Row& row : kRows) {
        SCOPED_TRACE(std::string(row.attribute) + "=" + row.keyword);
        EXPECT_EQ(ippAttributeKind(row.attribute), IppAttributeKind::List);
        const IppJobEdits byKeyword = map(row.attribute, {row.keyword});
        EXPECT_FALSE(byKeyword.refusal);
        EXPECT_EQ(byKeyword.edits, row.edits);
        if (*row.number != 0) {
            EXPECT_EQ(map(row.attribute, {row.number}).edits, row.edits);
        }
        advertised[row.attribute].push_back(row.keyword);
    }
    // The supported values are exactly the table's, in its order, and each
    // one's edits are those it maps to.
    for (const auto& [attribute, keywords] : advertised) {
        std::vector<std::string> listed;
        for (const IppChoice& choice : ippChoices(attribute)) {
            listed.emplace_back(choice.keyword);
            EXPECT_EQ(ippChoiceEdits(choice), map(attribute, {choice.keyword}).edits);
        }
        EXPECT_EQ(listed, keywords) << attribute;
    }
}

TEST(IppJobOptions, ListValuesAddUpInOrderAndOneBadValueRefusesAll) {
    EXPECT_EQ(map("finishings", {"staple-top-left", "punch-dual-top", "fold-z"}).edits,
              (Edits{"Staple=1StapleLeft", "Binding=Left", "Punch=2Holes", "Binding=Top", "Fold=ZFold"}));
    EXPECT_EQ(map("finishings", {"20", "93"}).edits, (Edits{"Staple=1StapleLeft", "Binding=Left", "Fold=MultiCenterFold"}));
    const IppJobEdits refused = map("finishings", {"staple", "punch-quad-bottom"});
    ASSERT_TRUE(refused.refusal);
    EXPECT_TRUE(refused.edits.empty());
    EXPECT_EQ(refused.refusal->value, "punch-quad-bottom");
    // No value at all sets nothing.
    EXPECT_EQ(map("sides", {}).edits, Edits{});
}

TEST(IppJobOptions, EachAttributeRefusesWhatTheFamilyCannotDo) {
    const std::pair<const char*, const char*> refusals[] = {
        {"sides", "two-sided"},        {"sides", "1"},           {"collate", "yes"},
        {"print-quality", "6"},        {"print-quality", "2"},   {"print-quality", "best"},
        {"printer-resolution", "300dpi"}, {"orientation-requested", "7"}, {"orientation-requested", "none"},
        {"landscape", "on"},           {"finishings", "6"},      {"finishings", "staple-bottom-left"},
        {"finishings", "Staple"},      {"finishings", ""},       {"output-bin", "top"},
    };
    for (const auto& [attribute, value] : refusals) {
        const IppJobEdits result = map(attribute, {value});
        ASSERT_TRUE(result.refusal) << attribute << "=" << value;
        EXPECT_EQ(result.refusal->attribute, attribute);
        EXPECT_EQ(result.refusal->value, value);
        EXPECT_TRUE(result.edits.empty());
    }
    EXPECT_EQ(map("sides", {"two-sided"}).refusal->reason, "is not a value this printer supports");
    EXPECT_EQ(map("output-bin", {"top"}).refusal->reason, "names no output bin of this printer");
    EXPECT_EQ(ippAttributeKind("number-up"), IppAttributeKind::Unmapped);
    EXPECT_TRUE(map("number-up", {"2"}).refusal);
}

TEST(IppJobOptions, OutputBinTakesOneBinByItsNameInAnyCase) {
    EXPECT_EQ(ippAttributeKind("output-bin"), IppAttributeKind::Single);
    EXPECT_EQ(map("output-bin", {"staplermain"}).edits, Edits{"OutputBin=StaplerMain"});
    EXPECT_EQ(map("output-bin", {"RELAYUNIT3ASUB"}).edits, Edits{"OutputBin=RelayUnit3ASub"});
    EXPECT_TRUE(map("output-bin", {"StaplerMai"}).refusal);
    EXPECT_TRUE(map("output-bin", {"StaplerMain", "Auto"}).refusal);
    std::vector<std::string> bins;
    for (const IppChoice& choice : ippChoices("output-bin")) bins.emplace_back(choice.keyword);
    EXPECT_EQ(bins, (std::vector<std::string>{"Auto", "StaplerMain", "StaplerSub", "OpenStacker",
                                              "ThirdPartyFinisherMiddle", "RelayUnit3ASub"}));
}

TEST(IppJobOptions, PasswordMakesASecureJobOfTheUserAndIsNeverRepeated) {
    EXPECT_EQ(ippAttributeKind("job-password"), IppAttributeKind::Single);
    EXPECT_EQ(map("job-password", {"4"}).edits,
              (Edits{"OutputMethod=Secure", "WaitModeSecurePrintId=\"alice\"", "WaitModePassword=\"4\""}));
    // Eight bytes fit; the identifier is the user's name cut to eight bytes
    // on a character's boundary.
    EXPECT_EQ(map("job-password", {"12345678"}, "Bérénçe").edits,
              (Edits{"OutputMethod=Secure", "WaitModeSecurePrintId=\"B\\303\\251r\\303\\251n\"", "WaitModePassword=\"12345678\""}));
    for (std::string_view refused : {"", "123456789"}) {
        const IppJobEdits result = map("job-password", {refused});
        ASSERT_TRUE(result.refusal) << refused.size();
        EXPECT_EQ(result.refusal->value, std::nullopt);
        EXPECT_EQ(result.refusal->reason, "the password must have 1 to 8 bytes");
        EXPECT_TRUE(result.edits.empty());
    }
}

TEST(IppJobOptions, AccountTurnsAccountTrackingOnWithTheDepartment) {
    EXPECT_EQ(map("job-account-id", {"S"}).edits, (Edits{"AccountTrack=True", "AccountTrackDepartmentName=\"S\""}));
    EXPECT_EQ(map("job-account-id", {"Sales,EU"}).edits,
              (Edits{"AccountTrack=True", "AccountTrackDepartmentName=\"Sales,EU\""}));
    for (std::string_view refused : {"", "Marketing"}) {
        const IppJobEdits result = map("job-account-id", {refused});
        ASSERT_TRUE(result.refusal) << refused;
        EXPECT_EQ(result.refusal->value, refused);
        EXPECT_EQ(result.refusal->reason, "the account must have 1 to 8 bytes");
    }
}

}  // namespace
}  // namespace tvzx::host
