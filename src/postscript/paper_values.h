// Paper sizes as the feature dictionary gives them to the layout code: the
// page size in micrometres and, for a custom page the PPD has no name for, in
// exact points; the custom target paper; the paper of one page.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "rules/page_exceptions.h"
#include "settings/core_data.h"

namespace tvzx::postscript {

// TargetPaperSize options with a meaning of their own.
inline constexpr std::uint32_t kTargetAuto = 0;
inline constexpr std::uint32_t kTargetPaperProfile = 1;
inline constexpr std::uint32_t kTargetCustom = 27;

struct PageMicrons {
    std::uint64_t width = 0;
    std::uint64_t height = 0;
};

// Returns the size of the job's page in micrometres: a named PageSize from
// the paper table (an index past the custom size reads as the table's
// default option), the custom size from its two settings rounded half up.
PageMicrons pageMicrons(const settings::CoreData& settings);

// Returns the HiResPageSize value: "[" width " " height "]" in micrometres.
std::string hiResPageSize(const settings::CoreData& settings);

// Returns the HiResPageSizePpdPt value: for a custom page that no named paper
// size of the PPD matches, "[" width " " height "]" in points with sixteen
// decimals; empty in every other case.
std::string hiResPageSizePpdPt(const settings::CoreData& settings);

// Returns the TargetPaperSize option that a paper profile's size stands for.
// The profile's size is a PageSize index: a named size stands two places
// further on in the target list (after Auto and PaperProfile), the custom size
// (25) for the custom target (27); any larger index stands for Auto.
std::uint32_t profileTargetPaper(std::uint32_t profileSize);

// Returns the TPCS value: "[" short " " long "]" of the custom target paper in
// tenths of a millimetre when the effective target size is the custom size;
// empty otherwise.
std::string targetPaperCustomSize(const settings::CoreData& settings);

// Returns the paper argument of the layout code's page-paper call for page p:
// the paper of the first page exception that covers the page ("/" keyword of
// a named size, "[" w " " h "]" of a custom one in tenths of a millimetre),
// else, when the job has page exceptions at all, the target paper
// ("/" keyword, "/None" for Auto and the custom target); empty when there is
// none or p is 0 or above 65535. Tab sheets and inserted sheets are not pages
// of their own and never give the paper.
std::string pagePaperArgument(const settings::CoreData& settings, std::span<const rules::PageException> exceptions,
                              std::uint64_t page);

}  // namespace tvzx::postscript
