// The binary interface between the plug-in module and the PostScript driver
// that loads it: COM identities, result codes, the interfaces the two sides
// call through, and the driver structures handed across. Everything here is
// laid out as on Windows x64; an interface is a struct whose first member
// points to a table of function pointers, each taking the interface itself
// as its first argument, in the slot order of the platform's declaration.
// The static_asserts pin every layout that crosses the boundary.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/windows_types.h"

// Calling convention of everything that crosses the boundary: the platform's
// on Windows, the compiler's default elsewhere (the simulated host is built
// by the same compiler as the module).
#if defined(_WIN32)
#define TVZX_STDCALL __stdcall
#else
#define TVZX_STDCALL
#endif

namespace tvzx::win {

using HRESULT = std::int32_t;
using ULONG_PTR = std::uint64_t;
using LONG_PTR = std::int64_t;
using FLONG = std::uint32_t;
using HSURF = void*;
using DHPDEV = void*;

static_assert(sizeof(void*) == 8, "the driver boundary is laid out for 64-bit pointers");

// GUIDs

struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID& a, const GUID& b) {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i]) return false;
        return true;
    }
};
static_assert(sizeof(GUID) == 16);
static_assert(offsetof(GUID, Data4) == 8);

namespace detail {

consteval std::uint32_t hexDigit(char c) {
    if (c >= '0' && c <= '9') return static_cast<std::uint32_t>(c - '0');
    if (c >= 'A' && c <= 'F') return static_cast<std::uint32_t>(c - 'A' + 10);
    if (c >= 'a' && c <= 'f') return static_cast<std::uint32_t>(c - 'a' + 10);
    throw "not a hexadecimal digit";
}

consteval std::uint32_t hexValue(std::string_view text, std::size_t at, std::size_t digits) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < digits; ++i) value = value * 16 + hexDigit(text[at + i]);
    return value;
}

}  // namespace detail

// Returns the GUID written in its registry form "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
// any other form fails to compile.
consteval GUID makeGuid(std::string_view text) {
    constexpr std::size_t kTextLength = 36;
    if (text.size() != kTextLength || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        throw "not a GUID in registry form";
    GUID guid{};
    guid.Data1 = detail::hexValue(text, 0, 8);
    guid.Data2 = static_cast<std::uint16_t>(detail::hexValue(text, 9, 4));
    guid.Data3 = static_cast<std::uint16_t>(detail::hexValue(text, 14, 4));
    // The last eight bytes are written as two groups: two bytes, then six.
    constexpr std::size_t kByteStarts[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<std::uint8_t>(detail::hexValue(text, kByteStarts[i], 2));
    return guid;
}

inline constexpr GUID IID_IUnknown = makeGuid("00000000-0000-0000-C000-000000000046");
inline constexpr GUID IID_IClassFactory = makeGuid("00000001-0000-0000-C000-000000000046");
inline constexpr GUID IID_IPrintOemPS = makeGuid("688342B5-8E1A-11D1-881F-00C04FB961EC");
inline constexpr GUID IID_IPrintOemPS2 = makeGuid("BECF7F34-51B3-46C9-8A1C-18679BD21F36");
inline constexpr GUID IID_IPrintOemDriverPS = makeGuid("D90060C7-8E1A-11D1-881F-00C04FB961EC");
inline constexpr GUID IID_IPrintCorePS2 = makeGuid("CDBB0B0B-A917-40D7-9FBF-483B3BE7EF22");
inline constexpr GUID IID_IPrintCoreHelperPS = makeGuid("C2C14F6F-95D3-4D63-96CF-6BD9E6C907C2");
inline constexpr GUID CLSID_OEMRENDER = makeGuid("6D6ABF26-9F38-11D1-882A-00C04FB961EC");

// Result codes

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002u);
inline constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003u);
inline constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = static_cast<HRESULT>(0x80040110u);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = static_cast<HRESULT>(0x80040111u);

// Returns whether a result code reports success.
constexpr bool succeeded(HRESULT result) { return result >= 0; }

