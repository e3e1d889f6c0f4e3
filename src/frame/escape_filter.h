// The escape filter: declines the PostScript pass-through escapes when the
// printer is so configured, and answers the N-up feature query itself when
// the plug-in lays out the pages.
#pragma once

#include "platform/com_abi.h"

namespace tvzx::frame {

// Name of the printer data value that declines the pass-through escapes.
inline constexpr std::string_view kDeclinePassThroughValue = "DeclinePassThroughAndData";

// The DrvEscape hook. Returns 0 for a declined escape, 1 for an N-up query
// the plug-in answers, and the driver's own result otherwise.
win::ULONG TVZX_STDCALL hookEscape(win::SURFOBJ* surface, win::ULONG escape, win::ULONG inSize, void* in,
                                   win::ULONG outSize, void* out);

}  // namespace tvzx::frame
