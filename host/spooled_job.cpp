#include "spooled_job.h"

#include <algorithm>
#include <array>
#include <utility>

#include "common/base64.h"
#include "common/byte_order.h"
#include "common/hex_text.h"
#include "dsc_keywords.h"
#include "pjl/pjl_format.h"
#include "pjl/ticket.h"
#include "postscript/dsc_comments.h"
#include "postscript/injection.h"
#include "settings/schema_hash.h"
#include "settings/text_form.h"

namespace tvzx::host {
namespace {

constexpr std::string_view kPjlCommand = "@PJL";
// The switch to PostScript without its line end.
constexpr std::string_view kEnterPostScript =
    postscript::kEnterPostScript.substr(0, postscript::kEnterPostScript.size() - pjl::kLineEnd.size());
constexpr char kQuote = '"';
constexpr char kCr = '\r';
constexpr char kLf = '\n';
constexpr std::string_view kLineEnds = "\r\n";
// The plain layout description starts with the version of its form.
constexpr std::string_view kPlainDescriptionStart = "1 ";
constexpr char kAssign = '=';
constexpr std::string_view kShortCommentPrefix = "%%TARVO-";
constexpr std::string_view kCommentSeparator = ": ";
constexpr std::string_view kContinuationLine = "%%+ ";
constexpr std::string_view kHexDigits = "0123456789ABCDEF";
constexpr std::string_view kHexOpen = "<";
constexpr std::string_view kHexClose = ">";
constexpr std::string_view kBase64Alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kBase64Pad = '=';
constexpr std::size_t kBase64Group = 4;
// An enciphered value: upper-case hexadecimal, two digits per byte of whole 16-byte blocks.
constexpr std::size_t kCipherBlockDigits = 32;

std::string longCommentPrefix(std::string_view key) {
    return std::string(dsc::kCommentPrefix) + std::string(key) + std::string(kCommentSeparator);
}

std::string shortCommentPrefix(std::string_view key) {
    return std::string(kShortCommentPrefix) + std::string(key) + std::string(kCommentSeparator);
}

// Returns a short comment's value: as it stands, or the bytes of its <hex> form.
std::string shortCommentValue(std::string_view value) {
    if (!value.starts_with(kHexOpen) || !value.ends_with(kHexClose)) return std::string(value);
    const std::string_view digits = value.substr(kHexOpen.size(), value.size() - kHexOpen.size() - kHexClose.size());
    if (digits.size() % 2 != 0) return std::string(value);
    std::string bytes;
    for (std::size_t i = 0; i < digits.size(); i += 2) {
        const auto high = kHexDigits.find(digits[i]);
        const auto low = kHexDigits.find(digits[i + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) return std::string(value);
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// Returns whether the text is Base64 of whole groups, padded only at its end.
bool isBase64(std::string_view text) {
    if (text.empty() || text.size() % kBase64Group != 0) return false;
    const std::size_t body = text.find_last_not_of(kBase64Pad) + 1;
    if (text.size() - body > 2) return false;
    return text.substr(0, body).find_first_not_of(kBase64Alphabet) == std::string_view::npos;
}

// Returns whether the text is a layout description in its plain form:
// printable text that starts with the form's version.
bool isPlainDescription(std::string_view text) {
    return text.starts_with(kPlainDescriptionStart) &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= ' ' && c <= '~'; });
}

// Returns how many lines from `from` on have the key.
std::size_t linesWithKey(const std::vector<TicketEntry>& ticket, std::size_t from, const std::string& key) {
    return static_cast<std::size_t>(std::count_if(ticket.begin() + static_cast<std::ptrdiff_t>(std::min(from, ticket.size())),
                                                   ticket.end(), [&](const TicketEntry& entry) { return entry.key == key; }));
}

}  // namespace

bool hasEncipheredForm(std::string_view value) {
    if (value.size() < 2 || value.front() != kQuote || value.back() != kQuote) return false;
    const std::string_view digits = value.substr(1, value.size() - 2);
    return !digits.empty() && digits.size() % kCipherBlockDigits == 0 &&
           digits.find_first_not_of(kHexDigits) == std::string_view::npos;
}

void SpooledJobReader::feed(std::string_view bytes) {
    // Lines end in LF, CR LF or CR alone, mixed as the document and the
    // plug-in wrote them; a CR LF pair may be split between two pieces.
    while (!bytes.empty()) {
        if (std::exchange(afterCr_, false) && bytes.front() == kLf) {
            bytes.remove_prefix(1);
            continue;
        }
        const std::size_t end = bytes.find_first_of(kLineEnds);
        const std::string_view piece = bytes.substr(0, end);
        // Only the front of an overlong line is kept: nothing read back needs more.
        const std::size_t room = kLongestKeptLine - line_.size();
        line_.append(piece.substr(0, room));
        if (piece.size() > room) lineCut_ = true;
        if (end == std::string_view::npos) return;
        afterCr_ = bytes[end] == kCr;
        bytes.remove_prefix(end + 1);
        takeLine(line_);
        line_.clear();
        lineCut_ = false;
    }
}

SpooledJob SpooledJobReader::finish() {
    if (!line_.empty()) takeLine(line_);
    line_.clear();
    return std::move(job_);
}

void SpooledJobReader::takeLine(std::string_view line) {
    // The ticket stands between the opening universal exit and the switch to PostScript.
    if (section_ == Section::Start && line.starts_with(postscript::kUniversalExit)) {
        section_ = Section::Ticket;
        return;
    }
    if (section_ == Section::Ticket) {
        if (line.starts_with(pjl::kSetPrefix)) {
            if (job_.ticket.size() == kMostTicketLines) {
                job_.overflow = "the job ticket has more than " + std::to_string(kMostTicketLines) + " lines";
                return;
            }
            const std::string_view command = line.substr(pjl::kSetPrefix.size());
            const std::size_t at = command.find(kAssign);
            job_.ticket.push_back({std::string(command.substr(0, at)),
                                   at == std::string_view::npos ? std::string() : std::string(command.substr(at + 1))});
            return;
        }
        // Other commands of the job language stay in it; the switch to PostScript ends it.
        if (line.starts_with(kPjlCommand)) {
            if (line.starts_with(kEnterPostScript)) section_ = Section::Document;
            return;
        }
    }
    section_ = Section::Document;
    takeDocumentLine(line);
}

void SpooledJobReader::takeDocumentLine(std::string_view line) {
    static const std::string settingsPrefix = longCommentPrefix(postscript::kJobSettingsKey);
    static const std::string descriptionPrefix = longCommentPrefix(postscript::kJobSettingsDescriptionKey);
    static const std::string titlePrefix = shortCommentPrefix(postscript::kTitleKey);
    static const std::string userPrefix = shortCommentPrefix(postscript::kUserKey);

    // A long comment goes on over its continuation lines.
    if (comment_ != Comment::None && line.starts_with(kContinuationLine)) {
        std::string& value = comment_ == Comment::Settings ? *job_.settings : *job_.description;
        const std::string_view chunk = line.substr(kContinuationLine.size());
        if (value.size() + chunk.size() > kLongestComment) {
            job_.overflow = "a job-settings comment is longer than " + std::to_string(kLongestComment) + " bytes";
            comment_ = Comment::None;
            return;
        }
        value.append(chunk);
        return;
    }
    comment_ = Comment::None;
    // The first of each comment counts: a tab sheet's document may bring its own.
    if (line.starts_with(settingsPrefix) && !job_.settings) {
        job_.settings = std::string(line.substr(settingsPrefix.size()));
        comment_ = Comment::Settings;
    } else if (line.starts_with(descriptionPrefix) && !job_.description) {
        job_.description = std::string(line.substr(descriptionPrefix.size()));
        comment_ = Comment::Description;
    } else if (line.starts_with(titlePrefix) && !job_.title) {
        job_.title = shortCommentValue(line.substr(titlePrefix.size()));
    } else if (line.starts_with(userPrefix) && !job_.user) {
        job_.user = shortCommentValue(line.substr(userPrefix.size()));
    }
}

SpooledJob readSpooledJob(ByteSource& source) {
    SpooledJobReader reader;
    std::array<char, 65536> buffer;
    for (std::size_t n; (n = source.read(buffer)) > 0;) reader.feed(std::string_view(buffer.data(), n));
    return reader.finish();
}

std::vector<TicketEntry> ticketEntries(std::string_view ticket) {
    SpooledJobReader reader;
    reader.feed(postscript::kUniversalExit);
    reader.feed(postscript::kPjlLine);
    reader.feed(ticket);
    return reader.finish().ticket;
}

std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && value.front() == kQuote && value.back() == kQuote) return value.substr(1, value.size() - 2);
    return value;
}

