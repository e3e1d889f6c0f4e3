// The worker process's side of a tab sheet: the export runner calls the
// module's CreateTabFileExW with the block name, and the worker runs on the
// record in that block.
#include "frame/tab_worker_entry.h"

#include <exception>
#include <string_view>

#include "common/module_handle.h"
#include "platform/shared_memory.h"
#include "tabs/tab_worker.h"

namespace tvzx::frame {

void createTabFileEx(const char16_t* commandLine) {
    if (commandLine == nullptr) return;
    try {
        tabs::TabWorkerServices services = tabs::systemTabWorkerServices();
        tabs::runWorkerFromBlock(std::u16string_view(commandLine), moduleHandle(), platform::systemSharedMemory(),
                                 services);
    } catch (const std::exception&) {
        // The plug-in's process finds no tab document and leaves the sheet out.
    }
}

}  // namespace tvzx::frame
