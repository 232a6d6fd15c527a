// FloatToStrF, FloatToStr and StrToFloat.
//
// Formatting works on the exact decimal expansion of the binary value (glibc
// prints every digit exactly when asked for enough of them), then rounds it
// half away from zero in decimal, as the class library does, instead of
// printf's round-half-even on the binary value.
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "CLocale.h"
#include "vcl/SysUtils.h"

namespace {

// |x| = 0.Digits * 10^Exponent, Digits without leading or trailing zeros;
// empty Digits means zero.
struct TDecimal {
  bool Negative = false;
  String Digits;
  int Exponent = 0;
};

TDecimal ExactDecimal(long double x) {
  TDecimal d;
  d.Negative = std::signbit(x);
  if (x == 0) return d;
  int e2 = 0;
  std::frexp(x, &e2);
  // x = m * 2^(e2-64) with a 64-bit m. A negative power of two contributes
  // about 0.7 decimal digits per bit, a positive one 0.31.
  int k = e2 - 64;
  int digits = 21 + (k < 0 ? (-k * 7 + 9) / 10 : (k * 31 + 99) / 100);
  String buf(static_cast<size_t>(digits) + 40, '\0');
  int n;
  {
    vcl_detail::TCLocaleScope c;
    n = std::snprintf(buf.data(), buf.size(), "%.*Le", digits, std::fabs(x));
  }
  buf.resize(n > 0 ? static_cast<size_t>(n) : 0);
  // "d.ddddde+XX"
  size_t ePos = buf.find('e');
  String mant = buf.substr(0, ePos);
  int exp10 = std::atoi(buf.c_str() + ePos + 1);
  for (char c : mant)
    if (c != '.') d.Digits += c;
  d.Exponent = exp10 + 1;
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

// Keeps the first Keep digits (Keep may be <= 0), rounding half away from
// zero; the tail is exact, so a first dropped digit >= 5 means >= one half.
TDecimal RoundDigits(TDecimal d, int Keep) {
  if (d.Digits.empty()) return d;
  if (Keep >= static_cast<int>(d.Digits.size())) return d;
  if (Keep < 0) {
    d.Digits.clear();
    return d;
  }
  bool up = d.Digits[static_cast<size_t>(Keep)] >= '5';
  d.Digits.resize(static_cast<size_t>(Keep));
  if (up) {
    int i = Keep - 1;
    while (i >= 0 && d.Digits[static_cast<size_t>(i)] == '9') d.Digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      d.Digits.insert(d.Digits.begin(), '1');
      ++d.Exponent;
    } else {
      ++d.Digits[static_cast<size_t>(i)];
    }
  }
  while (!d.Digits.empty() && d.Digits.back() == '0') d.Digits.pop_back();
  return d;
}

char DigitAt(const TDecimal& d, int Index) {
  return Index >= 0 && Index < static_cast<int>(d.Digits.size()) ? d.Digits[static_cast<size_t>(Index)] : '0';
}

String Special(long double x) {
  if (std::isnan(x)) return "NAN";
  return x < 0 ? "-INF" : "INF";
}

String Exponent(int e, bool alwaysSign, int minDigits) {
  String s = std::to_string(e < 0 ? -e : e);
  while (static_cast<int>(s.size()) < minDigits) s.insert(s.begin(), '0');
  if (e < 0) return "-" + s;
  return alwaysSign ? "+" + s : s;
}

String General(long double x, int Precision, int ExpDigits, const TFormatSettings& fs) {
  if (Precision < 1) Precision = 1;
  if (Precision > 18) Precision = 18;
  if (ExpDigits < 0) ExpDigits = 0;
  if (ExpDigits > 4) ExpDigits = 4;
  TDecimal d = RoundDigits(ExactDecimal(x), Precision);
  if (d.Digits.empty()) return "0";
  String s = d.Negative ? "-" : "";
  int n = static_cast<int>(d.Digits.size());
  if (d.Exponent <= Precision && d.Exponent >= -3) {
    if (d.Exponent <= 0) {
      s += "0";
      s += fs.DecimalSeparator;
      s.append(static_cast<size_t>(-d.Exponent), '0');
      s += d.Digits;
    } else {
      for (int i = 0; i < d.Exponent; ++i) s += DigitAt(d, i);
      if (n > d.Exponent) {
        s += fs.DecimalSeparator;
        s += d.Digits.substr(static_cast<size_t>(d.Exponent));
      }
    }
    return s;
  }
  s += d.Digits[0];
  if (n > 1) {
    s += fs.DecimalSeparator;
    s += d.Digits.substr(1);
  }
  return s + "E" + Exponent(d.Exponent - 1, false, ExpDigits);
}

// ffFixed and ffNumber; Group inserts the thousand separator.
String Fixed(long double x, int Precision, int Digits, bool Group, const TFormatSettings& fs) {
  if (Precision < 2) Precision = 2;
  if (Precision > 18) Precision = 18;
  if (Digits < 0) Digits = 0;
  if (Digits > 18) Digits = 18;
  TDecimal exact = ExactDecimal(x);
  int keep = exact.Exponent + Digits < Precision ? exact.Exponent + Digits : Precision;
  TDecimal d = RoundDigits(exact, keep);
  if (!d.Digits.empty() && d.Exponent > Precision) return General(x, Precision, 0, fs);
  String intPart;
  if (d.Digits.empty() || d.Exponent <= 0) {
    intPart = "0";
  } else {
    for (int i = 0; i < d.Exponent; ++i) intPart += DigitAt(d, i);
  }
  if (Group && intPart.size() > 3) {
    String g;
    size_t lead = intPart.size() % 3;
    for (size_t i = 0; i < intPart.size(); ++i) {
      if (i != 0 && (i - lead) % 3 == 0) g += fs.ThousandSeparator;
      g += intPart[i];
    }
    intPart = g;
  }
  String s = (d.Negative && !d.Digits.empty()) ? "-" : "";
  s += intPart;
  if (Digits > 0) {
    s += fs.DecimalSeparator;
    for (int i = 0; i < Digits; ++i) s += d.Digits.empty() ? '0' : DigitAt(d, d.Exponent + i);
  }
  return s;
}

String Scientific(long double x, int Precision, int ExpDigits, const TFormatSettings& fs) {
  if (Precision < 1) Precision = 1;
  if (Precision > 18) Precision = 18;
  if (ExpDigits < 0) ExpDigits = 0;
  if (ExpDigits > 4) ExpDigits = 4;
  TDecimal d = RoundDigits(ExactDecimal(x), Precision);
  String s = (d.Negative && !d.Digits.empty()) ? "-" : "";
  s += DigitAt(d, 0);
  if (Precision > 1) {
    s += fs.DecimalSeparator;
    for (int i = 1; i < Precision; ++i) s += DigitAt(d, i);
  }
  int e = d.Digits.empty() ? 0 : d.Exponent - 1;
  return s + "E" + Exponent(e, true, ExpDigits);
}

}  // namespace

String FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings) {
  if (!std::isfinite(Value)) return Special(Value);
  switch (Format) {
    case ffGeneral:
      return General(Value, Precision, Digits, Settings);
    case ffExponent:
      return Scientific(Value, Precision, Digits, Settings);
    case ffFixed:
      return Fixed(Value, Precision, Digits, false, Settings);
    case ffNumber:
      return Fixed(Value, Precision, Digits, true, Settings);
    case ffCurrency: {
      String s = Fixed(Value, Precision, Digits, true, Settings);
      return Settings.CurrencyString.empty() ? s : s + " " + Settings.CurrencyString;
    }
  }
  return General(Value, Precision, Digits, Settings);
}

String FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits) {
  return FloatToStrF(Value, Format, Precision, Digits, FormatSettings);
}

String FloatToStr(Extended Value, const TFormatSettings& Settings) {
  return FloatToStrF(Value, ffGeneral, 15, 0, Settings);
}

String FloatToStr(Extended Value) { return FloatToStr(Value, FormatSettings); }

bool TryStrToFloat(const String& S, Extended& Value, const TFormatSettings& Settings) {
  const size_t n = S.size();
  size_t i = 0;
  auto isDigit = [&](size_t k) { return k < n && S[k] >= '0' && S[k] <= '9'; };
  while (i < n && S[i] == ' ') ++i;
  String text;  // the number in the "C" locale's notation
  if (i < n && (S[i] == '+' || S[i] == '-')) text += S[i++];
  String intDigits, fracDigits;
  bool separator = false;
  while (isDigit(i)) intDigits += S[i++];
  if (i < n && S[i] == Settings.DecimalSeparator) {
    separator = true;
    ++i;
    while (isDigit(i)) fracDigits += S[i++];
  }
  if (intDigits.empty() && fracDigits.empty() && !separator) return false;
  if (intDigits.empty() && fracDigits.empty()) intDigits = "0";
  text += intDigits.empty() ? "0" : intDigits;
  if (!fracDigits.empty()) text += "." + fracDigits;
  if (i < n && (S[i] == 'E' || S[i] == 'e')) {
    ++i;
    text += 'e';
    if (i < n && (S[i] == '+' || S[i] == '-')) text += S[i++];
    if (!isDigit(i)) return false;
    while (isDigit(i)) text += S[i++];
  }
  while (i < n && S[i] == ' ') ++i;
  if (i != n) return false;
  errno = 0;
  char* end = nullptr;
  long double v = strtold_l(text.c_str(), &end, vcl_detail::CLocale());
  if (end != text.c_str() + text.size()) return false;
  if (std::isinf(v)) return false;  // beyond the extended range
  Value = v;
  return true;
}

bool TryStrToFloat(const String& S, Extended& Value) { return TryStrToFloat(S, Value, FormatSettings); }

Extended StrToFloat(const String& S, const TFormatSettings& Settings) {
  Extended v = 0;
  if (!TryStrToFloat(S, v, Settings)) throw EConvertError("'" + S + "' is not a valid floating point value");
  return v;
}

Extended StrToFloat(const String& S) { return StrToFloat(S, FormatSettings); }
