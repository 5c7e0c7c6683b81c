#pragma once

// Stored properties: one table per class, built once, that the layout reader
// uses to stream values into a component and the layout writer to read them
// back out.
//
// A table names each property, how to apply a layout value to a component and
// how to give the component's value back. Lookups are case-insensitive and walk
// the base class's table. Values that do not fit a property (a text for an
// integer, an unknown enumeration name) raise ELayoutError at once.

#include <any>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/controls/TComponent.h"
#include "platform/core/DateTime.h"
#include "platform/core/TStringList.h"
#include "platform/graphics/Colors.h"
#include "platform/graphics/TCanvas.h"

// A layout that cannot be read: names the layout and the line.
class ELayoutError : public Exception {
public:
    using Exception::Exception;
};

// One value of a layout: 12, -3, 'text', Ident, [a, b], ('line' 'line'), {hex bytes}.
struct TLayoutValue {
    enum TKind { vkInt, vkString, vkIdent, vkSet, vkList, vkBinary };
    TKind Kind = vkInt;
    std::int64_t Int = 0;
    std::string Text;                // string, identifier, or binary bytes
    std::vector<std::string> Items;  // set members or list strings

    static TLayoutValue MakeInt(std::int64_t v) { TLayoutValue r; r.Kind = vkInt; r.Int = v; return r; }
    static TLayoutValue MakeString(std::string s) { TLayoutValue r; r.Kind = vkString; r.Text = std::move(s); return r; }
    static TLayoutValue MakeIdent(std::string s) { TLayoutValue r; r.Kind = vkIdent; r.Text = std::move(s); return r; }
    static TLayoutValue MakeSet(std::vector<std::string> s) { TLayoutValue r; r.Kind = vkSet; r.Items = std::move(s); return r; }
    static TLayoutValue MakeList(std::vector<std::string> s) { TLayoutValue r; r.Kind = vkList; r.Items = std::move(s); return r; }
    static TLayoutValue MakeBinary(std::string b) { TLayoutValue r; r.Kind = vkBinary; r.Text = std::move(b); return r; }
    friend bool operator==(const TLayoutValue&, const TLayoutValue&) = default;
};

// Event handlers by name, one table per form: the layout reader binds
// "OnClick = Button1Click" through it. Each entry holds the std::function of
// the handler's own event type.
class THandlerTable {
public:
    template <class F, class... A>
    void Add(const std::string& name, F* object, void (F::*method)(A...))
    {
        FHandlers[name] = std::function<void(A...)>([object, method](A... args) {
            (object->*method)(std::forward<A>(args)...);
        });
    }
    template <class Event>
    void AddFunction(const std::string& name, Event handler) { FHandlers[name] = std::move(handler); }
    const std::any* Find(const std::string& name) const;
    bool Empty() const { return FHandlers.empty(); }

private:
    std::map<std::string, std::any> FHandlers;
};

// Components by name, one table per form: once the layout is read, the reader
// puts each named component into the form member beside its name. A name the
// layout lacks, or a component of another class than the member's, raises
// ELayoutError, so a renamed control fails when the form is made.
class TComponentBinding {
public:
    template <class Form, class T>
    TComponentBinding(std::string name, T* Form::*member)
        : FName(std::move(name)), FBind([member](TComponent& root, TComponent& component) {
              auto* form = dynamic_cast<Form*>(&root);
              auto* typed = dynamic_cast<T*>(&component);
              if (!form || !typed) return false;
              form->*member = typed;
              return true;
          })
    {
    }
    const std::string& Name() const { return FName; }
    // False when the root is not the member's form or the component not of its class.
    bool Bind(TComponent& root, TComponent& component) const { return FBind(root, component); }

private:
    std::string FName;
    std::function<bool(TComponent&, TComponent&)> FBind;
};
using TBindingTable = std::vector<TComponentBinding>;

// What a property reader needs besides the value.
class TLayoutReadContext {
public:
    TLayoutReadContext(TComponent& root, const THandlerTable* handlers, std::string source)
        : FRoot(root), FHandlers(handlers), FSource(std::move(source)) {}

    TComponent& Root() const { return FRoot; }
    const THandlerTable* Handlers() const { return FHandlers; }
    // "<layout> line <n>", for error messages.
    std::string Where() const { return FSource + " line " + std::to_string(FLine); }
    void SetLine(int line) { FLine = line; }
    [[noreturn]] void Fail(const std::string& message) const { throw ELayoutError(Where() + ": " + message); }

    // References to other components are resolved when the whole layout is read.
    void AddFixup(std::function<void()> fixup) { FFixups.push_back(std::move(fixup)); }
    void RunFixups();
    // A component by name: the root itself or one it owns; nullptr when none.
    TComponent* Lookup(const std::string& name) const;

private:
    TComponent& FRoot;
    const THandlerTable* FHandlers;
    std::string FSource;
    int FLine = 0;
    std::vector<std::function<void()>> FFixups;
};

