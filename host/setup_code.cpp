#include "setup_code.h"

#include "dsc_keywords.h"
#include "job_paper.h"
#include "line_ends.h"
#include "ppd_keywords.h"
#include "ppd_writer.h"

namespace tvzx::host {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kFeatureOpen = "featurebegin{";
constexpr std::string_view kFeatureClose = "} featurecleanup";
constexpr std::string_view kProcSetName = "procset HostFeatureProcs 1.0 0";

// featurebegin notes the depth of the operand and dictionary stacks;
// featurecleanup runs the feature in a stopped context, forgets its error,
// and takes the stacks back to where they were.
constexpr std::string_view kFeatureBegin =
    "userdict /featurebegin {countdictstack userdict /HostFeatureDicts 3 -1 roll put"
    " count userdict /HostFeatureCount 3 -1 roll put} bind put";
constexpr std::string_view kFeatureCleanup =
    "userdict /featurecleanup {stopped {$error /newerror false put} if"
    " count userdict /HostFeatureCount get sub dup 0 gt {{pop} repeat} {pop} ifelse"
    " countdictstack userdict /HostFeatureDicts get sub dup 0 gt {{end} repeat} {pop} ifelse} bind put";
// A setup section that outlives its prolog (a page range cut out by a
// spooler) still has working brackets.
constexpr std::string_view kPrelude =
    "userdict /featurebegin known not {userdict /featurebegin {} put userdict /featurecleanup {stopped pop} put} if";

// Points per inch, for the custom size operands.
constexpr double kPointsPerInch = 72;
constexpr std::uint32_t kAutoSlot = 0;

std::string line(std::string_view text) { return std::string(text) + std::string(kLineEnd); }

// Writes one selection when the PPD has code for it; returns whether it did.
void appendFeature(std::string& text, const PpdFile& ppd, std::string_view keyword, std::string_view option,
                   std::string_view parameters = {}) {
    const auto code = ppd.invocation(keyword, option);
    if (code) text += featureBlock(keyword, option, parameters, *code);
}

// The operands of the custom size code: width, height, two offsets and the
// orientation.
std::string customSizeOperands(const settings::CoreData& record) {
    const JobPaper paper = jobPaper(record);
    const auto points = [](std::uint32_t microns) { return formatPoints(microns * kPointsPerInch / kMicronsPerInch); };
    return points(paper.widthMicrons) + " " + points(paper.heightMicrons) + " 0 0 0";
}

bool isPaper(const FeatureSelection& selection) {
    return selection.keyword == ppd::kPageSize || selection.keyword == ppd::kCustomPageSize;
}

bool isDriverOwn(const FeatureSelection& selection) {
    return selection.keyword == ppd::kOpCreator || selection.keyword == ppd::kOpPpdVersion;
}

}  // namespace

std::string streamLines(std::string_view code) {
    std::string lines = withLineEnds(code, kLineEnd);
    if (!lines.ends_with(kLineEnd)) lines += kLineEnd;
    return lines;
}

std::string hostProlog() {
    return line(std::string(dsc::kBeginResource) + " " + std::string(kProcSetName)) + line(kFeatureBegin) +
           line(kFeatureCleanup) + line(dsc::kEndResource);
}

std::string setupPrelude() { return line(kPrelude); }

std::string featureBlock(std::string_view keyword, std::string_view option, std::string_view parameters,
                         std::string_view code) {
    std::string text = line(kFeatureOpen);
    text += line(std::string(dsc::kBeginFeature) + " *" + std::string(keyword) + " " + std::string(option));
    if (!parameters.empty()) text += line(parameters);
    if (!code.empty()) text += streamLines(code);
    text += line(dsc::kEndFeature);
    text += line(kFeatureClose);
    return text;
}

std::string setupFeatures(const settings::CoreData& record, const PpdFile& ppd,
                          const std::vector<FeatureSelection>& selections) {
    std::string text;
    // The driver's own features say who made the job, with which PPD.
    for (const std::string_view keyword : {ppd::kOpCreator, ppd::kOpPpdVersion})
        if (const auto option = ppd.defaultOption(keyword)) appendFeature(text, ppd, keyword, *option);

    // The paper comes next. With a tray named, the size must not choose
    // another tray: the page region sets it without tray selection.
    for (const FeatureSelection& selection : selections) {
        if (!isPaper(selection)) continue;
        if (selection.keyword == ppd::kCustomPageSize) {
            appendFeature(text, ppd, selection.keyword, selection.option, customSizeOperands(record));
        } else {
            const bool trayNamed = record.option(settings::FieldId::InputSlot) != kAutoSlot;
            appendFeature(text, ppd, trayNamed ? ppd::kPageRegion : ppd::kPageSize, selection.option);
        }
    }
    for (const FeatureSelection& selection : selections)
        if (!isPaper(selection) && !isDriverOwn(selection)) appendFeature(text, ppd, selection.keyword, selection.option);
    return text;
}

}  // namespace tvzx::host
