// The test panel's entry: one window, no arguments.
#include <cstdio>
#include <cstdlib>

#include <vcl/Forms.h>
#include <vcl/SysUtils.h>

#include "Main.h"
#include "icons/Icon.h"

namespace {

bool EnvSet(const char* Name) {
  const char* v = std::getenv(Name);
  return v && *v;
}

// Without a display the toolkit would abort with a plugin trace; say what to
// do instead.
bool DisplayAvailable() {
  return EnvSet("DISPLAY") || EnvSet("WAYLAND_DISPLAY") || EnvSet("QT_QPA_PLATFORM");
}

}  // namespace

int main() {
  if (!DisplayAvailable()) {
    std::fputs("Quodrix: no display found; run it under xvfb-run, or set QT_QPA_PLATFORM=offscreen\n",
               stderr);
    return 1;
  }
  try {
    Application->Initialize();
    Application->CreateForm(Form1);
    Form1->SetIconImage(QuodrixIconPng, QuodrixIconPngSize);
    Application->Run();
  } catch (const Exception& E) {
    Application->ShowException(&E);
  } catch (...) {
    const Exception E("");
    Application->ShowException(&E);
  }
  return 0;
}
