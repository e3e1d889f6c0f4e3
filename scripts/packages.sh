# The Debian packages the project needs, by purpose.
# Building the plug-in, the host and the command-line tool.
BUILD_PACKAGES=(cmake ninja-build g++)
# Running every test: test and benchmark libraries, clang for the fuzz
# targets, the Windows cross compiler and Wine to run its programs (wine is
# only a recommendation of wine64, so both are named), the PPD
# checker and libcups to compare the host's PPD reader with, Ghostscript and
# psutils to print jobs and take pages out of them.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64 wine wine64 cups-client libcups2-dev ghostscript psutils)
# The CUPS checks: a private scheduler, its client tools, CUPS's own
# PostScript filter, cupsfilter, ipptool, python3 to catch the wake-up, and a
# producer of a document with Ghostscript to print it.
CUPS_PACKAGES=(cups-daemon cups-client cups-filters cups cups-ipp-utils python3 iproute2 a2ps ghostscript)
# The package check: lintian, and what cpack needs to name the libraries
# the package depends on (dpkg-shlibdeps, file).
PACKAGE_PACKAGES=(lintian dpkg-dev file)
# The document checks: producers of the documents Linux users print, and
# psutils to take pages out of the jobs.
DOCUMENT_PACKAGES=(groff enscript a2ps psutils poppler-utils ghostscript cups-filters)
# The printer application: PAPPL to build it, ipptool to test it with CUPS's
# IPP Everywhere test file, Ghostscript for its PDF documents, Chromium to
# drive its web page in a real browser (curl where it is missing).
PRINTER_APP_PACKAGES=(libpappl-dev cups-ipp-utils ghostscript curl chromium)
