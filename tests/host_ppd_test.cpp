// The printer family's PPD file: the shipped file passes the conformance
// test, holds the code of every selection a job can make, and the core
// helper serves that code to the job's device only.
#include <gtest/gtest.h>

#include <fstream>

#include "host/driver_helpers.h"
#include "host/feature_selection.h"
#include "host/ppd_file.h"
#include "host/ppd_writer.h"
#include "host/setup_code.h"
#include "required_tool.h"

namespace {

using tvzx::host::PpdFile;
using namespace tvzx::settings;

const std::string kShippedPpd = std::string(TVZX_SOURCE_DIR) + "/data/tvzx.ppd";

TEST(ShippedPpd, IsWhatTheGeneratorMakesFromTheTables) {
    std::ifstream file(kShippedPpd, std::ios::binary);
    ASSERT_TRUE(file.is_open());
    const std::string shipped{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_TRUE(shipped == tvzx::host::ppdText()) << "data/tvzx.ppd is out of date: build the target tvzx_regenerate_ppd";
}

TEST(ShippedPpd, PassesTheCupsConformanceTest) {
    // The filter it names is checked where it is installed (scripts/cups_check.sh).
    const std::string command = "cupstestppd -q -I filters '" + kShippedPpd + "' 2>&1";
    TVZX_REQUIRE_TOOL(std::system("command -v cupstestppd >/dev/null 2>&1") == 0, "cupstestppd");
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string report;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) report.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << report;
}

TEST(FeatureSelections, EveryOptionHasCodeInThePpdWhichTheHelperServesToTheDeviceOnly) {
    const PpdFile ppd(kShippedPpd);
    for (std::size_t i = 0; i < kFieldCount; ++i) {
        const auto id = static_cast<FieldId>(i);
        const FieldDef& field = fieldDef(id);
        if (field.kind != Kind::Option || field.options == nullptr || field.options->ppdKeyword.empty()) continue;
        for (std::uint32_t option = 0; option < field.options->count(); ++option) {
            CoreData record = defaultRecord();
            record.setOption(id, option);
            for (const auto& selection : tvzx::host::jobFeatureSelections(record))
                EXPECT_TRUE(ppd.invocation(selection.keyword, selection.option))
                    << field.name << " option " << option << " selects " << selection.keyword << " " << selection.option;
        }
    }
    // Their code goes into the stream with CR LF after every line, empty ones too.
    EXPECT_EQ(tvzx::host::streamLines("a\n\nb\rc\r\n\r\nd"), "a\r\n\r\nb\r\nc\r\n\r\nd\r\n");
    // The helpers answer only for the job's device, and see each reference the
    // plug-in takes given back once: a kept or an extra release is a fault. The
    // buffer protocol of invocations shows in the stand-in module's jobs.
    using namespace tvzx::win;
    tvzx::StringSink sink;
    tvzx::host::DriverHelpers helpers(sink, ppd);
    DEVOBJ device{}, foreign{};
    helpers.acceptDevice(&device);
    auto* driver = reinterpret_cast<IPrintOemDriverPS*>(helpers.driverHelper());
    auto* core = reinterpret_cast<IPrintCorePS2*>(helpers.coreHelper());
    char text[] = "x";
    DWORD written = 0;
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, nullptr, text, 1, &written), E_FAIL);
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, &foreign, text, 1, &written), E_FAIL);
    EXPECT_EQ(core->lpVtbl->DrvWriteSpoolBuf(core, &foreign, text, 1, &written), tvzx::host::E_INVALIDARG);
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, &device, text, 1, &written), S_OK);
    EXPECT_EQ(sink.text, "x");
    // Only the "Invocation" attribute, and only with somewhere to say its size.
    DWORD type = 0, needed = 0;
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Translation", &type, nullptr, 0, &needed), tvzx::host::E_INVALIDARG);
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Invocation", &type, nullptr, 0, nullptr), tvzx::host::E_INVALIDARG);

    void* taken = nullptr;
    EXPECT_EQ(core->lpVtbl->QueryInterface(core, &IID_IPrintOemDriverPS, &taken), E_NOINTERFACE);
    EXPECT_EQ(core->lpVtbl->QueryInterface(core, &IID_IPrintCorePS2, &taken), S_OK);
    EXPECT_NE(helpers.referenceFault(), "");
    core->lpVtbl->Release(core);
    EXPECT_EQ(helpers.referenceFault(), "");
    core->lpVtbl->Release(core);
    EXPECT_NE(helpers.referenceFault(), "");
}

}  // namespace
