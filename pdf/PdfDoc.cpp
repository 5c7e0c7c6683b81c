#include "pdf/PdfDoc.h"

#include <cmath>

#include "platform/core/ClassRegistry.h"

namespace {

const char* const DestinationNames[] = {"XYZ", "Fit", "FitH", "FitV", "FitR", "FitB", "FitBH", "FitBV"};
const char* const ProducerText = "Vellumark version 0.9";

void AddNames(TPdfDictionary& dictionary, std::initializer_list<std::pair<const char*, const char*>> items)
{
    for (const auto& [key, text] : items)
        dictionary.AddItem(key, std::make_unique<TPdfName>(text));
}

std::unique_ptr<TPdfObject> NumberOrNull(int value)
{
    if (value < -100)
        return std::make_unique<TPdfNull>();
    return std::make_unique<TPdfNumber>(value);
}

bool IsAscii(std::string_view text)
{
    for (unsigned char c : text)
        if (c >= 0x80)
            return false;
    return true;
}

// Readers take a literal string as PDFDocEncoding, which differs from CP1252
// above ASCII; UTF-16 shows such a text as the CP1252 meant.
std::unique_ptr<TPdfObject> TextString(const std::string& text)
{
    if (IsAscii(text))
        return std::make_unique<TPdfText>(text);
    auto unicode = std::make_unique<TPdfBinary>();
    WriteTextBytes("<FEFF" + AnsiToUtf16Hex(text) + ">", unicode->Stream());
    return unicode;
}

}  // namespace

TPdfXrefEntry::TPdfXrefEntry(std::unique_ptr<TPdfObject> object)
    : FEntryType(object ? "n" : "f"), FGenerationNumber(object ? object->GenerationNumber() : 65535),
      FValue(std::move(object))
{
}

TPdfXref::TPdfXref() { FEntries.push_back(std::make_unique<TPdfXrefEntry>(nullptr)); }

TPdfObject& TPdfXref::AddObject(std::unique_ptr<TPdfObject> object)
{
    if (!object || object->ObjectType() != TPdfObjectType::otDirectObject)
        throw EPdfInvalidOperation("AddObject --wrong object type.");
    TPdfObject& added = *object;
    FEntries.push_back(std::make_unique<TPdfXrefEntry>(std::move(object)));
    added.SetObjectNumber(static_cast<int>(FEntries.size()) - 1);
    return added;
}

TPdfObject* TPdfXref::ObjectByNumber(int number) const
{
    if (number < 0 || number >= ItemCount())
        return nullptr;
    return FEntries[static_cast<std::size_t>(number)]->Value();
}

void TPdfInfo::SetCreationDate(TDateTime date)
{
    FData->AddItem("CreationDate", std::make_unique<TPdfText>(PdfDateText(date)));
}

void TPdfInfo::SetText(const std::string& key, const std::string& text) { FData->AddItem(key, TextString(text)); }

void TPdfCatalog::SetPages(const TPdfDictionary& pages)
{
    if (pages.DictionaryType() == "Pages")
        FData->AddItem("Pages", pages);
}

void TPdfCanvasAttribute::SetWordSpace(float value)
{
    if (value < 0)
        throw EPdfInvalidValue("SetWordSpace --invalid word space");
    FWordSpace = value;
}

void TPdfCanvasAttribute::SetCharSpace(float value)
{
    if (value < -30 || value > 300)
        throw EPdfInvalidValue("SetCharSpace --invalid char space");
    FCharSpace = value;
}

void TPdfCanvasAttribute::SetFontSize(float value)
{
    if (value < 0 || value > 300)
        throw EPdfInvalidValue("SetCharSpace --invalid font size");
    FFontSize = value;
}

void TPdfCanvasAttribute::SetLeading(float value)
{
    if (value < 0 || value > 300)
        throw EPdfInvalidValue("SetLeading --invalid font size");
    FLeading = value;
}

void TPdfCanvasAttribute::SetHorizontalScaling(int value)
{
    if (value < 10 || value > 300)
        throw EPdfInvalidValue("SetHorizontalScaling --invalid font size");
    FHorizontalScaling = value;
}

float TPdfCanvasAttribute::TextWidth(std::string_view text) const
{
    if (!FFont)
        return 0;
    long thousandths = 0;
    for (int i = 1; i <= static_cast<int>(text.size()); ++i)
        thousandths += FFont->CharWidth(text, i);
    return static_cast<float>(thousandths) * FFontSize / 1000.0f;
}

TPdfDictionary& TPdfCanvas::GetPage() const
{
    if (!FPage)
        throw EPdfInvalidOperation("GetPage --the Page is nil");
    return *FPage;
}

