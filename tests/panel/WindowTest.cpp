// The window's handlers, driven by clicks, keys and focus changes, with the
// exact library calls each makes.
#include <algorithm>
#include <cmath>
#include <optional>

#include "PanelFixture.h"

namespace {

using fakeqdx::Get;
using fakeqdx::Named;
using fakeqdx::Set;

// Run speed words and maximum-speed words of the speeds used below.
constexpr int Run100 = 6711;    // 100 steps/s
constexpr int Run200 = 13422;
constexpr int Run300 = 20133;
constexpr int Max100 = 7;

class WindowTest : public PanelTest {
 protected:
  void SetUp() override {
    PanelTest::SetUp();
    CreateWindow();
    calls.clear();
  }

  void Open() {
    fakeqdx::SetOpenResult(true);
    Click(form->Button1);
    ASSERT_EQ(form->Edit1->Text.Get(), "Quodrix connected.");
  }

  // What a commit of feSpeed sends: tells the recorded run state.
  Calls SpeedProbe() {
    Click(form->feSpeed);
    calls.clear();
    PressEnter(form->feSpeed);
    Calls sent = calls;
    calls.clear();
    return sent;
  }
};

Calls InitSequence(int hold, int run, int acc) {
  return {Named("OpenDevice"),   Set(7, 8, 0x16, 7),   Set(7, 10, 0x15, 983),
          Set(7, 10, 0x07, 983), Set(7, 12, 0x05, 69), Set(7, 12, 0x06, 69),
          Set(7, 16, 0x18, 0x1E00), Set(7, 8, 0x09, hold), Set(7, 8, 0x0A, run),
          Set(7, 8, 0x0B, acc),  Set(7, 8, 0x0C, acc), Get(1, 16, 0xD0, 0),
          Get(2, 16, 0xD0, 0),   Get(4, 16, 0xD0, 0),  Set(7, 0, 0xB8, 0)};
}

// ---- connection -----------------------------------------------------------

TEST_F(WindowTest, OpenSendsTheInitialisationToAllChannels) {
  fakeqdx::SetOpenResult(true);
  Click(form->Button1);
  EXPECT_TRUE(Same(calls, InitSequence(26, 64, 102)));
  EXPECT_EQ(form->Edit1->Text.Get(), "Quodrix connected.");
}

TEST_F(WindowTest, OpenReadsThePowerEditsAndIgnoresTheSelection) {
  form->feHold->Value = 20;   // 51.2 + 0.5 -> 51
  form->fePower->Value = 30;  // 76.8 + 0.5 -> 77
  form->feAcc->Value = 60;    // 153.6 + 0.5 -> 154
  Choose(form->cbChan, 1);
  Choose(form->cbStepMode, 2);
  calls.clear();
  fakeqdx::SetOpenResult(true);
  Click(form->Button1);
  EXPECT_TRUE(Same(calls, InitSequence(51, 77, 154)));
}

TEST_F(WindowTest, FailedOpenShowsErrorAndSendsNothing) {
  Click(form->Button1);
  EXPECT_TRUE(Same(calls, {Named("OpenDevice")}));
  EXPECT_EQ(form->Edit1->Text.Get(), "Error.");
}

TEST_F(WindowTest, FailedReopenDisconnectsAndThePollGoesIdle) {
  Open();
  WaitTicks(1);
  fakeqdx::SetOpenResult(false);
  calls.clear();
  Click(form->Button1);
  EXPECT_TRUE(Same(calls, {Named("OpenDevice")}));
  EXPECT_EQ(form->Edit1->Text.Get(), "Error.");
  const size_t before = ticks.size();
  WaitTicks(3);
  for (size_t i = before; i < ticks.size(); ++i) EXPECT_TRUE(ticks[i].empty()) << "tick " << i;
}

TEST_F(WindowTest, ReopenRepeatsTheInitialisationAndKeepsTheRunState) {
  Open();
  Click(form->btRunF);
  calls.clear();
  Click(form->Button1);
  EXPECT_TRUE(Same(calls, InitSequence(26, 64, 102)));
  EXPECT_TRUE(Same(SpeedProbe(), {Set(1, 20, 0x51, Run100)}));
}

TEST_F(WindowTest, OpenLeavesSerialPositionAndSupplyAlone) {
  form->Edit2->Text = "keep";
  form->feVcc->Value = 12;
  form->feAbsPos->Value = 34;
  Open();
  EXPECT_EQ(form->Edit2->Text.Get(), "keep");
  EXPECT_EQ(form->feVcc->Value, 12.0);
}

TEST_F(WindowTest, GetSnStopsAllChannelsFirstThenCopiesTheText) {
  Choose(form->cbChan, 1);  // the stop goes to all three whatever is selected
  fakeqdx::SetSerial("QDX00042");
  calls.clear();
  Click(form->Button6);
  EXPECT_TRUE(Same(calls, {Set(7, 0, 0xA8, 0), Named("GetSN")}));
  EXPECT_EQ(form->Edit2->Text.Get(), "QDX00042");
  // The library reuses its buffer; the window keeps its own copy.
  fakeqdx::ScribbleSerialBuffer("XXXXXXXX");
  EXPECT_EQ(form->Edit2->Text.Get(), "QDX00042");
}

TEST_F(WindowTest, FailedSerialReadShowsEmptyText) {
  form->Edit2->Text = "old";
  Click(form->Button6);
  EXPECT_EQ(form->Edit2->Text.Get(), "");
}

TEST_F(WindowTest, CloseDeviceClosesAndEmptiesBothTexts) {
  Open();
  fakeqdx::SetSerial("QDX1");
  Click(form->Button6);
  form->feAbsPos->Value = 77;
  form->feVcc->Value = 24;
  calls.clear();
  Click(form->Button2);
  EXPECT_TRUE(Same(calls, {Named("CloseDevice")}));
  EXPECT_EQ(form->Edit1->Text.Get(), "");
  EXPECT_EQ(form->Edit2->Text.Get(), "");
  EXPECT_EQ(form->feAbsPos->Value, 77.0);
  EXPECT_EQ(form->feVcc->Value, 24.0);
  // The poll is idle from here on.
  const size_t before = ticks.size();
  WaitTicks(2);
  for (size_t i = before; i < ticks.size(); ++i) EXPECT_TRUE(ticks[i].empty());
}

TEST_F(WindowTest, CloseDeviceWhileDisconnectedStillCloses) {
  form->Edit1->Text = "x";
  Click(form->Button2);
  EXPECT_TRUE(Same(calls, {Named("CloseDevice")}));
  EXPECT_EQ(form->Edit1->Text.Get(), "");
}

TEST_F(WindowTest, GetVccShowsTheSupplyOfTheSelectedChannel) {
  fakeqdx::SetGetValue(1, 0x32, 16);
  fakeqdx::SetGetValue(2, 0x32, 31);
  Click(form->btGetVcc);  // not connected: the reading is asked for all the same
  EXPECT_TRUE(Same(calls, {Get(1, 5, 0x32, 16)}));
  EXPECT_EQ(form->feVcc->Value, static_cast<double>(static_cast<float>(16 * 29.64 / 31)));
  EXPECT_EQ(form->feVcc->Text.Get(), "15.3");

  Choose(form->cbChan, 1);
  calls.clear();
  Click(form->btGetVcc);
  EXPECT_TRUE(Same(calls, {Get(2, 5, 0x32, 31)}));
  EXPECT_EQ(form->feVcc->Text.Get(), "29.6");

  Choose(form->cbChan, 3);  // ALL: the library reads channel 1
  calls.clear();
  Click(form->btGetVcc);
  EXPECT_TRUE(Same(calls, {Get(7, 5, 0x32, 16)}));
  EXPECT_EQ(form->feVcc->Text.Get(), "15.3");
}

TEST_F(WindowTest, GetVccWithoutDeviceShowsZero) {
  form->feVcc->Value = 5;
  Click(form->btGetVcc);
  EXPECT_EQ(form->feVcc->Text.Get(), "0.0");
}

// ---- the position poll -------------------------------------------------------

TEST_F(WindowTest, PollMakesNoCallWhileDisconnected) {
  form->feAbsPos->Value = 5;
  WaitTicks(3);
  for (const Calls& t : ticks) EXPECT_TRUE(t.empty());
  EXPECT_EQ(form->feAbsPos->Value, 5.0);
}

TEST_F(WindowTest, PollReadsTheSelectedChannelOncePerTick) {
  fakeqdx::SetGetValue(1, 0x21, 0x3FFFFF);  // -1
  fakeqdx::SetGetValue(2, 0x21, 0x200000);  // -2097152
  fakeqdx::SetGetValue(4, 0x21, 0x1FFFFF);  // 2097151
  Open();
  struct Step {
    int item;
    int mask;
    int raw;
    const char* shown;
  };
  const Step steps[] = {{0, 1, 0x3FFFFF, "-1"},
                        {1, 2, 0x200000, "-2097152"},
                        {2, 4, 0x1FFFFF, "2097151"},
                        {3, 7, 0x3FFFFF, "-1"}};  // ALL shows channel 1
  for (const Step& s : steps) {
    Choose(form->cbChan, s.item);
    const size_t from = ticks.size();
    WaitTicks(2);
    for (size_t i = from; i < ticks.size(); ++i)
      EXPECT_TRUE(Same(ticks[i], {Get(s.mask, 22, 0x21, s.raw)})) << "item " << s.item;
    EXPECT_EQ(form->feAbsPos->Text.Get(), s.shown);
  }
}

TEST_F(WindowTest, PollRewritesThePositionOnlyWhenItChanges) {
  fakeqdx::SetGetValue(1, 0x21, 100);
  Open();
  WaitTicks(1);
  int changes = 0;
  form->feAbsPos->OnChanged = [&](TObject*) { ++changes; };
  WaitTicks(3);
  EXPECT_EQ(changes, 0);
  fakeqdx::SetGetValue(1, 0x21, 101);
  WaitTicks(2);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(form->feAbsPos->Text.Get(), "101");
}

// ---- channel selection -----------------------------------------------------------

TEST_F(WindowTest, ChannelListSetsTheMaskAndSendsNothing) {
  const int masks[] = {1, 2, 4, 7};
  for (int item : {3, 1, 2, 0}) {
    Choose(form->cbChan, item);
    EXPECT_TRUE(calls.empty());
    Click(form->btHardStop);
    EXPECT_TRUE(Same(calls, {Set(masks[item], 0, 0xB8, 0)})) << "item " << item;
    calls.clear();
  }
}

TEST_F(WindowTest, StepModeListOnlyRereadsTheChannelList) {
  form->cbChan->ItemIndex = 2;  // from code: no OnChange, the mask stays 1
  Click(form->btSoftStop);
  EXPECT_TRUE(Same(calls, {Set(1, 0, 0xB0, 0)}));
  calls.clear();
  Choose(form->cbStepMode, 3);
  EXPECT_TRUE(calls.empty());
  Click(form->btSoftStop);
  EXPECT_TRUE(Same(calls, {Set(4, 0, 0xB0, 0)}));
}

// ---- motion and power -------------------------------------------------------------

struct MotionCase {
  const char* name;
  int channelItem;          // cbChan item the user picks first (-1: none)
  int stepItem;             // cbStepMode item the user picks first (-1: keep "1/128")
  std::optional<double> speed, pos1, pos2, pos3, pos4;
  int status;               // what a status-register read delivers (channel 1)
  std::vector<TButton* TForm1::*> clicks;
  Calls expect;
  int runState;             // 0, 1 or 2, seen through a speed commit afterwards
};

class MotionTest : public WindowTest, public ::testing::WithParamInterface<MotionCase> {};

TEST_P(MotionTest, SendsItsCommandsAndRecordsTheRunState) {
  const MotionCase& c = GetParam();
  if (c.channelItem >= 0) Choose(form->cbChan, c.channelItem);
  if (c.stepItem >= 0) Choose(form->cbStepMode, c.stepItem);
  if (c.speed) form->feSpeed->Value = *c.speed;
  if (c.pos1) form->fePos1->Value = *c.pos1;
  if (c.pos2) form->fePos2->Value = *c.pos2;
  if (c.pos3) form->fePos3->Value = *c.pos3;
  if (c.pos4) form->fePos4->Value = *c.pos4;
  fakeqdx::SetGetValue(1, 0x39, c.status);
  fakeqdx::SetGetValue(2, 0x39, c.status ^ 4);  // channel 2 says the opposite
  calls.clear();
  for (TButton* TForm1::*b : c.clicks) Click(form->*b);
  EXPECT_TRUE(Same(calls, c.expect));
  calls.clear();

  const int mask = c.channelItem < 0 ? 1 : (c.channelItem == 3 ? 7 : 1 << c.channelItem);
  const int word = std::min(
      1048575, static_cast<int>(static_cast<long double>(form->feSpeed->Value) * 67.108864L + 0.5L));
  Calls probe;
  if (c.runState == 1) probe = {Set(mask, 20, 0x51, word)};
  if (c.runState == 2) probe = {Set(mask, 20, 0x50, word)};
  EXPECT_TRUE(Same(SpeedProbe(), probe)) << "run state " << c.runState;
}

using F = TForm1;

INSTANTIATE_TEST_SUITE_P(
    Handlers, MotionTest,
    ::testing::Values(
        MotionCase{"ClrAbsPos", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btClrAbsPos},
                   {Set(1, 22, 0x01, 0), Get(1, 22, 0x21, 0)}, 0},
        MotionCase{"GoTo1", -1, -1, 100, -500, {}, {}, {}, 0, {&F::btGoTo1},
                   {Set(1, 10, 0x07, Max100), Set(1, 22, 0x60, 0x3FFE0C)}, 0},
        MotionCase{"GoTo2Saturates", -1, -1, 100, {}, 5000000, {}, {}, 0, {&F::btGoTo2},
                   {Set(1, 10, 0x07, Max100), Set(1, 22, 0x60, 0x1FFFFF)}, 0},
        MotionCase{"GoTo3TruncatesTowardZero", -1, -1, 100, {}, {}, 12.9, {}, 0, {&F::btGoTo3},
                   {Set(1, 10, 0x07, Max100), Set(1, 22, 0x60, 12)}, 0},
        MotionCase{"GoTo4TruncatesNegativeTowardZero", -1, -1, 100, {}, {}, {}, -12.9, 0,
                   {&F::btGoTo4}, {Set(1, 10, 0x07, Max100), Set(1, 22, 0x60, 0x3FFFF4)}, 0},
        MotionCase{"GoToDefaultsPos4", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btGoTo4},
                   {Set(1, 10, 0x07, Max100), Set(1, 22, 0x60, 0x3FB9B0)}, 0},
        MotionCase{"GoToMaxSpeedClampedAt15610", -1, -1, 15625, {}, {}, {}, {}, 0, {&F::btGoTo1},
                   {Set(1, 10, 0x07, 1023), Set(1, 22, 0x60, 0x3FFE0C)}, 0},
        MotionCase{"RunForward", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btRunF},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x51, Run100)}, 1},
        MotionCase{"RunReverseFullSpeedChan2", 1, 0, 15625, {}, {}, {}, {}, 0, {&F::btRunR},
                   {Set(2, 8, 0x16, 0), Set(2, 20, 0x50, 1048575)}, 2},
        MotionCase{"RunWithEmptyNinthStepItem", -1, 8, {}, {}, {}, {}, {}, 0, {&F::btRunF},
                   {Set(1, 8, 0x16, 8), Set(1, 20, 0x51, Run100)}, 1},
        MotionCase{"RunReverseThenSoftStop", -1, -1, {}, {}, {}, {}, {}, 0,
                   {&F::btRunR, &F::btSoftStop},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x50, Run100), Set(1, 0, 0xB0, 0)}, 0},
        MotionCase{"RunThenHardStop", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btRunF, &F::btHardStop},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x51, Run100), Set(1, 0, 0xB8, 0)}, 0},
        MotionCase{"RunThenHardHiZ", 2, -1, {}, {}, {}, {}, {}, 0, {&F::btRunR, &F::btGetAbsPos},
                   {Set(4, 8, 0x16, 7), Set(4, 20, 0x50, Run100), Set(4, 0, 0xA8, 0)}, 0},
        MotionCase{"GoToKeepsTheRunState", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btRunR, &F::btGoTo1},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x50, Run100), Set(1, 10, 0x07, Max100),
                    Set(1, 22, 0x60, 0x3FFE0C)},
                   2},
        MotionCase{"GetSnKeepsTheRunState", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btRunF, &F::Button6},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x51, Run100), Set(7, 0, 0xA8, 0),
                    Named("GetSN")},
                   1},
        MotionCase{"SetPower", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btSetPower},
                   {Set(1, 8, 0x09, 26), Set(1, 8, 0x0A, 64), Set(1, 8, 0x0B, 102),
                    Set(1, 8, 0x0C, 102)},
                   0},
        MotionCase{"BaseOnTheSwitchReleases", -1, -1, {}, {}, {}, {}, {}, 4, {&F::btBase},
                   {Get(1, 16, 0x39, 4), Set(1, 0, 0x92, 0)}, 0},
        MotionCase{"BaseOffTheSwitchSeeks", -1, -1, {}, {}, {}, {}, {}, 0xFFFB, {&F::btBase},
                   {Get(1, 16, 0x39, 0xFFFB), Set(1, 20, 0x83, 3355)}, 0},
        MotionCase{"BaseAllChannelsTakesChannel1Status", 3, -1, {}, {}, {}, {}, {}, 4, {&F::btBase},
                   {Get(7, 16, 0x39, 4), Set(7, 0, 0x92, 0)}, 0},
        MotionCase{"BaseKeepsTheRunState", -1, -1, {}, {}, {}, {}, {}, 0, {&F::btRunF, &F::btBase},
                   {Set(1, 8, 0x16, 7), Set(1, 20, 0x51, Run100), Get(1, 16, 0x39, 0),
                    Set(1, 20, 0x83, 3355)},
                   1}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(WindowTest, ClrAbsPosShowsTheDecodedPosition) {
  fakeqdx::SetGetValue(1, 0x21, 0x3FFFFE);
  form->feAbsPos->Value = 99;
  Click(form->btClrAbsPos);
  EXPECT_EQ(form->feAbsPos->Text.Get(), "-2");
  // With nothing delivered (no device) it shows 0.
  fakeqdx::SetGetValue(1, 0x21, 0);
  Click(form->btClrAbsPos);
  EXPECT_EQ(form->feAbsPos->Text.Get(), "0");
}

