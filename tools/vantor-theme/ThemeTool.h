// The commands of vantor-theme. Each raises Exception (EToolRefusal for input the tool
// will not take, the stream and theme-file errors for files it cannot use); main prints
// the message and exits 1.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "framework/core/SysUtils.h"

class EToolRefusal : public Exception {
public:
  using Exception::Exception;
};

// The text file of a theme folder: "Key = value" lines for the integer, colour and
// boolean elements.
inline constexpr char kThemeTextName[] = "theme.txt";

// One entry of a theme file to be written.
struct ThemeEntry {
  uint8_t Kind;  // TkyrThemeEntryKind
  std::string Name;
  std::vector<uint8_t> Data;
};

// A theme file holding ENTRIES in order: header, records, terminator, then the data.
std::vector<uint8_t> BuildThemeFile(const std::vector<ThemeEntry>& entries);

// The value of the element KEY as written in theme.txt: integers in decimal, colours as
// $00BBGGRR (8 hex digits) or #RRGGBB, booleans as true/false or a byte 0..255. Raises
// EToolRefusal naming WHERE when TEXT is no such value.
ThemeEntry ParseThemeValue(int element, const std::string& text, const std::string& where);

// Folder -> theme file. Unknown keys, unknown files, kinds that do not match and
// bitmaps that do not decode are refused.
void PackTheme(const std::string& folder, const std::string& file);
// Theme file -> folder (theme.txt and one KEY.bmp per image). Entries that are no theme
// element, of the wrong kind, shadowed by an earlier one, or texts, are not written; a
// line on NOTES says so.
void UnpackTheme(const std::string& file, const std::string& folder, std::ostream& notes);
// One line per loaded entry, then one line per element key.
void DumpTheme(const std::string& file, std::ostream& out);
// A built-in style (by name, letter case ignored) as a theme file, its images the bitmaps
// compiled into the program.
void ExportStyle(const std::string& style, const std::string& file);
