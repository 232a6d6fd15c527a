// The in-memory INI file. Qt-free. One instance is used by one thread.
#pragma once

#include <vector>

#include "vcl/SysUtils.h"
#include "vcl/Types.h"

/// Reads a whole INI file into memory on construction and writes it back in
/// one piece on UpdateFile.
///
/// Reading (constructor, SetText): each line (CR, LF or CRLF ends; a leading
/// UTF-8 byte-order mark is skipped) is trimmed of the characters at or below
/// ' '. Empty lines and lines beginning with ";" are dropped, and so are lines
/// before the first section. "[name]" opens a section named by the trimmed
/// text between the brackets. Inside a section a line with "=" is a key (text
/// before the first "=", trimmed) and a value (the rest, trimmed); a line
/// without "=" is kept as it is. Section and key names compare ASCII
/// case-insensitively; a repeated section or key is kept, and reads and writes
/// address the first one.
///
/// Writing (UpdateFile, GetText): each section in order as "[name]", its
/// lines in order, then an empty line; every line ends with CR LF. A written
/// key that exists keeps its place and takes the writer's letter case; a new
/// key is appended to its section; a new section is appended at the end.
class TMemIniFile {
 public:
  /// Reads FileName. A missing file gives no sections. Throws EFOpenError
  /// "Cannot open file <full path>" when the file exists but cannot be read.
  explicit TMemIniFile(const String& FileName);

  /// The name given to the constructor.
  const String& FileName() const { return FFileName; }

  /// The trimmed value of Key in Section, or Default when absent.
  String ReadString(const String& Section, const String& Key, const String& Default) const;
  /// Value of Key as an integer: a value of more than two characters that
  /// begins "0x"/"0X" is hexadecimal; otherwise the StrToInt rules apply.
  /// Default when absent, empty, not a number or beyond 32 bits.
  int ReadInteger(const String& Section, const String& Key, int Default) const;
  /// Value of Key through StrToFloat (locale separator). Default when absent,
  /// empty, not a number, or beyond the range of a double.
  double ReadFloat(const String& Section, const String& Key, double Default) const;
  /// "0" is false, any other integer true; Default otherwise.
  bool ReadBool(const String& Section, const String& Key, bool Default) const;

  /// Sets Key in Section to Value, in memory only. Throws Exception when a
  /// name or the value holds a CR or LF (which would change the file's
  /// structure), when Section or Key is empty, when Section holds "]" or
  /// Key holds "=".
  void WriteString(const String& Section, const String& Key, const String& Value);
  /// Writes IntToStr(Value).
  void WriteInteger(const String& Section, const String& Key, int Value);
  /// Writes FloatToStr(Value).
  void WriteFloat(const String& Section, const String& Key, double Value);
  /// Writes "1" or "0".
  void WriteBool(const String& Section, const String& Key, bool Value);

  bool SectionExists(const String& Section) const;
  bool ValueExists(const String& Section, const String& Key) const;
  /// Removes Key from Section (first match), if present.
  void DeleteKey(const String& Section, const String& Key);
  /// Removes Section and its lines, if present.
  void EraseSection(const String& Section);
  /// Names of the sections, in order.
  std::vector<String> ReadSections() const;
  /// Names of the keys of Section, in order.
  std::vector<String> ReadSection(const String& Section) const;

  /// Replaces FileName's content with GetText(), so that the file holds
  /// either its old content or the new one, whole: the text goes to a new
  /// file in the same folder, is flushed to disk and then renamed over the
  /// old file (a symlink is followed, the link kept; the old file's
  /// permission bits are kept). Throws EFCreateError "Cannot create file
  /// <full path>" when the file exists without any write permission bit
  /// (checked even for root), when the folder takes no new file, or when
  /// writing, flushing or renaming fails; no temporary file is left behind.
  void UpdateFile();

  /// The file's text as UpdateFile would write it.
  String GetText() const;
  /// Discards the content and reads Text by the reading rules.
  void SetText(const String& Text);
  /// Discards the content.
  void Clear() { FSections.clear(); }

 private:
  struct TLine {
    bool IsKey;   ///< false: a raw line kept unchanged
    String Name;  ///< the key, or the raw line's text
    String Value;
  };
  struct TSection {
    String Name;
    std::vector<TLine> Lines;
  };
  TSection* FindSection(const String& Section);
  const TSection* FindSection(const String& Section) const;

  String FFileName;
  std::vector<TSection> FSections;
};
