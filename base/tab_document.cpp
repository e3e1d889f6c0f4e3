#include "base/tab_document.h"

#include <algorithm>
#include <cstdio>

#include "rules/page_exceptions.h"
#include "settings/field_id.h"

namespace tvzx::base {
namespace {

using settings::FieldId;

constexpr double kPointsPerMillimetre = 72.0 / 25.4;
// Lengths of the tab settings are kept in ten-thousandths of a millimetre,
// font sizes in tenths of a point.
constexpr double kLengthScale = 10000.0;
constexpr double kFontScale = 10.0;
// The upright sheet the inch tab papers extend: Letter.
constexpr double kLetterWidth = 612;
constexpr double kLetterHeight = 792;
constexpr std::uint32_t kOptionOn = 1;
constexpr std::uint32_t kOrientationVertical = 3;

struct TabFields {
    FieldId pageSize, count, above, height, below, fontName, bold, italic, fontSize, orientation, textPosition;
};

constexpr TabFields kTab1{FieldId::Tab1PageSize,    FieldId::Tab1NumOfTabs, FieldId::Tab1SpaceAbove,
                          FieldId::Tab1Height,      FieldId::Tab1SpaceBelow, FieldId::Tab1FontName,
                          FieldId::Tab1FontBold,    FieldId::Tab1FontItalic, FieldId::Tab1FontSize,
                          FieldId::Tab1Orientation, FieldId::Tab1TextPosition};
constexpr TabFields kTab2{FieldId::Tab2PageSize,    FieldId::Tab2NumOfTabs, FieldId::Tab2SpaceAbove,
                          FieldId::Tab2Height,      FieldId::Tab2SpaceBelow, FieldId::Tab2FontName,
                          FieldId::Tab2FontBold,    FieldId::Tab2FontItalic, FieldId::Tab2FontSize,
                          FieldId::Tab2Orientation, FieldId::Tab2TextPosition};

double lengthPoints(const settings::CoreData& job, FieldId field) {
    return static_cast<double>(job.number(field)) / kLengthScale * kPointsPerMillimetre;
}

// Returns the PageSize option of the same name as the tab paper option.
std::uint32_t pageSizeOfTabPaper(const settings::CoreData& job, FieldId tabPaper) {
    const settings::OptionTable* tabPapers = settings::fieldDef(tabPaper).options;
    const settings::OptionTable* pageSizes = settings::fieldDef(FieldId::PageSize).options;
    const std::uint32_t option = job.option(tabPaper);
    if (tabPapers == nullptr || pageSizes == nullptr || option >= tabPapers->count()) return 0;
    return pageSizes->find(tabPapers->entries[option].name).value_or(0);
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

// Returns a font name that is a plain PostScript name; Helvetica otherwise.
std::string fontNameOf(std::string_view name, bool bold, bool italic) {
    const bool plain = !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
    });
    std::string font = plain ? std::string(name) : "Helvetica";
    if (bold || italic) font += std::string("-") + (bold ? "Bold" : "") + (italic ? "Oblique" : "");
    return font;
}

}  // namespace

TabPaperSettings tabPaperSettings(const settings::CoreData& job, std::uint8_t paperSelector) {
    const TabFields& fields = paperSelector == 1 ? kTab2 : kTab1;
    TabPaperSettings paper;
    paper.pageSize = pageSizeOfTabPaper(job, fields.pageSize);
    if (const settings::PaperRow* row = settings::lookupPaper(paper.pageSize)) {
        paper.widthPoints = row->widthPoints;
        paper.heightPoints = row->heightPoints;
        if (row->family == settings::UnitFamily::Inch) {
            paper.sheetWidthPoints = kLetterWidth;
            paper.sheetHeightPoints = kLetterHeight;
        }
    }
    paper.tabCount = std::max<std::uint32_t>(1, static_cast<std::uint32_t>(job.number(fields.count)));
    paper.spaceAbovePoints = lengthPoints(job, fields.above);
    paper.tabHeightPoints = lengthPoints(job, fields.height);
    paper.spaceBelowPoints = lengthPoints(job, fields.below);
    paper.fontPoints = static_cast<double>(job.number(fields.fontSize)) / kFontScale;
    paper.fontName = std::string(job.text(fields.fontName));
    paper.bold = job.option(fields.bold) == kOptionOn;
    paper.italic = job.option(fields.italic) == kOptionOn;
    paper.orientation = job.option(fields.orientation);
    paper.textOffsetPoints = lengthPoints(job, fields.textPosition);
    return paper;
}

