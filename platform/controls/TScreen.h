#pragma once

// The screen: the fixed virtual screen of the device contexts, the global cursor,
// the installed font families (from fontconfig, read once) and the forms.
// The mouse: the pointer's last position on the screen.

#include <functional>
#include <vector>

#include "platform/controls/TControl.h"
#include "platform/core/TStringList.h"
#include "platform/graphics/DeviceContext.h"

class TScreen {
public:
    static constexpr int DefaultWidth = ScreenWidth;
    static constexpr int DefaultHeight = ScreenHeight;

    int Width() const { return DefaultWidth; }
    int Height() const { return DefaultHeight; }
    int PixelsPerInch() const { return ScreenPixelsPerInch; }

    TCursor Cursor() const { return FCursor; }
    // A change is shown at once (through the cursor notice), since the code
    // that sets the hourglass usually works without pumping messages.
    void SetCursor(TCursor value);
    // Called after every change of Cursor; the display installs one.
    static void SetCursorNotice(std::function<void()> notice);

    // Family names, sorted, without duplicates.
    const TStrings& Fonts();

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int index) const;
    TCustomForm* ActiveForm() const { return FActiveForm; }
    void SetActiveForm(TCustomForm* form) { FActiveForm = form; }

    void AddForm(TCustomForm* form);
    void RemoveForm(TCustomForm* form);

private:
    TCursor FCursor = crDefault;
    bool FFontsRead = false;
    TStringList FFonts;
    std::vector<TCustomForm*> FForms;
    TCustomForm* FActiveForm = nullptr;
};

class TMouse {
public:
    TPoint CursorPos() const { return FCursorPos; }
    void SetCursorPos(TPoint p) { FCursorPos = p; }

private:
    TPoint FCursorPos;
};

extern TScreen* Screen;
extern TMouse* Mouse;
