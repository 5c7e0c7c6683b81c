#pragma once

// Forms: top-level windowed controls with a surface, modal showing, and the
// input dispatch.
//
// - A form keeps a surface bitmap of its client size, also headless. Windowless
//   controls paint into it (Invalidate marks, Update paints now, and the
//   application paints what is marked whenever its queue runs empty); a display
//   backend shows it.
// - ShowModal shows the form and runs a nested loop on the thread's loop core
//   until ModalResult is set, then hides the form and answers the result. The
//   user-interaction interface decides what happens while it waits: with a
//   display a person acts; headless the test's script acts, and a modal showing
//   the script does not expect fails at once (EUnscriptedInteraction).
//   Handlers may open further modal forms; each loop ends with its own result.
// - Close: a modal form gets mrCancel; otherwise OnCloseQuery and OnClose run
//   (default action caHide) and closing the application's main form ends the
//   application. caFree releases the form: it is deleted by a posted message,
//   so the handler that closed it returns first.
// - MouseInput and KeyInput are the input entry points: the display backend and
//   the headless input driver (InputDriver.h) both call them.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/controls/Properties.h"
#include "platform/controls/TWinControl.h"
#include "platform/controls/UserInteraction.h"
#include "platform/graphics/TBitmap.h"

using TModalResult = int;
enum : TModalResult {
    mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6, mrNo = 7,
    mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderIcons = std::uint8_t;
enum : TBorderIcons { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
                 poMainFormCenter, poOwnerFormCenter };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };

// DblClick is the second press of a double-click: a press, and the double-click with it.
enum class TMouseInputKind { Move, Down, Up, DblClick };

class TCustomForm : public TWinControl {
public:
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    const char* ClassName() const override { return "TForm"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    // Forms start hidden.
    void SetVisible(bool value) override;
    void Show();
    void Hide();
    TModalResult ShowModal();
    void Close();
    // Deletes the form once the loop gets to it; the caller returns first.
    void Release();
    bool Modal() const { return FModalLevel > 0; }
    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult value) { FModalResult = value; }

    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle value);
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);
    bool IsToolWindow() const { return FBorderStyle == bsToolWindow || FBorderStyle == bsSizeToolWin; }
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState value);
    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* menu);

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);

    // The surface, sized to the client area.
    TBitmap& Surface() { return FSurface; }
    void InvalidateRect(const TRect& rect);
    bool NeedsPaint() const { return !FDirty.IsEmpty(); }
    // Paints the marked part of the surface now.
    void PaintSurface();
    int PaintCount() const { return FPaintCount; }

    // Input in client coordinates of the form.
    void MouseInput(TMouseInputKind kind, TMouseButton button, TShiftState shift, int x, int y);
    // A turn of the wheel (120 a notch, positive away from the person) with the
    // pointer at (x, y): the control below and then its parents are offered it.
    void MouseWheelInput(int delta, TShiftState shift, int x, int y);
    void KeyInput(std::uint16_t key, TShiftState shift);  // a key press: down, character, up
    void KeyDownInput(std::uint16_t key, TShiftState shift);
    void CharInput(char ch);
    void KeyUpInput(std::uint16_t key, TShiftState shift);
    TControl* CaptureControl() const { return FCaptureControl; }
    void SetCaptureControl(TControl* control) { FCaptureControl = control; }
    TControl* MouseControl() const { return FMouseControl; }

    // Reads the form's layout resource (LayoutResources.h) into the form and its
    // components, binding event names through `handlers`. Unknown classes,
    // properties and handler names raise ELayoutError.
    // With `bindings`, the named components then go into the form's members
    // (TBindingTable); a name the layout lacks raises ELayoutError too.
    void ReadLayout(const std::string& resourceName, const THandlerTable& handlers,
                    const TBindingTable* bindings = nullptr);
    void ReadLayoutText(std::string_view text, const THandlerTable& handlers, const std::string& sourceName,
                        const TBindingTable* bindings = nullptr);
    // An owned component by name of the given class; ELayoutError when there is none.
    template <class T>
    T* Child(const std::string& name) const
    {
        T* found = dynamic_cast<T*>(FindComponent(name));
        if (!found) throw ELayoutError(std::string(ClassName()) + ": no component " + name + " of the needed class");
        return found;
    }
    // Runs OnCreate, once.
    void DoCreate();

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;

    // The control a removed or destroyed control leaves: the form forgets it.
    void ForgetControl(const TControl* control);

protected:
    LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Resize() override;
    void Notification(TComponent* component, TOperation operation) override;
    virtual bool CloseQuery();
    virtual void DoClose(TCloseAction& action);
    void DoFontChanged() override;

private:
    TModalResult RunModalLoop(TUserInteraction& ui, const TComponentWatch& watch);
    void PaintControl(TControl& control, TCanvas& canvas, const TRect& dirty);
    void PlaceOnShow();
    void UpdateMouseControl(int x, int y, TShiftState shift);
    bool HandleDialogKey(std::uint16_t key);
    // Arrow, page, Home and End keys a focused button leaves to its scroll box.
    bool HandleScrollKey(std::uint16_t key, TShiftState shift);

    TBitmap FSurface;
    TRect FDirty;
    int FPaintCount = 0;
    TModalResult FModalResult = mrNone;
    int FModalLevel = 0;
    TFormStyle FFormStyle = fsNormal;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    bool FKeyPreview = false;
    TMainMenu* FMenu = nullptr;
    TWinControl* FActiveControl = nullptr;
    TControl* FCaptureControl = nullptr;
    TControl* FMouseControl = nullptr;
    bool FCreated = false;
    bool FPlaced = false;
    bool FReleasing = false;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};
