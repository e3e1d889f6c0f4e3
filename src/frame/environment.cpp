#include "frame/environment.h"

#include "config/job_identity_service.h"
#include "config/printer_job_services.h"
#include "net/wake_service.h"
#include "postscript/feature_texts.h"
#include "tabs/tab_pages.h"

namespace tvzx::frame {
namespace {

Environment defaultEnvironment() {
    static config::PrinterJobServices configuration(platform::systemSpooler());
    // Document start wakes the printer; the other job services pass on.
    static net::WakeService job(configuration);
    static postscript::PlugInFeatureTexts texts;
    static tabs::PlugInTabSheets tabs(platform::systemSpooler());
    static config::JobIdentityService identity;
    return Environment{&platform::systemSpooler(), &job, &texts, &tabs, &identity};
}

Environment& current() {
    static Environment environment = defaultEnvironment();
    return environment;
}

}  // namespace

const Environment& environment() { return current(); }

ScopedEnvironment::ScopedEnvironment(const Environment& replacement) : previous_(current()) {
    current() = replacement;
}

ScopedEnvironment::~ScopedEnvironment() { current() = previous_; }

}  // namespace tvzx::frame