struct TPropertyInfo {
    std::string Name;
    std::function<void(TComponent&, const TLayoutValue&, TLayoutReadContext&)> Read;
    // nullopt: nothing to write (an unassigned event, an empty reference).
    std::function<std::optional<TLayoutValue>(const TComponent&)> Write;
    bool AlwaysStored = false;
    // When set and false, the writer leaves the property out (a font that
    // follows the parent's).
    std::function<bool(const TComponent&)> Stored;
};

// Names for enumeration values, by their number.
using TIdentTable = std::vector<std::pair<std::int64_t, const char*>>;
const TIdentTable& ColorIdents();
const TIdentTable& CursorIdents();
const TIdentTable& ModalResultIdents();
const TIdentTable& AlignIdents();

class TPropertyTable {
public:
    explicit TPropertyTable(const TPropertyTable* base = nullptr) : FBase(base) {}

    const TPropertyInfo* Find(std::string_view name) const;
    // All properties, the base class's first.
    std::vector<const TPropertyInfo*> All() const;

    TPropertyTable& Add(TPropertyInfo info);
    TPropertyTable& Add(std::string name,
                        std::function<void(TComponent&, const TLayoutValue&, TLayoutReadContext&)> read,
                        std::function<std::optional<TLayoutValue>(const TComponent&)> write)
    {
        TPropertyInfo info;
        info.Name = std::move(name);
        info.Read = std::move(read);
        info.Write = std::move(write);
        return Add(std::move(info));
    }

