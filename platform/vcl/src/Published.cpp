// The class registry and the published parts of the built-in classes.
#include "vcl/Published.h"

#include <cxxabi.h>

#include <cstdlib>
#include <map>
#include <memory>

#include "vcl/ExtCtrls.h"
#include "vcl/Forms.h"
#include "vcl/StdCtrls.h"

namespace vcl_detail {

String TypeText(const std::type_info& Type) {
  int status = 0;
  char* name = abi::__cxa_demangle(Type.name(), nullptr, nullptr, &status);
  String s = (status == 0 && name) ? String(name) : String(Type.name());
  std::free(name);
  return s;
}

}  // namespace vcl_detail

namespace {

TColor ColorValue(const TPropValue& v) {
  static const std::pair<const char*, TColor> names[] = {
      {"clBlack", clBlack},         {"clMaroon", clMaroon},       {"clGreen", clGreen},
      {"clOlive", clOlive},         {"clNavy", clNavy},           {"clPurple", clPurple},
      {"clTeal", clTeal},           {"clGray", clGray},           {"clSilver", clSilver},
      {"clRed", clRed},             {"clLime", clLime},           {"clYellow", clYellow},
      {"clBlue", clBlue},           {"clFuchsia", clFuchsia},     {"clAqua", clAqua},
      {"clWhite", clWhite},         {"clBtnFace", clBtnFace},     {"clBtnShadow", clBtnShadow},
      {"clBtnHighlight", clBtnHighlight}, {"clBtnText", clBtnText}, {"clWindow", clWindow},
      {"clWindowText", clWindowText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
      {"clGrayText", clGrayText}};
  if (v.Kind == TPropValue::vkInteger) return static_cast<TColor>(static_cast<std::uint32_t>(v.Int));
  const String& id = v.AsIdent();
  for (const auto& [n, c] : names)
    if (SameText(n, id)) return c;
  throw EReadError("invalid colour '" + id + "'");
}

TFontStyles FontStyleValue(const TPropValue& v) {
  if (v.Kind != TPropValue::vkSet) throw EReadError("expected a set, found " + String(TPropValue::KindName(v.Kind)));
  static const std::pair<const char*, TFontStyle> names[] = {
      {"fsBold", fsBold}, {"fsItalic", fsItalic}, {"fsUnderline", fsUnderline}, {"fsStrikeOut", fsStrikeOut}};
  TFontStyles s;
  for (const String& m : v.Names) {
    bool found = false;
    for (const auto& [n, st] : names)
      if (SameText(n, m)) {
        s << st;
        found = true;
      }
    if (!found) throw EReadError("invalid font style '" + m + "'");
  }
  return s;
}

int CharsetValue(const TPropValue& v) {
  if (v.Kind == TPropValue::vkInteger) return static_cast<int>(v.Int);
  const String& id = v.AsIdent();
  if (SameText(id, "DEFAULT_CHARSET")) return DEFAULT_CHARSET;
  if (SameText(id, "ANSI_CHARSET")) return ANSI_CHARSET;
  throw EReadError("invalid charset '" + id + "'");
}

int IntValue(const TPropValue& v) { return vcl_detail::ValueAs<int>(v); }

void RegisterBuiltins() {
  TPublishedClass<TComponent>("TComponent", "").Register();

  TPublishedClass<TControl>("TControl", "TComponent")
      .Property("Left", [](TControl& c, const TPropValue& v) { c.SetLeft(IntValue(v)); })
      .Property("Top", [](TControl& c, const TPropValue& v) { c.SetTop(IntValue(v)); })
      .Property("Width", [](TControl& c, const TPropValue& v) { c.SetWidth(IntValue(v)); })
      .Property("Height", [](TControl& c, const TPropValue& v) { c.SetHeight(IntValue(v)); })
      .Property("Visible", &TControl::SetVisible)
      .Property("Enabled", &TControl::SetEnabled)
      .Property("Color", [](TControl& c, const TPropValue& v) { c.SetColor(ColorValue(v)); })
      .Property("ParentColor", &TControl::SetParentColor)
      .Property("Font.Name", [](TControl& c, const TPropValue& v) { c.GetFont()->SetName(v.AsString()); })
      .Property("Font.Height", [](TControl& c, const TPropValue& v) { c.GetFont()->SetHeight(IntValue(v)); })
      .Property("Font.Size", [](TControl& c, const TPropValue& v) { c.GetFont()->SetSize(IntValue(v)); })
      .Property("Font.Color", [](TControl& c, const TPropValue& v) { c.GetFont()->SetColor(ColorValue(v)); })
      .Property("Font.Style", [](TControl& c, const TPropValue& v) { c.GetFont()->SetStyle(FontStyleValue(v)); })
      .Property("Font.Charset", [](TControl& c, const TPropValue& v) { c.GetFont()->SetCharset(CharsetValue(v)); })
      .Property("ParentFont", &TControl::SetParentFont)
      .Property("Hint", &TControl::SetHint)
      .Property("ShowHint", &TControl::SetShowHint)
      .Event("OnClick", &TControl::OnClick)
      .Register();

  TPublishedClass<TWinControl>("TWinControl", "TControl")
      .Property("TabOrder", &TWinControl::SetTabOrder)
      .Property("TabStop", &TWinControl::SetTabStop)
      .Event("OnEnter", &TWinControl::OnEnter)
      .Event("OnExit", &TWinControl::OnExit)
      .Event("OnKeyDown", &TWinControl::OnKeyDown)
      .Register();

  TPublishedClass<TCustomEdit>("TCustomEdit", "TWinControl")
      .Property("AutoSize", &TCustomEdit::SetAutoSize)
      .Property("AutoSelect", &TCustomEdit::SetAutoSelect)
      .Property("ReadOnly", &TCustomEdit::SetReadOnly)
      .Register();

  TPublishedClass<TEdit>("TEdit", "TCustomEdit")
      .Property("Text", [](TEdit& e, const TPropValue& v) { e.SetText(v.AsString()); })
      .Property("MaxLength", &TCustomEdit::SetMaxLength)
      .Event("OnChange", &TCustomEdit::OnChange)
      .Register();

  TPublishedClass<TButton>("TButton", "TWinControl").Property("Caption", &TButton::SetCaption).Register();

  TPublishedClass<TComboBox>("TComboBox", "TWinControl")
      .Enum("Style", &TComboBox::SetStyle,
            {{"csDropDown", csDropDown},
             {"csSimple", csSimple},
             {"csDropDownList", csDropDownList},
             {"csOwnerDrawFixed", csOwnerDrawFixed},
             {"csOwnerDrawVariable", csOwnerDrawVariable}})
      .Property("Items.Strings",
                [](TComboBox& c, const TPropValue& v) {
                  TStringList list;
                  for (const String& s : v.AsStrings()) list.Add(s);
                  c.GetItems()->Assign(list);
                })
      .Property("ItemIndex", &TComboBox::SetItemIndex)
      .Property("DropDownCount", &TComboBox::SetDropDownCount)
      .Property("ItemHeight", &TComboBox::SetItemHeight)
      .Property("Text", [](TComboBox& c, const TPropValue& v) { c.SetText(v.AsString()); })
      .Event("OnChange", &TComboBox::OnChange)
      .Register();

  TPublishedClass<TLabel>("TLabel", "TControl")
      .Property("Caption", &TLabel::SetCaption)
      .Property("AutoSize", &TLabel::SetAutoSize)
      .Enum("Alignment", &TLabel::SetAlignment,
            {{"taLeftJustify", taLeftJustify}, {"taRightJustify", taRightJustify}, {"taCenter", taCenter}})
      .Property("Transparent", &TLabel::SetTransparent)
      .Property("WordWrap", &TLabel::SetWordWrap)
      .Register();

  TPublishedClass<TBevel>("TBevel", "TControl")
      .Enum("Shape", &TBevel::SetShape,
            {{"bsBox", bsBox},
             {"bsFrame", bsFrame},
             {"bsTopLine", bsTopLine},
             {"bsBottomLine", bsBottomLine},
             {"bsLeftLine", bsLeftLine},
             {"bsRightLine", bsRightLine},
             {"bsSpacer", bsSpacer}})
      .Enum("Style", &TBevel::SetStyle, {{"bsLowered", bsLowered}, {"bsRaised", bsRaised}})
      .Register();

  // Left and Top of a timer are its place on the designer's grid.
  TPublishedClass<TTimer>("TTimer", "TComponent")
      .Property("Interval", &TTimer::SetInterval)
      .Property("Enabled", &TTimer::SetEnabled)
      .Property("Left", [](TTimer&, const TPropValue& v) { (void)IntValue(v); })
      .Property("Top", [](TTimer&, const TPropValue& v) { (void)IntValue(v); })
      .Event("OnTimer", &TTimer::OnTimer)
      .Register();

  TPublishedClass<TForm> form("TForm", "TWinControl");
  form.Property("Caption", &TForm::SetCaption)
      .Property("ClientWidth", &TForm::SetClientWidth)
      .Property("ClientHeight", &TForm::SetClientHeight)
      .Property("OldCreateOrder",
                [](TForm&, const TPropValue& v) {
                  if (v.AsBool()) throw EReadError("only OldCreateOrder = False is supported");
                })
      .Property("PixelsPerInch",
                [](TForm&, const TPropValue& v) {
                  if (v.AsInteger() != 96) throw EReadError("only PixelsPerInch = 96 is supported");
                })
      .Property("TextHeight", [](TForm&, const TPropValue& v) { (void)v.AsInteger(); })
      .Property("Icon.Data",
                [](TForm&, const TPropValue& v) {
                  if (v.Kind != TPropValue::vkBinary) throw EReadError("expected binary data");
                })
      .Event("OnCreate", &TForm::OnCreate)
      .Event("OnClose", &TForm::OnClose)
      .Event("OnShow", &TForm::OnShow);
  TClassInfo info = form.Info();
  info.Factory = nullptr;  // forms are made by their own class
  RegisterClassInfo(info);
}

struct TRegistry {
  std::map<String, TClassInfo> Classes;  // key: lower-case name
};

String Key(const String& Name) {
  String k = Name;
  for (char& c : k)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return k;
}

TRegistry& Registry() {
  static TRegistry* r = [] {
    auto* reg = new TRegistry();  // lives as long as the process
    return reg;
  }();
  static bool builtins = false;
  if (!builtins) {
    builtins = true;
    RegisterBuiltins();
  }
  return *r;
}

}  // namespace

void RegisterClassInfo(TClassInfo Info) {
  TRegistry& r = Registry();
  String k = Key(Info.Name);
  r.Classes[k] = std::move(Info);
}

const TClassInfo* FindClassInfo(const String& Name) {
  TRegistry& r = Registry();
  auto it = r.Classes.find(Key(Name));
  return it == r.Classes.end() ? nullptr : &it->second;
}

namespace {
template <class Entry>
const Entry* FindEntry(const String& ClassName, const String& Name,
                       const std::vector<std::pair<String, Entry>> TClassInfo::*List) {
  const TClassInfo* info = FindClassInfo(ClassName);
  for (int depth = 0; info && depth < 64; ++depth) {
    for (const auto& [n, e] : info->*List)
      if (SameText(n, Name)) return &e;
    if (info->ParentName.empty()) break;
    info = FindClassInfo(info->ParentName);
  }
  return nullptr;
}
}  // namespace

const TClassInfo::TSetter* FindPropertySetter(const String& ClassName, const String& Name) {
  return FindEntry(ClassName, Name, &TClassInfo::Properties);
}

const TClassInfo::TBinder* FindEventBinder(const String& ClassName, const String& Name) {
  return FindEntry(ClassName, Name, &TClassInfo::Events);
}

bool ClassInheritsFrom(const String& ClassName, const String& Base) {
  const TClassInfo* info = FindClassInfo(ClassName);
  for (int depth = 0; info && depth < 64; ++depth) {
    if (SameText(info->Name, Base)) return true;
    if (info->ParentName.empty()) break;
    info = FindClassInfo(info->ParentName);
  }
  return false;
}
