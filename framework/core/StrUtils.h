// Small text and byte helpers used across the layers: letter case, blanks, decimal numbers,
// line splitting and little-endian integers. Letter case is ASCII only, as the file formats
// and stored descriptions that use it are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Equal ignoring ASCII letter case.
bool SameText(std::string_view a, std::string_view b);
std::string LowerCase(std::string_view text);
// TEXT without leading and trailing blanks (space, tab, CR, LF, VT, FF).
std::string_view Trim(std::string_view text);
// A decimal 32-bit integer with an optional sign and nothing else; false (VALUE untouched)
// otherwise.
bool TryStrToInt32(std::string_view text, int32_t& value);
// An integer as stored descriptions and colour names write it: optional blanks and sign, then
// decimal digits, "$" and hex digits, or "0x" and hex digits. False on anything else or on a
// value beyond 64 bits. "$FFFFFFFF" is 4294967295: callers that want the 32-bit pattern of
// a colour or mask cast it.
bool TryParseNumber(std::string_view text, int64_t& value);
// The lines of TEXT, ended by CR, LF or CR LF; a last line without an end counts when it is
// not empty ("a\r\nb" and "a\r\nb\r\n" are both two lines).
std::vector<std::string> SplitLines(std::string_view text);

inline uint16_t LoadUInt16LE(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
inline uint32_t LoadUInt32LE(const uint8_t* p) {
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
inline void AppendUInt32LE(std::vector<uint8_t>& to, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) to.push_back(static_cast<uint8_t>(value >> shift));
}
