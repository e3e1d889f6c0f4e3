// Stand-ins for the driver side of the plug-in boundary: a device with its
// public and private DEVMODE, a spooler, and the driver's helper interfaces.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/byte_order.h"
#include "device/device_state.h"
#include "frame/environment.h"
#include "frame/plugin_callbacks.h"
#include "frame/plugin_object.h"
#include "platform/com_abi.h"
#include "platform/spooler.h"
#include "settings/private_block.h"

namespace tvzx::testing {

// A spooler with one printer whose data, name and job parameters the test sets.
class FakeSpooler final : public platform::Spooler {
public:
    std::unique_ptr<platform::PrinterData> printerData(void* printer) override {
        return printer == nullptr ? nullptr : std::make_unique<platform::MemoryPrinterData>(data);
    }
    std::optional<std::u16string> printerName(void* printer) override {
        return printer == nullptr ? std::nullopt : name;
    }
    std::optional<std::u16string> jobParameters(void* printer, std::uint32_t jobId) override {
        ++jobQueries;
        const auto it = jobs.find(jobId);
        if (printer == nullptr || it == jobs.end()) return std::nullopt;
        return it->second;
    }

    void setDword(const std::string& value, std::uint32_t number) {
        platform::PrinterDataValue entry{win::REG_DWORD, std::vector<std::uint8_t>(4)};
        writeLe32(entry.data.data(), number);
        data.set(value, entry);
    }

    platform::MemoryPrinterData data;
    std::optional<std::u16string> name = u"Production 1";
    std::map<std::uint32_t, std::u16string> jobs;
    int jobQueries = 0;
};

// Job services that record what they were asked to do.
class RecordingJobServices final : public device::JobServices {
public:
    void wakePrinter(std::u16string_view printerName) override { wokenPrinters.emplace_back(printerName); }
    // The printer configuration for the public DEVMODE and printer handed
    // over decides whether there is a stapler; without one nothing is stapled.
    void applyInstallableOptions(settings::CoreData& record, const win::DEVMODEW* publicDevmode,
                                 win::HANDLE printer) override {
        ++installableOptionReads;
        if (staplerInstalled && !staplerInstalled(publicDevmode, printer))
            record.setOption(settings::FieldId::Staple, 0);
    }
    void writeCoreDriverSelections(const settings::CoreData&, win::DEVMODEW*, win::HANDLE) override {
        ++coreDriverWrites;
    }
    bool holdsTabRecord(const settings::CoreData&) override { return tabRecord; }

    std::function<bool(const win::DEVMODEW*, win::HANDLE)> staplerInstalled;
    std::vector<std::u16string> wokenPrinters;
    int coreDriverWrites = 0, installableOptionReads = 0;
    bool tabRecord = false;
};

// Puts the fakes in force for the life of a test.
struct FakeEnvironment {
    FakeSpooler spooler;
    RecordingJobServices job;
    postscript::FeatureTexts texts;
    postscript::TabSheets tabs;
    postscript::JobIdentity identity;
    frame::ScopedEnvironment scope{frame::Environment{&spooler, &job, &texts, &tabs, &identity}};
};

// Feature texts that are markers, to show where each one lands.
struct MarkerTexts final : postscript::FeatureTexts {
    std::string setupEntries(const settings::CoreData&) override { return "<setup>\r\n"; }
    std::string endOfSetup(const settings::CoreData&) override { return "<end of setup>\r\n"; }
    std::string pageHead(const settings::CoreData&) override { return "<page head>\r\n"; }
    std::string pageText(const settings::CoreData&, std::uint64_t page) override {
        return "<page " + std::to_string(page) + ">\r\n";
    }
    std::string pageTrailer(const settings::CoreData&) override { return "<page trailer>\r\n"; }
    std::string trailer(const settings::CoreData&) override { return "<trailer>\r\n"; }
};

// Size of the core driver's own part behind the public DEVMODE.
inline constexpr std::uint16_t kCoreDriverPartSize = 200;

// A driver device: public DEVMODE with the core driver's part, the plug-in's
// private block, the device object, its device state and a page surface.
struct FakeDevice {
    std::vector<std::uint8_t> publicBytes;
    std::vector<std::uint8_t> privateBlock = std::vector<std::uint8_t>(settings::kPrivateBlockSize);
    win::DEVOBJ devObj{};
    win::SURFOBJ surface{};
    int printerHandle = 0;

