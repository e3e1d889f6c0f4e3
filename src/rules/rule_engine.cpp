#include "rules/rule_engine.h"

#include <algorithm>
#include <array>
#include <vector>

#include "common/byte_order.h"
#include "rules/compiled_rules.h"
#include "rules/installed_options.h"
#include "rules/rule_context.h"
#include "rules/setters.h"

namespace tvzx::rules {
namespace {

using F = settings::FieldId;

constexpr std::size_t kNumberSize = 4;

// Returns whether the run changed any byte of the record.
bool recordChanged(const RuleContext& context) { return context.settings->bytes != context.snapshot.bytes; }

// Writes a value ahead of the setters and keeps the setting out of reach of
// their rules for the rest of the run.
void preset(RuleContext& context, F field, std::span<const std::uint8_t> stored) {
    writeStored(*context.settings, field, stored);
    context.inProgress.push(field);
    context.changed->set(static_cast<std::size_t>(field));
}

void preset(RuleContext& context, F field, std::uint32_t value) {
    std::array<std::uint8_t, kNumberSize> stored{};
    writeBigEndian(stored.data(), stored.size(), value);
    // A number is written in the size of its field: its low bytes, most significant first.
    const std::size_t size = std::min<std::size_t>(settings::fieldDef(field).byteSize(), kNumberSize);
    preset(context, field, std::span<const std::uint8_t>(stored).last(size));
}

std::span<const std::uint8_t> textBytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

struct CompiledLimit {
    const CapabilityLimit* source;
    CompiledSet values;
    std::uint32_t replacement;
};

// The settings each missing unit rules out, with their option names looked up once.
const std::vector<CompiledLimit>& compiledLimits() {
    static const std::vector<CompiledLimit> limits = [] {
        std::vector<CompiledLimit> out;
        std::string fault;
        for (const CapabilityLimit& limit : capabilityLimits()) {
            const auto values = compileSet(limit.field, limit.values, fault);
            const auto replacement = compileReplacement(limit.field, limit.to, fault);
            if (values && replacement) out.push_back({&limit, *values, *replacement});
        }
        return out;
    }();
    return limits;
}

}  // namespace

bool applyPublicSettings(settings::CoreData& record, const PublicSettings& values, const InstalledOptions& installed,
                         settings::FieldSet* changed) {
    const PrinterConfig config{installed};
    RuleContext context(record, changed, nullptr, &config);
    // A tray the paper-feed unit does not provide is dropped.
    const bool slotFitted = values.inputSlot && inputSlotFitted(installed, *values.inputSlot);

    // Every value is in place before any setter runs, so no rule undoes a value the driver gave.
    if (values.pageSizeName) preset(context, F::PageSizeName, textBytes(*values.pageSizeName));
    if (values.pageSizeType) preset(context, F::PageSizeType, *values.pageSizeType);
    if (values.customWidth) preset(context, F::CustomPageSizeWidth, *values.customWidth);
    if (values.customHeight) preset(context, F::CustomPageSizeHeight, *values.customHeight);
    if (values.pageSize) preset(context, F::PageSize, *values.pageSize);
    if (values.orientation) preset(context, F::Orientation, *values.orientation);
    if (slotFitted) preset(context, F::InputSlot, *values.inputSlot);
    if (values.resolution) preset(context, F::Resolution, *values.resolution);
    if (values.numCopies) preset(context, F::NumCopies, *values.numCopies);

    // Then the paper, the orientation, the tray, the resolution and the copies, each through its setter.
    if (values.pageSizeName) runPlainSetter(context, F::PageSizeName, textBytes(*values.pageSizeName));
    if (values.pageSizeType) runPlainSetter(context, F::PageSizeType, *values.pageSizeType);
    if (values.customWidth) runPlainSetter(context, F::CustomPageSizeWidth, *values.customWidth);
    if (values.customHeight) runPlainSetter(context, F::CustomPageSizeHeight, *values.customHeight);
    if (values.pageSize) runSetter(context, F::PageSize, *values.pageSize);
    if (values.orientation) runSetter(context, F::Orientation, *values.orientation);
    if (slotFitted) runSetter(context, F::InputSlot, *values.inputSlot);
    if (values.resolution) runSetter(context, F::Resolution, *values.resolution);
    if (values.numCopies) runPlainSetter(context, F::NumCopies, *values.numCopies);
    return recordChanged(context);
}

bool setDuplexThroughRules(settings::CoreData& record, bool duplex, settings::FieldSet* changed) {
    const auto want = settings::fieldDef(F::Duplex).options->find(duplex ? "True" : "False");
    if (!want || record.option(F::Duplex) == *want) return false;
    RuleContext context(record, changed, nullptr, nullptr);
    preset(context, F::Duplex, *want);
    runSetter(context, F::Duplex, *want);
    return recordChanged(context);
}

bool applyInstalledOptions(settings::CoreData& record, const InstalledOptions& installed, settings::FieldSet* changed) {
    // A block that does not describe the printer rules nothing out.
    if (!configurationGiven(installed)) return false;
    const PrinterConfig config{installed};
    RuleContext context(record, changed, nullptr, &config);
    for (const CompiledLimit& limit : compiledLimits()) {
        const CapabilityLimit& source = *limit.source;
        if (hasCapability(installed, source.needs)) continue;
        if (!matches(limit.values, record, source.field, {})) continue;
        correct(context, source.field, source.to.put, limit.replacement);
    }
    return recordChanged(context);
}

bool setSetting(settings::CoreData& record, settings::FieldId field, std::uint32_t value, settings::FieldSet* changed,
                const RuleInputs& inputs) {
    RuleContext context(record, changed, inputs.deviceInfo, inputs.printerConfig);
    runSetter(context, field, value);
    return recordChanged(context);
}

bool setSettingBytes(settings::CoreData& record, settings::FieldId field, std::span<const std::uint8_t> stored,
                     settings::FieldSet* changed, const RuleInputs& inputs) {
    RuleContext context(record, changed, inputs.deviceInfo, inputs.printerConfig);
    runSetter(context, field, stored);
    return recordChanged(context);
}

}  // namespace tvzx::rules
