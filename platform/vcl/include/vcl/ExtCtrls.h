// The bevel and the timer.
#pragma once

#include <memory>

#include "vcl/Controls.h"

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

/// A drawn 3-D line or box (classic look: shadow and highlight lines of one
/// pixel each; a 2-px high bsBox is the etched divider). No focus, no Tab
/// order, no events.
class TBevel : public TControl {
 public:
  explicit TBevel(TComponent* AOwner);
  ~TBevel() override;

  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape AShape);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle AStyle);

  TProperty<TBevel, TBevelShape, &TBevel::GetShape, &TBevel::SetShape> Shape{this};
  TProperty<TBevel, TBevelStyle, &TBevel::GetStyle, &TBevel::SetStyle> Style{this};

  String ClassName() const override { return "TBevel"; }

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

/// A timer whose ticks arrive through the GUI thread's event loop, so a tick
/// never interrupts a handler. It runs while Enabled is true and Interval >
/// 0; changing either restarts the period. Created
/// enabled with an Interval of 1000 ms. An exception from OnTimer is shown by
/// Application->HandleException and the timer goes on.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool AEnabled);
  Cardinal GetInterval() const { return FInterval; }
  /// Milliseconds; 0 stops the timer.
  void SetInterval(Cardinal AInterval);

  TProperty<TTimer, bool, &TTimer::GetEnabled, &TTimer::SetEnabled> Enabled{this};
  TProperty<TTimer, Cardinal, &TTimer::GetInterval, &TTimer::SetInterval> Interval{this};

  /// Raised on each tick, with the timer as Sender.
  TNotifyEvent OnTimer;

  String ClassName() const override { return "TTimer"; }
  void Loaded() override;

 private:
  struct TTimerPrivate;
  void UpdateTimer();
  std::unique_ptr<TTimerPrivate> FPriv;
  bool FEnabled = true;
  Cardinal FInterval = 1000;
};
