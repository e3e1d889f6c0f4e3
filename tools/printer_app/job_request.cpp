// Refuses a job at its request when a value it names is one the printer
// cannot do, with IPP's status for unsupported values, so nothing is
// printed: the same mapping the job prints through, with the printer's
// installed options.
#include "app.h"
#include "job_attributes.h"

namespace tvzx::printer_app {
namespace {

constexpr const char* kMediaCol = "media-col";
constexpr const char* kMediaSizeName = "media-size-name";
constexpr const char* kMediaSize = "media-size";
constexpr const char* kXDimension = "x-dimension";
constexpr const char* kYDimension = "y-dimension";
constexpr std::string_view kDpi = "dpi";

struct RequestAttribute {
    JobAttribute job;
    ipp_attribute_t* source;  // what the refusal names
};

// Returns the attribute's values as the mapping reads them.
std::vector<std::string> valueTexts(ipp_attribute_t* attribute) {
    std::vector<std::string> values;
    const int count = ippGetCount(attribute);
    for (int i = 0; i < count; ++i) {
        switch (ippGetValueTag(attribute)) {
        case IPP_TAG_INTEGER:
        case IPP_TAG_ENUM:
            values.push_back(std::to_string(ippGetInteger(attribute, i)));
            break;
        case IPP_TAG_BOOLEAN:
            values.emplace_back(ippGetBoolean(attribute, i) ? "true" : "false");
            break;
        case IPP_TAG_RESOLUTION: {
            int y = 0;
            ipp_res_t units{};
            values.push_back(std::to_string(ippGetResolution(attribute, i, &y, &units)) + std::string(kDpi));
            break;
        }
        default: {
            const char* text = ippGetString(attribute, i, nullptr);
            values.emplace_back(text != nullptr ? text : "");
        }
        }
    }
    return values;
}

// The media members of a media-col value, as the attributes they stand for.
void addMediaCol(ipp_attribute_t* attribute, std::vector<RequestAttribute>& found) {
    ipp_t* col = ippGetCollection(attribute, 0);
    if (col == nullptr) return;
    if (ipp_attribute_t* name = ippFindAttribute(col, kMediaSizeName, IPP_TAG_ZERO)) {
        found.push_back({{std::string(kMediaAttribute), valueTexts(name)}, attribute});
    } else if (ipp_attribute_t* size = ippFindAttribute(col, kMediaSize, IPP_TAG_BEGIN_COLLECTION)) {
        ipp_t* dimensions = ippGetCollection(size, 0);
        ipp_attribute_t* x = ippFindAttribute(dimensions, kXDimension, IPP_TAG_INTEGER);
        ipp_attribute_t* y = ippFindAttribute(dimensions, kYDimension, IPP_TAG_INTEGER);
        pwg_media_t* media = x && y ? pwgMediaForSize(ippGetInteger(x, 0), ippGetInteger(y, 0)) : nullptr;
        found.push_back({{std::string(kMediaAttribute), {media ? media->pwg : "custom"}}, attribute});
    }
    for (std::string_view member : {kMediaSourceAttribute, kMediaTypeAttribute})
        if (ipp_attribute_t* value = ippFindAttribute(col, std::string(member).c_str(), IPP_TAG_ZERO))
            found.push_back({{std::string(member), valueTexts(value)}, attribute});
}

}  // namespace

bool checkJobRequest(pappl_client_t* client, void*) {
    const ipp_op_t operation = papplClientGetOperation(client);
    if (operation != IPP_OP_PRINT_JOB && operation != IPP_OP_CREATE_JOB && operation != IPP_OP_VALIDATE_JOB) return false;
    pappl_printer_t* printer = papplClientGetPrinter(client);
    if (printer == nullptr) return false;
    App& app = appOf(printer);
    const rules::InstalledOptions installed = installedOptions(app.config(printer));

    std::vector<RequestAttribute> found;
    ipp_t* request = papplClientGetRequest(client);
    for (ipp_attribute_t* attribute = ippFirstAttribute(request); attribute; attribute = ippNextAttribute(request)) {
        const char* name = ippGetName(attribute);
        if (name == nullptr) continue;
        if (std::string_view(name) == kMediaCol) addMediaCol(attribute, found);
        else if (isMappedAttribute(name)) found.push_back({{name, valueTexts(attribute)}, attribute});
    }

    const char* user = papplClientGetUsername(client);
    JobContext context{user != nullptr ? user : "", [&app](std::string_view name) { return app.savedSettings(name); }, {}};
    for (const RequestAttribute& attribute : found) {
        const JobEdits mapped = mapJobAttributes(std::span<const JobAttribute>(&attribute.job, 1), context);
        std::string reason;
        if (mapped.refusal) {
            reason = mapped.refusal->reason;
        } else {
            std::vector<std::string> edits;
            for (const host::SettingsEdit& edit : mapped.edits)
                if (edit.singleAssignment) edits.push_back(edit.text);
            if (!editsTake(edits, installed)) reason = "the printer's installed options cannot do this";
        }
        if (reason.empty()) continue;
        papplClientRespondIPP(client, IPP_STATUS_ERROR_ATTRIBUTES_OR_VALUES, "%s: %s", attribute.job.name.c_str(), reason.c_str());
        papplClientRespondIPPUnsupported(client, attribute.source);
        return true;
    }
    return false;
}

}  // namespace tvzx::printer_app
