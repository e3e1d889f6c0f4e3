#include "tabs/tab_worker.h"

#include "common/byte_order.h"
#include "platform/companion_files.h"
#include "platform/security_context.h"
#include "settings/field_id.h"
#include "tabs/exchange_record.h"
#include "tabs/tab_records.h"

namespace tvzx::tabs {
namespace {

// Where the public DEVMODE keeps the sizes of its two parts.
constexpr std::size_t kDmSizeOffset = 68;
constexpr std::size_t kDmDriverExtraOffset = 70;
// Where, inside the driver part, the core driver notes its private part.
constexpr std::size_t kCorePrivateOffsetAt = 114;
constexpr std::size_t kCoreDriverPartMinimum = 116;

// Holds the printer the worker opened itself, and closes it again.
class OpenedPrinter {
public:
    OpenedPrinter(platform::Spooler& spooler, void* handed, std::u16string_view name) : spooler_(spooler) {
        handle_ = handed;
        if (handle_ == nullptr) {
            handle_ = spooler.openPrinter(name);
            owned_ = handle_ != nullptr;
        }
    }
    ~OpenedPrinter() {
        if (owned_) spooler_.closePrinter(handle_);
    }
    OpenedPrinter(const OpenedPrinter&) = delete;
    OpenedPrinter& operator=(const OpenedPrinter&) = delete;
    void* handle() const { return handle_; }

private:
    platform::Spooler& spooler_;
    void* handle_ = nullptr;
    bool owned_ = false;
};

}  // namespace

TabWorkerServices systemTabWorkerServices() {
    return TabWorkerServices{platform::systemSpooler(), platform::systemLibraryLoader(), [](void* module) {
                                 return platform::companionFilePath(module, platform::CompanionKind::Base);
                             }};
}

std::uint32_t corePrivateOffset(std::span<const std::uint8_t> devMode) {
    if (devMode.size() < kDmDriverExtraOffset + 2) return 0;
    const auto publicSize = static_cast<std::size_t>(readLittleEndian(devMode.data() + kDmSizeOffset, 2));
    const auto driverSize = static_cast<std::size_t>(readLittleEndian(devMode.data() + kDmDriverExtraOffset, 2));
    if (driverSize <= kCoreDriverPartMinimum) return 0;
    const std::size_t at = publicSize + kCorePrivateOffsetAt;
    if (devMode.size() < at + 2) return 0;
    return static_cast<std::uint32_t>(readLittleEndian(devMode.data() + at, 2));
}

std::uint32_t tabWorker(std::span<std::uint8_t> record, TabWorkerServices& services) {
    // Every text must end inside its field, and the module must be known.
    const std::optional<TabExchange> exchange = readExchange(record);
    if (!exchange || exchange->module == 0) return kWorkerFailed;
    if (!jobPrintsTabSheets(exchange->settings)) return kWorkerFailed;

    const platform::SelfImpersonation impersonation;
    void* module = reinterpret_cast<void*>(static_cast<std::uintptr_t>(exchange->module));
    const std::optional<std::u16string> basePath = services.baseModulePath(module);
    if (!basePath) return kWorkerFailed;
    const std::unique_ptr<platform::LoadedLibrary> base = services.loader.load(*basePath);
    if (base == nullptr) return kWorkerFailed;
    const auto createTabDocument = reinterpret_cast<CreateTabDocumentFunction>(base->symbol(kCreateTabDocumentExport));
    if (createTabDocument == nullptr) return kWorkerFailed;

    const OpenedPrinter printer(services.spooler,
                                reinterpret_cast<void*>(static_cast<std::uintptr_t>(exchange->printer)),
                                exchange->printerName);
    if (printer.handle() == nullptr) return kWorkerFailed;
    const auto devMode = services.spooler.printerDevMode(printer.handle());
    const std::uint32_t privateOffset = devMode ? corePrivateOffset(*devMode) : 0;

    TabInformation information{};
    std::copy(exchange->tabInformation.begin(), exchange->tabInformation.end(), information.bytes);
    information.label = exchange->label.c_str();
    const std::int32_t result = createTabDocument(
        printer.handle(), exchange->printerName.c_str(), exchange->temporaryPath.c_str(),
        exchange->documentName.c_str(), exchange->jobId, exchange->orientation, exchange->printQuality,
        exchange->yResolution, exchange->scale, sizeof(TabInformation), &information, settings::kRecordSize,
        exchange->settings.bytes.data(), privateOffset);
    return (result & 0xFF) != 0 ? kWorkerSucceeded : kWorkerFailed;
}

void runWorkerFromBlock(std::u16string_view blockName, void* module, platform::SharedMemory& memory,
                        TabWorkerServices& services) {
    auto block = memory.open(blockName, kExchangeRecordSize);
    if (block == nullptr || block->size() < kExchangeRecordSize) return;
    const std::span<std::uint8_t> record(block->data(), kExchangeRecordSize);
    // The handles in the record belong to the plug-in's process; this process
    // works with its own module and opens the printer by name.
    const std::uint64_t handedModule = readNumber(record, exchange::kModule);
    const std::uint64_t handedPrinter = readNumber(record, exchange::kPrinter);
    writeNumber(record, exchange::kModule, reinterpret_cast<std::uintptr_t>(module));
    writeNumber(record, exchange::kPrinter, 0);
    writeNumber(record, exchange::kStatus, kWorkerRunning);
    writeNumber(record, exchange::kStatus, tabWorker(record, services));
    writeNumber(record, exchange::kModule, handedModule);
    writeNumber(record, exchange::kPrinter, handedPrinter);
}

}  // namespace tvzx::tabs
