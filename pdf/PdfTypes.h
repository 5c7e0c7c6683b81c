#pragma once

// The in-memory PDF values and their syntax.
//
// Ownership: arrays and dictionaries own their direct items; indirect objects
// are owned by the object manager (the cross-reference table) and stand in
// containers as virtual placeholders carrying their number, so one object may
// be referred to from many places without being owned twice.
//
// `Write` gives an object as it stands inside another (a reference for an
// indirect or virtual one); `WriteObjectValue` gives its value.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/ClassRegistry.h"
#include "platform/core/DateTime.h"
#include "platform/core/Exceptions.h"
#include "platform/core/TStream.h"

class EPdfInvalidValue : public Exception {
public:
    using Exception::Exception;
};

class EPdfInvalidOperation : public Exception {
public:
    using Exception::Exception;
};

enum class TPdfObjectType : std::uint8_t { otDirectObject = 0, otIndirectObject = 1, otVirtualObject = 2 };

class TPdfObject : public TObject {
public:
    TPdfObject() = default;
    TPdfObject(const TPdfObject&) = delete;
    TPdfObject& operator=(const TPdfObject&) = delete;

    TPdfObjectType ObjectType() const { return FObjectType; }
    int ObjectNumber() const { return FObjectNumber; }
    int GenerationNumber() const { return FGenerationNumber; }
    // Numbered objects become indirect; 0 or less makes them direct again.
    void SetObjectNumber(int number);

    void Write(TStream& stream) const;
    virtual void WriteObjectValue(TStream& stream) const {}

protected:
    TPdfObjectType FObjectType = TPdfObjectType::otDirectObject;
    int FObjectNumber = -1;
    int FGenerationNumber = 0;
};

class TPdfObjectMgr : public TObject {
public:
    // Takes the object and numbers it; answers it.
    virtual TPdfObject& AddObject(std::unique_ptr<TPdfObject> object) = 0;
    virtual TPdfObject* ObjectByNumber(int number) const = 0;
};

class TPdfVirtualObject : public TPdfObject {
public:
    // Placeholders are only made for a number.
    TPdfVirtualObject();
    static std::unique_ptr<TPdfVirtualObject> CreateVirtual(int number);

private:
    struct TVirtualTag {};
    TPdfVirtualObject(TVirtualTag, int number);
};

class TPdfNull : public TPdfObject {
public:
    void WriteObjectValue(TStream& stream) const override;
};

class TPdfNumber : public TPdfObject {
public:
    explicit TPdfNumber(std::int64_t value = 0) : FValue(value) {}
    std::int64_t Value() const { return FValue; }
    void SetValue(std::int64_t value) { FValue = value; }
    void WriteObjectValue(TStream& stream) const override;

private:
    // Wide enough for the length of any stream.
    std::int64_t FValue;
};

class TPdfReal : public TPdfObject {
public:
    explicit TPdfReal(double value = 0) : FValue(value) {}
    double Value() const { return FValue; }
    void SetValue(double value) { FValue = value; }
    void WriteObjectValue(TStream& stream) const override;

private:
    double FValue;
};

class TPdfText : public TPdfObject {
public:
    explicit TPdfText(std::string value = {}) : FValue(std::move(value)) {}
    const std::string& Value() const { return FValue; }
    void SetValue(std::string value) { FValue = std::move(value); }
    void WriteObjectValue(TStream& stream) const override;

private:
    std::string FValue;
};

class TPdfName : public TPdfObject {
public:
    explicit TPdfName(std::string value = {}) : FValue(std::move(value)) {}
    const std::string& Value() const { return FValue; }
    void WriteObjectValue(TStream& stream) const override;

private:
    std::string FValue;
};

class TPdfDictionary;

class TPdfArray : public TPdfObject {
public:
    explicit TPdfArray(TPdfObjectMgr* objectMgr = nullptr) : FObjectMgr(objectMgr) {}
    static std::unique_ptr<TPdfArray> CreateNumbers(TPdfObjectMgr* objectMgr, std::initializer_list<int> values);

    // A direct item is owned; an object that is numbered stands as a placeholder.
    void AddItem(std::unique_ptr<TPdfObject> item);
    void AddItem(const TPdfObject& registered);
    // Placeholders resolved through the object manager (nullptr without one).
    TPdfObject* Items(int index) const;
    int ItemCount() const { return static_cast<int>(FItems.size()); }
    TPdfName* FindName(std::string_view name) const;
    bool RemoveName(std::string_view name);
    void WriteObjectValue(TStream& stream) const override;

private:
    std::vector<std::unique_ptr<TPdfObject>> FItems;
    TPdfObjectMgr* FObjectMgr;
};

