#include "raster_document.h"

#include <stdexcept>
#include <vector>

#include <zlib.h>

namespace tvzx::printer_app {
namespace {

constexpr std::string_view kHeader =
    "%!PS-Adobe-3.0\n"
    "%%Creator: tvzx-printer-app\n"
    "%%LanguageLevel: 3\n"
    "%%Pages: (atend)\n"
    "%%EndComments\n"
    "%%BeginProlog\n"
    "%%EndProlog\n"
    "%%BeginSetup\n"
    "%%EndSetup\n";
constexpr std::string_view kPageEnd = "restore\nshowpage\n%%PageTrailer\n";
// ASCII85 groups per line; every line starts with a blank, so no line of
// data can be taken for a DSC comment.
constexpr std::size_t kGroupsPerLine = 15;
constexpr std::string_view kA85End = "~>\n";
constexpr std::size_t kChunk = 64 * 1024;

std::uint32_t components(RasterColors colors) { return colors == RasterColors::Rgb ? 3 : 1; }

std::string_view colorSpace(RasterColors colors) { return colors == RasterColors::Rgb ? "/DeviceRGB" : "/DeviceGray"; }

// The image's decode array: device black reads 0 as white.
std::string decodeArray(RasterColors colors) {
    if (colors == RasterColors::Black) return "[1 0]";
    return colors == RasterColors::Rgb ? "[0 1 0 1 0 1]" : "[0 1]";
}

std::uint8_t whiteByte(const RasterPage& page) { return page.colors == RasterColors::Black ? 0x00 : 0xFF; }

}  // namespace

std::size_t rasterLineBytes(const RasterPage& page) {
    const std::uint64_t bits = std::uint64_t{page.width} * page.bitsPerComponent * components(page.colors);
    return static_cast<std::size_t>((bits + 7) / 8);
}

// One page's pixels on their way through Flate and ASCII85 to the output.
class RasterDocument::PageStream {
public:
    explicit PageStream(const RasterPage& page) : page(page), lineBytes(rasterLineBytes(page)) {
        stream.zalloc = Z_NULL;
        stream.zfree = Z_NULL;
        stream.opaque = Z_NULL;
        if (deflateInit(&stream, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::runtime_error("cannot start the page's compression");
        line.assign(lineBytes, whiteByte(page));
    }
    ~PageStream() { deflateEnd(&stream); }
    PageStream(const PageStream&) = delete;
    PageStream& operator=(const PageStream&) = delete;

    RasterPage page;
    std::size_t lineBytes;
    std::uint32_t linesAdded = 0;
    z_stream stream{};
    std::vector<std::uint8_t> line;        // the line being added, padded
    std::vector<std::uint8_t> compressed;  // Flate output not yet encoded
    std::string encoded;                   // ASCII85 text not yet written
    std::size_t groupsOnLine = 0;
};

RasterDocument::RasterDocument(OutputSink& output) : output_(output) { output_.write(kHeader); }

RasterDocument::~RasterDocument() = default;

void RasterDocument::beginPage(const RasterPage& page) {
    if (page.width == 0 || page.height == 0) throw std::invalid_argument("a raster page without pixels");
    if (page.bitsPerComponent != 1 && page.bitsPerComponent != 8)
        throw std::invalid_argument("a raster page of " + std::to_string(page.bitsPerComponent) + " bits per component");
    if (page_) endPage();
    page_ = std::make_unique<PageStream>(page);
    ++pages_;
    const std::string number = std::to_string(pages_);
    const std::string w = std::to_string(page.width);
    const std::string h = std::to_string(page.height);
    output_.write("%%Page: " + number + " " + number + "\n%%PageBoundingBox: 0 0 " + std::to_string(page.widthPoints) +
                  " " + std::to_string(page.heightPoints) + "\nsave\n" + std::to_string(page.widthPoints) + " " +
                  std::to_string(page.heightPoints) + " scale\n" + std::string(colorSpace(page.colors)) +
                  " setcolorspace\n<< /ImageType 1 /Width " + w + " /Height " + h + " /BitsPerComponent " +
                  std::to_string(page.bitsPerComponent) + " /Decode " + decodeArray(page.colors) +
                  " /ImageMatrix [" + w + " 0 0 -" + h + " 0 " + h +
                  "] /DataSource currentfile /ASCII85Decode filter /FlateDecode filter >> image\n");
}

void RasterDocument::addLine(std::span<const std::uint8_t> line) {
    if (!page_ || page_->linesAdded >= page_->page.height) return;
    PageStream& page = *page_;
    const std::size_t taken = std::min(line.size(), page.lineBytes);
    std::copy(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(taken), page.line.begin());
    std::fill(page.line.begin() + static_cast<std::ptrdiff_t>(taken), page.line.end(), whiteByte(page.page));
    ++page.linesAdded;
    writeData(page.line, false);
}

void RasterDocument::endPage() {
    if (!page_) return;
    std::vector<std::uint8_t> white(page_->lineBytes, whiteByte(page_->page));
    while (page_->linesAdded < page_->page.height) {
        ++page_->linesAdded;
        writeData(white, false);
    }
    writeData({}, true);
    output_.write(kPageEnd);
    page_.reset();
}

std::uint32_t RasterDocument::finish() {
    endPage();
    output_.write("%%Trailer\n%%Pages: " + std::to_string(pages_) + "\n%%EOF\n");
    return pages_;
}

// Compresses the bytes, encodes what the compression gave in ASCII85 and
// writes whole lines; the last call flushes everything and ends the data.
void RasterDocument::writeData(std::span<const std::uint8_t> bytes, bool last) {
    PageStream& page = *page_;
    page.stream.next_in = const_cast<Bytef*>(bytes.data());
    page.stream.avail_in = static_cast<uInt>(bytes.size());
    std::uint8_t out[kChunk];
    int result = Z_OK;
    do {
        page.stream.next_out = out;
        page.stream.avail_out = sizeof out;
        result = deflate(&page.stream, last ? Z_FINISH : Z_NO_FLUSH);
        if (result == Z_STREAM_ERROR) throw std::runtime_error("the page's compression failed");
        page.compressed.insert(page.compressed.end(), out, out + (sizeof out - page.stream.avail_out));
    } while (page.stream.avail_out == 0 || (last && result != Z_STREAM_END));

    // Whole groups of four bytes; the rest waits for more, or ends the data.
    std::size_t at = 0;
    const auto emitGroup = [&page](std::uint32_t value, std::size_t inputBytes) {
        if (page.groupsOnLine == 0) page.encoded += ' ';
        if (inputBytes == 4 && value == 0) {
            page.encoded += 'z';
        } else {
            char digits[5];
            for (int i = 4; i >= 0; --i) {
                digits[i] = static_cast<char>('!' + value % 85);
                value /= 85;
            }
            page.encoded.append(digits, inputBytes + 1);
        }
        if (++page.groupsOnLine == kGroupsPerLine) {
            page.encoded += '\n';
            page.groupsOnLine = 0;
        }
    };
    for (; at + 4 <= page.compressed.size(); at += 4)
        emitGroup((std::uint32_t{page.compressed[at]} << 24) | (std::uint32_t{page.compressed[at + 1]} << 16) |
                      (std::uint32_t{page.compressed[at + 2]} << 8) | page.compressed[at + 3],
                  4);
    if (last && at < page.compressed.size()) {
        std::uint32_t value = 0;
        const std::size_t rest = page.compressed.size() - at;
        for (std::size_t i = 0; i < 4; ++i) value = (value << 8) | (i < rest ? page.compressed[at + i] : 0);
        emitGroup(value, rest);
        at = page.compressed.size();
    }
    page.compressed.erase(page.compressed.begin(), page.compressed.begin() + static_cast<std::ptrdiff_t>(at));
    if (last) {
        if (page.groupsOnLine != 0) page.encoded += '\n';
        page.encoded += kA85End;
        page.groupsOnLine = 0;
    }
    if (last || page.encoded.size() >= kChunk) {
        output_.write(page.encoded);
        page.encoded.clear();
    }
}

}  // namespace tvzx::printer_app
