// TMemIniFile: reading and writing rules, and the crash-safe replace.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "vcl/IniFiles.h"

namespace fs = std::filesystem;

namespace {

class IniFile : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    char tmpl[] = "/tmp/vcl-ini-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    file_ = dir_ + "/quodrix.ini";
  }
  void TearDown() override {
    FormatSettings = saved_;
    std::error_code ec;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(dir_, ec);
  }
  void Write(const String& path, const String& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static String Read(const String& path) {
    std::ifstream in(path, std::ios::binary);
    return String(std::istreambuf_iterator<char>(in), {});
  }
  std::vector<String> DirEntries() const {
    std::vector<String> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  // The panel's twelve keys with the values of a window that was not changed.
  static void WriteDefaults(TMemIniFile& ini) {
    ini.WriteInteger("General", "Left", 398);
    ini.WriteInteger("General", "Top", 415);
    ini.WriteInteger("Settings", "Channel", 0);
    ini.WriteInteger("Settings", "Step", 7);
    ini.WriteFloat("Current", "Hold", 10);
    ini.WriteFloat("Current", "Acc", 40);
    ini.WriteFloat("Current", "Power", 25);
    ini.WriteFloat("Speed", "Speed1", 100);
    ini.WriteFloat("Position", "Pos1", -500);
    ini.WriteFloat("Position", "Pos2", -5000);
    ini.WriteFloat("Position", "Pos3", -10000);
    ini.WriteFloat("Position", "Pos4", -18000);
  }

  TFormatSettings saved_;
  String dir_, file_;
};

TEST_F(IniFile, FirstSaveWritesTheSampleByteForByte) {
  TMemIniFile ini(file_);
  EXPECT_TRUE(ini.ReadSections().empty()) << "a missing file gives no sections";
  WriteDefaults(ini);
  ini.UpdateFile();
  EXPECT_EQ(Read(file_),
            "[General]\r\nLeft=398\r\nTop=415\r\n\r\n"
            "[Settings]\r\nChannel=0\r\nStep=7\r\n\r\n"
            "[Current]\r\nHold=10\r\nAcc=40\r\nPower=25\r\n\r\n"
            "[Speed]\r\nSpeed1=100\r\n\r\n"
            "[Position]\r\nPos1=-500\r\nPos2=-5000\r\nPos3=-10000\r\nPos4=-18000\r\n\r\n");
  EXPECT_EQ(DirEntries(), std::vector<String>{"quodrix.ini"}) << "no temporary file stays";
}

TEST_F(IniFile, ReadingDropsCommentsBlanksAndLinesBeforeTheFirstSection) {
  Write(file_,
        "stray=1\n"
        "; a comment\n"
        "\n"
        "  [ General ]  \r\n"
        "  Left = 12  \n"
        "\t; indented comment\n"
        "just text\n"
        "Top==5\r"
        "[Other]\r\n"
        "Key=a=b\r\n"
        "  \r\n");
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("General", "Left", -1), 12);
  EXPECT_EQ(ini.ReadString("General", "Top", "?"), "=5");
  EXPECT_EQ(ini.ReadString("Other", "Key", "?"), "a=b");
  EXPECT_EQ(ini.ReadString("General", "stray", "none"), "none");
  EXPECT_EQ(ini.GetText(),
            "[General]\r\nLeft=12\r\njust text\r\nTop==5\r\n\r\n"
            "[Other]\r\nKey=a=b\r\n\r\n");
}

TEST_F(IniFile, NamesCompareWithoutCaseAndTheWriterSetsTheKeyCase) {
  Write(file_, "[general]\r\nLEFT=0x10\r\nfoo=bar\r\n");
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("General", "Left", 398), 16);
  EXPECT_TRUE(ini.ValueExists("GENERAL", "left"));
  ini.WriteInteger("General", "Left", 398);
  ini.WriteInteger("General", "Top", 415);
  EXPECT_EQ(ini.GetText(), "[general]\r\nLeft=398\r\nfoo=bar\r\nTop=415\r\n\r\n");
}

