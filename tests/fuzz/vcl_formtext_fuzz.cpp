// The form-description parser on any bytes: a tree or an EReadError.
#include <cstdint>

#include "FormText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const String text(reinterpret_cast<const char*>(Data), Size);
  try {
    (void)vcl_detail::ParseFormText(text, "fuzz");
  } catch (const EReadError&) {
  }
  return 0;
}
