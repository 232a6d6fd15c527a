// TForm on a top-level QWidget.
#include "vcl/Forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QPixmap>
#include <QShowEvent>
#include <QTimer>
#include <algorithm>

#include "QtBridge.h"

using namespace vcl_detail;

namespace {

class TFormWidget : public QWidget {
 public:
  explicit TFormWidget(TForm* AForm) : FForm(AForm) {}

 protected:
  void closeEvent(QCloseEvent* Event) override {
    // The form decides; the window stays until the form hides or frees it.
    Event->ignore();
    if (!Quiet(FForm)) FForm->CloseRequested();
  }
  void showEvent(QShowEvent* Event) override {
    QWidget::showEvent(Event);
    if (!Event->spontaneous() && !Quiet(FForm)) RunHandler(FForm, [this] { FForm->OnShow(FForm); });
  }

 private:
  TForm* FForm;
};

std::unique_ptr<TControlPrivate> MakeFormPriv(TForm* Form) {
  EnsureQtApplication();
  auto* w = new TFormWidget(Form);
  w->setAttribute(Qt::WA_QuitOnClose, false);
  w->setAutoFillBackground(true);
  w->setFocusPolicy(Qt::NoFocus);
  return std::make_unique<TControlPrivate>(w);
}

constexpr int kFrameWidth = 2 * TForm::FrameBorder;
constexpr int kFrameHeight = 2 * TForm::FrameBorder + TForm::CaptionHeight;

}  // namespace

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner, MakeFormPriv(this)) {
  Priv().Widget->setFocusPolicy(Qt::NoFocus);
  SetColor(clBtnFace);
  TControl::SetVisible(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  Destroying();
  if (Application) Application->FormDestroyed(this);
}

String TForm::GetText() const { return FromQ(Priv().Widget->windowTitle()); }
void TForm::SetText(const String& AText) { Priv().Widget->setWindowTitle(ToQ(AText)); }

int TForm::GetLeft() const { return Priv().Widget->x(); }
int TForm::GetTop() const { return Priv().Widget->y(); }
int TForm::GetWidth() const { return Priv().Widget->width() + kFrameWidth; }
int TForm::GetHeight() const { return Priv().Widget->height() + kFrameHeight; }
void TForm::SetLeft(int ALeft) { Priv().Widget->move(ALeft, GetTop()); }
void TForm::SetTop(int ATop) { Priv().Widget->move(GetLeft(), ATop); }
void TForm::SetWidth(int AWidth) { Priv().Widget->resize(std::max(AWidth - kFrameWidth, 0), Priv().Widget->height()); }
void TForm::SetHeight(int AHeight) {
  Priv().Widget->resize(Priv().Widget->width(), std::max(AHeight - kFrameHeight, 0));
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  QWidget* w = Priv().Widget;
  w->move(ALeft, ATop);
  w->resize(std::max(AWidth - kFrameWidth, 0), std::max(AHeight - kFrameHeight, 0));
}

int TForm::GetClientWidth() const { return Priv().Widget->width(); }
int TForm::GetClientHeight() const { return Priv().Widget->height(); }
void TForm::SetClientWidth(int AClientWidth) { SetWidth(AClientWidth + kFrameWidth); }
void TForm::SetClientHeight(int AClientHeight) { SetHeight(AClientHeight + kFrameHeight); }

void TForm::SetParent(TWinControl* AParent) {
  if (AParent) throw EInvalidOperation("A form cannot have a parent");
}

void TForm::SetVisible(bool AVisible) {
  TControl::SetVisible(AVisible);
  QWidget* w = Priv().Widget;
  if (!AVisible) {
    w->hide();
    return;
  }
  // The first control of our Tab order takes the focus when the window
  // becomes active (Qt would pick the first one created).
  TWinControl* first = FPendingActive && FPendingActive->GetParentForm() == this ? FPendingActive : nullptr;
  FPendingActive = nullptr;
  w->show();
  if (!first && !FActiveControl) first = FindNextControl(nullptr, true, true);
  if (first && first->Priv().Widget) first->Priv().Widget->setFocus(Qt::TabFocusReason);
  w->raise();
  w->activateWindow();
}

void TForm::Show() { SetVisible(true); }

void TForm::SetActiveControl(TWinControl* AActiveControl) {
  if (!AActiveControl) {
    FPendingActive = nullptr;
    return;
  }
  if (AActiveControl->GetParentForm() != this) throw EInvalidOperation("The control is not on this form");
  if (GetVisible() && AActiveControl->CanFocus())
    AActiveControl->SetFocus();
  else
    FPendingActive = AActiveControl;
}

void TForm::Close() {
  TCloseAction action = caHide;
  OnClose(this, action);
  if (action == caNone) return;
  if (Application && Application->GetMainForm() == this) {
    Application->MainFormClosed();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      Priv().Widget->showMinimized();
      break;
    case caFree:
      Hide();
      Release();
      break;
    case caNone:
      break;
  }
}

void TForm::Release() {
  QPointer<QWidget> alive = Priv().Widget.data();
  QTimer::singleShot(0, qApp, [alive, this] {
    if (alive) delete this;
  });
}

void TForm::CloseRequested() {
  RunHandler(this, [this] { Close(); });
}

bool TForm::SetIconImage(const unsigned char* Data, std::size_t Size) {
  QPixmap pm;
  if (!Data || !pm.loadFromData(Data, static_cast<uint>(Size))) return false;
  Priv().Widget->setWindowIcon(QIcon(pm));
  return true;
}

void TForm::ApplyColor() {
  QWidget* w = Priv().Widget;
  QPalette pal = w->palette();
  pal.setColor(QPalette::Window, ToQColor(GetColor()));
  w->setPalette(pal);
  TWinControl::ApplyColor();
}

namespace {
void CollectTabOrder(const TWinControl* Parent, std::vector<TWinControl*>& Out) {
  std::vector<TWinControl*> kids;
  for (int i = 0; i < Parent->GetControlCount(); ++i)
    if (auto* w = dynamic_cast<TWinControl*>(Parent->GetControl(i))) kids.push_back(w);
  std::stable_sort(kids.begin(), kids.end(),
                   [](const TWinControl* a, const TWinControl* b) { return a->GetTabOrder() < b->GetTabOrder(); });
  for (TWinControl* k : kids) {
    Out.push_back(k);
    CollectTabOrder(k, Out);
  }
}
}  // namespace

TWinControl* TForm::FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop) const {
  std::vector<TWinControl*> order;
  CollectTabOrder(this, order);
  if (order.empty()) return nullptr;
  const int n = static_cast<int>(order.size());
  int start = -1;
  for (int i = 0; i < n; ++i)
    if (order[static_cast<size_t>(i)] == CurControl) start = i;
  if (start < 0) start = GoForward ? n - 1 : 0;
  for (int step = 1; step <= n; ++step) {
    int i = ((start + (GoForward ? step : -step)) % n + n) % n;
    TWinControl* c = order[static_cast<size_t>(i)];
    if (c->CanFocus() && (!CheckTabStop || c->GetTabStop())) return c;
  }
  return nullptr;
}

void TForm::SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop) {
  TWinControl* next = FindNextControl(CurControl, GoForward, CheckTabStop);
  if (next && next->Priv().Widget) next->Priv().Widget->setFocus(GoForward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

void TForm::ControlFocused(TWinControl* Control, bool) {
  if (Control == FActiveControl) return;
  TWinControl* old = FActiveControl;
  FActiveControl = Control;
  if (Quiet(this) || FInDescription) return;
  if (old && !Quiet(old)) RunHandler(old, [old] { old->DoExit(); });
  // An exit handler may have moved the focus on already.
  if (FActiveControl == Control && !Quiet(Control)) RunHandler(Control, [Control] { Control->DoEnter(); });
}

void TForm::ControlDestroyed(TWinControl* Control) {
  if (FActiveControl == Control) FActiveControl = nullptr;
  if (FPendingActive == Control) FPendingActive = nullptr;
}
