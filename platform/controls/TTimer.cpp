#include "platform/controls/TTimer.h"

#include "platform/controls/Properties.h"

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer()
{
    if (FTimerId) KillTimer(0, FTimerId);
}

const TPropertyTable& TTimer::PropertyTable()
{
    static const TPropertyTable table = [] {
        TPropertyTable t(&TComponent::PropertyTable());
        t.Bool<TTimer>("Enabled", &TTimer::Enabled, &TTimer::SetEnabled);
        t.Int<TTimer>("Interval", [](const TTimer& t) { return static_cast<int>(t.Interval()); },
                      [](TTimer& t, int v) {
                          if (v < 0) throw EConvertError("Interval must not be negative");
                          t.SetInterval(static_cast<unsigned>(v));
                      });
        t.EventHandler<TTimer>("OnTimer", &TTimer::OnTimer);
        return t;
    }();
    return table;
}

void TTimer::SetEnabled(bool value)
{
    if (value == FEnabled) return;
    FEnabled = value;
    UpdateTimer();
}

void TTimer::SetInterval(unsigned value)
{
    if (value == FInterval) return;
    FInterval = value;
    UpdateTimer();
}

void TTimer::Loaded()
{
    TComponent::Loaded();
    UpdateTimer();
}

void TTimer::UpdateTimer()
{
    if (FTimerId) KillTimer(0, FTimerId);
    FTimerId = 0;
    if (!FEnabled || FInterval == 0 || (ComponentState() & csLoading)) return;
    FTimerId = SetTimer(0, 0, FInterval, [this](HWND, UINT, UINT_PTR, DWORD) { Tick(); });
}

void TTimer::Tick()
{
    if (!FEnabled) return;
    Fire(*this, OnTimer, this);
}
