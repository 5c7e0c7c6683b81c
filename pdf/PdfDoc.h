#pragma once

// A PDF document in memory: the cross-reference table that numbers and owns
// the indirect objects, the catalogue, the document information, the page
// tree, the fonts and the canvas that writes a page's content.
//
// Objects are numbered in the order they are made: after NewDoc and AddPage
// the catalogue is 1, the information 2, the page tree 3, the page 4 and its
// content 5. SaveToStream writes the whole file with every object's byte
// offset counted as written.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pdf/PdfTypes.h"
#include "platform/controls/TComponent.h"

// The catalogue's settings and the kinds of annotation, each with its names in
// a PDF file by the enumeration's value. No dictionary is given them here.
enum TPdfPageLayout { plSinglePage, plOneColumn, plTwoColumnLeft, plTwoColumnRight };
enum TPdfPageMode { pmUseNone, pmUseOutlines, pmUseThumbs, pmFullScreen };
enum TPdfAnnotationSubType {
    asText, asLink, asSound, asFreeText, asStamp, asSquare, asCircle,
    asStrikeOut, asHighlight, asUnderline, asInk, asFileAttachment, asPopup
};
enum TPdfCompressionMethod { cmNone };

inline constexpr std::array<std::string_view, 4> PdfPageLayoutNames = {
    "SinglePage", "OneColumn", "TwoColumnLeft", "TwoColumnRight"};
inline constexpr std::array<std::string_view, 4> PdfPageModeNames = {
    "UseNone", "UseOutlines", "UseThumbs", "FullScreen"};
inline constexpr std::array<std::string_view, 13> PdfAnnotationSubTypeNames = {
    "Text",      "Link",      "Sound",     "FreeText", "Stamp",          "Square", "Circle",
    "StrikeOut", "Highlight", "Underline", "Ink",      "FileAttachment", "Popup"};

class TPdfXrefEntry {
public:
    explicit TPdfXrefEntry(std::unique_ptr<TPdfObject> object);
    // "n" in use, "f" free.
    const std::string& EntryType() const { return FEntryType; }
    std::int64_t ByteOffset() const { return FByteOffset; }
    void SetByteOffset(std::int64_t offset) { FByteOffset = offset; }
    int GenerationNumber() const { return FGenerationNumber; }
    TPdfObject* Value() const { return FValue.get(); }

private:
    std::string FEntryType;
    std::int64_t FByteOffset = -1;
    int FGenerationNumber = 0;
    std::unique_ptr<TPdfObject> FValue;
};

class TPdfXref : public TPdfObjectMgr {
public:
    TPdfXref();
    TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) override;
    template <class T>
    T& Add(std::unique_ptr<T> object)
    {
        return static_cast<T&>(AddObject(std::move(object)));
    }
    TPdfObject* ObjectByNumber(int number) const override;
    int ItemCount() const { return static_cast<int>(FEntries.size()); }
    TPdfXrefEntry& Items(int index) const { return *FEntries.at(static_cast<std::size_t>(index)); }

private:
    std::vector<std::unique_ptr<TPdfXrefEntry>> FEntries;
};

class TPdfDictionaryWrapper : public TObject {
public:
    virtual ~TPdfDictionaryWrapper() = default;
    TPdfDictionary* Data() const { return FData; }
    bool HasData() const { return FData != nullptr; }
    virtual void SetData(TPdfDictionary* data) { FData = data; }

protected:
    TPdfDictionary* FData = nullptr;
};

class TPdfInfo : public TPdfDictionaryWrapper {
public:
    void SetCreationDate(TDateTime date);
    // Texts beyond ASCII go as UTF-16, so readers show them as the CP1252 meant.
    void SetTitle(const std::string& text) { SetText("Title", text); }
    void SetAuthor(const std::string& text) { SetText("Author", text); }
    void SetSubject(const std::string& text) { SetText("Subject", text); }
    void SetCreator(const std::string& text) { SetText("Creator", text); }

private:
    void SetText(const std::string& key, const std::string& text);
};

class TPdfCatalog : public TPdfDictionaryWrapper {
public:
    // Only a page tree ("Type" "Pages") is taken.
    void SetPages(const TPdfDictionary& pages);
};

