// The page geometry the plug-in reports: the imageable maximum, the device
// capabilities at EnablePDEV and the paper margins of GetPDEVAdjustment. The
// expected figures are worked out by hand from the rounding rules.
#include <gtest/gtest.h>

#include "frame/page_geometry.h"
#include "frame_fixtures.h"

namespace tvzx {
namespace {

using namespace tvzx::win;
using settings::FieldId;

constexpr std::uint32_t kDpi = 600;
using Rectangle = std::array<std::int32_t, 4>;

void setCustomA4(settings::CoreData& record) {
    record.setOption(FieldId::PageSize, settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 2100000);   // 210 mm at 10000 per mm
    record.setNumber(FieldId::CustomPageSizeHeight, 2970000);  // 297 mm
}

// A4 at 600 dpi with the driver's own quarter-inch-ish margins.
GDIINFO a4DeviceCapabilities() {
    GDIINFO gdi{};
    gdi.ulLogPixelsX = gdi.ulLogPixelsY = kDpi;
    gdi.szlPhysSize = {4960, 7016};
    std::tie(gdi.ulHorzSize, gdi.ulVertSize, gdi.ulHorzRes, gdi.ulVertRes) = std::tuple(210, 297, 4760, 6816);
    gdi.ptlPhysOffset = {100, 100};
    return gdi;
}

TEST(FrameGeometry, MaximumImageableSizeKeepsMarginsAndTheDeviceLimit) {
    const struct {
        std::uint32_t widthUm, heightUm;
        bool toTheEdge;
        std::uint32_t outputMethod;
        std::int64_t width, height;
    } cases[] = {
        // Largest sheet less a quarter inch: 7504 by 11259 pixels, the width
        // capped at 889.92 points (7416 pixels).
        {324000, 483000, false, 0, 7416, 11259},
        // Printed to the edge, the height reaches the 1368.96-point limit too.
        {324000, 483000, true, 0, 7416, 11408},
        // Any output method but printing and forms goes to the edge as well.
        {210000, 297000, false, 2, 4961, 7016}, {210000, 297000, false, 6, 4811, 6866},
        // A sheet no larger than the margin has nothing imageable.
        {6350, 6000, false, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto size = frame::computeMaxImageableSize(kDpi, kDpi, c.widthUm, c.heightUm, c.toTheEdge, c.outputMethod);
        EXPECT_EQ(std::pair(size.width, size.height), std::pair(c.width, c.height)) << c.widthUm << " " << c.outputMethod;
    }
}

TEST(FrameGeometry, CustomSizeConvertsToMicrometresRoundingHalfUp) {
    settings::CoreData record = settings::defaultRecord();
    EXPECT_EQ(frame::paperSizeUm(record).width, frame::kLargestSheetWidthUm);
    record.setOption(FieldId::PageSize, settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 2100005);
    record.setNumber(FieldId::CustomPageSizeHeight, 2970004);
    EXPECT_EQ(std::pair(frame::paperSizeUm(record).width, frame::paperSizeUm(record).height), (std::pair<std::int64_t, std::int64_t>(210001, 297000)));
}

// Returns the device capabilities EnablePDEV leaves for the device's job.
GDIINFO enabled(testing::FakeDevice& device) {
    GDIINFO gdi = a4DeviceCapabilities();
    void* state = nullptr;
    EXPECT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, &state), S_OK);
    device.devObj.pdevOEM = state;
    return gdi;
}

// The figures EnablePDEV changes: size (negative: micrometres), resolution
// and offset, across then down.
std::array<std::int32_t, 6> figures(const GDIINFO& gdi) {
    return {static_cast<std::int32_t>(gdi.ulHorzSize), static_cast<std::int32_t>(gdi.ulHorzRes), gdi.ptlPhysOffset.x,
            static_cast<std::int32_t>(gdi.ulVertSize), static_cast<std::int32_t>(gdi.ulVertRes), gdi.ptlPhysOffset.y};
}

TEST(FrameGeometry, EnablePdevClampsTheImageableAreaToTheJobOrLeavesItWithoutWhatItNeeds) {
    for (const int fullBleed : {0, 1}) {
        testing::FakeDevice device(/*withState=*/false);
        setCustomA4(device.blockSettings());
        device.blockSettings().setOption(FieldId::FullBleed, fullBleed);
        // 4811 by 6866 pixels are 203665 by 290660 micrometres; full bleed
        // opens the whole physical page.
        using Figures = std::array<std::int32_t, 6>;
        EXPECT_EQ(figures(enabled(device)), (fullBleed ? Figures{-209973, 4960, 0, -297010, 7016, 0}
                                                       : Figures{-203665, 4811, 75, -290660, 6866, 75}));
    }

    // Landscape with the application's scaling: 7416 by 11259 pixels, turned:
    // 476643 by 313944 micrometres, halved: 238321 by 156972. Only the height
    // is over the limit.
    testing::FakeDevice scaled(/*withState=*/false);
    scaled.blockSettings().setOption(FieldId::Orientation, 1);
    scaled.publicDevmode().dmFields |= DM_SCALE;
    scaled.publicDevmode().dmScale = 200;
    EXPECT_EQ(figures(enabled(scaled)), (std::array<std::int32_t, 6>{210, 4760, 100, -156972, 3708, 1654}));

    // Without what it needs it leaves the capabilities alone.
    testing::FakeDevice device(/*withState=*/false);
    setCustomA4(device.blockSettings());
    const GDIINFO original = a4DeviceCapabilities();
    GDIINFO gdi = original;
    void* state = nullptr;
    EXPECT_EQ(frame::enablePdev(&device.devObj, 319, &gdi, nullptr, &state), S_OK);
    EXPECT_NE(state, nullptr);
    EXPECT_EQ(std::memcmp(&gdi, &original, sizeof gdi), 0);
    frame::disablePdev(&device.devObj);  // nothing attached yet
    device.devObj.pdevOEM = state;
    frame::disablePdev(&device.devObj);
    EXPECT_EQ(device.devObj.pdevOEM, nullptr);

    gdi.ulLogPixelsX = 0;
    EXPECT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, &device.devObj.pdevOEM), S_OK);
    gdi.ulLogPixelsX = original.ulLogPixelsX;
    EXPECT_EQ(std::memcmp(&gdi, &original, sizeof gdi), 0);
    EXPECT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, nullptr), E_FAIL);
}

