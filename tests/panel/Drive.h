// Driving the window as a user does, on the offscreen platform: clicks, keys
// and focus changes through the widgets behind the controls; and a private
// folder per test for the settings file.
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <filesystem>
#include <string>

#include <vcl/Forms.h>
#include <vcl/QtAccess.h>
#include <vcl/StdCtrls.h>

#include "Floatedit.h"

// A folder of its own under the system's temporary folder, removed at the end.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::filesystem::path& Path() const { return FPath; }

 private:
  std::filesystem::path FPath;
};

std::string ReadFile(const std::filesystem::path& Path);
void WriteFile(const std::filesystem::path& Path, const std::string& Text);

// Lets the event loop deliver what is pending.
void Pump();
// Shows the form and makes it the active window; false if it never became active.
bool ShowAndActivate(TForm* Form);
void Click(TControl* c);
// Clicks into the box and replaces its text by typing Text (no commit).
void TypeInto(TFloatEdit* e, const std::string& Text);
void PressEnter(TControl* c);
void PressTab(TControl* c);
// Picks item Index of the list with the keyboard, as a user does; false if
// the list did not get there.
bool Choose(TComboBox* c, int Index);
