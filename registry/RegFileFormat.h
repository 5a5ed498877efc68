// Portable: the REGEDIT4 .reg text as the importer reads it, line by line, with no registry
// access: the header, key lines and value lines with their data forms.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlv::registry::regfile {

inline constexpr char kHeader[] = "REGEDIT4";

/// The text cut at each CR LF; a lone CR or LF stays inside its line.
std::vector<std::string_view> splitLines(std::string_view text);

/// True when the line, upper-cased, is exactly the header.
bool isHeader(std::string_view line);

/// A line as the reader takes it: spaces trimmed from both ends, every double quote removed.
/// Quotes carry no meaning and no escape sequence is decoded.
std::string cleanLine(std::string_view line);

enum class LineKind {
  Other,          ///< empty, a comment, or no "=": nothing to do
  KeyBlock,       ///< "[path]": the following value lines belong to this key
  KeyDeletion,    ///< "[-path]": delete the key; its value lines are ignored
  ValueDeletion,  ///< name=-
  Binary,         ///< name=hex:01,02
  Dword,          ///< name=dword:0000001F
  String,         ///< name=text, and any data form not listed above
  Malformed,      ///< a line the reader cannot take: "[" alone, or a number over 32 bits
};

struct RegLine {
  LineKind kind = LineKind::Other;
  std::string path;         ///< key lines: the key's path
  std::string name;         ///< value lines: the value's name, "@" included as written
  std::string data;         ///< Binary: hex text with spaces between pairs; String: the text
  std::int32_t number = 0;  ///< Dword: the 32-bit pattern
};

/// Interprets one cleaned line. A value line is split at its first "="; the data keeps every
/// later "=".
RegLine parseLine(std::string_view cleaned);

}  // namespace tlv::registry::regfile
