// The form-description parser.
#include <gtest/gtest.h>

#include "FormText.h"

using vcl_detail::ParseFormText;
using vcl_detail::TFormObject;

namespace {

TEST(FormText, ParsesObjectsPropertiesAndValues) {
  const TFormObject root = ParseFormText(R"(object Form1: TForm1
  Left = 398
  Caption = 'Quodrix ''Test'''
  Color = clBtnFace
  Font.Style = [fsBold, fsItalic]
  Font.Height = -11
  Scale = -999999999.000000000000000000
  Big = 1.5E10
  Hex = $FF00000F
  Joined = 'a'#13#10'b' +
    'c'
  Unicode = #233#$20AC#55357#56832
  Empty = []
  OnCreate = FormCreate
  object cbChan: TComboBox
    Items.Strings = (
      'CHAN 1'
      '')
    Numbers = ( 1 2 -3 )
    Icon.Data = {
      0A1B ff}
  end
  object TTimer
  end
end
)", "Main.dfm");
  EXPECT_EQ(root.Name, "Form1");
  EXPECT_EQ(root.ClassName, "TForm1");
  ASSERT_EQ(root.Properties.size(), 12u);
  auto prop = [&](size_t i) -> const TPropValue& { return root.Properties[i].second; };
  EXPECT_EQ(root.Properties[0].first, "Left");
  EXPECT_EQ(prop(0).AsInteger(), 398);
  EXPECT_EQ(prop(1).AsString(), "Quodrix 'Test'");
  EXPECT_EQ(prop(2).AsIdent(), "clBtnFace");
  EXPECT_EQ(prop(3).Names, (std::vector<String>{"fsBold", "fsItalic"}));
  EXPECT_EQ(root.Properties[4].first, "Font.Height");
  EXPECT_EQ(prop(4).AsInteger(), -11);
  EXPECT_EQ(prop(5).AsFloat(), -999999999.0L);
  EXPECT_EQ(prop(6).AsFloat(), 1.5e10L);
  EXPECT_EQ(prop(7).AsInteger(), 0xFF00000FLL);
  EXPECT_EQ(prop(8).AsString(), "a\r\nbc");
  EXPECT_EQ(prop(9).AsString(), "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80");
  EXPECT_EQ(prop(10).Kind, TPropValue::vkSet);
  EXPECT_TRUE(prop(10).Names.empty());
  EXPECT_EQ(prop(11).AsIdent(), "FormCreate");
  EXPECT_EQ(prop(1).Line, 3);
  ASSERT_EQ(root.Children.size(), 2u);
  const TFormObject& cb = root.Children[0];
  EXPECT_EQ(cb.Name, "cbChan");
  EXPECT_EQ(cb.Line, 15);
  EXPECT_EQ(cb.Properties[0].second.AsStrings(), (std::vector<String>{"CHAN 1", ""}));
  EXPECT_EQ(cb.Properties[1].second.Items.size(), 3u);
  EXPECT_EQ(cb.Properties[1].second.Items[2].AsInteger(), -3);
  EXPECT_EQ(cb.Properties[2].second.Str, String("\x0A\x1B\xFF", 3));
  EXPECT_EQ(root.Children[1].ClassName, "TTimer");
  EXPECT_TRUE(root.Children[1].Name.empty());
}

TEST(FormText, TypedReadsNameTheExpectedKind) {
  const TFormObject root = ParseFormText("object F: TF\n A = 'x'\n B = 5\n C = Maybe\nend", "t");
  const TPropValue& a = root.Properties[0].second;
  const TPropValue& b = root.Properties[1].second;
  const TPropValue& c = root.Properties[2].second;
  EXPECT_THROW(a.AsInteger(), EReadError);
  EXPECT_THROW(b.AsString(), EReadError);
  EXPECT_EQ(b.AsFloat(), 5);
  try {
    c.AsBool();
    ADD_FAILURE();
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message, "expected True or False, found 'Maybe'");
  }
}

TEST(FormText, MalformedTextFailsWithItsLine) {
  struct Case {
    const char* text;
    const char* message;
  } const cases[] = {
      {"", "t(1): expected a name"},
      {"thing F: TF\nend", "t(1): expected 'object', found 'thing'"},
      {"object F: TF\n  A = 'open\nend", "t(2): unterminated string"},
      {"object F: TF\n  A = 1\n", "t(3): missing 'end' of object F"},
      {"object F: TF\n  A 1\nend", "t(2): expected '='"},
      {"object F: TF\n  A = ?\nend", "t(2): expected a value"},
      {"object F: TF\n  A = 12abc\nend", "t(2): malformed number"},
      {"object F: TF\n  A = 99999999999999999999\nend", "t(2): number out of range"},
      {"object F: TF\n  A = (1 2\nend", "t(3): missing ')'"},
      {"object F: TF\n  A = [a b]\nend", "t(2): expected ']'"},
      {"object F: TF\n  A = 'a' +\n  B = 1\nend", "t(3): expected a string after '+'"},
      {"object F: TF\n  A = #\nend", "t(2): expected a character code after '#'"},
      {"object F: TF\n  A = #99999\nend", "t(2): character code out of range"},
      {"object F: TF\n  A = {0G}\nend", "t(2): bad binary data"},
      {"object F: TF\n  A = <\n  >\nend", "t(2): collections are not supported"},
      {"inherited F: TF\nend", "t(1): inherited forms are not supported"},
      {"object F: TF\nend\nobject G: TG\nend", "t(3): text after the final 'end'"},
  };
  for (const Case& c : cases) {
    try {
      ParseFormText(c.text, "t");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message, c.message) << c.text;
    }
  }
}

TEST(FormText, DeepNestingIsRefused) {
  String text;
  for (int i = 0; i < 100; ++i) text += "object A" + std::to_string(i) + ": TX\n";
  for (int i = 0; i < 100; ++i) text += "end\n";
  EXPECT_THROW(ParseFormText(text, "t"), EReadError);
  String lists = "object F: TF\n A = ";
  for (int i = 0; i < 100; ++i) lists += "(";
  EXPECT_THROW(ParseFormText(lists, "t"), EReadError);
}

TEST(FormText, CommentsAndClassNameLookup) {
  EXPECT_EQ(vcl_detail::FormTextClassName("// generated\nobject Form1: TForm1 // the window\nend"), "TForm1");
  EXPECT_EQ(vcl_detail::FormTextClassName("garbage"), "");
}

}  // namespace
