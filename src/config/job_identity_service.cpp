#include "config/job_identity_service.h"

#include "config/job_identity.h"
#include "common/module_handle.h"

namespace tvzx::config {

JobIdentityService::JobIdentityService()
    : JobIdentityService([] { return tvzx::moduleHandle(); }, platform::systemLibraryLoader()) {}

JobIdentityService::JobIdentityService(ModuleSource module, platform::LibraryLoader& loader)
    : module_(std::move(module)), loader_(&loader) {}

std::string JobIdentityService::notificationId(std::u16string_view, std::u16string_view documentName) {
    return jobIdentity(module_ ? module_() : nullptr, documentName, *loader_);
}

}  // namespace tvzx::config
