// The family's one driver: what PAPPL advertises for a printer and which
// callbacks print its jobs. Every list follows the printer's installed
// options, so a printer without a stapler reports no stapling.
#include <algorithm>
#include <cstring>

#include "app.h"
#include "job_attributes.h"
#include "settings/core_data.h"
#include "settings/feature_tables.h"
#include "settings/settings_lines.h"

namespace tvzx::printer_app {
namespace {

using settings::FieldId;

constexpr int kPagesPerMinute = 100;
constexpr int kResolutions[] = {600, 1200};
constexpr int kDefaultResolution = 1200;
// Hundredths of millimetres the printer cannot print at each edge.
constexpr int kMargin = 423;
constexpr const char* kDefaultMedia = "iso_a4_210x297mm";
constexpr const char* kAutoSource = "auto";
constexpr std::string_view kStaple = "staple";
constexpr std::string_view kPunch = "punch";
constexpr std::string_view kTwoSidedLong = "two-sided-long-edge";
constexpr std::string_view kTwoSidedShort = "two-sided-short-edge";
constexpr std::string_view kSupportedSuffix = "-supported";
constexpr std::string_view kDefaultSuffix = "-default";
constexpr const char* kFinishingsAttribute = "finishings";
constexpr const char* kSidesAttribute = "sides";
constexpr const char* kRenderingIntentDefault = "print-rendering-intent-default";
constexpr const char* kRenderingIntentSupported = "print-rendering-intent-supported";
constexpr const char* kAutoIntent = "auto";
constexpr const char* kPreferredAttributesSupported = "preferred-attributes-supported";

bool has(const std::vector<std::string>& values, std::string_view value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// Returns the number PAPPL gives a finishings keyword.
std::string_view finishingsNumber(std::string_view keyword) {
    for (const host::IppChoice& choice : host::ippChoices(kFinishingsAttribute))
        if (choice.keyword == keyword) return choice.number;
    return {};
}

void addKeywords(App& app, ipp_t* attributes, const std::string& name, const std::vector<std::string>& values) {
    if (values.empty()) return;
    std::vector<const char*> texts;
    for (const std::string& value : values) texts.push_back(app.intern(value));
    ippAddStrings(attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, name.c_str(), static_cast<int>(texts.size()), nullptr,
                  texts.data());
}

// The vendor attributes' supported and default values. A choice defaults to
// the setting's own default, which a job leaves alone.
void addVendorAttributes(App& app, ipp_t* attributes, const rules::InstalledOptions& installed,
                         pappl_pr_driver_data_t* data) {
    data->num_vendor = 0;
    for (const VendorAttribute& vendor : vendorAttributes()) {
        const std::string name(vendor.name);
        data->vendor[data->num_vendor++] = app.intern(name);
        switch (vendor.kind) {
        case VendorKind::Choice: {
            const std::vector<std::string> values = supportedValues(vendor.name, installed);
            addKeywords(app, attributes, name + std::string(kSupportedSuffix), values);
            if (!values.empty())
                ippAddString(attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, (name + std::string(kDefaultSuffix)).c_str(),
                             nullptr, values.front().c_str());
            break;
        }
        case VendorKind::Text:
        case VendorKind::Secret:
        case VendorKind::SettingsFile:
            // The longest text the printer takes.
            ippAddInteger(attributes, IPP_TAG_PRINTER, IPP_TAG_INTEGER, (name + std::string(kSupportedSuffix)).c_str(),
                          vendor.kind == VendorKind::SettingsFile ? 64 : 8);
            break;
        }
    }
}

}  // namespace

// The printer shows the message on its panel; the application logs it.
void identify(pappl_printer_t* printer, pappl_identify_actions_t, const char* message) {
    papplLogPrinter(printer, PAPPL_LOGLEVEL_INFO, "Identify-Printer: %s", message != nullptr ? message : "");
}

void fillDriverData(App& app, const PrinterConfig& config, pappl_pr_driver_data_t* data, ipp_t** attributes) {
    const rules::InstalledOptions installed = installedOptions(config);
    data->extension = &app;
    data->printfile_cb = printPostScript;
    data->rstartjob_cb = startRasterJob;
    data->rstartpage_cb = startRasterPage;
    data->rwriteline_cb = writeRasterLine;
    data->rendpage_cb = endRasterPage;
    data->rendjob_cb = endRasterJob;
    data->format = kDocumentFormat;
    std::strncpy(data->make_and_model, kMakeAndModel, sizeof data->make_and_model - 1);
    data->ppm = kPagesPerMinute;
    data->kind = PAPPL_KIND_DOCUMENT;
    data->orient_default = IPP_ORIENT_PORTRAIT;
    data->identify_cb = identify;
    data->identify_supported = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    data->identify_default = PAPPL_IDENTIFY_ACTIONS_DISPLAY;
    data->quality_default = IPP_QUALITY_NORMAL;
    data->color_supported = PAPPL_COLOR_MODE_AUTO | PAPPL_COLOR_MODE_MONOCHROME | PAPPL_COLOR_MODE_COLOR;
    data->color_default = PAPPL_COLOR_MODE_AUTO;
    data->raster_types = PAPPL_PWG_RASTER_TYPE_SGRAY_8 | PAPPL_PWG_RASTER_TYPE_SRGB_8;
    data->num_resolution = 0;
    for (int dpi : kResolutions) {
        data->x_resolution[data->num_resolution] = dpi;
        data->y_resolution[data->num_resolution++] = dpi;
    }
    data->x_default = data->y_default = kDefaultResolution;
    data->left_right = data->bottom_top = kMargin;

    // Two-sided printing needs the duplex unit.
    const std::vector<std::string> sides = supportedValues(kSidesAttribute, installed);
    data->sides_supported = PAPPL_SIDES_ONE_SIDED;
    if (has(sides, kTwoSidedLong)) data->sides_supported |= PAPPL_SIDES_TWO_SIDED_LONG_EDGE;
    if (has(sides, kTwoSidedShort)) data->sides_supported |= PAPPL_SIDES_TWO_SIDED_SHORT_EDGE;
    data->duplex = data->sides_supported != PAPPL_SIDES_ONE_SIDED ? PAPPL_DUPLEX_NORMAL : PAPPL_DUPLEX_NONE;
    data->sides_default = config.duplexDefault && (data->sides_supported & PAPPL_SIDES_TWO_SIDED_LONG_EDGE)
                              ? PAPPL_SIDES_TWO_SIDED_LONG_EDGE
                              : PAPPL_SIDES_ONE_SIDED;

    // The finishings PAPPL knows: staple and punch, where the units take them.
    const std::vector<std::string> finishings = supportedValues(kFinishingsAttribute, installed);
    data->finishings = PAPPL_FINISHINGS_NONE;
    if (has(finishings, finishingsNumber(kStaple))) data->finishings |= PAPPL_FINISHINGS_STAPLE;
    if (has(finishings, finishingsNumber(kPunch))) data->finishings |= PAPPL_FINISHINGS_PUNCH;

    data->num_media = 0;
    for (const std::string& media : supportedValues(kMediaAttribute, installed))
        if (data->num_media < PAPPL_MAX_MEDIA) data->media[data->num_media++] = app.intern(media);
    data->num_source = 0;
    for (const std::string& source : supportedValues(kMediaSourceAttribute, installed))
        if (data->num_source < PAPPL_MAX_SOURCE) data->source[data->num_source++] = app.intern(source);
    data->num_type = 0;
    for (const std::string& type : supportedValues(kMediaTypeAttribute, installed))
        if (data->num_type < PAPPL_MAX_TYPE) data->type[data->num_type++] = app.intern(type);
    data->num_bin = 0;
    for (const std::string& bin : supportedValues(host::kIppOutputBin, installed))
        if (data->num_bin < PAPPL_MAX_BIN) data->bin[data->num_bin++] = app.intern(bin);
    data->bin_default = 0;

    // Every tray is ready with the default paper.
    pwg_media_t* media = pwgMediaForPWG(kDefaultMedia);
    const auto describe = [&](pappl_media_col_t& col, const char* source) {
        std::memset(&col, 0, sizeof col);
        col.bottom_margin = col.top_margin = col.left_margin = col.right_margin = kMargin;
        col.size_width = media->width;
        col.size_length = media->length;
        std::strncpy(col.size_name, kDefaultMedia, sizeof col.size_name - 1);
        std::strncpy(col.source, source, sizeof col.source - 1);
        std::strncpy(col.type, data->num_type > 0 ? data->type[0] : "auto", sizeof col.type - 1);
    };
    describe(data->media_default, data->num_source > 0 ? data->source[0] : kAutoSource);
    for (int i = 0; i < data->num_source; ++i) describe(data->media_ready[i], data->source[i]);

    if (*attributes == nullptr) *attributes = ippNew();
    // The plug-in leaves colour rendering to the printer.
    ippAddString(*attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, kRenderingIntentDefault, nullptr, kAutoIntent);
    ippAddString(*attributes, IPP_TAG_PRINTER, IPP_TAG_KEYWORD, kRenderingIntentSupported, nullptr, kAutoIntent);
    ippAddBoolean(*attributes, IPP_TAG_PRINTER, kPreferredAttributesSupported, 0);
    addVendorAttributes(app, *attributes, installed, data);
}

void applyConfig(App& app, pappl_printer_t* printer, const PrinterConfig& config) {
    // PAPPL answers Get-Printer-Attributes with references to the texts of
    // the printer's driver attributes and writes the answer after letting go
    // of the printer; new driver data frees those attributes, so a client
    // thread answering meanwhile would read freed texts. Every text the
    // attributes hold before they are replaced is kept alive for good (a
    // bounded set: the values of the family's options).
    ipp_t* current = papplPrinterGetDriverAttributes(printer);
    app.pinTexts(current);
    ippDelete(current);
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    ipp_t* attributes = ippNew();
    fillDriverData(app, config, &data, &attributes);
    papplPrinterSetDriverData(printer, &data, attributes);
    ippDelete(attributes);
}

App& appOf(pappl_printer_t* printer) {
    pappl_pr_driver_data_t data;
    papplPrinterGetDriverData(printer, &data);
    return *static_cast<App*>(data.extension);
}

}  // namespace tvzx::printer_app
