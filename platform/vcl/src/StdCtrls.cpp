// Edit boxes, buttons, combo boxes and labels on Qt widgets.
#include "vcl/StdCtrls.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QFontMetrics>
#include <algorithm>
#include <cstring>

#include "QtBridge.h"

using namespace vcl_detail;

namespace {

template <class W>
std::unique_ptr<TControlPrivate> MakePriv() {
  EnsureQtApplication();
  return std::make_unique<TControlPrivate>(new W());
}

template <class W>
W* WidgetAs(const TControl* c) {
  return static_cast<W*>(c->Priv().Widget.data());
}

// "&File" shows "File" (the accelerator mark), "&&" a literal "&".
QString WithoutAccelerator(const String& Caption) {
  String s;
  for (size_t i = 0; i < Caption.size(); ++i) {
    if (Caption[i] == '&') {
      if (i + 1 < Caption.size() && Caption[i + 1] == '&') {
        s += '&';
        ++i;
      }
      continue;
    }
    s += Caption[i];
  }
  return ToQ(s);
}

}  // namespace

// ---- TCustomEdit -----------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner, MakePriv<QLineEdit>()) {
  auto* e = WidgetAs<QLineEdit>(this);
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
  QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString&) {
    if (!Quiet(this)) RunHandler(this, [this] { OnChange(this); });
  });
}

TCustomEdit::~TCustomEdit() = default;

String TCustomEdit::GetText() const { return FromQ(WidgetAs<QLineEdit>(this)->text()); }

void TCustomEdit::SetText(const String& AText) {
  auto* e = WidgetAs<QLineEdit>(this);
  QString q = ToQ(AText);
  if (q != e->text()) e->setText(q);
}

bool TCustomEdit::GetReadOnly() const { return WidgetAs<QLineEdit>(this)->isReadOnly(); }
void TCustomEdit::SetReadOnly(bool AReadOnly) { WidgetAs<QLineEdit>(this)->setReadOnly(AReadOnly); }

int TCustomEdit::GetMaxLength() const {
  int n = WidgetAs<QLineEdit>(this)->maxLength();
  return n >= 32767 ? 0 : n;
}

void TCustomEdit::SetMaxLength(int AMaxLength) {
  WidgetAs<QLineEdit>(this)->setMaxLength(AMaxLength > 0 ? AMaxLength : 32767);
}

int TCustomEdit::GetSelStart() const {
  auto* e = WidgetAs<QLineEdit>(this);
  return e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
}

void TCustomEdit::SetSelStart(int ASelStart) {
  auto* e = WidgetAs<QLineEdit>(this);
  e->deselect();
  e->setCursorPosition(ASelStart);
}

int TCustomEdit::GetSelLength() const {
  auto* e = WidgetAs<QLineEdit>(this);
  return e->hasSelectedText() ? static_cast<int>(e->selectedText().size()) : 0;
}

void TCustomEdit::SetSelLength(int ASelLength) {
  auto* e = WidgetAs<QLineEdit>(this);
  e->setSelection(GetSelStart(), ASelLength);
}

String TCustomEdit::GetSelText() const { return FromQ(WidgetAs<QLineEdit>(this)->selectedText()); }

void TCustomEdit::SetTextBuf(const char* Buffer) { SetText(Buffer ? String(Buffer) : String()); }

int TCustomEdit::GetTextBuf(char* Buffer, int BufSize) const {
  if (!Buffer || BufSize < 1) return 0;
  String t = GetText();
  size_t n = t.size() < static_cast<size_t>(BufSize - 1) ? t.size() : static_cast<size_t>(BufSize - 1);
  std::memcpy(Buffer, t.data(), n);
  Buffer[n] = '\0';
  return static_cast<int>(n);
}

int TCustomEdit::GetTextLen() const { return static_cast<int>(GetText().size()); }

void TCustomEdit::SelectAll() { WidgetAs<QLineEdit>(this)->selectAll(); }

void TCustomEdit::ClearSelection() {
  auto* e = WidgetAs<QLineEdit>(this);
  if (e->hasSelectedText()) e->del();
}

