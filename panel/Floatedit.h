// TFloatEdit: a one-line edit box that holds a bounded floating-point Value.
//
// The box shows Value formatted with Format, Precision and Digits
// (FloatToStrF), or nothing while ValueVisible is false. Any text may be
// typed; it is converted (StrToFloat, the locale's decimal separator) only
// when it is committed: by Enter (also Shift+Enter, Ctrl+Enter), by leaving
// the box, or by a call of SetValueStr. Between commits Value keeps the last
// committed number.
//
// Validity: with MinMaxCheck true a value is valid inside MinValue..MaxValue
// (both inclusive; NaN is invalid); with MinMaxCheck false OnValidateValue
// decides (no handler: every value is valid). An invalid value is reported
// through OnOutOfBounds when that is assigned (the value stays); otherwise,
// with MinMaxCheck true, it is clamped: above MaxValue it becomes MaxValue,
// anything else MinValue (so with MinValue > MaxValue no value survives).
//
// Events, all with the box as Sender, raised synchronously inside the
// operation that causes them; a handler may assign Value again:
//   OnChanged        every SetValueAnyway (so every commit), and the clamp
//   OnValidateValue  each validity test while MinMaxCheck is false
//   OnOutOfBounds    an invalid value, instead of the clamp
//   OnError          committed text that does not convert, with its message
//   OnEnterPress     after Enter has committed the text
//   OnEnter/OnExit   after the box's own focus handling (select / commit)
//
// GUI thread only.
#pragma once

#include <cstdint>

#include <vcl/Classes.h>
#include <vcl/StdCtrls.h>
#include <vcl/SysUtils.h>

/// `Sender, Value, Valid`: Valid arrives true; clear it to reject Value.
using TValidateValueEvent = TMethodEvent<TObject*, double, bool&>;
/// `Sender, Msg, Handled`: Msg is the conversion's message; Handled arrives
/// false. Set it to true to restore the value held before the commit even
/// when the handler assigned another.
using TErrorEvent = TMethodEvent<TObject*, const String&, bool&>;

class TFloatEdit : public TCustomEdit {
 public:
  /// A box holding 0 within 0..10, ffFixed with Precision 5 and Digits 5
  /// (text "0.00000"), AutoSize off.
  explicit TFloatEdit(TComponent* AOwner);
  ~TFloatEdit() override;

  /// Whether x is a valid value (see above). Raises OnValidateValue while
  /// MinMaxCheck is false.
  bool IsValidValue(double x);
  /// Tests Value; clamps it (then raises OnChanged) or raises
  /// OnOutOfBounds when it is invalid.
  void CheckValue();
  /// Does nothing when x equals Value (a NaN on either side counts as
  /// equal), else SetValueAnyway(x).
  void SetValue(double AValue);
  /// Stores x, checks it, raises OnChanged (also when x was already held),
  /// shows the text, repaints at once and selects the whole text.
  void SetValueAnyway(double AValue);
  /// Commits S: the text that Value shows keeps Value at full precision;
  /// other text is converted. Text that does not convert raises OnError and
  /// keeps the value. Either way ends with SetValueAnyway.
  void SetValueStr(const String& S);
  /// Shows Value as text (empty while ValueVisible is false). Raises nothing.
  void UpdateText();

  // Settings: store, then UpdateText. No event, no check.
  void SetFormat(TFloatFormat AFormat);
  void SetDigits(std::uint8_t ADigits);
  void SetPrec(std::uint8_t APrecision);
  void SetValueVisible(bool AValueVisible);
  /// Only stores; the next CheckValue applies it.
  void SetMinMaxCheck(bool AMinMaxCheck) { FMinMaxCheck = AMinMaxCheck; }
  // Bounds: store, CheckValue (may clamp and raise OnChanged, or raise
  // OnOutOfBounds), UpdateText. The order of the bounds is not checked.
  void SetMinValue(double AMinValue);
  void SetMaxValue(double AMaxValue);

  TFloatFormat GetFormat() const { return FFormat; }
  std::uint8_t GetDigits() const { return FDigits; }
  std::uint8_t GetPrec() const { return FPrecision; }
  bool GetMinMaxCheck() const { return FMinMaxCheck; }
  double GetMinValue() const { return FMinValue; }
  double GetMaxValue() const { return FMaxValue; }
  double GetValue() const { return FValue; }
  bool GetValueVisible() const { return FValueVisible; }

  /// The inherited KeyDown (raises OnKeyDown), then for Enter (a Key left at
  /// VK_RETURN, whatever the shift state): SetValueStr(Text), OnEnterPress.
  void KeyDown(Word& Key, TShiftState Shift) override;

  /// The box's own handlers of the inherited enter and exit events.
  /// Enter: select the whole text, then the user's OnEnter.
  void MyOnEnter(TObject* Sender);
  /// Exit: SetValueStr(Text), UpdateText, then the user's OnExit.
  void MyOnExit(TObject* Sender);

  String ClassName() const override { return "TFloatEdit"; }

 private:
  bool FMinMaxCheck = true;
  std::uint8_t FPrecision = 5;
  std::uint8_t FDigits = 5;

 public:
  TNotifyEvent OnChanged;
  TErrorEvent OnError;

 private:
  double FMinValue = 0.0;
  double FValue = 0.0;
  double FMaxValue = 10.0;
  TFloatFormat FFormat = ffFixed;
  bool FValueVisible = true;

 public:
  TValidateValueEvent OnValidateValue;
  TNotifyEvent OnOutOfBounds;
  /// These hide the edit box's inherited OnExit/OnEnter, which the box
  /// keeps bound to MyOnExit/MyOnEnter.
  TNotifyEvent OnExit;
  TNotifyEvent OnEnter;
  TNotifyEvent OnEnterPress;

  // Published properties, in the order a form description applies them.
  TProperty<TFloatEdit, TFloatFormat, &TFloatEdit::GetFormat, &TFloatEdit::SetFormat> Format{this};
  TProperty<TFloatEdit, std::uint8_t, &TFloatEdit::GetDigits, &TFloatEdit::SetDigits> Digits{this};
  TProperty<TFloatEdit, std::uint8_t, &TFloatEdit::GetPrec, &TFloatEdit::SetPrec> Precision{this};
  TProperty<TFloatEdit, bool, &TFloatEdit::GetMinMaxCheck, &TFloatEdit::SetMinMaxCheck> MinMaxCheck{
      this};
  TProperty<TFloatEdit, double, &TFloatEdit::GetMinValue, &TFloatEdit::SetMinValue> MinValue{this};
  TProperty<TFloatEdit, double, &TFloatEdit::GetMaxValue, &TFloatEdit::SetMaxValue> MaxValue{this};
  TProperty<TFloatEdit, double, &TFloatEdit::GetValue, &TFloatEdit::SetValue> Value{this};
  TProperty<TFloatEdit, bool, &TFloatEdit::GetValueVisible, &TFloatEdit::SetValueVisible>
      ValueVisible{this};
};

/// Lists TFloatEdit with the class registry, so that form descriptions can
/// create it and set its published properties and events. The unit does it
/// once by itself when the program starts; calling it again does no harm.
void Register();
