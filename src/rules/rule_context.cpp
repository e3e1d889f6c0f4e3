#include "rules/rule_context.h"

#include <algorithm>

namespace tvzx::rules {

bool InProgress::push(settings::FieldId field) {
    if (size_ == kCapacity) return false;
    stack_[size_++] = field;
    ++depth_[static_cast<std::size_t>(field)];
    return true;
}

void InProgress::pop() {
    if (size_ == 0) return;
    --depth_[static_cast<std::size_t>(stack_[--size_])];
}

RuleContext::RuleContext(settings::CoreData& record, settings::FieldSet* changedSet, const DeviceInfo* info,
                         const PrinterConfig* config)
    : settings(&record),
      changed(changedSet != nullptr ? changedSet : &ownChanged_),
      deviceInfo(info),
      snapshot(record),
      printerConfig(config) {}

void RuleContext::noteWritten(settings::FieldId field) {
    const auto now = settings->field(field);
    const auto before = snapshot.field(field);
    changed->set(static_cast<std::size_t>(field), !std::equal(now.begin(), now.end(), before.begin(), before.end()));
}

}  // namespace tvzx::rules
