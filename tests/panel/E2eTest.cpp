// End to end: the real window, the real link library and D2XX layer, and a
// simulated controller (qdxsim, a child process) on a pseudo-terminal. The
// window is driven in-process on the offscreen platform.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QElapsedTimer>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <vcl/Dialogs.h>

#include "Drive.h"
#include "Main.h"

namespace {

// A simulated controller for the length of one test.
class Simulator {
 public:
  explicit Simulator(const std::vector<std::string>& Args) {
    int out[2];
    if (pipe(out) != 0) return;
    FPid = fork();
    if (FPid == 0) {
      dup2(out[1], STDOUT_FILENO);
      close(out[0]);
      close(out[1]);
      std::vector<char*> argv;
      argv.push_back(const_cast<char*>(QDXSIM_PATH));
      for (const std::string& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(QDXSIM_PATH, argv.data());
      _exit(127);
    }
    close(out[1]);
    // The first line is the device entry, PATH=SERIAL.
    FILE* f = fdopen(out[0], "r");
    char line[512] = {};
    if (f && std::fgets(line, sizeof line, f)) {
      FEntry = line;
      while (!FEntry.empty() && (FEntry.back() == '\n' || FEntry.back() == '\r')) FEntry.pop_back();
    }
    if (f) std::fclose(f);
  }
  ~Simulator() {
    if (FPid > 0) {
      kill(FPid, SIGTERM);
      int status = 0;
      waitpid(FPid, &status, 0);
    }
  }
  const std::string& Entry() const { return FEntry; }

 private:
  pid_t FPid = -1;
  std::string FEntry;
};

class EndToEnd : public ::testing::Test {
 protected:
  void Start(const std::vector<std::string>& SimArgs) {
    sim = std::make_unique<Simulator>(SimArgs);
    ASSERT_FALSE(sim->Entry().empty()) << "qdxsim gave no device entry";
    setenv("FTD2XX_DEVICES", sim->Entry().c_str(), 1);
    Application->SetExeName((dir.Path() / "Quodrix").string());
    SetMessageBoxHook([this](const TMessageBoxRequest& r) {
      boxes.push_back(r.Text);
      return mrOk;
    });
    CreateWindow();
  }
  void CreateWindow() {
    form = NewForm<TForm1>(nullptr);
    TNotifyEvent poll = form->Timer1->OnTimer;
    form->Timer1->OnTimer = [this, poll](TObject* Sender) {
      poll(Sender);
      shown.push_back(form->feAbsPos->Value);
    };
    ASSERT_TRUE(ShowAndActivate(form));
  }
  void DestroyWindow() {
    delete form;
    form = nullptr;
    Pump();
  }
  void TearDown() override {
    if (form) {
      // Leaves the controller as the program's close would.
      form->Close();
      Pump();
    }
    DestroyWindow();
    SetMessageBoxHook(nullptr);
    sim.reset();
  }

  void Open() {
    Click(form->Button1);
    ASSERT_EQ(form->Edit1->Text.Get(), "Quodrix connected.");
  }
  // Waits through the event loop for Count more poll ticks.
  void WaitTicks(size_t Count) {
    const size_t target = shown.size() + Count;
    QElapsedTimer t;
    t.start();
    while (shown.size() < target && t.elapsed() < 30000) QTest::qWait(20);
    ASSERT_GE(shown.size(), target) << "the poll did not tick";
  }
  // Waits until the shown position equals Target for a few ticks in a row.
  bool WaitForSteadyPosition(double Target, int Seconds) {
    QElapsedTimer t;
    t.start();
    int same = 0;
    while (t.elapsed() < Seconds * 1000) {
      const size_t before = shown.size();
      QTest::qWait(50);
      if (shown.size() == before) continue;
      same = (shown.back() == Target) ? same + 1 : 0;
      if (same >= 3) return true;
    }
    return false;
  }
  // Waits until the shown position stops changing; returns it.
  double WaitUntilStill(int Seconds) {
    QElapsedTimer t;
    t.start();
    int same = 0;
    double last = form->feAbsPos->Value;
    while (t.elapsed() < Seconds * 1000 && same < 5) {
      const size_t before = shown.size();
      QTest::qWait(50);
      if (shown.size() == before) continue;
      same = (shown.back() == last) ? same + 1 : 0;
      last = shown.back();
    }
    EXPECT_GE(same, 5) << "the position never settled";
    return last;
  }

