#pragma once

// Timers on the thread's loop core: while Enabled with a non-zero Interval, the
// timer fires OnTimer every Interval milliseconds whenever the loop gathers
// (Application->ProcessMessages, modal loops, Run), also while its form is
// hidden. A handler may stop or free its own timer. Changing Interval or
// Enabled restarts the count. A timer being read from a layout starts once the
// layout is read.

#include <cstdint>

#include "platform/controls/TComponent.h"
#include "platform/loop/Messages.h"

class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* AOwner);
    ~TTimer() override;

    const char* ClassName() const override { return "TTimer"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return FInterval; }
    void SetInterval(unsigned value);
    bool Running() const { return FTimerId != 0; }

    TNotifyEvent OnTimer;

    void Loaded() override;

private:
    void UpdateTimer();
    void Tick();
    bool FEnabled = true;
    unsigned FInterval = 1000;
    UINT_PTR FTimerId = 0;
};
