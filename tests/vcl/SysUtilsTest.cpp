// Number formatting and conversion, integer conversion and file names.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "vcl/SysUtils.h"

namespace {

// Each test starts from the full stop; tests of the comma set it themselves.
class SysUtils : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = FormatSettings;
    FormatSettings.DecimalSeparator = '.';
    FormatSettings.ThousandSeparator = ',';
  }
  void TearDown() override { FormatSettings = saved_; }
  TFormatSettings saved_;
};

struct FixedCase {
  long double value;
  int precision;
  int digits;
  const char* text;
};

TEST_F(SysUtils, FloatToStrFFixed) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const FixedCase cases[] = {
      {0, 5, 5, "0.00000"},
      {-18000, 9, 0, "-18000"},
      {25, 9, 1, "25.0"},
      {100, 9, 1, "100.0"},
      {-500, 9, 0, "-500"},
      {15625, 9, 1, "15625.0"},
      {-999999999, 9, 0, "-999999999"},
      // Exact ties round away from zero (printf would round to even).
      {0.125L, 9, 2, "0.13"},
      {0.5L, 9, 0, "1"},
      {2.5L, 9, 0, "3"},
      {-2.5L, 9, 0, "-3"},
      {1.25L, 9, 1, "1.3"},
      // Binary values just below a tie round down.
      {0.15, 9, 1, "0.1"},
      {1.005, 9, 2, "1.00"},
      {9.995, 9, 2, "9.99"},
      {9.996, 9, 2, "10.00"},
      {0.06, 9, 1, "0.1"},
      // A value that rounds to zero has no sign.
      {-0.04L, 9, 1, "0.0"},
      {-0.05L, 9, 1, "-0.1"},
      {-1e-20L, 5, 5, "0.00000"},
      {-0.0L, 5, 5, "0.00000"},
      // Precision limits the significant digits, Digits still pads.
      {12345.678L, 5, 2, "12346.00"},
      {0.000123456L, 2, 5, "0.00012"},
      {3.14159L, 1, 5, "3.10000"},   // Precision counts as at least 2
      {1.5L, 9, 25, "1.500000000000000000"},  // Digits counts as at most 18
      {0.1, 18, 18, "0.100000000000000006"},  // the double's exact expansion, rounded
      {999999999, 9, 0, "999999999"},
      // More integer digits than Precision: the general scientific form.
      {999999999.5L, 9, 0, "1E9"},
      {1234567890, 9, 1, "1.23456789E9"},
      {123456, 5, 2, "1.2346E5"},
      {99999.5L, 5, 0, "1E5"},
      {-1e10L, 5, 0, "-1E10"},
      {1e300L, 15, 2, "1E300"},
      {std::numeric_limits<long double>::quiet_NaN(), 9, 1, "NAN"},
      {inf, 9, 1, "INF"},
      {-inf, 9, 1, "-INF"},
  };
  for (const FixedCase& c : cases)
    EXPECT_EQ(FloatToStrF(c.value, ffFixed, c.precision, c.digits), c.text)
        << "value " << static_cast<double>(c.value) << " precision " << c.precision << " digits " << c.digits;
}

