// Raster pages as a PostScript document: each page one level-3 image,
// compressed (Flate) and written in ASCII85 so the document stays text that
// the host's DSC scanner and the plug-in pass like any other job.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "common/output_sink.h"

namespace tvzx::printer_app {

enum class RasterColors : std::uint8_t {
    Gray,   // one component, 0 black
    Black,  // one component, 0 white (device black)
    Rgb,    // three components
};

struct RasterPage {
    std::uint32_t width = 0;   // pixels
    std::uint32_t height = 0;  // lines
    std::uint32_t bitsPerComponent = 8;
    RasterColors colors = RasterColors::Gray;
    // The page's size in points, which the image fills.
    std::uint32_t widthPoints = 0;
    std::uint32_t heightPoints = 0;
};

// Returns the bytes of one line of the page.
std::size_t rasterLineBytes(const RasterPage& page);

class RasterDocument {
public:
    // Writes the document's header comments to the output.
    explicit RasterDocument(OutputSink& output);
    ~RasterDocument();
    RasterDocument(const RasterDocument&) = delete;
    RasterDocument& operator=(const RasterDocument&) = delete;

    // Starts the next page. Throws std::invalid_argument for a page without
    // pixels or with a depth the image operator has no decoding for.
    void beginPage(const RasterPage& page);
    // Adds the page's next line; a short line is padded with white, a long
    // one cut. Lines past the page's height are dropped.
    void addLine(std::span<const std::uint8_t> line);
    // Ends the page, with white lines for those never added.
    void endPage();
    // Writes the trailer. Returns the page count.
    std::uint32_t finish();

private:
    class PageStream;
    void writeData(std::span<const std::uint8_t> bytes, bool last);

    OutputSink& output_;
    std::unique_ptr<PageStream> page_;
    std::uint32_t pages_ = 0;
};

}  // namespace tvzx::printer_app