LabelPlacement placeLabel(const TabPaperSettings& paper, std::uint32_t tabIndex) {
    LabelPlacement place;
    const std::uint32_t index = tabIndex % paper.tabCount;
    const double start = paper.spaceAbovePoints + index * paper.tabHeightPoints;
    const double baseWidth = paper.sheetWidthPoints;
    const double baseHeight = paper.sheetHeightPoints;
    // A paper wider than its sheet carries the tabs on the right edge, one
    // taller than its sheet along the top.
    place.alongTop = paper.widthPoints <= baseWidth + 1;
    if (place.alongTop) {
        place.left = start;
        place.right = std::min(start + paper.tabHeightPoints, paper.widthPoints);
        place.bottom = baseHeight;
        place.top = paper.heightPoints;
    } else {
        place.left = baseWidth;
        place.right = paper.widthPoints;
        place.top = paper.heightPoints - start;
        place.bottom = std::max(0.0, place.top - paper.tabHeightPoints);
    }
    return place;
}

settings::CoreData tabDocumentSettings(const settings::CoreData& job, const TabPaperSettings& paper) {
    settings::CoreData record = job;
    // The tab document asks for no tab sheets of its own.
    const auto empty = rules::encodePageExceptions({});
    std::span<std::uint8_t> exceptions = record.field(FieldId::PageSpecificTrays);
    std::copy_n(empty.block.begin(), std::min(exceptions.size(), empty.block.size()), exceptions.begin());
    record.setOption(FieldId::PageSize, paper.pageSize);
    record.setOption(FieldId::Orientation, 0);
    record.setOption(FieldId::Layout, 0);
    record.setOption(FieldId::NUpCount, 0);
    return record;
}

std::string postScriptString(std::string_view label) {
    std::string text = "(";
    for (const char c : label) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '(' || c == ')' || c == '\\') {
            text += '\\';
            text += c;
        } else if (byte >= 0x20 && byte < 0x7F) {
            text += c;
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", byte);
            text += octal;
        }
    }
    return text + ")";
}

std::string tabDocument(const TabPaperSettings& paper, const LabelPlacement& place, std::string_view label,
                        std::string_view title) {
    const std::string width = number(paper.widthPoints);
    const std::string height = number(paper.heightPoints);
    const std::string font = fontNameOf(paper.fontName, paper.bold, paper.italic);
    // The label runs across the tab; on a right-edge tab it may be turned
    // to run along it.
    const bool turned = !place.alongTop && paper.orientation == kOrientationVertical;
    const double centreX = (place.left + place.right) / 2 + (place.alongTop ? paper.textOffsetPoints : 0);
    const double centreY = (place.bottom + place.top) / 2 - (place.alongTop ? 0 : paper.textOffsetPoints);
    std::string document;
    document += "%!PS-Adobe-3.0\n";
    document += "%%Title: " + std::string(title) + "\n";
    document += "%%Creator: tvzx tab document\n";
    document += "%%Pages: 1\n";
    document += "%%BoundingBox: 0 0 " + width + " " + height + "\n";
    document += "%%EndComments\n";
    document += "%%BeginProlog\n";
    document += "/TabLabelFont { /" + font + " dup FontDirectory exch known {findfont} {pop /Helvetica findfont} ifelse " +
                number(paper.fontPoints) + " scalefont setfont } bind def\n";
    document += "%%EndProlog\n";
    document += "%%BeginSetup\n";
    document += "%%EndSetup\n";
    document += "%%Page: 1 1\n";
    document += "%%PageBoundingBox: 0 0 " + width + " " + height + "\n";
    document += "%%BeginPageSetup\n";
    document += "%%EndPageSetup\n";
    document += "1 setlinecap 1 setlinejoin\n";
    document += "gsave TabLabelFont " + number(centreX) + " " + number(centreY) + " translate";
    if (turned) document += " -90 rotate";
    document += "\n" + postScriptString(label) + " dup stringwidth pop 2 div neg " + number(-paper.fontPoints / 3) +
                " moveto show grestore\n";
    document += "showpage\n";
    document += "%%PageTrailer\n";
    document += "%%Trailer\n";
    document += "%%EOF\n";
    return document;
}

}  // namespace tvzx::base
