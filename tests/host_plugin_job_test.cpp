// Jobs through the simulated driver with the plug-in module itself: the
// settings the driver handed over, and a document whose pages change paper.
#include <gtest/gtest.h>

#include <random>

#include "common/base64.h"
#include "host/render_job.h"
#include "host/sample_document.h"

namespace {

using namespace tvzx::host;

constexpr std::string_view kJobEnd = "\x1b%-12345X";
constexpr std::string_view kSettingsComment = "%%TARVO-JobSettings: ";
constexpr std::string_view kDescriptionComment = "%%TARVO-JobSettingsDescription: ";
constexpr std::string_view kCommentLineEnd = "\r\n";
constexpr std::string_view kContinuation = "%%+ ";

struct Job {
    std::string stream;
    RenderResult result;
};

Job run(const RenderRequest& request, std::string_view document) {
    tvzx::host::MemorySource source(document);
    tvzx::StringSink sink;
    const RenderResult result = tvzx::host::renderDocument(request, source, sink);
    return {std::move(sink.text), result};
}

Job render(std::string_view document, std::vector<std::string> assignments) {
    RenderRequest request;  // the module built with the host, the shipped PPD
    request.documentName = "Report2024";
    request.settings.push_back({"--set", "PageSize=A4", true});
    for (std::string& assignment : assignments) request.settings.push_back({"--set", std::move(assignment), true});
    return run(request, document);
}

// Returns the value of a long comment: its first line and the "%%+ " lines after it.
std::string longCommentValue(std::string_view stream, std::string_view key) {
    std::string value;
    for (std::size_t at = stream.find(key), skip = key.size(); at != std::string_view::npos; skip = kContinuation.size()) {
        const std::size_t end = stream.find(kCommentLineEnd, at += skip);
        value += stream.substr(at, end - at);
        at = end + kCommentLineEnd.size();
        if (stream.substr(at, kContinuation.size()) != kContinuation) break;
    }
    return value;
}

TEST(PlugInJob, CarriesTheSettingsTheDriverHandedOverButNoPassword) {
    using tvzx::settings::FieldId;
    // Settings under which every password and relay value reaches the ticket
    // in some job, with passwords drawn afresh for each job.
    std::mt19937 random(20261207);
    const auto password = [&random](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += static_cast<char>('a' + random() % 26);
        return text;
    };
    for (const char* method : {"Secure", "SaveInUB"}) {
        for (const char* login : {"MainBody", "RelayServer"}) {
            // The relay block, in the settings text form's hexadecimal, holds the
            // pin "qzjxwvkpbnrmtlhdgfcs".
            const std::vector<std::string> secrets = {password(8),  password(8),  password(40),
                                                      password(32), password(64), "qzjxwvkpbnrmtlhdgfcs"};
            std::vector<std::string> assignments = {
                "Staple=2StaplesWide", "NumCopies=4", "AccountTrack=True", std::string("OutputMethod=") + method,
                std::string("UserAuthentication=") + login, "EncryptPdf=True",
                "RelayServerSettings=310970696E09717A6A7877766B70626E726D746C6864676663730A33096F6B094F4E0A"};
            for (int i = 0; const char* field : {"AccountTrackPassword", "WaitModePassword", "OutputMethodFolderNamePassword",
                                                  "PdfPassword", "UserAuthenticationPassword"})
                assignments.push_back(std::string(field) + "=\"" + secrets[i++] + "\"");
            const Job job = render(tvzx::host::sampleDocument(), assignments);
            SCOPED_TRACE(std::string(method) + " " + login);
            // The comment holds the record the plug-in ran with, passwords
            // zeroed; the ticket still sends them, enciphered.
            const std::vector<std::uint8_t> decoded = tvzx::base64Decode(longCommentValue(job.stream, kSettingsComment));
            tvzx::settings::CoreData carried;
            ASSERT_EQ(decoded.size(), carried.bytes.size());
            std::copy(decoded.begin(), decoded.end(), carried.bytes.begin());
            EXPECT_EQ(carried.option(FieldId::Staple),
                      *tvzx::settings::fieldDef(FieldId::Staple).options->find("2StaplesWide"));
            EXPECT_EQ(carried.number(FieldId::NumCopies), 4);
            EXPECT_EQ(carried.text(FieldId::WaitModePassword), "");
            EXPECT_EQ(job.result.settings.text(FieldId::WaitModePassword), secrets[1]);
            EXPECT_NE(job.stream.find("%%BeginFeature: *ZVStaple 2StapleWide\r\n"), std::string::npos);
            EXPECT_NE(job.stream.find("@PJL SET ZXSECTIONKEY2=\""), std::string::npos);

            // No password anywhere: not in the stream, not in the Base64 comments.
            std::string everything = job.stream;
            for (std::string_view key : {kSettingsComment, kDescriptionComment}) {
                const std::vector<std::uint8_t> bytes = tvzx::base64Decode(longCommentValue(job.stream, key));
                everything.append(bytes.begin(), bytes.end());
            }
            for (const std::string& secret : secrets) EXPECT_EQ(everything.find(secret), std::string::npos) << secret;
        }
    }
}

// The driver's calls during the job: the DEVMODE converted and merged for the
// job's device, the N-up question, drawing and sending every page, and a
// new device for a page of other paper; the plug-in hands back each helper
// reference it took (a job that leaks one fails).
TEST(PlugInJob, FollowsADocumentWhosePagesChangePaper) {
    RenderRequest request;
    request.settings = {{"--set", "NUpCount=2", true}};
    request.pageSettings[2] = {{"--set", "PageSize=Letter", true}};
    const Job job = run(request, tvzx::host::sampleDocument());
    EXPECT_EQ(job.result.document.pages, 3u);
    EXPECT_EQ(job.result.nupAnswer, std::optional<std::uint32_t>(1));
    EXPECT_TRUE(job.stream.ends_with(kJobEnd));
    EXPECT_EQ(render(tvzx::host::sampleDocument(), {}).result.nupAnswer, std::nullopt);
}

}  // namespace
