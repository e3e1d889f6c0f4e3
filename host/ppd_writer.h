// The PPD file of the printer family, built from the plug-in's option
// tables: every feature with a PPD keyword and every option with a PPD
// option keyword, the driver's own features, the named paper sizes and the
// custom size. data/tvzx.ppd is this text; tvzx_make_ppd writes it.
#pragma once

#include <string>
#include <vector>

namespace tvzx::host {

struct PpdChoice {
    std::string option;  // option keyword
    std::string label;   // translation string shown to users
    std::string code;    // PostScript invocation code
};

struct PpdFeature {
    std::string keyword;  // main keyword without the '*'
    std::string label;
    std::string defaultOption;
    std::vector<PpdChoice> choices;
};

// Returns the driver version the PPD states and the host announces.
std::string driverVersion();

// Returns the selectable features in file order: the driver's own features,
// the page size and page region, then every table feature in field order
// with the features that the settings mapping adds.
std::vector<PpdFeature> ppdFeatures();

// Returns the whole PPD file.
std::string ppdText();

// Returns the text as a PostScript string literal, parentheses and
// backslashes escaped.
std::string postScriptString(const std::string& text);

// Returns the number in the shortest form that keeps two decimals.
std::string formatPoints(double points);

}  // namespace tvzx::host