// ---- live speed change -------------------------------------------------------------

TEST_F(WindowTest, NewSpeedWhileStoppedSendsNothing) {
  TypeInto(form->feSpeed, "200");
  PressEnter(form->feSpeed);
  PressTab(form->feSpeed);
  form->feSpeed->Value = 300;
  EXPECT_TRUE(calls.empty());
}

TEST_F(WindowTest, SpeedEnterWhileRunningResendsRunOnly) {
  Click(form->btRunF);
  TypeInto(form->feSpeed, "200");
  calls.clear();
  PressEnter(form->feSpeed);
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x51, Run200)}));
  // The same number again still re-sends.
  calls.clear();
  PressEnter(form->feSpeed);
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x51, Run200)}));
}

TEST_F(WindowTest, LeavingTheSpeedBoxWhileRunningResendsRun) {
  Click(form->btRunR);
  TypeInto(form->feSpeed, "200");
  calls.clear();
  PressTab(form->feSpeed);
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x50, Run200)}));
  // Leaving it unedited re-sends too.
  Click(form->feSpeed);
  calls.clear();
  PressTab(form->feSpeed);
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x50, Run200)}));
}

TEST_F(WindowTest, ClickingAStopWhileTypingASpeedSendsTheSpeedFirst) {
  Click(form->btRunF);
  TypeInto(form->feSpeed, "300");
  calls.clear();
  Click(form->btSoftStop);
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x51, Run300), Set(1, 0, 0xB0, 0)}));
}