class TPdfFont : public TPdfDictionaryWrapper {
public:
    // The virtual constructor the document calls after making the font by name.
    virtual void Create(TPdfObjectMgr& objectMgr, const std::string& name) { FName = name; }
    const std::string& Name() const { return FName; }
    // The width of the byte at a 1-based position, in thousandths of the size.
    virtual int CharWidth(std::string_view text, int position) const { return 0; }

private:
    std::string FName;
};

class TPdfDoc;

class TPdfCanvasAttribute {
public:
    float WordSpace() const { return FWordSpace; }
    float CharSpace() const { return FCharSpace; }
    float FontSize() const { return FFontSize; }
    TPdfFont* Font() const { return FFont; }
    float Leading() const { return FLeading; }
    int HorizontalScaling() const { return FHorizontalScaling; }
    void SetWordSpace(float value);
    void SetCharSpace(float value);
    void SetFontSize(float value);
    void SetFont(TPdfFont* font) { FFont = font; }
    void SetLeading(float value);
    void SetHorizontalScaling(int value);
    // The width of a text at the current font and size, in points.
    float TextWidth(std::string_view text) const;

private:
    float FWordSpace = 0;
    float FCharSpace = 0;
    float FFontSize = 0;
    TPdfFont* FFont = nullptr;
    float FLeading = 0;
    int FHorizontalScaling = 100;
};

class TPdfCanvas {
public:
    explicit TPdfCanvas(TPdfDoc& doc) : FDoc(doc) {}

    void SetPage(TPdfDictionary* page);
    TPdfDictionary& GetPage() const;
    TPdfCanvasAttribute& Attribute() { return FAttr; }
    void SetFont(const std::string& name, float size);
    void SetWordSpace(float value) { FAttr.SetWordSpace(value); }
    void SetCharSpace(float value) { FAttr.SetCharSpace(value); }
    void SetFontSize(float value) { FAttr.SetFontSize(value); }
    void SetLeading(float value) { FAttr.SetLeading(value); }
    void SetHorizontalScaling(int value) { FAttr.SetHorizontalScaling(value); }
    bool IsVirtual() const { return FIsVirtual; }
    void SetIsVirtual(bool value) { FIsVirtual = value; }
    TPdfStream* ContentStream() const { return FContents; }
    // Forgets the page, its content and the text state, keeping nothing to save.
    void Detach();

    // One line of text with its baseline starting at (x, y), in the current font.
    void TextOut(float x, float y, std::string_view text);
    // An image of the page's resources drawn into the rectangle at (x, y).
    void DrawXObject(const std::string& name, float x, float y, float width, float height);
    float TextWidth(std::string_view text) const { return FAttr.TextWidth(text); }

private:
    void WriteContent(std::string_view text);
    void SaveTextState();
    void RestoreTextState();

    TPdfDoc& FDoc;
    TPdfDictionary* FPage = nullptr;
    TPdfStream* FContents = nullptr;
    TPdfCanvasAttribute FAttr;
    bool FIsVirtual = false;
};

enum TPdfDestinationType { dtXYZ, dtFit, dtFitH, dtFitV, dtFitR, dtFitB, dtFitBH, dtFitBV };

struct TPdfDestination {
    TPdfDestinationType Type = dtXYZ;
    const TPdfDictionary* Page = nullptr;
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    float Zoom = 0;
};

// The destination array of an outline entry: the page, the kind, its values;
// values below -100 stand for "keep the current" and are written as null.
std::unique_ptr<TPdfArray> DestinationArray(const TPdfDestination& destination, TPdfObjectMgr* objectMgr);

class TPdfOutlineEntry : public TPdfDictionaryWrapper {
public:
    // Raises when there is no parent.
    static TPdfOutlineEntry& CreateEntry(TPdfOutlineEntry* parent);
    virtual void Save();

