#include "platform/controls/Properties.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

namespace {

std::map<std::string, TComponentFactory>& ClassTable()
{
    static std::map<std::string, TComponentFactory> table;
    return table;
}

std::string Lowered(std::string_view s)
{
    std::string r(s);
    for (char& c : r)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return r;
}

const char* KindName(TLayoutValue::TKind kind)
{
    switch (kind) {
    case TLayoutValue::vkInt: return "a number";
    case TLayoutValue::vkString: return "a text";
    case TLayoutValue::vkIdent: return "a name";
    case TLayoutValue::vkSet: return "a set";
    case TLayoutValue::vkList: return "a list";
    case TLayoutValue::vkBinary: return "binary data";
    }
    return "a value";
}

[[noreturn]] void WrongKind(const TLayoutValue& v, const char* expected, TLayoutReadContext& ctx)
{
    ctx.Fail(std::string("expected ") + expected + ", found " + KindName(v.Kind));
}

}  // namespace

void RegisterStandardComponentClasses();  // ComponentClasses.cpp

const std::any* THandlerTable::Find(const std::string& name) const
{
    auto it = FHandlers.find(name);
    if (it != FHandlers.end()) return &it->second;
    for (const auto& [key, value] : FHandlers)
        if (SameName(key, name)) return &value;
    return nullptr;
}

void TLayoutReadContext::RunFixups()
{
    auto fixups = std::move(FFixups);
    for (auto& f : fixups) f();
}

TComponent* TLayoutReadContext::Lookup(const std::string& name) const
{
    if (SameName(FRoot.Name(), name)) return &FRoot;
    return FRoot.FindComponent(name);
}

const TPropertyInfo* TPropertyTable::Find(std::string_view name) const
{
    const std::string wanted(name);
    for (const TPropertyTable* t = this; t; t = t->FBase)
        for (const TPropertyInfo& p : t->FProperties)
            if (SameName(p.Name, wanted)) return &p;
    return nullptr;
}

std::vector<const TPropertyInfo*> TPropertyTable::All() const
{
    std::vector<const TPropertyInfo*> result;
    if (FBase) result = FBase->All();
    for (const TPropertyInfo& p : FProperties) {
        // A class may redefine a base property (a form's Visible); it keeps its place.
        auto same = std::find_if(result.begin(), result.end(),
                                 [&](const TPropertyInfo* q) { return SameName(q->Name, p.Name); });
        if (same != result.end()) *same = &p;
        else result.push_back(&p);
    }
    return result;
}

TPropertyTable& TPropertyTable::Add(TPropertyInfo info)
{
    FProperties.push_back(std::move(info));
    return *this;
}

TPropertyTable& TPropertyTable::AlwaysStored()
{
    if (!FProperties.empty()) FProperties.back().AlwaysStored = true;
    return *this;
}

TPropertyTable& TPropertyTable::StoredIf(std::function<bool(const TComponent&)> stored, int count)
{
    for (int i = 0; i < count && i < static_cast<int>(FProperties.size()); ++i)
        FProperties[FProperties.size() - 1 - static_cast<std::size_t>(i)].Stored = stored;
    return *this;
}

std::int64_t TPropertyTable::IntValue(const TLayoutValue& v, const TIdentTable* idents, TLayoutReadContext& ctx)
{
    if (v.Kind == TLayoutValue::vkInt) return v.Int;
    if (v.Kind == TLayoutValue::vkIdent && idents) return IdentValue(v, *idents, ctx);
    WrongKind(v, "a number", ctx);
}

TLayoutValue TPropertyTable::IntToValue(std::int64_t value, const TIdentTable* idents)
{
    if (idents)
        for (const auto& [number, name] : *idents)
            if (number == value) return TLayoutValue::MakeIdent(name);
    return TLayoutValue::MakeInt(value);
}

bool TPropertyTable::BoolValue(const TLayoutValue& v, TLayoutReadContext& ctx)
{
    if (v.Kind == TLayoutValue::vkIdent) {
        if (SameName(v.Text, "True")) return true;
        if (SameName(v.Text, "False")) return false;
    }
    ctx.Fail("expected True or False");
}

