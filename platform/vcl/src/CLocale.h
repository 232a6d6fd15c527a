// The "C" locale for number text, independent of the process locale (Qt
// sets LC_ALL from the environment, which would turn printf's point into a
// comma).
#pragma once

#include <clocale>
#include <locale.h>

namespace vcl_detail {

/// The shared "C" locale object (created once, never freed).
locale_t CLocale();

/// Makes the calling thread use the "C" locale while it lives.
class TCLocaleScope {
 public:
  TCLocaleScope() : FOld(uselocale(CLocale())) {}
  ~TCLocaleScope() { uselocale(FOld); }
  TCLocaleScope(const TCLocaleScope&) = delete;
  TCLocaleScope& operator=(const TCLocaleScope&) = delete;

 private:
  locale_t FOld;
};

}  // namespace vcl_detail