TEST_F(IniFile, PartialFileKeepsUnknownContentAndAppendsTheRest) {
  Write(file_,
        "[Extra]\r\nX=1\r\n\r\n"
        "[Current]\r\nPower=30\r\nNote=keep\r\n\r\n"
        "[Position]\r\nPos3=-1\r\n");
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadFloat("Current", "Power", 25), 30);
  EXPECT_EQ(ini.ReadFloat("Current", "Hold", 10), 10) << "a missing key gives the default";
  WriteDefaults(ini);
  ini.UpdateFile();
  EXPECT_EQ(Read(file_),
            "[Extra]\r\nX=1\r\n\r\n"
            "[Current]\r\nPower=25\r\nNote=keep\r\nHold=10\r\nAcc=40\r\n\r\n"
            "[Position]\r\nPos3=-10000\r\nPos1=-500\r\nPos2=-5000\r\nPos4=-18000\r\n\r\n"
            "[General]\r\nLeft=398\r\nTop=415\r\n\r\n"
            "[Settings]\r\nChannel=0\r\nStep=7\r\n\r\n"
            "[Speed]\r\nSpeed1=100\r\n\r\n");
}

TEST_F(IniFile, ReadIntegerRules) {
  struct Case {
    const char* value;
    int result;  // default is -7
  } const cases[] = {
      {"398", 398},  {"-5", -5},   {"0x10", 16},          {"0X1f", 31},          {"$20", 32},
      {"x20", 32},   {"0x", -7},   {"", -7},              {"abc", -7},           {"12.5", -7},
      {"4294967296", -7}, {"0xFFFFFFFF", -1}, {"0x100000000", -7}, {"-2147483648", INT_MIN}, {"9", 9},
  };
  for (const Case& c : cases) {
    TMemIniFile ini(file_);
    ini.SetText(String("[S]\nK=") + c.value + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", -7), c.result) << "'" << c.value << "'";
  }
}

TEST_F(IniFile, ReadFloatRules) {
  struct Case {
    const char* value;
    double result;  // default is 10
  } const cases[] = {
      {"12.5", 12.5}, {" 150 ", 150}, {"1e3", 1000}, {"-18000", -18000}, {"abc", 10},
      {"", 10},       {"12,5", 10},   {"1e400", 10}, {"-1e400", 10},     {"1e-400", 0},
  };
  for (const Case& c : cases) {
    TMemIniFile ini(file_);
    ini.SetText(String("[Current]\nHold=") + c.value + "\n");
    EXPECT_EQ(ini.ReadFloat("Current", "Hold", 10), c.result) << "'" << c.value << "'";
  }
}

TEST_F(IniFile, CommaLocaleWritesCommaAndFullStopReadsDefault) {
  FormatSettings.DecimalSeparator = ',';
  {
    TMemIniFile ini(file_);
    ini.WriteFloat("Current", "Hold", 12.5);
    ini.WriteFloat("Current", "Acc", 40);
    ini.UpdateFile();
  }
  EXPECT_EQ(Read(file_), "[Current]\r\nHold=12,5\r\nAcc=40\r\n\r\n");
  FormatSettings.DecimalSeparator = '.';
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadFloat("Current", "Hold", 10), 10);
  EXPECT_EQ(ini.ReadFloat("Current", "Acc", 0), 40);
}

TEST_F(IniFile, RepeatedSectionsAndKeysAddressTheFirst) {
  TMemIniFile ini(file_);
  ini.SetText("[A]\nK=1\nK=2\n[a]\nK=3\nL=4\n");
  EXPECT_EQ(ini.ReadInteger("A", "K", 0), 1);
  EXPECT_EQ(ini.ReadInteger("A", "L", 0), 0);
  ini.WriteInteger("A", "K", 9);
  EXPECT_EQ(ini.GetText(), "[A]\r\nK=9\r\nK=2\r\n\r\n[a]\r\nK=3\r\nL=4\r\n\r\n");
}

TEST_F(IniFile, EditingHelpers) {
  TMemIniFile ini(file_);
  ini.SetText("\xEF\xBB\xBF[A]\nK=1\nL=2\n[B]\nM=3\n");
  EXPECT_TRUE(ini.SectionExists("A")) << "a byte-order mark does not hide the first section";
  EXPECT_EQ(ini.ReadSection("A"), (std::vector<String>{"K", "L"}));
  ini.DeleteKey("a", "k");
  ini.EraseSection("b");
  EXPECT_EQ(ini.ReadSections(), std::vector<String>{"A"});
  ini.WriteBool("A", "On", true);
  EXPECT_TRUE(ini.ReadBool("A", "On", false));
  EXPECT_EQ(ini.GetText(), "[A]\r\nL=2\r\nOn=1\r\n\r\n");
}

