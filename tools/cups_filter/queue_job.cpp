#include "queue_job.h"

#include <algorithm>
#include <cstdio>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/byte_order.h"
#include "config/printer_values.h"
#include "platform/registry_file.h"
#include "platform/registry_printer.h"
#include "net/mac_address.h"
#include "pjl/pjl_format.h"
#include "platform/com_abi.h"
#include "ppd/marked_choices.h"
#include "settings/devmode.h"
#include "settings/feature_tables.h"
#include "settings/settings_lines.h"

namespace tvzx::cups_filter {
namespace {

using settings::FieldId;

// Options of the filter's own, beside the PPD's and IPP's.
constexpr std::string_view kSettingsFileOption = "tvzx-settings";    // a saved settings file
constexpr std::string_view kMacAddressOption = "tvzx-mac-address";   // the printer's, for the wake-up
// IPP attributes that carry a text rather than a choice.
constexpr std::string_view kJobPassword = "job-password";
constexpr std::string_view kAccountId = "job-account-id";
constexpr std::string_view kMedia = "media";
constexpr std::string_view kOutputBin = "output-bin";
constexpr std::string_view kCustomPrefix = "Custom.";
// The PPD features a media value may name besides the paper size.
constexpr const char* kMediaKeywords[] = {"InputSlot", "ZVMediaType"};
constexpr std::string_view kDuplexKeyword = "ZVDuplex";
constexpr std::string_view kTrueChoice = "True";
constexpr std::string_view kPrintersPath = "HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\";
constexpr std::string_view kSecret = "Password";
constexpr char kAssign = '=';
constexpr char kListSeparator = ',';

// What an IPP attribute's value sets; an enum value is named by its
// number and by its keyword.
struct IppValue {
    std::string_view attribute;
    std::string_view number;
    std::string_view keyword;
    std::string_view assignments;  // "Name=Value" edits, separated by spaces
};

constexpr IppValue kIppValues[] = {
    {"sides", {}, "one-sided", "Duplex=False"},
    {"sides", {}, "two-sided-long-edge", "Duplex=True Binding=Left"},
    {"sides", {}, "two-sided-short-edge", "Duplex=True Binding=Top"},
    {"collate", {}, "true", "Collate=Sort"},
    {"collate", {}, "false", "Collate=Group"},
    {"print-quality", "3", "draft", "PrintQuality=Draft"},
    {"print-quality", "4", "normal", "PrintQuality=Normal"},
    {"print-quality", "5", "high", "PrintQuality=Normal Resolution=1200dpi"},
    {"printer-resolution", {}, "600dpi", "Resolution=600dpi"},
    {"printer-resolution", {}, "1200dpi", "Resolution=1200dpi"},
    {"finishings", "3", "none", ""},
    {"finishings", "4", "staple", "Staple=1StapleLeft"},
    {"finishings", "5", "punch", "Punch=2Holes"},
    {"finishings", "10", "fold", "Fold=ZFold"},
    {"finishings", "13", "booklet-maker", "Layout=Booklet"},
    {"finishings", "20", "staple-top-left", "Staple=1StapleLeft Binding=Left"},
    {"finishings", "22", "staple-top-right", "Staple=1StapleRight Binding=Right"},
    {"finishings", "28", "staple-dual-left", "Staple=2StaplesNormal Binding=Left"},
    {"finishings", "29", "staple-dual-top", "Staple=2StaplesNormal Binding=Top"},
    {"finishings", "30", "staple-dual-right", "Staple=2StaplesNormal Binding=Right"},
    {"finishings", "74", "punch-dual-left", "Punch=2Holes Binding=Left"},
    {"finishings", "75", "punch-dual-top", "Punch=2Holes Binding=Top"},
    {"finishings", "76", "punch-dual-right", "Punch=2Holes Binding=Right"},
    {"finishings", "78", "punch-triple-left", "Punch=3Holes Binding=Left"},
    {"finishings", "79", "punch-triple-top", "Punch=3Holes Binding=Top"},
    {"finishings", "80", "punch-triple-right", "Punch=3Holes Binding=Right"},
    {"finishings", "82", "punch-quad-left", "Punch=4Holes Binding=Left"},
    {"finishings", "83", "punch-quad-top", "Punch=4Holes Binding=Top"},
    {"finishings", "84", "punch-quad-right", "Punch=4Holes Binding=Right"},
    {"finishings", "93", "fold-half", "Fold=MultiCenterFold"},
    {"finishings", "96", "fold-letter", "Fold=MultiLetterFold"},
    {"finishings", "100", "fold-z", "Fold=ZFold"},
};

bool isIppAttribute(std::string_view name) {
    for (const IppValue& row : kIppValues)
        if (row.attribute == name) return true;
    return false;
}

const IppValue* findIppValue(std::string_view attribute, std::string_view value) {
    for (const IppValue& row : kIppValues)
        if (row.attribute == attribute && (row.keyword == value || (!row.number.empty() && row.number == value)))
            return &row;
    return nullptr;
}

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

std::string_view onOption(FieldId id) { return settings::fieldDef(id).options->entries[1].name; }

std::string assignText(FieldId id, std::string_view text) {
    return std::string(settings::fieldDef(id).name) + kAssign + settings::quotedText(text);
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
    void addAll(std::string_view assignments) {
        for (std::string_view one : split(assignments, ' ')) add(std::string(one));
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

// Returns the OutputBin option an output-bin value names (case ignored).
std::string outputBinOption(std::string_view value) {
    const settings::OptionTable& table = *settings::fieldDef(FieldId::OutputBin).options;
    for (const settings::OptionEntry& entry : table.entries)
        if (entry.name.size() == value.size() && strncasecmp(entry.name.data(), value.data(), value.size()) == 0)
            return std::string(entry.name);
    refuse(kOutputBin, value, "names no output bin of this printer");
}

// Returns whether the file belongs to root or to the user.
bool ownedByUserOrRoot(const struct stat& status, const std::string& user) {
    constexpr uid_t kRoot = 0;
    if (status.st_uid == kRoot) return true;
    constexpr std::size_t kFallbackBufferSize = 16384;
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : kFallbackBufferSize);
    passwd entry{};
    passwd* found = nullptr;
    return getpwnam_r(user.c_str(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
           found->pw_uid == status.st_uid;
}

// Reads a saved settings file. The filter may read files the job's user may
// not: only a regular file of that user's or of root's is taken.
std::string readSettingsFile(const std::string& path, const std::string& user) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) refuse(kSettingsFileOption, path, "the settings file cannot be read");
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode) || !ownedByUserOrRoot(status, user)) {
        std::fclose(file);
        refuse(kSettingsFileOption, path, "not a settings file of the job's user or of root");
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
// job's choices.
ppd::MarkedChoice markedChoices(ppd_file_t* ppd) {
    return [ppd](std::string_view keyword) -> std::optional<std::string> {
        ppd_choice_t* choice = ppdFindMarkedChoice(ppd, std::string(keyword).c_str());
        if (choice == nullptr) return std::nullopt;
        return std::string(choice->choice);
    };
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

void setCopies(QueueJob& job, std::uint32_t copies) {
    const std::string name = std::string(settings::fieldDef(FieldId::NumCopies).name) + kAssign;
    for (host::SettingsEdit& edit : job.request.settings)
        if (edit.singleAssignment && edit.text.starts_with(name)) edit.text = copiesAssignment(copies);
}

QueueJob readQueueJob(const FilterArguments& arguments, ppd_file_t* ppd, int optionCount, cups_option_t* options) {
    QueueJob job;
    host::RenderRequest& request = job.request;
    request.jobId = arguments.jobId;
    request.userName = arguments.user;
    request.documentName = arguments.title;
    request.printerName = arguments.printer;
    Edits edits(job);

    // Every value is checked before anything is taken from it.
    std::string macAddress;
    std::vector<std::pair<std::string_view, std::string_view>> ipp;
    std::optional<std::string> password;
    std::optional<std::string> account;
    for (int i = 0; i < optionCount; ++i) {
        const std::string_view name = options[i].name;
        const std::string_view value = options[i].value;
        if (name == kSettingsFileOption) {
            request.settings.push_back({std::string(value), readSettingsFile(std::string(value), arguments.user), false});
        } else if (name == kMacAddressOption) {
            net::MacAddress parsed{};
            if (!net::parseMacAddress(value, parsed)) refuse(name, value, "is not a network (MAC) address");
            macAddress = value;
        } else if (name == kJobPassword) {
            const std::size_t capacity = settings::fieldDef(FieldId::WaitModePassword).count - 1;
            if (value.empty() || value.size() > capacity)
                throw OptionRefused("option " + std::string(name) + ": the password must have 1 to " +
                                    std::to_string(capacity) + " bytes");
            password = std::string(value);
        } else if (name == kAccountId) {
            const std::size_t capacity = settings::fieldDef(FieldId::AccountTrackDepartmentName).count - 1;
            if (value.empty() || value.size() > capacity)
                refuse(name, value, "the account must have 1 to " + std::to_string(capacity) + " bytes");
            account = std::string(value);
        } else if (name == kMedia) {
            checkMedia(ppd, value);
        } else if (name == kOutputBin) {
            ipp.emplace_back(name, value);
            outputBinOption(value);
        } else if (isIppAttribute(name)) {
            for (std::string_view one : split(value, kListSeparator))
                if (findIppValue(name, one) == nullptr) refuse(name, value, "is not a value this printer supports");
            ipp.emplace_back(name, value);
        } else {
            checkPpdValue(ppd, name, value);
        }
    }

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

    // The standard attributes, then the copies CUPS counted.
    for (const auto& [name, value] : ipp) {
        if (name == kOutputBin) {
            edits.add("OutputBin=" + outputBinOption(value));
            continue;
        }
        for (std::string_view one : split(value, kListSeparator)) edits.addAll(findIppValue(name, one)->assignments);
    }
    edits.add(copiesAssignment(arguments.copies));
    if (password) {
        // A secure print job: the user releases it at the printer with the
        // password, under the job's own identifier.
        const std::size_t idCapacity = settings::fieldDef(FieldId::WaitModeSecurePrintId).count;
        edits.add("OutputMethod=Secure");
        edits.add(assignText(FieldId::WaitModeSecurePrintId, pjl::boundedUtf8Copy(arguments.user, idCapacity)));
        edits.add(assignText(FieldId::WaitModePassword, *password));
    }
    if (account) {
        edits.add(std::string(settings::fieldDef(FieldId::AccountTrack).name) + kAssign + std::string(onOption(FieldId::AccountTrack)));
        edits.add(assignText(FieldId::AccountTrackDepartmentName, *account));
    }
    job.printerData = printerData(arguments.printer, ppd, *request.edits.installed, macAddress);
    return job;
}

}  // namespace tvzx::cups_filter