    // An integer; `idents` lets a layout also name values (mrOk, crHandPoint).
    template <class C, class G, class S>
    TPropertyTable& Int(const char* name, G get, S set, const TIdentTable* idents = nullptr)
    {
        return Add(name,
                    [set, idents](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), static_cast<int>(IntValue(v, idents, ctx)));
                    },
                    [get, idents](const TComponent& c) -> std::optional<TLayoutValue> {
                        return IntToValue(std::invoke(get, static_cast<const C&>(c)), idents);
                    });
    }
    template <class C, class G, class S>
    TPropertyTable& Bool(const char* name, G get, S set)
    {
        return Add(name,
                    [set](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), BoolValue(v, ctx));
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        return TLayoutValue::MakeIdent(std::invoke(get, static_cast<const C&>(c)) ? "True" : "False");
                    });
    }
    template <class C, class G, class S>
    TPropertyTable& String(const char* name, G get, S set)
    {
        return Add(name,
                    [set](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), StringValue(v, ctx));
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        return TLayoutValue::MakeString(std::string(std::invoke(get, static_cast<const C&>(c))));
                    });
    }
    template <class C, class G, class S>
    TPropertyTable& Color(const char* name, G get, S set)
    {
        return Add(name,
                    [set](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), static_cast<TColor>(IntValue(v, &ColorIdents(), ctx)));
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        return IntToValue(static_cast<std::int64_t>(std::invoke(get, static_cast<const C&>(c))), &ColorIdents());
                    });
    }
    // A date and time, written 'dd.mm.yyyy hh:mm:ss'; a layout may leave the time out.
    template <class C, class G, class S>
    TPropertyTable& DateTime(const char* name, G get, S set)
    {
        return Add(name,
                    [set](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), DateTimeValue(v, ctx));
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        return DateTimeToValue(std::invoke(get, static_cast<const C&>(c)));
                    });
    }
    // An enumeration whose values are 0, 1, 2, ... in the order of `names`.
    template <class C, class E, class G, class S>
    TPropertyTable& Enum(const char* name, G get, S set, std::vector<const char*> names)
    {
        auto table = std::make_shared<TIdentTable>();
        for (std::size_t i = 0; i < names.size(); ++i) table->emplace_back(static_cast<std::int64_t>(i), names[i]);
        return Add(name,
                    [set, table](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), static_cast<E>(IdentValue(v, *table, ctx)));
                    },
                    [get, table](const TComponent& c) -> std::optional<TLayoutValue> {
                        return IntToValue(static_cast<std::int64_t>(std::invoke(get, static_cast<const C&>(c))), table.get());
                    });
    }
    // A set of flags: names[i] is bit 1 << i.
    template <class C, class T, class G, class S>
    TPropertyTable& Set(const char* name, G get, S set, std::vector<const char*> names)
    {
        auto shared = std::make_shared<std::vector<const char*>>(std::move(names));
        return Add(name,
                    [set, shared](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        std::invoke(set, static_cast<C&>(c), static_cast<T>(SetValue(v, *shared, ctx)));
                    },
                    [get, shared](const TComponent& c) -> std::optional<TLayoutValue> {
                        return SetToValue(static_cast<std::uint64_t>(std::invoke(get, static_cast<const C&>(c))), *shared);
                    });
    }
    // A string list, written "<name>.Strings = ('a' 'b')".
    template <class C, class G>
    TPropertyTable& Strings(const char* name, G get)
    {
        return Add(std::string(name) + ".Strings",
                    [get](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        TStrings& list = std::invoke(get, static_cast<C&>(c));
                        list.Clear();
                        for (const std::string& s : ListValue(v, ctx)) list.Add(s);
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        TStrings& list = std::invoke(get, const_cast<C&>(static_cast<const C&>(c)));
                        return TLayoutValue::MakeList(list.Items());
                    });
    }
    // Font.Name, Font.Size, Font.Height, Font.Color and Font.Style of a font
    // member; `changed` is called after each write.
    template <class C, class G, class N>
    TPropertyTable& Font(const char* prefix, G get, N changed)
    {
        AddFont(prefix,
                [get](TComponent& c) -> TFont& { return std::invoke(get, static_cast<C&>(c)); },
                [changed](TComponent& c) { std::invoke(changed, static_cast<C&>(c)); });
        return *this;
    }
    // An event: the value names a handler of the form's handler table.
    template <class C, class Event>
    TPropertyTable& EventHandler(const char* name, Event C::*member)
    {
        std::string event = name;
        return Add(name,
                    [member, event](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        const std::string handler = IdentName(v, ctx);
                        const std::any* found = ctx.Handlers() ? ctx.Handlers()->Find(handler) : nullptr;
                        if (!found) ctx.Fail("unknown handler " + handler + " for " + c.Name() + "." + event);
                        const Event* fn = std::any_cast<Event>(found);
                        if (!fn) ctx.Fail("handler " + handler + " does not fit " + c.Name() + "." + event);
                        static_cast<C&>(c).*member = *fn;
                        c.SetBoundHandler(event, handler);
                    },
                    [event](const TComponent& c) -> std::optional<TLayoutValue> {
                        for (const auto& [e, h] : c.BoundHandlers())
                            if (e == event) return TLayoutValue::MakeIdent(h);
                        return std::nullopt;
                    });
    }
    // A reference to another component of the same layout, by name.
    template <class C, class T, class G, class S>
    TPropertyTable& Reference(const char* name, G get, S set)
    {
        std::string prop = name;
        return Add(name,
                    [set, prop](TComponent& c, const TLayoutValue& v, TLayoutReadContext& ctx) {
                        const std::string target = IdentName(v, ctx);
                        const std::string where = ctx.Where();
                        C* self = &static_cast<C&>(c);
                        ctx.AddFixup([self, set, target, where, prop, &ctx] {
                            T* found = dynamic_cast<T*>(ctx.Lookup(target));
                            if (!found)
                                throw ELayoutError(where + ": " + self->Name() + "." + prop + ": no fitting component " + target);
                            std::invoke(set, *self, found);
                        });
                    },
                    [get](const TComponent& c) -> std::optional<TLayoutValue> {
                        const T* target = std::invoke(get, static_cast<const C&>(c));
                        if (!target || target->Name().empty()) return std::nullopt;
                        return TLayoutValue::MakeIdent(target->Name());
                    });
    }
    // Marks the last property added as written even at its default value.
    TPropertyTable& AlwaysStored();
    // The last `count` properties added are written only when `stored` holds.
    TPropertyTable& StoredIf(std::function<bool(const TComponent&)> stored, int count = 1);

    // Value conversions, raising ELayoutError through the context.
    static std::int64_t IntValue(const TLayoutValue& v, const TIdentTable* idents, TLayoutReadContext& ctx);
    static TLayoutValue IntToValue(std::int64_t value, const TIdentTable* idents);
    static bool BoolValue(const TLayoutValue& v, TLayoutReadContext& ctx);
    static std::string StringValue(const TLayoutValue& v, TLayoutReadContext& ctx);
    static TDateTime DateTimeValue(const TLayoutValue& v, TLayoutReadContext& ctx);
    static TLayoutValue DateTimeToValue(TDateTime value);
    static std::int64_t IdentValue(const TLayoutValue& v, const TIdentTable& idents, TLayoutReadContext& ctx);
    static std::uint64_t SetValue(const TLayoutValue& v, const std::vector<const char*>& names, TLayoutReadContext& ctx);
    static TLayoutValue SetToValue(std::uint64_t bits, const std::vector<const char*>& names);
    static const std::vector<std::string>& ListValue(const TLayoutValue& v, TLayoutReadContext& ctx);
    static std::string IdentName(const TLayoutValue& v, TLayoutReadContext& ctx);

private:
    void AddFont(const std::string& prefix, std::function<TFont&(TComponent&)> get,
                 std::function<void(TComponent&)> changed);

    const TPropertyTable* FBase;
    std::vector<TPropertyInfo> FProperties;
};

// Component classes by name, for the layout reader. The standard controls are
// registered on first use; other units add theirs with RegisterComponentClass.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
template <class T>
void RegisterComponentClass(const std::string& className)
{
    RegisterComponentClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}
// nullptr when no class has that name (case-insensitive).
const TComponentFactory* FindComponentClass(const std::string& className);