// Result of an injection whose text the spool stream did not take.
inline constexpr DWORD ERROR_WRITE_FAULT = 29;
// Result of an injection index the plug-in does not handle.
inline constexpr DWORD ERROR_NOT_SUPPORTED = 50;

// Geometry and driver structures

struct POINTL {
    LONG x;
    LONG y;
};
struct SIZEL {
    LONG cx;
    LONG cy;
};
struct RECTL {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
static_assert(sizeof(POINTL) == 8 && sizeof(SIZEL) == 8 && sizeof(RECTL) == 16);

struct CIECHROMA {
    LONG x;
    LONG y;
    LONG Y;
};

struct COLORINFO {
    CIECHROMA Red;
    CIECHROMA Green;
    CIECHROMA Blue;
    CIECHROMA Cyan;
    CIECHROMA Magenta;
    CIECHROMA Yellow;
    CIECHROMA AlignmentWhite;
    LONG RedGamma;
    LONG GreenGamma;
    LONG BlueGamma;
    LONG MagentaInCyanDye;
    LONG YellowInCyanDye;
    LONG CyanInMagentaDye;
    LONG YellowInMagentaDye;
    LONG CyanInYellowDye;
    LONG MagentaInYellowDye;
};
static_assert(sizeof(COLORINFO) == 120);

// The device capabilities the driver fills at device creation.
struct GDIINFO {
    ULONG ulVersion;
    ULONG ulTechnology;
    ULONG ulHorzSize;  // millimetres, or micrometres when written as a negative number
    ULONG ulVertSize;
    ULONG ulHorzRes;   // imageable width in device pixels
    ULONG ulVertRes;
    ULONG cBitsPixel;
    ULONG cPlanes;
    ULONG ulNumColors;
    ULONG flRaster;
    ULONG ulLogPixelsX;  // resolution in dots per inch
    ULONG ulLogPixelsY;
    ULONG flTextCaps;
    ULONG ulDACRed;
    ULONG ulDACGreen;
    ULONG ulDACBlue;
    ULONG ulAspectX;
    ULONG ulAspectY;
    ULONG ulAspectXY;
    LONG xStyleStep;
    LONG yStyleStep;
    LONG denStyleStep;
    POINTL ptlPhysOffset;  // top-left of the imageable area on the physical page
    SIZEL szlPhysSize;     // physical page in device pixels
    ULONG ulNumPalReg;
    COLORINFO ciDevice;
    ULONG ulDevicePelsDPI;
    ULONG ulPrimaryOrder;
    ULONG ulHTPatternSize;
    ULONG ulHTOutputFormat;
    ULONG flHTFlags;
    ULONG ulVRefresh;
    ULONG ulBltAlignment;
    ULONG ulPanningHorzRes;
    ULONG ulPanningVertRes;
    ULONG xPanningAlignment;
    ULONG yPanningAlignment;
    ULONG cxHTPat;
    ULONG cyHTPat;
    BYTE* pHTPatA;
    BYTE* pHTPatB;
    BYTE* pHTPatC;
    ULONG flShadeBlend;
    ULONG ulPhysicalPixelCharacteristics;
    ULONG ulPhysicalPixelGamma;
};
static_assert(offsetof(GDIINFO, ulHorzSize) == 8);
static_assert(offsetof(GDIINFO, ulHorzRes) == 16);
static_assert(offsetof(GDIINFO, ulLogPixelsX) == 40);
static_assert(offsetof(GDIINFO, ulLogPixelsY) == 44);
static_assert(offsetof(GDIINFO, ptlPhysOffset) == 88);
static_assert(offsetof(GDIINFO, szlPhysSize) == 96);
static_assert(offsetof(GDIINFO, ciDevice) == 108);
static_assert(offsetof(GDIINFO, pHTPatA) == 280);
static_assert(offsetof(GDIINFO, ulPhysicalPixelGamma) == 312);
static_assert(sizeof(GDIINFO) == 320);

// A drawing surface as the graphics engine hands it to the driver's hooks.
struct SURFOBJ {
    void* dhsurf;
    HSURF hsurf;
    DHPDEV dhpdev;  // the driver's device: begins with the DEVOBJ below
    void* hdev;
    SIZEL sizlBitmap;
    ULONG cjBits;
    void* pvBits;
    void* pvScan0;
    LONG lDelta;
    ULONG iUniq;
    ULONG iBitmapFormat;
    std::uint16_t iType;
    std::uint16_t fjBitmap;
};
static_assert(offsetof(SURFOBJ, dhpdev) == 16);
static_assert(offsetof(SURFOBJ, sizlBitmap) == 32);
static_assert(offsetof(SURFOBJ, pvBits) == 48);
static_assert(sizeof(SURFOBJ) == 80);

// The driver's device object as plug-ins see it. The driver keeps it at the
// start of its own device, so a surface's dhpdev and the font calls' device
// handle both point to it. pdevOEM holds what the plug-in's EnablePDEV
// returned; pOEMDM the plug-in's private DEVMODE block.
struct DEVOBJ {
    DWORD dwSize;
    void* pdevOEM;
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;
    DEVMODEW* pPublicDM;
    void* pOEMDM;
    void* pDrvProcs;
};
static_assert(offsetof(DEVOBJ, pdevOEM) == 8);
static_assert(offsetof(DEVOBJ, hPrinter) == 24);
static_assert(offsetof(DEVOBJ, pPublicDM) == 40);
static_assert(offsetof(DEVOBJ, pOEMDM) == 48);
static_assert(sizeof(DEVOBJ) == 64);

using PFN = void (*)();

// One entry of a DDI function table: the function's index and the function.
struct DRVFN {
    ULONG iFunc;
    PFN pfn;
};
static_assert(offsetof(DRVFN, pfn) == 8 && sizeof(DRVFN) == 16);

struct DRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;  // number of entries in pdrvfn
    DRVFN* pdrvfn;
};
static_assert(offsetof(DRVENABLEDATA, pdrvfn) == 8 && sizeof(DRVENABLEDATA) == 16);

