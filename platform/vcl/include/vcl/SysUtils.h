// Exceptions, number formatting and conversion, file-name helpers.
// Qt-free; every function here may be called from any thread, but they all
// read the one global FormatSettings, which only the GUI thread should change.
#pragma once

#include <exception>

#include "vcl/Types.h"

/// Base of every exception the layer throws. `what()` returns `Message`.
class Exception : public std::exception {
 public:
  explicit Exception(const String& Msg) : Message(Msg) {}
  const char* what() const noexcept override { return Message.c_str(); }

  /// The text shown to the user; handlers may read and change it.
  String Message;
};

/// A text did not convert to a number.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

/// A file could not be opened, created or written (base of the two below).
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
/// "Cannot open file %s": the file exists but cannot be read.
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
/// "Cannot create file %s": the file cannot be created, replaced or written.
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

/// A form description is malformed or does not match the form's classes.
class EReadError : public Exception {
 public:
  using Exception::Exception;
};

/// An operation that the object's state does not allow (e.g. focusing a
/// hidden control).
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

/// The locale settings used by formatting and conversion.
struct TFormatSettings {
  /// Decimal separator of the user's locale, read once at program start
  /// (LC_NUMERIC of the environment's locale; "." when the locale gives none
  /// or gives a separator of more than one byte). Tests may assign it.
  char DecimalSeparator = '.';
  /// Grouping separator for ffNumber and ffCurrency ("," when none).
  char ThousandSeparator = ',';
  /// Appended, after a space, by ffCurrency; empty by default.
  String CurrencyString;
};
/// The one global instance, filled before main runs.
extern TFormatSettings FormatSettings;

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

/// Formats Value; the result is a new string.
/// - ffFixed: rounded half away from zero to at most Precision significant
///   digits and at most Digits decimals (Precision counts as 2..18, Digits
///   as 0..18); "-" for a negative value, the integer digits (a single 0 when
///   none), then for Digits > 0 the separator and exactly Digits digits. A
///   value that rounds to zero has no sign ("0.0" for -0.04 with 1 decimal).
///   When the rounded integer part has more digits than Precision, the text
///   is that of ffGeneral with the same Precision and no minimum exponent
///   digits (e.g. "1.2346E10").
/// - ffGeneral: rounded to Precision (1..18) significant digits, trailing
///   zeros dropped, separator only when decimals remain. Plain form when the
///   magnitude is at least 1E-4 and the integer part has at most Precision
///   digits, else scientific: mantissa, "E", "-" for a negative exponent,
///   exponent digits padded to at least Digits (0..4): "1E20", "1.5E-5".
/// - ffExponent: mantissa with Precision significant digits (no trimming),
///   "E", the exponent's sign always, at least Digits (0..4) exponent digits:
///   "1.2346E+003".
/// - ffNumber: as ffFixed with ThousandSeparator between groups of three
///   integer digits. ffCurrency: ffNumber followed by " " and CurrencyString
///   when that is not empty.
/// NaN gives "NAN", infinities "INF" and "-INF", for every format.
String FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits);
String FloatToStrF(Extended Value, TFloatFormat Format, int Precision, int Digits,
                   const TFormatSettings& Settings);

/// ffGeneral with 15 significant digits and no minimum exponent digits:
/// "10", "12.5", "-18000", "1E20", "1.5E-5".
String FloatToStr(Extended Value);
String FloatToStr(Extended Value, const TFormatSettings& Settings);

/// Converts S, which must read, in this order: any number of spaces; an
/// optional "+" or "-"; decimal digits with an optional DecimalSeparator and
/// more digits (at least one character of this part, so "." alone reads 0);
/// an optional exponent: "E" or "e", an optional sign and at least one digit;
/// any number of spaces; nothing else. The value is rounded to nearest.
/// Throws EConvertError "'S' is not a valid floating point value" for any
/// other text and for a magnitude beyond the extended range (a value below
/// the smallest extended reads as 0 or a denormal).
Extended StrToFloat(const String& S);
Extended StrToFloat(const String& S, const TFormatSettings& Settings);
/// As StrToFloat, without throwing: false leaves Value unchanged.
bool TryStrToFloat(const String& S, Extended& Value);
bool TryStrToFloat(const String& S, Extended& Value, const TFormatSettings& Settings);

/// Integer conversion with the class library's rules: optional spaces, an
/// optional sign, then decimal digits, or hexadecimal digits after "$", "x",
/// "X", "0x" or "0X"; nothing after. Decimal values must fit a signed 32-bit
/// integer; hexadecimal ones may use all 32 bits ("$FFFFFFFF" is -1).
/// StrToInt throws EConvertError "'S' is not a valid integer value".
int StrToInt(const String& S);
bool TryStrToInt(const String& S, int& Value);
int StrToIntDef(const String& S, int Default);

/// Decimal text of Value: "-" and digits.
String IntToStr(long long Value);

/// S without the leading and trailing characters at or below ' ' (spaces and
/// control characters).
String Trim(const String& S);

/// ASCII-only case-insensitive comparison: 0 when equal, <0 / >0 like strcmp.
int CompareText(const String& A, const String& B);
bool SameText(const String& A, const String& B);

/// FileName with the extension of its last path component replaced by
/// Extension (which includes the dot, e.g. ".ini"): the characters from the
/// last "." of the file-name part onward; a dot in a folder name does not
/// count; a name without a dot gets Extension appended.
String ChangeFileExt(const String& FileName, const String& Extension);
/// The folder part of FileName including the trailing "/" ("" when none).
String ExtractFilePath(const String& FileName);
/// The last path component of FileName.
String ExtractFileName(const String& FileName);
/// FileName made absolute against the current folder (no symlink resolving).
String ExpandFileName(const String& FileName);
