#include "config/windows_forms.h"

#include <algorithm>
#include <iterator>

namespace tvzx::config {
namespace {

// Sizes as the paper codes define them; inch sizes converted exactly.
constexpr WindowsPaper kWindowsPapers[] = {
    {1, u"Letter", 215900, 279400},
    {2, u"Letter Small", 215900, 279400},
    {3, u"Tabloid", 279400, 431800},
    {4, u"Ledger", 431800, 279400},
    {5, u"Legal", 215900, 355600},
    {6, u"Statement", 139700, 215900},
    {7, u"Executive", 184150, 266700},
    {8, u"A3", 297000, 420000},
    {9, u"A4", 210000, 297000},
    {10, u"A4 Small", 210000, 297000},
    {11, u"A5", 148000, 210000},
    {12, u"B4 (JIS)", 257000, 364000},
    {13, u"B5 (JIS)", 182000, 257000},
    {14, u"Folio", 215900, 330200},
    {15, u"Quarto", 215000, 275000},
    {16, u"10x14", 254000, 355600},
    {17, u"11x17", 279400, 431800},
    {18, u"Note", 215900, 279400},
    {19, u"Envelope #9", 98425, 225425},
    {20, u"Envelope #10", 104775, 241300},
    {21, u"Envelope #11", 114300, 263525},
    {22, u"Envelope #12", 120650, 279400},
    {23, u"Envelope #14", 127000, 292100},
    {24, u"C size sheet", 431800, 558800},
    {25, u"D size sheet", 558800, 863600},
    {26, u"E size sheet", 863600, 1117600},
    {27, u"Envelope DL", 110000, 220000},
    {28, u"Envelope C5", 162000, 229000},
    {29, u"Envelope C3", 324000, 458000},
    {30, u"Envelope C4", 229000, 324000},
    {31, u"Envelope C6", 114000, 162000},
    {32, u"Envelope C65", 114000, 229000},
    {33, u"Envelope B4", 250000, 353000},
    {34, u"Envelope B5", 176000, 250000},
    {35, u"Envelope B6", 176000, 125000},
    {36, u"Envelope", 110000, 230000},
    {37, u"Envelope Monarch", 98425, 190500},
    {38, u"6 3/4 Envelope", 92075, 165100},
    {39, u"US Std Fanfold", 377825, 279400},
    {40, u"German Std Fanfold", 215900, 304800},
    {41, u"German Legal Fanfold", 215900, 330200},
    {42, u"B4 (ISO)", 250000, 353000},
    {43, u"Japanese Postcard", 100000, 148000},
    {44, u"9x11", 228600, 279400},
    {45, u"10x11", 254000, 279400},
    {46, u"15x11", 381000, 279400},
    {47, u"Envelope Invite", 220000, 220000},
    {50, u"Letter Extra", 241300, 304800},
    {51, u"Legal Extra", 241300, 381000},
    {52, u"Tabloid Extra", 296926, 457200},
    {53, u"A4 Extra", 235458, 322326},
    {54, u"Letter Transverse", 215900, 279400},
    {55, u"A4 Transverse", 210000, 297000},
    {56, u"Letter Extra Transverse", 241300, 304800},
    {57, u"Super A", 227000, 356000},
    {58, u"Super B", 305000, 487000},
    {59, u"Letter Plus", 215900, 322326},
    {60, u"A4 Plus", 210000, 330000},
    {61, u"A5 Transverse", 148000, 210000},
    {62, u"B5 (JIS) Transverse", 182000, 257000},
    {63, u"A3 Extra", 322000, 445000},
    {64, u"A5 Extra", 174000, 235000},
    {65, u"B5 (ISO) Extra", 201000, 276000},
    {66, u"A2", 420000, 594000},
    {67, u"A3 Transverse", 297000, 420000},
    {68, u"A3 Extra Transverse", 322000, 445000},
    {69, u"Japanese Double Postcard", 200000, 148000},
    {70, u"A6", 105000, 148000},
    {71, u"Japanese Envelope Kaku #2", 240000, 332000},
    {72, u"Japanese Envelope Kaku #3", 216000, 277000},
    {73, u"Japanese Envelope Chou #3", 120000, 235000},
    {74, u"Japanese Envelope Chou #4", 90000, 205000},
    {75, u"Letter Rotated", 279400, 215900},
    {76, u"A3 Rotated", 420000, 297000},
    {77, u"A4 Rotated", 297000, 210000},
    {78, u"A5 Rotated", 210000, 148000},
    {79, u"B4 (JIS) Rotated", 364000, 257000},
    {80, u"B5 (JIS) Rotated", 257000, 182000},
    {81, u"Japanese Postcard Rotated", 148000, 100000},
    {82, u"Double Japan Postcard Rotated", 148000, 200000},
    {83, u"A6 Rotated", 148000, 105000},
    {84, u"Japan Envelope Kaku #2 Rotated", 332000, 240000},
    {85, u"Japan Envelope Kaku #3 Rotated", 277000, 216000},
    {86, u"Japan Envelope Chou #3 Rotated", 235000, 120000},
    {87, u"Japan Envelope Chou #4 Rotated", 205000, 90000},
    {88, u"B6 (JIS)", 128000, 182000},
    {89, u"B6 (JIS) Rotated", 182000, 128000},
    {90, u"12x11", 304800, 279400},
    {91, u"Japan Envelope You #4", 105000, 235000},
    {92, u"Japan Envelope You #4 Rotated", 235000, 105000},
    {93, u"PRC 16K", 146000, 215000},
    {94, u"PRC 32K", 97000, 151000},
    {95, u"PRC 32K(Big)", 97000, 151000},
    {96, u"PRC Envelope #1", 102000, 165000},
    {97, u"PRC Envelope #2", 102000, 176000},
    {98, u"PRC Envelope #3", 125000, 176000},
    {99, u"PRC Envelope #4", 110000, 208000},
    {100, u"PRC Envelope #5", 110000, 220000},
    {101, u"PRC Envelope #6", 120000, 230000},
    {102, u"PRC Envelope #7", 160000, 230000},
    {103, u"PRC Envelope #8", 120000, 309000},
    {104, u"PRC Envelope #9", 229000, 324000},
    {105, u"PRC Envelope #10", 324000, 458000},
    {106, u"PRC 16K Rotated", 215000, 146000},
    {107, u"PRC 32K Rotated", 151000, 97000},
    {108, u"PRC 32K(Big) Rotated", 151000, 97000},
    {109, u"PRC Envelope #1 Rotated", 165000, 102000},
    {110, u"PRC Envelope #2 Rotated", 176000, 102000},
    {111, u"PRC Envelope #3 Rotated", 176000, 125000},
    {112, u"PRC Envelope #4 Rotated", 208000, 110000},
    {113, u"PRC Envelope #5 Rotated", 220000, 110000},
    {114, u"PRC Envelope #6 Rotated", 230000, 120000},
    {115, u"PRC Envelope #7 Rotated", 230000, 160000},
    {116, u"PRC Envelope #8 Rotated", 309000, 120000},
    {117, u"PRC Envelope #9 Rotated", 324000, 229000},
};

constexpr bool inCodeOrder() {
    for (std::size_t i = 1; i < std::size(kWindowsPapers); ++i)
        if (kWindowsPapers[i - 1].code >= kWindowsPapers[i].code) return false;
    return true;
}
static_assert(inCodeOrder());
static_assert(kWindowsPapers[0].code == kFirstWindowsPaper);
static_assert(std::end(kWindowsPapers)[-1].code == kLastWindowsPaper);

}  // namespace

std::span<const WindowsPaper> windowsPapers() { return kWindowsPapers; }

const WindowsPaper* windowsPaper(std::int16_t code) {
    const auto it = std::lower_bound(std::begin(kWindowsPapers), std::end(kWindowsPapers), code,
                                     [](const WindowsPaper& paper, std::int16_t c) { return paper.code < c; });
    return it != std::end(kWindowsPapers) && it->code == code ? &*it : nullptr;
}

}  // namespace tvzx::config
