// Portable: the robot's output lines, `kind key=value key="text" ...`, written by tlvrobot
// and read back by the tests that drive it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tlv::tools::robot {

/// One output line: a kind word followed by named fields. Numbers are written bare, texts
/// quoted with C-style escapes (\\ \" \r \n \t \xHH), so a line never breaks and every
/// text comes back byte for byte.
class DumpLine {
 public:
  DumpLine() = default;
  explicit DumpLine(std::string kind) : kind_(std::move(kind)) {}

  DumpLine& number(std::string key, std::int64_t value);
  DumpLine& hex(std::string key, std::uint32_t value);
  DumpLine& text(std::string key, std::string_view value);

  const std::string& kind() const { return kind_; }
  /// The field's value, unquoted; nullopt when the line has no such field.
  std::optional<std::string> field(std::string_view key) const;
  /// The field read as a decimal or 0x-prefixed number; nullopt when absent or not a number.
  std::optional<std::int64_t> numberField(std::string_view key) const;

  /// The line as the robot prints it, without a line end.
  std::string format() const;
  /// Reads a printed line back; nullopt when it is not in this format.
  static std::optional<DumpLine> parse(std::string_view line);

 private:
  struct Field {
    std::string key;
    std::string value;
    bool quoted = false;
  };
  std::string kind_;
  std::vector<Field> fields_;
};

/// `text` in double quotes with the escapes above; bytes from 0x80 up pass unchanged.
std::string quoteText(std::string_view text);

}  // namespace tlv::tools::robot
