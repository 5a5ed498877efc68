// Portable: binary data as hex text ("80 51 01") and back. Any length, no exceptions.
#pragma once

#include <string>
#include <string_view>

namespace tlv::registry {

/// Every space removed: the text that hexToBytes converts.
std::string withoutSpaces(std::string_view text);

/// Bytes of a hex text: spaces are ignored, the digits are taken two by two from the left,
/// without regard to case. A pair is read as a hex number up to its first character that
/// is not a hex digit ("4G" gives 4, "G4" gives 0). An odd final digit gives a byte of its own.
std::string hexToBytes(std::string_view hexText);

/// Hex text of bytes: one space and two upper-case digits per byte (" 80 51 01").
std::string bytesToHex(std::string_view bytes);

/// True when the text, spaces ignored, is not empty and holds only hex digits.
bool isHexText(std::string_view hexText);

}  // namespace tlv::registry
