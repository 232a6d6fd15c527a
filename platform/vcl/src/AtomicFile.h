// Reading a whole file, and replacing one so that it is never left half
// written.
#pragma once

#include "vcl/SysUtils.h"

namespace vcl_detail {

/// Reads FileName into Text. False when it does not exist (also when a
/// folder on the way is missing); throws EFOpenError "Cannot open file
/// <full path>" when it exists but cannot be read.
bool ReadWholeFile(const String& FileName, String& Text);

/// Replaces FileName's content with Text through a temporary file in the
/// same folder, flushed and renamed over the old file. Throws EFCreateError
/// "Cannot create file <full path>" on any failure (also for a file without
/// write permission bits, even for root), after removing the temporary file.
void ReplaceFile(const String& FileName, const String& Text);

}  // namespace vcl_detail
