#include "ppd_file.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <span>

#include "byte_source.h"
#include "common/hex_text.h"
#include "host_error.h"
#include "line_ends.h"

namespace tvzx::host {
namespace {

// The first line every PPD file starts with.
constexpr std::string_view kPpdHeader = "*PPD-Adobe:";
constexpr std::string_view kCommentStart = "*%";
constexpr std::string_view kEndKeyword = "End";
constexpr std::string_view kOpenUiKeyword = "OpenUI";
constexpr std::string_view kJclOpenUiKeyword = "JCLOpenUI";
constexpr std::string_view kCloseUiKeyword = "CloseUI";
constexpr std::string_view kJclCloseUiKeyword = "JCLCloseUI";
constexpr std::string_view kDefaultPrefix = "Default";
constexpr std::string_view kCustomPrefix = "Custom";
// The option that selects a feature's custom value, and the option name
// that asks for the custom value's code.
constexpr std::string_view kCustomTrue = "True";
constexpr std::string_view kCustomOption = "Custom";
constexpr char kQuote = '"';
// Job control code is written with hexadecimal substrings for its control
// characters ("<0A>"); it reaches the printer as the bytes they stand for.
constexpr std::string_view kJobControlPrefix = "JCL";
constexpr char kHexStart = '<';
constexpr char kHexEnd = '>';
constexpr char kTranslationSeparator = '/';
// Code is kept with LF line ends whichever system wrote the file.
constexpr std::string_view kStoredLineEnd = "\n";
constexpr std::size_t kFirstReadPiece = 4096;

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view left, std::string_view right) {
    return left.size() == right.size() &&
           std::equal(left.begin(), left.end(), right.begin(), [](char a, char b) { return lowerAscii(a) == lowerAscii(b); });
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (isBlank(text.front()) || text.front() == '\r' || text.front() == '\n')) text.remove_prefix(1);
    while (!text.empty() && (isBlank(text.back()) || text.back() == '\r' || text.back() == '\n')) text.remove_suffix(1);
    return text;
}

// Returns a keyword without its translation ("A4/A4 paper" gives "A4") and
// without the star an *OpenUI line puts before it.
std::string_view keywordOf(std::string_view text) {
    text = trimmed(text.substr(0, text.find(kTranslationSeparator)));
    if (!text.empty() && text.front() == '*') text.remove_prefix(1);
    return text;
}

// Returns the text with each hexadecimal substring "<0D0A>" replaced by the
// bytes it gives, as PPD readers decode job control code: the digits run
// to the first other character, an odd last digit is dropped, and the rest
// up to the closing '>' is skipped. A '<' before no digit stays as it is.
std::string decodedHex(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != kHexStart || i + 1 >= text.size() || hexDigitValue(text[i + 1]) < 0) {
            out += text[i++];
            continue;
        }
        ++i;
        while (i + 1 < text.size() && hexDigitValue(text[i]) >= 0 && hexDigitValue(text[i + 1]) >= 0) {
            out += static_cast<char>(hexDigitValue(text[i]) * 16 + hexDigitValue(text[i + 1]));
            i += 2;
        }
        while (i < text.size() && text[i] != kHexEnd) ++i;
        while (i < text.size() && text[i] == kHexEnd) ++i;
    }
    return out;
}

}  // namespace

bool CaseInsensitiveLess::operator()(std::string_view left, std::string_view right) const {
    if (left.size() != right.size()) return left.size() < right.size();
    for (std::size_t i = 0; i < left.size(); ++i) {
        const char a = lowerAscii(left[i]);
        const char b = lowerAscii(right[i]);
        if (a != b) return a < b;
    }
    return false;
}

// Reads the entries of a PPD text in order: "*Main Option/Translation: value"
// with a value that is a quoted string (over any number of lines, an "*End"
// line after it being no entry of its own) or the rest of the line.
class PpdReader {
public:
    PpdReader(std::string text, const std::string& name) : name_(name) {
        file_.text_ = std::make_unique<const std::string>(std::move(text));
        text_ = *file_.text_;
    }

    // Returns the file's features; throws HostError at the first fault.
    PpdFile read() {
        if (text_.substr(0, kPpdHeader.size()) != kPpdHeader) fail("does not start with " + std::string(kPpdHeader));
        // Most files end their lines with LF alone; those are read with one
        // search a line.
        hasCarriageReturns_ = text_.find('\r') != std::string_view::npos;
        while (position_ < text_.size()) readLine();
        // A default given outside its feature's block still names its option.
        for (auto& [keyword, feature] : file_.features_) {
            if (!feature.defaultOption.empty()) continue;
            const auto loose = file_.looseDefaults_.find(keyword);
            if (loose != file_.looseDefaults_.end()) feature.defaultOption = loose->second;
        }
        return std::move(file_);
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw HostError(name_ + ": not a usable PPD file: " + what + " (line " + std::to_string(entryLine_) + ")");
    }

