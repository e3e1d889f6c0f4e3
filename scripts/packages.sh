# The Debian packages the project needs, by purpose.
# Building the plug-in, the host and the command-line tool.
BUILD_PACKAGES=(cmake ninja-build g++ libcups2-dev)
# Running every test: test and benchmark libraries, clang for the fuzz
# targets, the Windows cross compiler, and the PPD checker.
TEST_PACKAGES=(libgtest-dev libbenchmark-dev clang libclang-rt-14-dev g++-mingw-w64-x86-64 cups-client ghostscript)
