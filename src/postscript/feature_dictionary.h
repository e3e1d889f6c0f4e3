// The plug-in's feature dictionary in the printer's interpreter: the names it
// and the layout code share, and the three line forms every dictionary text is
// built from (create the dictionary, store or remove a key, call a procedure
// when the printer has it).
#pragma once

#include <string>
#include <string_view>

namespace tvzx::postscript {

// Names the plug-in, the printer's layout code and the tab-sheet code share in
// the interpreter; all of them are case-sensitive.
namespace names {
// The feature dictionary, kept in userdict.
inline constexpr std::string_view kFeatures = "TVZXFeatures";
// Procedure holding the PPD code of the output-method options.
inline constexpr std::string_view kPlugInSettings = "TVZXPlugInSettings";
// Procedure the page-setup code calls at the end of each page setup (userdict).
inline constexpr std::string_view kEndPageSetupCallBack = "TVZXPluginEndPageSetupCallBack";

// Setup entries.
inline constexpr std::string_view kVersion = "PDVersion";
inline constexpr std::string_view kSystem = "TARVOPDOS";
inline constexpr std::string_view kPerfectBindMode = "TVZXPBMode";
inline constexpr std::string_view kZoom = "Zoom";
inline constexpr std::string_view kMixedOriginalMode = "TVZXMixedOriginalMode";
inline constexpr std::string_view kOrient = "Orient";
inline constexpr std::string_view kTargetPaperCustomSize = "TPCS";
inline constexpr std::string_view kTrayConfiguration = "TrayConfiguration";

// N-up data, at setup and on every page.
inline constexpr std::string_view kHiResPageSize = "HiResPageSize";
inline constexpr std::string_view kHiResPageSizePpdPt = "HiResPageSizePpdPt";
inline constexpr std::string_view kTolerance = "TVZXTolerance";
inline constexpr std::string_view kPageOrient = "PageOrient";
inline constexpr std::string_view kNup = "TVZXPdNup";

// Procedures and marks of the layout code.
inline constexpr std::string_view kPageTrailerMark = "Tarvo_V11";
inline constexpr std::string_view kBeginPage = "Tarvo_P4";
inline constexpr std::string_view kDocumentEnd = "Tarvo_P6";
inline constexpr std::string_view kPagePaper = "Tarvo_P8";
inline constexpr std::string_view kNupSetupEnd = "Tarvo_NupP0";
inline constexpr std::string_view kNupPageEnd = "Tarvo_NupP3";
inline constexpr std::string_view kNupPage = "Tarvo_NupP5";
}  // namespace names

// Returns the text that creates the feature dictionary in userdict, with room
// for 100 entries, when the interpreter does not have it yet. It opens with
// CR LF and ends with CR LF; a text writes it once, before its first
// dictionary line.
std::string ensureFeatureDict();

// Returns the line that stores value under key in the feature dictionary, or,
// for an empty value, the line that removes key from it; empty for an empty key.
std::string dictPut(std::string_view key, std::string_view value);

// Returns the line that runs the feature dictionary's procedure key on the
// arguments (PostScript text pushed before the call) when the dictionary has
// it, and does nothing otherwise; empty for an empty key.
std::string dictCall(std::string_view key, std::string_view arguments = {});

// Returns the bytes as a PostScript hexadecimal string: "<", two upper-case
// digits per byte, ">".
std::string hexString(std::string_view bytes);

// Returns a PostScript expression that yields the literal name of these
// bytes: "/" and the name when it is made of characters that stand in a name
// as they are (printable ASCII other than the delimiters), otherwise the
// hexadecimal string of the bytes followed by "cvn"; "()cvn" for no bytes.
std::string literalName(std::string_view bytes);

}  // namespace tvzx::postscript
