// TMemIniFile: parse, edit and write INI text.
#include "vcl/IniFiles.h"

#include <cmath>
#include <limits>

#include "AtomicFile.h"
#include "Lines.h"

TMemIniFile::TMemIniFile(const String& FileName) : FFileName(FileName) {
  String text;
  if (vcl_detail::ReadWholeFile(FileName, text)) SetText(text);
}

void TMemIniFile::SetText(const String& Text) {
  FSections.clear();
  String body = Text;
  if (body.compare(0, 3, "\xEF\xBB\xBF") == 0) body.erase(0, 3);
  TSection* current = nullptr;
  for (const String& raw : vcl_detail::SplitLines(body)) {
    String line = Trim(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
      FSections.push_back({Trim(line.substr(1, line.size() - 2)), {}});
      current = &FSections.back();
      continue;
    }
    if (!current) continue;
    size_t eq = line.find('=');
    if (eq == String::npos)
      current->Lines.push_back({false, line, String()});
    else
      current->Lines.push_back({true, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
  }
}

String TMemIniFile::GetText() const {
  String out;
  for (const TSection& s : FSections) {
    out += "[" + s.Name + "]\r\n";
    for (const TLine& l : s.Lines) out += (l.IsKey ? l.Name + "=" + l.Value : l.Name) + "\r\n";
    out += "\r\n";
  }
  return out;
}

TMemIniFile::TSection* TMemIniFile::FindSection(const String& Section) {
  for (TSection& s : FSections)
    if (SameText(s.Name, Section)) return &s;
  return nullptr;
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const String& Section) const {
  return const_cast<TMemIniFile*>(this)->FindSection(Section);
}

namespace {
template <class Lines>
auto FindKey(Lines& lines, const String& Key) -> decltype(&lines[0]) {
  for (auto& l : lines)
    if (l.IsKey && SameText(l.Name, Key)) return &l;
  return nullptr;
}
}  // namespace

String TMemIniFile::ReadString(const String& Section, const String& Key, const String& Default) const {
  const TSection* s = FindSection(Section);
  if (!s) return Default;
  const TLine* l = FindKey(s->Lines, Key);
  return l ? l->Value : Default;
}

int TMemIniFile::ReadInteger(const String& Section, const String& Key, int Default) const {
  String v = ReadString(Section, Key, String());
  if (v.size() > 2 && v[0] == '0' && (v[1] == 'x' || v[1] == 'X')) v = "$" + v.substr(2);
  return StrToIntDef(v, Default);
}

double TMemIniFile::ReadFloat(const String& Section, const String& Key, double Default) const {
  String v = ReadString(Section, Key, String());
  Extended x = 0;
  if (v.empty() || !TryStrToFloat(v, x)) return Default;
  // An extended value beyond the double range would become infinite.
  if (std::fabs(x) > static_cast<Extended>(std::numeric_limits<double>::max())) return Default;
  return static_cast<double>(x);
}

bool TMemIniFile::ReadBool(const String& Section, const String& Key, bool Default) const {
  return ReadInteger(Section, Key, Default ? 1 : 0) != 0;
}

void TMemIniFile::WriteString(const String& Section, const String& Key, const String& Value) {
  auto hasLineEnd = [](const String& s) { return s.find_first_of("\r\n") != String::npos; };
  if (hasLineEnd(Section) || hasLineEnd(Key) || hasLineEnd(Value))
    throw Exception("INI names and values cannot hold line ends");
  if (Trim(Section).empty() || Trim(Key).empty()) throw Exception("INI section and key names cannot be empty");
  if (Section.find(']') != String::npos || Key.find('=') != String::npos)
    throw Exception("INI section names cannot hold ']', key names cannot hold '='");
  TSection* s = FindSection(Section);
  if (!s) {
    FSections.push_back({Section, {}});
    s = &FSections.back();
  }
  if (TLine* l = FindKey(s->Lines, Key)) {
    l->Name = Key;
    l->Value = Value;
  } else {
    s->Lines.push_back({true, Key, Value});
  }
}

void TMemIniFile::WriteInteger(const String& Section, const String& Key, int Value) {
  WriteString(Section, Key, IntToStr(Value));
}

void TMemIniFile::WriteFloat(const String& Section, const String& Key, double Value) {
  WriteString(Section, Key, FloatToStr(Value));
}

void TMemIniFile::WriteBool(const String& Section, const String& Key, bool Value) {
  WriteString(Section, Key, Value ? "1" : "0");
}

bool TMemIniFile::SectionExists(const String& Section) const { return FindSection(Section) != nullptr; }

bool TMemIniFile::ValueExists(const String& Section, const String& Key) const {
  const TSection* s = FindSection(Section);
  return s && FindKey(s->Lines, Key);
}

void TMemIniFile::DeleteKey(const String& Section, const String& Key) {
  TSection* s = FindSection(Section);
  if (!s) return;
  for (auto it = s->Lines.begin(); it != s->Lines.end(); ++it)
    if (it->IsKey && SameText(it->Name, Key)) {
      s->Lines.erase(it);
      return;
    }
}

void TMemIniFile::EraseSection(const String& Section) {
  for (auto it = FSections.begin(); it != FSections.end(); ++it)
    if (SameText(it->Name, Section)) {
      FSections.erase(it);
      return;
    }
}

std::vector<String> TMemIniFile::ReadSections() const {
  std::vector<String> names;
  for (const TSection& s : FSections) names.push_back(s.Name);
  return names;
}

std::vector<String> TMemIniFile::ReadSection(const String& Section) const {
  std::vector<String> keys;
  if (const TSection* s = FindSection(Section))
    for (const TLine& l : s->Lines)
      if (l.IsKey) keys.push_back(l.Name);
  return keys;
}

void TMemIniFile::UpdateFile() { vcl_detail::ReplaceFile(FFileName, GetText()); }
