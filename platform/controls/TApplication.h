#pragma once

// The application object: forms, the message loop, and the standard error box.
//
// - `Application` points at the living TApplication (a program makes one in
//   main, a test one per test); it is nullptr when there is none.
// - CreateForm makes a form owned by the application and runs its OnCreate;
//   the first form made is the main form, and closing it ends Run.
// - ProcessMessages dispatches every queued message of the thread (timers and
//   input handlers run re-entrantly inside it), then paints what the visible
//   forms have marked. It nests in handlers; a WM_QUIT it meets ends Run.
// - An exception that escapes a handler is caught where the loop dispatched it
//   and goes to HandleException: OnException when assigned, otherwise the
//   standard error box (the message, a final "." added, under the title) through
//   the user-interaction interface. EAbort is silent. EUnscriptedInteraction is
//   never caught.

#include <exception>
#include <functional>
#include <string>

#include "platform/controls/TComponent.h"
#include "platform/controls/TCustomForm.h"

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner = nullptr);
    ~TApplication() override;

    const char* ClassName() const override { return "TApplication"; }

    void Initialize() {}
    // Makes a form of class T owned by the application and runs its OnCreate.
    template <class T>
    void CreateForm(T*& reference)
    {
        reference = new T(this);
        if (!FMainForm) FMainForm = reference;
        reference->DoCreate();
    }
    // Shows the main form and runs the loop until Terminate or the main form closes.
    void Run();
    void ProcessMessages();
    // Dispatches one message or waits for the next.
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }

    TCustomForm* MainForm() const { return FMainForm; }
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value) { FTitle = value; }
    bool ShowMainForm() const { return FShowMainForm; }
    void SetShowMainForm(bool value) { FShowMainForm = value; }

    void HandleException(TObject* sender, const std::exception& e);
    void ShowException(const std::exception& e);
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags);

    TExceptionEvent OnException;
    TNotifyEvent OnIdle;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TCustomForm* FMainForm = nullptr;
    std::string FTitle;
    bool FTerminated = false;
    bool FShowMainForm = true;
    TApplication* FPrevious = nullptr;
};

extern TApplication* Application;

// Runs `action` at a handler boundary of the loop: an escaping exception goes to
// Application->HandleException (thrown on when there is no application).
void RunGuarded(TObject* sender, const std::function<void()>& action);
// Dispatches one queued message under the guard; false when none was queued
// (the visible forms' marked areas are then painted).
bool ProcessOneMessage();
// Paints the marked areas of every visible form.
void PaintVisibleForms();
