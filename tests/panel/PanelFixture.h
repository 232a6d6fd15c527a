// The panel's window on the offscreen platform, against the recording
// stand-in of the link library, with its settings file in a folder of its
// own for each test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <vcl/Dialogs.h>
#include <vcl/Forms.h>
#include <vcl/QtAccess.h>

#include "Drive.h"
#include "FakeQdxlink.h"
#include "Main.h"

using fakeqdx::Call;
using Calls = std::vector<Call>;

// The file the first save writes when none existed and nothing was changed.
extern const char* const SampleSettings;

// Whether the library calls are exactly those expected; prints both if not.
::testing::AssertionResult Same(const Calls& actual, const Calls& expected);

class PanelTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Creates the window from its description (FormCreate reads the settings
  // file), shows and activates it. Calls during creation go to `calls`.
  void CreateWindow();
  // Destroys the window without closing it (no FormClose).
  void DestroyWindow();

  std::filesystem::path IniPath() const { return dir.Path() / "Quodrix.ini"; }

  QWidget* W(const TControl* c) const { return VclWidget(c); }
  // Picks item Index of the list with the keyboard; fails the test if it cannot.
  void Choose(TComboBox* c, int Index) { ASSERT_TRUE(::Choose(c, Index)) << c->Name.Get(); }
  // "Exit", and the title-bar close box.
  void CloseByExit();
  void CloseByTitleBar();
  // Waits (through the event loop) until the poll has ticked Count more times.
  void WaitTicks(int Count);

  TempDir dir;
  TForm1* form = nullptr;
  // Library calls made outside the poll, and those made by each poll tick.
  Calls calls;
  std::vector<Calls> ticks;
  std::vector<TMessageBoxRequest> boxes;
  // Called after each library call is recorded.
  std::function<void(const Call&)> onCall;

 private:
  bool FInTick = false;
};
