// PPD main keywords and options that the host itself names: the features it
// writes ahead of all others, the paper keywords, and the features whose
// options do not come straight from one option table.
#pragma once

#include <string_view>

namespace tvzx::host::ppd {

inline constexpr std::string_view kPageSize = "PageSize";
inline constexpr std::string_view kPageRegion = "PageRegion";
inline constexpr std::string_view kImageableArea = "ImageableArea";
inline constexpr std::string_view kPaperDimension = "PaperDimension";
inline constexpr std::string_view kCustomPageSize = "CustomPageSize";
inline constexpr std::string_view kCustomTrue = "True";
inline constexpr std::string_view kInputSlot = "InputSlot";
inline constexpr std::string_view kResolution = "Resolution";
inline constexpr std::string_view kOutputBin = "OutputBin";
inline constexpr std::string_view kDuplex = "ZVDuplex";
inline constexpr std::string_view kStaple = "ZVStaple";
inline constexpr std::string_view kPunch = "ZVPunch";
inline constexpr std::string_view kOffset = "ZVOffset";
inline constexpr std::string_view kModelName = "ZVCbSwModelName";
// The driver's own features, written first in every job.
inline constexpr std::string_view kOpCreator = "ZVOpCreator";
inline constexpr std::string_view kOpPpdVersion = "ZVOpPPDVersion";
inline constexpr std::string_view kOpCreatorDriver = "PSDriver";

inline constexpr std::string_view kFalse = "False";
inline constexpr std::string_view kTrue = "True";
inline constexpr std::string_view kStapleLeft = "1Staple(Left)";
inline constexpr std::string_view kStapleRight = "1Staple(Right)";
inline constexpr std::string_view kStreamPunch = "GBCStreampunch";

// The file's own structure.
inline constexpr std::string_view kOpenUi = "*OpenUI";
inline constexpr std::string_view kCloseUi = "*CloseUI:";
inline constexpr std::string_view kOpenGroup = "*OpenGroup:";
inline constexpr std::string_view kCloseGroup = "*CloseGroup:";
inline constexpr std::string_view kOrderDependency = "*OrderDependency:";
inline constexpr std::string_view kAnySetup = "AnySetup";
inline constexpr std::string_view kDefaultPrefix = "*Default";
inline constexpr std::string_view kPickOne = "PickOne";
inline constexpr std::string_view kBoolean = "Boolean";
inline constexpr std::string_view kFileVersion = "*FileVersion:";
inline constexpr std::string_view kVariablePaperSize = "*VariablePaperSize:";
inline constexpr std::string_view kHwMargins = "*HWMargins:";
inline constexpr std::string_view kMaxMediaWidth = "*MaxMediaWidth:";
inline constexpr std::string_view kMaxMediaHeight = "*MaxMediaHeight:";
inline constexpr std::string_view kCenterRegistered = "*CenterRegistered:";
inline constexpr std::string_view kParamCustomPageSize = "*ParamCustomPageSize";
inline constexpr std::string_view kEnd = "*End";

// CUPS's own keywords: the filter that takes the PostScript CUPS's
// PostScript filter makes (the spooler's type) and turns it into the
// printer-ready stream (the printer's type), and the group of the printer's
// installed options, which CUPS shows on its installable options page.
inline constexpr std::string_view kCupsFilter2 = "*cupsFilter2:";
inline constexpr std::string_view kSpoolerPostScriptType = "application/vnd.cups-postscript";
inline constexpr std::string_view kPrinterStreamType = "application/vnd.tvzx-postscript";
inline constexpr std::string_view kCupsFilterProgram = "pstotvzx";
inline constexpr std::string_view kInstallableGroup = "InstallableOptions";

// The attribute of an option that holds its PostScript code.
inline constexpr std::string_view kInvocation = "Invocation";

}  // namespace tvzx::host::ppd
