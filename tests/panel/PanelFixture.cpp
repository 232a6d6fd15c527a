#include "PanelFixture.h"

#include <QCloseEvent>
#include <QElapsedTimer>


const char* const SampleSettings =
    "[General]\r\n"
    "Left=398\r\n"
    "Top=415\r\n"
    "\r\n"
    "[Settings]\r\n"
    "Channel=0\r\n"
    "Step=7\r\n"
    "\r\n"
    "[Current]\r\n"
    "Hold=10\r\n"
    "Acc=40\r\n"
    "Power=25\r\n"
    "\r\n"
    "[Speed]\r\n"
    "Speed1=100\r\n"
    "\r\n"
    "[Position]\r\n"
    "Pos1=-500\r\n"
    "Pos2=-5000\r\n"
    "Pos3=-10000\r\n"
    "Pos4=-18000\r\n"
    "\r\n";

::testing::AssertionResult Same(const Calls& actual, const Calls& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "calls:\n"
                                       << fakeqdx::ToString(actual) << "expected:\n"
                                       << fakeqdx::ToString(expected);
}

void PanelTest::SetUp() {
  fakeqdx::Reset();
  fakeqdx::SetHook([this](const Call& c) {
    if (FInTick) {
      ticks.back().push_back(c);
    } else {
      calls.push_back(c);
    }
    if (onCall) onCall(c);
  });
  Application->SetExeName((dir.Path() / "Quodrix").string());
  SetMessageBoxHook([this](const TMessageBoxRequest& r) {
    boxes.push_back(r);
    return mrOk;
  });
}

void PanelTest::TearDown() {
  DestroyWindow();
  SetMessageBoxHook(nullptr);
  fakeqdx::SetHook(nullptr);
}

void PanelTest::CreateWindow() {
  form = NewForm<TForm1>(nullptr);
  // Each tick's calls are kept apart from the handlers' calls.
  TNotifyEvent poll = form->Timer1->OnTimer;
  form->Timer1->OnTimer = [this, poll](TObject* Sender) {
    ticks.emplace_back();
    FInTick = true;
    poll(Sender);
    FInTick = false;
  };
  ASSERT_TRUE(ShowAndActivate(form));
}

void PanelTest::DestroyWindow() {
  delete form;
  form = nullptr;
  Pump();
}

void PanelTest::CloseByExit() { Click(form->Button5); }

void PanelTest::CloseByTitleBar() {
  VclWidget(form)->close();
  Pump();
}

void PanelTest::WaitTicks(int Count) {
  const size_t target = ticks.size() + static_cast<size_t>(Count);
  QElapsedTimer t;
  t.start();
  // A generous bound that only catches a poll that never ticks.
  while (ticks.size() < target && t.elapsed() < 20000) QTest::qWait(20);
  ASSERT_GE(ticks.size(), target) << "the poll did not tick";
}