void TPdfCanvas::SaveTextState()
{
    if (!FPage)
        return;
    if (FAttr.Font())
        FPage->AddInternalItem("_Font", std::make_unique<TPdfName>(FAttr.Font()->Name()));
    FPage->AddInternalItem("_Font_Size", std::make_unique<TPdfReal>(FAttr.FontSize()));
    FPage->AddInternalItem("_Word_Space", std::make_unique<TPdfReal>(FAttr.WordSpace()));
    FPage->AddInternalItem("_Char_Space", std::make_unique<TPdfReal>(FAttr.CharSpace()));
    FPage->AddInternalItem("_HScalling", std::make_unique<TPdfNumber>(FAttr.HorizontalScaling()));
    FPage->AddInternalItem("_Leading", std::make_unique<TPdfReal>(FAttr.Leading()));
}

void TPdfCanvas::RestoreTextState()
{
    const TPdfName* font = FPage->PdfNameByName("_Font");
    if (!font) {
        FAttr.SetFont(nullptr);
        SetFont("Arial", 10);
        FAttr.SetCharSpace(0);
        FAttr.SetWordSpace(0);
        FAttr.SetHorizontalScaling(100);
        FAttr.SetLeading(0);
        return;
    }
    auto real = [this](const char* key) {
        const TPdfReal* value = FPage->PdfRealByName(key);
        return value ? static_cast<float>(value->Value()) : 0.0f;
    };
    FAttr.SetFont(&FDoc.GetFont(font->Value()));
    FAttr.SetFontSize(real("_Font_Size"));
    FAttr.SetWordSpace(real("_Word_Space"));
    FAttr.SetCharSpace(real("_Char_Space"));
    const TPdfNumber* scaling = FPage->PdfNumberByName("_HScalling");
    FAttr.SetHorizontalScaling(scaling ? scaling->Value() : 100);
    FAttr.SetLeading(real("_Leading"));
}

void TPdfCanvas::SetPage(TPdfDictionary* page)
{
    SaveTextState();
    FPage = page;
    FContents = page ? dynamic_cast<TPdfStream*>(page->ValueByName("Contents")) : nullptr;
    if (FPage)
        RestoreTextState();
}

void TPdfCanvas::WriteContent(std::string_view text)
{
    if (FContents && !FIsVirtual)
        WriteTextBytes(text, FContents->Stream());
}

void TPdfCanvas::SetFont(const std::string& name, float size)
{
    TPdfFont& font = FDoc.GetFont(name);
    if (&font == FAttr.Font() && size == FAttr.FontSize())
        return;
    if (size < 0 || size > 300)
        throw EPdfInvalidValue("SetCharSpace --invalid font size");
    const std::string resourceName = font.Data()->PdfNameByName("Name")->Value();
    TPdfDictionary& page = GetPage();
    if (auto* fonts = dynamic_cast<TPdfDictionary*>(PageResource(page, "Font")); fonts && !fonts->ValueByName(resourceName))
        fonts->AddItem(resourceName, *font.Data());
    // The content names the font by its resource name, the key readers look up.
    WriteContent(EscapeName(resourceName) + " " + RealToText(size) + " Tf\n");
    FAttr.SetFont(&font);
    FAttr.SetFontSize(size);
}

void TPdfCanvas::TextOut(float x, float y, std::string_view text)
{
    WriteContent("BT\n" + FloatToPdfText(x) + " " + FloatToPdfText(y) + " Td\n" + EscapeText(text) + " Tj\nET\n");
}

void TPdfCanvas::DrawXObject(const std::string& name, float x, float y, float width, float height)
{
    WriteContent("q\n" + FloatToPdfText(width) + " 0 0 " + FloatToPdfText(height) + " " + FloatToPdfText(x) + " " +
                 FloatToPdfText(y) + " cm\n" + EscapeName(name) + " Do\nQ\n");
}

std::unique_ptr<TPdfArray> DestinationArray(const TPdfDestination& destination, TPdfObjectMgr* objectMgr)
{
    auto array = std::make_unique<TPdfArray>(objectMgr);
    if (destination.Page)
        array->AddItem(*destination.Page);
    else
        array->AddItem(std::make_unique<TPdfNull>());
    array->AddItem(std::make_unique<TPdfName>(DestinationNames[destination.Type]));
    switch (destination.Type) {
    case dtXYZ:
        array->AddItem(NumberOrNull(destination.Left));
        array->AddItem(NumberOrNull(destination.Top));
        array->AddItem(std::make_unique<TPdfReal>(destination.Zoom < 0 ? 0 : destination.Zoom));
        break;
    case dtFitH:
    case dtFitBH:
        array->AddItem(NumberOrNull(destination.Top));
        break;
    case dtFitV:
    case dtFitBV:
        array->AddItem(NumberOrNull(destination.Left));
        break;
    case dtFitR:
        array->AddItem(NumberOrNull(destination.Left));
        array->AddItem(NumberOrNull(destination.Bottom));
        array->AddItem(NumberOrNull(destination.Right));
        array->AddItem(NumberOrNull(destination.Top));
        break;
    case dtFit:
    case dtFitB:
        break;
    }
    return array;
}