    TPdfOutlineEntry* Parent() const { return FParent; }
    TPdfOutlineEntry* Next() const { return FNext; }
    TPdfOutlineEntry* Prev() const { return FPrev; }
    TPdfOutlineEntry* First() const { return FFirst; }
    TPdfOutlineEntry* Last() const { return FLast; }
    int Count() const { return FCount; }
    // Written as the document information writes its texts.
    std::string Title;
    bool Opened = false;
    void SetDestination(const TPdfDestination& destination) { FDest = destination; FHasDest = true; }

protected:
    TPdfOutlineEntry() = default;
    TPdfOutlineEntry* FParent = nullptr;
    TPdfOutlineEntry* FNext = nullptr;
    TPdfOutlineEntry* FPrev = nullptr;
    TPdfOutlineEntry* FFirst = nullptr;
    TPdfOutlineEntry* FLast = nullptr;
    TPdfDoc* FDoc = nullptr;
    int FCount = 0;
    TPdfDestination FDest;
    bool FHasDest = false;
    friend class TPdfDoc;
};

class TPdfOutlineRoot : public TPdfOutlineEntry {
public:
    void Save() override;

private:
    friend class TPdfDoc;
};

class TPdfDoc : public TObject {
public:
    static constexpr int DefaultPageWidth = 596;
    static constexpr int DefaultPageHeight = 842;

    TPdfDoc();
    ~TPdfDoc() override;
    TPdfDoc(const TPdfDoc&) = delete;
    TPdfDoc& operator=(const TPdfDoc&) = delete;

    void NewDoc();
    void AddPage();
    void FreeDoc();
    TPdfFont& GetFont(const std::string& name);
    TPdfFont& CreateFont(const std::string& name);
    // Registers the image and names it in the current page's resources.
    void AddXObject(const std::string& name, std::unique_ptr<TPdfXObject> image);
    // The file: header, every object with its offset, cross-reference table, trailer.
    void SaveToStream(TStream& stream);

    bool HasDoc() const { return FHasDoc; }
    TPdfCanvas& Canvas() { return *FCanvas; }
    TPdfXref& ObjectMgr() const;
    TPdfCatalog* Root() const { return FRoot; }
    TPdfInfo* Info() const { return FInfo; }
    TPdfOutlineRoot* OutlineRoot() const { return FOutlineRoot; }
    TPdfDictionary* CurrentPages() const { return FCurrentPages; }
    TPdfDictionary& Trailer() const { return *FTrailer; }
    bool UseOutlines() const { return FUseOutlines; }
    void SetUseOutlines(bool value) { FUseOutlines = value; }
    TPdfCompressionMethod CompressionMethod() const { return FCompressionMethod; }
    void SetCompressionMethod(TPdfCompressionMethod value) { FCompressionMethod = value; }
    int FontCount() const { return static_cast<int>(FFontList.size()); }
    int DefaultPageWidthValue() const { return FDefaultPageWidth; }
    void SetDefaultPageSize(int width, int height) { FDefaultPageWidth = width; FDefaultPageHeight = height; }

private:
    template <class W>
    W& AddWrapper(TPdfDictionary& data);
    TPdfDictionary& CreatePages(TPdfDictionary* parent);
    friend class TPdfOutlineEntry;

    std::unique_ptr<TPdfXref> FXref;
    std::unique_ptr<TPdfDictionary> FTrailer;
    std::unique_ptr<TPdfCanvas> FCanvas;
    std::vector<std::unique_ptr<TPdfFont>> FFontList;
    std::vector<std::unique_ptr<TPdfDictionaryWrapper>> FObjectList;
    TPdfCatalog* FRoot = nullptr;
    TPdfInfo* FInfo = nullptr;
    TPdfOutlineRoot* FOutlineRoot = nullptr;
    TPdfDictionary* FCurrentPages = nullptr;
    bool FHasDoc = false;
    bool FUseOutlines = false;
    TPdfCompressionMethod FCompressionMethod = cmNone;
    int FDefaultPageWidth = DefaultPageWidth;
    int FDefaultPageHeight = DefaultPageHeight;
};

// The base of the report component.
class TAbstractPReport : public TComponent {
public:
    using TComponent::TComponent;
};

// Page-tree and dictionary filling helpers.
void AddKid(TPdfDictionary& parent, const TPdfDictionary& kid);
TPdfObject* PageResource(const TPdfDictionary& page, std::string_view name);
