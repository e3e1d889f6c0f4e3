# The Debian packages the project needs, by purpose.
# Building the plug-in, the host and the command-line tool.
BUILD_PACKAGES=(cmake ninja-build g++)
# Running every test: test and benchmark libraries, clang for the fuzz
# targets, the Windows cross compiler and Wine to run its programs (wine is
# only a recommendation of wine64, so both are named), the PPD
# checker and libcups to compare the host's PPD reader with.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64 wine wine64 cups-client libcups2-dev ghostscript)
# The CUPS checks: a private scheduler, its client tools, CUPS's own
# PostScript filter, cupsfilter, ipptool, and python3 to catch the wake-up.
CUPS_PACKAGES=(cups-daemon cups-client cups-filters cups cups-ipp-utils python3 iproute2)
# The printer application: PAPPL to build it, ipptool to test it with CUPS's
# IPP Everywhere test file, Ghostscript for its PDF documents, Chromium to
# drive its web page in a real browser (curl where it is missing).
PRINTER_APP_PACKAGES=(libpappl-dev cups-ipp-utils ghostscript curl chromium)
