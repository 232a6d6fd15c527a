// The INI reader on any bytes: no crash, and what it writes reads back to
// the same text.
#include <cstdint>
#include <cstdlib>

#include "vcl/IniFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const String text(reinterpret_cast<const char*>(Data), Size);
  TMemIniFile ini("/nonexistent/vcl-fuzz.ini");
  ini.SetText(text);
  const String once = ini.GetText();
  for (const String& section : ini.ReadSections())
    for (const String& key : ini.ReadSection(section)) {
      (void)ini.ReadInteger(section, key, 0);
      (void)ini.ReadFloat(section, key, 0);
    }
  TMemIniFile again("/nonexistent/vcl-fuzz.ini");
  again.SetText(once);
  if (again.GetText() != once) std::abort();
  return 0;
}