// Opaque engine objects the hooks only pass on.
struct BRUSHOBJ;
struct CLIPOBJ;
struct XLATEOBJ;
struct COLORADJUSTMENT;
struct POINTFIX;
struct BLENDOBJ;
struct TRIVERTEX;
struct STROBJ;
struct FONTOBJ;
struct PATHOBJ;
struct XFORMOBJ;
struct LINEATTRS;
struct IFIMETRICS;
struct GLYPHDATA;
struct LOGCOLORSPACEW;
struct DEVINFO;

// DDI functions the plug-in hooks: their indices and signatures.

inline constexpr ULONG INDEX_DrvRealizeBrush = 12;
inline constexpr ULONG INDEX_DrvStrokePath = 14;
inline constexpr ULONG INDEX_DrvFillPath = 15;
inline constexpr ULONG INDEX_DrvStrokeAndFillPath = 16;
inline constexpr ULONG INDEX_DrvBitBlt = 18;
inline constexpr ULONG INDEX_DrvCopyBits = 19;
inline constexpr ULONG INDEX_DrvStretchBlt = 20;
inline constexpr ULONG INDEX_DrvTextOut = 23;
inline constexpr ULONG INDEX_DrvEscape = 24;
inline constexpr ULONG INDEX_DrvQueryFont = 26;
inline constexpr ULONG INDEX_DrvQueryFontTree = 27;
inline constexpr ULONG INDEX_DrvQueryFontData = 28;
inline constexpr ULONG INDEX_DrvSendPage = 32;
inline constexpr ULONG INDEX_DrvStartPage = 33;
inline constexpr ULONG INDEX_DrvEndDoc = 34;
inline constexpr ULONG INDEX_DrvStartDoc = 35;
inline constexpr ULONG INDEX_DrvGetGlyphMode = 37;
inline constexpr ULONG INDEX_DrvFontManagement = 47;
inline constexpr ULONG INDEX_DrvQueryAdvanceWidths = 53;
inline constexpr ULONG INDEX_DrvIcmCreateColorTransform = 64;
inline constexpr ULONG INDEX_DrvIcmDeleteColorTransform = 65;
inline constexpr ULONG INDEX_DrvGradientFill = 68;
inline constexpr ULONG INDEX_DrvStretchBltROP = 69;
inline constexpr ULONG INDEX_DrvPlgBlt = 70;
inline constexpr ULONG INDEX_DrvAlphaBlend = 71;
inline constexpr ULONG INDEX_DrvTransparentBlt = 74;
inline constexpr ULONG INDEX_DrvQueryDeviceSupport = 76;

