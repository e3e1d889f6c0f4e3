#include "queue_job.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/byte_order.h"
#include "config/printer_values.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "net/mac_address.h"
#include "platform/com_abi.h"
#include "ppd/marked_choices.h"
#include "settings/devmode.h"
#include "settings/feature_tables.h"
#include "settings/settings_lines.h"
#include "host/ipp_job_options.h"

namespace tvzx::cups_filter {
namespace {

using settings::FieldId;

// Options of the filter's own, beside the PPD's and IPP's.
constexpr std::string_view kSettingsFileOption = "tvzx-settings";    // a saved settings file
constexpr std::string_view kMacAddressOption = "tvzx-mac-address";   // the printer's, for the wake-up
// The IPP attribute the PPD's page size, tray and media type take.
constexpr std::string_view kMedia = "media";
constexpr std::string_view kCustomPrefix = "Custom.";
// The PPD choice a custom size marks, and the points a stored custom
// dimension counts (tenths of a micrometre).
constexpr std::string_view kPageSizeKeyword = "PageSize";
constexpr std::string_view kCustomChoice = "Custom";
constexpr double kStoredPerPoint = 25400.0 * 10.0 / 72.0;
// The PPD features a media value may name besides the paper size.
constexpr const char* kMediaKeywords[] = {"InputSlot", "ZVMediaType"};
constexpr std::string_view kDuplexKeyword = "ZVDuplex";
constexpr std::string_view kTrueChoice = "True";
constexpr std::string_view kPrintersPath = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
constexpr std::string_view kSecret = "Password";
constexpr char kAssign = '=';
constexpr char kListSeparator = ',';

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    while (!text.empty()) {
        const std::size_t end = text.find(separator);
        const std::string_view part = text.substr(0, end);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return parts;
}

[[noreturn]] void refuse(std::string_view option, std::string_view value, std::string_view why) {
    throw OptionRefused("option " + std::string(option) + "=" + std::string(value) + ": " + std::string(why));
}

// Collects the edits in the order the host applies them.
class Edits {
public:
    explicit Edits(QueueJob& job) : job_(job) {}
    void add(std::string assignment) {
        const std::string_view name = std::string_view(assignment).substr(0, assignment.find(kAssign));
        job_.settingsLog += name.find(kSecret) == std::string_view::npos ? assignment : std::string(name) + "=***";
        job_.settingsLog += '\n';
        job_.request.settings.push_back({"option", std::move(assignment), true});
    }
    void addAll(std::vector<std::string> assignments) {
        for (std::string& one : assignments) add(std::move(one));
    }

private:
    QueueJob& job_;
};

// Refuses a value of a PPD keyword that names none of its choices: CUPS
// would leave it unmarked and print with the default silently.
void checkPpdValue(ppd_file_t* ppd, std::string_view name, std::string_view value) {
    ppd_option_t* option = ppdFindOption(ppd, std::string(name).c_str());
    if (option == nullptr) return;
    if (ppdFindChoice(option, std::string(value).c_str()) != nullptr) return;
    if (value.starts_with(kCustomPrefix) && ppdFindChoice(option, "Custom") != nullptr) return;
    refuse(name, value, "names no choice of this option");
}

void checkMedia(ppd_file_t* ppd, std::string_view value) {
    for (std::string_view part : split(value, kListSeparator)) {
        const std::string name(part);
        if (ppdPageSize(ppd, name.c_str()) != nullptr || pwgMediaForPWG(name.c_str()) != nullptr ||
            pwgMediaForLegacy(name.c_str()) != nullptr)
            continue;
        const bool choice = std::any_of(std::begin(kMediaKeywords), std::end(kMediaKeywords), [&](const char* keyword) {
            ppd_option_t* option = ppdFindOption(ppd, keyword);
            return option != nullptr && ppdFindChoice(option, name.c_str()) != nullptr;
        });
        if (!choice) refuse(kMedia, value, "names no paper size, tray or media type of this printer");
    }
}

// Maps an IPP attribute's value text, a list of values separated by commas
// for an attribute that takes several. Throws OptionRefused naming the
// whole text (never a password).
std::vector<std::string> ippEdits(std::string_view name, std::string_view value, std::string_view user) {
    std::vector<std::string_view> values;
    if (host::ippAttributeKind(name) == host::IppAttributeKind::List) values = split(value, kListSeparator);
    else values.push_back(value);
    host::IppJobEdits mapped = host::mapIppAttribute(name, values, {user});
    if (mapped.refusal) {
        if (!mapped.refusal->value) throw OptionRefused("option " + std::string(name) + ": " + mapped.refusal->reason);
        refuse(name, value, mapped.refusal->reason);
    }
    return std::move(mapped.edits);
}

}  // namespace

std::optional<UserIdentity> findUser(const std::string& name) {
    constexpr std::size_t kFallbackBufferSize = 16384;
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : kFallbackBufferSize);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwnam_r(name.c_str(), &entry, buffer.data(), buffer.size(), &found) != 0 || found == nullptr)
        return std::nullopt;
    UserIdentity user{found->pw_uid, {}};
    // getgrouplist reports the count it needs when the list is too short.
    int count = 16;
    std::vector<gid_t> groups;
    for (;;) {
        groups.resize(static_cast<std::size_t>(count));
        const int wanted = count;
        if (getgrouplist(found->pw_name, found->pw_gid, groups.data(), &count) >= 0) break;
        if (count <= wanted) count = wanted * 2;
    }
    groups.resize(static_cast<std::size_t>(count));
    user.groups = std::move(groups);
    return user;
}

