// Qt event translation, focus tracking, fonts and colours.
#include "QtBridge.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace vcl_detail {

namespace {

const char* const kControlProperty = "vclControl";

// Routes the focus changes of the whole application to the forms: a form
// learns which of its controls now has the focus and raises exit and enter
// itself. Window activation needs no filtering here, since the form only
// reacts when the focused control differs from its active control.
class TFocusTracker : public QObject {
 public:
  TFocusTracker() {
    connect(qApp, &QApplication::focusChanged, this, [](QWidget*, QWidget* now) {
      TControl* c = ControlOfWidget(now);
      auto* win = dynamic_cast<TWinControl*>(c);
      if (!win || dynamic_cast<TForm*>(win)) return;
      TForm* form = win->GetParentForm();
      if (form) form->ControlFocused(win, false);
    });
  }
};

class TControlFilter : public QObject {
 public:
  explicit TControlFilter(TControl* AControl, QObject* AParent) : QObject(AParent), FControl(AControl) {}

  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Quiet(FControl)) return false;
    switch (Event->type()) {
      case QEvent::KeyPress: {
        auto* win = dynamic_cast<TWinControl*>(FControl);
        if (!win || dynamic_cast<TForm*>(win)) return false;
        auto* ke = static_cast<QKeyEvent*>(Event);
        Word key = VirtualKey(ke);
        TShiftState shift = ShiftOf(ke->modifiers());
        RunHandler(win, [&] { win->KeyDown(key, shift); });
        if (key == 0) {
          Event->accept();
          return true;
        }
        // Tab walks our own Tab order, not the widget chain of Qt.
        const bool tab = ke->key() == Qt::Key_Tab || ke->key() == Qt::Key_Backtab;
        if (tab && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) && !Quiet(win)) {
          if (TForm* form = win->GetParentForm()) {
            bool back = ke->key() == Qt::Key_Backtab || (ke->modifiers() & Qt::ShiftModifier);
            form->SelectNext(win, !back, true);
            Event->accept();
            return true;
          }
        }
        return false;
      }
      case QEvent::MouseButtonRelease: {
        if (FControl->Priv().ClicksBySignal) return false;
        auto* me = static_cast<QMouseEvent*>(Event);
        auto* w = static_cast<QWidget*>(Watched);
        if (me->button() == Qt::LeftButton && w->rect().contains(me->position().toPoint()))
          RunHandler(FControl, [&] { FControl->Click(); });
        return false;
      }
      default:
        return false;
    }
  }

 private:
  TControl* FControl;
};

}  // namespace

void EnsureQtApplication() {
  if (!qApp) Application->Initialize();
  static TFocusTracker* tracker = nullptr;
  if (!tracker) tracker = new TFocusTracker();  // lives as long as the process
}

bool Quiet(const TComponent* Component) {
  for (const TComponent* c = Component; c; c = c->GetOwner())
    if (c->GetComponentState().Contains(csDestroying)) return true;
  return false;
}

void AttachControl(TControl* Control, QWidget* Widget) {
  Widget->setProperty(kControlProperty, QVariant::fromValue(static_cast<void*>(Control)));
  Widget->installEventFilter(new TControlFilter(Control, Widget));
}

TControl* ControlOfWidget(QWidget* Widget) {
  for (QWidget* w = Widget; w; w = w->parentWidget()) {
    QVariant v = w->property(kControlProperty);
    if (v.isValid()) return static_cast<TControl*>(v.value<void*>());
    if (w->isWindow()) break;
  }
  return nullptr;
}

Word VirtualKey(const QKeyEvent* Event) {
  const int k = Event->key();
  const bool keypad = Event->modifiers() & Qt::KeypadModifier;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return static_cast<Word>(k);
  if (k >= Qt::Key_0 && k <= Qt::Key_9)
    return static_cast<Word>(keypad ? VK_NUMPAD0 + (k - Qt::Key_0) : k);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return static_cast<Word>(VK_F1 + (k - Qt::Key_F1));
  switch (k) {
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Return:
    case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_Asterisk: return keypad ? VK_MULTIPLY : VK_UNKNOWN;
    case Qt::Key_Plus: return keypad ? VK_ADD : VK_OEM_PLUS;
    case Qt::Key_Minus: return keypad ? VK_SUBTRACT : VK_OEM_MINUS;
    case Qt::Key_Period: return keypad ? VK_DECIMAL : VK_OEM_PERIOD;
    case Qt::Key_Comma: return VK_OEM_COMMA;
    case Qt::Key_Slash: return keypad ? VK_DIVIDE : VK_UNKNOWN;
    case Qt::Key_Equal: return VK_OEM_PLUS;
    default: return VK_UNKNOWN;
  }
}

TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers) {
  TShiftState s;
  if (Modifiers & Qt::ShiftModifier) s << ssShift;
  if (Modifiers & Qt::ControlModifier) s << ssCtrl;
  if (Modifiers & Qt::AltModifier) s << ssAlt;
  return s;
}

QFont ToQFont(const TFont& Font) {
  QFont f;
  const String name = Font.GetName();
  if (SameText(name, "MS Sans Serif") || SameText(name, "Microsoft Sans Serif") || SameText(name, "Tahoma") ||
      SameText(name, "Arial") || SameText(name, "Sans Serif") || SameText(name, "MS Shell Dlg") ||
      SameText(name, "MS Shell Dlg 2") || SameText(name, "Segoe UI")) {
    f.setFamily(QStringLiteral("Sans Serif"));
    f.setStyleHint(QFont::SansSerif);
  } else if (SameText(name, "Courier New") || SameText(name, "Courier")) {
    f.setFamily(QStringLiteral("Monospace"));
    f.setStyleHint(QFont::Monospace);
  } else if (SameText(name, "Times New Roman")) {
    f.setFamily(QStringLiteral("Serif"));
    f.setStyleHint(QFont::Serif);
  } else {
    f.setFamily(ToQ(name));
  }
  int h = Font.GetHeight();
  // A positive height is the cell, internal leading included (about 2/13).
  int px = h < 0 ? -h : (h * 11 + 6) / 13;
  f.setPixelSize(px > 0 ? px : 1);
  TFontStyles st = Font.GetStyle();
  f.setBold(st.Contains(fsBold));
  f.setItalic(st.Contains(fsItalic));
  f.setUnderline(st.Contains(fsUnderline));
  f.setStrikeOut(st.Contains(fsStrikeOut));
  return f;
}

QColor ToQColor(TColor Color) {
  std::uint32_t rgb = ColorToRGB(Color);
  return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                static_cast<int>(rgb & 0xFF));
}

QString ToQ(const String& S) { return QString::fromUtf8(S.data(), static_cast<qsizetype>(S.size())); }

String FromQ(const QString& S) { return S.toStdString(); }

}  // namespace vcl_detail

QWidget* VclWidget(const TControl* Control) { return Control ? Control->Priv().Widget.data() : nullptr; }
