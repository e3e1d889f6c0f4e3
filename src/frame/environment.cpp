#include "frame/environment.h"

namespace tvzx::frame {
namespace {

Environment defaultEnvironment() {
    static JobServices job;
    static postscript::FeatureTexts texts;
    static postscript::TabSheets tabs;
    static postscript::JobIdentity identity;
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