    // Returns where the line from `from` ends (its CR or LF), npos when it
    // runs to the end. The LF is found first and the line before it then
    // searched for a CR, both with the library's wide searches.
    std::size_t lineEndFrom(std::size_t from) const {
        if (from >= text_.size()) return std::string_view::npos;
        const char* const start = text_.data() + from;
        const char* const end = text_.data() + text_.size();
        const auto* lf = static_cast<const char*>(std::memchr(start, '\n', static_cast<std::size_t>(end - start)));
        if (!hasCarriageReturns_) return lf == nullptr ? std::string_view::npos : static_cast<std::size_t>(lf - text_.data());
        const char* const searchEnd = lf != nullptr ? lf : end;
        const auto* cr = static_cast<const char*>(std::memchr(start, '\r', static_cast<std::size_t>(searchEnd - start)));
        const char* const found = cr != nullptr ? cr : lf;
        return found == nullptr ? std::string_view::npos : static_cast<std::size_t>(found - text_.data());
    }

    // Returns the rest of the current line and steps past its end.
    std::string_view takeLine() {
        const std::size_t end = lineEndFrom(position_);
        const std::string_view line = text_.substr(position_, end == std::string_view::npos ? std::string_view::npos : end - position_);
        position_ = end == std::string_view::npos ? text_.size() : end;
        skipLineEnd();
        return line;
    }

    void skipLineEnd() {
        if (position_ < text_.size() && text_[position_] == '\r') ++position_;
        if (position_ < text_.size() && text_[position_] == '\n') ++position_;
        ++line_;
    }

    void readLine() {
        entryLine_ = line_;
        const std::size_t start = position_;
        const std::size_t lineEnd = std::min(lineEndFrom(start), text_.size());
        const std::string_view head = text_.substr(start, lineEnd - start);
        // Blank lines, comments, "*End" and any line that is no entry carry nothing.
        const std::size_t colon = head.find(':');
        if (head.empty() || head.front() != '*' || head.substr(0, kCommentStart.size()) == kCommentStart ||
            colon == std::string_view::npos) {
            position_ = lineEnd;
            skipLineEnd();
            return;
        }
        const std::string_view key = head.substr(1, colon - 1);
        // (A loop rather than find_first_of, which searches its set once
        // for every character.)
        const std::size_t blank =
            static_cast<std::size_t>(std::find_if(key.begin(), key.end(), isBlank) - key.begin());
        const std::string_view main = key.substr(0, blank);
        const std::string_view option = blank == key.size() ? std::string_view() : keywordOf(key.substr(blank));

        // The value: a quoted string may run over several lines.
        std::size_t valueStart = start + colon + 1;
        while (valueStart < lineEnd && isBlank(text_[valueStart])) ++valueStart;
        Value value;
        if (valueStart < lineEnd && text_[valueStart] == kQuote) {
            const std::size_t close = text_.find(kQuote, valueStart + 1);
            if (close == std::string_view::npos) fail("the quoted value of *" + std::string(main) + " has no closing quote");
            value = {text_.substr(valueStart + 1, close - valueStart - 1), true};
            if (close < lineEnd) {
                // The usual one-line value: the rest of its line is known.
                position_ = lineEnd;
                skipLineEnd();
            } else {
                line_ += static_cast<int>(std::count(value.raw.begin(), value.raw.end(), '\n'));
                position_ = close + 1;
                takeLine();
            }
        } else {
            value = {trimmed(text_.substr(valueStart, lineEnd - valueStart)), false};
            position_ = lineEnd;
            skipLineEnd();
        }
        if (main != kEndKeyword) apply(main, option, value);
    }

    // An entry's value as it stands in the file: a quoted string without
    // its quotes, or the rest of the line.
    struct Value {
        std::string_view raw;
        bool quoted = false;
    };

    // Returns a view of text kept by the file.
    std::string_view keep(std::string text) {
        file_.rewritten_.push_back(std::make_unique<const std::string>(std::move(text)));
        return *file_.rewritten_.back();
    }

    // Returns the value as stored: quoted text with its line ends made LF
    // (a file without any CR has nothing to rewrite).
    std::string_view stored(const Value& value) {
        return value.quoted && hasCarriageReturns_ ? keep(withLineEnds(value.raw, kStoredLineEnd)) : value.raw;
    }

