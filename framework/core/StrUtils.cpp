#include "framework/core/StrUtils.h"

#include <cctype>
#include <charconv>

namespace {
char LowerChar(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }
bool IsBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
}  // namespace

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerChar(a[i]) != LowerChar(b[i])) return false;
  return true;
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = LowerChar(c);
  return lower;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool TryStrToInt32(std::string_view text, int32_t& value) {
  const char* first = text.data();
  const char* last = first + text.size();
  int32_t parsed = 0;
  const auto result = std::from_chars(first, last, parsed);
  if (first == last || result.ec != std::errc() || result.ptr != last) return false;
  value = parsed;
  return true;
}

namespace {
int DigitValue(char c, int base) {
  const int d = std::isdigit(static_cast<unsigned char>(c))    ? c - '0'
                : std::isxdigit(static_cast<unsigned char>(c)) ? LowerChar(c) - 'a' + 10
                                                               : base;
  return d < base ? d : -1;
}
}  // namespace

bool TryParseNumber(std::string_view text, int64_t& value) {
  text = Trim(text);
  const bool negative = !text.empty() && text.front() == '-';
  if (negative || (!text.empty() && text.front() == '+')) text.remove_prefix(1);
  int base = 10;
  if (!text.empty() && text.front() == '$') {
    base = 16;
    text.remove_prefix(1);
  } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t v = 0;
  for (char c : text) {
    const int d = DigitValue(c, base);
    if (d < 0 || v > (UINT64_MAX - static_cast<uint64_t>(d)) / static_cast<uint64_t>(base)) return false;
    v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
  }
  if (v > static_cast<uint64_t>(INT64_MAX)) return false;
  value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
  return true;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    lines.emplace_back(text.substr(start, end - start));
    if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
    start = end + 1;
  }
  return lines;
}
