// The settings file beside the executable: read at start, written at each
// close.
#include <sys/stat.h>

#include <vcl/SysUtils.h>

#include "PanelFixture.h"

namespace {

class SettingsTest : public PanelTest {
 protected:
  void Start(const std::string& File) {
    WriteFile(IniPath(), File);
    CreateWindow();
  }
  std::string CloseAndRead() {
    CloseByTitleBar();
    return ReadFile(IniPath());
  }
};

TEST_F(SettingsTest, FileLiesBesideTheExecutable) {
  EXPECT_EQ(ChangeFileExt(Application->ExeName, ".ini"), IniPath().string());
}

TEST_F(SettingsTest, NoFileKeepsTheDesignAndTheFirstCloseWritesTheSample) {
  CreateWindow();
  EXPECT_EQ(form->Left.Get(), 398);
  EXPECT_EQ(form->Top.Get(), 415);
  EXPECT_EQ(form->cbChan->ItemIndex.Get(), 0);
  EXPECT_EQ(form->cbStepMode->ItemIndex.Get(), 7);
  EXPECT_EQ(form->feHold->Value.Get(), 10.0);
  EXPECT_EQ(form->feSpeed->Value.Get(), 100.0);
  EXPECT_EQ(form->fePos4->Value.Get(), -18000.0);
  EXPECT_FALSE(std::filesystem::exists(IniPath()));
  EXPECT_EQ(CloseAndRead(), SampleSettings);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(SettingsTest, EveryKeyIsReadIntoItsControl) {
  Start(
      "[General]\r\nLeft=120\r\nTop=80\r\n"
      "[Settings]\r\nChannel=3\r\nStep=2\r\n"
      "[Current]\r\nHold=12.5\r\nAcc=33\r\nPower=66.25\r\n"
      "[Speed]\r\nSpeed1=2500\r\n"
      "[Position]\r\nPos1=1\r\nPos2=-2\r\nPos3=300000\r\nPos4=-999999999\r\n");
  EXPECT_EQ(form->Left.Get(), 120);
  EXPECT_EQ(form->Top.Get(), 80);
  EXPECT_EQ(form->cbChan->Text.Get(), "ALL");
  EXPECT_EQ(form->cbStepMode->Text.Get(), "1/4");
  EXPECT_EQ(form->feHold->Value.Get(), 12.5);
  EXPECT_EQ(form->feAcc->Value.Get(), 33.0);
  EXPECT_EQ(form->fePower->Value.Get(), 66.25);
  EXPECT_EQ(form->fePower->Text.Get(), "66.3");  // shown with one decimal, kept whole
  EXPECT_EQ(form->feSpeed->Value.Get(), 2500.0);
  EXPECT_EQ(form->fePos1->Value.Get(), 1.0);
  EXPECT_EQ(form->fePos2->Value.Get(), -2.0);
  EXPECT_EQ(form->fePos3->Value.Get(), 300000.0);
  EXPECT_EQ(form->fePos4->Value.Get(), -999999999.0);
  // Loading a new speed sends nothing: no run is recorded at start.
  EXPECT_TRUE(calls.empty());
  EXPECT_EQ(CloseAndRead(),
            "[General]\r\nLeft=120\r\nTop=80\r\n\r\n"
            "[Settings]\r\nChannel=3\r\nStep=2\r\n\r\n"
            "[Current]\r\nHold=12.5\r\nAcc=33\r\nPower=66.25\r\n\r\n"
            "[Speed]\r\nSpeed1=2500\r\n\r\n"
            "[Position]\r\nPos1=1\r\nPos2=-2\r\nPos3=300000\r\nPos4=-999999999\r\n\r\n");
}

TEST_F(SettingsTest, PartialFileKeepsDefaultsAndTheSaveCompletesIt) {
  Start("[Current]\r\nHold=20\r\n[Position]\r\nPos2=123\r\n");
  EXPECT_EQ(form->feHold->Value.Get(), 20.0);
  EXPECT_EQ(form->feAcc->Value.Get(), 40.0);
  EXPECT_EQ(form->fePos2->Value.Get(), 123.0);
  EXPECT_EQ(form->fePos1->Value.Get(), -500.0);
  EXPECT_EQ(CloseAndRead(),
            "[Current]\r\nHold=20\r\nAcc=40\r\nPower=25\r\n\r\n"
            "[Position]\r\nPos2=123\r\nPos1=-500\r\nPos3=-10000\r\nPos4=-18000\r\n\r\n"
            "[General]\r\nLeft=398\r\nTop=415\r\n\r\n"
            "[Settings]\r\nChannel=0\r\nStep=7\r\n\r\n"
            "[Speed]\r\nSpeed1=100\r\n\r\n");
}

struct LoadCase {
  const char* name;
  const char* file;
  // Expected after loading: Left, Top, Channel, Step, Hold, Acc, Power, Speed1.
  int left, top, channel, step;
  double hold, acc, power, speed;
};

class SettingsLoadTest : public SettingsTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(SettingsLoadTest, LoadsOrFallsBack) {
  const LoadCase& c = GetParam();
  Start(c.file);
  EXPECT_EQ(form->Left.Get(), c.left);
  EXPECT_EQ(form->Top.Get(), c.top);
  EXPECT_EQ(form->cbChan->ItemIndex.Get(), c.channel);
  EXPECT_EQ(form->cbStepMode->ItemIndex.Get(), c.step);
  EXPECT_EQ(form->feHold->Value.Get(), c.hold);
  EXPECT_EQ(form->feAcc->Value.Get(), c.acc);
  EXPECT_EQ(form->fePower->Value.Get(), c.power);
  EXPECT_EQ(form->feSpeed->Value.Get(), c.speed);
  EXPECT_TRUE(boxes.empty()) << "no message for a value that does not convert";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SettingsLoadTest,
    ::testing::Values(
        LoadCase{"OutOfRangeIsClamped", "[Current]\r\nHold=150\r\nAcc=-3\r\n[Speed]\r\nSpeed1=20000\r\n",
                 398, 415, 0, 7, 100, 0, 25, 15625},
        LoadCase{"MalformedAndEmptyKeepDefaults",
                 "[General]\r\nLeft=abc\r\nTop=\r\n[Settings]\r\nChannel=1.5\r\nStep=12q\r\n"
                 "[Current]\r\nHold=abc\r\nAcc=\r\nPower=12,5\r\n[Speed]\r\nSpeed1=1e\r\n",
                 398, 415, 0, 7, 10, 40, 25, 100},
        LoadCase{"BeyondThirtyTwoBitsKeepsDefault", "[General]\r\nLeft=99999999999\r\nTop=-2147483649\r\n",
                 398, 415, 0, 7, 10, 40, 25, 100},
        LoadCase{"HexadecimalIntegers",
                 "[General]\r\nLeft=0x10\r\nTop=$20\r\n[Settings]\r\nChannel=x2\r\nStep=0X3\r\n",
                 16, 32, 2, 3, 10, 40, 25, 100},
        LoadCase{"IndexOutsideTheListLeavesNoSelection", "[Settings]\r\nChannel=9\r\nStep=-4\r\n",
                 398, 415, -1, -1, 10, 40, 25, 100},
        LoadCase{"NamesMatchWithoutCase", "[general]\r\nLEFT=123\r\n[CURRENT]\r\nhold=7\r\n",
                 123, 415, 0, 7, 7, 40, 25, 100},
        LoadCase{"BlanksCommentsAndStrayLines",
                 "Left=5\r\n; a comment\r\n\r\n  [ General ]  \r\n  Left = 44 \r\n;Top=1\r\njunk\r\n",
                 44, 415, 0, 7, 10, 40, 25, 100},
        LoadCase{"ExponentAndSpaces", "[Current]\r\nHold= 2.5e1 \r\n[Speed]\r\nSpeed1=1E3\r\n", 398,
                 415, 0, 7, 25, 40, 25, 1000},
        LoadCase{"LfLineEnds", "[General]\nLeft=77\n[Current]\nPower=50\n", 77, 415, 0, 7, 10, 40, 50,
                 100}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(SettingsTest, ChannelNineIsSavedBackAsMinusOne) {
  Start("[Settings]\r\nChannel=9\r\n");
  EXPECT_EQ(form->cbChan->Text.Get(), "");
  const std::string saved = CloseAndRead();
  EXPECT_NE(saved.find("[Settings]\r\nChannel=-1\r\nStep=7\r\n"), std::string::npos) << saved;
}

TEST_F(SettingsTest, HexadecimalLeftPlacesTheWindow) {
  Start("[General]\r\nLeft=0x10\r\n");
  EXPECT_EQ(form->Left.Get(), 16);
  const std::string saved = CloseAndRead();
  EXPECT_NE(saved.find("Left=16\r\n"), std::string::npos) << saved;
}

TEST_F(SettingsTest, OtherSectionsAndKeysSurviveWhileCommentsAndBlanksGo) {
  Start(
      "; written by hand\r\n"
      "[Other]\r\nfoo=bar\r\n\r\n"
      "[general]\r\nExtra=1\r\nLEFT=10\r\nnot a key\r\n"
      "; trailing comment\r\n");
  EXPECT_EQ(form->Left.Get(), 10);
  const std::string saved = CloseAndRead();
  EXPECT_EQ(saved,
            "[Other]\r\nfoo=bar\r\n\r\n"
            "[general]\r\nExtra=1\r\nLeft=10\r\nnot a key\r\nTop=415\r\n\r\n"
            "[Settings]\r\nChannel=0\r\nStep=7\r\n\r\n"
            "[Current]\r\nHold=10\r\nAcc=40\r\nPower=25\r\n\r\n"
            "[Speed]\r\nSpeed1=100\r\n\r\n"
            "[Position]\r\nPos1=-500\r\nPos2=-5000\r\nPos3=-10000\r\nPos4=-18000\r\n\r\n");
}

TEST_F(SettingsTest, MovedWindowAndChangedValuesAreSaved) {
  CreateWindow();
  form->Left = 50;
  form->Top = 60;
  Choose(form->cbChan, 2);
  Choose(form->cbStepMode, 8);
  TypeInto(form->feHold, "12.5");
  PressEnter(form->feHold);
  TypeInto(form->fePos3, "4242");
  PressTab(form->fePos3);
  const std::string saved = CloseAndRead();
  EXPECT_EQ(saved,
            "[General]\r\nLeft=50\r\nTop=60\r\n\r\n"
            "[Settings]\r\nChannel=2\r\nStep=8\r\n\r\n"
            "[Current]\r\nHold=12.5\r\nAcc=40\r\nPower=25\r\n\r\n"
            "[Speed]\r\nSpeed1=100\r\n\r\n"
            "[Position]\r\nPos1=-500\r\nPos2=-5000\r\nPos3=4242\r\nPos4=-18000\r\n\r\n");
}

TEST_F(SettingsTest, TitleBarCloseSavesOnlyTheCommittedNumber) {
  CreateWindow();
  TypeInto(form->feHold, "55");
  const std::string saved = CloseAndRead();
  EXPECT_NE(saved.find("Hold=10\r\n"), std::string::npos) << saved;
}

TEST_F(SettingsTest, ExitCommitsTheTypedNumberFirst) {
  CreateWindow();
  TypeInto(form->feHold, "55");
  CloseByExit();
  const std::string saved = ReadFile(IniPath());
  EXPECT_NE(saved.find("Hold=55\r\n"), std::string::npos) << saved;
}

TEST_F(SettingsTest, SettingsSurviveANewWindow) {
  CreateWindow();
  Choose(form->cbChan, 1);
  form->feSpeed->Value = 321.5;
  form->fePos1->Value = -77;
  CloseByExit();
  DestroyWindow();
  CreateWindow();
  EXPECT_EQ(form->cbChan->Text.Get(), "CHAN 2");
  EXPECT_EQ(form->feSpeed->Value.Get(), 321.5);
  EXPECT_EQ(form->fePos1->Value.Get(), -77.0);
}

TEST_F(SettingsTest, ReadOnlyFileShowsOneErrorBoxAndTheCloseGoesOn) {
  WriteFile(IniPath(), SampleSettings);
  ASSERT_EQ(chmod(IniPath().c_str(), 0444), 0);
  CreateWindow();
  fakeqdx::SetOpenResult(true);
  Click(form->Button1);
  form->feHold->Value = 50;
  calls.clear();
  CloseByExit();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Type, mtError);
  EXPECT_EQ(boxes[0].Caption, "Error");
  EXPECT_EQ(boxes[0].Buttons, TMsgDlgButtons() << mbOK);
  EXPECT_EQ(boxes[0].Text, "Cannot create file " + IniPath().string());
  // The shut-down went on, and the file is as it was.
  EXPECT_TRUE(Same(calls, {fakeqdx::Set(7, 0, 0xA8, 0), fakeqdx::Named("CloseDevice")}));
  EXPECT_FALSE(W(form)->isVisible());
  EXPECT_EQ(ReadFile(IniPath()), SampleSettings);
}

TEST_F(SettingsTest, UnreadableFileAtStartIsReportedAndThePanelStillWorks) {
  // A folder where the file should be: it exists but cannot be read.
  std::filesystem::create_directory(IniPath());
  CreateWindow();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_TRUE(W(form)->isVisible());
  EXPECT_EQ(form->feHold->Value.Get(), 10.0);
  // The channel mask is set all the same: commands reach channel 1.
  calls.clear();
  Click(form->btGetVcc);
  EXPECT_TRUE(Same(calls, {fakeqdx::Get(1, 5, 0x32, 0)}));
}

TEST_F(SettingsTest, UnreadableFileAtCloseIsReportedAndTheCloseGoesOn) {
  CreateWindow();
  fakeqdx::SetOpenResult(true);
  Click(form->Button1);
  std::filesystem::create_directory(IniPath());
  calls.clear();
  CloseByExit();
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Type, mtError);
  EXPECT_TRUE(Same(calls, {fakeqdx::Set(7, 0, 0xA8, 0), fakeqdx::Named("CloseDevice")}));
  EXPECT_FALSE(W(form)->isVisible());
}

// ---- a locale whose decimal separator is a comma (own CTest entry) ----------

class CommaLocale : public SettingsTest {
 protected:
  void SetUp() override {
    if (FormatSettings.DecimalSeparator != ',')
      GTEST_SKIP() << "runs under a comma locale (LC_ALL=de_DE.UTF-8)";
    SettingsTest::SetUp();
  }
};

TEST_F(CommaLocale, DecimalsAreReadAndWrittenWithTheComma) {
  Start("[Current]\r\nHold=12,5\r\nAcc=33.5\r\nPower=30\r\n");
  EXPECT_EQ(form->feHold->Value.Get(), 12.5);
  EXPECT_EQ(form->feHold->Text.Get(), "12,5");
  EXPECT_EQ(form->feAcc->Value.Get(), 40.0);  // a full stop does not convert here
  EXPECT_EQ(form->fePower->Value.Get(), 30.0);
  form->feSpeed->Value = 99.25;
  const std::string saved = CloseAndRead();
  EXPECT_NE(saved.find("Hold=12,5\r\nAcc=40\r\nPower=30\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Speed1=99,25\r\n"), std::string::npos) << saved;
}

TEST_F(CommaLocale, TypedNumbersUseTheComma) {
  CreateWindow();
  TypeInto(form->feSpeed, "250,5");
  PressEnter(form->feSpeed);
  EXPECT_EQ(form->feSpeed->Value.Get(), 250.5);
  EXPECT_EQ(form->feSpeed->Text.Get(), "250,5");
}

}  // namespace
