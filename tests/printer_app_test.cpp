// The printer application's own pieces: raster pages as PostScript images,
// IPP attributes as settings edits and supported values, and the printer's
// configuration.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>
#include <zlib.h>

#include "app.h"
#include "job_attributes.h"
#include "printer_config.h"
#include "raster_document.h"

namespace tvzx::printer_app {
namespace {

// Decodes the ASCII85 data between "image\n" and "~>" and inflates it.
std::string pagePixels(const std::string& document, std::size_t from = 0) {
    const std::size_t start = document.find(" image\n", from) + 7;
    const std::size_t end = document.find("~>", start);
    std::string bytes;
    std::uint32_t value = 0;
    int digits = 0;
    for (std::size_t i = start; i < end; ++i) {
        const char c = document[i];
        if (c == ' ' || c == '\n') continue;
        if (c == 'z') {
            bytes.append(4, '\0');
            continue;
        }
        value = value * 85 + static_cast<std::uint32_t>(c - '!');
        if (++digits == 5) {
            for (int shift = 24; shift >= 0; shift -= 8) bytes += static_cast<char>(value >> shift);
            value = 0;
            digits = 0;
        }
    }
    if (digits > 0) {
        for (int i = digits; i < 5; ++i) value = value * 85 + 84;
        for (int i = 0; i < digits - 1; ++i) bytes += static_cast<char>(value >> (24 - 8 * i));
    }
    std::string pixels(1 << 16, '\0');
    uLongf size = pixels.size();
    EXPECT_EQ(uncompress(reinterpret_cast<Bytef*>(pixels.data()), &size, reinterpret_cast<const Bytef*>(bytes.data()),
                         bytes.size()),
              Z_OK);
    pixels.resize(size);
    return pixels;
}

TEST(RasterDocument, WritesEachPageAsOneCompressedImageBetweenItsComments) {
    StringSink sink;
    RasterDocument document(sink);
    document.beginPage({3, 2, 8, RasterColors::Gray, 595, 842});
    const std::uint8_t line[] = {0x00, 0x80, 0xFF};
    document.addLine(line);
    document.addLine(line);
    document.beginPage({2, 3, 8, RasterColors::Black, 612, 792});
    const std::uint8_t shortLine[] = {0x11};
    document.addLine(shortLine);
    EXPECT_EQ(document.finish(), 2u);

    const std::string& text = sink.text;
    EXPECT_TRUE(text.starts_with("%!PS-Adobe-3.0\n%%Creator: tvzx-printer-app\n%%LanguageLevel: 3\n%%Pages: (atend)\n"
                                 "%%EndComments\n%%BeginProlog\n%%EndProlog\n%%BeginSetup\n%%EndSetup\n"
                                 "%%Page: 1 1\n%%PageBoundingBox: 0 0 595 842\nsave\n595 842 scale\n/DeviceGray setcolorspace\n"
                                 "<< /ImageType 1 /Width 3 /Height 2 /BitsPerComponent 8 /Decode [0 1] /ImageMatrix [3 0 0 -2 0 2]"
                                 " /DataSource currentfile /ASCII85Decode filter /FlateDecode filter >> image\n"));
    EXPECT_TRUE(text.ends_with("~>\nrestore\nshowpage\n%%PageTrailer\n%%Trailer\n%%Pages: 2\n%%EOF\n"));
    EXPECT_EQ(pagePixels(text), std::string("\x00\x80\xFF\x00\x80\xFF", 6));
    // Device black reads 0 as white: a short line and the missing ones are
    // padded with it.
    const std::size_t second = text.find("%%Page: 2 2\n");
    ASSERT_NE(second, std::string::npos);
    EXPECT_NE(text.find("/Decode [1 0] /ImageMatrix [2 0 0 -3 0 3]", second), std::string::npos);
    EXPECT_EQ(pagePixels(text, second), std::string("\x11\x00\x00\x00\x00\x00", 6));
    // No line of the image data can be read as a DSC comment: each starts
    // with a blank.
    for (std::size_t at = text.find(" image\n") + 7; text.compare(at, 2, "~>") != 0; at = text.find('\n', at) + 1)
        ASSERT_EQ(text[at], ' ') << at;
}

TEST(RasterDocument, LinesOfColourAndBitsAreSizedByTheirDepth) {
    EXPECT_EQ(rasterLineBytes({10, 1, 8, RasterColors::Rgb, 1, 1}), 30u);
    EXPECT_EQ(rasterLineBytes({9, 1, 1, RasterColors::Black, 1, 1}), 2u);
    StringSink sink;
    RasterDocument document(sink);
    EXPECT_THROW(document.beginPage({0, 1, 8, RasterColors::Gray, 1, 1}), std::invalid_argument);
    EXPECT_THROW(document.beginPage({1, 1, 16, RasterColors::Gray, 1, 1}), std::invalid_argument);
    document.beginPage({2, 1, 8, RasterColors::Rgb, 1, 1});
    const std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7};
    document.addLine(pixels);
    document.finish();
    EXPECT_NE(sink.text.find("/DeviceRGB setcolorspace"), std::string::npos);
    EXPECT_NE(sink.text.find("/Decode [0 1 0 1 0 1]"), std::string::npos);
    EXPECT_EQ(pagePixels(sink.text), std::string("\x01\x02\x03\x04\x05\x06", 6));
}

TEST(JobAttributes, OptionNamesBecomeKeywords) {
    for (const auto& [name, keyword] : {std::pair{"2StaplesWide", "2-staples-wide"}, {"ZFold", "z-fold"},
                                        {"MultiCenterFold", "multi-center-fold"}, {"GBCStreampunch", "gbc-streampunch"},
                                        {"4in1Horizontal", "4in1-horizontal"}, {"None", "none"}})
        EXPECT_EQ(optionKeyword(name), keyword);
}

std::vector<std::string> texts(const JobEdits& edits) {
    std::vector<std::string> result;
    for (const host::SettingsEdit& edit : edits.edits) result.push_back(edit.singleAssignment ? edit.text : "file:" + edit.origin);
    return result;
}

TEST(JobAttributes, EveryAttributeBecomesEditsInOrderWithTheSavedSettingsFirst) {
    const std::vector<JobAttribute> attributes = {
        {"media", {"na_letter_8.5x11in"}},  {"media-source", {"by-pass-tray"}}, {"media-type", {"bond"}},
        {"orientation-requested", {"4"}},   {"sides", {"two-sided-short-edge"}}, {"tvzx-staple", {"2-staples-wide"}},
        {"tvzx-output-method", {"proof"}},  {"tvzx-account", {"Sales"}},       {"tvzx-settings", {"booklet_A4"}},
        {"print-color-mode", {"color"}},    {"copies", {"3"}},
    };
    JobContext context{"alice", [](std::string_view name) -> std::optional<std::string> {
                           if (name == "booklet_A4") return std::string("Layout=Booklet\n");
                           return std::nullopt;
                       }, {}};
    const JobEdits edits = mapJobAttributes(attributes, context);
    ASSERT_FALSE(edits.refusal);
    EXPECT_EQ(texts(edits), (std::vector<std::string>{"file:booklet_A4", "PageSize=Letter", "InputSlot=MBT",
                                                      "MediaTypeMBT=Bond", "Orientation=Land", "Duplex=True",
                                                      "Binding=Top", "Staple=2StaplesWide", "PrintMode=ProofMode",
                                                      "AccountTrack=True", "AccountTrackDepartmentName=\"Sales\"",
                                                      "NumCopies=3"}));
    EXPECT_EQ(edits.edits.front().text, "Layout=Booklet\n");
}

TEST(JobAttributes, RefusesValuesThatMapToNothingWithoutRepeatingSecrets) {
    JobContext context{"alice", [](std::string_view) { return std::optional<std::string>(); }, {}};
    const auto refusal = [&](JobAttribute attribute) {
        return mapJobAttributes(std::span<const JobAttribute>(&attribute, 1), context).refusal;
    };
    EXPECT_EQ(refusal({"tvzx-staple", {"bogus"}})->value, "bogus");
    EXPECT_EQ(refusal({"media", {"na_index-4x6_4x6in"}})->attribute, "media");
    EXPECT_TRUE(refusal({"copies", {"0"}}));
    EXPECT_FALSE(refusal({"copies", {"1"}}));
    EXPECT_TRUE(refusal({"tvzx-fold", {"z-fold", "none"}}));
    EXPECT_TRUE(refusal({"tvzx-settings", {"../../etc/passwd"}}));
    // Texts fit their settings field (8 bytes for the identifier).
    EXPECT_FALSE(refusal({"tvzx-secure-id", {"12345678"}}));
    EXPECT_TRUE(refusal({"tvzx-secure-id", {"123456789"}}));
    const auto secret = refusal({"tvzx-secure-password", {"far-too-long"}});
    ASSERT_TRUE(secret);
    EXPECT_FALSE(secret->value);
    // Attributes no layer maps are PAPPL's own and pass untouched.
    EXPECT_FALSE(refusal({"print-color-mode", {"anything"}}));
}

TEST(JobAttributes, SupportedValuesFollowTheInstalledOptions) {
    PrinterConfig config;
    const rules::InstalledOptions full = installedOptions(config);
    config.installable["ZVInstStapler"] = "False";
    const rules::InstalledOptions noStapler = installedOptions(config);

    const auto staples = supportedValues(kStapleAttribute, full);
    EXPECT_EQ(staples.size(), 7u);
    EXPECT_EQ(staples.front(), "none");
    EXPECT_EQ(supportedValues(kStapleAttribute, noStapler), std::vector<std::string>{"none"});
    const auto finishings = supportedValues("finishings", noStapler);
    EXPECT_EQ(std::count(finishings.begin(), finishings.end(), "4"), 0);
    EXPECT_EQ(std::count(finishings.begin(), finishings.end(), "5"), 1);
    const auto allFinishings = supportedValues("finishings", full);
    EXPECT_EQ(std::count(allFinishings.begin(), allFinishings.end(), "4"), 1);

    const std::vector<JobAttribute> staple = {{"tvzx-staple", {"1-staple-left"}}};
    JobContext context{"alice", {}, {}};
    EXPECT_FALSE(refusalFor(staple, context, full));
    const auto refused = refusalFor(staple, context, noStapler);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->attribute, "tvzx-staple");
}

