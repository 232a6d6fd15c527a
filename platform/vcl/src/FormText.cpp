// Form-description parser and the typed reads of its values.
#include "FormText.h"

#include <cerrno>
#include <cstdlib>
#include <typeinfo>

#include "CLocale.h"

// ---- TPropValue ------------------------------------------------------------

const char* TPropValue::KindName(TKind Kind) {
  switch (Kind) {
    case vkInteger: return "integer";
    case vkFloat: return "float";
    case vkString: return "string";
    case vkIdent: return "identifier";
    case vkSet: return "set";
    case vkList: return "list";
    case vkBinary: return "binary data";
  }
  return "value";
}

namespace {
[[noreturn]] void Expected(const char* what, TPropValue::TKind got) {
  throw EReadError(String("expected ") + what + ", found " + TPropValue::KindName(got));
}
}  // namespace

long long TPropValue::AsInteger() const {
  if (Kind != vkInteger) Expected("an integer", Kind);
  return Int;
}

Extended TPropValue::AsFloat() const {
  if (Kind == vkInteger) return static_cast<Extended>(Int);
  if (Kind != vkFloat) Expected("a number", Kind);
  return Float;
}

const String& TPropValue::AsString() const {
  if (Kind != vkString) Expected("a string", Kind);
  return Str;
}

bool TPropValue::AsBool() const {
  if (Kind == vkIdent && SameText(Str, "True")) return true;
  if (Kind == vkIdent && SameText(Str, "False")) return false;
  if (Kind == vkIdent) throw EReadError("expected True or False, found '" + Str + "'");
  Expected("True or False", Kind);
}

const String& TPropValue::AsIdent() const {
  if (Kind != vkIdent) Expected("an identifier", Kind);
  return Str;
}

std::vector<String> TPropValue::AsStrings() const {
  if (Kind != vkList) Expected("a list of strings", Kind);
  std::vector<String> out;
  for (const TPropValue& v : Items) out.push_back(v.AsString());
  return out;
}

