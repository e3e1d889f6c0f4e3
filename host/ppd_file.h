// The printer's PPD file, read through libcups: the PostScript code of each
// option and each feature's default option.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct ppd_file_s;

namespace tvzx::host {

class PpdFile {
public:
    // Reads the file; throws HostError naming it and the first fault libcups found.
    explicit PpdFile(const std::string& path);
    ~PpdFile();
    PpdFile(PpdFile&&) noexcept;
    PpdFile& operator=(PpdFile&&) noexcept;

    // Returns the invocation code of one option of a feature; nothing when
    // the file has no such feature or option.
    std::optional<std::string_view> invocation(std::string_view keyword, std::string_view option) const;

    // Returns the default option of a feature; nothing when the file has no
    // such feature.
    std::optional<std::string_view> defaultOption(std::string_view keyword) const;

private:
    struct Closer {
        void operator()(ppd_file_s* file) const;
    };
    std::unique_ptr<ppd_file_s, Closer> file_;
};

}  // namespace tvzx::host