std::string TPropertyTable::StringValue(const TLayoutValue& v, TLayoutReadContext& ctx)
{
    if (v.Kind != TLayoutValue::vkString) WrongKind(v, "a text", ctx);
    return v.Text;
}

TDateTime TPropertyTable::DateTimeValue(const TLayoutValue& v, TLayoutReadContext& ctx)
{
    const std::string text = StringValue(v, ctx);
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
    const int read = std::sscanf(text.c_str(), "%d.%d.%d %d:%d:%d", &day, &month, &year, &hour, &minute, &second);
    if ((read != 3 && read != 6) || hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0)
        ctx.Fail("not a date and time: " + text);
    try {
        return EncodeDate(year, month, day) + (hour * 3600 + minute * 60 + second) / 86400.0;
    } catch (const Exception&) {
        ctx.Fail("not a date: " + text);
    }
}

TLayoutValue TPropertyTable::DateTimeToValue(TDateTime value)
{
    return TLayoutValue::MakeString(DateToStr(value) + " " + TimeToStr(value));
}

std::int64_t TPropertyTable::IdentValue(const TLayoutValue& v, const TIdentTable& idents, TLayoutReadContext& ctx)
{
    if (v.Kind == TLayoutValue::vkInt) {
        for (const auto& entry : idents)
            if (entry.first == v.Int) return v.Int;
        // Numbers outside a name table are fine for colours and cursors.
        if (&idents == &ColorIdents() || &idents == &CursorIdents() || &idents == &ModalResultIdents()) return v.Int;
        ctx.Fail("value " + std::to_string(v.Int) + " out of range");
    }
    if (v.Kind != TLayoutValue::vkIdent) WrongKind(v, "a name", ctx);
    for (const auto& [number, name] : idents)
        if (SameName(name, v.Text)) return number;
    ctx.Fail("unknown value " + v.Text);
}

std::uint64_t TPropertyTable::SetValue(const TLayoutValue& v, const std::vector<const char*>& names,
                                       TLayoutReadContext& ctx)
{
    if (v.Kind != TLayoutValue::vkSet) WrongKind(v, "a set", ctx);
    std::uint64_t bits = 0;
    for (const std::string& member : v.Items) {
        auto it = std::find_if(names.begin(), names.end(), [&](const char* n) { return SameName(n, member); });
        if (it == names.end()) ctx.Fail("unknown set member " + member);
        bits |= std::uint64_t(1) << (it - names.begin());
    }
    return bits;
}

TLayoutValue TPropertyTable::SetToValue(std::uint64_t bits, const std::vector<const char*>& names)
{
    std::vector<std::string> members;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (bits & (std::uint64_t(1) << i)) members.emplace_back(names[i]);
    return TLayoutValue::MakeSet(std::move(members));
}

const std::vector<std::string>& TPropertyTable::ListValue(const TLayoutValue& v, TLayoutReadContext& ctx)
{
    if (v.Kind != TLayoutValue::vkList) WrongKind(v, "a list", ctx);
    return v.Items;
}

std::string TPropertyTable::IdentName(const TLayoutValue& v, TLayoutReadContext& ctx)
{
    if (v.Kind != TLayoutValue::vkIdent) WrongKind(v, "a name", ctx);
    return v.Text;
}

