// A printed job read back: the job ticket ahead of the PostScript, and the
// job-settings, title and user comments of the document, from a
// printer-ready stream (as the host writes it, or a spool file of the
// Windows driver) or a DSC document. The reader keeps only what it is
// after, each within a limit, so a stream of any size is read in bounded
// memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "byte_source.h"
#include "settings/core_data.h"

namespace tvzx::host {

// One "@PJL SET" line: its key, and its value as written (quotes kept).
struct TicketEntry {
    std::string key;
    std::string value;

    bool operator==(const TicketEntry&) const = default;
};

// The limits that bound the reader's memory.
inline constexpr std::size_t kLongestKeptLine = 64 * 1024;
inline constexpr std::size_t kLongestComment = 1024 * 1024;
inline constexpr std::size_t kMostTicketLines = 4096;

struct SpooledJob {
    std::vector<TicketEntry> ticket;
    std::optional<std::string> settings;     // the job-settings comment's value (Base64)
    std::optional<std::string> description;  // the layout description comment's value (Base64 or plain)
    std::optional<std::string> title;        // the document name of the title comment
    std::optional<std::string> user;         // the user name of the user comment
    std::string overflow;                    // names a part that passed its limit; empty when none did
};

// Reads a job from pieces of any size, in order.
class SpooledJobReader {
public:
    // Takes the next piece of the stream.
    void feed(std::string_view bytes);
    // Ends the stream; returns what it held.
    SpooledJob finish();

private:
    enum class Section { Start, Ticket, Document };
    enum class Comment { None, Settings, Description };

    void takeLine(std::string_view line);
    void takeDocumentLine(std::string_view line);

    std::string line_;
    bool lineCut_ = false;
    bool afterCr_ = false;  // the last piece ended in a CR, whose LF may follow
    Section section_ = Section::Start;
    Comment comment_ = Comment::None;
    SpooledJob job_;
};

// Returns the job of a whole source, read piece by piece. Throws HostError
// when the source cannot be read.
SpooledJob readSpooledJob(ByteSource& source);

// Returns the ticket lines of a ticket text, in order; other lines are left out.
std::vector<TicketEntry> ticketEntries(std::string_view ticket);

// Returns whether the ticket value has the form of an enciphered secret:
// quoted upper-case hexadecimal of whole cipher blocks.
bool hasEncipheredForm(std::string_view value);

// Returns the value without the double quotes it was written in.
std::string_view unquoted(std::string_view value);

struct RecoveredSettings {
    settings::CoreData record;
    std::uint32_t schema = 0;  // the schema hash the record was written under
    bool converted = false;    // written under another schema and converted through its description
};

// Returns the job settings the comments carry, validated; converted through
// the description that travels with them when written under another schema.
// Returns one line naming what is missing or damaged instead.
std::variant<RecoveredSettings, std::string> recoverSettings(const SpooledJob& job);

// How two tickets part at their first difference.
enum class TicketChange : std::uint8_t {
    Value,    // the same key with another value
    Added,    // the found ticket has a line the expected one lacks here
    Missing,  // the found ticket lacks a line the expected one has here
    Moved,    // both lines stand in both tickets, in another order
};

// The first line where two tickets part, counted from 1, with each side's
// entry there (an empty key when that side has no such line).
struct TicketDifference {
    std::size_t line = 0;
    TicketEntry expected;
    TicketEntry found;
    TicketChange change = TicketChange::Value;
};

// Compares the ticket found in a stream with the one expected, line by line;
// the values of keys that carry enciphered secrets are compared for their
// form only. Returns the first difference, told apart by the lines that
// follow it: a key the found ticket holds more often from there on was
// added, one it holds less often is missing, else the lines were moved.
// Nothing when they agree.
std::optional<TicketDifference> compareTickets(const std::vector<TicketEntry>& expected,
                                               const std::vector<TicketEntry>& found);

}  // namespace tvzx::host
