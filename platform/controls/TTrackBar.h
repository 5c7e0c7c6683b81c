#pragma once

// Track bars and progress bars.
//
// Notification rule: setting a track bar's Position (from code or by the
// person) runs OnChange when the value, clamped to Min..Max, differs from the
// old one; a narrowed range that moves the position runs it too. Progress bars
// have no events.

#include "platform/controls/TWinControl.h"

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TTickStyle { tsNone, tsAuto, tsManual };

class TTrackBar : public TWinControl {
public:
    explicit TTrackBar(TComponent* AOwner);

    const char* ClassName() const override { return "TTrackBar"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    int Position() const { return FPosition; }
    void SetPosition(int value, TChangeNotify notify = TChangeNotify::Fire);
    int LineSize() const { return FLineSize; }
    void SetLineSize(int value) { FLineSize = value; }
    int PageSize() const { return FPageSize; }
    void SetPageSize(int value) { FPageSize = value; }
    int Frequency() const { return FFrequency; }
    void SetFrequency(int value) { FFrequency = value; }
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation value) { FOrientation = value; }
    TTickStyle TickStyle() const { return FTickStyle; }
    void SetTickStyle(TTickStyle value) { FTickStyle = value; }

    bool WantsKey(std::uint16_t key) const override;
    void PaintWindow(TCanvas& canvas) override;

    TNotifyEvent OnChange;

protected:
    void KeyDown(std::uint16_t& key, TShiftState shift) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void UserClick() override {}

private:
    int PositionAt(int x, int y) const;
    int FMin = 0;
    int FMax = 10;
    int FPosition = 0;
    int FLineSize = 1;
    int FPageSize = 2;
    int FFrequency = 1;
    TTrackBarOrientation FOrientation = trHorizontal;
    TTickStyle FTickStyle = tsAuto;
};

class TProgressBar : public TWinControl {
public:
    explicit TProgressBar(TComponent* AOwner);

    const char* ClassName() const override { return "TProgressBar"; }
    static const TPropertyTable& PropertyTable();
    const TPropertyTable& Properties() const override { return PropertyTable(); }

    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    // Clamped to Min..Max.
    int Position() const { return FPosition; }
    void SetPosition(int value);
    int Step() const { return FStep; }
    void SetStep(int value) { FStep = value; }
    void StepIt() { SetPosition(FPosition + FStep); }
    void StepBy(int delta) { SetPosition(FPosition + delta); }

    void PaintWindow(TCanvas& canvas) override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    int FStep = 10;
};
