// TControl and TWinControl on Qt widgets.
#include <QApplication>
#include <QPalette>
#include <algorithm>

#include "QtBridge.h"
#include "vcl/Forms.h"

using namespace vcl_detail;

// ---- TControl --------------------------------------------------------------

TControl::TControl(TComponent* AOwner, std::unique_ptr<TControlPrivate> APriv)
    : TComponent(AOwner), FPriv(std::move(APriv)), FFont(std::make_unique<TFont>()) {
  FPriv->Control = this;
  FFont->OnChange = Bind(this, &TControl::FontChanged);
  if (QWidget* w = FPriv->Widget) {
    w->hide();
    AttachControl(this, w);
    w->setFont(ToQFont(*FFont));
  }
}

TControl::~TControl() {
  Destroying();
  if (FParent) FParent->RemoveControl(this);
  FParent = nullptr;
  if (QWidget* w = FPriv->Widget) {
    w->setProperty("vclControl", QVariant());
    delete w;
  }
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  for (TWinControl* p = AParent; p; p = p->GetParent())
    if (p == this) throw EInvalidOperation("A control cannot be its own parent");
  if (FParent) FParent->RemoveControl(this);
  FParent = AParent;
  QWidget* w = FPriv->Widget;
  if (FParent) {
    FParent->InsertControl(this);
    if (w) {
      QRect g = w->geometry();
      w->setParent(FParent->Priv().Widget);
      w->setGeometry(g);
    }
    if (FParentFont) ParentFontChanged();
    if (FParentColor) ApplyColor();
  } else if (w) {
    w->setParent(nullptr);
  }
  UpdateWidgetVisibility();
}

void TControl::UpdateWidgetVisibility() {
  QWidget* w = FPriv->Widget;
  if (!w) return;
  w->setVisible(FVisible && FParent != nullptr);
}

int TControl::GetLeft() const { return FPriv->Widget ? FPriv->Widget->x() : 0; }
int TControl::GetTop() const { return FPriv->Widget ? FPriv->Widget->y() : 0; }
int TControl::GetWidth() const { return FPriv->Widget ? FPriv->Widget->width() : 0; }
int TControl::GetHeight() const { return FPriv->Widget ? FPriv->Widget->height() : 0; }
void TControl::SetLeft(int ALeft) { SetBounds(ALeft, GetTop(), GetWidth(), GetHeight()); }
void TControl::SetTop(int ATop) { SetBounds(GetLeft(), ATop, GetWidth(), GetHeight()); }
void TControl::SetWidth(int AWidth) { SetBounds(GetLeft(), GetTop(), AWidth, GetHeight()); }
void TControl::SetHeight(int AHeight) { SetBounds(GetLeft(), GetTop(), GetWidth(), AHeight); }

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (QWidget* w = FPriv->Widget) {
    // A widget takes its minimum size unless told otherwise; the designed
    // size wins here.
    w->setMinimumSize(0, 0);
    w->setGeometry(ALeft, ATop, std::max(AWidth, 0), std::max(AHeight, 0));
  }
}

void TControl::SetVisible(bool AVisible) {
  FVisible = AVisible;
  UpdateWidgetVisibility();
}

void TControl::SetEnabled(bool AEnabled) {
  FEnabled = AEnabled;
  if (FPriv->Widget) FPriv->Widget->setEnabled(AEnabled);
}

void TControl::SetColor(TColor AColor) {
  FColor = AColor;
  FParentColor = false;
  ApplyColor();
}

void TControl::SetParentColor(bool AParentColor) {
  FParentColor = AParentColor;
  ApplyColor();
}

void TControl::ApplyColor() {
  QWidget* w = FPriv->Widget;
  if (!w) return;
  TColor c = FColor;
  if (FParentColor && FParent) c = FParent->GetColor();
  QPalette pal = w->palette();
  pal.setColor(w->backgroundRole(), ToQColor(c));
  w->setPalette(pal);
}

void TControl::ParentColorChanged() {
  if (FParentColor) ApplyColor();
}

void TControl::FontChanged(TObject*) {
  if (!FCopyingParentFont) FParentFont = false;
  ApplyFont();
}

void TControl::SetParentFont(bool AParentFont) {
  FParentFont = AParentFont;
  if (FParentFont) ParentFontChanged();
}

void TControl::ParentFontChanged() {
  if (!FParentFont || !FParent) return;
  FCopyingParentFont = true;
  FFont->Assign(*FParent->GetFont());
  FCopyingParentFont = false;
}

