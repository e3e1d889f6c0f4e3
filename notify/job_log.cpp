#include "job_log.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "config/working_directory.h"
#include "platform/spooler.h"

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
    // The library is told no printer, so the working directory is the one
    // any job of this user could write to.
    const std::optional<std::u16string> directory = config::systemWorkingDirectory(platform::systemSpooler(), nullptr);
    if (!directory) return false;
    const std::filesystem::path path(*directory + std::u16string(kJobLogName));
    const std::string line = jobLogLine(jobIdentity, documentText);
    // One write of the whole line, so lines of jobs announced at the same
    // time do not mix.
    std::ofstream log(path, std::ios::binary | std::ios::app);
    if (!log) return false;
    log.write(line.data(), static_cast<std::streamsize>(line.size()));
    log.flush();
    return static_cast<bool>(log);
}

}  // namespace tvzx::notify