bool userMay(const UserIdentity& user, const struct stat& status, Access access) {
    constexpr uid_t kRoot = 0;
    if (user.uid == kRoot) return true;
    const bool read = access == Access::Read;
    // As the kernel decides: the owner's bits for the owner, else the
    // group's for a member, else the others'.
    if (status.st_uid == user.uid) return (status.st_mode & (read ? S_IRUSR : S_IXUSR)) != 0;
    if (std::find(user.groups.begin(), user.groups.end(), status.st_gid) != user.groups.end())
        return (status.st_mode & (read ? S_IRGRP : S_IXGRP)) != 0;
    return (status.st_mode & (read ? S_IROTH : S_IXOTH)) != 0;
}

namespace {

// Returns whether the user may reach the file: search every folder of its
// real path.
bool userMayReach(const UserIdentity& user, const std::string& path) {
    std::error_code error;
    const std::filesystem::path real = std::filesystem::canonical(path, error);
    if (error) return false;
    for (std::filesystem::path folder = real.parent_path();; folder = folder.parent_path()) {
        struct stat status {};
        if (stat(folder.c_str(), &status) != 0 || !userMay(user, status, Access::Search)) return false;
        if (folder == folder.root_path()) return true;
    }
}

// Reads a saved settings file. The filter may read files the job's user may
// not: only a regular file that user could read is taken, and nothing of
// its text is repeated in a refusal.
std::string readSettingsFile(const std::string& path, const std::string& userName) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) refuse(kSettingsFileOption, path, "the settings file cannot be read");
    struct stat status {};
    const std::optional<UserIdentity> user = findUser(userName);
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || !user || !userMay(*user, status, Access::Read) ||
        !userMayReach(*user, path)) {
        std::fclose(file);
        refuse(kSettingsFileOption, path, "not a settings file the job's user may read");
    }
    std::string text;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) refuse(kSettingsFileOption, path, "the settings file cannot be read");
    return text;
}

// Returns what libcups has marked in the PPD: the queue's defaults and the
// job's choices. A custom size goes its own way (customSizeEdits), so its
// page size choice is left out.
ppd::MarkedChoice markedChoices(ppd_file_t* ppd) {
    return [ppd](std::string_view keyword) -> std::optional<std::string> {
        ppd_choice_t* choice = ppdFindMarkedChoice(ppd, std::string(keyword).c_str());
        if (choice == nullptr) return std::nullopt;
        if (keyword == kPageSizeKeyword && kCustomChoice == choice->choice) return std::nullopt;
        return std::string(choice->choice);
    };
}

// Returns the job's custom size ("Custom.WxH" of PageSize or media, in the
// units libcups reads) as the settings that carry it; nothing when the job
// asks for none. Refuses a size outside what the printer takes.
std::vector<std::string> customSizeEdits(ppd_file_t* ppd, int optionCount, cups_option_t* options) {
    for (int i = 0; i < optionCount; ++i) {
        const std::string_view name = options[i].name;
        if (name != kPageSizeKeyword && name != kMedia) continue;
        for (std::string_view part : split(options[i].value, kListSeparator)) {
            if (!part.starts_with(kCustomPrefix)) continue;
            const ppd_size_t* size = ppdPageSize(ppd, std::string(part).c_str());
            if (size == nullptr || size->width <= 0 || size->length <= 0) refuse(name, part, "is not a paper size");
            if (!ppd->variable_sizes || size->width < ppd->custom_min[0] || size->width > ppd->custom_max[0] ||
                size->length < ppd->custom_min[1] || size->length > ppd->custom_max[1]) {
                char limits[128];
                std::snprintf(limits, sizeof limits, "is outside the custom sizes of this printer (%gx%g to %gx%g points)",
                              ppd->custom_min[0], ppd->custom_min[1], ppd->custom_max[0], ppd->custom_max[1]);
                refuse(name, part, limits);
            }
            const auto stored = [](float points) { return std::to_string(std::lround(points * kStoredPerPoint)); };
            const auto field = [](FieldId id) { return std::string(settings::fieldDef(id).name) + kAssign; };
            return {field(FieldId::PageSize) + std::to_string(settings::kCustomPageSize),
                    field(FieldId::CustomPageSizeWidth) + stored(size->width),
                    field(FieldId::CustomPageSizeHeight) + stored(size->length)};
        }
    }
    return {};
}

