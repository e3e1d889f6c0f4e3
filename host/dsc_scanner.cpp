#include "dsc_scanner.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "dsc_keywords.h"
#include "host_error.h"

namespace tvzx::host {
namespace {

// Where the scanner stands in the document.
enum class State : std::uint8_t {
    Start,        // before the first line
    Header,       // among the header comments
    Prolog,       // after %%EndComments, until the prolog ends
    AfterProlog,  // after %%EndProlog, until the setup section begins
    Setup,        // inside %%BeginSetup .. %%EndSetup
    Body,         // after the setup: between and inside pages
    PageComments, // right after %%Page:, among the page's own comments
    PageSetup,    // inside %%BeginPageSetup .. %%EndPageSetup
    Trailer,      // after %%Trailer
    AfterEof,     // after %%EOF
    Unstructured, // a document without structuring comments: one page
};

// What a line is, as far as the structure goes.
enum class Line : std::uint8_t {
    Code,
    Blank,
    Comment,  // any other comment
    Data,     // a line inside %%BeginData counted in lines
    PsAdobe,
    EndComments,
    Pages,
    BeginProlog,
    EndProlog,
    BeginSetup,
    EndSetup,
    Page,
    PageComment,
    BeginPageSetup,
    EndPageSetup,
    PageTrailer,
    Trailer,
    Eof,
    BeginDocument,
    EndDocument,
    BeginData,
    BeginBinary,
};

// How much of a %%BeginData or %%BeginBinary line is read for its count.
constexpr std::size_t kCountTextLimit = 128;

// What may stand ahead of the first line and is left out: a Ctrl-D (an end
// of job for a serial printer), a UTF-8 byte-order mark, and a printer job
// language header (the universal exit and "@PJL" lines).
constexpr char kControlD = '\x04';
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kUniversalExit = "\x1b%-12345X";
constexpr std::string_view kPjlCommand = "@PJL";

// A DOS EPS file starts with these four bytes instead of "%!PS-Adobe".
constexpr std::string_view kDosEpsMagic = "\xC5\xD0\xD3\xC6";

// Returns how messages name the first line a document must have.
std::string firstLineName() { return "\"" + std::string(dsc::kPostScript) + "\" first line"; }

// Returns how many bytes at the front of the line are left out: Ctrl-Ds,
// byte-order marks and universal exits, in any order.
std::size_t leadingNoise(std::string_view line) {
    std::size_t at = 0;
    for (;;) {
        const std::string_view rest = line.substr(at);
        if (!rest.empty() && rest.front() == kControlD) ++at;
        else if (rest.starts_with(kByteOrderMark)) at += kByteOrderMark.size();
        else if (rest.starts_with(kUniversalExit)) at += kUniversalExit.size();
        else return at;
    }
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\f'; }

bool isBlank(std::string_view line) { return std::all_of(line.begin(), line.end(), isSpace); }

// Returns whether a command of the printer job language starts the line, in
// the language's own case or not.
bool isPjlCommand(std::string_view line) {
    if (line.size() < kPjlCommand.size()) return false;
    for (std::size_t i = 0; i < kPjlCommand.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(line[i])) != kPjlCommand[i]) return false;
    return true;
}

// Returns whether the line is the comment `keyword`: a keyword that takes
// arguments ends in a colon and may be followed by anything; any other must
// be followed by the end of the line or white space.
// The keywords are short and most differ from the line within a few bytes,
// so a plain loop beats a library call for each.
bool hasKeyword(std::string_view line, std::string_view keyword) {
    if (line.size() < keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i)
        if (line[i] != keyword[i]) return false;
    if (keyword.back() == ':' || line.size() == keyword.size()) return true;
    return isSpace(line[keyword.size()]);
}

// Returns whether a header line holds bytes that text never does.
bool holdsBinary(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && !isSpace(c)) || byte == 0x7F;
    });
}