TPdfOutlineEntry& TPdfOutlineEntry::CreateEntry(TPdfOutlineEntry* parent)
{
    if (!parent || !parent->FDoc)
        throw Exception("CreateEntry --invalid parent.");
    TPdfDoc& doc = *parent->FDoc;
    std::unique_ptr<TPdfOutlineEntry> owned(new TPdfOutlineEntry());
    TPdfOutlineEntry& entry = *owned;
    entry.FDoc = &doc;
    entry.FParent = parent;
    entry.SetData(&doc.ObjectMgr().Add(std::make_unique<TPdfDictionary>(&doc.ObjectMgr())));
    doc.FObjectList.push_back(std::move(owned));
    entry.FPrev = parent->FLast;
    if (parent->FLast)
        parent->FLast->FNext = &entry;
    else
        parent->FFirst = &entry;
    parent->FLast = &entry;
    for (TPdfOutlineEntry* up = parent; up; up = up->FParent)
        ++up->FCount;
    return entry;
}

void TPdfOutlineEntry::Save()
{
    FData->AddItem("Count", std::make_unique<TPdfNumber>(Opened ? FCount : -FCount));
    FData->AddItem("Title", TextString(Title));
    FData->AddItem("Parent", *FParent->Data());
    if (FHasDest)
        FData->AddItem("Dest", DestinationArray(FDest, FData->ObjectMgr()));
    if (FFirst) {
        FData->AddItem("First", *FFirst->Data());
        FFirst->Save();
        FData->AddItem("Last", *FLast->Data());
    }
    if (FPrev)
        FData->AddItem("Prev", *FPrev->Data());
    if (FNext) {
        FData->AddItem("Next", *FNext->Data());
        FNext->Save();
    }
}

void TPdfOutlineRoot::Save()
{
    FData->AddItem("Count", std::make_unique<TPdfNumber>(FCount));
    if (FFirst) {
        FData->AddItem("First", *FFirst->Data());
        FFirst->Save();
        FData->AddItem("Last", *FLast->Data());
    }
}

TPdfDoc::TPdfDoc() : FCanvas(std::make_unique<TPdfCanvas>(*this)) {}

TPdfDoc::~TPdfDoc() { FreeDoc(); }

TPdfXref& TPdfDoc::ObjectMgr() const
{
    if (!FXref)
        throw EPdfInvalidOperation("ObjectMgr --document is null.");
    return *FXref;
}

template <class W>
W& TPdfDoc::AddWrapper(TPdfDictionary& data)
{
    auto wrapper = std::make_unique<W>();
    W& result = *wrapper;
    result.SetData(&data);
    FObjectList.push_back(std::move(wrapper));
    return result;
}

void TPdfDoc::NewDoc()
{
    FreeDoc();
    FXref = std::make_unique<TPdfXref>();
    FTrailer = std::make_unique<TPdfDictionary>(FXref.get());
    FTrailer->AddItem("Size", std::make_unique<TPdfNumber>(0));

    auto& catalog = FXref->Add(std::make_unique<TPdfDictionary>(FXref.get()));
    AddNames(catalog, {{"Type", "Catalog"}});
    FTrailer->AddItem("Root", catalog);
    FRoot = &AddWrapper<TPdfCatalog>(catalog);
    if (FUseOutlines) {
        auto& outlines = FXref->Add(std::make_unique<TPdfDictionary>(FXref.get()));
        AddNames(outlines, {{"Type", "Outlines"}});
        FOutlineRoot = &AddWrapper<TPdfOutlineRoot>(outlines);
        FOutlineRoot->FDoc = this;
        catalog.AddItem("Outlines", outlines);
    }
    auto& info = FXref->Add(std::make_unique<TPdfDictionary>(FXref.get()));
    info.AddItem("Producer", std::make_unique<TPdfText>(ProducerText));
    FTrailer->AddItem("Info", info);
    FInfo = &AddWrapper<TPdfInfo>(info);
    FInfo->SetCreationDate(Now());
    FCurrentPages = &CreatePages(nullptr);
    FHasDoc = true;
}