void TPropertyTable::AddFont(const std::string& prefix, std::function<TFont&(TComponent&)> get,
                             std::function<void(TComponent&)> changed)
{
    static const std::vector<const char*> styleNames = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
    auto cget = [get](const TComponent& c) -> TFont& { return get(const_cast<TComponent&>(c)); };
    Add(prefix + ".Name",
         [get, changed](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
             get(c).SetName(StringValue(v, ctx));
             changed(c);
         },
         [cget](const TComponent& c) -> std::optional<TLayoutValue> { return TLayoutValue::MakeString(cget(c).Name()); });
    Add(prefix + ".Height",
         [get, changed](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
             get(c).SetHeight(static_cast<int>(IntValue(v, nullptr, ctx)));
             changed(c);
         },
         [cget](const TComponent& c) -> std::optional<TLayoutValue> { return TLayoutValue::MakeInt(cget(c).Height()); });
    // Size is another view of Height; the writer keeps Height only.
    Add(prefix + ".Size",
         [get, changed](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
             get(c).SetSize(static_cast<int>(IntValue(v, nullptr, ctx)));
             changed(c);
         },
         [](const TComponent&) -> std::optional<TLayoutValue> { return std::nullopt; });
    Add(prefix + ".Color",
         [get, changed](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
             get(c).SetColor(static_cast<TColor>(IntValue(v, &ColorIdents(), ctx)));
             changed(c);
         },
         [cget](const TComponent& c) -> std::optional<TLayoutValue> {
             return IntToValue(static_cast<std::int64_t>(cget(c).Color()), &ColorIdents());
         });
    Add(prefix + ".Style",
         [get, changed](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
             get(c).SetStyle(static_cast<TFontStyles>(SetValue(v, styleNames, ctx)));
             changed(c);
         },
         [cget](const TComponent& c) -> std::optional<TLayoutValue> { return SetToValue(cget(c).Style(), styleNames); });
}

const TIdentTable& ColorIdents()
{
    static const TIdentTable table = {
        {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
        {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
        {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
        {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
        {clNone, "clNone"}, {clDefault, "clDefault"},
        {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
        {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
        {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
        {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"},
        {clInactiveBorder, "clInactiveBorder"}, {clAppWorkSpace, "clAppWorkSpace"},
        {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"}, {clBtnFace, "clBtnFace"},
        {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
        {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
        {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"},
        {clInfoBk, "clInfoBk"},
    };
    return table;
}

const TIdentTable& CursorIdents()
{
    static const TIdentTable table = {
        {0, "crDefault"}, {-1, "crNone"}, {-2, "crArrow"}, {-3, "crCross"}, {-4, "crIBeam"},
        {-5, "crSize"}, {-6, "crSizeNESW"}, {-7, "crSizeNS"}, {-8, "crSizeNWSE"}, {-9, "crSizeWE"},
        {-10, "crUpArrow"}, {-11, "crHourGlass"}, {-12, "crDrag"}, {-13, "crNoDrop"}, {-14, "crHSplit"},
        {-15, "crVSplit"}, {-16, "crMultiDrag"}, {-17, "crSQLWait"}, {-18, "crNo"}, {-19, "crAppStart"},
        {-20, "crHelp"}, {-21, "crHandPoint"},
    };
    return table;
}

const TIdentTable& ModalResultIdents()
{
    static const TIdentTable table = {
        {0, "mrNone"}, {1, "mrOk"}, {2, "mrCancel"}, {3, "mrAbort"}, {4, "mrRetry"}, {5, "mrIgnore"},
        {6, "mrYes"}, {7, "mrNo"}, {8, "mrAll"}, {9, "mrNoToAll"}, {10, "mrYesToAll"},
    };
    return table;
}

const TIdentTable& AlignIdents()
{
    static const TIdentTable table = {
        {0, "alNone"}, {1, "alTop"}, {2, "alBottom"}, {3, "alLeft"}, {4, "alRight"}, {5, "alClient"},
    };
    return table;
}

void RegisterComponentClass(const std::string& className, TComponentFactory factory)
{
    ClassTable()[Lowered(className)] = std::move(factory);
}

const TComponentFactory* FindComponentClass(const std::string& className)
{
    static std::once_flag standard;
    std::call_once(standard, RegisterStandardComponentClasses);
    auto& table = ClassTable();
    auto it = table.find(Lowered(className));
    return it == table.end() ? nullptr : &it->second;
}

const TPropertyTable& TComponent::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t;
        t.String<TComponent>("Name", &TComponent::Name, &TComponent::SetName);
        t.Int<TComponent>("Tag", &TComponent::Tag, &TComponent::SetTag);
        return t;
    }();
    return table;
}
