#include "pjl/job_information.h"

#include <algorithm>

#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"

namespace tvzx::pjl {
namespace {

constexpr std::string_view kOn = "ON";
constexpr std::string_view kOff = "OFF";
constexpr std::string_view kColorPatchPositionKey = "CBCOLORPATCHPOSITION";
constexpr std::string_view kJobInfoPositionKey = "CBJOBINFOPOSITION";
constexpr std::string_view kModelNameKey = "CBSWMODELNAME";
constexpr std::string_view kJobCommentSwitchKey = "CBSWJOBCOMMENT";
constexpr std::string_view kJobCommentKey = "JOBCOMMENT";
constexpr std::string_view kEmailTimingKey = "SENDEMAILTIMING";
constexpr std::string_view kEmailAddressKey = "SENDEMAILADDRESS";
constexpr std::string_view kControllerDefault = "ControllerDefault";
constexpr std::size_t kCommentLimit = 800;
constexpr std::size_t kCommentPiece = 200;

// The switches of the job information print, in the order the controller
// reads them. The printer and model names share one setting.
constexpr FieldId kSwitchesBeforeModel[] = {FieldId::BackgroundTransparency, FieldId::PIDateTime, FieldId::PIJobName,
                                            FieldId::PIUserName, FieldId::PIPrinterAndDeviceName};
constexpr FieldId kSwitchesAfterModel[] = {FieldId::PIRomVersion, FieldId::PIToneCurve, FieldId::PICharacterDensity,
                                           FieldId::PIScreen, FieldId::PIUseCieColor, FieldId::PIDocumentId};

std::string_view onOff(bool on) { return on ? kOn : kOff; }

// The job information lists its contents only when the printer does not
// choose them itself.
bool showsOwnContents(const CoreData& settings) {
    return isOn(settings, FieldId::JobInfo) && !isOption(settings, FieldId::JobInfo, kControllerDefault);
}

}  // namespace

void writeColorPatch(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const bool on = isOn(settings, FieldId::ColorPatch);
    ticket += formatPjlSet(pjlKeyOf(FieldId::ColorPatch), onOff(on));
    if (on) ticket += formatPjlSet(kColorPatchPositionKey, optionPjlValue(settings, FieldId::ColorPatch));
}

void writeJobInformation(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const bool on = isOn(settings, FieldId::JobInfo);
    ticket += formatPjlSet(pjlKeyOf(FieldId::JobInfo), onOff(on));
    if (!on) return;
    ticket += formatPjlSet(kJobInfoPositionKey, optionPjlValue(settings, FieldId::JobInfo));
    if (!showsOwnContents(settings)) return;
    ticket += formatPjlSet(pjlKeyOf(FieldId::NumLines), pjlNumber(settings, FieldId::NumLines));
    for (FieldId id : kSwitchesBeforeModel) ticket += formatPjlSet(pjlKeyOf(id), onOff(isOn(settings, id)));
    ticket += formatPjlSet(kModelNameKey, onOff(isOn(settings, FieldId::PIPrinterAndDeviceName)));
    for (FieldId id : kSwitchesAfterModel) ticket += formatPjlSet(pjlKeyOf(id), onOff(isOn(settings, id)));
    ticket += formatPjlSet(kJobCommentSwitchKey, onOff(!settings.text(FieldId::PIComment).empty()));
}

void writeJobComments(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    if (!showsOwnContents(settings)) return;
    std::string_view comment = settings.text(FieldId::PIComment);
    comment = comment.substr(0, std::min(comment.size(), kCommentLimit));
    for (int piece = 1; !comment.empty(); ++piece) {
        const std::size_t length = std::min(comment.size(), kCommentPiece);
        ticket += formatPjlSet(std::string(kJobCommentKey) + std::to_string(piece), comment.substr(0, length), true);
        comment.remove_prefix(length);
    }
}

void writeSendEmail(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const std::string_view address = settings.text(FieldId::SendEMailAddress);
    const std::string_view timing = optionPjlValue(settings, FieldId::SendEMail);
    // A notice needs somewhere to go.
    const bool on = isOn(settings, FieldId::SendEMail) && !timing.empty() && !address.empty();
    ticket += formatPjlSet(pjlKeyOf(FieldId::SendEMail), onOff(on));
    if (!on) return;
    ticket += formatPjlSet(kEmailTimingKey, timing);
    ticket += formatPjlSet(kEmailAddressKey, address);
}

}  // namespace tvzx::pjl
