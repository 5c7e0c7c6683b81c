#pragma once

// Event types, shift states and key codes shared by all controls.
//
// Every event is an assignable std::function member that fires only when
// assigned. Controls fire them through Fire() (TComponent.h), which guards the
// dispatch against a handler that frees its sender.

#include <cstdint>
#include <exception>
#include <functional>

#include "platform/graphics/TGraphic.h"  // TObject, TNotifyEvent

enum TMouseButton { mbLeft, mbRight, mbMiddle };

using TShiftState = std::uint8_t;
enum : TShiftState {
    ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64,
};

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TKeyEvent = std::function<void(TObject* Sender, std::uint16_t& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

enum TCloseAction { caNone, caHide, caFree, caMinimize };
using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;

enum TUDBtnType { btNext, btPrev };
using TUDClickEvent = std::function<void(TObject* Sender, TUDBtnType Button)>;
using TChangingEvent = std::function<void(TObject* Sender, bool& AllowChange)>;

enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

// Virtual key codes.
enum : std::uint16_t {
    VK_BACK = 8, VK_TAB = 9, VK_RETURN = 13, VK_SHIFT = 16, VK_CONTROL = 17, VK_ESCAPE = 27,
    VK_SPACE = 32, VK_PRIOR = 33, VK_NEXT = 34, VK_END = 35, VK_HOME = 36, VK_LEFT = 37,
    VK_UP = 38, VK_RIGHT = 39, VK_DOWN = 40, VK_DELETE = 46, VK_F1 = 112,
};

// Whether a setter runs the handler its rule says it runs. The platform passes
// Silent where it must change a value without a notification.
enum class TChangeNotify { Fire, Silent };
