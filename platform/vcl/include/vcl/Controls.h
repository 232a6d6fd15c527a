// Controls: the visible, positioned base and the windowed base that takes
// the keyboard focus. The header is Qt-free: each control keeps its toolkit
// widget in a private part that only the layer's sources see.
// All controls are used on the GUI thread only.
#pragma once

#include <memory>
#include <vector>

#include "vcl/Classes.h"
#include "vcl/Graphics.h"

// Virtual key codes as KeyDown sees them. Letters are 'A'..'Z' (65..90),
// digits '0'..'9' (48..57); a key without a code of its own arrives as 0xFF.
constexpr Word VK_BACK = 8;
constexpr Word VK_TAB = 9;
constexpr Word VK_RETURN = 13;
constexpr Word VK_SHIFT = 16;
constexpr Word VK_CONTROL = 17;
constexpr Word VK_MENU = 18;
constexpr Word VK_PAUSE = 19;
constexpr Word VK_CAPITAL = 20;
constexpr Word VK_ESCAPE = 27;
constexpr Word VK_SPACE = 32;
constexpr Word VK_PRIOR = 33;
constexpr Word VK_NEXT = 34;
constexpr Word VK_END = 35;
constexpr Word VK_HOME = 36;
constexpr Word VK_LEFT = 37;
constexpr Word VK_UP = 38;
constexpr Word VK_RIGHT = 39;
constexpr Word VK_DOWN = 40;
constexpr Word VK_INSERT = 45;
constexpr Word VK_DELETE = 46;
constexpr Word VK_NUMPAD0 = 96;  // ..VK_NUMPAD0 + 9
constexpr Word VK_MULTIPLY = 106;
constexpr Word VK_ADD = 107;
constexpr Word VK_SUBTRACT = 109;
constexpr Word VK_DECIMAL = 110;
constexpr Word VK_DIVIDE = 111;
constexpr Word VK_F1 = 112;  // ..VK_F1 + 23 for F24
constexpr Word VK_NUMLOCK = 144;
constexpr Word VK_OEM_PLUS = 187;
constexpr Word VK_OEM_COMMA = 188;
constexpr Word VK_OEM_MINUS = 189;
constexpr Word VK_OEM_PERIOD = 190;
constexpr Word VK_UNKNOWN = 0xFF;

/// `Sender, Key, Shift`: Key arrives set to the key's code; a handler that
/// sets it to 0 swallows the key.
using TKeyEvent = TMethodEvent<TObject*, Word&, TShiftState>;

class TWinControl;
class TForm;
struct TControlPrivate;

/// A control with a position and size, relative to its parent's client area
/// (a form: to the screen, see TForm). A control shows only while it has a
/// Parent and Visible is true.
class TControl : public TComponent {
 public:
  ~TControl() override;

