// Whole jobs through the simulated driver with the stand-in module, which
// marks every call in the stream: the stream is compared byte for byte, and
// the module's log shows the driver's calls from first to last.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/host_error.h"
#include "host/render_job.h"
#include "tool_runner.h"

namespace {

namespace fs = std::filesystem;
using tvzx::host::RenderRequest;

constexpr const char* kProbeLogVariable = "TVZX_PROBE_LOG";

// A PPD with just the features the jobs below select; each option's code
// names it, so the stream shows which one was written.
constexpr std::string_view kFixturePpd =
    "*PPD-Adobe: \"4.3\"\n*OpenUI *ZVOpCreator: PickOne\n*DefaultZVOpCreator: PSDriver\n"
    "*ZVOpCreator PSDriver: \"/creator\"\n*CloseUI: *ZVOpCreator\n*OpenUI *ZVOpPPDVersion: PickOne\n"
    "*DefaultZVOpPPDVersion: 1.0\n*ZVOpPPDVersion 1.0: \"/version\"\n*CloseUI: *ZVOpPPDVersion\n"
    "*OpenUI *PageSize: PickOne\n*DefaultPageSize: A4\n*PageSize A4: \"/size-a4\"\n"
    "*PageSize Letter: \"/size-letter\"\n*CloseUI: *PageSize\n*OpenUI *PageRegion: PickOne\n*DefaultPageRegion: A4\n"
    "*PageRegion A4: \"/region-a4\"\n*PageRegion Letter: \"/region-letter\"\n*CloseUI: *PageRegion\n"
    "*OpenUI *InputSlot: PickOne\n*DefaultInputSlot: Tray1\n*InputSlot Tray1: \"/tray1\"\n"
    "*InputSlot Tray2: \"/tray2\"\n*CloseUI: *InputSlot\n*OpenUI *ZVStaple: PickOne\n*DefaultZVStaple: None\n"
    "*ZVStaple None: \"/staple-none\"\n*ZVStaple 2StapleWide: \"/staple\n/wide\"\n*CloseUI: *ZVStaple\n"
    "*CustomPageSize True: \"/custom\"\n*ParamCustomPageSize Width: 1 points 1 1000\n"
    "*ParamCustomPageSize Height: 2 points 1 1000\n*ParamCustomPageSize WidthOffset: 3 points 0 0\n"
    "*ParamCustomPageSize HeightOffset: 4 points 0 0\n*ParamCustomPageSize Orientation: 5 int 0 0\n";

// The driver's procedure set and the opening of its setup section.
constexpr std::string_view kHostProlog =
    "%%BeginResource: procset HostFeatureProcs 1.0 0\r\n"
    "userdict /featurebegin {countdictstack userdict /HostFeatureDicts 3 -1 roll put count userdict "
    "/HostFeatureCount 3 -1 roll put} bind put\r\n"
    "userdict /featurecleanup {stopped {$error /newerror false put} if count userdict /HostFeatureCount get sub dup "
    "0 gt {{pop} repeat} {pop} ifelse countdictstack userdict /HostFeatureDicts get sub dup 0 gt {{end} repeat} "
    "{pop} ifelse} bind put\r\n"
    "%%EndResource\r\n";
constexpr std::string_view kPrelude =
    "userdict /featurebegin known not {userdict /featurebegin {} put userdict /featurecleanup {stopped pop} put} if\r\n";

std::string feature(std::string_view keywordAndOption, std::string_view body) {
    return "featurebegin{\r\n%%BeginFeature: *" + std::string(keywordAndOption) + "\r\n" + std::string(body) +
           "%%EndFeature\r\n} featurecleanup\r\n";
}

// What the stand-in module and the driver write at the start of the setup:
// the module's settings and its questions of the core helper, then the
// driver's own features.
std::string probeSetup(std::string_view settings) {
    return "%probe: Command 16\r\n%probe: settings " + std::string(settings) +
           "\r\n%probe: Invocation ZVStaple 2StapleWide 0x8007000E type 7 needed 13 short 0x8007000E full 0x00000000 "
           "code /staple\n/wide\r\n%probe: Invocation ZVStaple NoSuchOption 0x80070057 type 0 needed 0\r\n" +
           std::string(kPrelude) + feature("ZVOpCreator PSDriver", "/creator\r\n") +
           feature("ZVOpPPDVersion 1.0", "/version\r\n");
}

class ProbeJob : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("tvzx-host-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(dir_);
        std::ofstream(dir_ / "fixture.ppd") << kFixturePpd;
        ::setenv(kProbeLogVariable, (dir_ / "probe.log").c_str(), 1);
    }
    void TearDown() override { ::unsetenv(kProbeLogVariable); fs::remove_all(dir_); }

