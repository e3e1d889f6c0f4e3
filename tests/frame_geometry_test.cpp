// The page geometry the plug-in reports: the imageable maximum, the device
// capabilities at EnablePDEV and the paper margins of GetPDEVAdjustment. The
// expected figures are worked out by hand from the rounding rules.
#include <gtest/gtest.h>

#include <cstring>

#include "frame/page_geometry.h"
#include "frame_fixtures.h"

namespace tvzx {
namespace {

using namespace tvzx::win;
using settings::FieldId;

constexpr std::uint32_t kDpi = 600;

void setCustomA4(settings::CoreData& record) {
    record.setOption(FieldId::PageSize, settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 2100000);   // 210 mm at 10000 per mm
    record.setNumber(FieldId::CustomPageSizeHeight, 2970000);  // 297 mm
}

// A4 at 600 dpi with the driver's own quarter-inch-ish margins.
GDIINFO a4DeviceCapabilities() {
    GDIINFO gdi{};
    gdi.ulLogPixelsX = kDpi;
    gdi.ulLogPixelsY = kDpi;
    gdi.szlPhysSize = {4960, 7016};
    gdi.ulHorzSize = 210;
    gdi.ulVertSize = 297;
    gdi.ulHorzRes = 4760;
    gdi.ulVertRes = 6816;
    gdi.ptlPhysOffset = {100, 100};
    return gdi;
}

TEST(FrameGeometry, MaximumImageableSizeKeepsMarginsAndTheDeviceLimit) {
    // Largest sheet less a quarter inch: 7504 by 11259 pixels, the width
    // capped at 889.92 points (7416 pixels).
    auto size = frame::computeMaxImageableSize(kDpi, kDpi, 324000, 483000, false, 0);
    EXPECT_EQ(size.width, 7416);
    EXPECT_EQ(size.height, 11259);
    // Printed to the edge, the height reaches the 1368.96-point limit too.
    size = frame::computeMaxImageableSize(kDpi, kDpi, 324000, 483000, true, 0);
    EXPECT_EQ(size.width, 7416);
    EXPECT_EQ(size.height, 11408);
    // Any output method but printing and forms goes to the edge as well.
    size = frame::computeMaxImageableSize(kDpi, kDpi, 210000, 297000, false, 2);
    EXPECT_EQ(size.width, 4961);
    EXPECT_EQ(size.height, 7016);
    size = frame::computeMaxImageableSize(kDpi, kDpi, 210000, 297000, false, 6);
    EXPECT_EQ(size.width, 4811);
    EXPECT_EQ(size.height, 6866);
    // A sheet no larger than the margin has nothing imageable.
    size = frame::computeMaxImageableSize(kDpi, kDpi, 6350, 6000, false, 0);
    EXPECT_EQ(size.width, 0);
    EXPECT_EQ(size.height, 0);
}

TEST(FrameGeometry, CustomSizeConvertsToMicrometresRoundingHalfUp) {
    settings::CoreData record = settings::defaultRecord();
    EXPECT_EQ(frame::paperSizeUm(record).width, frame::kLargestSheetWidthUm);
    record.setOption(FieldId::PageSize, settings::kCustomPageSize);
    record.setNumber(FieldId::CustomPageSizeWidth, 2100005);
    record.setNumber(FieldId::CustomPageSizeHeight, 2970004);
    EXPECT_EQ(frame::paperSizeUm(record).width, 210001);
    EXPECT_EQ(frame::paperSizeUm(record).height, 297000);
}

TEST(FrameGeometry, EnablePdevClampsTheImageableAreaToTheJob) {
    testing::FakeDevice device(/*withState=*/false);
    setCustomA4(device.blockSettings());
    GDIINFO gdi = a4DeviceCapabilities();
    void* state = nullptr;
    ASSERT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, &state), S_OK);
    device.devObj.pdevOEM = state;
    // 4811 by 6866 pixels are 203665 by 290660 micrometres.
    EXPECT_EQ(static_cast<std::int32_t>(gdi.ulHorzSize), -203665);
    EXPECT_EQ(gdi.ulHorzRes, 4811u);
    EXPECT_EQ(gdi.ptlPhysOffset.x, 75);
    EXPECT_EQ(static_cast<std::int32_t>(gdi.ulVertSize), -290660);
    EXPECT_EQ(gdi.ulVertRes, 6866u);
    EXPECT_EQ(gdi.ptlPhysOffset.y, 75);
}