using PFN_DrvRealizeBrush = BOOL(TVZX_STDCALL*)(BRUSHOBJ*, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG);
using PFN_DrvCopyBits = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*);
using PFN_DrvBitBlt = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*,
                                          POINTL*, BRUSHOBJ*, POINTL*, ULONG);
using PFN_DrvStretchBlt = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                                              POINTL*, RECTL*, RECTL*, POINTL*, ULONG);
using PFN_DrvStretchBltROP = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*,
                                                 COLORADJUSTMENT*, POINTL*, RECTL*, RECTL*, POINTL*, ULONG,
                                                 BRUSHOBJ*, DWORD);
using PFN_DrvPlgBlt = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*,
                                          POINTL*, POINTFIX*, RECTL*, POINTL*, ULONG);
using PFN_DrvTransparentBlt = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, ULONG,
                                                  ULONG);
using PFN_DrvAlphaBlend = BOOL(TVZX_STDCALL*)(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, BLENDOBJ*);
using PFN_DrvGradientFill = BOOL(TVZX_STDCALL*)(SURFOBJ*, CLIPOBJ*, XLATEOBJ*, TRIVERTEX*, ULONG, void*, ULONG,
                                                RECTL*, POINTL*, ULONG);
using PFN_DrvTextOut = BOOL(TVZX_STDCALL*)(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*,
                                           BRUSHOBJ*, POINTL*, ULONG);
using PFN_DrvStrokePath = BOOL(TVZX_STDCALL*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*,
                                              LINEATTRS*, ULONG);
using PFN_DrvFillPath = BOOL(TVZX_STDCALL*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, ULONG, FLONG);
using PFN_DrvStrokeAndFillPath = BOOL(TVZX_STDCALL*)(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*,
                                                     LINEATTRS*, BRUSHOBJ*, POINTL*, ULONG, FLONG);
using PFN_DrvStartPage = BOOL(TVZX_STDCALL*)(SURFOBJ*);
using PFN_DrvSendPage = BOOL(TVZX_STDCALL*)(SURFOBJ*);
using PFN_DrvEscape = ULONG(TVZX_STDCALL*)(SURFOBJ*, ULONG, ULONG, void*, ULONG, void*);
using PFN_DrvStartDoc = BOOL(TVZX_STDCALL*)(SURFOBJ*, WCHAR*, DWORD);
using PFN_DrvEndDoc = BOOL(TVZX_STDCALL*)(SURFOBJ*, FLONG);
using PFN_DrvQueryFont = IFIMETRICS*(TVZX_STDCALL*)(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR*);
using PFN_DrvQueryFontTree = void*(TVZX_STDCALL*)(DHPDEV, ULONG_PTR, ULONG, ULONG, ULONG_PTR*);
using PFN_DrvQueryFontData = LONG(TVZX_STDCALL*)(DHPDEV, FONTOBJ*, ULONG, ULONG, GLYPHDATA*, void*, ULONG);
using PFN_DrvQueryAdvanceWidths = BOOL(TVZX_STDCALL*)(DHPDEV, FONTOBJ*, ULONG, ULONG*, void*, ULONG);
using PFN_DrvFontManagement = ULONG(TVZX_STDCALL*)(SURFOBJ*, FONTOBJ*, ULONG, ULONG, void*, ULONG, void*);
using PFN_DrvGetGlyphMode = ULONG(TVZX_STDCALL*)(DHPDEV, FONTOBJ*);
using PFN_DrvIcmCreateColorTransform = HANDLE(TVZX_STDCALL*)(DHPDEV, LOGCOLORSPACEW*, void*, ULONG, void*, ULONG,
                                                              void*, ULONG, DWORD);
