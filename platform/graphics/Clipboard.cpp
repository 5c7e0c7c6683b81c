#include "platform/graphics/Clipboard.h"

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/core/AnsiString.h"
#include "platform/graphics/Raster.h"
#include "platform/graphics/TGraphic.h"

class TGlobalMemory {
public:
    explicit TGlobalMemory(std::size_t bytes) : Bytes(bytes, 0) {}
    std::vector<std::uint8_t> Bytes;
    int Locks = 0;
};

namespace {

struct TGlobalTable {
    std::mutex Lock;
    std::map<const TGlobalMemory*, std::unique_ptr<TGlobalMemory>> Blocks;
};

// Never destroyed, like the GDI table: data may be freed while the program ends.
TGlobalTable& Globals()
{
    static TGlobalTable* table = new TGlobalTable;
    return *table;
}

bool IsGlobal(HANDLE handle)
{
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    return t.Blocks.count(static_cast<const TGlobalMemory*>(handle)) != 0;
}

void FreeData(UINT format, HANDLE data)
{
    if (!data) return;
    if (format == CF_BITMAP || format == CF_PALETTE) DeleteObject(static_cast<HGDIOBJ>(data));
    else GlobalFree(static_cast<HGLOBAL>(data));
}

struct TClipboardState {
    std::mutex Lock;
    bool Open = false;
    std::map<UINT, HANDLE> Data;
    std::vector<std::string> Names;  // registered formats, 0xC000 on
};

TClipboardState& State()
{
    static TClipboardState* state = new TClipboardState;
    return *state;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, std::size_t bytes)
{
    if (bytes > MaxGlobalBytes) return nullptr;
    auto block = std::make_unique<TGlobalMemory>(bytes);
    HGLOBAL handle = block.get();
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    t.Blocks.emplace(handle, std::move(block));
    return handle;
}

void* GlobalLock(HGLOBAL memory)
{
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    auto it = t.Blocks.find(memory);
    if (it == t.Blocks.end()) return nullptr;
    ++it->second->Locks;
    // A zero-sized block still gives a pointer that is not null.
    static std::uint8_t empty;
    return it->second->Bytes.empty() ? &empty : it->second->Bytes.data();
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    auto it = t.Blocks.find(memory);
    if (it == t.Blocks.end() || it->second->Locks == 0) return FALSE;
    return --it->second->Locks > 0 ? TRUE : FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    std::unique_ptr<TGlobalMemory> doomed;
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    auto it = t.Blocks.find(memory);
    if (it == t.Blocks.end()) return memory;
    doomed = std::move(it->second);
    t.Blocks.erase(it);
    return nullptr;
}

std::size_t GlobalSize(HGLOBAL memory)
{
    TGlobalTable& t = Globals();
    std::lock_guard guard(t.Lock);
    auto it = t.Blocks.find(memory);
    return it == t.Blocks.end() ? 0 : it->second->Bytes.size();
}

UINT RegisterClipboardFormat(std::string_view name)
{
    if (name.empty()) return 0;
    TClipboardState& s = State();
    std::lock_guard guard(s.Lock);
    for (std::size_t i = 0; i < s.Names.size(); ++i)
        if (SameText(s.Names[i], name)) return UINT(0xC000 + i);
    if (s.Names.size() >= 0x3FFF) return 0;
    s.Names.emplace_back(name);
    return UINT(0xC000 + s.Names.size() - 1);
}

BOOL OpenClipboard()
{
    TClipboardState& s = State();
    std::lock_guard guard(s.Lock);
    if (s.Open) return FALSE;
    s.Open = true;
    return TRUE;
}

BOOL CloseClipboard()
{
    TClipboardState& s = State();
    std::lock_guard guard(s.Lock);
    if (!s.Open) return FALSE;
    s.Open = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    std::map<UINT, HANDLE> old;
    {
        TClipboardState& s = State();
        std::lock_guard guard(s.Lock);
        if (!s.Open) return FALSE;
        old.swap(s.Data);
    }
    for (auto [format, data] : old) FreeData(format, data);
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE data)
{
    if (!data || format == 0) return nullptr;
    const bool gdi = format == CF_BITMAP || format == CF_PALETTE;
    if (gdi) {
        const DWORD type = GetObjectType(static_cast<HGDIOBJ>(data));
        if (type != (format == CF_BITMAP ? OBJ_BITMAP : OBJ_PAL)) return nullptr;
    } else if (!IsGlobal(data)) {
        return nullptr;
    }
    HANDLE old = nullptr;
    {
        TClipboardState& s = State();
        std::lock_guard guard(s.Lock);
        if (!s.Open) return nullptr;
        HANDLE& slot = s.Data[format];
        old = slot == data ? nullptr : slot;
        slot = data;
    }
    FreeData(format, old);
    return data;
}

HANDLE GetClipboardData(UINT format)
{
    TClipboardState& s = State();
    std::lock_guard guard(s.Lock);
    if (!s.Open) return nullptr;
    auto it = s.Data.find(format);
    return it == s.Data.end() ? nullptr : it->second;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    TClipboardState& s = State();
    std::lock_guard guard(s.Lock);
    return s.Data.count(format) ? TRUE : FALSE;
}

void TClipboard::Clear()
{
    if (!OpenClipboard()) return;
    EmptyClipboard();
    CloseClipboard();
}

std::string TClipboard::AsText() const
{
    std::string text;
    if (!OpenClipboard()) return text;
    auto* memory = static_cast<HGLOBAL>(GetClipboardData(CF_TEXT));
    if (const auto* p = static_cast<const char*>(GlobalLock(memory))) {
        const std::size_t size = GlobalSize(memory);
        text.assign(p, strnlen(p, size));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
}

void TClipboard::SetAsText(std::string_view text)
{
    HGLOBAL memory = GlobalAlloc(GHND, text.size() + 1);
    if (!memory) return;
    std::memcpy(GlobalLock(memory), text.data(), text.size());
    GlobalUnlock(memory);
    if (!OpenClipboard()) {
        GlobalFree(memory);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    CloseClipboard();
}

void TClipboard::SetBitmap(const TBitmap& bitmap)
{
    const bool mono = IsMonochromeBitmap(bitmap);
    HBITMAP handle = CreateBitmap(bitmap.Width(), bitmap.Height(), 1, mono ? 1 : 24, nullptr);
    if (!handle) return;
    TBitmap* copy = BitmapOfHandle(handle);
    TPixelView from(const_cast<TBitmap&>(bitmap));
    TPixelView to(*copy);
    for (int y = 0; y < bitmap.Height(); ++y)
        for (int x = 0; x < bitmap.Width(); ++x) to.Set(x, y, from.Get(x, y));
    if (!OpenClipboard()) {
        DeleteObject(handle);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_BITMAP, handle)) DeleteObject(handle);
    CloseClipboard();
}

bool TClipboard::GetBitmap(TBitmap& bitmap) const
{
    if (!OpenClipboard()) return false;
    TBitmap* source = BitmapOfHandle(static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)));
    if (source) bitmap.Assign(*source);
    CloseClipboard();
    return source != nullptr;
}

void TClipboard::Assign(TGraphic& graphic)
{
    if (!OpenClipboard()) return;
    struct TCloser {
        ~TCloser() { CloseClipboard(); }
    } closer;
    EmptyClipboard();
    UINT format = 0;
    void* data = nullptr;
    HPALETTE palette = nullptr;
    graphic.SaveToClipboardFormat(format, data, palette);
    if (data && !SetClipboardData(format, data)) FreeData(format, data);
    if (palette && !SetClipboardData(CF_PALETTE, palette)) DeleteObject(palette);
}

TClipboard& Clipboard()
{
    static TClipboard clipboard;
    return clipboard;
}