TEST_F(WindowTest, ClampedSpeedGoesOutForEachChange) {
  Click(form->btRunF);
  TypeInto(form->feSpeed, "20000");
  calls.clear();
  PressEnter(form->feSpeed);
  // The clamp raises the change twice; each goes out.
  EXPECT_TRUE(Same(calls, {Set(1, 20, 0x51, 1048575), Set(1, 20, 0x51, 1048575)}));
  EXPECT_EQ(form->feSpeed->Text.Get(), "15625.0");
}

// ---- settings select another channel ------------------------------------------------

class LoadedChannelTest : public PanelTest {};

TEST_F(LoadedChannelTest, MaskStaysOneUntilTheUserPicksAList) {
  WriteFile(IniPath(), "[Settings]\r\nChannel=2\r\n");
  CreateWindow();
  EXPECT_EQ(form->cbChan->Text.Get(), "CHAN 3");
  EXPECT_TRUE(calls.empty());
  fakeqdx::SetOpenResult(true);
  Click(form->Button1);
  calls.clear();
  Click(form->btGetVcc);
  Click(form->btRunF);
  const size_t from = ticks.size();
  WaitTicks(1);
  EXPECT_TRUE(Same(calls, {Get(1, 5, 0x32, 0), Set(1, 8, 0x16, 7), Set(1, 20, 0x51, Run100)}));
  EXPECT_TRUE(Same(ticks[from], {Get(1, 22, 0x21, 0)}));
  Choose(form->cbStepMode, 6);
  calls.clear();
  Click(form->btGetVcc);
  EXPECT_TRUE(Same(calls, {Get(4, 5, 0x32, 0)}));
}