// Returns the rectangle GetPDEVAdjustment leaves, and whether it says it
// changed it.
std::pair<std::array<std::int32_t, 4>, BOOL> margins(testing::FakeDevice& device, RECTL rectangle) {
    BOOL adjusted = 7;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted), S_OK);
    return {{rectangle.left, rectangle.top, rectangle.right, rectangle.bottom}, adjusted};
}

TEST(FrameGeometry, PaperMarginsStayInsideTheMaximumShrinkAroundTheirCentreOrGoToTheOriginForFullBleed) {
    testing::FakeDevice device;
    EXPECT_EQ(margins(device, {6350, 6350, 203650, 290650}), std::pair(Rectangle{6350, 6350, 203650, 290650}, BOOL{0}));
    // The largest sheet less margins: 313944 (device limit) by 476650.
    EXPECT_EQ(margins(device, {0, 0, 330000, 490000}), std::pair(Rectangle{8028, 6675, 321972, 483325}, BOOL{1}));

    // Only for their adjustment type and a whole rectangle.
    RECTL rectangle{1, 2, 3, 4};
    BOOL adjusted = 7;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, 2, &rectangle, sizeof rectangle, &adjusted), S_FALSE);
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 15, &adjusted),
              S_FALSE);
    EXPECT_EQ(adjusted, 7);
    EXPECT_EQ(frame::getPdevAdjustment(nullptr, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted), S_OK);
    EXPECT_EQ(rectangle.right, 3);

    // Full bleed moves the margins to the origin.
    setCustomA4(device.blockSettings());
    device.blockSettings().setOption(FieldId::FullBleed, 1);
    EXPECT_EQ(margins(device, {3000, 2000, 205000, 290000}), std::pair(Rectangle{0, 0, 208000, 292000}, BOOL{1}));
    // Moved to the origin, then centred back where it was: no change.
    EXPECT_EQ(margins(device, {5000, 4000, 215000, 301000}), std::pair(Rectangle{5000, 4000, 215000, 301000}, BOOL{0}));
    // A job kept as a form keeps its margins as a printed one does.
    device.blockSettings().setOption(FieldId::FullBleed, 0);
    device.blockSettings().setOption(FieldId::OutputMethod, 6);
    EXPECT_EQ(margins(device, {3000, 2000, 205000, 290000}), std::pair(Rectangle{3000, 2000, 205000, 290000}, BOOL{0}));
}

}  // namespace
}  // namespace tvzx