class TPdfDictionaryElement {
public:
    TPdfDictionaryElement(std::string key, std::unique_ptr<TPdfObject> value, bool internal = false);
    const std::string& Key() const { return FKey.Value(); }
    TPdfObject& Value() const { return *FValue; }
    bool IsInternal() const { return FIsInternal; }
    void WriteKey(TStream& stream) const { FKey.Write(stream); }

private:
    TPdfName FKey;
    std::unique_ptr<TPdfObject> FValue;
    bool FIsInternal;
};

class TPdfDictionary : public TPdfObject {
public:
    explicit TPdfDictionary(TPdfObjectMgr* objectMgr = nullptr) : FObjectMgr(objectMgr) {}

    // An element of that key is replaced; the new one goes to the end.
    void AddItem(const std::string& key, std::unique_ptr<TPdfObject> value);
    void AddItem(const std::string& key, const TPdfObject& registered);
    // Bookkeeping that is never written.
    void AddInternalItem(const std::string& key, std::unique_ptr<TPdfObject> value);
    void RemoveItem(const std::string& key);

    const TPdfDictionaryElement& Items(int index) const { return *FElements.at(static_cast<std::size_t>(index)); }
    int ItemCount() const { return static_cast<int>(FElements.size()); }
    // The value of a key (exact, case-sensitive), placeholders resolved; nullptr when absent.
    TPdfObject* ValueByName(std::string_view key) const;
    TPdfNumber* PdfNumberByName(std::string_view key) const;
    TPdfReal* PdfRealByName(std::string_view key) const;
    TPdfText* PdfTextByName(std::string_view key) const;
    TPdfName* PdfNameByName(std::string_view key) const;
    TPdfArray* PdfArrayByName(std::string_view key) const;
    TPdfDictionary* PdfDictionaryByName(std::string_view key) const;
    // The "Type" name, or empty.
    std::string DictionaryType() const;
    TPdfObjectMgr* ObjectMgr() const { return FObjectMgr; }

    void WriteObjectValue(TStream& stream) const override;

private:
    void Put(const std::string& key, std::unique_ptr<TPdfObject> value, bool internal);
    TPdfObject* Resolve(TPdfObject* value) const;

    std::vector<std::unique_ptr<TPdfDictionaryElement>> FElements;
    TPdfObjectMgr* FObjectMgr;
};

class TPdfStream : public TPdfObject {
public:
    explicit TPdfStream(TPdfObjectMgr* objectMgr = nullptr);
    TPdfDictionary& Attributes() { return FAttributes; }
    const TPdfDictionary& Attributes() const { return FAttributes; }
    TMemoryStream& Stream() { return FStream; }
    const TMemoryStream& Stream() const { return FStream; }
    // "Length" follows the data; "FlateDecode" is dropped, since nothing is compressed.
    void WriteObjectValue(TStream& stream) const override;

private:
    mutable TPdfDictionary FAttributes;
    TMemoryStream FStream;
};

class TPdfBinary : public TPdfObject {
public:
    TMemoryStream& Stream() { return FStream; }
    void WriteObjectValue(TStream& stream) const override;

private:
    mutable TMemoryStream FStream;
};

class TPdfXObject : public TPdfStream {
public:
    using TPdfStream::TPdfStream;
};

class TPdfImage : public TPdfXObject {
public:
    using TPdfXObject::TPdfXObject;
};

void WriteTextBytes(std::string_view text, TStream& stream);
// "D:yyyymmddhhnnss", no time zone.
std::string PdfDateText(TDateTime date);
// Fixed-point text of up to 15 significant digits with "." whatever the
// locale; never an exponent, which PDF has no syntax for. Magnitudes are
// bounded to what readers hold: up to the 32-bit integers' largest, and
// below a float's smallest they are 0.
std::string FloatToPdfText(double value);
// Rounded to two decimals.
std::string RealToText(double value);
std::string BytesToHex(std::string_view bytes);
// CP1252 to UTF-16BE, four upper-case hexadecimal digits per code unit.
std::string AnsiToUtf16Hex(std::string_view text);
// The literal string syntax, escapes included.
std::string EscapeText(std::string_view text);
std::string EscapeName(std::string_view name);