    explicit FakeDevice(bool withState = true) : publicBytes(sizeof(win::DEVMODEW) + kCoreDriverPartSize) {
        publicDevmode().dmSize = sizeof(win::DEVMODEW);
        publicDevmode().dmDriverExtra = kCoreDriverPartSize;
        std::memcpy(publicBytes.data() + sizeof(win::DEVMODEW), "PRIV", 4);
        settings::initialiseBlock(std::span<std::uint8_t, settings::kPrivateBlockSize>(privateBlock));
        devObj.dwSize = sizeof devObj;
        devObj.hPrinter = &printerHandle;
        devObj.pPublicDM = &publicDevmode();
        devObj.pOEMDM = privateBlock.data();
        surface.dhpdev = &devObj;
        surface.sizlBitmap = {4960, 7016};
        if (withState) frame::enablePdev(&devObj, 0, nullptr, nullptr, &devObj.pdevOEM);
    }
    ~FakeDevice() { frame::disablePdev(&devObj); }
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    win::DEVMODEW& publicDevmode() { return *reinterpret_cast<win::DEVMODEW*>(publicBytes.data()); }
    std::uint8_t& layoutFlag() { return publicBytes[sizeof(win::DEVMODEW) + 124]; }
    device::DeviceState& state() { return *device::deviceStateOf(&devObj); }
    settings::CoreData& blockSettings() {
        return settings::blockRecord(std::span<std::uint8_t, settings::kPrivateBlockSize>(privateBlock));
    }
};


// The driver's side of PublishDriverInterface: one object that offers the
// spool writer and a core helper that knows no invocation, counting references.
class FakeDriverHelpers {
public:
    FakeDriverHelpers() {
        unknown_.self = this;
        driver_.self = this;
        core_.self = this;
    }

    win::IUnknown* unknown() { return &unknown_.com; }

    int references = 0;
    // The pieces the spool stream took; a write refused when asked to fails
    // and takes nothing.
    std::vector<std::string> writes;
    std::function<bool()> refuseWrite;

private:
    template <typename Interface>
    struct Face {
        Interface com;
        FakeDriverHelpers* self;
    };

    static FakeDriverHelpers* owner(void* face) { return static_cast<Face<win::IUnknown>*>(face)->self; }

    // Turns a function into the member type of a method table it fills.
    template <typename Function>
    struct Entry {
        Function function;
        template <typename Member>
        operator Member() const { return reinterpret_cast<Member>(function); }
    };

    static win::HRESULT TVZX_STDCALL query(void* face, const win::GUID* iid, void** out) {
        FakeDriverHelpers* self = owner(face);
        *out = nullptr;
        if (*iid == win::IID_IPrintOemDriverPS) *out = &self->driver_.com;
        if (*iid == win::IID_IPrintCorePS2) *out = &self->core_.com;
        if (*iid == win::IID_IUnknown) *out = &self->unknown_.com;
        if (*out == nullptr) return win::E_NOINTERFACE;
        ++self->references;
        return win::S_OK;
    }
    static win::ULONG TVZX_STDCALL addRef(void* face) { return static_cast<win::ULONG>(++owner(face)->references); }
    static win::ULONG TVZX_STDCALL release(void* face) { return static_cast<win::ULONG>(--owner(face)->references); }

    static win::HRESULT TVZX_STDCALL writeSpool(win::IPrintOemDriverPS* face, win::DEVOBJ*, void* buffer,
                                                win::DWORD size, win::DWORD* written) {
        *written = 0;
        if (owner(face)->refuseWrite && owner(face)->refuseWrite()) return win::E_FAIL;
        owner(face)->writes.emplace_back(static_cast<const char*>(buffer), size);
        *written = size;
        return win::S_OK;
    }
    static win::HRESULT TVZX_STDCALL optionAttribute(win::IPrintCorePS2*, win::DEVOBJ*, win::DWORD, const char*,
                                                     const char*, const char*, win::DWORD*, win::BYTE*, win::DWORD,
                                                     win::DWORD*) {
        return win::E_FAIL;
    }

    static constexpr Entry<decltype(&query)> kQuery{&query};
    static constexpr Entry<decltype(&addRef)> kAddRef{&addRef};
    static constexpr Entry<decltype(&release)> kRelease{&release};
    static inline const win::IUnknownVtbl unknownTable = {kQuery, kAddRef, kRelease};
    static inline const win::IPrintOemDriverPSVtbl driverTable = {kQuery, kAddRef, kRelease, nullptr, &writeSpool};
    static inline const win::IPrintCorePS2Vtbl coreTable = {kQuery, kAddRef, kRelease, nullptr, nullptr, nullptr,
                                                            nullptr, &optionAttribute, nullptr, nullptr};

    Face<win::IUnknown> unknown_{{&unknownTable}, nullptr};
    Face<win::IPrintOemDriverPS> driver_{{&driverTable}, nullptr};
    Face<win::IPrintCorePS2> core_{{&coreTable}, nullptr};
};

// Returns a plug-in object made through the class factory that holds the
// helpers, or nullptr.
inline win::IPrintOemPS2* publishedPlugin(FakeDriverHelpers& helpers) {
    win::IClassFactory* factory = nullptr;
    win::IPrintOemPS2* plugin = nullptr;
    const auto status =
        frame::getClassObject(&win::CLSID_OEMRENDER, &win::IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (status != win::S_OK) return nullptr;
    factory->lpVtbl->CreateInstance(factory, nullptr, &win::IID_IPrintOemPS2, reinterpret_cast<void**>(&plugin));
    factory->lpVtbl->Release(factory);
    if (plugin != nullptr && plugin->lpVtbl->PublishDriverInterface(plugin, helpers.unknown()) != win::S_OK) {
        plugin->lpVtbl->Release(plugin);
        return nullptr;
    }
    return plugin;
}

}  // namespace tvzx::testing
