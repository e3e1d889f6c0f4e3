// The reader of printed jobs on any bytes. The first byte chooses the piece
// size, so that lines and line ends are split at every place; the job read
// in pieces must equal the job read whole. Recovered settings must rebuild a
// ticket that compares without fault.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <variant>

#include "host/spooled_job.h"
#include "pjl/ticket.h"

namespace {

void require(bool condition) {
    if (!condition) std::abort();
}

bool sameJob(const tvzx::host::SpooledJob& a, const tvzx::host::SpooledJob& b) {
    return a.ticket == b.ticket && a.settings == b.settings && a.description == b.description && a.title == b.title &&
           a.user == b.user && a.overflow == b.overflow;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t piece = 1 + data[0];
    const std::string_view stream(reinterpret_cast<const char*>(data + 1), size - 1);

    tvzx::host::SpooledJobReader pieces;
    for (std::size_t at = 0; at < stream.size(); at += piece) pieces.feed(stream.substr(at, piece));
    const tvzx::host::SpooledJob job = pieces.finish();
    tvzx::host::SpooledJobReader whole;
    whole.feed(stream);
    require(sameJob(job, whole.finish()));
    require(job.ticket.size() <= tvzx::host::kMostTicketLines);

    const auto recovered = tvzx::host::recoverSettings(job);
    if (const auto* settings = std::get_if<tvzx::host::RecoveredSettings>(&recovered)) {
        const auto rebuilt = tvzx::host::ticketEntries(tvzx::pjl::buildJobTicket(settings->record, {}));
        require(!tvzx::host::compareTickets(rebuilt, rebuilt));
        tvzx::host::compareTickets(rebuilt, job.ticket);
    }
    return 0;
}
