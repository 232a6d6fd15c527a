// The one place that shows modal message boxes (or hands them to the hook).
#pragma once

#include "vcl/Dialogs.h"

namespace vcl_detail {

/// Shows Request modally; returns the mrXxx of the pressed button.
int ShowMessageBox(const TMessageBoxRequest& Request);

}  // namespace vcl_detail
