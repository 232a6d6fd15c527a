// The bevel and the timer.
#include "vcl/ExtCtrls.h"

#include <QPainter>
#include <QTimer>

#include "QtBridge.h"

using namespace vcl_detail;

namespace {

// Draws the classic 3-D lines: shadow above and left, highlight below and
// right for a lowered bevel, swapped for a raised one.
class TBevelWidget : public QWidget {
 public:
  explicit TBevelWidget(TBevel* ABevel) : FBevel(ABevel) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    QColor c1 = ToQColor(clBtnShadow), c2 = ToQColor(clBtnHighlight);
    if (FBevel->GetStyle() == bsRaised) std::swap(c1, c2);
    const int w = width(), h = height();
    auto hline = [&](int y, const QColor& c) { p.fillRect(0, y, w, 1, c); };
    auto vline = [&](int x, const QColor& c) { p.fillRect(x, 0, 1, h, c); };
    switch (FBevel->GetShape()) {
      case bsBox:
        hline(0, c1);
        vline(0, c1);
        hline(h - 1, c2);
        vline(w - 1, c2);
        break;
      case bsFrame:
        p.setPen(c1);
        p.drawRect(0, 0, w - 2, h - 2);
        p.setPen(c2);
        p.drawRect(1, 1, w - 2, h - 2);
        break;
      case bsTopLine:
        hline(0, c1);
        hline(1, c2);
        break;
      case bsBottomLine:
        hline(h - 2, c1);
        hline(h - 1, c2);
        break;
      case bsLeftLine:
        vline(0, c1);
        vline(1, c2);
        break;
      case bsRightLine:
        vline(w - 2, c1);
        vline(w - 1, c2);
        break;
      case bsSpacer:
        break;
    }
  }

 private:
  TBevel* FBevel;
};

std::unique_ptr<TControlPrivate> MakeBevelPriv(TBevel* Bevel) {
  EnsureQtApplication();
  return std::make_unique<TControlPrivate>(new TBevelWidget(Bevel));
}

}  // namespace

TBevel::TBevel(TComponent* AOwner) : TControl(AOwner, MakeBevelPriv(this)) { SetBounds(0, 0, 50, 50); }

TBevel::~TBevel() = default;

void TBevel::SetShape(TBevelShape AShape) {
  FShape = AShape;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle AStyle) {
  FStyle = AStyle;
  Invalidate();
}

// ---- TTimer ----------------------------------------------------------------

struct TTimer::TTimerPrivate {
  QTimer Timer;
};

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  EnsureQtApplication();
  FPriv = std::make_unique<TTimerPrivate>();
  QObject::connect(&FPriv->Timer, &QTimer::timeout, &FPriv->Timer, [this] {
    if (!Quiet(this)) RunHandler(this, [this] { OnTimer(this); });
  });
  UpdateTimer();
}

TTimer::~TTimer() { FPriv->Timer.stop(); }

void TTimer::SetEnabled(bool AEnabled) {
  FEnabled = AEnabled;
  UpdateTimer();
}

void TTimer::SetInterval(Cardinal AInterval) {
  FInterval = AInterval;
  UpdateTimer();
}

void TTimer::Loaded() {
  TComponent::Loaded();
  UpdateTimer();
}

void TTimer::UpdateTimer() {
  FPriv->Timer.stop();
  if (FEnabled && FInterval > 0) FPriv->Timer.start(static_cast<int>(FInterval > 0x7FFFFFFF ? 0x7FFFFFFF : FInterval));
}
