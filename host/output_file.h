// Where a rendered job goes. A file is written under a temporary name beside
// it and renamed into place when the job has succeeded, so a failed job
// leaves no partial file; a device or pipe (/dev/null) is written directly;
// standard output receives the job only once it has succeeded.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_sink.h"

namespace tvzx::host {

class OutputFile final : public OutputSink {
public:
    // Opens the target; an empty path means standard output. Throws
    // HostError naming the path when it cannot be written.
    explicit OutputFile(const std::string& path);
    // Removes what an uncommitted job wrote.
    ~OutputFile() override;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    void write(std::string_view bytes) override;
    // Completes the job: renames the file into place or copies the job to
    // standard output. Throws HostError when that fails.
    void commit();
    // Returns the bytes written so far.
    std::uint64_t size() const { return size_; }

private:
    enum class Mode { Direct, Staged, Spooled };
    void flush();
    void writeAll(int descriptor, const char* data, std::size_t size);

    std::string path_;
    std::string temporary_;
    Mode mode_;
    int descriptor_ = -1;
    // Left uninitialised: a short job touches only the pages it fills.
    std::unique_ptr<char[]> buffer_;
    std::size_t buffered_ = 0;
    std::uint64_t size_ = 0;
    bool committed_ = false;
};

}  // namespace tvzx::host
