// Tests that need a program of the machine (Ghostscript, the PPD checker, a
// printer of the Windows spooler) skip on a developer's machine without it;
// under continuous integration (CI=true) the tool must be there, and the
// test fails instead.
#pragma once

#include <cstdlib>
#include <string_view>

#include <gtest/gtest.h>

namespace tvzx::test {

// Returns whether the tests run under continuous integration.
inline bool underContinuousIntegration() {
    const char* value = std::getenv("CI");
    return value != nullptr && std::string_view(value) == "true";
}

}  // namespace tvzx::test

// Ends the test when the tool is missing: skipped, or failed under CI.
#define TVZX_REQUIRE_TOOL(available, what)                                            \
    do {                                                                              \
        if (!(available)) {                                                           \
            if (::tvzx::test::underContinuousIntegration())                           \
                FAIL() << "needs " << (what) << ", and CI=true runs every test";        \
            GTEST_SKIP() << "needs " << (what);                                        \
        }                                                                             \
    } while (false)
