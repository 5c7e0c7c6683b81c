#include "platform/display/ToolkitText.h"

#include "platform/display/Toolkit.h"

#include <FL/Enumerations.H>
#include <fontconfig/fontconfig.h>

namespace Toolkit {

namespace {

// Last in the configuration, so it wins over the system's smoothing and its
// unhinting of small sizes in the fonts matched.
constexpr char HardGlyphs[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>false</bool></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="autohint" mode="assign"><bool>false</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintfull</const></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
  </match>
</fontconfig>
)";

}  // namespace

void UseCanvasText()
{
    // Once per run, however often a display opens. Without fontconfig the
    // toolkit keeps its own smoothing; the text still shows.
    static const bool loaded = FcInit() && FcConfigParseAndLoadFromMemory(
                                               FcConfigGetCurrent(), reinterpret_cast<const FcChar8*>(HardGlyphs), FcTrue);
    static_cast<void>(loaded);
    FL_NORMAL_SIZE = TextSize();
}

int TextSize() { return FontSize(TFont{}); }

}  // namespace Toolkit
