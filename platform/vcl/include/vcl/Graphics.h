// Colours and fonts. The header is Qt-free; controls apply a font to their
// widget when it changes.
#pragma once

#include <cstdint>

#include "vcl/Classes.h"

/// 0x00BBGGRR, or a system colour (0xFF000000 | index) resolved to the
/// classic Windows scheme when drawn.
using TColor = std::int32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBtnFace = static_cast<TColor>(0xFF00000F);
constexpr TColor clBtnShadow = static_cast<TColor>(0xFF000010);
constexpr TColor clBtnHighlight = static_cast<TColor>(0xFF000014);
constexpr TColor clBtnText = static_cast<TColor>(0xFF000012);
constexpr TColor clWindow = static_cast<TColor>(0xFF000005);
constexpr TColor clWindowText = static_cast<TColor>(0xFF000008);
constexpr TColor clHighlight = static_cast<TColor>(0xFF00000D);
constexpr TColor clHighlightText = static_cast<TColor>(0xFF00000E);
constexpr TColor clGrayText = static_cast<TColor>(0xFF000011);

/// Color as 0x00RRGGBB (system colours resolved to the classic scheme:
/// clBtnFace is 0xD4D0C8, clWindow white, clWindowText black).
std::uint32_t ColorToRGB(TColor Color);

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSet<TFontStyle>;

constexpr int DEFAULT_CHARSET = 1;
constexpr int ANSI_CHARSET = 0;

/// A font description. "MS Sans Serif", "Microsoft Sans Serif", "Tahoma",
/// "Arial" and "Sans Serif" map to the platform's sans-serif face; other names
/// are looked up as given. Height < 0 is the character height in pixels
/// (-11: 11 px characters); Height > 0 the cell height; Size is in points
/// (setting one recomputes the other at 96 dpi). Charset is stored only.
class TFont : public TPersistent {
 public:
  TFont() = default;

  String GetName() const { return FName; }
  void SetName(const String& AName);
  int GetHeight() const { return FHeight; }
  void SetHeight(int AHeight);
  int GetSize() const;
  void SetSize(int ASize);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor AColor);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles AStyle);
  int GetCharset() const { return FCharset; }
  void SetCharset(int ACharset);

  TProperty<TFont, String, &TFont::GetName, &TFont::SetName> Name{this};
  TProperty<TFont, int, &TFont::GetHeight, &TFont::SetHeight> Height{this};
  TProperty<TFont, int, &TFont::GetSize, &TFont::SetSize> Size{this};
  TProperty<TFont, TColor, &TFont::GetColor, &TFont::SetColor> Color{this};
  TProperty<TFont, TFontStyles, &TFont::GetStyle, &TFont::SetStyle> Style{this};
  TProperty<TFont, int, &TFont::GetCharset, &TFont::SetCharset> Charset{this};

  /// Copies every setting of Source, then raises OnChange once.
  void Assign(const TFont& Source);

  /// Raised after every change, with the font as Sender.
  TNotifyEvent OnChange;

 private:
  void Changed();

  String FName = "MS Sans Serif";
  int FHeight = -11;
  TColor FColor = clWindowText;
  TFontStyles FStyle;
  int FCharset = DEFAULT_CHARSET;
};