void TControl::ApplyFont() {
  QWidget* w = FPriv->Widget;
  if (!w) return;
  w->setFont(ToQFont(*FFont));
  QPalette pal = w->palette();
  QColor text = ToQColor(FFont->GetColor());
  pal.setColor(QPalette::WindowText, text);
  pal.setColor(QPalette::Text, text);
  pal.setColor(QPalette::ButtonText, text);
  w->setPalette(pal);
}

void TControl::SetHint(const String& AHint) {
  FHint = AHint;
  if (FPriv->Widget) FPriv->Widget->setToolTip(FShowHint ? ToQ(FHint) : QString());
}

void TControl::SetShowHint(bool AShowHint) {
  FShowHint = AShowHint;
  SetHint(FHint);
}

void TControl::Invalidate() {
  if (FPriv->Widget) FPriv->Widget->update();
}

void TControl::Repaint() {
  if (FPriv->Widget) FPriv->Widget->repaint();
}

void TControl::Click() { OnClick(this); }

TForm* TControl::GetParentForm() const {
  const TControl* c = this;
  while (c->FParent) c = c->FParent;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::Loaded() { TComponent::Loaded(); }

String TControl::GetText() const { return String(); }
void TControl::SetText(const String&) {}

// ---- TWinControl -----------------------------------------------------------

TWinControl::TWinControl(TComponent* AOwner, std::unique_ptr<TControlPrivate> APriv)
    : TControl(AOwner, std::move(APriv)) {
  if (QWidget* w = Priv().Widget) w->setFocusPolicy(Qt::StrongFocus);
}

TWinControl::~TWinControl() {
  Destroying();
  if (TForm* f = GetParentForm()) f->ControlDestroyed(this);
  // Owned components first, while this widget still holds theirs; then the
  // children owned elsewhere, which go with their parent.
  DestroyComponents();
  while (!FControls.empty()) delete FControls.back();
}

void TWinControl::InsertControl(TControl* AControl) {
  if (auto* win = dynamic_cast<TWinControl*>(AControl); win && win->FTabOrder < 0) {
    int n = 0;
    for (TControl* c : FControls)
      if (dynamic_cast<TWinControl*>(c)) ++n;
    win->FTabOrder = n;
  }
  FControls.push_back(AControl);
  if (!GetComponentState().Contains(csLoading)) UpdateTabOrder();
}

void TWinControl::RemoveControl(TControl* AControl) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), AControl), FControls.end());
}

void TWinControl::SetTabOrder(int ATabOrder) {
  FTabOrder = ATabOrder;
  if (GetParent() && !GetComponentState().Contains(csLoading)) GetParent()->UpdateTabOrder();
}

void TWinControl::SetTabStop(bool ATabStop) {
  FTabStop = ATabStop;
  if (QWidget* w = Priv().Widget) w->setFocusPolicy(ATabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TWinControl::UpdateTabOrder() {
  std::vector<TWinControl*> chain;
  for (TControl* c : FControls)
    if (auto* win = dynamic_cast<TWinControl*>(c); win && win->Priv().Widget) chain.push_back(win);
  std::stable_sort(chain.begin(), chain.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->FTabOrder < b->FTabOrder; });
  for (size_t i = 1; i < chain.size(); ++i)
    QWidget::setTabOrder(chain[i - 1]->Priv().Widget, chain[i]->Priv().Widget);
}

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->GetParent())
    if (!c->GetVisible() || !c->GetEnabled()) return false;
  TForm* f = GetParentForm();
  return f && f->GetVisible();
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  if (QWidget* w = Priv().Widget) w->setFocus(Qt::OtherFocusReason);
}

bool TWinControl::Focused() const {
  QWidget* w = Priv().Widget;
  return w && w->hasFocus();
}

void TWinControl::KeyDown(Word& Key, TShiftState Shift) { OnKeyDown(this, Key, Shift); }

void TWinControl::DoEnter() { OnEnter(this); }

void TWinControl::DoExit() { OnExit(this); }

void TWinControl::Loaded() { TControl::Loaded(); }

void TWinControl::ApplyColor() {
  TControl::ApplyColor();
  for (TControl* c : FControls) c->ParentColorChanged();
}

void TWinControl::ApplyFont() {
  TControl::ApplyFont();
  for (TControl* c : FControls) c->ParentFontChanged();
}
