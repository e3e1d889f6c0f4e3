#include "postscript/tray_configuration.h"

#include "postscript/feature_dictionary.h"
#include "settings/feature_tables.h"

namespace tvzx::postscript {
namespace {

using settings::CoreData;
using settings::FieldId;

// The media settings of one paper source.
struct MediaFields {
    FieldId type;
    FieldId weight;
    FieldId colour;
    FieldId customColourName;
    FieldId prepunched;
};

struct Tray {
    std::string_view name;       // key in TrayConfiguration
    std::uint32_t inputSlot;     // InputSlot option of the tray
    MediaFields media;
};

constexpr Tray kTrays[] = {
    {"Tray1", 1,
     {FieldId::MediaTypeTray1, FieldId::MediaWeightTray1, FieldId::MediaColorTray1, FieldId::CustomMediaColorNameTray1,
      FieldId::MediaPrepunchedTray1}},
    {"Tray2", 2,
     {FieldId::MediaTypeTray2, FieldId::MediaWeightTray2, FieldId::MediaColorTray2, FieldId::CustomMediaColorNameTray2,
      FieldId::MediaPrepunchedTray2}},
    {"Tray3", 3,
     {FieldId::MediaTypeTray3, FieldId::MediaWeightTray3, FieldId::MediaColorTray3, FieldId::CustomMediaColorNameTray3,
      FieldId::MediaPrepunchedTray3}},
    {"Tray4", 4,
     {FieldId::MediaTypeTray4, FieldId::MediaWeightTray4, FieldId::MediaColorTray4, FieldId::CustomMediaColorNameTray4,
      FieldId::MediaPrepunchedTray4}},
    {"Tray5", 5,
     {FieldId::MediaTypeTray5, FieldId::MediaWeightTray5, FieldId::MediaColorTray5, FieldId::CustomMediaColorNameTray5,
      FieldId::MediaPrepunchedTray5}},
    {"MBT", 6,
     {FieldId::MediaTypeMBT, FieldId::MediaWeightMBT, FieldId::MediaColorMBT, FieldId::CustomMediaColorNameMBT,
      FieldId::MediaPrepunchedMBT}},
};

constexpr MediaFields kMainPaperProfile{FieldId::MainPaperProfileMediaType, FieldId::MainPaperProfileMediaWeight,
                                        FieldId::MainPaperProfileMediaColor,
                                        FieldId::MainPaperProfileCustomMediaColorName,
                                        FieldId::MainPaperProfileMediaPrepunched};

// Keys of one tray's dictionary.
constexpr std::string_view kMediaType = "TVZXMediaType";
constexpr std::string_view kMediaWeight = "TVZXMediaWeight";
constexpr std::string_view kMediaColour = "TVZXMediaColor";
constexpr std::string_view kMediaPrepunched = "TVZXMediaPrepunched";
// The colour option that stands for a colour named by the user.
constexpr std::uint32_t kCustomColour = 14;
// The prepunched option that means true; every other reads as false.
constexpr std::uint32_t kPrepunchedTrue = 1;

// Returns the name of the option at index in the list of the field `list`;
// an index past the list reads as the list's default option.
std::string_view optionName(FieldId list, std::uint32_t index) {
    const settings::OptionTable& table = *settings::fieldDef(list).options;
    if (table.count() == 0) return {};
    if (index >= table.count()) index = table.defaultIndex < table.count() ? table.defaultIndex : 0;
    return table.entries[index].name;
}

std::string colourName(const CoreData& settings, const MediaFields& source, FieldId list) {
    const std::uint32_t colour = settings.option(source.colour);
    if (colour == kCustomColour) {
        const std::string_view custom = settings.text(source.customColourName);
        if (!custom.empty()) return literalName(custom);
    }
    return literalName(optionName(list, colour));
}

void appendTray(std::string& text, const CoreData& settings, const Tray& tray, const MediaFields& source) {
    // The values are read from the source's fields but named by the tray's
    // own option lists: the profile's lists are open and share them.
    text += '/';
    text += tray.name;
    text += " << /";
    text += kMediaType;
    text += ' ';
    text += literalName(optionName(tray.media.type, settings.option(source.type)));
    text += " /";
    text += kMediaWeight;
    text += ' ';
    text += literalName(optionName(tray.media.weight, settings.option(source.weight)));
    text += " /";
    text += kMediaColour;
    text += ' ';
    text += colourName(settings, source, tray.media.colour);
    text += " /";
    text += kMediaPrepunched;
    text += settings.option(source.prepunched) == kPrepunchedTrue ? " true" : " false";
    text += " >>\r\n";
}

}  // namespace

std::string trayConfiguration(const CoreData& settings) {
    const std::uint32_t slot = settings.option(FieldId::InputSlot);
    const bool profileChosen = settings.option(FieldId::MainPaperProfileIndex) != 0;
    std::string text = "\r\n<<\r\n";
    for (const Tray& tray : kTrays)
        appendTray(text, settings, tray, profileChosen && slot == tray.inputSlot ? kMainPaperProfile : tray.media);
    text += ">>";
    return text;
}

}  // namespace tvzx::postscript