TEST(FrameGeometry, FullBleedOpensTheWholePhysicalPage) {
    testing::FakeDevice device(/*withState=*/false);
    setCustomA4(device.blockSettings());
    device.blockSettings().setOption(FieldId::FullBleed, 1);
    GDIINFO gdi = a4DeviceCapabilities();
    void* state = nullptr;
    ASSERT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, &state), S_OK);
    device.devObj.pdevOEM = state;
    EXPECT_EQ(gdi.ulHorzRes, 4960u);
    EXPECT_EQ(static_cast<std::int32_t>(gdi.ulHorzSize), -209973);
    EXPECT_EQ(gdi.ulVertRes, 7016u);
    EXPECT_EQ(static_cast<std::int32_t>(gdi.ulVertSize), -297010);
    EXPECT_EQ(gdi.ptlPhysOffset.x, 0);
    EXPECT_EQ(gdi.ptlPhysOffset.y, 0);
}

TEST(FrameGeometry, LandscapeAndApplicationScalingChangeTheLimit) {
    testing::FakeDevice device(/*withState=*/false);
    device.blockSettings().setOption(FieldId::Orientation, 1);
    device.publicDevmode().dmFields |= DM_SCALE;
    device.publicDevmode().dmScale = 200;
    GDIINFO gdi = a4DeviceCapabilities();
    void* state = nullptr;
    ASSERT_EQ(frame::enablePdev(&device.devObj, sizeof gdi, &gdi, nullptr, &state), S_OK);
    device.devObj.pdevOEM = state;
    // 7416 by 11259 pixels, turned: 476643 by 313944 micrometres, halved by
    // the scaling: 238321 by 156972. Only the height is over the limit.
    EXPECT_EQ(gdi.ulHorzSize, 210u);
    EXPECT_EQ(gdi.ulHorzRes, 4760u);
    EXPECT_EQ(static_cast<std::int32_t>(gdi.ulVertSize), -156972);
    EXPECT_EQ(gdi.ulVertRes, 3708u);
    EXPECT_EQ(gdi.ptlPhysOffset.y, 1654);
}

TEST(FrameGeometry, EnablePdevLeavesTheCapabilitiesAloneWithoutWhatItNeeds) {
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

TEST(FrameGeometry, PaperMarginsOnlyForTheirAdjustmentType) {
    testing::FakeDevice device;
    RECTL rectangle{1, 2, 3, 4};
    BOOL adjusted = 7;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, 2, &rectangle, sizeof rectangle, &adjusted), S_FALSE);
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 15, &adjusted),
              S_FALSE);
    EXPECT_EQ(adjusted, 7);
    EXPECT_EQ(frame::getPdevAdjustment(nullptr, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted), S_OK);
    EXPECT_EQ(rectangle.right, 3);
}

TEST(FrameGeometry, PaperMarginsInsideTheMaximumStay) {
    testing::FakeDevice device;
    RECTL rectangle{6350, 6350, 203650, 290650};
    BOOL adjusted = 7;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted),
              S_OK);
    EXPECT_EQ(adjusted, 0);
    EXPECT_EQ(rectangle.left, 6350);
    EXPECT_EQ(rectangle.bottom, 290650);
}

TEST(FrameGeometry, PaperMarginsShrinkAroundTheirCentre) {
    testing::FakeDevice device;
    // The largest sheet less margins: 313944 (device limit) by 476650.
    RECTL rectangle{0, 0, 330000, 490000};
    BOOL adjusted = 0;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted),
              S_OK);
    EXPECT_EQ(adjusted, 1);
    EXPECT_EQ(rectangle.left, 8028);
    EXPECT_EQ(rectangle.right, 321972);
    EXPECT_EQ(rectangle.top, 6675);
    EXPECT_EQ(rectangle.bottom, 483325);
}

TEST(FrameGeometry, FullBleedMovesTheMarginsToTheOrigin) {
    testing::FakeDevice device;
    setCustomA4(device.blockSettings());
    device.blockSettings().setOption(FieldId::FullBleed, 1);
    RECTL rectangle{3000, 2000, 205000, 290000};
    BOOL adjusted = 0;
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted),
              S_OK);
    EXPECT_EQ(adjusted, 1);
    EXPECT_EQ(rectangle.left, 0);
    EXPECT_EQ(rectangle.top, 0);
    EXPECT_EQ(rectangle.right, 208000);
    EXPECT_EQ(rectangle.bottom, 292000);

    // Moved to the origin, then centred back where it was: no change.
    rectangle = {5000, 4000, 215000, 301000};
    EXPECT_EQ(frame::getPdevAdjustment(&device.devObj, PDEV_ADJUST_PAPER_MARGIN_TYPE, &rectangle, 16, &adjusted),
              S_OK);
    EXPECT_EQ(adjusted, 0);
    EXPECT_EQ(rectangle.left, 5000);
    EXPECT_EQ(rectangle.bottom, 301000);
}

}  // namespace
}  // namespace tvzx
