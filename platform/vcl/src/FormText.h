// The parser of form descriptions (the Delphi form-file text format).
#pragma once

#include <utility>
#include <vector>

#include "vcl/Published.h"

namespace vcl_detail {

/// One "object Name: TClass ... end" block.
struct TFormObject {
  String Name;
  String ClassName;
  int Line = 0;
  std::vector<std::pair<String, TPropValue>> Properties;  ///< in the order given
  std::vector<TFormObject> Children;
};

/// Parses Text. Throws EReadError "Source(line): what" on malformed text.
/// Nesting deeper than 64 objects or lists is refused.
TFormObject ParseFormText(const String& Text, const String& Source);

/// The class of Text's top-level object, or "" when it has none that parses.
String FormTextClassName(const String& Text);

}  // namespace vcl_detail