Line classifyBegin(std::string_view line) {
    if (hasKeyword(line, dsc::kBeginProlog)) return Line::BeginProlog;
    if (hasKeyword(line, dsc::kBeginSetup)) return Line::BeginSetup;
    if (hasKeyword(line, dsc::kBeginPageSetup)) return Line::BeginPageSetup;
    if (hasKeyword(line, dsc::kBeginDocument)) return Line::BeginDocument;
    if (hasKeyword(line, dsc::kBeginData)) return Line::BeginData;
    if (hasKeyword(line, dsc::kBeginBinary)) return Line::BeginBinary;
    return Line::Comment;
}

Line classifyEnd(std::string_view line) {
    if (hasKeyword(line, dsc::kEndComments)) return Line::EndComments;
    if (hasKeyword(line, dsc::kEndProlog)) return Line::EndProlog;
    if (hasKeyword(line, dsc::kEndSetup)) return Line::EndSetup;
    if (hasKeyword(line, dsc::kEndPageSetup)) return Line::EndPageSetup;
    if (hasKeyword(line, dsc::kEndDocument)) return Line::EndDocument;
    if (hasKeyword(line, dsc::kEof)) return Line::Eof;
    if (hasKeyword(line, dsc::kEndPageComments)) return Line::PageComment;
    return Line::Comment;
}

Line classifyPage(std::string_view line) {
    if (hasKeyword(line, dsc::kPage)) return Line::Page;
    if (hasKeyword(line, dsc::kPages)) return Line::Pages;
    if (hasKeyword(line, dsc::kPageTrailer)) return Line::PageTrailer;
    if (line.starts_with(dsc::kPageCommentPrefix)) return Line::PageComment;
    return Line::Comment;
}

// Returns what the line is, from its beginning alone.
Line classify(std::string_view line) {
    if (line.empty() || line[0] != '%') return isBlank(line) ? Line::Blank : Line::Code;
    if (line.size() <= dsc::kCommentPrefix.size()) return Line::Comment;
    if (line[1] != dsc::kCommentPrefix[1]) return line.starts_with(dsc::kPsAdobe) ? Line::PsAdobe : Line::Comment;
    // The character after "%%" narrows the keywords to compare.
    switch (line[dsc::kCommentPrefix.size()]) {
        case 'B': return classifyBegin(line);
        case 'E': return classifyEnd(line);
        case 'P': return classifyPage(line);
        case 'T': return hasKeyword(line, dsc::kTrailer) ? Line::Trailer : Line::Comment;
        case '+': return Line::PageComment;
        case 'V': return hasKeyword(line, dsc::kViewingOrientation) ? Line::PageComment : Line::Comment;
        default: return Line::Comment;
    }
}

// Returns the unsigned number that the argument text starts with (after
// white space), and the rest of the text behind it.
std::optional<std::uint64_t> leadingNumber(std::string_view& text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc()) return std::nullopt;
    text.remove_prefix(static_cast<std::size_t>(end - text.data()));
    return value;
}

// Returns the white-space separated word at the front of the text and
// removes it.
std::string_view takeWord(std::string_view& text) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    std::size_t length = 0;
    while (length < text.size() && !isSpace(text[length])) ++length;
    const std::string_view word = text.substr(0, length);
    text.remove_prefix(length);
    return word;
}

// Returns how many LFs the bytes hold. Counted in blocks small enough for a
// byte-wide sum, which the compiler turns into wide vector compares.
std::uint64_t countLineFeeds(const char* from, const char* to) {
    constexpr std::size_t kBlock = 255;
    std::uint64_t total = 0;
    while (from < to) {
        const std::size_t length = std::min(kBlock, static_cast<std::size_t>(to - from));
        std::uint8_t count = 0;
        for (std::size_t i = 0; i < length; ++i) count = static_cast<std::uint8_t>(count + (from[i] == '\n'));
        total += count;
        from += length;
    }
    return total;
}

// Where a line ends inside the bytes at hand.
struct LineEnd {
    const char* contentEnd;  // first byte of the line terminator
    const char* next;        // first byte after the terminator
};

