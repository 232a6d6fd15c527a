// Locale settings, integer conversion, string and file-name helpers.
#include "vcl/SysUtils.h"

#include <langinfo.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "CLocale.h"

namespace vcl_detail {

locale_t CLocale() {
  static const locale_t loc = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
  return loc;
}

}  // namespace vcl_detail

namespace {

// The separators of the environment's locale (LANG, LC_ALL, LC_NUMERIC),
// read without changing the process locale. A separator of more than one
// byte (some locales use U+066B) cannot be a Char and falls back.
TFormatSettings LocaleFormatSettings() {
  TFormatSettings fs;
  locale_t loc = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(nullptr));
  if (loc == static_cast<locale_t>(nullptr)) return fs;
  const char* point = nl_langinfo_l(RADIXCHAR, loc);
  if (point && std::strlen(point) == 1) fs.DecimalSeparator = point[0];
  const char* group = nl_langinfo_l(THOUSEP, loc);
  if (group && std::strlen(group) == 1) fs.ThousandSeparator = group[0];
  if (fs.ThousandSeparator == fs.DecimalSeparator) fs.ThousandSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
  freelocale(loc);
  return fs;
}

bool IsSpace(char c) { return c == ' '; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

TFormatSettings FormatSettings = LocaleFormatSettings();

bool TryStrToInt(const String& S, int& Value) {
  size_t i = 0, n = S.size();
  while (i < n && IsSpace(S[i])) ++i;
  bool negative = false;
  if (i < n && (S[i] == '+' || S[i] == '-')) negative = S[i++] == '-';
  bool hex = false;
  if (i < n && (S[i] == '$' || S[i] == 'x' || S[i] == 'X')) {
    hex = true;
    ++i;
  } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= n) return false;
  unsigned long long acc = 0;
  for (; i < n; ++i) {
    int d = hex ? HexValue(S[i]) : (S[i] >= '0' && S[i] <= '9' ? S[i] - '0' : -1);
    if (d < 0) return false;
    acc = acc * (hex ? 16 : 10) + static_cast<unsigned>(d);
    if (acc > 0xFFFFFFFFull) return false;
  }
  if (hex) {
    // All 32 bits may be used: $FFFFFFFF is -1.
    auto bits = static_cast<std::uint32_t>(acc);
    if (negative) bits = 0u - bits;
    Value = static_cast<int>(static_cast<std::int32_t>(bits));
    return true;
  }
  if (negative) {
    if (acc > 2147483648ull) return false;
    Value = static_cast<int>(-static_cast<long long>(acc));
  } else {
    if (acc > 2147483647ull) return false;
    Value = static_cast<int>(acc);
  }
  return true;
}

int StrToInt(const String& S) {
  int v = 0;
  if (!TryStrToInt(S, v)) throw EConvertError("'" + S + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const String& S, int Default) {
  int v = 0;
  return TryStrToInt(S, v) ? v : Default;
}

String IntToStr(long long Value) { return std::to_string(Value); }

String Trim(const String& S) {
  size_t b = 0, e = S.size();
  while (b < e && static_cast<unsigned char>(S[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(S[e - 1]) <= ' ') --e;
  return S.substr(b, e - b);
}

int CompareText(const String& A, const String& B) {
  size_t n = A.size() < B.size() ? A.size() : B.size();
  for (size_t i = 0; i < n; ++i) {
    unsigned char a = static_cast<unsigned char>(Lower(A[i]));
    unsigned char b = static_cast<unsigned char>(Lower(B[i]));
    if (a != b) return a < b ? -1 : 1;
  }
  if (A.size() == B.size()) return 0;
  return A.size() < B.size() ? -1 : 1;
}

bool SameText(const String& A, const String& B) { return A.size() == B.size() && CompareText(A, B) == 0; }

String ChangeFileExt(const String& FileName, const String& Extension) {
  size_t slash = FileName.rfind('/');
  size_t nameStart = slash == String::npos ? 0 : slash + 1;
  size_t dot = FileName.rfind('.');
  if (dot == String::npos || dot < nameStart) return FileName + Extension;
  return FileName.substr(0, dot) + Extension;
}

String ExtractFilePath(const String& FileName) {
  size_t slash = FileName.rfind('/');
  return slash == String::npos ? String() : FileName.substr(0, slash + 1);
}

String ExtractFileName(const String& FileName) {
  size_t slash = FileName.rfind('/');
  return slash == String::npos ? FileName : FileName.substr(slash + 1);
}

String ExpandFileName(const String& FileName) {
  if (FileName.empty() || FileName[0] == '/') return FileName;
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(FileName, ec);
  return ec ? FileName : p.string();
}
