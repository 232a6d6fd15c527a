// StrToFloat and the formatting of what it returns: never a crash, and the
// text FloatToStr writes always converts back.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "vcl/SysUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  if (Size == 0) return 0;
  TFormatSettings fs;
  fs.DecimalSeparator = (Data[0] & 1) ? ',' : '.';
  fs.ThousandSeparator = fs.DecimalSeparator == ',' ? '.' : ',';
  const int precision = Data[0] >> 3;  // 0..31: beyond the clamps too
  const String text(reinterpret_cast<const char*>(Data) + 1, Size - 1);
  Extended v = 0;
  if (!TryStrToFloat(text, v, fs)) return 0;
  if (!std::isfinite(v)) std::abort();
  for (TFloatFormat f : {ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency})
    (void)FloatToStrF(v, f, precision, precision - 8, fs);
  Extended back = 0;
  if (!TryStrToFloat(FloatToStr(v, fs), back, fs)) std::abort();
  return 0;
}