// ---- shut-down ---------------------------------------------------------------------

TEST_F(WindowTest, ClosingWhileConnectedSavesThenStopsThenCloses) {
  Open();
  bool savedBeforeStop = false;
  onCall = [&](const Call& c) {
    if (c == Set(7, 0, 0xA8, 0)) savedBeforeStop = std::filesystem::exists(IniPath());
  };
  calls.clear();
  CloseByExit();
  EXPECT_TRUE(Same(calls, {Set(7, 0, 0xA8, 0), Named("CloseDevice")}));
  EXPECT_TRUE(savedBeforeStop);
  EXPECT_FALSE(W(form)->isVisible());
  // Disconnected now: the poll stays idle.
  EXPECT_EQ(ReadFile(IniPath()), SampleSettings);
}

TEST_F(WindowTest, ClosingWhileDisconnectedOnlyCloses) {
  Open();
  Click(form->Button2);
  calls.clear();
  CloseByTitleBar();
  EXPECT_TRUE(Same(calls, {Named("CloseDevice")}));
  EXPECT_TRUE(std::filesystem::exists(IniPath()));
}

TEST_F(WindowTest, EachCloseRunsTheShutDown) {
  CloseByExit();
  form->Show();
  Pump();
  calls.clear();
  CloseByTitleBar();
  EXPECT_TRUE(Same(calls, {Named("CloseDevice")}));
}

}  // namespace
