// The relay settings reader on arbitrary block bytes, and the user
// authentication writer that sends what it reads.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>

#include "pjl/authentication.h"
#include "pjl/relay_settings.h"
#include "settings/core_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tvzx;
    const std::vector<pjl::RelayField> fields = pjl::parseRelaySettings(std::span(data, size));

    // Whatever was read can be written again and reads back the same.
    const std::optional<std::string> text = pjl::formatRelaySettings(fields);
    if (!text) std::abort();
    if (text->size() < pjl::kRelaySettingsSize) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(text->data());
        if (pjl::parseRelaySettings(std::span(bytes, text->size())) != fields) std::abort();
    }

    // The same bytes as the block of a relay server login.
    settings::CoreData record = settings::defaultRecord();
    record.setOption(settings::FieldId::UserAuthentication, 3);
    const std::span<std::uint8_t> block = record.field(settings::FieldId::RelayServerSettings);
    std::copy_n(data, std::min(size, block.size()), block.begin());
    std::string ticket;
    pjl::writeUserAuthentication(ticket, record, {});
    return 0;
}