    RenderRequest request(std::vector<std::string> assignments) const {
        RenderRequest request;
        request.modulePath = std::string(TVZX_BINARY_DIR) + "/host/tvzx_probe_ps.dll";
        request.ppdPath = (dir_ / "fixture.ppd").string();
        request.documentName = "doc";
        request.jobId = 7;
        for (std::string& assignment : assignments) request.settings.push_back({"--set", std::move(assignment), true});
        return request;
    }

    std::string render(std::string_view document, const RenderRequest& job) const {
        tvzx::host::MemorySource source(document);
        tvzx::StringSink sink;
        tvzx::host::renderDocument(job, source, sink);
        return sink.text;
    }

    std::string log() const { return tvzx::testing::readAll(dir_ / "probe.log"); }

    fs::path dir_;
};

constexpr std::string_view kOnePage =
    "%!PS-Adobe-3.0\n%%Pages: 1\n%%EndComments\n%%BeginProlog\n/x 1 def\n%%EndProlog\n%%BeginSetup\ndoc-setup\n"
    "%%EndSetup\n%%Page: 1 1\n%%BeginPageSetup\n%%EndPageSetup\nshowpage\n%%PageTrailer\n%%Trailer\n%%EOF\n";

TEST_F(ProbeJob, WritesTheDriverPartsAndCallsThePlugInAtEveryInjectionPoint) {
    EXPECT_EQ(
        render(kOnePage, request({"PageSize=A4", "InputSlot=Tray2", "Staple=2StaplesWide", "NumCopies=2"})),
        "%probe: DrvStartDoc doc job 7 bitmap 4661x6716\r\n%probe: Command 1\r\n%probe: Command 2\r\n"
        "%!PS-Adobe-3.0\n%%Pages: 1\n%probe: Command 11\r\n%%EndComments\n%%BeginProlog\n/x 1 def\n" +
        std::string(kHostProlog) + "%%EndProlog\n%%BeginSetup\n" + probeSetup("Staple=2StaplesWide NumCopies=2") +
        feature("PageRegion A4", "/region-a4\r\n") + feature("InputSlot Tray2", "/tray2\r\n") +
        feature("ZVStaple 2StapleWide", "/staple\r\n/wide\r\n") +
        "doc-setup\n%probe: Command 17\r\n%%EndSetup\n%probe: DrvStartPage\r\n%%Page: 1 1\n%%BeginPageSetup\n"
        "%probe: Command 101\r\n%%EndPageSetup\nshowpage\n%%PageTrailer\n%probe: Command 103\r\n%%Trailer\n"
        "%probe: Command 18\r\n%%EOF\n%probe: DrvEndDoc flags 0\r\n%probe: Command 20\r\n");
}

TEST_F(ProbeJob, OpensTheSectionsADocumentLacks) {
    // No prolog, no setup, no page setup, no page trailers, no trailer (the
    // host writes its comment); the
    // automatic tray lets the page size choose.
    const std::string document = "%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\nA\n%%Page: 2 2\nB\n%%EOF\n";
    EXPECT_EQ(
        render(document, request({"PageSize=Letter", "InputSlot=Auto", "Orientation=Land"})),
        "%probe: DrvStartDoc doc job 7 bitmap 6300x4800\r\n%probe: Command 1\r\n%probe: Command 2\r\n"
        "%!PS-Adobe-3.0\n%probe: Command 11\r\n%%EndComments\n" + std::string(kHostProlog) +
        "%%EndProlog\r\n%%BeginSetup\r\n" + probeSetup("Staple=None NumCopies=1") +
        feature("PageSize Letter", "/size-letter\r\n") + feature("ZVStaple None", "/staple-none\r\n") +
        "%probe: Command 17\r\n%%EndSetup\r\n%probe: DrvStartPage\r\n%%Page: 1 1\n%probe: Command 101\r\nA\n"
        "%probe: Command 103\r\n%probe: DrvStartPage\r\n%%Page: 2 2\n%probe: Command 101\r\nB\n"
        "%probe: Command 103\r\n%%Trailer\r\n%probe: Command 18\r\n%%EOF\n%probe: DrvEndDoc flags 0\r\n%probe: Command 20\r\n");
}

