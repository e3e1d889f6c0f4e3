// DSC comments that carry the complete job settings, the title and user, and
// the page bitmap size.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "settings/core_data.h"

namespace tvzx::postscript {

inline constexpr std::string_view kJobSettingsKey = "TARVO-JobSettings";
inline constexpr std::string_view kJobSettingsDescriptionKey = "TARVO-JobSettingsDescription";
inline constexpr std::string_view kTitleKey = "TitleEx";
inline constexpr std::string_view kUserKey = "ForEx";

// Returns the lines of one long comment: "%%" key ": " and the value cut into
// lines of at most 160 characters, continued with "%%+ ". Empty for an empty key.
std::string longComment(std::string_view key, std::string_view value);

// Returns the job-settings block: the record without its secrets (see
// pjl::withoutSecrets) in Base64 and the description of its layout, as two
// long comments.
std::string jobSettingsComments(const settings::CoreData& settings);

// Returns one "%%TARVO-" key ": " line; a value with anything but ASCII
// letters and digits is written as <hex>.
std::string shortComment(std::string_view key, std::string_view value);

// The longest the bitmap size line can be.
inline constexpr std::size_t kBitmapSizeLineLimit = 64;
// Writes the "%%TARVO-BitmapSize: " line for the page surface size into
// `into`, so that a page needs no string of its own; returns it.
std::string_view formatBitmapSizeLine(std::span<char, kBitmapSizeLineLimit> into, std::uint32_t width,
                                      std::uint32_t height);

}  // namespace tvzx::postscript
