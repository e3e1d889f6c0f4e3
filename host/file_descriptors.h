// The host's files as numbered descriptors of the C run-time library, opened
// in binary mode on every system, so the bytes of a job pass unchanged.
#pragma once

#include <cstddef>
#include <string>

namespace tvzx::host::files {

// Every function below that fails leaves the reason in errno.

// Returns a descriptor of the file opened for reading; -1 on failure.
int openForReading(const std::string& path);

// Returns a descriptor of the existing file or device opened for writing;
// -1 on failure.
int openForWriting(const std::string& path);

// Creates a new file whose name is `path` with the six 'X' characters that
// stand `suffixLength` characters before its end replaced by a unique text;
// `path` receives the name. Returns its descriptor, open for writing and
// reading; -1 on failure.
int createUnique(std::string& path, std::size_t suffixLength);

// Returns a descriptor of a new file in the temporary directory that no
// name leads to once it is closed; -1 on failure.
int createAnonymous();

// Returns whether the descriptor is of a directory.
bool isDirectory(int descriptor);

// Returns the size of the regular file behind the descriptor; -1 for
// anything else (a pipe, a device) or on failure.
long long regularFileSize(int descriptor);

// Returns whether the path names something other than a regular file that
// exists (a device or a pipe), which cannot be replaced by a rename.
bool isSpecialFile(const std::string& path);

// Gives the file the permissions a new file of the user gets.
void giveNewFileMode(int descriptor);

// Returns how many bytes were read (0 at the end); -1 on failure.
long long readSome(int descriptor, char* data, std::size_t size);

// Returns how many bytes were written; -1 on failure.
long long writeSome(int descriptor, const char* data, std::size_t size);

// Returns whether the descriptor was moved back to the file's start.
bool rewind(int descriptor);

// Returns whether the file was closed with everything written.
bool close(int descriptor);

// Returns whether the file is gone.
bool remove(const std::string& path);

// Returns whether the file now has the name `to`, replacing a file there.
bool rename(const std::string& from, const std::string& to);

// Returns the descriptor of standard output, switched to binary mode.
int standardOutput();
// Returns the descriptor of standard input, switched to binary mode.
int standardInput();
// Returns whether standard input is a terminal, where a person types
// rather than a document arrives.
bool standardInputIsTerminal();

}  // namespace tvzx::host::files
