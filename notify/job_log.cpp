#include "job_log.h"

#include <string>

#include "platform/file_system.h"

namespace tvzx::notify {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";

void appendEscaped(std::string& line, std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            line += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            line += "\\x";
            line.push_back(kHexDigits[byte >> 4]);
            line.push_back(kHexDigits[byte & 0xF]);
        } else {
            line.push_back(c);
        }
    }
}

}  // namespace

std::string jobLogLine(std::string_view jobIdentity, std::string_view documentText) {
    std::string line;
    appendEscaped(line, jobIdentity);
    line.push_back('\t');
    appendEscaped(line, documentText);
    line.push_back('\n');
    return line;
}

bool appendJobLog(std::string_view jobIdentity, std::string_view documentText) {
    // The library is told no printer, and a job without a printer has the
    // user's temporary directory to work in; adding to the log there is its
    // own test that the directory can be written.
    platform::FileSystem& files = platform::systemFileSystem();
    const std::u16string directory = files.temporaryDirectory();
    if (directory.empty()) return false;
    return platform::appendToFile(platform::withSeparator(directory) + std::u16string(kJobLogName),
                                  jobLogLine(jobIdentity, documentText));
}

}  // namespace tvzx::notify
