#pragma once

// An in-process clipboard with the platform's functions and numbers.
//
// Data is held per format. Memory formats take movable global memory blocks
// (GlobalAlloc); CF_BITMAP takes a bitmap handle and CF_PALETTE a palette
// handle (DeviceContext.h). SetClipboardData hands the handle to the
// clipboard, which frees it when the data is replaced or the clipboard is
// emptied; GetClipboardData lends it. Both need the clipboard open
// (OpenClipboard ... CloseClipboard); only one opener at a time.
// RegisterClipboardFormat gives every name (compared without case) one
// number from 0xC000 on, the same each time it is asked. CF_TEXT holds CP1252
// text with a terminating zero.
// The clipboard and the memory blocks are locked, so threads may use them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/graphics/DeviceContext.h"

class TGlobalMemory;
class TGraphic;
using HGLOBAL = TGlobalMemory*;
using HANDLE = void*;

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_METAFILEPICT = 3;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_PALETTE = 9;
constexpr UINT CF_ENHMETAFILE = 14;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
// Blocks larger than this are refused (nullptr), as an allocation that fails.
constexpr std::size_t MaxGlobalBytes = std::size_t(1) << 30;

// Memory blocks. GlobalLock gives the block's bytes (nullptr for an unknown
// handle); GlobalFree returns nullptr when it freed the block, the handle
// itself when it did not know it.
HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes);
void* GlobalLock(HGLOBAL memory);
BOOL GlobalUnlock(HGLOBAL memory);
HGLOBAL GlobalFree(HGLOBAL memory);
std::size_t GlobalSize(HGLOBAL memory);

UINT RegisterClipboardFormat(std::string_view name);
BOOL OpenClipboard();
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Returns the handle on success, nullptr when the clipboard is not open or
// the handle does not suit the format.
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

// The object the programs' code talks to, over the functions above.
class TClipboard {
public:
    bool HasFormat(UINT format) const { return IsClipboardFormatAvailable(format) != FALSE; }
    void Clear();
    std::string AsText() const;
    void SetAsText(std::string_view text);
    // Copies the bitmap as CF_BITMAP (a 24-bit copy, or 1-bit for monochrome).
    void SetBitmap(const TBitmap& bitmap);
    // The CF_BITMAP data as a bitmap; false when there is none.
    bool GetBitmap(TBitmap& bitmap) const;
    // The graphic in the formats it gives (SaveToClipboardFormat), with its
    // palette; what was there before is emptied.
    void Assign(TGraphic& graphic);
};

TClipboard& Clipboard();
