#include "pdf/PdfTypes.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "platform/core/AnsiString.h"

namespace {

const char HexDigits[] = "0123456789ABCDEF";

void AppendHex(std::string& out, unsigned value, int digits)
{
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
        out.push_back(HexDigits[(value >> shift) & 0xF]);
}

bool IsNameDelimiter(unsigned char c)
{
    static const std::string_view delimiters = "#%()/<>[]{}";
    return c < 33 || c > 126 || delimiters.find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

void TPdfObject::SetObjectNumber(int number)
{
    FObjectNumber = number;
    FObjectType = number > 0 ? TPdfObjectType::otIndirectObject : TPdfObjectType::otDirectObject;
}

void TPdfObject::Write(TStream& stream) const
{
    if (FObjectType == TPdfObjectType::otDirectObject) {
        WriteObjectValue(stream);
        return;
    }
    WriteTextBytes(std::to_string(FObjectNumber) + " " + std::to_string(FGenerationNumber) + " R", stream);
}

TPdfVirtualObject::TPdfVirtualObject()
{
    throw Exception("virtualObject must be create by CreateVirtual method.");
}

TPdfVirtualObject::TPdfVirtualObject(TVirtualTag, int number)
{
    FObjectType = TPdfObjectType::otVirtualObject;
    FObjectNumber = number;
}

std::unique_ptr<TPdfVirtualObject> TPdfVirtualObject::CreateVirtual(int number)
{
    return std::unique_ptr<TPdfVirtualObject>(new TPdfVirtualObject(TVirtualTag{}, number));
}

void TPdfNull::WriteObjectValue(TStream& stream) const { WriteTextBytes("null", stream); }

void TPdfNumber::WriteObjectValue(TStream& stream) const { WriteTextBytes(std::to_string(FValue), stream); }

void TPdfReal::WriteObjectValue(TStream& stream) const { WriteTextBytes(FloatToPdfText(FValue), stream); }

void TPdfText::WriteObjectValue(TStream& stream) const
{
    // The system code page has no multi-byte characters, so every text takes
    // the literal form.
    WriteTextBytes(EscapeText(FValue), stream);
}

void TPdfName::WriteObjectValue(TStream& stream) const { WriteTextBytes(EscapeName(FValue), stream); }

std::unique_ptr<TPdfArray> TPdfArray::CreateNumbers(TPdfObjectMgr* objectMgr, std::initializer_list<int> values)
{
    auto array = std::make_unique<TPdfArray>(objectMgr);
    for (int value : values)
        array->AddItem(std::make_unique<TPdfNumber>(value));
    return array;
}

void TPdfArray::AddItem(std::unique_ptr<TPdfObject> item)
{
    if (!item)
        return;
    if (item->ObjectType() == TPdfObjectType::otIndirectObject)
        throw EPdfInvalidOperation("AddItem --an indirect object is owned by its cross-reference table.");
    FItems.push_back(std::move(item));
}

void TPdfArray::AddItem(const TPdfObject& registered)
{
    if (registered.ObjectType() == TPdfObjectType::otDirectObject)
        throw EPdfInvalidOperation("AddItem --a direct object must be handed over.");
    FItems.push_back(TPdfVirtualObject::CreateVirtual(registered.ObjectNumber()));
}

TPdfObject* TPdfArray::Items(int index) const
{
    TPdfObject* item = FItems.at(static_cast<std::size_t>(index)).get();
    if (item->ObjectType() != TPdfObjectType::otVirtualObject)
        return item;
    return FObjectMgr ? FObjectMgr->ObjectByNumber(item->ObjectNumber()) : nullptr;
}

TPdfName* TPdfArray::FindName(std::string_view name) const
{
    for (const auto& item : FItems)
        if (auto* found = dynamic_cast<TPdfName*>(item.get()); found && found->Value() == name)
            return found;
    return nullptr;
}

bool TPdfArray::RemoveName(std::string_view name)
{
    for (auto it = FItems.begin(); it != FItems.end(); ++it)
        if (auto* found = dynamic_cast<TPdfName*>(it->get()); found && found->Value() == name) {
            FItems.erase(it);
            return true;
        }
    return false;
}

void TPdfArray::WriteObjectValue(TStream& stream) const
{
    WriteTextBytes("[", stream);
    for (const auto& item : FItems) {
        item->Write(stream);
        WriteTextBytes(" ", stream);
    }
    WriteTextBytes("]", stream);
}

TPdfDictionaryElement::TPdfDictionaryElement(std::string key, std::unique_ptr<TPdfObject> value, bool internal)
    : FKey(std::move(key)), FValue(std::move(value)), FIsInternal(internal)
{
}

void TPdfDictionary::Put(const std::string& key, std::unique_ptr<TPdfObject> value, bool internal)
{
    if (!value)
        throw EPdfInvalidValue("AddItem --no value for " + key);
    if (value->ObjectType() == TPdfObjectType::otIndirectObject)
        throw EPdfInvalidOperation("AddItem --an indirect object is owned by its cross-reference table.");
    RemoveItem(key);
    FElements.push_back(std::make_unique<TPdfDictionaryElement>(key, std::move(value), internal));
}

void TPdfDictionary::AddItem(const std::string& key, std::unique_ptr<TPdfObject> value)
{
    Put(key, std::move(value), false);
}

void TPdfDictionary::AddItem(const std::string& key, const TPdfObject& registered)
{
    if (registered.ObjectType() == TPdfObjectType::otDirectObject)
        throw EPdfInvalidOperation("AddItem --a direct object must be handed over.");
    Put(key, TPdfVirtualObject::CreateVirtual(registered.ObjectNumber()), false);
}

void TPdfDictionary::AddInternalItem(const std::string& key, std::unique_ptr<TPdfObject> value)
{
    Put(key, std::move(value), true);
}

void TPdfDictionary::RemoveItem(const std::string& key)
{
    for (auto it = FElements.begin(); it != FElements.end(); ++it)
        if ((*it)->Key() == key) {
            FElements.erase(it);
            return;
        }
}

TPdfObject* TPdfDictionary::Resolve(TPdfObject* value) const
{
    if (value->ObjectType() != TPdfObjectType::otVirtualObject)
        return value;
    return FObjectMgr ? FObjectMgr->ObjectByNumber(value->ObjectNumber()) : nullptr;
}

TPdfObject* TPdfDictionary::ValueByName(std::string_view key) const
{
    for (const auto& element : FElements)
        if (element->Key() == key)
            return Resolve(&element->Value());
    return nullptr;
}

TPdfNumber* TPdfDictionary::PdfNumberByName(std::string_view key) const
{
    return dynamic_cast<TPdfNumber*>(ValueByName(key));
}

TPdfReal* TPdfDictionary::PdfRealByName(std::string_view key) const
{
    return dynamic_cast<TPdfReal*>(ValueByName(key));
}

TPdfText* TPdfDictionary::PdfTextByName(std::string_view key) const
{
    return dynamic_cast<TPdfText*>(ValueByName(key));
}

TPdfName* TPdfDictionary::PdfNameByName(std::string_view key) const
{
    return dynamic_cast<TPdfName*>(ValueByName(key));
}

TPdfArray* TPdfDictionary::PdfArrayByName(std::string_view key) const
{
    return dynamic_cast<TPdfArray*>(ValueByName(key));
}

TPdfDictionary* TPdfDictionary::PdfDictionaryByName(std::string_view key) const
{
    return dynamic_cast<TPdfDictionary*>(ValueByName(key));
}

std::string TPdfDictionary::DictionaryType() const
{
    const TPdfName* type = PdfNameByName("Type");
    return type ? type->Value() : std::string();
}

void TPdfDictionary::WriteObjectValue(TStream& stream) const
{
    WriteTextBytes("<<\r\n", stream);
    for (const auto& element : FElements) {
        if (element->IsInternal())
            continue;
        element->WriteKey(stream);
        WriteTextBytes(" ", stream);
        element->Value().Write(stream);
        WriteTextBytes("\r\n", stream);
    }
    WriteTextBytes(">>", stream);
}

TPdfStream::TPdfStream(TPdfObjectMgr* objectMgr) : FAttributes(objectMgr)
{
    FAttributes.AddItem("Length", std::make_unique<TPdfNumber>(0));
    FAttributes.AddItem("Filter", std::make_unique<TPdfArray>(objectMgr));
}

void TPdfStream::WriteObjectValue(TStream& stream) const
{
    if (TPdfArray* filter = FAttributes.PdfArrayByName("Filter"))
        filter->RemoveName("FlateDecode");
    if (TPdfNumber* length = FAttributes.PdfNumberByName("Length"))
        length->SetValue(static_cast<std::int64_t>(FStream.Bytes().size()));
    FAttributes.WriteObjectValue(stream);
    WriteTextBytes("\r\nstream\r\n", stream);
    WriteTextBytes(FStream.Bytes(), stream);
    WriteTextBytes("\nendstream", stream);
}

void TPdfBinary::WriteObjectValue(TStream& stream) const { WriteTextBytes(FStream.Bytes(), stream); }

void WriteTextBytes(std::string_view text, TStream& stream)
{
    if (!text.empty())
        stream.WriteBuffer(text.data(), text.size());
}

std::string PdfDateText(TDateTime date)
{
    int year, month, day, hour, minute, second, millisecond;
    DecodeDate(date, year, month, day);
    DecodeTime(date, hour, minute, second, millisecond);
    char text[32];
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
    return text;
}

std::string FloatToPdfText(double value)
{
    if (!std::isfinite(value))
        return "0";
    // What readers hold: mupdf reads a real's whole part as a 32-bit integer
    // and its digits into a bounded buffer, and holds it as a float, so a
    // larger magnitude is written as the largest whole part and a smaller one
    // than a float's as 0.
    constexpr double Largest = std::numeric_limits<std::int32_t>::max();
    if (std::fabs(value) < std::numeric_limits<float>::min())
        return "0";
    value = std::clamp(value, -Largest, Largest);
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15).ptr;
    const std::string_view general(text, static_cast<std::size_t>(end - text));
    const std::size_t e = general.find('e');
    if (e == std::string_view::npos)
        return std::string(general);
    // Below 1e-4 the general form takes an exponent: the same digits after the point.
    int exponent = 0;
    std::from_chars(general.data() + e + 1, general.data() + general.size(), exponent);
    std::string fixed = value < 0 ? "-0." : "0.";
    fixed.append(static_cast<std::size_t>(-exponent - 1), '0');
    for (char c : general.substr(0, e))
        if (c != '-' && c != '.')
            fixed.push_back(c);
    return fixed;
}

std::string RealToText(double value)
{
    return FloatToPdfText(std::trunc(value * 100 + 0.5) * 0.01);
}

std::string BytesToHex(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char c : bytes)
        AppendHex(out, c, 2);
    return out;
}