class Scanner {
public:
    Scanner(ByteSource& source, DscHandler& handler, std::size_t bufferSize)
        : source_(source), handler_(handler), buffer_(std::max(bufferSize, kMinimumScanBuffer)) {}

    DscSummary run() {
        std::size_t filled = 0;
        std::size_t position = 0;
        bool atEnd = false;
        for (;;) {
            // Hand on what has been read, keep the unfinished line and fill up.
            flushTo(position);
            // A trailer that grows past its bound is an included document's.
            if (holding_ && held_.size() > kMostHeldTrailer) releaseHeld();
            std::memmove(buffer_.data(), buffer_.data() + position, filled - position);
            filled -= position;
            position = 0;
            flushed_ = 0;
            nextLf_ = nullptr;
            nextCr_ = nullptr;
            while (filled < buffer_.size() && !atEnd) {
                const std::size_t count = source_.read(std::span<char>(buffer_.data() + filled, buffer_.size() - filled));
                atEnd = count == 0;
                filled += count;
                summary_.bytes += count;
            }
            position = scanAvailable(position, filled, atEnd);
            if (atEnd && position == filled) break;
        }
        flushTo(position);
        finish();
        summary_.pages = pages_;
        return summary_;
    }

private:
    // Reads the lines among the bytes at hand; returns how far it got.
    std::size_t scanAvailable(std::size_t position, std::size_t filled, bool atEnd) {
        char* const data = buffer_.data();
        while (position < filled) {
            // Counted binary data is not read for comments.
            if (skipBytes_ > 0) {
                const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(skipBytes_, filled - position));
                position += count;
                skipBytes_ -= count;
                continue;
            }
            // Lines that cannot change the structure pass unread.
            if (quiet()) {
                position = skipQuietLines(position, filled);
                if (position == filled) break;
            }
            const char* start = data + position;
            std::optional<LineEnd> lineEnd = findLineEnd(start, data + filled, atEnd);
            if (!lineEnd) {
                if (atEnd) {
                    // The last line has no terminator.
                    lineEnd = LineEnd{data + filled, data + filled};
                } else if (position > 0) {
                    // Wait for the rest of the line, moved to the front.
                    return position;
                } else {
                    // A line longer than the buffer: recognised by its
                    // beginning, the rest streams through. The last byte
                    // stays, in case it is a CR whose LF comes next.
                    if (!inLongLine_) {
                        lineStart(std::string_view(start, filled - 1 - position), position);
                        inLongLine_ = true;
                    }
                    return filled - 1;
                }
            }
            const std::size_t next = static_cast<std::size_t>(lineEnd->next - data);
            if (inLongLine_) {
                inLongLine_ = false;
            } else {
                lineStart(std::string_view(start, static_cast<std::size_t>(lineEnd->contentEnd - start)), position);
            }
            position = next;
            lineDone(position);
        }
        return position;
    }

    // Returns whether only comment lines can change the structure in the
    // state the scanner is in, with the next line starting at the position.
    bool quiet() const {
        if (skipLines_ > 0 || inLongLine_) return false;
        switch (state_) {
            // An encapsulated document's first line of code may end its prolog.
            case State::Prolog: return !encapsulated_ || prologOpened_;
            case State::Setup:
            case State::Body:
            case State::PageSetup:
            case State::Trailer:
            case State::AfterEof:
            case State::Unstructured: return true;
            default: return false;
        }
    }

    // Returns the start of the first line at or after `position` that
    // begins with '%' or cannot be passed here (it ends in a CR or not
    // among the bytes at hand), counting the lines passed. Two passes over
    // the bytes, one for '%' and one counting LFs, replace a search per line.
    std::size_t skipQuietLines(std::size_t position, std::size_t filled) {
        const char* const from = buffer_.data() + position;
        const char* const end = buffer_.data() + filled;
        const char* const limit = crAtOrAfter(from, end);
        const char* stop = from;
        const char* search = from;
        while (search < limit) {
            const auto* percent = static_cast<const char*>(std::memchr(search, '%', static_cast<std::size_t>(limit - search)));
            if (percent == nullptr) {
                // Up to the last LF before the limit.
                const auto last = std::find(std::make_reverse_iterator(limit), std::make_reverse_iterator(search), '\n');
                if (last.base() != search) stop = last.base();
                break;
            }
            if (percent == from || percent[-1] == '\n') {
                stop = percent;
                break;
            }
            search = percent + 1;
        }
        summary_.lines += countLineFeeds(from, stop);
        return static_cast<std::size_t>(stop - buffer_.data());
    }

    // Returns the first CR at or after `from`, or `end` when there is none.
    // It is remembered, so that a line is not searched twice.
    const char* crAtOrAfter(const char* from, const char* end) {
        if (nextCr_ == nullptr || nextCr_ < from) {
            const auto* found = static_cast<const char*>(std::memchr(from, '\r', static_cast<std::size_t>(end - from)));
            nextCr_ = found != nullptr ? found : end;
        }
        return nextCr_;
    }

    // Returns where the line starting at `from` ends (LF, CR LF or CR
    // alone); nothing when its end is not among the bytes at hand. A CR as
    // the last byte at hand counts only at the end of the input, since its
    // LF may follow.
    std::optional<LineEnd> findLineEnd(const char* from, const char* end, bool atEnd) {
        // The next LF is remembered, so that a document with CR line ends is
        // not searched to the end of the buffer for every line.
        if (nextLf_ == nullptr || nextLf_ < from) {
            const auto* lf = static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
            nextLf_ = lf != nullptr ? lf : end;
        }
        const char* lf = nextLf_ != end ? nextLf_ : nullptr;
        const char* searchEnd = lf != nullptr ? lf : end;
        const char* cr = crAtOrAfter(from, end);
        if (cr >= searchEnd) cr = nullptr;
        if (cr != nullptr) {
            if (cr + 1 < end) return LineEnd{cr, cr[1] == '\n' ? cr + 2 : cr + 1};
            if (atEnd) return LineEnd{cr, end};
            return std::nullopt;
        }
        if (lf != nullptr) return LineEnd{lf, lf + 1};
        return std::nullopt;
    }

    // Hands on the bytes up to the position: to the handler, or into the
    // held trailer, or nowhere while the bytes ahead of the first line are
    // left out.
    void flushTo(std::size_t position) {
        if (position > flushed_) {
            const std::string_view bytes(buffer_.data() + flushed_, position - flushed_);
            if (discarding_) summary_.skippedBytes += bytes.size();
            else if (holding_) held_.append(bytes);
            else handler_.documentBytes(bytes);
        }
        flushed_ = std::max(flushed_, position);
    }

    // Emits a mark before the line that starts at `position`.
    void markBefore(std::size_t position, DscMark mark, bool synthetic = false, std::uint64_t page = 0) {
        flushTo(position);
        handler_.mark({mark, synthetic, page});
    }

    [[noreturn]] void refuse(const std::string& message) const { throw DocumentRefused(message); }

    std::string atLine() const { return "line " + std::to_string(summary_.lines + 1); }

    // Acts on the beginning of a line: the marks that go before it, and
    // what to do once it has passed.
    void lineStart(std::string_view line, std::size_t position) {
        after_ = std::nullopt;
        if (state_ == State::Unstructured) {
            // Nothing in it is structure.
            line_ = Line::Code;
            bracketsCount_ = false;
            return;
        }
        line_ = skipLines_ > 0 ? Line::Data : classify(line);
        bracketsCount_ = state_ != State::Start && state_ != State::Header;
        if (line_ == Line::Data) return;
        if (bracketsCount_) {
            // The line may not stay in the buffer until it ends: keep its
            // arguments, which are short.
            if (line_ == Line::BeginData || line_ == Line::BeginBinary) pendingCount_ = line.substr(0, kCountTextLimit);
            if (nesting_ > 0) return;
        }
        switch (state_) {
            case State::Start: return firstLine(line, position);
            case State::Header: return headerLine(line, position);
            case State::Prolog: return prologLine(line, position);
            case State::AfterProlog: return afterPrologLine(line, position);
            case State::Setup: return setupLine(line, position);
            case State::Body: return bodyLine(line, position);
            case State::PageComments: return pageCommentLine(line, position);
            case State::PageSetup: return pageSetupLine(line, position);
            case State::Trailer:
            case State::AfterEof: return heldLine(line, position);
            case State::Unstructured: return;
        }
    }

    // Acts on the end of a line: counted data that follows it, and the
    // mark that goes after it.
    void lineDone(std::size_t position) {
        ++summary_.lines;
        if (discarding_) {
            flushTo(position);
            discarding_ = false;
            return;
        }
        if (line_ == Line::Data) {
            --skipLines_;
            return;
        }
        if (bracketsCount_) {
            switch (line_) {
                case Line::BeginDocument: ++nesting_; break;
                case Line::EndDocument: nesting_ -= nesting_ > 0 ? 1 : 0; break;
                case Line::BeginData: startData(false); break;
                case Line::BeginBinary: startData(true); break;
                default: break;
            }
        }
        if (markTrailerAfterLine_) {
            // The held trailer's mark goes right after its %%Trailer line.
            flushTo(position);
            heldMarkAt_ = held_.size();
            markTrailerAfterLine_ = false;
        }
        if (after_) {
            flushTo(position);
            handler_.mark(*after_);
            after_ = std::nullopt;
        }
        // A trailer that grows past its bound is an included document's.
        if (holding_ && held_.size() > kMostHeldTrailer) {
            flushTo(position);
            releaseHeld();
        }
    }

    // %%BeginBinary: count, or %%BeginData: count [type [Bytes|Lines]].
    void startData(bool binary) {
        std::string_view arguments(pendingCount_);
        arguments.remove_prefix(binary ? dsc::kBeginBinary.size() : dsc::kBeginData.size());
        const auto count = leadingNumber(arguments);
        if (!count) return;
        if (!binary) {
            takeWord(arguments);
            if (takeWord(arguments) == dsc::kDataLines) {
                skipLines_ = *count;
                return;
            }
        }
        skipBytes_ = *count;
    }

    void firstLine(std::string_view line, std::size_t position) {
        // What stands ahead of the PostScript is left out, up to the end of
        // its line or to the "%!" in it.
        const std::size_t noise = leadingNoise(line);
        const std::string_view rest = line.substr(noise);
        if (isBlank(rest) || isPjlCommand(rest)) {
            discarding_ = true;
            return;
        }
        if (!rest.starts_with(dsc::kPostScript)) {
            const std::string expected = firstLineName();
            if (line.starts_with(kDosEpsMagic)) refuse("binary EPS file (DOS EPS header) instead of a " + expected);
            if (holdsBinary(rest)) refuse("binary data instead of a " + expected);
            refuse("no " + expected + ": not a PostScript document");
        }
        discarding_ = true;
        flushTo(position + noise);
        discarding_ = false;
        if (rest.starts_with(dsc::kPsAdobe)) {
            encapsulated_ = rest.find(dsc::kEncapsulated) != std::string_view::npos;
            markBefore(position + noise, DscMark::DocumentStart);
            state_ = State::Header;
            return;
        }
        // PostScript without structuring comments: one page, as a whole.
        const std::size_t start = position + noise;
        markBefore(start, DscMark::DocumentStart, true);
        markBefore(start, DscMark::CommentsEnd, true);
        markBefore(start, DscMark::PrologEnd, true);
        markBefore(start, DscMark::SetupStart, true);
        markBefore(start, DscMark::SetupEnd, true);
        pages_ = 1;
        pageTrailerSeen_ = false;
        markBefore(start, DscMark::PageStart, true, pages_);
        markBefore(start, DscMark::PageSetup, true, pages_);
        state_ = State::Unstructured;
    }

    // Returns whether the line cannot be a header comment: the header ends
    // before it. Header comments are "%%" or "%!" lines (DSC allows "%X"
    // with any printable X); a section's comment is none.
    bool endsHeader(std::string_view line) const {
        switch (line_) {
            case Line::Code:
            case Line::Blank:
            case Line::Page:
            case Line::PageTrailer:
            case Line::Trailer:
            case Line::Eof: return true;
            default: break;
        }
        if (line.size() < 2 || isSpace(line[1]) || static_cast<unsigned char>(line[1]) < 0x20) return true;
        return (line.starts_with(dsc::kBeginPrefix) || line.starts_with(dsc::kEndPrefix));
    }

    void headerLine(std::string_view line, std::size_t position) {
        if (line_ == Line::EndComments) {
            markBefore(position, DscMark::CommentsEnd);
            state_ = State::Prolog;
            return;
        }
        if (line_ == Line::Pages) return declarePages(line);
        if (!endsHeader(line)) return;
        // The header ends here without %%EndComments; the line belongs to
        // what follows it.
        markBefore(position, DscMark::CommentsEnd, true);
        state_ = State::Prolog;
        lineStart(line, position);
    }

    void prologLine(std::string_view line, std::size_t position) {
        switch (line_) {
            case Line::BeginProlog: prologOpened_ = true; return;
            case Line::Code:
                // An encapsulated document's code is its page unless a
                // prolog is opened first: the setup goes before it.
                if (!encapsulated_ || prologOpened_) return;
                markBefore(position, DscMark::PrologEnd, true);
                return openMissingSetup(position);
            case Line::EndProlog:
                markBefore(position, DscMark::PrologEnd);
                state_ = State::AfterProlog;
                return;
            case Line::BeginSetup:
                markBefore(position, DscMark::PrologEnd, true);
                enterSetup();
                return;
            case Line::Page:
            case Line::Trailer:
            case Line::Eof:
                markBefore(position, DscMark::PrologEnd, true);
                openMissingSetup(position);
                return bodyLine(line, position);
            default: return;
        }
    }

    void afterPrologLine(std::string_view line, std::size_t position) {
        // Only blank lines and plain comments may stand between the prolog
        // and the setup section.
        if (line_ == Line::Blank || line_ == Line::Comment || line_ == Line::PageComment) return;
        if (line_ == Line::BeginSetup) return enterSetup();
        openMissingSetup(position);
        bodyLine(line, position);
    }

    void enterSetup() {
        state_ = State::Setup;
        after_ = DscEvent{DscMark::SetupStart, false, 0};
    }

    // The document has no setup section: it belongs here, before this line.
    void openMissingSetup(std::size_t position) {
        markBefore(position, DscMark::SetupStart, true);
        markBefore(position, DscMark::SetupEnd, true);
        state_ = State::Body;
    }

    void setupLine(std::string_view line, std::size_t position) {
        switch (line_) {
            case Line::EndSetup:
                markBefore(position, DscMark::SetupEnd);
                state_ = State::Body;
                return;
            case Line::Page:
            case Line::Trailer:
            case Line::Eof:
                // The setup section ends, without its %%EndSetup, before the
                // first page or the trailer.
                markBefore(position, DscMark::SetupEnd, true);
                state_ = State::Body;
                return bodyLine(line, position);
            default: return;
        }
    }

    // A page that ends without %%PageTrailer gets its mark before whatever
    // follows it.
    void closePage(std::size_t position) {
        if (pages_ > 0 && !pageTrailerSeen_) markBefore(position, DscMark::PageTrailer, true, pages_);
        pageTrailerSeen_ = true;
    }

    void bodyLine(std::string_view line, std::size_t position) {
        switch (line_) {
            case Line::Page:
                closePage(position);
                ++pages_;
                pageTrailerSeen_ = false;
                markBefore(position, DscMark::PageStart, false, pages_);
                state_ = State::PageComments;
                return;
            case Line::PageTrailer:
                if (pages_ == 0 || pageTrailerSeen_) return;
                pageTrailerSeen_ = true;
                after_ = DscEvent{DscMark::PageTrailer, false, pages_};
                return;
            case Line::Trailer: return holdTrailer(position, true);
            case Line::Eof: return holdTrailer(position, false);
            case Line::Pages: return declarePages(line);
            default: return;
        }
    }

    void pageCommentLine(std::string_view line, std::size_t position) {
        if (line_ == Line::PageComment) return;
        if (line_ == Line::BeginPageSetup) {
            state_ = State::PageSetup;
            after_ = DscEvent{DscMark::PageSetup, false, pages_};
            return;
        }
        // The page's own comments end here without a page setup section.
        markBefore(position, DscMark::PageSetup, true, pages_);
        state_ = State::Body;
        bodyLine(line, position);
    }

    void pageSetupLine(std::string_view line, std::size_t position) {
        switch (line_) {
            case Line::EndPageSetup: state_ = State::Body; return;
            case Line::Page:
            case Line::PageTrailer:
            case Line::Trailer:
            case Line::Eof:
                // The page setup section ends, without %%EndPageSetup, where
                // the page does.
                state_ = State::Body;
                return bodyLine(line, position);
            default: return;
        }
    }

    // A %%Trailer (or a %%EOF without one) after a page: the job's trailer
    // if no page follows it before the end, else an included document's.
    // Its bytes are held until the document shows which.
    void holdTrailer(std::size_t position, bool trailerLine) {
        flushTo(position);
        holding_ = true;
        held_.clear();
        heldDeclaredPages_ = std::nullopt;
        heldTrailerLine_ = trailerLine;
        heldMarkAt_ = 0;
        markTrailerAfterLine_ = trailerLine;
        state_ = trailerLine ? State::Trailer : State::AfterEof;
    }

    // The held bytes were an included document's: they pass as the page's.
    void releaseHeld() {
        holding_ = false;
        if (!held_.empty()) handler_.documentBytes(held_);
        held_.clear();
        markTrailerAfterLine_ = false;
        state_ = State::Body;
    }

    // The held bytes are the job's trailer: the page ends before them, the
    // trailer mark goes after the %%Trailer line (or before %%EOF).
    void commitHeld() {
        holding_ = false;
        if (pages_ > 0 && !pageTrailerSeen_) handler_.mark({DscMark::PageTrailer, true, pages_});
        pageTrailerSeen_ = true;
        const std::string_view held(held_);
        if (heldMarkAt_ > 0) handler_.documentBytes(held.substr(0, heldMarkAt_));
        handler_.mark({DscMark::TrailerStart, !heldTrailerLine_, 0});
        if (heldMarkAt_ < held.size()) handler_.documentBytes(held.substr(heldMarkAt_));
        if (heldDeclaredPages_) summary_.declaredPages = heldDeclaredPages_;
    }

    // A line after a held %%Trailer or %%EOF.
    void heldLine(std::string_view line, std::size_t position) {
        switch (line_) {
            case Line::Page:
                // Another page: what was held was an included document's.
                flushTo(position);
                releaseHeld();
                return bodyLine(line, position);
            case Line::Trailer:
                // A later trailer is the job's.
                flushTo(position);
                releaseHeld();
                return holdTrailer(position, true);
            case Line::Eof:
                // The job's end is its last %%EOF; a trailer stays the job's
                // through it, a bare %%EOF gives way to the later one.
                if (state_ == State::Trailer) {
                    state_ = State::AfterEof;
                } else if (!heldTrailerLine_) {
                    flushTo(position);
                    releaseHeld();
                    holdTrailer(position, false);
                }
                return;
            case Line::Pages: {
                std::string_view arguments = line.substr(dsc::kPages.size());
                if (const auto count = leadingNumber(arguments)) heldDeclaredPages_ = *count;
                return;
            }
            default: return;
        }
    }

    void declarePages(std::string_view line) {
        std::string_view arguments = line.substr(dsc::kPages.size());
        if (const auto count = leadingNumber(arguments)) summary_.declaredPages = *count;
    }

    // Checks the state at the end of the input and gives the marks still
    // owed: every section the document left open ends here.
    void finish() {
        if (skipBytes_ > 0 || skipLines_ > 0) refuse("truncated inside counted data (%%BeginData or %%BeginBinary)");
        if (nesting_ > 0) refuse("truncated inside an included document: no " + std::string(dsc::kEndDocument));
        const std::size_t end = flushed_;
        switch (state_) {
            case State::Start:
                if (summary_.bytes == 0) refuse("empty input: no " + firstLineName());
                refuse("no " + firstLineName() + ": not a PostScript document");
            case State::PageSetup:
                refuse("truncated: page " + std::to_string(pages_) + " has no " + std::string(dsc::kEndPageSetup));
            case State::Header:
                markBefore(end, DscMark::CommentsEnd, true);
                [[fallthrough]];
            case State::Prolog:
                markBefore(end, DscMark::PrologEnd, true);
                [[fallthrough]];
            case State::AfterProlog: openMissingSetup(end); break;
            case State::Setup: markBefore(end, DscMark::SetupEnd, true); break;
            case State::PageComments: markBefore(end, DscMark::PageSetup, true, pages_); break;
            case State::Body:
            case State::Unstructured: break;
            case State::Trailer:
            case State::AfterEof:
                commitHeld();
                handler_.mark({DscMark::DocumentEnd, state_ == State::Trailer, 0});
                return;
        }
        closePage(end);
        markBefore(end, DscMark::TrailerStart, true);
        handler_.mark({DscMark::DocumentEnd, true, 0});
    }

    ByteSource& source_;
    DscHandler& handler_;
    std::vector<char> buffer_;
    std::size_t flushed_ = 0;
    // The first LF at or after the last search start; the end of the bytes
    // at hand when there is none; null after a refill.
    const char* nextLf_ = nullptr;
    const char* nextCr_ = nullptr;
    DscSummary summary_;
    State state_ = State::Start;
    Line line_ = Line::Code;
    std::optional<DscEvent> after_;
    bool bracketsCount_ = false;
    bool inLongLine_ = false;
    // The line's bytes are left out (ahead of the first line).
    bool discarding_ = false;
    std::string pendingCount_;
    std::uint64_t skipBytes_ = 0;
    std::uint64_t skipLines_ = 0;
    std::uint64_t nesting_ = 0;
    std::uint64_t pages_ = 0;
    bool pageTrailerSeen_ = true;
    // The first line says "EPSF"; the prolog opened with %%BeginProlog.
    bool encapsulated_ = false;
    bool prologOpened_ = false;
    // The trailer held back: its bytes, where its mark goes in them,
    // whether it starts with %%Trailer (or with %%EOF), and its page count.
    bool holding_ = false;
    std::string held_;
    std::size_t heldMarkAt_ = 0;
    bool heldTrailerLine_ = false;
    bool markTrailerAfterLine_ = false;
    std::optional<std::uint64_t> heldDeclaredPages_;
};

}  // namespace

std::string_view markName(DscMark mark) {
    switch (mark) {
        case DscMark::DocumentStart: return "DocumentStart";
        case DscMark::CommentsEnd: return "CommentsEnd";
        case DscMark::PrologEnd: return "PrologEnd";
        case DscMark::SetupStart: return "SetupStart";
        case DscMark::SetupEnd: return "SetupEnd";
        case DscMark::PageStart: return "PageStart";
        case DscMark::PageSetup: return "PageSetup";
        case DscMark::PageTrailer: return "PageTrailer";
        case DscMark::TrailerStart: return "TrailerStart";
        case DscMark::DocumentEnd: return "DocumentEnd";
    }
    return "?";
}

DscSummary scanDocument(ByteSource& source, DscHandler& handler, std::size_t bufferSize) {
    return Scanner(source, handler, bufferSize).run();
}

}  // namespace tvzx::host