using PFN_DrvIcmDeleteColorTransform = BOOL(TVZX_STDCALL*)(DHPDEV, HANDLE);
using PFN_DrvQueryDeviceSupport = BOOL(TVZX_STDCALL*)(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG, ULONG, void*, ULONG,
                                                      void*);

// Plug-in protocol constants

// Version of the plug-in interface that EnableDriver reports.
inline constexpr DWORD PRINTER_OEMINTF_VERSION = 0x00010000;

// GetInfo modes.
inline constexpr DWORD OEMGI_GETSIGNATURE = 1;
inline constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
inline constexpr DWORD OEMGI_GETVERSION = 3;
inline constexpr DWORD OEMGI_GETPUBLISHERINFO = 4;
inline constexpr DWORD OEMGI_GETREQUESTEDHELPERINTERFACES = 5;

// Helper interfaces a plug-in may ask for (GetInfo mode 5).
inline constexpr DWORD OEMPUBLISH_DEFAULT = 0;
inline constexpr DWORD OEMPUBLISH_IPRINTCOREHELPER = 1;

// GetPDEVAdjustment types.
inline constexpr DWORD PDEV_ADJUST_PAPER_MARGIN_TYPE = 1;

// Data types of PPD attributes (GetOptionAttribute).
inline constexpr DWORD kADT_ASCII = 6;
inline constexpr DWORD kADT_BINARY = 7;

// Injection points of the PostScript stream (Command's index).
inline constexpr DWORD PSINJECT_BEGINSTREAM = 1;
inline constexpr DWORD PSINJECT_PSADOBE = 2;
inline constexpr DWORD PSINJECT_PAGESATEND = 3;
inline constexpr DWORD PSINJECT_PAGES = 4;
inline constexpr DWORD PSINJECT_DOCNEEDEDRES = 5;
inline constexpr DWORD PSINJECT_DOCSUPPLIEDRES = 6;
inline constexpr DWORD PSINJECT_PAGEORDER = 7;
inline constexpr DWORD PSINJECT_ORIENTATION = 8;
inline constexpr DWORD PSINJECT_BOUNDINGBOX = 9;
inline constexpr DWORD PSINJECT_DOCUMENTPROCESSCOLORS = 10;
inline constexpr DWORD PSINJECT_COMMENTS = 11;
inline constexpr DWORD PSINJECT_BEGINDEFAULTS = 12;
inline constexpr DWORD PSINJECT_ENDDEFAULTS = 13;
inline constexpr DWORD PSINJECT_BEGINPROLOG = 14;
inline constexpr DWORD PSINJECT_ENDPROLOG = 15;
inline constexpr DWORD PSINJECT_BEGINSETUP = 16;
inline constexpr DWORD PSINJECT_ENDSETUP = 17;
inline constexpr DWORD PSINJECT_TRAILER = 18;
inline constexpr DWORD PSINJECT_EOF = 19;
inline constexpr DWORD PSINJECT_ENDSTREAM = 20;
inline constexpr DWORD PSINJECT_DOCUMENTPROCESSCOLORSATEND = 21;
inline constexpr DWORD PSINJECT_PAGENUMBER = 100;
inline constexpr DWORD PSINJECT_BEGINPAGESETUP = 101;
inline constexpr DWORD PSINJECT_ENDPAGESETUP = 102;
inline constexpr DWORD PSINJECT_PAGETRAILER = 103;
inline constexpr DWORD PSINJECT_PLATECOLOR = 104;
inline constexpr DWORD PSINJECT_SHOWPAGE = 105;
inline constexpr DWORD PSINJECT_PAGEBBOX = 106;
inline constexpr DWORD PSINJECT_ENDPAGECOMMENTS = 107;
inline constexpr DWORD PSINJECT_VMSAVE = 200;
inline constexpr DWORD PSINJECT_VMRESTORE = 201;

