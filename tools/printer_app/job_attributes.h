// A job's IPP attributes in the printer application: the attributes the
// CUPS filter shares (host/ipp_job_options.h) plus those a driverless client
// sends beside them (media, media-source, media-type, copies)
// and the family's vendor attributes for what IPP has no name for. Each
// value becomes "Name=Value" edits made through the setters; the values a
// printer supports are those whose edits take on its installed options.
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/ipp_job_options.h"
#include "host/render_job.h"
#include "rules/installed_options.h"

namespace tvzx::printer_app {

// Vendor attributes of the family.
inline constexpr std::string_view kLayoutAttribute = "tvzx-layout";
inline constexpr std::string_view kFoldAttribute = "tvzx-fold";
inline constexpr std::string_view kBindingAttribute = "tvzx-binding-edge";
inline constexpr std::string_view kStapleAttribute = "tvzx-staple";
inline constexpr std::string_view kPunchAttribute = "tvzx-punch";
inline constexpr std::string_view kOutputMethodAttribute = "tvzx-output-method";
inline constexpr std::string_view kSecureIdAttribute = "tvzx-secure-id";
inline constexpr std::string_view kSecurePasswordAttribute = "tvzx-secure-password";
inline constexpr std::string_view kAccountAttribute = "tvzx-account";
inline constexpr std::string_view kSettingsAttribute = "tvzx-settings";
// Standard attributes this layer maps itself.
inline constexpr std::string_view kMediaAttribute = "media";
inline constexpr std::string_view kMediaSourceAttribute = "media-source";
inline constexpr std::string_view kMediaTypeAttribute = "media-type";
inline constexpr std::string_view kOrientationAttribute = "orientation-requested";
inline constexpr std::string_view kCopiesAttribute = "copies";

enum class VendorKind : std::uint8_t {
    Choice,        // a keyword of a fixed list
    Text,          // a text stored in a settings field
    Secret,        // a text never repeated (a password)
    SettingsFile,  // the name of a saved settings file of the printer
};

struct VendorAttribute {
    std::string_view name;
    VendorKind kind;
};

// Returns the vendor attributes in the order they are advertised.
std::span<const VendorAttribute> vendorAttributes();

// One attribute of a job with its values as texts (an enum by its number).
struct JobAttribute {
    std::string name;
    std::vector<std::string> values;
};

// Returns the text of a saved settings file by its name; nothing when the
// printer has none of that name.
using SavedSettings = std::function<std::optional<std::string>(std::string_view name)>;

struct JobContext {
    std::string_view user;
    SavedSettings saved;
    // The input slot the job's media type belongs to ("Auto" when none).
    std::string_view inputSlot;
};

struct JobEdits {
    std::vector<host::SettingsEdit> edits;  // saved settings first, then single assignments
    std::optional<host::IppRefusal> refusal;
};

// Returns the edits of the job's attributes in order, or the refusal of the
// first value that maps to nothing. Attributes no layer maps are left alone
// (IPP's own, which the framework handles).
JobEdits mapJobAttributes(std::span<const JobAttribute> attributes, const JobContext& context);

// Returns the refusal of the first attribute whose value maps to nothing or
// whose edits, made alone, the printer's installed options do not take
// (a staple position without a stapler); nothing when the job can print.
std::optional<host::IppRefusal> refusalFor(std::span<const JobAttribute> attributes, const JobContext& context,
                                           const rules::InstalledOptions& installed);

// Returns whether the attribute is one this layer maps.
bool isMappedAttribute(std::string_view name);

// Returns the values of a choice attribute (shared, own or vendor) the
// printer with these installed options can do, in advertising order.
std::vector<std::string> supportedValues(std::string_view attribute, const rules::InstalledOptions& installed);

// Returns whether every edit, made alone on a fresh job of a printer with
// these installed options, leaves its setting at the value it names.
bool editsTake(std::span<const std::string> edits, const rules::InstalledOptions& installed);

// Returns the PWG media name of a page size, and the reverse; nothing for a
// size or name without a counterpart.
std::optional<std::string_view> mediaForPageSize(std::string_view pageSize);
std::optional<std::string_view> pageSizeForMedia(std::string_view media);

// Returns the IPP keyword of an option name ("2StaplesWide" ->
// "2-staples-wide").
std::string optionKeyword(std::string_view option);

}  // namespace tvzx::printer_app
