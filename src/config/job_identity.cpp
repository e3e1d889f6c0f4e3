#include "config/job_identity.h"

#include "platform/companion_files.h"
#include "config/notify_print.h"
#include "config/runtime_random.h"
#include "common/wide_text.h"

namespace tvzx::config {
namespace {

constexpr std::string_view kHexDigits = "0123456789ABCDEF";
// The random bytes are values modulo this, so 0x00 to 0xFE.
constexpr std::uint32_t kRandomByteModulus = 255;

void appendHexByte(std::string& text, std::uint8_t byte) {
    text.push_back(kHexDigits[byte >> 4]);
    text.push_back(kHexDigits[byte & 0xF]);
}

// Appends the value in decimal with exactly `digits` digits; a larger value
// keeps only its low digits, so the identity keeps its length.
void appendDecimal(std::string& text, std::uint32_t value, unsigned digits) {
    std::string field(digits, '0');
    for (unsigned i = digits; i-- > 0; value /= 10) field[i] = static_cast<char>('0' + value % 10);
    text += field;
}

}  // namespace

JobTime jobTimeOf(std::chrono::system_clock::time_point instant) {
    using namespace std::chrono;
    const auto milliseconds = floor<std::chrono::milliseconds>(instant);
    const auto dayStart = floor<days>(milliseconds);
    const year_month_day date{dayStart};
    const hh_mm_ss clock{milliseconds - dayStart};
    JobTime time;
    time.month = static_cast<unsigned>(date.month());
    time.day = static_cast<unsigned>(date.day());
    time.hour = static_cast<std::uint32_t>(clock.hours().count());
    time.minute = static_cast<std::uint32_t>(clock.minutes().count());
    time.second = static_cast<std::uint32_t>(clock.seconds().count());
    time.millisecond = static_cast<std::uint32_t>(clock.subseconds().count());
    return time;
}

std::string formatJobIdentity(const std::array<std::uint8_t, kJobIdentityRandomBytes>& randomBytes,
                              const JobTime& time) {
    std::string text;
    text.reserve(kJobIdentityLength);
    for (std::uint8_t byte : kJobIdentityMark) appendHexByte(text, byte);
    for (std::uint8_t byte : randomBytes) appendHexByte(text, byte);
    appendDecimal(text, time.month, 2);
    appendDecimal(text, time.day, 2);
    appendDecimal(text, time.hour, 2);
    appendDecimal(text, time.minute, 2);
    appendDecimal(text, time.second, 2);
    appendDecimal(text, time.millisecond, 4);
    return text;
}

std::string newJobIdentity() {
    std::array<std::uint8_t, kJobIdentityRandomBytes> randomBytes{};
    for (std::uint8_t& byte : randomBytes) byte = static_cast<std::uint8_t>(runtimeRandom() % kRandomByteModulus);
    return formatJobIdentity(randomBytes, jobTimeOf(std::chrono::system_clock::now()));
}

bool announceJob(platform::LibraryLoader& loader, std::u16string_view libraryPath, std::string_view jobIdentity,
                 std::optional<std::u16string_view> documentText) {
    if (jobIdentity.empty() || !documentText || libraryPath.empty()) return false;
    const std::unique_ptr<platform::LoadedLibrary> library = loader.load(libraryPath);
    if (!library) return false;
    const auto notify = reinterpret_cast<NotifyPrintFunction>(library->symbol(kNotifyPrintExport));
    if (notify == nullptr) return false;
    // Both texts need their terminators; an unconvertible name is empty.
    const std::string identity(jobIdentity);
    const std::string document = utf8FromUtf16(*documentText);
    notify(identity.c_str(), document.c_str());
    return true;
}

std::string jobIdentity(void* module, std::optional<std::u16string_view> documentText,
                        platform::LibraryLoader& loader) {
    std::string identity = newJobIdentity();
    if (documentText) {
        const std::optional<std::u16string> library = platform::companionFilePath(module, platform::CompanionKind::Notification);
        if (library) announceJob(loader, *library, identity, documentText);
    }
    return identity;
}

}  // namespace tvzx::config