TEST_F(SysUtils, FloatToStrFOtherFormats) {
  struct Case {
    long double value;
    TFloatFormat format;
    int precision, digits;
    const char* text;
  } const cases[] = {
      {1234.5L, ffGeneral, 15, 0, "1234.5"},
      {1234.5L, ffGeneral, 3, 0, "1.23E3"},
      {1234.5L, ffGeneral, 3, 2, "1.23E03"},
      {0.00001234L, ffGeneral, 15, 0, "1.234E-5"},
      {1234.5L, ffExponent, 4, 2, "1.235E+03"},
      {-0.00012L, ffExponent, 3, 0, "-1.20E-4"},
      {0, ffExponent, 3, 1, "0.00E+0"},
      {1234567.891L, ffNumber, 15, 2, "1,234,567.89"},
      {-1234.5L, ffNumber, 15, 1, "-1,234.5"},
      {999, ffNumber, 15, 0, "999"},
      {1234.5L, ffCurrency, 15, 2, "1,234.50"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FloatToStrF(c.value, c.format, c.precision, c.digits), c.text)
        << "value " << static_cast<double>(c.value) << " format " << c.format;
}

TEST_F(SysUtils, FloatToStr) {
  struct Case {
    long double value;
    const char* text;
  } const cases[] = {
      {10, "10"},
      {12.5L, "12.5"},
      {-18000, "-18000"},
      {0, "0"},
      {-0.0L, "0"},
      {100, "100"},
      {-500, "-500"},
      {0.1, "0.1"},
      {1.0 / 3.0, "0.333333333333333"},
      {2.0 / 3.0, "0.666666666666667"},
      {1e20L, "1E20"},
      {1.5e-5L, "1.5E-5"},
      {0.0001, "0.0001"},
      {0.00001, "1E-5"},
      {-0.00012L, "-0.00012"},
      {123456789012345.0L, "123456789012345"},
      {999999999999999.0L, "999999999999999"},
      {1e15L, "1E15"},
      {1234567890123456.0L, "1.23456789012346E15"},
      {-999999999, "-999999999"},
      {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
  };
  for (const Case& c : cases) EXPECT_EQ(FloatToStr(c.value), c.text) << static_cast<double>(c.value);
}

TEST_F(SysUtils, StrToFloatAccepts) {
  struct Case {
    const char* text;
    long double value;
  } const cases[] = {
      {"0", 0},
      {"1e3", 1000},
      {" 1e3 ", 1000},
      {"+1.5", 1.5L},
      {"-1.5", -1.5L},
      {"1.", 1},
      {".5", 0.5L},
      {".", 0},
      {"-.", 0},
      {"1E+2", 100},
      {"25E-1", 2.5L},
      {"   12   ", 12},
      {"000123", 123},
      {"0.1", 0.1L},  // rounded to the nearest extended, not to a double
      {"1e-5000", 0},  // below the extended range: reads as zero
      {"1.18973149535723176502e4932", std::numeric_limits<long double>::max()},
  };
  for (const Case& c : cases) {
    Extended v = -1;
    ASSERT_NO_THROW(v = StrToFloat(c.text)) << c.text;
    EXPECT_EQ(v, c.value) << c.text;
  }
  EXPECT_GT(StrToFloat("4e-4950"), 0.0L) << "a denormal extended stays";
}

TEST_F(SysUtils, StrToFloatRejects) {
  const char* const cases[] = {
      "",      " ",    "abc",  "1,5", "1.5.5", "1e",   "1e+",   "e5",      "+",     "-",     "1 2",
      "0x10",  "inf",  "nan",  "INF", "1.2f",  "\t1",  "1\t",   "1e3x",    "--1",   "+-1",   "1e1.5",
      "1e5000", "-1.2e4932", "1.2e4932", "$10", "1_000", "1e 3", "1 e3",
  };
  for (const char* c : cases) {
    Extended v = 42;
    EXPECT_FALSE(TryStrToFloat(c, v)) << "'" << c << "'";
    EXPECT_EQ(v, 42) << "a failed conversion leaves the value";
    try {
      StrToFloat(c);
      ADD_FAILURE() << "no exception for '" << c << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, "'" + String(c) + "' is not a valid floating point value");
      EXPECT_STREQ(e.what(), e.Message.c_str());
    }
  }
  // A NUL inside the text is not part of a number.
  EXPECT_THROW(StrToFloat(String("1\0" "2", 3)), EConvertError);
}

TEST_F(SysUtils, CommaSeparatorFormatsAndConverts) {
  FormatSettings.DecimalSeparator = ',';
  FormatSettings.ThousandSeparator = '.';
  EXPECT_EQ(FloatToStrF(25, ffFixed, 9, 1), "25,0");
  EXPECT_EQ(FloatToStr(12.5L), "12,5");
  EXPECT_EQ(FloatToStr(1.5e-5L), "1,5E-5");
  EXPECT_EQ(FloatToStrF(1234.5L, ffNumber, 15, 1), "1.234,5");
  EXPECT_EQ(StrToFloat("12,5"), 12.5L);
  EXPECT_EQ(StrToFloat(" -1,25e1 "), -12.5L);
  EXPECT_THROW(StrToFloat("12.5"), EConvertError);
  // Whole numbers read the same under every separator.
  EXPECT_EQ(StrToFloat("100"), 100);
}

// Run by CTest once with LC_ALL=C and once with LC_ALL=de_DE.UTF-8; the
// separator is read from the environment before main.
TEST(SysUtilsLocale, SeparatorComesFromTheEnvironment) {
  const char* lcAll = std::getenv("LC_ALL");
  const String locale = lcAll ? lcAll : "";
  if (locale != "C" && locale != "de_DE.UTF-8") GTEST_SKIP() << "run through CTest, which sets LC_ALL";
  const char expected[2] = {locale == "C" ? '.' : ',', '\0'};
  EXPECT_EQ(FormatSettings.DecimalSeparator, expected[0]);
  const String half = String("0") + expected[0] + "5";
  EXPECT_EQ(FloatToStr(0.5L), half);
  EXPECT_EQ(FloatToStrF(-18000, ffFixed, 9, 1), String("-18000") + expected[0] + "0");
  EXPECT_EQ(StrToFloat(half), 0.5L);
}

TEST_F(SysUtils, FormattingIgnoresTheProcessLocale) {
  // Qt sets the process locale from the environment; the layer must not
  // pick up printf's separator from it.
  const char* old = std::setlocale(LC_ALL, nullptr);
  String saved = old ? old : "C";
  if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 not installed";
  EXPECT_EQ(FloatToStr(12.5L), "12.5");
  EXPECT_EQ(StrToFloat("12.5"), 12.5L);
  std::setlocale(LC_ALL, saved.c_str());
}

TEST_F(SysUtils, StrToInt) {
  struct Case {
    const char* text;
    bool ok;
    int value;
  } const cases[] = {
      {"0", true, 0},          {"123", true, 123},      {"-123", true, -123},
      {"+7", true, 7},         {"  12", true, 12},      {"$10", true, 16},
      {"x1F", true, 31},       {"X1f", true, 31},       {"0x10", true, 16},
      {"0X10", true, 16},      {"-$10", true, -16},     {"$FFFFFFFF", true, -1},
      {"2147483647", true, 2147483647}, {"-2147483648", true, INT_MIN}, {"007", true, 7},
      {"2147483648", false, 0}, {"-2147483649", false, 0}, {"$100000000", false, 0},
      {"", false, 0},          {"abc", false, 0},       {"12a", false, 0},
      {"0x", false, 0},        {"$", false, 0},         {"12 ", false, 0},
      {"1.5", false, 0},       {"-", false, 0},         {"99999999999999999999", false, 0},
  };
  for (const Case& c : cases) {
    int v = 77;
    EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << "'" << c.text << "'";
    EXPECT_EQ(v, c.ok ? c.value : 77) << "'" << c.text << "'";
    EXPECT_EQ(StrToIntDef(c.text, -5), c.ok ? c.value : -5) << "'" << c.text << "'";
  }
  try {
    StrToInt("12a");
    ADD_FAILURE() << "no exception";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message, "'12a' is not a valid integer value");
  }
}

