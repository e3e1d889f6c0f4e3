// Form overlays and stored jobs printed before and after the job.
#include "pjl/image_commands.h"
#include "pjl/pjl_format.h"
#include "pjl/table_commands.h"
#include "rules/page_forms.h"

namespace tvzx::pjl {
namespace {

constexpr std::uint32_t kNoForm = 0xFFFFFFFFu;
constexpr std::string_view kPageFormKey = "TARVOOVERLAYPAGE";
constexpr std::size_t kPageFormKeys = 3;
// A repeated form alternates over at most two pages of the stored form.
constexpr std::int64_t kRepeatedFormPages = 2;

void writeStoredJob(std::string& ticket, const CoreData& settings, FieldId job) {
    const settings::OptionTable& table = *settings::fieldDef(job).options;
    const std::uint32_t number = settings.option(job);
    if (number == kNoForm || table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    ticket += formatPjlSet(table.pjlKey, formatNumber(number));
}

}  // namespace

void writeJobForm(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const settings::OptionTable& table = *settings::fieldDef(FieldId::JobForm).options;
    const std::uint32_t form = settings.option(FieldId::JobForm);
    if (form == kNoForm || table.pjlKey.empty() || !isWritten(table.pjlMode)) return;
    std::string value = formatNumber(form) + ":";
    if (isOption(settings, FieldId::FormPrintPattern, "Repeated"))
        value += formatNumber(std::min(settings.number(FieldId::JobFormPageCount), kRepeatedFormPages));
    else if (isOption(settings, FieldId::FormPrintPattern, "Once"))
        value += "0";
    else
        return;
    ticket += formatPjlSet(table.pjlKey, value);
}

void writeFormRepeat(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    if (!isOption(settings, FieldId::FormRepeatMode, "On")) return;
    ticket += formatPjlSet(pjlKeyOf(FieldId::FormRepeatToPage), pjlNumberAtScale(settings, FieldId::FormRepeatToPage, 1));
}

void writePageForms(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    const auto forms = rules::decodePageForms(settings.field(FieldId::PageSpecificForms));
    for (std::size_t i = 0; i < forms.size() && i < kPageFormKeys; ++i) {
        const std::string value = formatNumber(forms[i].form) + ":" + formatNumber(forms[i].firstPage) + "-" +
                                  formatNumber(forms[i].lastPage);
        ticket += formatPjlSet(std::string(kPageFormKey) + std::to_string(i + 1), value);
    }
}

void writePrependJob(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeStoredJob(ticket, settings, FieldId::Prepend);
}

void writeAppendJob(std::string& ticket, const CoreData& settings, const TicketInputs&) {
    writeStoredJob(ticket, settings, FieldId::Append);
}

}  // namespace tvzx::pjl
