// Where a rendered job goes. A file is written under a temporary name beside
// it and renamed into place when the job has succeeded, so a failed job
// leaves no partial file; a device or pipe (/dev/null) is written directly;
// standard output receives the job only once it has succeeded, or, for a
// consumer that reads a stream as it comes (a print spooler's filter chain),
// as it is written.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_sink.h"

namespace tvzx::host {

// When standard output receives the job.
enum class Delivery {
    WhenComplete,  // all at once when the job has succeeded
    AsWritten,     // piece by piece: nothing is kept, whatever the job's size
};

class OutputFile final : public OutputSink {
public:
    // Opens the target; an empty path means standard output, which gets the
    // job as `delivery` says. Throws HostError naming the path when it
    // cannot be written.
    explicit OutputFile(const std::string& path, Delivery delivery = Delivery::WhenComplete);
    // Removes what an uncommitted job wrote.
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes) override;
    // Completes the job: renames the file into place, copies the job to
    // standard output or hands on what is buffered. Throws HostError when
    // that fails.
    void commit();
    // Returns the bytes written so far.
    std::uint64_t size() const { return size_; }

private:
    enum class Mode { Direct, Staged, Spooled, Streamed };
    void flush();
    // Returns the descriptor the job's bytes go to.
    int target() const;
    void writeAll(int descriptor, const char* data, std::size_t size);

    std::string path_;
    std::string temporary_;
    Mode mode_;
    int descriptor_ = -1;
    // Left uninitialised: a short job touches only the pages it fills.
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_;
    std::size_t buffered_ = 0;
    std::uint64_t size_ = 0;
    bool committed_ = false;
};

}  // namespace tvzx::host