  TempDir dir;
  std::unique_ptr<Simulator> sim;
  TForm1* form = nullptr;
  std::vector<double> shown;  // feAbsPos after each poll tick
  std::vector<std::string> boxes;
};

TEST_F(EndToEnd, OpenConnectsAndGetSnShowsTheSerialNumber) {
  Start({"--serial", "QDXE2E42"});
  Open();
  Click(form->Button6);
  EXPECT_EQ(form->Edit2->Text.Get(), "QDXE2E42");
  Click(form->Button2);
  EXPECT_EQ(form->Edit1->Text.Get(), "");
  EXPECT_EQ(form->Edit2->Text.Get(), "");
}

TEST_F(EndToEnd, OpenWithoutControllerShowsError) {
  Start({});
  setenv("FTD2XX_DEVICES", "", 1);
  Click(form->Button1);
  EXPECT_EQ(form->Edit1->Text.Get(), "Error.");
}

TEST_F(EndToEnd, GetVccShowsTheSimulatedSupply) {
  Start({"--vcc", "12"});
  Open();
  Click(form->btGetVcc);
  // 12 V reads as round(12 x 31 / 29.64) = 13, which is 12.43 V.
  EXPECT_EQ(form->feVcc->Text.Get(), "12.4");
}

TEST_F(EndToEnd, RunGrowsThePositionTickByTickAndSoftStopStopsIt) {
  Start({});
  Open();
  TypeInto(form->feSpeed, "1000");
  PressEnter(form->feSpeed);
  Click(form->btRunF);
  WaitTicks(3);
  const size_t from = shown.size();
  WaitTicks(5);
  for (size_t i = from + 1; i < shown.size(); ++i)
    EXPECT_GT(shown[i], shown[i - 1]) << "tick " << i;
  Click(form->btSoftStop);
  const double stopped = WaitUntilStill(10);
  EXPECT_GT(stopped, shown[from]);
  WaitTicks(3);
  EXPECT_EQ(shown.back(), stopped);
}

TEST_F(EndToEnd, RunReverseMovesDownAndHardStopHoldsIt) {
  Start({});
  Open();
  TypeInto(form->feSpeed, "800");
  PressEnter(form->feSpeed);
  Click(form->btRunR);
  WaitTicks(4);
  const size_t from = shown.size();
  WaitTicks(4);
  EXPECT_LT(shown.back(), shown[from]);
  Click(form->btHardStop);
  const double still = WaitUntilStill(5);
  EXPECT_LT(still, 0.0);
}

TEST_F(EndToEnd, GoToEndsAtItsTarget) {
  Start({});
  Open();
  TypeInto(form->feSpeed, "1000");
  PressEnter(form->feSpeed);
  TypeInto(form->fePos2, "-750");
  PressEnter(form->fePos2);
  Click(form->btGoTo2);
  EXPECT_TRUE(WaitForSteadyPosition(-750, 20)) << "last shown " << form->feAbsPos->Value.Get();
}

TEST_F(EndToEnd, BaseHomesToTheSwitch) {
  Start({"--switch", "120"});
  Open();
  Click(form->btBase);
  // Forward at 50 steps/s until the switch closes; the position is then reset.
  QElapsedTimer t;
  t.start();
  bool moved = false;
  while (!moved && t.elapsed() < 10000) {
    WaitTicks(1);
    moved = shown.back() > 0;
  }
  EXPECT_TRUE(moved) << "never left the start";
  EXPECT_TRUE(WaitForSteadyPosition(0, 20)) << "last shown " << form->feAbsPos->Value.Get();
}

TEST_F(EndToEnd, SettingsSurviveARestart) {
  Start({});
  Open();
  Choose(form->cbChan, 1);
  Choose(form->cbStepMode, 4);
  TypeInto(form->feSpeed, "321.5");
  PressEnter(form->feSpeed);
  TypeInto(form->fePos3, "-4321");
  PressTab(form->fePos3);
  Click(form->Button5);  // "Exit": saves, stops all channels, closes the device
  EXPECT_TRUE(boxes.empty());
  DestroyWindow();

  CreateWindow();
  EXPECT_EQ(form->cbChan->Text.Get(), "CHAN 2");
  EXPECT_EQ(form->cbStepMode->Text.Get(), "1/16");
  EXPECT_EQ(form->feSpeed->Value.Get(), 321.5);
  EXPECT_EQ(form->fePos3->Value.Get(), -4321.0);
  // The device opens again after the close.
  Open();
}

}  // namespace
