// The worker process's entry into the module for one tab sheet.
#pragma once

namespace tvzx::frame {

// Runs the tab worker on the shared-memory block named by the command line,
// as the worker process's entry does; an unusable name or block leaves it
// untouched. Nothing is thrown.
void createTabFileEx(const char16_t* commandLine);

}  // namespace tvzx::frame
