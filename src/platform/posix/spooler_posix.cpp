// Without a Windows spooler there is nothing to ask: printer data, printer
// names and job parameters are unavailable until a printer store is added.
#include "platform/spooler.h"

namespace tvzx::platform {

Spooler& systemSpooler() {
    static AbsentSpooler spooler;
    return spooler;
}

}  // namespace tvzx::platform