std::variant<RecoveredSettings, std::string> recoverSettings(const SpooledJob& job) {
    if (!job.overflow.empty()) return job.overflow;
    const std::string settingsComment = longCommentPrefix(postscript::kJobSettingsKey);
    if (!job.settings) return "no job-settings comment (" + settingsComment.substr(0, settingsComment.size() - 2) + ")";
    if (!isBase64(*job.settings)) return "the job-settings comment is damaged: not Base64";
    const std::vector<std::uint8_t> bytes = base64Decode(*job.settings);
    constexpr std::size_t kHashSize = 4;
    if (bytes.size() < kHashSize) return "the job-settings record is cut short (" + std::to_string(bytes.size()) + " bytes)";

    const std::uint32_t hash = readBe32(bytes.data());
    RecoveredSettings recovered{settings::defaultRecord(), hash, false};
    if (hash == settings::schemaHash()) {
        if (bytes.size() < settings::kRecordSize)
            return "the job-settings record is cut short (" + std::to_string(bytes.size()) + " of " +
                   std::to_string(settings::kRecordSize) + " bytes)";
        if (bytes.size() > settings::kRecordSize)
            return "the job-settings record holds " + std::to_string(bytes.size()) + " bytes, not " +
                   std::to_string(settings::kRecordSize);
        std::copy(bytes.begin(), bytes.end(), recovered.record.bytes.begin());
    } else {
        // Written under another schema: its description says where each field lies.
        if (!job.description)
            return "no layout description (" + longCommentPrefix(postscript::kJobSettingsDescriptionKey).substr(2) +
                   ") for the job settings of schema " + hexBytesText(hash);
        // The plug-in writes it wrapped in Base64; other writers may leave
        // it plain.
        std::string plain;
        if (isBase64(*job.description)) {
            const std::vector<std::uint8_t> decoded = base64Decode(*job.description);
            plain.assign(decoded.begin(), std::find(decoded.begin(), decoded.end(), 0));
        } else if (isPlainDescription(*job.description)) {
            plain = *job.description;
        } else {
            return "the layout description comment is damaged: neither Base64 nor plain text";
        }
        if (!settings::parseDescription(plain, bytes).accepted)
            return "the job-settings record is cut short or does not fit its layout description (" +
                   std::to_string(bytes.size()) + " bytes)";
        std::vector<std::uint8_t> terminated(plain.begin(), plain.end());
        terminated.push_back(0);
        settings::readAndConvert(recovered.record, bytes, base64Encode(terminated));
        recovered.converted = true;
    }
    settings::validateRecord(recovered.record);
    return recovered;
}

