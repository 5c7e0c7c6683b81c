#include "builder/language/LanguageTarget.h"

#include <array>
#include <charconv>
#include <optional>
#include <string>
#include <utility>

#include "builder/language/NavigationWords.h"
#include "platform/controls/TApplication.h"
#include "platform/controls/TComboBox.h"
#include "platform/controls/TImage.h"
#include "platform/controls/TMenu.h"

namespace {

// What a target names: a component (a window or one of its components), one
// item of a combo box, or a navigation word.
struct TTarget {
    TComponent* Component = nullptr;
    int Item = -1;
    std::string* Word = nullptr;
};

// What a row gives: a text, or the picture of a holder image.
struct TValue {
    std::string Text;
    const TPicture* Picture = nullptr;
};

std::string* FindWord(std::string_view name)
{
    const std::array<std::pair<std::string_view, std::string*>, 5> words{{
        {"NavIndexText", &NavIndexText},
        {"NavGalleryText", &NavGalleryText},
        {"NavNextText", &NavNextText},
        {"NavBackText", &NavBackText},
        {"NavPicturesText", &NavPicturesText},
    }};
    for (const auto& [key, word] : words)
        if (key == name)
            return word;
    return nullptr;
}

TCustomForm* FindForm(std::string_view className)
{
    if (!Application)
        return nullptr;
    for (int i = 0; i < Application->ComponentCount(); ++i) {
        auto* form = dynamic_cast<TCustomForm*>(Application->Components(i));
        if (form && className == form->ClassName())
            return form;
    }
    return nullptr;
}

std::optional<TTarget> Resolve(std::string_view target)
{
    TTarget found;
    const auto dot = target.find('.');
    if (dot == std::string_view::npos) {
        if ((found.Word = FindWord(target)))
            return found;
        found.Component = FindForm(target);
        return found.Component ? std::optional(found) : std::nullopt;
    }
    const TCustomForm* form = FindForm(target.substr(0, dot));
    if (!form)
        return std::nullopt;
    std::string_view name = target.substr(dot + 1);
    if (const auto open = name.find('['); open != std::string_view::npos) {
        const std::string_view digits = name.substr(open + 1, name.size() - open - 2);
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), found.Item);
        if (name.back() != ']' || error != std::errc() || end != digits.data() + digits.size() || found.Item < 0)
            return std::nullopt;
        name = name.substr(0, open);
    }
    found.Component = form->FindComponent(std::string(name));
    return found.Component ? std::optional(found) : std::nullopt;
}

std::optional<TValue> ValueOf(const TLanguageRow& row)
{
    if (row.From.empty())
        return TValue{std::string(row.Text)};
    const std::optional<TTarget> source = Resolve(row.From);
    if (!source || source->Item >= 0)
        return std::nullopt;
    if (source->Word)
        return TValue{*source->Word};
    if (const auto* image = dynamic_cast<const TImage*>(source->Component))
        return TValue{{}, &image->Picture()};
    if (const auto* item = dynamic_cast<const TMenuItem*>(source->Component))
        return TValue{item->Caption()};
    if (const auto* control = dynamic_cast<const TControl*>(source->Component))
        return TValue{control->Text()};
    return std::nullopt;
}

enum class TMode { Check, Apply };

bool Give(const TTarget& target, const TValue& value, TMode mode)
{
    const bool apply = mode == TMode::Apply;
    auto* image = dynamic_cast<TImage*>(target.Component);
    if (value.Picture || image) {
        if (!value.Picture || !image)
            return false;
        if (apply)
            image->Picture().Assign(*value.Picture);
        return true;
    }
    if (target.Word) {
        if (apply)
            *target.Word = value.Text;
        return true;
    }
    auto* combo = dynamic_cast<TComboBox*>(target.Component);
    if (target.Item >= 0) {
        if (!combo || target.Item >= combo->Items().Count())
            return false;
        if (apply)
            combo->Items().SetStrings(target.Item, value.Text);
        return true;
    }
    if (combo) {
        if (apply) {
            combo->SetItemIndex(combo->Items().IndexOf(value.Text));
            combo->SetText(value.Text);
        }
        return true;
    }
    if (auto* item = dynamic_cast<TMenuItem*>(target.Component)) {
        if (apply)
            item->SetCaption(value.Text);
        return true;
    }
    if (auto* control = dynamic_cast<TControl*>(target.Component)) {
        if (apply)
            control->SetText(value.Text);
        return true;
    }
    return false;
}

bool Run(const TLanguageRow& row, TMode mode)
{
    const std::optional<TTarget> target = Resolve(row.Target);
    const std::optional<TValue> value = ValueOf(row);
    return target && value && Give(*target, *value, mode);
}

}  // namespace

bool ApplyLanguageRow(const TLanguageRow& row) { return Run(row, TMode::Apply); }

bool LanguageRowFits(const TLanguageRow& row) { return Run(row, TMode::Check); }
