#include "ppd_file.h"

#include <cups/ppd.h>

#include "host_error.h"
#include "ppd_keywords.h"

// libcups marks its whole PPD interface deprecated in favour of asking a
// print server; the host reads a file and has no server.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

namespace tvzx::host {
namespace {

constexpr std::string_view kLibcupsCustomSize = "Custom";
// libcups keeps the name "Custom" for custom values and files an ordinary
// option of that name under this one.
constexpr std::string_view kLibcupsPlainCustom = "_Custom";

}  // namespace

void PpdFile::Closer::operator()(ppd_file_s* file) const { ppdClose(file); }

PpdFile::PpdFile(const std::string& path) {
    file_.reset(ppdOpenFile(path.c_str()));
    if (!file_) {
        int line = 0;
        const ppd_status_t status = ppdLastError(&line);
        throw HostError(path + ": not a usable PPD file: " + ppdErrorString(status) + " (line " + std::to_string(line) + ")");
    }
}

PpdFile::~PpdFile() = default;
PpdFile::PpdFile(PpdFile&&) noexcept = default;
PpdFile& PpdFile::operator=(PpdFile&&) noexcept = default;

std::optional<std::string_view> PpdFile::invocation(std::string_view keyword, std::string_view option) const {
    // libcups files the custom page size code as the page size "Custom".
    if (keyword == ppd::kCustomPageSize && option == ppd::kCustomTrue) return invocation(ppd::kPageSize, kLibcupsCustomSize);
    ppd_option_t* found = ppdFindOption(file_.get(), std::string(keyword).c_str());
    if (found == nullptr) return std::nullopt;
    ppd_choice_t* choice = ppdFindChoice(found, std::string(option).c_str());
    if (choice == nullptr && option == kLibcupsCustomSize) choice = ppdFindChoice(found, std::string(kLibcupsPlainCustom).c_str());
    if (choice == nullptr) return std::nullopt;
    return choice->code != nullptr ? std::string_view(choice->code) : std::string_view();
}

std::optional<std::string_view> PpdFile::defaultOption(std::string_view keyword) const {
    ppd_option_t* found = ppdFindOption(file_.get(), std::string(keyword).c_str());
    if (found == nullptr) return std::nullopt;
    return std::string_view(found->defchoice);
}

}  // namespace tvzx::host