// ---- TButton ---------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner, MakePriv<QPushButton>()) {
  Priv().ClicksBySignal = true;
  auto* b = WidgetAs<QPushButton>(this);
  b->setAutoDefault(false);
  SetBounds(0, 0, 75, 25);
  QObject::connect(b, &QPushButton::clicked, b, [this] {
    if (!Quiet(this)) RunHandler(this, [this] { Click(); });
  });
}

TButton::~TButton() = default;

String TButton::GetText() const { return FromQ(WidgetAs<QPushButton>(this)->text()); }
void TButton::SetText(const String& AText) { WidgetAs<QPushButton>(this)->setText(ToQ(AText)); }

void TButton::Click() { TWinControl::Click(); }

// ---- TComboBox -------------------------------------------------------------

// The combo's items live in the QComboBox. Qt selects the first item that is
// added to an empty list and another one when the selected item goes; the
// class library does neither, so the selection is put back.
class TComboBox::TComboItems : public TStrings {
 public:
  explicit TComboItems(QComboBox* ABox) : FBox(ABox) {}
  int GetCount() const override { return FBox->count(); }
  String Get(int Index) const override {
    Check(Index, GetCount());
    return FromQ(FBox->itemText(Index));
  }
  void Put(int Index, const String& S) override {
    Check(Index, GetCount());
    FBox->setItemText(Index, ToQ(S));
  }
  void Insert(int Index, const String& S) override {
    Check(Index, GetCount() + 1);
    int sel = FBox->currentIndex();
    FBox->insertItem(Index, ToQ(S));
    if (sel < 0) {
      FBox->setCurrentIndex(-1);
    } else if (Index <= sel) {
      FBox->setCurrentIndex(sel + 1);
    }
  }
  void Delete(int Index) override {
    Check(Index, GetCount());
    int sel = FBox->currentIndex();
    FBox->removeItem(Index);
    FBox->setCurrentIndex(sel == Index ? -1 : (Index < sel ? sel - 1 : sel));
  }
  void Clear() override { FBox->clear(); }

 private:
  static void Check(int Index, int Limit) {
    if (Index < 0 || Index >= Limit) throw Exception("List index out of bounds (" + IntToStr(Index) + ")");
  }
  QComboBox* FBox;
};

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner, MakePriv<QComboBox>()) {
  Priv().ClicksBySignal = true;
  auto* cb = WidgetAs<QComboBox>(this);
  FItems = std::make_unique<TComboItems>(cb);
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
  SetStyle(csDropDown);
  cb->setMaxVisibleItems(8);
  // activated: the user's choice only (mouse or keyboard), never setCurrentIndex.
  QObject::connect(cb, &QComboBox::activated, cb, [this](int) {
    if (!Quiet(this)) RunHandler(this, [this] { OnChange(this); });
  });
}

TComboBox::~TComboBox() {
  // The items object refers to the widget, which the base deletes.
  FItems.reset();
}

TStrings* TComboBox::GetItems() const { return FItems.get(); }

int TComboBox::GetItemIndex() const { return WidgetAs<QComboBox>(this)->currentIndex(); }

void TComboBox::SetItemIndex(int AItemIndex) {
  if (GetComponentState().Contains(csLoading)) {
    FPendingIndex = AItemIndex;
    return;
  }
  auto* cb = WidgetAs<QComboBox>(this);
  cb->setCurrentIndex(AItemIndex >= 0 && AItemIndex < cb->count() ? AItemIndex : -1);
}

void TComboBox::SetStyle(TComboBoxStyle AStyle) {
  FStyle = AStyle;
  auto* cb = WidgetAs<QComboBox>(this);
  bool editable = AStyle == csDropDown || AStyle == csSimple;
  if (cb->isEditable() == editable) return;
  cb->setEditable(editable);
  if (editable) {
    cb->setInsertPolicy(QComboBox::NoInsert);
    QLineEdit* le = cb->lineEdit();
    AttachControl(this, le);
    QObject::connect(le, &QLineEdit::textEdited, cb, [this](const QString&) {
      if (!Quiet(this)) RunHandler(this, [this] { OnChange(this); });
    });
  }
}

int TComboBox::GetDropDownCount() const { return WidgetAs<QComboBox>(this)->maxVisibleItems(); }