// Escapes the plug-in filters.
inline constexpr ULONG QUERYESCSUPPORT = 8;
inline constexpr ULONG POSTSCRIPT_DATA = 37;
inline constexpr ULONG POSTSCRIPT_IGNORE = 38;
inline constexpr ULONG POSTSCRIPT_PASSTHROUGH = 4115;
inline constexpr ULONG POSTSCRIPT_IDENTIFY = 4117;
inline constexpr ULONG GET_PS_FEATURESETTING = 4121;
inline constexpr ULONG FEATURESETTING_NUP = 0;

// COM interfaces

struct IUnknown;
struct IUnknownVtbl {
    HRESULT(TVZX_STDCALL* QueryInterface)(IUnknown* self, const GUID* iid, void** out);
    ULONG(TVZX_STDCALL* AddRef)(IUnknown* self);
    ULONG(TVZX_STDCALL* Release)(IUnknown* self);
};
struct IUnknown {
    const IUnknownVtbl* lpVtbl;
};

struct IClassFactory;
struct IClassFactoryVtbl {
    HRESULT(TVZX_STDCALL* QueryInterface)(IClassFactory* self, const GUID* iid, void** out);
    ULONG(TVZX_STDCALL* AddRef)(IClassFactory* self);
    ULONG(TVZX_STDCALL* Release)(IClassFactory* self);
    HRESULT(TVZX_STDCALL* CreateInstance)(IClassFactory* self, IUnknown* outer, const GUID* iid, void** out);
    HRESULT(TVZX_STDCALL* LockServer)(IClassFactory* self, BOOL lock);
};
struct IClassFactory {
    const IClassFactoryVtbl* lpVtbl;
};

// The driver helper: writes to the spool stream.
struct IPrintOemDriverPS;
struct IPrintOemDriverPSVtbl {
    HRESULT(TVZX_STDCALL* QueryInterface)(IPrintOemDriverPS* self, const GUID* iid, void** out);
    ULONG(TVZX_STDCALL* AddRef)(IPrintOemDriverPS* self);
    ULONG(TVZX_STDCALL* Release)(IPrintOemDriverPS* self);
    HRESULT(TVZX_STDCALL* DrvGetDriverSetting)(IPrintOemDriverPS* self, void* driverObject, const char* feature,
                                               void* output, DWORD size, DWORD* needed, DWORD* optionsReturned);
    HRESULT(TVZX_STDCALL* DrvWriteSpoolBuf)(IPrintOemDriverPS* self, DEVOBJ* devObj, void* buffer, DWORD size,
                                            DWORD* written);
};
struct IPrintOemDriverPS {
    const IPrintOemDriverPSVtbl* lpVtbl;
};

// The core helper: reads the driver's PPD features, options and attributes.
struct IPrintCorePS2;
struct IPrintCorePS2Vtbl {
    HRESULT(TVZX_STDCALL* QueryInterface)(IPrintCorePS2* self, const GUID* iid, void** out);
    ULONG(TVZX_STDCALL* AddRef)(IPrintCorePS2* self);
    ULONG(TVZX_STDCALL* Release)(IPrintCorePS2* self);
    HRESULT(TVZX_STDCALL* DrvWriteSpoolBuf)(IPrintCorePS2* self, DEVOBJ* devObj, void* buffer, DWORD size,
                                            DWORD* written);
    HRESULT(TVZX_STDCALL* GetOptions)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags, const char* requested,
                                      DWORD requestedSize, char* output, DWORD size, DWORD* needed);
    HRESULT(TVZX_STDCALL* GetGlobalAttribute)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags,
                                              const char* attribute, DWORD* dataType, BYTE* data, DWORD size,
                                              DWORD* needed);
    HRESULT(TVZX_STDCALL* GetFeatureAttribute)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags,
                                               const char* feature, const char* attribute, DWORD* dataType,
                                               BYTE* data, DWORD size, DWORD* needed);
    HRESULT(TVZX_STDCALL* GetOptionAttribute)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags,
                                              const char* feature, const char* option, const char* attribute,
                                              DWORD* dataType, BYTE* data, DWORD size, DWORD* needed);
    HRESULT(TVZX_STDCALL* EnumFeatures)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags, char* featureList,
                                        DWORD size, DWORD* needed);
    HRESULT(TVZX_STDCALL* EnumOptions)(IPrintCorePS2* self, DEVOBJ* devObj, DWORD flags, const char* feature,
                                       char* optionList, DWORD size, DWORD* needed);
};
struct IPrintCorePS2 {
    const IPrintCorePS2Vtbl* lpVtbl;
};

