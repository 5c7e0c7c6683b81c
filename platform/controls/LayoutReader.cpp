#include "platform/controls/LayoutReader.h"

#include <cctype>
#include <map>
#include <memory>

#include "platform/core/AnsiString.h"
#include "platform/core/Files.h"
#include "platform/core/Program.h"

namespace {

// ---- reading ----

class TLayoutParser {
public:
    TLayoutParser(std::string_view text, TLayoutReadContext& ctx) : FText(text), FCtx(ctx) {}

    void ReadRoot(TComponent& root, std::vector<TComponent*>& read)
    {
        SkipBlanks();
        ExpectWord("object");
        const std::string name = Identifier();
        Expect(':');
        Identifier();  // the root's class is the form being made
        if (!name.empty()) root.SetName(name);
        root.BeginLoading();
        read.push_back(&root);
        ReadBody(root, read);
        SkipBlanks();
        if (FPos < FText.size()) Fail("text after the last end");
    }

private:
    void ReadBody(TComponent& self, std::vector<TComponent*>& read)
    {
        while (true) {
            SkipBlanks();
            if (FPos >= FText.size()) Fail("missing end");
            const std::string word = Identifier();
            if (SameName(word, "end")) return;
            if (SameName(word, "object")) {
                ReadChild(self, read);
                continue;
            }
            SkipBlanks();
            Expect('=');
            const int line = FLine;
            TLayoutValue value = Value();
            FCtx.SetLine(line);
            const TPropertyInfo* info = self.Properties().Find(word);
            if (!info) FCtx.Fail(std::string("unknown property ") + self.ClassName() + "." + word);
            try {
                info->Read(self, value, FCtx);
            } catch (const ELayoutError&) {
                throw;
            } catch (const std::exception& e) {
                FCtx.Fail(self.Name() + "." + word + ": " + e.what());
            }
        }
    }

    void ReadChild(TComponent& parent, std::vector<TComponent*>& read)
    {
        const int line = FLine;
        const std::string name = Identifier();
        Expect(':');
        const std::string className = Identifier();
        FCtx.SetLine(line);
        const TComponentFactory* factory = FindComponentClass(className);
        if (!factory) FCtx.Fail("unknown class " + className);
        TComponent& root = FCtx.Root();
        if (root.FindComponent(name)) FCtx.Fail("a component named " + name + " exists already");
        TComponent* child = (*factory)(&root);
        try {
            child->SetName(name);
        } catch (const std::exception& e) {
            FCtx.Fail(e.what());
        }
        child->BeginLoading();
        read.push_back(child);
        parent.ChildParent().AddLayoutChild(*child);
        ReadBody(*child, read);
    }

    TLayoutValue Value()
    {
        SkipBlanks();
        if (FPos >= FText.size()) Fail("missing value");
        const char c = FText[FPos];
        if (c == '\'' || c == '#') return TLayoutValue::MakeString(StringValue());
        if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) return TLayoutValue::MakeInt(Number());
        if (c == '[') {
            ++FPos;
            std::vector<std::string> members;
            SkipBlanks();
            if (Peek() == ']') {
                ++FPos;
                return TLayoutValue::MakeSet(members);
            }
            while (true) {
                members.push_back(Identifier());
                SkipBlanks();
                if (Peek() == ']') {
                    ++FPos;
                    return TLayoutValue::MakeSet(members);
                }
                Expect(',');
            }
        }
        if (c == '(') {
            ++FPos;
            std::vector<std::string> items;
            while (true) {
                SkipBlanks();
                if (Peek() == ')') {
                    ++FPos;
                    return TLayoutValue::MakeList(items);
                }
                if (Peek() != '\'' && Peek() != '#') Fail("a list holds texts only");
                items.push_back(StringValue());
            }
        }
        if (c == '{') {
            ++FPos;
            std::string bytes;
            int high = -1;
            while (true) {
                SkipBlanks();
                if (FPos >= FText.size()) Fail("missing }");
                const char h = FText[FPos++];
                if (h == '}') break;
                const int digit = HexDigit(h);
                if (digit < 0) Fail("binary data holds hexadecimal digits only");
                if (high < 0) high = digit;
                else {
                    bytes.push_back(static_cast<char>(high * 16 + digit));
                    high = -1;
                }
            }
            if (high >= 0) Fail("binary data with an odd number of digits");
            return TLayoutValue::MakeBinary(std::move(bytes));
        }
        return TLayoutValue::MakeIdent(Identifier());
    }

