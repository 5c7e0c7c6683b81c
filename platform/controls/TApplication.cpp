#include "platform/controls/TApplication.h"

#include "platform/controls/TScreen.h"
#include "platform/controls/UserInteraction.h"
#include "platform/loop/Messages.h"

TApplication* Application = nullptr;

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner), FPrevious(Application)
{
    Application = this;
}

TApplication::~TApplication()
{
    SetDestroying();
    DestroyComponents();
    if (Application == this) Application = FPrevious;
}

void TApplication::Run()
{
    if (FMainForm && FShowMainForm && !FTerminated) FMainForm->Show();
    while (!FTerminated) HandleMessage();
}

void TApplication::ProcessMessages()
{
    while (!FTerminated && ProcessOneMessage()) {
    }
    if (!FTerminated) PaintVisibleForms();
}

void TApplication::HandleMessage()
{
    if (ProcessOneMessage()) return;
    if (OnIdle) RunGuarded(this, [this] { Fire(*this, OnIdle, this); });
    if (!FTerminated) WaitMessage();
}

void TApplication::Terminate()
{
    if (FTerminated) return;
    // The loops check the flag after each message; no WM_QUIT is left behind
    // for a later application of the same thread.
    FTerminated = true;
}

void TApplication::HandleException(TObject* sender, const std::exception& e)
{
    if (dynamic_cast<const EUnscriptedInteraction*>(&e)) throw;
    if (OnException) {
        TExceptionEvent handler = OnException;
        handler(sender, e);
        return;
    }
    ShowException(e);
}

void TApplication::ShowException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e)) return;
    std::string message = e.what();
    if (!message.empty() && message.back() != '.') message += '.';
    MessageBox(message, FTitle, MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const std::string& text, const std::string& caption, unsigned flags)
{
    return UserInteraction().MessageBox(text, caption, flags);
}

void TApplication::Notification(TComponent* component, TOperation operation)
{
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FMainForm) FMainForm = nullptr;
}

void RunGuarded(TObject* sender, const std::function<void()>& action)
{
    try {
        action();
    } catch (const EUnscriptedInteraction&) {
        throw;
    } catch (const std::exception& e) {
        if (!Application) throw;
        Application->HandleException(sender, e);
    }
}

bool ProcessOneMessage()
{
    MSG msg;
    if (!PeekMessage(msg, 0, 0, 0, PM_REMOVE)) {
        PaintVisibleForms();
        return false;
    }
    if (msg.message == WM_QUIT) {
        if (Application) Application->Terminate();
        return true;
    }
    RunGuarded(Application, [&msg] {
        TranslateMessage(msg);
        DispatchMessage(msg);
    });
    return true;
}

void PaintVisibleForms()
{
    for (int i = 0; i < Screen->FormCount(); ++i) {
        TCustomForm* form = Screen->Forms(i);
        if (form->Visible() && form->NeedsPaint()) RunGuarded(form, [form] { form->PaintSurface(); });
    }
}
