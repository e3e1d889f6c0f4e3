// The printer's PPD file, read by the host itself on every platform: the
// PostScript code of each option of the file's user-interface features,
// the code of custom values, and each feature's default option.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tvzx::host {

// Orders keywords so that two that differ only in ASCII case are the same
// key, as PPD readers match them: shorter keywords first, then by their
// characters without regard to case (most keys then differ in length, and
// are told apart without a look at their characters).
struct CaseInsensitiveLess {
    using is_transparent = void;
    bool operator()(std::string_view left, std::string_view right) const;
};

class PpdFile {
public:
    // Reads the file; throws HostError naming it, the line and the fault
    // when it cannot be read or is not a PPD file.
    explicit PpdFile(const std::string& path);

    // Returns the PPD text parsed; throws HostError naming `name` and the
    // first fault found.
    static PpdFile fromText(std::string_view text, const std::string& name);

    // Returns the invocation code of one option of a feature, the custom
    // value's code for the option "Custom" (or "True" of the Custom<feature>
    // keyword); nothing when the file has no such feature or option.
    std::optional<std::string_view> invocation(std::string_view keyword, std::string_view option) const;

    // Returns the default option of a feature; nothing when the file has no
    // such feature.
    std::optional<std::string_view> defaultOption(std::string_view keyword) const;

private:
    PpdFile() = default;

    // Keywords, options and code are views of the file's own text, kept
    // here; only code that had to be rewritten (line ends, job control
    // bytes) is held apart.
    struct Feature {
        std::string_view defaultOption;
        std::map<std::string_view, std::string_view, CaseInsensitiveLess> code;
        std::optional<std::string_view> customCode;
    };
    std::unique_ptr<const std::string> text_;
    std::vector<std::unique_ptr<const std::string>> rewritten_;
    std::map<std::string_view, Feature, CaseInsensitiveLess> features_;
    // "*Default<keyword>" values met outside the feature's own block.
    std::map<std::string_view, std::string_view, CaseInsensitiveLess> looseDefaults_;

    friend class PpdReader;
};

}  // namespace tvzx::host