TEST(RecentJobs, AJobIsClaimedOnceWhileItIsAmongTheLastRemembered) {
    RecentJobs recent;
    EXPECT_TRUE(recent.claim(7));
    EXPECT_FALSE(recent.claim(7));
    for (int id = 100; id < 100 + static_cast<int>(RecentJobs::kRemembered) - 1; ++id) EXPECT_TRUE(recent.claim(id));
    EXPECT_FALSE(recent.claim(7));
    EXPECT_TRUE(recent.claim(1000));
    EXPECT_TRUE(recent.claim(7));
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? text.str() : "<none>";
}

TEST(JobOutputs, AFolderJobsFileAppearsWholeAtItsEndAndOutlivesASecondStart) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("tvzx-outputs-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string file = (folder / "report.prn").string();
    JobOutputs outputs;
    const std::string partial = outputs.stage(5, file);
    EXPECT_EQ(partial, (folder / ".report.prn.partial-5").string());
    EXPECT_EQ(outputs.stage(5, file), partial);
    std::ofstream(partial) << "whole job";
    // The job's own start and an unknown job change nothing, also where an
    // earlier job of the same name left its file.
    std::ofstream(file) << "earlier job";
    outputs.started(5);
    outputs.started(6);
    outputs.ended(6);
    EXPECT_EQ(fileText(file), "earlier job");
    outputs.ended(5);
    EXPECT_EQ(fileText(file), "whole job");
    EXPECT_FALSE(fs::exists(partial));
    // A second start (twice) empties the name while it runs; its end puts
    // the finished file back.
    for (int start = 0; start < 2; ++start) {
        outputs.started(5);
        std::ofstream(file).flush();
        outputs.ended(5);
        EXPECT_EQ(fileText(file), "whole job");
    }
    // Once forgotten, a job's file is left alone.
    for (int id = 100; id < 100 + static_cast<int>(JobOutputs::kRemembered); ++id) outputs.stage(id, file + "x");
    outputs.started(5);
    EXPECT_EQ(fileText(file), "whole job");
    fs::remove_all(folder);
}