// The rendering plug-in interface the driver calls.
struct IPrintOemPS2;
struct IPrintOemPS2Vtbl {
    HRESULT(TVZX_STDCALL* QueryInterface)(IPrintOemPS2* self, const GUID* iid, void** out);
    ULONG(TVZX_STDCALL* AddRef)(IPrintOemPS2* self);
    ULONG(TVZX_STDCALL* Release)(IPrintOemPS2* self);
    HRESULT(TVZX_STDCALL* GetInfo)(IPrintOemPS2* self, DWORD mode, void* buffer, DWORD size, DWORD* needed);
    HRESULT(TVZX_STDCALL* DevMode)(IPrintOemPS2* self, DWORD mode, OEMDMPARAM* param);
    HRESULT(TVZX_STDCALL* EnableDriver)(IPrintOemPS2* self, DWORD driverVersion, DWORD size,
                                        DRVENABLEDATA* enableData);
    HRESULT(TVZX_STDCALL* DisableDriver)(IPrintOemPS2* self);
    HRESULT(TVZX_STDCALL* EnablePDEV)(IPrintOemPS2* self, DEVOBJ* devObj, WCHAR* printerName, ULONG patternCount,
                                      HSURF* patterns, ULONG gdiInfoSize, GDIINFO* gdiInfo, ULONG devInfoSize,
                                      DEVINFO* devInfo, DRVENABLEDATA* driverEnableData, void** outState);
    HRESULT(TVZX_STDCALL* DisablePDEV)(IPrintOemPS2* self, DEVOBJ* devObj);
    HRESULT(TVZX_STDCALL* ResetPDEV)(IPrintOemPS2* self, DEVOBJ* oldDevObj, DEVOBJ* newDevObj);
    HRESULT(TVZX_STDCALL* PublishDriverInterface)(IPrintOemPS2* self, IUnknown* unknown);
    HRESULT(TVZX_STDCALL* Command)(IPrintOemPS2* self, DEVOBJ* devObj, DWORD index, void* data, DWORD size,
                                   DWORD* result);
    HRESULT(TVZX_STDCALL* WritePrinter)(IPrintOemPS2* self, DEVOBJ* devObj, void* buffer, DWORD size,
                                        DWORD* written);
    HRESULT(TVZX_STDCALL* GetPDEVAdjustment)(IPrintOemPS2* self, DEVOBJ* devObj, DWORD adjustType, void* buffer,
                                             DWORD size, BOOL* adjusted);
};
struct IPrintOemPS2 {
    const IPrintOemPS2Vtbl* lpVtbl;
};

// Slot positions, checked against the platform's declaration order.
static_assert(offsetof(IClassFactoryVtbl, LockServer) == 4 * sizeof(void*));
static_assert(offsetof(IPrintOemDriverPSVtbl, DrvWriteSpoolBuf) == 4 * sizeof(void*));
static_assert(offsetof(IPrintCorePS2Vtbl, GetOptionAttribute) == 7 * sizeof(void*));
static_assert(sizeof(IPrintCorePS2Vtbl) == 10 * sizeof(void*));
static_assert(offsetof(IPrintOemPS2Vtbl, Command) == 11 * sizeof(void*));
static_assert(sizeof(IPrintOemPS2Vtbl) == 14 * sizeof(void*));

// The module's exports

using DllGetClassObjectFn = HRESULT(TVZX_STDCALL*)(const GUID* clsid, const GUID* iid, void** out);
using DllCanUnloadNowFn = HRESULT(TVZX_STDCALL*)();

inline constexpr std::string_view kDllGetClassObjectName = "DllGetClassObject";
inline constexpr std::string_view kDllCanUnloadNowName = "DllCanUnloadNow";

}  // namespace tvzx::win