TEST_F(ProbeJob, GivesACustomSizeItsOperands) {
    const std::string got = render(kOnePage, request({"PageSize=25", "CustomPageSizeWidth=2000000", "CustomPageSizeHeight=3000000"}));
    EXPECT_NE(got.find(feature("ZVOpPPDVersion 1.0", "/version\r\n") +
                       feature("CustomPageSize True", "566.93 850.39 0 0 0\r\n/custom\r\n")), std::string::npos) << got;
    EXPECT_NE(log().find("public fields 9999 orientation 1 paper 256 2000x3000 form  source 7"), std::string::npos) << log();
}

// The module's life around the job; the calls in between show in the stream.
TEST_F(ProbeJob, DrivesThePlugInThroughItsWholeLife) {
    render(kOnePage, request({"PageSize=Letter", "Orientation=Land", "Resolution=600dpi", "NumCopies=3", "InputSlot=MBT"}));
    // MBT is the sixth input slot: the PPD's slots are numbered from 256.
    const std::string devmode =
        "public fields 75523 orientation 2 paper 1 0x0 form Letter source 261 quality 600/600 copies 3 extra 27028\n";
    const std::string calls = log();
    EXPECT_TRUE(calls.starts_with(
        "DllGetClassObject\nCreateInstance\nRelease 1\nClassFactory Release\nGetInfo 1\nGetInfo 3\nGetInfo 5\n"
        // The core helper first: the probe also wants the driver helper, so
        // it answers E_FAIL and is offered that next.
        "PublishDriverInterface driver 0\nPublishDriverInterface driver 1\nPublishDriverInterface core 1\n"
        "DevMode 1\nDevMode 2\nDevMode 3\n" + devmode +
        "EnableDriver\nEnablePDEV TVZX Printer gdi 320 600dpi phys 6600x5100 res 6300x4800\n"
        "DrvStartDoc doc job 7 bitmap 6300x4800\nCommand 1\nDevMode 3 device\n" + devmode +
        "DevMode 4 device\nCommand 2\nCommand 11\n"))
        << calls;
    EXPECT_TRUE(calls.ends_with("Command 18\nDrvEndDoc flags 0\nCommand 20\nDisablePDEV\nDisableDriver\nRelease 0\n"
                                "DllCanUnloadNow objects 0\n"))
        << calls;
}

constexpr std::string_view kAbortedAndTakenDown =
    "DrvEndDoc flags 1\nCommand 20\nDisablePDEV\nDisableDriver\nRelease 0\nDllCanUnloadNow";

TEST_F(ProbeJob, EndsARefusedDocumentOrAFailingOutputAsAnAbortedJobAndStillTakesThePlugInDown) {
    EXPECT_THROW(render("%!PS-Adobe-3.0\n%%EndComments\n%%Page: 1 1\n%%BeginBinary: 99\nshow", request({"PageSize=A4"})),
                 tvzx::host::DocumentRefused);
    EXPECT_NE(log().find("Command 101\n" + std::string(kAbortedAndTakenDown)), std::string::npos) << log();

    // An output that fails once the job has begun, first inside a write of
    // the plug-in, then inside one of the document's: the failure surfaces
    // from the render, and the plug-in is still ended and taken down.
    struct FailingSink final : tvzx::OutputSink {
        explicit FailingSink(std::size_t limit) : limit(limit) {}
        void write(std::string_view bytes) override {
            if (written + bytes.size() > limit) throw tvzx::host::HostError("out: disk full");
            written += bytes.size();
        }
        std::size_t limit, written = 0;
    };
    for (const std::size_t limit : {30, 100}) {
        fs::remove(dir_ / "probe.log");
        FailingSink sink(limit);
        tvzx::host::MemorySource source(kOnePage);
        try {
            tvzx::host::renderDocument(request({"PageSize=A4"}), source, sink);
            ADD_FAILURE() << "the failing output went unnoticed";
        } catch (const tvzx::host::HostError& error) {
            EXPECT_STREQ(error.what(), "out: disk full");
        }
        EXPECT_NE(log().find(kAbortedAndTakenDown), std::string::npos) << "limit " << limit << "\n" << log();
    }
}

TEST_F(ProbeJob, RefusesABadSettingBeforeTheJobStarts) {
    EXPECT_THROW(render(kOnePage, request({"Staple=Sideways"})), tvzx::host::HostError);
    EXPECT_EQ(log().find("DrvStartDoc"), std::string::npos) << log();
    EXPECT_NE(log().find("DevMode 2\nRelease 0\nDllCanUnloadNow"), std::string::npos) << log();
}

}  // namespace