std::string AnsiToUtf16Hex(std::string_view text)
{
    std::string out;
    for (unsigned char c : text) {
        const char32_t code = Cp1252ToUnicode(c);
        if (code > 0xFFFF) {
            const char32_t v = code - 0x10000;
            AppendHex(out, 0xD800 + (v >> 10), 4);
            AppendHex(out, 0xDC00 + (v & 0x3FF), 4);
        } else {
            AppendHex(out, code, 4);
        }
    }
    return out;
}

std::string EscapeText(std::string_view text)
{
    static const std::string_view escaped = "()\\\r\n\t\b\f";
    static const std::string_view letters = "()\\rntbf";
    std::string out = "(";
    out.reserve(text.size() + 2);
    for (char c : text) {
        const std::size_t i = escaped.find(c);
        if (i == std::string_view::npos) {
            out.push_back(c);
        } else {
            out.push_back('\\');
            out.push_back(letters[i]);
        }
    }
    out.push_back(')');
    return out;
}

std::string EscapeName(std::string_view name)
{
    std::string out = "/";
    for (unsigned char c : name) {
        if (IsNameDelimiter(c)) {
            out.push_back('#');
            AppendHex(out, c, 2);
        } else {
            out.push_back(static_cast<char>(c));
        }
    }
    return out;
}
