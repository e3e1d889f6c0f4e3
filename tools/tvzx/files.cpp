#include "files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "command_line.h"

namespace tvzx::cli {

std::vector<std::uint8_t> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw UsageError("cannot read " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw UsageError("cannot read " + path);
    return bytes;
}

std::string readFileText(const std::string& path) {
    const auto bytes = readFileBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeFileAtomically(const std::string& path, std::string_view bytes) {
    const std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) throw UsageError("cannot write " + path);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            throw UsageError("cannot write " + path);
        }
    }
    std::error_code error;
    std::filesystem::rename(temporary, path, error);
    if (error) {
        std::remove(temporary.c_str());
        throw UsageError("cannot write " + path + ": " + error.message());
    }
}

}  // namespace tvzx::cli
