// The job identity as the injection dispatcher asks for it: a new identity
// for each job ticket, announced to the notification library beside the
// plug-in module.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/dynamic_library.h"
#include "postscript/injection.h"

namespace tvzx::config {

class JobIdentityService : public postscript::JobIdentity {
public:
    // The module whose companion library is told; the loaded plug-in's own
    // by default.
    using ModuleSource = std::function<void*()>;

    JobIdentityService();
    JobIdentityService(ModuleSource module, platform::LibraryLoader& loader);

    // Returns a new job identity after announcing it with the document
    // name. The printer does not enter into it.
    std::string notificationId(std::u16string_view printerName, std::u16string_view documentName) override;

private:
    ModuleSource module_;
    platform::LibraryLoader* loader_;
};

}  // namespace tvzx::config
