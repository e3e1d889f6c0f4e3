// The family's own web page beside PAPPL's: a printer's installed options
// (the PPD's installable options), its network (MAC) address for the
// wake-up and its default duplex. Saved with the printer's configuration,
// which every later job reads; a change asks for an administrator's login
// where the service has an authentication service, as PAPPL's pages do.
#include <cstdlib>
#include <string>

#include "app.h"
#include "ppd/marked_choices.h"

namespace tvzx::printer_app {
namespace {

constexpr const char* kPrinterQuery = "printer";
constexpr const char* kMacAddressField = "MacAddress";
constexpr const char* kDuplexField = "DefaultDuplex";
constexpr const char* kTrue = "True";
constexpr const char* kFalse = "False";

struct FoundPrinter {
    int id = 0;
    pappl_printer_t* printer = nullptr;
};

void findById(pappl_printer_t* printer, void* data) {
    auto* found = static_cast<FoundPrinter*>(data);
    if (found->printer == nullptr && (found->id == 0 || papplPrinterGetID(printer) == found->id)) found->printer = printer;
}

// Returns the printer the page's query names ("printer=ID"), else the first.
pappl_printer_t* pagePrinter(pappl_client_t* client) {
    FoundPrinter found;
    if (const char* query = papplClientGetOptions(client)) {
        const std::string text(query);
        const std::string key = std::string(kPrinterQuery) + "=";
        if (text.starts_with(key)) found.id = std::atoi(text.c_str() + key.size());
    }
    papplSystemIteratePrinters(papplClientGetSystem(client), findById, &found);
    return found.printer;
}

void choice(pappl_client_t* client, const char* value, const std::string& current, const char* label) {
    papplClientHTMLPrintf(client, "<option value=\"%s\"%s>%s</option>", value, current == value ? " selected" : "", label);
}

// Takes the submitted form into the configuration; returns the message for
// the page: empty when it was saved.
std::string saveForm(App& app, pappl_printer_t* printer, int count, cups_option_t* form) {
    std::string text;
    for (const ppd::InstallableOption& option : ppd::installableOptions()) {
        const std::string keyword(option.keyword);
        if (const char* value = cupsGetOption(keyword.c_str(), count, form)) text += keyword + "=" + value + "\n";
    }
    const char* mac = cupsGetOption(kMacAddressField, count, form);
    text += std::string(kMacAddressLine) + "=" + (mac != nullptr ? mac : "") + "\n";
    const char* duplex = cupsGetOption(kDuplexField, count, form);
    text += std::string(kDefaultDuplexLine) + "=" + (duplex != nullptr ? duplex : kFalse) + "\n";
    std::string error;
    const std::optional<PrinterConfig> config = parsePrinterConfig(text, error);
    if (!config) return error;
    if (!app.saveConfig(printer, *config)) return "The configuration could not be saved.";
    applyConfig(app, printer, *config);
    return {};
}

bool optionsPage(pappl_client_t* client, void* data) {
    App& app = *static_cast<App*>(data);
    pappl_printer_t* printer = pagePrinter(client);
    if (printer == nullptr) return papplClientRespond(client, HTTP_STATUS_NOT_FOUND, nullptr, nullptr, 0, 0);
    // Changing the printer needs an administrator; PAPPL answers the
    // client itself when the login is missing or wrong.
    if (!papplClientHTMLAuthorize(client)) return true;

    std::string message;
    if (papplClientGetMethod(client) == HTTP_STATE_POST) {
        cups_option_t* form = nullptr;
        const int count = papplClientGetForm(client, &form);
        if (!papplClientIsValidForm(client, count, form)) message = "The form has expired; please try again.";
        else if (std::string error = saveForm(app, printer, count, form); !error.empty()) message = error;
        else message = "Saved.";
        cupsFreeOptions(count, form);
    }

    const PrinterConfig config = app.config(printer);
    if (!papplClientRespond(client, HTTP_STATUS_OK, nullptr, "text/html", 0, 0)) return false;
    papplClientHTMLHeader(client, "Installed options", 0);
    papplClientHTMLPrintf(client, "<div class=\"content\"><h1 class=\"title\">Installed options of ");
    papplClientHTMLEscape(client, papplPrinterGetName(printer), 0);
    papplClientHTMLPuts(client, "</h1>\n");
    if (!message.empty()) {
        papplClientHTMLPuts(client, "<div class=\"banner\" id=\"message\">");
        papplClientHTMLEscape(client, message.c_str(), 0);
        papplClientHTMLPuts(client, "</div>\n");
    }
    const std::string action = std::string(kOptionsPagePath) + "?" + kPrinterQuery + "=" + std::to_string(papplPrinterGetID(printer));
    papplClientHTMLStartForm(client, action.c_str(), false);
    papplClientHTMLPuts(client, "<table class=\"form\"><tbody>\n");
    for (const ppd::InstallableOption& option : ppd::installableOptions()) {
        const std::string keyword(option.keyword);
        const std::string current = installableChoice(config, keyword);
        papplClientHTMLPrintf(client, "<tr><th><label for=\"%s\">", keyword.c_str());
        papplClientHTMLEscape(client, std::string(option.label).c_str(), 0);
        papplClientHTMLPrintf(client, ":</label></th><td><select name=\"%s\" id=\"%s\">", keyword.c_str(), keyword.c_str());
        if (option.unit) {
            choice(client, kTrue, current, "Installed");
            choice(client, kFalse, current, "Not installed");
        } else {
            for (std::string_view unit : ppd::paperFeedUnitChoices()) {
                const std::string name(unit);
                choice(client, name.c_str(), current, name.c_str());
            }
        }
        papplClientHTMLPuts(client, "</select></td></tr>\n");
    }
    papplClientHTMLPrintf(client,
                          "<tr><th><label for=\"%s\">Network (MAC) address for the wake-up:</label></th><td>"
                          "<input type=\"text\" name=\"%s\" id=\"%s\" value=\"",
                          kMacAddressField, kMacAddressField, kMacAddressField);
    papplClientHTMLEscape(client, config.macAddress.c_str(), 0);
    papplClientHTMLPrintf(client, "\" placeholder=\"00:00:5E:00:53:01\"></td></tr>\n");
    papplClientHTMLPrintf(client, "<tr><th><label for=\"%s\">Two-sided by default:</label></th><td><select name=\"%s\" id=\"%s\">",
                          kDuplexField, kDuplexField, kDuplexField);
    const std::string duplex = config.duplexDefault ? kTrue : kFalse;
    choice(client, kTrue, duplex, "Yes");
    choice(client, kFalse, duplex, "No");
    papplClientHTMLPuts(client, "</select></td></tr>\n"
                                "<tr><th></th><td><input type=\"submit\" id=\"save\" value=\"Save Changes\"></td></tr>\n"
                                "</tbody></table></form></div>\n");
    papplClientHTMLFooter(client);
    return true;
}

}  // namespace

void addOptionsPage(App& app, pappl_system_t* system) {
    papplSystemAddResourceCallback(system, kOptionsPagePath, "text/html", optionsPage, &app);
    papplSystemAddLink(system, "Installed options", kOptionsPagePath, PAPPL_LOPTIONS_NAVIGATION | PAPPL_LOPTIONS_CONFIGURATION);
}

}  // namespace tvzx::printer_app