    // 'abc'#13#10'def', also continued over lines with "+".
    std::string StringValue()
    {
        std::string utf8;
        std::string result;
        auto flush = [&] {
            std::string cp1252;
            if (!TryUtf8ToCp1252(utf8, cp1252)) Fail("a text that is not UTF-8 or not CP1252");
            result += cp1252;
            utf8.clear();
        };
        while (true) {
            if (Peek() == '\'') {
                ++FPos;
                while (true) {
                    if (FPos >= FText.size() || FText[FPos] == '\n') Fail("unterminated text");
                    const char ch = FText[FPos++];
                    if (ch == '\'') {
                        if (Peek() == '\'') {
                            utf8.push_back('\'');
                            ++FPos;
                            continue;
                        }
                        break;
                    }
                    utf8.push_back(ch);
                }
            } else if (Peek() == '#') {
                ++FPos;
                flush();
                std::int64_t code = 0;
                if (!std::isdigit(static_cast<unsigned char>(Peek()))) Fail("# needs a character code");
                while (std::isdigit(static_cast<unsigned char>(Peek()))) {
                    code = code * 10 + (FText[FPos++] - '0');
                    if (code > 255) Fail("character code above 255");
                }
                result.push_back(static_cast<char>(code));
            } else {
                // A "+" continues the text on the next line.
                const std::size_t save = FPos;
                const int saveLine = FLine;
                SkipBlanks();
                if (Peek() == '+') {
                    ++FPos;
                    SkipBlanks();
                    if (Peek() == '\'' || Peek() == '#') continue;
                    Fail("text expected after +");
                }
                FPos = save;
                FLine = saveLine;
                break;
            }
        }
        flush();
        return result;
    }

    std::int64_t Number()
    {
        bool negative = false;
        if (Peek() == '-') {
            negative = true;
            ++FPos;
        }
        std::int64_t value = 0;
        int digits = 0;
        if (Peek() == '$') {
            ++FPos;
            while (HexDigit(Peek()) >= 0) {
                value = value * 16 + HexDigit(FText[FPos++]);
                if (++digits > 16 || value > 0xFFFFFFFFLL) Fail("number out of range");
            }
        } else {
            while (std::isdigit(static_cast<unsigned char>(Peek()))) {
                value = value * 10 + (FText[FPos++] - '0');
                if (++digits > 11 || value > 0xFFFFFFFFLL) Fail("number out of range");
            }
        }
        if (digits == 0) Fail("a number expected");
        if (std::isalpha(static_cast<unsigned char>(Peek())) || Peek() == '_') Fail("a number expected");
        return negative ? -value : value;
    }

    std::string Identifier()
    {
        SkipBlanks();
        const std::size_t start = FPos;
        auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; };
        if (FPos >= FText.size() || !letter(FText[FPos])) Fail("a name expected");
        while (FPos < FText.size() && (letter(FText[FPos]) || std::isdigit(static_cast<unsigned char>(FText[FPos])) ||
                                       FText[FPos] == '.'))
            ++FPos;
        return std::string(FText.substr(start, FPos - start));
    }

    void ExpectWord(const char* word)
    {
        if (!SameName(Identifier(), word)) Fail(std::string("\"") + word + "\" expected");
    }

    void Expect(char c)
    {
        SkipBlanks();
        if (Peek() != c) Fail(std::string("\"") + c + "\" expected");
        ++FPos;
    }

    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }

    void SkipBlanks()
    {
        while (FPos < FText.size()) {
            const char c = FText[FPos];
            if (c == '\n') {
                ++FLine;
                ++FPos;
            } else if (c == ' ' || c == '\t' || c == '\r') {
                ++FPos;
            } else if (c == '/' && FPos + 1 < FText.size() && FText[FPos + 1] == '/') {
                while (FPos < FText.size() && FText[FPos] != '\n') ++FPos;
            } else {
                break;
            }
        }
    }

    static int HexDigit(char c)
    {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    }

    [[noreturn]] void Fail(const std::string& message)
    {
        FCtx.SetLine(FLine);
        FCtx.Fail(message);
    }

    std::string_view FText;
    TLayoutReadContext& FCtx;
    std::size_t FPos = 0;
    int FLine = 1;
};

// ---- writing ----

std::string QuoteText(const std::string& cp1252)
{
    std::string out;
    bool inQuote = false;
    for (unsigned char c : cp1252) {
        if (c < 32 || c == 127) {
            if (inQuote) out += '\'';
            inQuote = false;
            out += '#' + std::to_string(c);
        } else {
            if (!inQuote) out += '\'';
            inQuote = true;
            if (c == '\'') out += "''";
            else out += Cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(&c), 1));
        }
    }
    if (inQuote) out += '\'';
    if (out.empty()) out = "''";
    return out;
}