    // Returns the feature an entry's main keyword names, if the file has
    // opened it; the feature being read is asked first, as most entries
    // stand inside their own feature's block.
    PpdFile::Feature* featureNamed(std::string_view keyword) {
        if (currentFeature_ != nullptr && equalIgnoringCase(keyword, current_)) return currentFeature_;
        const auto feature = file_.features_.find(keyword);
        return feature == file_.features_.end() ? nullptr : &feature->second;
    }

    void apply(std::string_view main, std::string_view option, const Value& value) {
        if (main == kOpenUiKeyword || main == kJclOpenUiKeyword) {
            if (option.empty()) fail("*" + std::string(main) + " names no feature");
            current_ = option;
            currentFeature_ = &file_.features_[current_];
            return;
        }
        if (main == kCloseUiKeyword || main == kJclCloseUiKeyword) {
            current_ = {};
            currentFeature_ = nullptr;
            return;
        }
        if (option.empty() && main.size() > kDefaultPrefix.size() && main.substr(0, kDefaultPrefix.size()) == kDefaultPrefix) {
            const std::string_view keyword = main.substr(kDefaultPrefix.size());
            if (PpdFile::Feature* feature = featureNamed(keyword)) feature->defaultOption = stored(value);
            else file_.looseDefaults_.emplace(keyword, stored(value));
            return;
        }
        if (!value.quoted || option.empty()) return;
        // "*CustomPageSize True" holds the code of the page size's custom value.
        if (main.size() > kCustomPrefix.size() && main.substr(0, kCustomPrefix.size()) == kCustomPrefix &&
            equalIgnoringCase(option, kCustomTrue)) {
            auto& custom = file_.features_[main.substr(kCustomPrefix.size())].customCode;
            if (!custom) custom = stored(value);
            return;
        }
        // Options belong to a feature the file has opened; other keyed
        // entries (fonts, paper dimensions) are no options. An option given
        // twice has the code of its first entry.
        PpdFile::Feature* const feature = featureNamed(main);
        if (feature == nullptr) return;
        const auto [code, added] = feature->code.try_emplace(option);
        if (!added) return;
        code->second = stored(value);
        if (main.substr(0, kJobControlPrefix.size()) == kJobControlPrefix) code->second = keep(decodedHex(code->second));
    }

    std::string_view text_;
    const std::string& name_;
    std::size_t position_ = 0;
    bool hasCarriageReturns_ = false;
    int line_ = 1;
    // The line where the entry being read starts, which faults name.
    int entryLine_ = 1;
    // The feature whose *OpenUI block is being read, if any.
    std::string_view current_;
    PpdFile::Feature* currentFeature_ = nullptr;
    PpdFile file_;
};

PpdFile::PpdFile(const std::string& path) {
    FileSource source(path);
    // The whole file in one piece, taken in one read when its size is known
    // (one byte more, so that the end shows at once).
    std::string text(std::max(source.sizeHint() + 1, kFirstReadPiece), '\0');
    std::size_t filled = 0;
    while (const std::size_t count = source.read(std::span<char>(text).subspan(filled))) {
        filled += count;
        if (filled == text.size()) text.resize(text.size() * 2);
    }
    text.resize(filled);
    *this = PpdReader(std::move(text), path).read();
}

PpdFile PpdFile::fromText(std::string_view text, const std::string& name) {
    return PpdReader(std::string(text), name).read();
}

std::optional<std::string_view> PpdFile::invocation(std::string_view keyword, std::string_view option) const {
    // The custom value, asked for by either of its two names.
    if (keyword.size() > kCustomPrefix.size() && equalIgnoringCase(keyword.substr(0, kCustomPrefix.size()), kCustomPrefix) &&
        equalIgnoringCase(option, kCustomTrue)) {
        const auto custom = features_.find(keyword.substr(kCustomPrefix.size()));
        if (custom != features_.end() && custom->second.customCode) return *custom->second.customCode;
    }
    const auto feature = features_.find(keyword);
    if (feature == features_.end()) return std::nullopt;
    if (equalIgnoringCase(option, kCustomOption) && feature->second.customCode) return *feature->second.customCode;
    const auto code = feature->second.code.find(option);
    if (code == feature->second.code.end()) return std::nullopt;
    return code->second;
}

std::optional<std::string_view> PpdFile::defaultOption(std::string_view keyword) const {
    const auto feature = features_.find(keyword);
    if (feature == features_.end()) return std::nullopt;
    return feature->second.defaultOption;
}

}  // namespace tvzx::host
