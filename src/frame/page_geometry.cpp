#include "frame/page_geometry.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tvzx::frame {
namespace {

using settings::FieldId;

constexpr std::uint32_t kOutputMethodPrint = 0;
constexpr std::uint32_t kOutputMethodForm = 6;
constexpr std::uint32_t kFullBleedOn = 1;
constexpr std::uint32_t kLandscape = 1;
constexpr std::int64_t kMicrometresPerInch = 25400;
constexpr std::int64_t kHalfInchMicrometres = kMicrometresPerInch / 2;
constexpr double kPointsPerInch = 72.0;
constexpr std::int64_t kMicrometresPerMillimetre = 1000;
constexpr std::int64_t kUnscaled = 100;

// Rounds half away from zero.
std::int64_t roundHalfAway(double value) { return static_cast<std::int64_t>(std::round(value)); }

std::int64_t pixelsFor(std::int64_t micrometres, std::uint32_t resolution) {
    return roundHalfAway(static_cast<double>(micrometres) * resolution / kMicrometresPerMillimetre / 25.4);
}

std::int64_t pixelsLessMargin(std::int64_t micrometres, std::uint32_t resolution) {
    if (micrometres <= kUnprintableMarginUm) return 0;
    return roundHalfAway(static_cast<double>(micrometres - kUnprintableMarginUm) * resolution / kMicrometresPerInch);
}

// Converts a stored length into micrometres: value * 1000 / scale, rounded
// half up for fine scales and truncated otherwise.
std::int64_t storedLengthUm(const settings::CoreData& settings, FieldId id) {
    const settings::NumericDescriptor* numeric = settings::fieldDef(id).numeric;
    const std::int64_t scale = (numeric == nullptr || numeric->scale == 0) ? 1 : numeric->scale;
    const std::int64_t value = static_cast<std::int64_t>(settings.raw(id)) * kMicrometresPerMillimetre;
    return scale > kMicrometresPerMillimetre ? (value + scale / 2) / scale : value / scale;
}

// Clamps one dimension of the device capabilities to `limitUm`.
void clampDimension(std::uint32_t& size, std::uint32_t& resolutionPixels, std::int32_t& offset,
                    std::uint32_t logPixels, std::int32_t physicalPixels, std::int64_t limitUm) {
    const auto signedSize = static_cast<std::int32_t>(size);
    // A negative size is in micrometres, a positive one in millimetres.
    const std::int64_t currentUm =
        signedSize < 0 ? -static_cast<std::int64_t>(signedSize) : std::int64_t{size} * kMicrometresPerMillimetre;
    if (currentUm <= limitUm) return;
    size = static_cast<std::uint32_t>(static_cast<std::int32_t>(-limitUm));
    resolutionPixels = static_cast<std::uint32_t>((std::int64_t{logPixels} * limitUm + kHalfInchMicrometres) /
                                                  kMicrometresPerInch);
    offset = static_cast<std::int32_t>((std::int64_t{physicalPixels} - resolutionPixels + 1) / 2);
}

// Shrinks one side of the rectangle to `limit`, around its centre.
void centreWithin(std::int32_t& low, std::int32_t& high, std::int64_t limit) {
    if (std::int64_t{high} - low <= limit) return;
    low = static_cast<std::int32_t>((std::int64_t{low} - limit + high) / 2);
    high = static_cast<std::int32_t>(low + limit);
}

}  // namespace

bool printsToEdge(const settings::CoreData& settings) {
    const std::uint32_t method = settings.option(FieldId::OutputMethod);
    return settings.option(FieldId::FullBleed) == kFullBleedOn ||
           (method != kOutputMethodPrint && method != kOutputMethodForm);
}

PixelSize paperSizeUm(const settings::CoreData& settings) {
    if (settings.option(FieldId::PageSize) != settings::kCustomPageSize)
        return {kLargestSheetWidthUm, kLargestSheetHeightUm};
    return {storedLengthUm(settings, FieldId::CustomPageSizeWidth),
            storedLengthUm(settings, FieldId::CustomPageSizeHeight)};
}

