#include "platform/display/ScreenAccess.h"

#include "platform/controls/TScreen.h"

namespace ScreenAccess {

TCustomForm* ActiveForm() { return Screen ? Screen->ActiveForm() : nullptr; }

TPoint CursorPos() { return Mouse ? Mouse->CursorPos() : TPoint{}; }

std::vector<std::string> FontNames()
{
    std::vector<std::string> names;
    if (!Screen) return names;
    const TStrings& fonts = Screen->Fonts();
    for (int i = 0; i < fonts.Count(); ++i) names.push_back(fonts.Strings(i));
    return names;
}

}  // namespace ScreenAccess