TEST(PrinterConfig, LinesReadBackAndBadOnesAreRefused) {
    PrinterConfig config;
    config.installable["ZVInstStapler"] = "False";
    config.macAddress = "00:00:5E:00:53:2A";
    config.duplexDefault = false;
    const std::string text = formatPrinterConfig(config);
    EXPECT_NE(text.find("ZVInstStapler=False\nZVInstPunchUnit=True\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("MacAddress=00:00:5E:00:53:2A\nDefaultDuplex=False\n"));
    std::string error;
    const auto back = parsePrinterConfig(text, error);
    ASSERT_TRUE(back);
    EXPECT_EQ(formatPrinterConfig(*back), text);
    EXPECT_EQ(installedOptions(*back)[1] & 0x01, 0);
    EXPECT_EQ(installedOptions(PrinterConfig{})[1] & 0x01, 1);

    for (std::string_view bad : {"ZVInstStapler=Maybe\n", "ZVNothing=True\n", "MacAddress=00:11\n", "DefaultDuplex=1\n", "junk\n"})
        EXPECT_FALSE(parsePrinterConfig(bad, error)) << bad;
    EXPECT_TRUE(parsePrinterConfig("\r\nZVInstFolder=False\r\n", error));

    const std::string data = printerDataFile("tvzx", *back);
    EXPECT_NE(data.find("Printers\\tvzx\\PrinterDriverData]"), std::string::npos);
    EXPECT_NE(data.find("\"DefaultDuplex\"=dword:00000000"), std::string::npos);
    EXPECT_NE(data.find("\"MacAddress\"=\"00:00:5E:00:53:2A\""), std::string::npos);
}

}  // namespace
}  // namespace tvzx::printer_app