TEST_F(SysUtils, ChangeFileExt) {
  struct Case {
    const char* name;
    const char* ext;
    const char* result;
  } const cases[] = {
      {"/usr/bin/quodrix", ".ini", "/usr/bin/quodrix.ini"},
      {"/opt/app.v2/quodrix", ".ini", "/opt/app.v2/quodrix.ini"},
      {"/opt/app/quodrix.exe", ".ini", "/opt/app/quodrix.ini"},
      {"/opt/app.v2/quodrix.bin", ".ini", "/opt/app.v2/quodrix.ini"},
      {"a.b.c", ".ini", "a.b.ini"},
      {"noext", ".ini", "noext.ini"},
      {"file.", ".ini", "file.ini"},
      {"/x/.hidden", ".ini", "/x/.ini"},
      {"dir.d/", ".ini", "dir.d/.ini"},
      {"file.txt", "", "file"},
      {"", ".ini", ".ini"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangeFileExt(c.name, c.ext), c.result) << c.name;
}

TEST_F(SysUtils, StringAndPathHelpers) {
  EXPECT_EQ(Trim(" \t a b \r\n"), "a b");
  EXPECT_EQ(Trim("\xC3\xA9"), "\xC3\xA9") << "UTF-8 bytes are not blanks";
  EXPECT_EQ(Trim(""), "");
  EXPECT_TRUE(SameText("General", "gENERAL"));
  EXPECT_FALSE(SameText("Left", "Lef"));
  EXPECT_LT(CompareText("a", "B"), 0);
  EXPECT_EQ(ExtractFilePath("/a/b/c.ini"), "/a/b/");
  EXPECT_EQ(ExtractFileName("/a/b/c.ini"), "c.ini");
  EXPECT_EQ(ExpandFileName("/abs/x"), "/abs/x");
  EXPECT_EQ(ExpandFileName("rel.ini").front(), '/');
  EXPECT_EQ(IntToStr(-42), "-42");
}

}  // namespace
