// Where the plug-in's output goes: every text is one write, so tests capture
// the exact bytes and the driver sees one spool write per text.
#pragma once

#include <string>
#include <string_view>

namespace tvzx {

class OutputSink {
public:
    virtual ~OutputSink() = default;
    // Writes the bytes as one piece.
    virtual void write(std::string_view bytes) = 0;
    // Returns whether a write did not take all its bytes. A sink that can
    // fail drops every later write, so the output never misses a piece in
    // its middle.
    virtual bool failed() const { return false; }
};

// A sink that keeps everything written, piece by piece.
class StringSink final : public OutputSink {
public:
    void write(std::string_view bytes) override {
        text += bytes;
        ++writes;
    }
    std::string text;
    std::size_t writes = 0;
};

}  // namespace tvzx
