#include "platform/controls/TScreen.h"

#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>

#include "platform/core/AnsiString.h"

namespace {

TScreen TheScreen;
TMouse TheMouse;

std::function<void()>& CursorNotice()
{
    static std::function<void()> notice;
    return notice;
}

std::vector<std::string> FontFamilies()
{
    std::set<std::string> names;
    FcPattern* pattern = FcPatternCreate();
    FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
    FcFontSet* set = pattern && objects ? FcFontList(nullptr, pattern, objects) : nullptr;
    if (set) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8* family = nullptr;
            // A face may list several family names; the first is its own.
            if (FcPatternGetString(set->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch && family) {
                std::string cp1252;
                if (TryUtf8ToCp1252(reinterpret_cast<const char*>(family), cp1252)) names.insert(cp1252);
            }
        }
        FcFontSetDestroy(set);
    }
    if (objects) FcObjectSetDestroy(objects);
    if (pattern) FcPatternDestroy(pattern);
    return {names.begin(), names.end()};
}

}  // namespace

void TScreen::SetCursor(TCursor value)
{
    if (value == FCursor) return;
    FCursor = value;
    if (const auto& notice = CursorNotice()) notice();
}

void TScreen::SetCursorNotice(std::function<void()> notice) { CursorNotice() = std::move(notice); }

TScreen* Screen = &TheScreen;
TMouse* Mouse = &TheMouse;

const TStrings& TScreen::Fonts()
{
    if (!FFontsRead) {
        FFontsRead = true;
        for (const std::string& name : FontFamilies()) FFonts.Add(name);
    }
    return FFonts;
}

TCustomForm* TScreen::Forms(int index) const
{
    if (index < 0 || index >= FormCount()) throw EListError("Form index out of bounds (" + std::to_string(index) + ")");
    return FForms[static_cast<std::size_t>(index)];
}

void TScreen::AddForm(TCustomForm* form)
{
    if (std::find(FForms.begin(), FForms.end(), form) == FForms.end()) FForms.push_back(form);
}

void TScreen::RemoveForm(TCustomForm* form)
{
    std::erase(FForms, form);
    if (FActiveForm == form) FActiveForm = nullptr;
}
