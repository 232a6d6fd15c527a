// Standard controls: edit boxes, buttons, combo boxes, labels.
#pragma once

#include "vcl/Controls.h"

/// A one-line edit box. Keeps caret, selection and keyboard handling of the
/// platform's line edit. Every key pressed while it has the focus passes
/// through KeyDown first (see TWinControl::KeyDown).
class TCustomEdit : public TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);
  ~TCustomEdit() override;

  /// The current text (a copy).
  String GetText() const override;
  /// Replaces the text; raises OnChange when it differs.
  void SetText(const String& AText) override;
  bool GetAutoSize() const { return FAutoSize; }
  /// Stored; the height stays as set either way (a form description already
  /// holds the height that automatic sizing gives on the designed font).
  void SetAutoSize(bool AAutoSize) { FAutoSize = AAutoSize; }
  bool GetAutoSelect() const { return FAutoSelect; }
  /// true (default): focusing the box by Tab selects the whole text.
  void SetAutoSelect(bool AAutoSelect) { FAutoSelect = AAutoSelect; }
  bool GetReadOnly() const;
  void SetReadOnly(bool AReadOnly);
  int GetMaxLength() const;
  /// 0: no limit.
  void SetMaxLength(int AMaxLength);
  int GetSelStart() const;
  void SetSelStart(int ASelStart);
  int GetSelLength() const;
  void SetSelLength(int ASelLength);
  /// The selected text.
  String GetSelText() const;

  TProperty<TCustomEdit, String, &TCustomEdit::GetText, &TCustomEdit::SetText> Text{this};
  TProperty<TCustomEdit, bool, &TCustomEdit::GetAutoSize, &TCustomEdit::SetAutoSize> AutoSize{this};
  TProperty<TCustomEdit, bool, &TCustomEdit::GetAutoSelect, &TCustomEdit::SetAutoSelect> AutoSelect{
      this};
  TProperty<TCustomEdit, bool, &TCustomEdit::GetReadOnly, &TCustomEdit::SetReadOnly> ReadOnly{this};
  TProperty<TCustomEdit, int, &TCustomEdit::GetMaxLength, &TCustomEdit::SetMaxLength> MaxLength{this};
  TProperty<TCustomEdit, int, &TCustomEdit::GetSelStart, &TCustomEdit::SetSelStart> SelStart{this};
  TProperty<TCustomEdit, int, &TCustomEdit::GetSelLength, &TCustomEdit::SetSelLength> SelLength{this};

  /// Sets the text from a NUL-terminated UTF-8 string; null empties it.
  void SetTextBuf(const char* Buffer);
  /// Copies at most BufSize-1 bytes of the text and a NUL into Buffer;
  /// returns the bytes copied without the NUL (0 when BufSize < 1).
  int GetTextBuf(char* Buffer, int BufSize) const;
  /// Length of the text in bytes.
  int GetTextLen() const;
  /// Selects the whole text.
  void SelectAll();
  void ClearSelection();
  void Clear() { SetText(String()); }

  /// Raised after every change of the text, typed or assigned.
  TNotifyEvent OnChange;

  String ClassName() const override { return "TCustomEdit"; }

 private:
  bool FAutoSize = true;
  bool FAutoSelect = true;
};

/// The plain edit box of the form description.
class TEdit : public TCustomEdit {
 public:
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
  String ClassName() const override { return "TEdit"; }
};

/// A push button. OnClick is raised by a mouse click, by Space while it has
/// the focus, and by Click().
class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);
  ~TButton() override;

  String GetCaption() const { return GetText(); }
  /// "&" marks the accelerator letter, "&&" is a literal "&".
  void SetCaption(const String& ACaption) { SetText(ACaption); }

  TProperty<TButton, String, &TButton::GetCaption, &TButton::SetCaption> Caption{this};

  void Click() override;
  String ClassName() const override { return "TButton"; }

 protected:
  String GetText() const override;
  void SetText(const String& AText) override;
};

enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };

/// A combo box. Items are kept in the widget; `Items` edits them.
/// ItemIndex: the selected item, -1 for none. Assigning it from code raises
/// no OnChange; an index outside the list leaves no selection (reads -1).
/// OnChange is raised only by the user's choice (mouse or keyboard), also
/// when the user picks the item already selected.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;

  TStrings* GetItems() const;
  int GetItemIndex() const;
  void SetItemIndex(int AItemIndex);
  TComboBoxStyle GetStyle() const { return FStyle; }
  /// csDropDownList: pick only; csDropDown and csSimple: the text can be
  /// typed; owner-draw styles behave as csDropDownList.
  void SetStyle(TComboBoxStyle AStyle);
  int GetDropDownCount() const;
  /// Rows the open list shows before it scrolls (default 8).
  void SetDropDownCount(int ADropDownCount);
  int GetItemHeight() const { return FItemHeight; }
  /// Height of a row of the open list in pixels (default 16).
  void SetItemHeight(int AItemHeight);
  /// The shown text: the selected item's, or the typed text.
  String GetText() const override;
  /// Style csDropDownList: selects the first item equal to AText (none when
  /// there is none). Other styles: sets the typed text.
  void SetText(const String& AText) override;

  TProperty<TComboBox, TStrings*, &TComboBox::GetItems> Items{this};
  TProperty<TComboBox, int, &TComboBox::GetItemIndex, &TComboBox::SetItemIndex> ItemIndex{this};
  TProperty<TComboBox, TComboBoxStyle, &TComboBox::GetStyle, &TComboBox::SetStyle> Style{this};
  TProperty<TComboBox, int, &TComboBox::GetDropDownCount, &TComboBox::SetDropDownCount>
      DropDownCount{this};
  TProperty<TComboBox, int, &TComboBox::GetItemHeight, &TComboBox::SetItemHeight> ItemHeight{this};
  TProperty<TComboBox, String, &TComboBox::GetText, &TComboBox::SetText> Text{this};

  TNotifyEvent OnChange;

  String ClassName() const override { return "TComboBox"; }
  /// Applies an ItemIndex or Text that the description gave before Items.
  void Loaded() override;

 private:
  class TComboItems;
  std::unique_ptr<TComboItems> FItems;
  TComboBoxStyle FStyle = csDropDown;
  int FItemHeight = 16;
  int FPendingIndex = -2;  // -2: none pending
  String FPendingText;
  bool FHasPendingText = false;
};

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

/// A static text. Takes no focus and no part in the Tab order.
class TLabel : public TControl {
 public:
  explicit TLabel(TComponent* AOwner);
  ~TLabel() override;

  String GetCaption() const { return GetText(); }
  void SetCaption(const String& ACaption) { SetText(ACaption); }
  bool GetAutoSize() const { return FAutoSize; }
  /// true (default): the label takes the width and height of its caption in
  /// the font actually used (Left and Top stay), whenever the caption or the
  /// font changes and after loading; a Width or Height set meanwhile does
  /// not last. With WordWrap the width stays and only the height fits.
  void SetAutoSize(bool AAutoSize);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment AAlignment);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool ATransparent);
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool AWordWrap);

  TProperty<TLabel, String, &TLabel::GetCaption, &TLabel::SetCaption> Caption{this};
  TProperty<TLabel, bool, &TLabel::GetAutoSize, &TLabel::SetAutoSize> AutoSize{this};
  TProperty<TLabel, TAlignment, &TLabel::GetAlignment, &TLabel::SetAlignment> Alignment{this};
  TProperty<TLabel, bool, &TLabel::GetTransparent, &TLabel::SetTransparent> Transparent{this};
  TProperty<TLabel, bool, &TLabel::GetWordWrap, &TLabel::SetWordWrap> WordWrap{this};

  String ClassName() const override { return "TLabel"; }
  void Loaded() override;

 protected:
  String GetText() const override;
  void SetText(const String& AText) override;
  void ApplyFont() override;

 private:
  void AdjustSize();

 private:
  String FCaption;
  bool FAutoSize = true;
  TAlignment FAlignment = taLeftJustify;
  bool FTransparent = false;
  bool FWordWrap = false;
};
