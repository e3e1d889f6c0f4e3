// The host's own PPD reader: what it takes from a PPD text, the faults it
// refuses, and, where libcups is installed, that it reads every option and
// default of a file exactly as libcups does.
#include <gtest/gtest.h>

#include "host/host_error.h"
#include "host/ppd_file.h"

#if defined(TVZX_HAVE_LIBCUPS)
#include <cups/ppd.h>
// libcups marks its PPD interface deprecated in favour of a print server;
// the comparison reads files and has none.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif

namespace {

using namespace tvzx::host;

const std::string kShippedPpd = std::string(TVZX_SOURCE_DIR) + "/data/tvzx.ppd";

// A file with what real PPD files hold around their options: comments,
// translations, code over several lines with "*End", CR LF line ends, a
// default written before its feature, a custom page size, a JCL feature and
// keyed entries that are no options.
const std::string kSample = "*PPD-Adobe: \"4.3\"\r\n*% a comment: \"with a quote\r\n*DefaultStapling: Left\r\n"
    "*Font Courier: Standard \"(002.004S)\" Standard ROM\r\n*OpenUI *PageSize/Media Size: PickOne\r\n"
    "*OrderDependency: 20 AnySetup *PageSize\r\n*DefaultPageSize: A4\r\n"
    "*PageSize A4/A4 210 x 297 mm: \"<</PageSize [595 842]>> setpagedevice\"\r\n*PageSize Letter/US Letter: \"\r\n"
    "  <</PageSize [612 792]>>\r\n  setpagedevice\"\r\n*End\r\n*PageSize A3/A3: \"first\"\r\n"
    "*PageSize A3/A3 again: \"second\"\r\n*CloseUI: *PageSize\r\n*PaperDimension A4/A4: \"595 842\"\r\n"
    "*CustomPageSize True: \"pop pop pop\r\n<</PageSize [5 -2 roll]>> setpagedevice\"\r\n*End\r\n"
    "*ParamCustomPageSize Width: 1 points 1 1000\r\n*OpenUI *Stapling/Staple: PickOne\r\n"
    "*Stapling Left/Top left: \"1 staple\"\r\n*Stapling None/Off: \"\"\r\n*CloseUI: *Stapling\r\n"
    "*JCLOpenUI *JCLHold/Hold: PickOne\r\n*DefaultJCLHold: Off\r\n*JCLHold Off/Off: \"@PJL SET HOLD=OFF<0D0a>\"\r\n"
    "*JCLHold On/On: \"@PJL SET HOLD=ON<0A 0D><not hex>\"\r\n*JCLCloseUI: *JCLHold\r\n";

std::string codeOf(const PpdFile& ppd, const char* keyword, const char* option) {
    const auto code = ppd.invocation(keyword, option);
    return code ? std::string(*code) : "(none)";
}

TEST(PpdReader, TakesOptionCodeDefaultsAndCustomValuesOfFeaturesOnlyAndRefusesWhatIsNoPpdFile) {
    const PpdFile ppd = PpdFile::fromText(kSample, "sample.ppd");
    const std::string a4 = "<</PageSize [595 842]>> setpagedevice";
    const std::string custom = "pop pop pop\n<</PageSize [5 -2 roll]>> setpagedevice";
    const struct {
        const char *keyword, *option;
        std::string code;
    } codes[] = {
        {"PageSize", "A4", a4}, {"pagesize", "a4", a4}, {"Stapling", "None", ""},
        // Code over several lines keeps its inner line ends, always as LF.
        {"PageSize", "Letter", "\n  <</PageSize [612 792]>>\n  setpagedevice"},
        // An option given twice has its first code.
        {"PageSize", "A3", "first"},
        // Job control code gives its hexadecimal substrings as bytes; the
        // digits end at the first other character.
        {"JCLHold", "Off", "@PJL SET HOLD=OFF\r\n"}, {"JCLHold", "On", "@PJL SET HOLD=ON\n<not hex>"},
        // Both names of the custom value lead to its code.
        {"CustomPageSize", "True", custom}, {"PageSize", "Custom", custom},
        // Keyed entries outside the features, comments and parameters are no options.
        {"PaperDimension", "A4", "(none)"}, {"Font", "Courier", "(none)"}, {"Stapling", "Right", "(none)"},
        {"ParamCustomPageSize", "Width", "(none)"},
    };
    for (const auto& c : codes) EXPECT_EQ(codeOf(ppd, c.keyword, c.option), c.code) << c.keyword << " " << c.option;
    for (const auto& [keyword, option] : {std::pair("PageSize", "A4"), std::pair("Stapling", "Left"),
                                          std::pair("STAPLING", "Left"), std::pair("JCLHold", "Off")})
        EXPECT_EQ(ppd.defaultOption(keyword), option) << keyword;
    EXPECT_FALSE(ppd.defaultOption("Font") || ppd.defaultOption("ColorModel"));

    // What is no PPD file is refused, naming the line.
    const auto refusal = [](const std::string& text) {
        try {
            PpdFile::fromText(text, "bad.ppd");
        } catch (const HostError& error) {
            const std::string prefix = "bad.ppd: not a usable PPD file: ";
            return std::string(error.what()).starts_with(prefix) ? std::string(error.what()).substr(prefix.size())
                                                                 : std::string(error.what());
        }
        return std::string("(read)");
    };
    EXPECT_EQ(refusal(""), "does not start with *PPD-Adobe: (line 1)");
    EXPECT_EQ(refusal("%!PS-Adobe-3.0\n"), "does not start with *PPD-Adobe: (line 1)");
    EXPECT_EQ(refusal("*PPD-Adobe: \"4.3\"\n*OpenUI *A: PickOne\n*A B: \"open\n\n"),
              "the quoted value of *A has no closing quote (line 3)");
    EXPECT_EQ(refusal("*PPD-Adobe: \"4.3\"\n*OpenUI: PickOne\n"), "*OpenUI names no feature (line 2)");
    // A line count after code over several lines still names the right line.
    EXPECT_EQ(refusal("*PPD-Adobe: \"4.3\"\n*A B: \"1\n2\n3\"\n*OpenUI: x\n"), "*OpenUI names no feature (line 5)");
    EXPECT_THROW(PpdFile(std::string(TVZX_BINARY_DIR) + "/no such file.ppd"), HostError);
}

#if defined(TVZX_HAVE_LIBCUPS)

// Returns how many options of every feature libcups finds in the file; each
// must have the same code and each feature the same default in the reader.
int compareWithLibcups(const std::string& path) {
    ppd_file_t* cups = ppdOpenFile(path.c_str());
    EXPECT_NE(cups, nullptr) << path;
    if (cups == nullptr) return 0;
    const PpdFile ours(path);
    int compared = 0;
    for (ppd_group_t* group = cups->groups; group < cups->groups + cups->num_groups; ++group) {
        for (ppd_option_t* option = group->options; option < group->options + group->num_options; ++option) {
            EXPECT_EQ(ours.defaultOption(option->keyword), std::string(option->defchoice)) << option->keyword;
            std::set<std::string> seen;
            for (ppd_choice_t* choice = option->choices; choice < option->choices + option->num_choices; ++choice) {
                // libcups files the custom value as the option "Custom", and
                // adds an empty one to the page region, which has none.
                const std::string name = std::string(choice->choice) == "_Custom" ? "Custom" : choice->choice;
                if (name == "Custom" && std::string(option->keyword) == "PageRegion") continue;
                // libcups keeps a repeated option twice and finds the first.
                if (!seen.insert(name).second) continue;
                EXPECT_EQ(codeOf(ours, option->keyword, name.c_str()), choice->code != nullptr ? choice->code : "")
                    << option->keyword << " " << name;
                ++compared;
            }
        }
    }
    ppdClose(cups);
    return compared;
}

TEST(PpdReader, ReadsTheShippedFileAsLibcupsDoes) { EXPECT_GT(compareWithLibcups(kShippedPpd), 300); }

#endif

}  // namespace