void WriteValue(std::string& out, const TLayoutValue& v, const std::string& indent)
{
    static const char* hex = "0123456789ABCDEF";
    switch (v.Kind) {
    case TLayoutValue::vkInt: out += std::to_string(v.Int); break;
    case TLayoutValue::vkString: out += QuoteText(v.Text); break;
    case TLayoutValue::vkIdent: out += v.Text; break;
    case TLayoutValue::vkSet:
        out += '[';
        for (std::size_t i = 0; i < v.Items.size(); ++i) out += (i ? ", " : "") + v.Items[i];
        out += ']';
        break;
    case TLayoutValue::vkList:
        out += '(';
        for (const std::string& item : v.Items) out += "\n" + indent + "  " + QuoteText(item);
        out += ')';
        break;
    case TLayoutValue::vkBinary:
        out += '{';
        for (std::size_t i = 0; i < v.Text.size(); ++i) {
            if (i % 32 == 0) out += "\n" + indent + "  ";
            const auto b = static_cast<unsigned char>(v.Text[i]);
            out += hex[b >> 4];
            out += hex[b & 15];
        }
        out += '}';
        break;
    }
}

void WriteObject(std::string& out, const TComponent& root, const TComponent& self, const std::string& indent)
{
    out += indent + "object " + self.Name() + ": " + self.ClassName() + "\n";
    std::unique_ptr<TComponent> defaults;
    if (const TComponentFactory* factory = FindComponentClass(self.ClassName())) defaults.reset((*factory)(nullptr));
    for (const TPropertyInfo* p : self.Properties().All()) {
        if (SameName(p->Name, "Name")) continue;
        if (p->Stored && !p->Stored(self)) continue;
        const std::optional<TLayoutValue> value = p->Write(self);
        if (!value) continue;
        if (defaults && !p->AlwaysStored) {
            const std::optional<TLayoutValue> base = p->Write(*defaults);
            if (base && *base == *value) continue;
            if (!base && value->Kind == TLayoutValue::vkList && value->Items.empty()) continue;
        }
        out += indent + "  " + p->Name + " = ";
        WriteValue(out, *value, indent + "  ");
        out += "\n";
    }
    for (int i = 0; i < root.ComponentCount(); ++i) {
        const TComponent* child = root.Components(i);
        const TComponent* parent = child->LayoutParent();
        const bool mine = parent == &self.ChildParent() || (&self == &root && parent == nullptr);
        if (mine && !child->Name().empty()) WriteObject(out, root, *child, indent + "  ");
    }
    out += indent + "end\n";
}

std::map<std::string, std::string>& RegisteredLayouts()
{
    static std::map<std::string, std::string> layouts;
    return layouts;
}

std::string& LayoutDirectory()
{
    static std::string dir;
    return dir;
}

}  // namespace

namespace {

void BindComponents(const TLayoutReadContext& ctx, const std::string& sourceName, const TBindingTable& bindings)
{
    for (const TComponentBinding& binding : bindings) {
        TComponent* component = ctx.Lookup(binding.Name());
        if (!component || !binding.Bind(ctx.Root(), *component))
            throw ELayoutError(sourceName + ": no component " + binding.Name() + " of the needed class");
    }
}

}  // namespace

void ReadComponentLayout(TComponent& root, std::string_view text, const THandlerTable* handlers,
                         const std::string& sourceName, const TBindingTable* bindings)
{
    TLayoutReadContext ctx(root, handlers, sourceName);
    std::vector<TComponent*> read;
    try {
        TLayoutParser(text, ctx).ReadRoot(root, read);
        ctx.RunFixups();
        if (bindings) BindComponents(ctx, sourceName, *bindings);
    } catch (...) {
        for (TComponent* c : read) c->Loaded();
        throw;
    }
    for (TComponent* c : read) c->Loaded();
}

std::string WriteComponentLayout(const TComponent& root)
{
    std::string out;
    WriteObject(out, root, root, "");
    return out;
}

void RegisterLayoutResource(const std::string& name, std::string text) { RegisteredLayouts()[name] = std::move(text); }

void SetLayoutDirectory(const std::string& dir) { LayoutDirectory() = IncludeTrailingPathDelimiter(dir); }

std::string LayoutFileName(const std::string& name)
{
    if (!name.empty() && name[0] == '/') return name;
    std::string dir = LayoutDirectory();
    if (dir.empty()) dir = ExtractFilePath(ProgramFileName()) + "resources/";
    return dir + name;
}

std::string LayoutResource(const std::string& name)
{
    auto& layouts = RegisteredLayouts();
    if (auto it = layouts.find(name); it != layouts.end()) return it->second;
    const std::string file = LayoutFileName(name + ".layout");
    if (!FileExists(file)) throw ELayoutError("No layout resource " + name + " (" + file + ")");
    return ReadFileBytes(file);
}
