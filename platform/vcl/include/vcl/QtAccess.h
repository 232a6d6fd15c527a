// For tests only: the toolkit widget behind a control, to drive it with real
// key, mouse and focus events. Includes Qt; not part of vcl/vcl.h, and never
// for the program's own handlers.
#pragma once

#include "vcl/Controls.h"

class QWidget;

/// The widget of Control (for a form, its top-level window). Owned by the
/// control; valid until the control is destroyed.
QWidget* VclWidget(const TControl* Control);
