#include "Floatedit.h"

#include <cmath>

#include <vcl/Controls.h>
#include <vcl/Published.h>

TFloatEdit::TFloatEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  // The fields start at their initial values by their initialisers: plain
  // stores, no setter, check or event.
  SetAutoSize(false);
  UpdateText();
  TCustomEdit::OnExit = Bind(this, &TFloatEdit::MyOnExit);
  TCustomEdit::OnEnter = Bind(this, &TFloatEdit::MyOnEnter);
}

TFloatEdit::~TFloatEdit() = default;

bool TFloatEdit::IsValidValue(double x) {
  if (FMinMaxCheck) return FMinValue <= x && x <= FMaxValue;  // false for NaN
  bool valid = true;
  if (OnValidateValue.Assigned()) OnValidateValue(this, x, valid);
  return valid;
}

void TFloatEdit::CheckValue() {
  if (IsValidValue(FValue)) return;
  if (OnOutOfBounds.Assigned()) {
    OnOutOfBounds(this);
    return;
  }
  if (!FMinMaxCheck) return;
  // Only the upper bound is tested: a NaN, a value below MinValue, and any
  // value when the bounds are in the wrong order take MinValue.
  if (FValue > FMaxValue)
    FValue = FMaxValue;
  else
    FValue = FMinValue;
  if (OnChanged.Assigned()) OnChanged(this);
}

void TFloatEdit::SetValue(double AValue) {
  // An unordered comparison counts as equal, so a NaN changes nothing.
  if (AValue == FValue || std::isnan(AValue) || std::isnan(FValue)) return;
  SetValueAnyway(AValue);
}

void TFloatEdit::SetValueAnyway(double AValue) {
  FValue = AValue;
  CheckValue();
  if (OnChanged.Assigned()) OnChanged(this);
  UpdateText();
  Repaint();
  SelectAll();
}

void TFloatEdit::SetValueStr(const String& S) {
  const String shown = FloatToStrF(FValue, FFormat, FPrecision, FDigits);
  double candidate = FValue;
  if (S != shown) {
    try {
      const Extended converted = StrToFloat(S);
      const double narrowed = static_cast<double>(converted);
      // A number beyond the double range (but within the extended one) is
      // refused like text that does not convert, rather than stored as an
      // infinity.
      if (std::isinf(narrowed) && !std::isinf(converted))
        throw EConvertError("'" + S + "' is not a valid floating point value");
      candidate = narrowed;
    } catch (const EConvertError& E) {
      bool handled = false;
      if (OnError.Assigned()) OnError(this, E.Message, handled);
      if (!handled) candidate = FValue;
    }
  }
  SetValueAnyway(candidate);
}

void TFloatEdit::UpdateText() {
  if (FValueVisible)
    SetTextBuf(FloatToStrF(FValue, FFormat, FPrecision, FDigits).c_str());
  else
    SetTextBuf(nullptr);
  Invalidate();
}

void TFloatEdit::SetFormat(TFloatFormat AFormat) {
  FFormat = AFormat;
  UpdateText();
}

void TFloatEdit::SetDigits(std::uint8_t ADigits) {
  FDigits = ADigits;
  UpdateText();
}

void TFloatEdit::SetPrec(std::uint8_t APrecision) {
  FPrecision = APrecision;
  UpdateText();
}

void TFloatEdit::SetValueVisible(bool AValueVisible) {
  FValueVisible = AValueVisible;
  UpdateText();
}

void TFloatEdit::SetMinValue(double AMinValue) {
  FMinValue = AMinValue;
  CheckValue();
  UpdateText();
}

void TFloatEdit::SetMaxValue(double AMaxValue) {
  FMaxValue = AMaxValue;
  CheckValue();
  UpdateText();
}

void TFloatEdit::KeyDown(Word& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_RETURN) {
    SetValueStr(GetText());
    if (OnEnterPress.Assigned()) OnEnterPress(this);
  }
}

void TFloatEdit::MyOnEnter(TObject* Sender) {
  SelectAll();
  if (OnEnter.Assigned()) OnEnter(Sender);
}

void TFloatEdit::MyOnExit(TObject* Sender) {
  SetValueStr(GetText());
  UpdateText();
  if (OnExit.Assigned()) OnExit(Sender);
}

namespace {

void Publish() {
  TPublishedClass<TFloatEdit>("TFloatEdit", "TCustomEdit")
      .Enum("Format", &TFloatEdit::SetFormat,
            {{"ffGeneral", ffGeneral},
             {"ffExponent", ffExponent},
             {"ffFixed", ffFixed},
             {"ffNumber", ffNumber},
             {"ffCurrency", ffCurrency}})
      .Property("Digits", &TFloatEdit::SetDigits)
      .Property("Precision", &TFloatEdit::SetPrec)
      .Property("MinMaxCheck", &TFloatEdit::SetMinMaxCheck)
      .Property("MinValue", &TFloatEdit::SetMinValue)
      .Property("MaxValue", &TFloatEdit::SetMaxValue)
      .Property("Value", &TFloatEdit::SetValue)
      .Property("ValueVisible", &TFloatEdit::SetValueVisible)
      .Event("OnChanged", &TFloatEdit::OnChanged)
      .Event("OnValidateValue", &TFloatEdit::OnValidateValue)
      .Event("OnOutOfBounds", &TFloatEdit::OnOutOfBounds)
      .Event("OnError", &TFloatEdit::OnError)
      .Event("OnEnterPress", &TFloatEdit::OnEnterPress)
      .Event("OnExit", &TFloatEdit::OnExit)
      .Event("OnEnter", &TFloatEdit::OnEnter)
      .Register();
}

[[maybe_unused]] const bool published = (Publish(), true);

}  // namespace

void Register() { Publish(); }
