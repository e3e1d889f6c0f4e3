#include "frame/hook_table.h"

#include "frame/document_hooks.h"
#include "frame/escape_filter.h"

namespace tvzx::frame {
namespace {

using namespace tvzx::win;

// The device behind the first argument of a hooked call: a surface for the
// drawing calls, the device handle itself for the font and colour calls.
DEVOBJ* deviceBehind(SURFOBJ* surface) { return device::deviceObjectOf(surface); }
DEVOBJ* deviceBehind(DHPDEV device) { return device::deviceObjectOf(device); }

// A hook that hands the call unchanged to the driver's own function of its
// slot and returns that function's result. Without a device state or a
// driver function there is nothing to call, and the call fails.
template <HookSlot Slot, typename Function>
struct PassThrough;

template <HookSlot Slot, typename Result, typename First, typename... Rest>
struct PassThrough<Slot, Result(TVZX_STDCALL*)(First, Rest...)> {
    using Function = Result(TVZX_STDCALL*)(First, Rest...);
    static Result TVZX_STDCALL call(First first, Rest... rest) {
        const auto driver = driverFunction<Function>(device::deviceStateOf(deviceBehind(first)), Slot);
        return driver != nullptr ? driver(first, rest...) : Result{};
    }
};

// Brushes are realised by the driver when it needs them; the plug-in's
// answer keeps the engine from asking for them up front.
BOOL TVZX_STDCALL realizeBrush(BRUSHOBJ*, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) { return 1; }

template <typename Function>
PFN entryOf(Function function) {
    return reinterpret_cast<PFN>(function);
}

template <HookSlot Slot, typename Function>
DRVFN passThrough(ULONG index) {
    return DRVFN{index, entryOf(&PassThrough<Slot, Function>::call)};
}

}  // namespace

std::span<DRVFN, device::kHookCount> hookTable() {
    static DRVFN table[device::kHookCount] = {
        {INDEX_DrvRealizeBrush, entryOf(&realizeBrush)},
        passThrough<HookSlot::CopyBits, PFN_DrvCopyBits>(INDEX_DrvCopyBits),
        passThrough<HookSlot::BitBlt, PFN_DrvBitBlt>(INDEX_DrvBitBlt),
        passThrough<HookSlot::StretchBlt, PFN_DrvStretchBlt>(INDEX_DrvStretchBlt),
        passThrough<HookSlot::StretchBltROP, PFN_DrvStretchBltROP>(INDEX_DrvStretchBltROP),
        passThrough<HookSlot::PlgBlt, PFN_DrvPlgBlt>(INDEX_DrvPlgBlt),
        passThrough<HookSlot::TransparentBlt, PFN_DrvTransparentBlt>(INDEX_DrvTransparentBlt),
        passThrough<HookSlot::AlphaBlend, PFN_DrvAlphaBlend>(INDEX_DrvAlphaBlend),
        passThrough<HookSlot::GradientFill, PFN_DrvGradientFill>(INDEX_DrvGradientFill),
        passThrough<HookSlot::TextOut, PFN_DrvTextOut>(INDEX_DrvTextOut),
        passThrough<HookSlot::StrokePath, PFN_DrvStrokePath>(INDEX_DrvStrokePath),
        passThrough<HookSlot::FillPath, PFN_DrvFillPath>(INDEX_DrvFillPath),
        passThrough<HookSlot::StrokeAndFillPath, PFN_DrvStrokeAndFillPath>(INDEX_DrvStrokeAndFillPath),
        {INDEX_DrvStartPage, entryOf(&hookStartPage)},
        passThrough<HookSlot::SendPage, PFN_DrvSendPage>(INDEX_DrvSendPage),
        {INDEX_DrvEscape, entryOf(&hookEscape)},
        {INDEX_DrvStartDoc, entryOf(&hookStartDoc)},
        {INDEX_DrvEndDoc, entryOf(&hookEndDoc)},
        passThrough<HookSlot::QueryFont, PFN_DrvQueryFont>(INDEX_DrvQueryFont),
        passThrough<HookSlot::QueryFontTree, PFN_DrvQueryFontTree>(INDEX_DrvQueryFontTree),
        passThrough<HookSlot::QueryFontData, PFN_DrvQueryFontData>(INDEX_DrvQueryFontData),
        passThrough<HookSlot::QueryAdvanceWidths, PFN_DrvQueryAdvanceWidths>(INDEX_DrvQueryAdvanceWidths),
        passThrough<HookSlot::FontManagement, PFN_DrvFontManagement>(INDEX_DrvFontManagement),
        passThrough<HookSlot::GetGlyphMode, PFN_DrvGetGlyphMode>(INDEX_DrvGetGlyphMode),
        passThrough<HookSlot::IcmCreateColorTransform, PFN_DrvIcmCreateColorTransform>(
            INDEX_DrvIcmCreateColorTransform),
        passThrough<HookSlot::IcmDeleteColorTransform, PFN_DrvIcmDeleteColorTransform>(
            INDEX_DrvIcmDeleteColorTransform),
        passThrough<HookSlot::QueryDeviceSupport, PFN_DrvQueryDeviceSupport>(INDEX_DrvQueryDeviceSupport),
    };
    return std::span<DRVFN, device::kHookCount>(table);
}

void describeHooks(DRVENABLEDATA& enableData) {
    const auto table = hookTable();
    enableData.iDriverVersion = PRINTER_OEMINTF_VERSION;
    enableData.c = static_cast<ULONG>(table.size());
    enableData.pdrvfn = table.data();
}

void captureDriverFunctions(device::DeviceState& state, const DRVENABLEDATA* driverTable) {
    const auto hooks = hookTable();
    for (std::size_t slot = 0; slot < device::kHookCount; ++slot) {
        state.driverFunctions[slot] = nullptr;
        if (driverTable == nullptr || driverTable->pdrvfn == nullptr) continue;
        for (ULONG i = 0; i < driverTable->c; ++i) {
            if (driverTable->pdrvfn[i].iFunc == hooks[slot].iFunc) {
                state.driverFunctions[slot] = driverTable->pdrvfn[i].pfn;
                break;
            }
        }
    }
}

}  // namespace tvzx::frame