  TWinControl* GetParent() const { return FParent; }
  /// Moves the control into AParent (null: out of every window).
  virtual void SetParent(TWinControl* AParent);
  virtual int GetLeft() const;
  virtual void SetLeft(int ALeft);
  virtual int GetTop() const;
  virtual void SetTop(int ATop);
  virtual int GetWidth() const;
  virtual void SetWidth(int AWidth);
  virtual int GetHeight() const;
  virtual void SetHeight(int AHeight);
  /// Sets all four at once.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  bool GetVisible() const { return FVisible; }
  virtual void SetVisible(bool AVisible);
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool AEnabled);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor AColor);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool AParentColor);
  /// The control's font; changing it sets ParentFont to false.
  TFont* GetFont() const { return FFont.get(); }
  bool GetParentFont() const { return FParentFont; }
  /// true: the font follows the parent's.
  void SetParentFont(bool AParentFont);
  String GetHint() const { return FHint; }
  void SetHint(const String& AHint);
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool AShowHint);

  TProperty<TControl, TWinControl*, &TControl::GetParent, &TControl::SetParent> Parent{this};
  TProperty<TControl, int, &TControl::GetLeft, &TControl::SetLeft> Left{this};
  TProperty<TControl, int, &TControl::GetTop, &TControl::SetTop> Top{this};
  TProperty<TControl, int, &TControl::GetWidth, &TControl::SetWidth> Width{this};
  TProperty<TControl, int, &TControl::GetHeight, &TControl::SetHeight> Height{this};
  TProperty<TControl, bool, &TControl::GetVisible, &TControl::SetVisible> Visible{this};
  TProperty<TControl, bool, &TControl::GetEnabled, &TControl::SetEnabled> Enabled{this};
  TProperty<TControl, TColor, &TControl::GetColor, &TControl::SetColor> Color{this};
  TProperty<TControl, bool, &TControl::GetParentColor, &TControl::SetParentColor> ParentColor{this};
  TProperty<TControl, TFont*, &TControl::GetFont> Font{this};
  TProperty<TControl, bool, &TControl::GetParentFont, &TControl::SetParentFont> ParentFont{this};
  TProperty<TControl, String, &TControl::GetHint, &TControl::SetHint> Hint{this};
  TProperty<TControl, bool, &TControl::GetShowHint, &TControl::SetShowHint> ShowHint{this};

  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  /// Schedules a repaint (through the event loop).
  void Invalidate();
  /// Repaints at once.
  void Repaint();
  /// Raises OnClick (buttons: as a click would, see TButton).
  virtual void Click();

  /// The form that holds this control (itself for a form), or null.
  TForm* GetParentForm() const;

  /// Raised by a click: a button's press, or a left-button press and release
  /// inside any other control.
  TNotifyEvent OnClick;

  String ClassName() const override { return "TControl"; }
  void Loaded() override;

  /// The layer's own access to the toolkit widget; not for handlers.
  TControlPrivate& Priv() const { return *FPriv; }

 protected:
  /// APriv holds the control's widget; the control takes ownership.
  TControl(TComponent* AOwner, std::unique_ptr<TControlPrivate> APriv);
  /// The text that Caption or Text show; each kind maps it to its widget.
  virtual String GetText() const;
  virtual void SetText(const String& AText);
  /// Applies Font (or the parent's) and Color to the widget.
  virtual void ApplyFont();
  virtual void ApplyColor();
  /// Called when the parent's font or colour changed.
  void ParentFontChanged();
  void ParentColorChanged();

 private:
  friend class TWinControl;
  void FontChanged(TObject* Sender);
  void UpdateWidgetVisibility();

  std::unique_ptr<TControlPrivate> FPriv;
  std::unique_ptr<TFont> FFont;
  TWinControl* FParent = nullptr;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = true;
  bool FParentFont = true;
  bool FCopyingParentFont = false;
  String FHint;
  bool FShowHint = false;
};

/// A control that holds other controls and can take the keyboard focus.
/// Focus events: OnEnter when the focus moves to this control from another
/// control of the same form (by Tab, a click or SetFocus), OnExit when it
/// moves from this control to another one of the same form. Activating or
/// deactivating the window (another window, a dialog, closing or hiding the
/// form) raises neither: the form remembers its active control.
class TWinControl : public TControl {
 public:
  ~TWinControl() override;

  int GetTabOrder() const { return FTabOrder; }
  /// Position in the parent's Tab chain: the chain runs through the
  /// TabStop children by ascending TabOrder (ties: creation order).
  void SetTabOrder(int ATabOrder);
  bool GetTabStop() const { return FTabStop; }
  /// false: Tab skips the control; a click still focuses it.
  void SetTabStop(bool ATabStop);
  int GetControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* GetControl(int Index) const { return FControls.at(static_cast<size_t>(Index)); }

  TProperty<TWinControl, int, &TWinControl::GetTabOrder, &TWinControl::SetTabOrder> TabOrder{this};
  TProperty<TWinControl, bool, &TWinControl::GetTabStop, &TWinControl::SetTabStop> TabStop{this};
  TProperty<TWinControl, int, &TWinControl::GetControlCount> ControlCount{this};

  /// Moves the keyboard focus here. Throws EInvalidOperation "Cannot focus a
  /// disabled or invisible window" when the control, or a parent, is hidden
  /// or disabled. When the window is not active the focus is recorded and
  /// the enter/exit events follow when it becomes active.
  void SetFocus();
  /// Whether this control has the keyboard focus now.
  bool Focused() const;
  /// Visible and enabled, and so are all its parents.
  bool CanFocus() const;

  /// Called for every key pressed while the control has the focus, Tab and
  /// Enter included, before the control acts on it. The base raises
  /// OnKeyDown. Setting Key to 0 swallows the key: the control ignores it.
  virtual void KeyDown(Word& Key, TShiftState Shift);
  /// Raise OnEnter / OnExit; called by the focus tracking described above.
  virtual void DoEnter();
  virtual void DoExit();

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;

  String ClassName() const override { return "TWinControl"; }
  void Loaded() override;

  /// Rebuilds the Tab chain of the children (the description reader calls
  /// it once after loading).
  void UpdateTabOrder();

 protected:
  TWinControl(TComponent* AOwner, std::unique_ptr<TControlPrivate> APriv);
  void ApplyFont() override;
  void ApplyColor() override;

 private:
  friend class TControl;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);

  std::vector<TControl*> FControls;
  int FTabOrder = -1;
  bool FTabStop = true;
};
