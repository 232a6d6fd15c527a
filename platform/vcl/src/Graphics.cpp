// Fonts and the classic colour scheme.
#include "vcl/Graphics.h"

std::uint32_t ColorToRGB(TColor Color) {
  auto c = static_cast<std::uint32_t>(Color);
  if ((c & 0xFF000000u) == 0) return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
  switch (c & 0xFFu) {
    case 0x05: return 0xFFFFFF;  // window background
    case 0x08: return 0x000000;  // window text
    case 0x0D: return 0x0A246A;  // highlight
    case 0x0E: return 0xFFFFFF;  // highlight text
    case 0x0F: return 0xD4D0C8;  // button face
    case 0x10: return 0x808080;  // button shadow
    case 0x11: return 0x808080;  // grey text
    case 0x12: return 0x000000;  // button text
    case 0x14: return 0xFFFFFF;  // button highlight
    default: return 0xD4D0C8;
  }
}

void TFont::SetName(const String& AName) {
  if (AName == FName) return;
  FName = AName;
  Changed();
}

void TFont::SetHeight(int AHeight) {
  if (AHeight == FHeight) return;
  FHeight = AHeight;
  Changed();
}

// Points at 96 pixels per inch: Height = -Size * 96 / 72.
int TFont::GetSize() const {
  int h = FHeight < 0 ? -FHeight : FHeight;
  return (h * 72 + 48) / 96;
}

void TFont::SetSize(int ASize) { SetHeight(-((ASize * 96 + 36) / 72)); }

void TFont::SetColor(TColor AColor) {
  if (AColor == FColor) return;
  FColor = AColor;
  Changed();
}

void TFont::SetStyle(TFontStyles AStyle) {
  if (AStyle == FStyle) return;
  FStyle = AStyle;
  Changed();
}

void TFont::SetCharset(int ACharset) {
  if (ACharset == FCharset) return;
  FCharset = ACharset;
  Changed();
}

void TFont::Assign(const TFont& Source) {
  if (&Source == this) return;
  FName = Source.FName;
  FHeight = Source.FHeight;
  FColor = Source.FColor;
  FStyle = Source.FStyle;
  FCharset = Source.FCharset;
  Changed();
}

void TFont::Changed() { OnChange(this); }