// The printer's data as the Windows driver's user interface would keep it
// for this queue.
std::string printerData(const std::string& printer, ppd_file_t* ppd, const rules::InstalledOptions& installed,
                        const std::string& macAddress) {
    // The queue's default duplex is its PPD default, which lpadmin sets.
    ppd_option_t* duplex = ppdFindOption(ppd, std::string(kDuplexKeyword).c_str());
    const bool duplexDefault = duplex != nullptr && kTrueChoice == duplex->defchoice;
    platform::RegistryKey key{std::string(kPrintersPath) + printer + "\\" + std::string(platform::kDriverDataKey), {}};
    key.values.push_back({std::string(config::kInstallableOptionsValue), win::REG_BINARY, {installed.begin(), installed.end()}});
    std::vector<std::uint8_t> duplexValue(sizeof(std::uint32_t));
    writeLe32(duplexValue.data(), duplexDefault ? 1 : 0);
    key.values.push_back({std::string(settings::kDefaultDuplexValue), win::REG_DWORD, duplexValue});
    if (!macAddress.empty())
        key.values.push_back({std::string(net::kMacAddressValue), win::REG_SZ, *platform::registryTextValue(macAddress)});
    platform::RegistryFile file;
    file.keys.push_back(std::move(key));
    return platform::formatRegistryFile(file);
}

std::string copiesAssignment(std::uint32_t copies) {
    return std::string(settings::fieldDef(FieldId::NumCopies).name) + kAssign + std::to_string(copies);
}

}  // namespace

std::uint32_t settleCopies(QueueJob& job, std::uint32_t counted, std::optional<std::uint32_t> left) {
    if (!left || *left == counted) return counted;
    const std::string name = std::string(settings::fieldDef(FieldId::NumCopies).name) + kAssign;
    for (host::SettingsEdit& edit : job.request.settings)
        if (edit.singleAssignment && edit.text.starts_with(name)) edit.text = copiesAssignment(*left);
    return *left;
}

QueueJob readQueueJob(const FilterArguments& arguments, ppd_file_t* ppd, int optionCount, cups_option_t* options) {
    QueueJob job;
    host::RenderRequest& request = job.request;
    request.jobId = arguments.jobId;
    request.userName = arguments.user;
    request.documentName = arguments.title;
    request.printerName = arguments.printer;
    Edits edits(job);

    // Every value is checked before anything is taken from it; the edits
    // of the standard attributes wait for the queue's defaults.
    std::string macAddress;
    std::vector<std::vector<std::string>> ipp;
    std::vector<std::string> password;
    std::vector<std::string> account;
    for (int i = 0; i < optionCount; ++i) {
        const std::string_view name = options[i].name;
        const std::string_view value = options[i].value;
        if (name == kSettingsFileOption) {
            request.settings.push_back({std::string(value), readSettingsFile(std::string(value), arguments.user), false});
        } else if (name == kMacAddressOption) {
            net::MacAddress parsed{};
            if (!net::parseMacAddress(value, parsed)) refuse(name, value, "is not a network (MAC) address");
            macAddress = value;
        } else if (name == host::kIppJobPassword) {
            password = ippEdits(name, value, arguments.user);
        } else if (name == host::kIppAccountId) {
            account = ippEdits(name, value, arguments.user);
        } else if (name == kMedia) {
            checkMedia(ppd, value);
        } else if (host::ippAttributeKind(name) != host::IppAttributeKind::Unmapped) {
            ipp.push_back(ippEdits(name, value, arguments.user));
        } else {
            checkPpdValue(ppd, name, value);
        }
    }

    std::vector<std::string> customSize = customSizeEdits(ppd, optionCount, options);

    // The printer's installed options limit what the edits may set.
    request.edits.installed = ppd::installedOptionsFromChoices(markedChoices(ppd));
    // The queue's defaults and the user's PPD choices, where they differ
    // from a fresh job's.
    const ppd::ChoiceAssignments fromPpd = ppd::assignmentsFromChoices(settings::defaultRecord(), markedChoices(ppd));
    if (fromPpd.refused) {
        const std::string refused = *fromPpd.refused;
        const std::size_t at = refused.find(kAssign);
        refuse(refused.substr(0, at), refused.substr(at + 1), "names no option of the job settings");
    }
    for (const std::string& assignment : fromPpd.assignments) edits.add(assignment);
    edits.addAll(std::move(customSize));

    // The standard attributes, then the copies CUPS counted, then the secure
    // print and the account.
    for (std::vector<std::string>& attribute : ipp) edits.addAll(std::move(attribute));
    edits.add(copiesAssignment(arguments.copies));
    edits.addAll(std::move(password));
    edits.addAll(std::move(account));
    job.printerData = printerData(arguments.printer, ppd, *request.edits.installed, macAddress);
    return job;
}

}  // namespace tvzx::cups_filter