void TComboBox::SetDropDownCount(int ADropDownCount) {
  WidgetAs<QComboBox>(this)->setMaxVisibleItems(ADropDownCount > 0 ? ADropDownCount : 1);
}

void TComboBox::SetItemHeight(int AItemHeight) {
  FItemHeight = AItemHeight;
  auto* cb = WidgetAs<QComboBox>(this);
  if (auto* view = qobject_cast<QListView*>(cb->view())) {
    view->setUniformItemSizes(true);
    view->setStyleSheet(QStringLiteral("QListView::item { height: %1px; }").arg(AItemHeight > 0 ? AItemHeight : 1));
  }
}

String TComboBox::GetText() const { return FromQ(WidgetAs<QComboBox>(this)->currentText()); }

void TComboBox::SetText(const String& AText) {
  if (GetComponentState().Contains(csLoading)) {
    FPendingText = AText;
    FHasPendingText = true;
    return;
  }
  auto* cb = WidgetAs<QComboBox>(this);
  if (cb->isEditable()) {
    cb->setEditText(ToQ(AText));
    return;
  }
  int found = -1;
  for (int i = 0; i < cb->count() && found < 0; ++i)
    if (FromQ(cb->itemText(i)) == AText) found = i;
  cb->setCurrentIndex(found);
}

void TComboBox::Loaded() {
  TWinControl::Loaded();
  // Applied with csLoading still set by the reader; clear it for the call.
  SetLoading(false);
  if (FPendingIndex != -2)
    SetItemIndex(FPendingIndex);
  else if (FHasPendingText)
    SetText(FPendingText);
  FPendingIndex = -2;
  FHasPendingText = false;
  SetLoading(true);
}

// ---- TLabel ----------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner, MakePriv<QLabel>()) {
  auto* l = WidgetAs<QLabel>(this);
  l->setTextFormat(Qt::PlainText);
  l->setFocusPolicy(Qt::NoFocus);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  l->setContentsMargins(0, 0, 0, 0);
  l->setMargin(0);
  l->setIndent(0);
  SetBounds(0, 0, 65, 13);
}

TLabel::~TLabel() = default;

String TLabel::GetText() const { return FCaption; }

void TLabel::SetText(const String& AText) {
  FCaption = AText;
  WidgetAs<QLabel>(this)->setText(WithoutAccelerator(AText));
  AdjustSize();
}

void TLabel::SetAutoSize(bool AAutoSize) {
  FAutoSize = AAutoSize;
  AdjustSize();
}

void TLabel::ApplyFont() {
  TControl::ApplyFont();
  AdjustSize();
}

void TLabel::Loaded() {
  TControl::Loaded();
  AdjustSize();
}

void TLabel::AdjustSize() {
  if (!FAutoSize) return;
  auto* l = WidgetAs<QLabel>(this);
  QFontMetrics fm(l->font());
  const QString text = l->text();
  if (FWordWrap) {
    QRect r = fm.boundingRect(QRect(0, 0, std::max(GetWidth(), 1), 100000), Qt::TextWordWrap, text);
    SetBounds(GetLeft(), GetTop(), GetWidth(), r.height());
    return;
  }
  // The widest line and the line height, as the class library measures.
  int width = 0;
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (const QString& line : lines) width = std::max(width, fm.horizontalAdvance(line));
  SetBounds(GetLeft(), GetTop(), width, fm.height() * static_cast<int>(lines.size()));
}

void TLabel::SetAlignment(TAlignment AAlignment) {
  FAlignment = AAlignment;
  Qt::Alignment h = AAlignment == taRightJustify ? Qt::AlignRight : AAlignment == taCenter ? Qt::AlignHCenter
                                                                                          : Qt::AlignLeft;
  WidgetAs<QLabel>(this)->setAlignment(h | Qt::AlignTop);
}

void TLabel::SetTransparent(bool ATransparent) {
  FTransparent = ATransparent;
  WidgetAs<QLabel>(this)->setAutoFillBackground(!ATransparent);
}

void TLabel::SetWordWrap(bool AWordWrap) {
  FWordWrap = AWordWrap;
  WidgetAs<QLabel>(this)->setWordWrap(AWordWrap);
}