PixelSize computeMaxImageableSize(std::uint32_t resolutionX, std::uint32_t resolutionY, std::int64_t widthUm,
                                  std::int64_t heightUm, bool fullBleed, std::uint32_t outputMethod) {
    PixelSize size{pixelsFor(widthUm, resolutionX), pixelsFor(heightUm, resolutionY)};
    const bool toEdge = fullBleed || (outputMethod != kOutputMethodPrint && outputMethod != kOutputMethodForm);
    if (!toEdge) size = {pixelsLessMargin(widthUm, resolutionX), pixelsLessMargin(heightUm, resolutionY)};
    size.width = std::min(size.width, roundHalfAway(resolutionX * kMaxImageableWidthPt / kPointsPerInch));
    size.height = std::min(size.height, roundHalfAway(resolutionY * kMaxImageableHeightPt / kPointsPerInch));
    return size;
}

void clampDeviceGeometry(win::GDIINFO& gdi, const settings::CoreData& settings, const win::DEVMODEW* publicDevmode) {
    if (gdi.ulLogPixelsX == 0) return;
    // Imaged to the edge, the whole physical page is imageable.
    if (gdi.ulLogPixelsY != 0 && printsToEdge(settings)) {
        gdi.ulHorzRes = static_cast<std::uint32_t>(gdi.szlPhysSize.cx);
        gdi.ulHorzSize = static_cast<std::uint32_t>(
            static_cast<std::int32_t>(-(std::int64_t{gdi.szlPhysSize.cx} * kMicrometresPerInch / gdi.ulLogPixelsX)));
        gdi.ulVertRes = static_cast<std::uint32_t>(gdi.szlPhysSize.cy);
        gdi.ulVertSize = static_cast<std::uint32_t>(
            static_cast<std::int32_t>(-(std::int64_t{gdi.szlPhysSize.cy} * kMicrometresPerInch / gdi.ulLogPixelsY)));
        gdi.ptlPhysOffset = {0, 0};
    }
    if (gdi.ulLogPixelsX == 0 || gdi.ulLogPixelsY == 0) return;

    const PixelSize paper = paperSizeUm(settings);
    const PixelSize pixels =
        computeMaxImageableSize(gdi.ulLogPixelsX, gdi.ulLogPixelsY, paper.width, paper.height,
                                settings.option(FieldId::FullBleed) == kFullBleedOn,
                                settings.option(FieldId::OutputMethod));
    std::int64_t widthUm = pixels.width * kMicrometresPerInch / gdi.ulLogPixelsX;
    std::int64_t heightUm = pixels.height * kMicrometresPerInch / gdi.ulLogPixelsY;
    if (settings.option(FieldId::Orientation) == kLandscape) std::swap(widthUm, heightUm);
    // The application's scaling enlarges or shrinks the page it draws.
    if (publicDevmode != nullptr && (publicDevmode->dmFields & win::DM_SCALE) != 0 && publicDevmode->dmScale > 0 &&
        publicDevmode->dmScale != kUnscaled) {
        widthUm = widthUm * kUnscaled / publicDevmode->dmScale;
        heightUm = heightUm * kUnscaled / publicDevmode->dmScale;
    }
    clampDimension(gdi.ulHorzSize, gdi.ulHorzRes, gdi.ptlPhysOffset.x, gdi.ulLogPixelsX, gdi.szlPhysSize.cx,
                   widthUm);
    clampDimension(gdi.ulVertSize, gdi.ulVertRes, gdi.ptlPhysOffset.y, gdi.ulLogPixelsY, gdi.szlPhysSize.cy,
                   heightUm);
}

bool adjustPaperMargins(win::RECTL& rectangle, const settings::CoreData& settings) {
    const win::RECTL original = rectangle;
    if (printsToEdge(settings)) {
        rectangle.right += rectangle.left;
        rectangle.bottom += rectangle.top;
        rectangle.left = 0;
        rectangle.top = 0;
    }
    // At 25400 pixels per inch one pixel is one micrometre.
    constexpr std::uint32_t kMicrometreResolution = 25400;
    const PixelSize paper = paperSizeUm(settings);
    const PixelSize limit =
        computeMaxImageableSize(kMicrometreResolution, kMicrometreResolution, paper.width, paper.height,
                                settings.option(FieldId::FullBleed) == kFullBleedOn,
                                settings.option(FieldId::OutputMethod));
    centreWithin(rectangle.top, rectangle.bottom, limit.height);
    centreWithin(rectangle.left, rectangle.right, limit.width);
    return rectangle.left != original.left || rectangle.top != original.top || rectangle.right != original.right ||
           rectangle.bottom != original.bottom;
}

}  // namespace tvzx::frame