std::optional<TicketDifference> compareTickets(const std::vector<TicketEntry>& expected,
                                               const std::vector<TicketEntry>& found) {
    const std::size_t lines = std::max(expected.size(), found.size());
    for (std::size_t i = 0; i < lines; ++i) {
        const TicketEntry want = i < expected.size() ? expected[i] : TicketEntry{};
        const TicketEntry got = i < found.size() ? found[i] : TicketEntry{};
        // A secret is enciphered for the printer alone: only its presence and form can be checked.
        const bool same = want.key == got.key && (pjl::carriesEncipheredValue(want.key)
                                                      ? hasEncipheredForm(want.value) && hasEncipheredForm(got.value)
                                                      : want.value == got.value);
        if (same) continue;
        TicketDifference difference{i + 1, want, got, TicketChange::Value};
        if (want.key != got.key) {
            if (!got.key.empty() && linesWithKey(found, i, got.key) > linesWithKey(expected, i, got.key))
                difference.change = TicketChange::Added;
            else if (!want.key.empty() && linesWithKey(expected, i, want.key) > linesWithKey(found, i, want.key))
                difference.change = TicketChange::Missing;
            else
                difference.change = TicketChange::Moved;
        }
        return difference;
    }
    return std::nullopt;
}

}  // namespace tvzx::host