TPdfDictionary& TPdfDoc::CreatePages(TPdfDictionary* parent)
{
    auto& pages = FXref->Add(std::make_unique<TPdfDictionary>(FXref.get()));
    AddNames(pages, {{"Type", "Pages"}});
    pages.AddItem("Kids", std::make_unique<TPdfArray>(FXref.get()));
    pages.AddItem("Count", std::make_unique<TPdfNumber>(0));
    if (parent && parent->DictionaryType() == "Pages")
        AddKid(*parent, pages);
    else
        FRoot->SetPages(pages);
    return pages;
}

void TPdfDoc::AddPage()
{
    if (!FCurrentPages)
        throw EPdfInvalidOperation("AddPage --current pages null.");
    auto& page = FXref->Add(std::make_unique<TPdfDictionary>(FXref.get()));
    AddKid(*FCurrentPages, page);
    AddNames(page, {{"Type", "Page"}});
    page.AddItem("Parent", *FCurrentPages);
    page.AddItem("MediaBox", TPdfArray::CreateNumbers(FXref.get(), {0, 0, FDefaultPageWidth, FDefaultPageHeight}));
    auto resources = std::make_unique<TPdfDictionary>(FXref.get());
    resources->AddItem("Font", std::make_unique<TPdfDictionary>(FXref.get()));
    resources->AddItem("XObject", std::make_unique<TPdfDictionary>(FXref.get()));
    auto procSet = std::make_unique<TPdfArray>(FXref.get());
    for (const char* name : {"PDF", "Text", "ImageC"})
        procSet->AddItem(std::make_unique<TPdfName>(name));
    resources->AddItem("ProcSet", std::move(procSet));
    page.AddItem("Resources", std::move(resources));
    page.AddItem("Contents", FXref->Add(std::make_unique<TPdfStream>(FXref.get())));
    FCanvas->SetPage(&page);
}

TPdfFont& TPdfDoc::GetFont(const std::string& name)
{
    if (!FHasDoc)
        throw EPdfInvalidOperation("GetFont --document is null.");
    for (const auto& font : FFontList)
        if (font->Name() == name)
            return *font;
    return CreateFont(name);
}

TPdfFont& TPdfDoc::CreateFont(const std::string& name)
{
    std::unique_ptr<TObject> made;
    if (IsClassRegistered(name))
        made = CreateClassByName(name);
    auto* font = dynamic_cast<TPdfFont*>(made.get());
    if (!font)
        throw Exception("CreateFont --InvalidFontName:" + name);
    std::unique_ptr<TPdfFont> owned(font);
    made.release();
    owned->Create(ObjectMgr(), name);
    owned->Data()->AddItem("Name", std::make_unique<TPdfName>("F" + std::to_string(FFontList.size())));
    FFontList.push_back(std::move(owned));
    return *FFontList.back();
}

void TPdfDoc::AddXObject(const std::string& name, std::unique_ptr<TPdfXObject> image)
{
    TPdfDictionary& page = FCanvas->GetPage();
    auto* xobjects = dynamic_cast<TPdfDictionary*>(PageResource(page, "XObject"));
    if (!xobjects)
        throw EPdfInvalidOperation("AddXObject --the page has no XObject resources.");
    xobjects->AddItem(name, FXref->Add(std::move(image)));
}

void TPdfDoc::FreeDoc()
{
    if (!FHasDoc && !FXref)
        return;
    // The canvas lets go of its page before the objects go.
    FCanvas->Detach();
    while (!FFontList.empty())
        FFontList.pop_back();
    while (!FObjectList.empty())
        FObjectList.pop_back();
    FXref.reset();
    FTrailer.reset();
    FInfo = nullptr;
    FRoot = nullptr;
    FOutlineRoot = nullptr;
    FCurrentPages = nullptr;
    FHasDoc = false;
}

void AddKid(TPdfDictionary& parent, const TPdfDictionary& kid)
{
    TPdfArray* kids = parent.PdfArrayByName("Kids");
    if (!kids)
        throw EPdfInvalidOperation("AddKid --the parent has no Kids.");
    kids->AddItem(kid);
    if (TPdfNumber* count = parent.PdfNumberByName("Count"))
        count->SetValue(kids->ItemCount());
    else
        parent.AddItem("Count", std::make_unique<TPdfNumber>(kids->ItemCount()));
}

TPdfObject* PageResource(const TPdfDictionary& page, std::string_view name)
{
    const TPdfDictionary* resources = page.PdfDictionaryByName("Resources");
    return resources ? resources->ValueByName(name) : nullptr;
}

void TPdfCanvas::Detach()
{
    FPage = nullptr;
    FContents = nullptr;
    FAttr = TPdfCanvasAttribute();
    FIsVirtual = false;
}