TEST_F(IniFile, WritesThatWouldChangeTheStructureAreRefused) {
  TMemIniFile ini(file_);
  EXPECT_THROW(ini.WriteString("A", "K", "1\r\n[Injected]"), Exception);
  EXPECT_THROW(ini.WriteString("A\n", "K", "1"), Exception);
  EXPECT_THROW(ini.WriteString("A", "K=2", "1"), Exception);
  EXPECT_THROW(ini.WriteString("A]", "K", "1"), Exception);
  EXPECT_THROW(ini.WriteString("", "K", "1"), Exception);
  EXPECT_THROW(ini.WriteString("A", " ", "1"), Exception);
  EXPECT_EQ(ini.GetText(), "");
}

TEST_F(IniFile, ReadOnlyFileFailsWithTheFullPathAndStaysWhole) {
  const String old = "[General]\r\nLeft=1\r\n\r\n";
  Write(file_, old);
  ASSERT_EQ(chmod(file_.c_str(), 0444), 0);
  TMemIniFile ini(file_);
  ini.WriteInteger("General", "Left", 2);
  try {
    ini.UpdateFile();
    ADD_FAILURE() << "a read-only file was replaced";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file " + file_);
  }
  EXPECT_EQ(Read(file_), old);
  EXPECT_EQ(DirEntries(), std::vector<String>{"quodrix.ini"});
}

TEST_F(IniFile, MissingFolderFailsWithTheFullPath) {
  const String name = dir_ + "/gone/quodrix.ini";
  TMemIniFile ini(name);
  ini.WriteInteger("General", "Left", 2);
  try {
    ini.UpdateFile();
    ADD_FAILURE() << "no exception";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file " + name);
  }
}

TEST_F(IniFile, RelativeNameIsReportedInFull) {
  const String cwd = fs::current_path().string();
  fs::current_path(dir_);
  ASSERT_EQ(mkdir("ro", 0755), 0);
  Write(dir_ + "/ro/x.ini", "");
  ASSERT_EQ(chmod((dir_ + "/ro/x.ini").c_str(), 0400), 0);
  TMemIniFile ini("ro/x.ini");
  ini.WriteInteger("A", "B", 1);
  try {
    ini.UpdateFile();
    ADD_FAILURE() << "no exception";
  } catch (const EFCreateError& e) {
    EXPECT_EQ(e.Message, "Cannot create file " + dir_ + "/ro/x.ini");
  }
  fs::current_path(cwd);
}

TEST_F(IniFile, FailedWriteLeavesTheOldFileWholeAndNoTemporary) {
  // A file-size limit makes the write of the new text fail part way, as a
  // full disk would.
  const String old = "[General]\r\nLeft=1\r\n\r\n";
  Write(file_, old);
  TMemIniFile ini(file_);
  ini.WriteString("General", "Big", String(4096, 'x'));
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 1024;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_THROW(ini.UpdateFile(), EFCreateError);
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(Read(file_), old);
  EXPECT_EQ(DirEntries(), std::vector<String>{"quodrix.ini"});
  // With room again the same object writes the whole new text.
  ini.UpdateFile();
  EXPECT_EQ(Read(file_), ini.GetText());
}

TEST_F(IniFile, ReplaceKeepsModeAndSymlink) {
  const String real = dir_ + "/real.ini";
  Write(real, "[A]\r\nK=1\r\n\r\n");
  ASSERT_EQ(chmod(real.c_str(), 0640), 0);
  ASSERT_EQ(symlink(real.c_str(), file_.c_str()), 0);
  TMemIniFile ini(file_);
  EXPECT_EQ(ini.ReadInteger("A", "K", 0), 1);
  ini.WriteInteger("A", "K", 2);
  ini.UpdateFile();
  EXPECT_TRUE(fs::is_symlink(file_));
  EXPECT_EQ(Read(real), "[A]\r\nK=2\r\n\r\n");
  struct stat st;
  ASSERT_EQ(stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(IniFile, ExistingButUnreadableFileThrowsOnOpen) {
  ASSERT_EQ(mkdir(file_.c_str(), 0755), 0);  // a folder where the file should be
  try {
    TMemIniFile ini(file_);
    ADD_FAILURE() << "no exception";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message, "Cannot open file " + file_);
  }
  TMemIniFile missing(dir_ + "/nothing/here.ini");
  EXPECT_TRUE(missing.ReadSections().empty());
}

TEST_F(IniFile, TextRoundTripIsStable) {
  TMemIniFile a(file_);
  a.SetText("x\n[S]\nraw line\n k = v \n[]\n=empty key\n[T]]\nA=1\n");
  const String once = a.GetText();
  TMemIniFile b(file_);
  b.SetText(once);
  EXPECT_EQ(b.GetText(), once);
}

}  // namespace