namespace vcl_detail {

namespace {

constexpr int kMaxDepth = 64;

bool IsIdentStart(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool IsIdentChar(char c) { return IsIdentStart(c) || (c >= '0' && c <= '9'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int Hex(char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(String& s, unsigned cp) {
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xF0 | (cp >> 18));
    s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

class TParser {
 public:
  TParser(const String& Text, const String& Source) : FText(Text), FSource(Source) {}

  TFormObject ParseRoot() {
    SkipBlanks();
    TFormObject root = ParseObject(0);
    SkipBlanks();
    if (FPos < FText.size()) Fail("text after the final 'end'");
    return root;
  }

 private:
  [[noreturn]] void Fail(const String& What) const {
    throw EReadError(FSource + "(" + std::to_string(FLine) + "): " + What);
  }

  bool AtEnd() const { return FPos >= FText.size(); }
  char Peek(size_t Ahead = 0) const { return FPos + Ahead < FText.size() ? FText[FPos + Ahead] : '\0'; }

  void SkipBlanks() {
    while (!AtEnd()) {
      char c = FText[FPos];
      if (c == '\n') {
        ++FLine;
        ++FPos;
      } else if (static_cast<unsigned char>(c) <= ' ') {
        ++FPos;
      } else if (c == '/' && Peek(1) == '/') {
        while (!AtEnd() && FText[FPos] != '\n') ++FPos;
      } else {
        break;
      }
    }
  }

  // An identifier; Dotted allows "Font.Height".
  String Ident(bool Dotted) {
    SkipBlanks();
    if (!IsIdentStart(Peek())) Fail("expected a name");
    size_t b = FPos;
    for (;;) {
      while (IsIdentChar(Peek())) ++FPos;
      if (Dotted && Peek() == '.' && IsIdentStart(Peek(1))) {
        ++FPos;
        continue;
      }
      break;
    }
    return FText.substr(b, FPos - b);
  }

  void Expect(char c) {
    SkipBlanks();
    if (Peek() != c) Fail(String("expected '") + c + "'");
    ++FPos;
  }

  bool IsKeyword(const String& Word, const char* Key) const { return SameText(Word, Key); }

  TFormObject ParseObject(int Depth) {
    if (Depth > kMaxDepth) Fail("objects nested too deeply");
    TFormObject obj;
    obj.Line = FLine;
    String kw = Ident(false);
    if (IsKeyword(kw, "inherited") || IsKeyword(kw, "inline")) Fail("inherited forms are not supported");
    if (!IsKeyword(kw, "object")) Fail("expected 'object', found '" + kw + "'");
    String first = Ident(false);
    SkipBlanks();
    if (Peek() == ':') {
      ++FPos;
      obj.Name = first;
      obj.ClassName = Ident(false);
    } else {
      obj.ClassName = first;
    }
    for (;;) {
      SkipBlanks();
      if (AtEnd()) Fail("missing 'end' of object " + (obj.Name.empty() ? obj.ClassName : obj.Name));
      size_t save = FPos;
      int saveLine = FLine;
      String word = Ident(true);
      if (IsKeyword(word, "end")) return obj;
      if (IsKeyword(word, "object") || IsKeyword(word, "inherited") || IsKeyword(word, "inline")) {
        FPos = save;
        FLine = saveLine;
        obj.Children.push_back(ParseObject(Depth + 1));
        continue;
      }
      int line = FLine;
      Expect('=');
      TPropValue v = Value(Depth);
      v.Line = line;
      obj.Properties.emplace_back(word, std::move(v));
    }
  }

  TPropValue Value(int Depth) {
    if (Depth > kMaxDepth) Fail("values nested too deeply");
    SkipBlanks();
    TPropValue v;
    v.Line = FLine;
    char c = Peek();
    if (c == '\'' || c == '#') {
      v.Kind = TPropValue::vkString;
      v.Str = StringExpr();
    } else if (IsDigit(c) || c == '-' || c == '+' || c == '$') {
      Number(v);
    } else if (IsIdentStart(c)) {
      v.Kind = TPropValue::vkIdent;
      v.Str = Ident(true);
    } else if (c == '[') {
      ++FPos;
      v.Kind = TPropValue::vkSet;
      SkipBlanks();
      if (Peek() != ']') {
        for (;;) {
          v.Names.push_back(Ident(false));
          SkipBlanks();
          if (Peek() == ',') {
            ++FPos;
            continue;
          }
          break;
        }
      }
      Expect(']');
    } else if (c == '(') {
      ++FPos;
      v.Kind = TPropValue::vkList;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Fail("missing ')'");
        if (Peek() == ')') {
          ++FPos;
          break;
        }
        v.Items.push_back(Value(Depth + 1));
      }
    } else if (c == '{') {
      ++FPos;
      v.Kind = TPropValue::vkBinary;
      for (;;) {
        SkipBlanks();
        if (AtEnd()) Fail("missing '}'");
        if (Peek() == '}') {
          ++FPos;
          break;
        }
        int hi = Hex(Peek()), lo = Hex(Peek(1));
        if (hi < 0 || lo < 0) Fail("bad binary data");
        v.Str += static_cast<char>(hi * 16 + lo);
        FPos += 2;
      }
    } else if (c == '<') {
      Fail("collections are not supported");
    } else {
      Fail("expected a value");
    }
    return v;
  }

  // 'abc''d'#13#10'x' + 'y'
  String StringExpr() {
    String s;
    for (;;) {
      StringPart(s);
      SkipBlanks();
      if (Peek() == '+') {
        ++FPos;
        SkipBlanks();
        if (Peek() != '\'' && Peek() != '#') Fail("expected a string after '+'");
        continue;
      }
      return s;
    }
  }

  void StringPart(String& s) {
    unsigned pendingHigh = 0;  // a UTF-16 high surrogate from #nnnnn
    auto flushHigh = [&]() {
      if (pendingHigh) AppendUtf8(s, 0xFFFD);
      pendingHigh = 0;
    };
    for (;;) {
      char c = Peek();
      if (c == '\'') {
        flushHigh();
        ++FPos;
        for (;;) {
          if (AtEnd() || Peek() == '\n' || Peek() == '\r') Fail("unterminated string");
          if (Peek() == '\'') {
            if (Peek(1) == '\'') {
              s += '\'';
              FPos += 2;
              continue;
            }
            ++FPos;
            break;
          }
          s += FText[FPos++];
        }
      } else if (c == '#') {
        ++FPos;
        unsigned code = 0;
        bool hex = Peek() == '$';
        if (hex) ++FPos;
        size_t b = FPos;
        while (hex ? Hex(Peek()) >= 0 : IsDigit(Peek())) {
          code = code * (hex ? 16 : 10) + static_cast<unsigned>(hex ? Hex(Peek()) : Peek() - '0');
          if (code > 0xFFFF) Fail("character code out of range");
          ++FPos;
        }
        if (FPos == b) Fail("expected a character code after '#'");
        if (code >= 0xD800 && code < 0xDC00) {
          flushHigh();
          pendingHigh = code;
        } else if (code >= 0xDC00 && code < 0xE000) {
          if (pendingHigh)
            AppendUtf8(s, 0x10000 + ((pendingHigh - 0xD800) << 10) + (code - 0xDC00));
          else
            AppendUtf8(s, 0xFFFD);
          pendingHigh = 0;
        } else {
          flushHigh();
          AppendUtf8(s, code);
        }
      } else {
        flushHigh();
        return;
      }
    }
  }

  void Number(TPropValue& v) {
    size_t b = FPos;
    bool negative = false;
    if (Peek() == '-' || Peek() == '+') negative = FText[FPos++] == '-';
    if (Peek() == '$') {
      ++FPos;
      unsigned long long acc = 0;
      size_t d = FPos;
      while (Hex(Peek()) >= 0) {
        acc = acc * 16 + static_cast<unsigned>(Hex(Peek()));
        if (acc > 0xFFFFFFFFFFFFFFFull) Fail("number out of range");
        ++FPos;
      }
      if (FPos == d) Fail("expected hexadecimal digits after '$'");
      v.Kind = TPropValue::vkInteger;
      v.Int = negative ? -static_cast<long long>(acc) : static_cast<long long>(acc);
      return;
    }
    if (!IsDigit(Peek())) Fail("expected a number");
    while (IsDigit(Peek())) ++FPos;
    bool isFloat = false;
    if (Peek() == '.' && IsDigit(Peek(1))) {
      isFloat = true;
      ++FPos;
      while (IsDigit(Peek())) ++FPos;
    }
    if ((Peek() == 'E' || Peek() == 'e') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
      isFloat = true;
      FPos += 2;
      while (IsDigit(Peek())) ++FPos;
    }
    if (IsIdentChar(Peek()) || Peek() == '.') Fail("malformed number");
    String text = FText.substr(b, FPos - b);
    if (isFloat) {
      errno = 0;
      v.Kind = TPropValue::vkFloat;
      v.Float = strtold_l(text.c_str(), nullptr, CLocale());
      if (errno == ERANGE && (v.Float > 1 || v.Float < -1)) Fail("number out of range");
    } else {
      errno = 0;
      v.Kind = TPropValue::vkInteger;
      v.Int = std::strtoll(text.c_str(), nullptr, 10);
      if (errno == ERANGE) Fail("number out of range");
    }
  }

  const String& FText;
  const String& FSource;
  size_t FPos = 0;
  int FLine = 1;
};

}  // namespace

TFormObject ParseFormText(const String& Text, const String& Source) { return TParser(Text, Source).ParseRoot(); }

String FormTextClassName(const String& Text) {
  try {
    return ParseFormText(Text, "").ClassName;
  } catch (const EReadError&) {
    return String();
  }
}

}  // namespace vcl_detail
