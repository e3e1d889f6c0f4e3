// The fixed PostScript texts around tab sheets: the setup that lets a tab
// sheet share a page, the capture of the driver's page save, the page-setup
// callback, the page-matrix fix, and the save and restore of the
// interpreter's state around a tab-sheet body. Each text opens with CR LF and
// ends every line with CR LF.
#pragma once

#include <string>

namespace tvzx::postscript {

// Returns the flag text that tells the tab-sheet code whether the job's first
// printed tab sheet lies on page 1, creating the feature dictionary first
// when the interpreter does not have it.
std::string tabFlagText(bool firstPrintedTabOnPageOne);

// Returns the override of erasepage that keeps a page with a printed tab sheet
// from being erased, and the TARVOQXPFix procedure that keeps the page
// matrices of QuarkXPress pages in step around tab sheets.
std::string erasePageOverride();

// Returns the tab-page preparation of the setup section: the flag text, then
// the erasepage override and fix procedure.
std::string tabPreparation(bool firstPrintedTabOnPageOne);

// Returns the text that restores the driver's page save object, when there is
// one, before a tab sheet, and notes in TARVOSaveAfterTab whether it did.
std::string pageSaveCapture();

// Returns the page-setup callback TVZXPluginEndPageSetupCallBack: it renews a
// page save that the capture restored and sets the page matrix of the layout
// code. The shifted form also moves the page on the short tab papers.
std::string pageSetupCallback(bool shifted);

// Returns the page-trailer call of TARVOQXPFix.
std::string qxpFixCall();

// Returns the text that puts the interpreter's state aside before a tab-sheet
// body: the feature dictionary, userdict, the dictionary and operand stacks
// and the page device.
std::string stateSave();

// Returns the text that keeps a tab sheet printed on the page from ejecting it.
std::string noEjectText();

// Returns the text that takes the interpreter's state back after a tab-sheet
// body and ends the tab sheet.
std::string stateRestore();

// Returns the text that puts back the page device saved before a tab sheet,
// the page size last, and the layout code's page procedure.
std::string pageDeviceRestore();

}  // namespace tvzx::postscript
