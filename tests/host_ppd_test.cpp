// The printer family's PPD file: the shipped file is what the generator
// makes from the option tables, it holds every keyword and option of those
// tables as libcups reads it, and the core helper serves its code.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "host/driver_helpers.h"
#include "host/feature_selection.h"
#include "host/ppd_file.h"
#include "host/ppd_writer.h"
#include "settings/core_data.h"
#include "required_tool.h"

namespace {

using tvzx::host::PpdFile;
using namespace tvzx::settings;

const std::string kShippedPpd = std::string(TVZX_SOURCE_DIR) + "/data/tvzx.ppd";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ShippedPpd, IsWhatTheGeneratorMakesFromTheTables) {
    EXPECT_TRUE(readFile(kShippedPpd) == tvzx::host::ppdText())
        << "data/tvzx.ppd is out of date: build the target tvzx_regenerate_ppd";
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

TEST(FeatureSelections, EveryOptionOfEveryFieldHasCodeInThePpd) {
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
}

TEST(FeatureSelections, GiveTheCustomSizeAsTheCustomPageSizeFeature) {
    CoreData record = defaultRecord();
    record.setOption(FieldId::PageSize, *fieldDef(FieldId::PageSize).options->find("Letter"));
    const auto named = tvzx::host::jobFeatureSelections(record);
    ASSERT_FALSE(named.empty());
    EXPECT_EQ(named[0], (tvzx::host::FeatureSelection{"PageSize", "Letter"}));

    record.setOption(FieldId::PageSize, kCustomPageSize);
    const auto custom = tvzx::host::jobFeatureSelections(record);
    ASSERT_EQ(custom.size(), named.size());
    EXPECT_EQ(custom[0], (tvzx::host::FeatureSelection{"CustomPageSize", "True"}));
    EXPECT_TRUE(std::equal(custom.begin() + 1, custom.end(), named.begin() + 1));
}

TEST(CoreHelper, AnswersInvocationsByTheBufferProtocol) {
    const PpdFile ppd(kShippedPpd);
    tvzx::StringSink sink;
    const tvzx::host::DriverHelpers helpers(sink, ppd);
    tvzx::win::DWORD type = 0;
    tvzx::win::DWORD needed = 0;
    // Only the "Invocation" attribute of an option the file has.
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Translation", &type, nullptr, 0, &needed), tvzx::host::E_INVALIDARG);
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "Maybe", "Invocation", &type, nullptr, 0, &needed), tvzx::host::E_INVALIDARG);
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Invocation", &type, nullptr, 0, nullptr), tvzx::host::E_INVALIDARG);

    const std::string code = "<</Duplex true>> setpagedevice";
    std::string buffer(code.size(), '\0');
    auto* data = reinterpret_cast<tvzx::win::BYTE*>(buffer.data());
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Invocation", &type, data, static_cast<tvzx::win::DWORD>(code.size() - 1), &needed),
              tvzx::win::E_OUTOFMEMORY);
    EXPECT_EQ(needed, code.size());
    EXPECT_EQ(type, tvzx::win::kADT_BINARY);
    EXPECT_EQ(helpers.optionAttribute("ZVDuplex", "True", "Invocation", &type, data, needed, &needed), tvzx::win::S_OK);
    EXPECT_EQ(buffer, code);
}

// The helpers answer only for the job's device, and see each reference the
// plug-in takes given back once: a kept or an extra release is a fault.
TEST(CoreHelper, ChecksTheDeviceAndEveryReference) {
    using namespace tvzx::win;
    const PpdFile ppd(kShippedPpd);
    tvzx::StringSink sink;
    tvzx::host::DriverHelpers helpers(sink, ppd);
    DEVOBJ device{};
    helpers.acceptDevice(&device);
    DEVOBJ foreign{};
    auto* driver = reinterpret_cast<IPrintOemDriverPS*>(helpers.driverHelper());
    auto* core = reinterpret_cast<IPrintCorePS2*>(helpers.coreHelper());
    char text[] = "x";
    DWORD written = 0;
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, nullptr, text, 1, &written), E_FAIL);
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, &foreign, text, 1, &written), E_FAIL);
    EXPECT_EQ(core->lpVtbl->DrvWriteSpoolBuf(core, &foreign, text, 1, &written), tvzx::host::E_INVALIDARG);
    EXPECT_EQ(driver->lpVtbl->DrvWriteSpoolBuf(driver, &device, text, 1, &written), S_OK);
    EXPECT_EQ(sink.text, "x");

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
