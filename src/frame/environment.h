// The services the plug-in runs with. The driver calls the hooks and
// methods without a context of the plug-in's own, so they reach the
// spooler, the job services and the output providers through this one
// process-wide place. The defaults are the system's spooler and providers
// that do nothing; the parts that supply them plug in here.
#pragma once

#include "device/job_services.h"
#include "platform/spooler.h"
#include "postscript/injection.h"

namespace tvzx::frame {

struct Environment {
    platform::Spooler* spooler;
    device::JobServices* job;
    postscript::FeatureTexts* texts;
    postscript::TabSheets* tabs;
    postscript::JobIdentity* identity;

    // Returns the services of the injection dispatcher.
    postscript::InjectionServices injection() const { return {*job, *spooler, *texts, *tabs, *identity}; }
};

// Returns the services in force.
const Environment& environment();

// Puts other services in force for its lifetime (tests and tools), and the
// previous ones back afterwards.
class ScopedEnvironment {
public:
    explicit ScopedEnvironment(const Environment& replacement);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    Environment previous_;
};

}  // namespace tvzx::frame
