#include "platform/graphics/TGraphic.h"

#include <typeinfo>

#include "platform/core/Exceptions.h"
#include "platform/core/Files.h"
#include "platform/core/TStream.h"
#include "platform/graphics/TBitmap.h"
#include "platform/graphics/TCanvas.h"

namespace {

// Throws a copy of `error` whose message names the file, when `error` is
// exactly of class E; returns otherwise. Exact, so that a subclass (say a
// codec's own error derived from EInvalidGraphic) is never sliced to its base.
template <typename E>
void RethrowNamed(const Exception& error, const std::string& fileName)
{
    if (typeid(error) == typeid(E)) throw E(fileName + ": " + error.what());
}

[[noreturn]] void RethrowWithFileName(const std::string& fileName)
{
    try {
        throw;
    } catch (const EFOpenError&) {
        throw;  // already names the file
    } catch (const EFCreateError&) {
        throw;
    } catch (const EAbort&) {
        throw;  // silent: no message to extend
    } catch (const EInOutError& e) {
        throw EInOutError(fileName + ": " + e.what(), e.SystemError());
    } catch (const Exception& e) {
        RethrowNamed<EReadError>(e, fileName);
        RethrowNamed<EWriteError>(e, fileName);
        RethrowNamed<EStreamError>(e, fileName);
        RethrowNamed<EInvalidGraphic>(e, fileName);
        RethrowNamed<EInvalidGraphicOperation>(e, fileName);
        RethrowNamed<EOutOfMemory>(e, fileName);
        RethrowNamed<EConvertError>(e, fileName);
        RethrowNamed<EEncodingError>(e, fileName);
        RethrowNamed<Exception>(e, fileName);
        // A class this unit does not know: keeping the class matters more
        // than the file name in the text.
        throw;
    }
}

}  // namespace

void TGraphic::SetTransparent(bool value)
{
    if (value == FTransparent) return;
    FTransparent = value;
    Changed();
}

void TGraphic::LoadFromFile(const std::string& fileName)
{
    try {
        TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
        LoadFromStream(stream);
    } catch (const Exception&) {
        RethrowWithFileName(fileName);
    }
}

void TGraphic::SaveToFile(const std::string& fileName)
{
    // Encoded whole before the file is touched: an encoder that fails halfway
    // leaves the old file, or none.
    TMemoryStream encoded;
    try {
        SaveToStream(encoded);
    } catch (const Exception&) {
        RethrowWithFileName(fileName);
    }
    SaveGraphicBytes(fileName, encoded.Bytes());
}

void SaveGraphicBytes(const std::string& fileName, std::string_view bytes)
{
    try {
        ReplaceFileBytes(fileName, bytes);
    } catch (const Exception&) {
        RethrowWithFileName(fileName);
    }
}

void TGraphic::Assign(const TGraphic& source)
{
    if (&source == this) return;
    if (AssignFrom(source)) return;
    if (source.AssignTo(*this)) return;
    throw EConvertError(std::string("Cannot assign a ") + source.ClassName() + " to a " + ClassName());
}

bool TGraphic::AssignDrawnToBitmap(TGraphic& dest) const
{
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (!bitmap) return false;
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(Width(), Height());
    bitmap->Fill(clWhite);
    // Drawing changes no picture; the platform's Draw is not const.
    if (!Empty()) const_cast<TGraphic*>(this)->Draw(bitmap->Canvas(), Rect(0, 0, Width(), Height()));
    return true;
}

void TGraphic::Changed()
{
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::LoadFromClipboardFormat(std::uint32_t, void*, TGdiPalette*)
{
    throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(std::uint32_t&, void*&, TGdiPalette*&)
{
    throw EInvalidGraphic("Unsupported clipboard format");
}
