// A document that a print spooler has prepared already carries the code of
// the features its queue marked (and the copies it counted), ahead of the
// first page. The host writes the job's features itself, from the settings
// the plug-in ran with, as the driver does; so the spooler's feature code
// is left out of the document as it is read, and every feature reaches the
// printer once.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "byte_source.h"

namespace tvzx::host {

// Reads a document with the spooler's feature brackets before the first page
// left out: "[{" / "%%BeginFeature:" ... "%%EndFeature" / "} stopped
// cleartomark", and "%RBIBeginNonPPDFeature:" ... "%RBIEndNonPPDFeature".
// From the first "%%Page:" line on, the bytes pass unchanged.
class SpoolerFeatureFilter final : public ByteSource {
public:
    explicit SpoolerFeatureFilter(ByteSource& inner) : inner_(inner) {}
    std::size_t read(std::span<char> into) override;

    // Returns the copies the printer is to make, as the spooler's header
    // comment "%RBINumCopies:" states them (1 when the spooler has put the
    // copies into the document itself); nothing without the comment. Reads
    // the header ahead; call it before the first read.
    std::optional<std::uint32_t> printerCopies();

private:
    // Takes the next line into `line_`; returns false at the end.
    bool nextLine();
    // Returns the kept text of the header lines, up to the first page or the end.
    void fillPending();

    ByteSource& inner_;
    std::string buffer_;      // read ahead, not yet split into lines
    std::string line_;        // the current line with its ending
    std::string pending_;     // kept text not yet handed out
    std::size_t pendingAt_ = 0;
    bool inBody_ = false;     // past the first page: bytes pass unchanged
    bool innerEnded_ = false;
};

}  // namespace tvzx::host
