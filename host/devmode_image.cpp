#include "devmode_image.h"

#include <algorithm>
#include <cstring>

#include "common/byte_order.h"
#include "job_paper.h"

namespace tvzx::host {
namespace {

using settings::FieldId;

constexpr std::uint32_t kAutoSlot = 0;
constexpr std::int64_t kStoredPerTenth = 1000;  // custom sizes store millimetres times 10000

// Stores the form name; a size without a name has none.
void setFormName(win::DEVMODEW& devmode, std::string_view name) {
    std::fill(std::begin(devmode.dmFormName), std::end(devmode.dmFormName), u'\0');
    if (name.empty()) return;
    const std::size_t length = std::min(name.size(), win::kFormNameLength - 1);
    for (std::size_t i = 0; i < length; ++i) devmode.dmFormName[i] = static_cast<char16_t>(static_cast<unsigned char>(name[i]));
    devmode.dmFields |= win::DM_FORMNAME;
}

// Returns the dots per inch an option of the resolution table names ("600dpi").
win::SHORT resolutionOf(const settings::CoreData& record) {
    const settings::OptionTable& table = *settings::fieldDef(FieldId::Resolution).options;
    std::uint32_t index = record.option(FieldId::Resolution);
    if (index >= table.count()) index = table.defaultIndex;
    const std::string_view name = table.entries[index].name;
    win::SHORT dpi = 0;
    for (char c : name) {
        if (c < '0' || c > '9') break;
        dpi = static_cast<win::SHORT>(dpi * 10 + (c - '0'));
    }
    return dpi;
}

}  // namespace

win::SHORT tenthsOfMillimetre(std::int64_t stored) {
    return static_cast<win::SHORT>((stored + kStoredPerTenth / 2) / kStoredPerTenth);
}

DevmodeImage::DevmodeImage(const std::u16string& printerName, std::uint32_t pluginBlockSize)
    : storage_(sizeof(win::DEVMODEW) + kCorePartSize + pluginBlockSize) {
    win::DEVMODEW& devmode = *publicPart();
    const std::size_t nameLength = std::min(printerName.size(), win::kDeviceNameLength - 1);
    std::copy_n(printerName.begin(), nameLength, devmode.dmDeviceName);
    devmode.dmSpecVersion = kDevmodeSpecVersion;
    devmode.dmSize = sizeof(win::DEVMODEW);
    devmode.dmDriverExtra = static_cast<win::WORD>(kCorePartSize + pluginBlockSize);
    // The core driver's part says where the plug-in's block begins.
    std::span<std::uint8_t> core = corePart();
    std::memcpy(core.data(), kCorePartSignature.data(), kCorePartSignature.size());
    writeLittleEndian(core.data() + kPluginOffsetField, 2, kCorePartSize);
}

void DevmodeImage::followSettings(const settings::CoreData& record) {
    win::DEVMODEW& devmode = *publicPart();
    devmode.dmFields = 0;

    devmode.dmOrientation = isLandscape(record) ? kLandscape : kPortrait;
    devmode.dmFields |= win::DM_ORIENTATION;

    // A size Windows has a number for goes by that number; any other by its
    // width and length.
    const JobPaper paper = jobPaper(record);
    devmode.dmFields |= win::DM_PAPERSIZE;
    if (paper.row != nullptr && paper.row->windowsPaperCode != 0) {
        devmode.dmPaperSize = paper.row->windowsPaperCode;
        devmode.dmPaperWidth = 0;
        devmode.dmPaperLength = 0;
    } else {
        devmode.dmPaperSize = kUserPaper;
        if (paper.row != nullptr) {
            devmode.dmPaperWidth = static_cast<win::SHORT>(paper.widthMicrons / 100);
            devmode.dmPaperLength = static_cast<win::SHORT>(paper.heightMicrons / 100);
        } else {
            devmode.dmPaperWidth = tenthsOfMillimetre(record.number(FieldId::CustomPageSizeWidth));
            devmode.dmPaperLength = tenthsOfMillimetre(record.number(FieldId::CustomPageSizeHeight));
        }
        devmode.dmFields |= win::DM_PAPERWIDTH | win::DM_PAPERLENGTH;
    }
    const std::string_view customName = record.text(FieldId::PageSizeName);
    setFormName(devmode, paper.row != nullptr ? paper.name : customName);

    const std::uint32_t slot = record.option(FieldId::InputSlot);
    devmode.dmDefaultSource = slot == kAutoSlot ? kAutomaticBin : static_cast<win::SHORT>(kFirstPpdBin + slot - 1);
    devmode.dmFields |= win::DM_DEFAULTSOURCE;

    devmode.dmPrintQuality = resolutionOf(record);
    devmode.dmYResolution = devmode.dmPrintQuality;
    devmode.dmFields |= win::DM_PRINTQUALITY | win::DM_YRESOLUTION;

    devmode.dmCopies = static_cast<win::SHORT>(record.number(FieldId::NumCopies));
    devmode.dmFields |= win::DM_COPIES;
}

}  // namespace tvzx::host
