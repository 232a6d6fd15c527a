// What the layer's sources share about the toolkit: the private part of a
// control, the event filter that turns Qt events into ours, key and font
// conversion, and running handlers so that no exception enters Qt.
#pragma once

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "vcl/Controls.h"
#include "vcl/Forms.h"

class QKeyEvent;

/// The widget of a control. The control owns it (deleting it in its
/// destructor unless a parent widget already did).
struct TControlPrivate {
  explicit TControlPrivate(QWidget* AWidget) : Widget(AWidget) {}
  QPointer<QWidget> Widget;
  TControl* Control = nullptr;
  /// Buttons and combo boxes raise OnClick themselves.
  bool ClicksBySignal = false;
};

namespace vcl_detail {

/// Creates the QApplication on first need.
void EnsureQtApplication();

/// Runs Fn; an exception is shown by Application->HandleException(Sender).
template <class Fn>
void RunHandler(TObject* Sender, Fn&& F) {
  try {
    F();
  } catch (...) {
    Application->HandleException(Sender);
  }
}

/// Whether Component (or its form) is being destroyed: no events then.
bool Quiet(const TComponent* Component);

/// Links Widget to Control (for focus tracking) and installs the filter that
/// raises KeyDown and clicks.
void AttachControl(TControl* Control, QWidget* Widget);
/// The control a widget (or one of its non-window ancestors) belongs to.
TControl* ControlOfWidget(QWidget* Widget);

/// The class library's key code for a Qt key event (VK_UNKNOWN when none).
Word VirtualKey(const QKeyEvent* Event);
TShiftState ShiftOf(Qt::KeyboardModifiers Modifiers);

QFont ToQFont(const TFont& Font);
QColor ToQColor(TColor Color);

QString ToQ(const String& S);
String FromQ(const QString& S);

}  // namespace vcl_detail
