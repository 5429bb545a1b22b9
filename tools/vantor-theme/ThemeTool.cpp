#include "tools/vantor-theme/ThemeTool.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

#include "framework/core/AtomicFile.h"
#include "framework/core/BmpCodec.h"
#include "framework/core/StrUtils.h"
#include "framework/core/Streams.h"
#include "skin/KYRThemeFile.h"
#include "skin/KYRThemes.h"
#include "tools/vantor-theme/BuiltinBitmapFiles.h"

namespace fs = std::filesystem;

namespace {

std::string PathJoin(const std::string& folder, const std::string& name) {
#ifdef _WIN32
  const char separator = '\\';
#else
  const char separator = '/';
#endif
  if (folder.empty() || folder.back() == '/' || folder.back() == '\\') return folder + name;
  return folder + separator + name;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
  TFileStream file(path, fmOpenRead | fmShareDenyWrite);
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  TAtomicFile file(path);
  file.Stream().WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  file.Commit();
}

bool ParseHex(const std::string& digits, size_t count, uint32_t& value) {
  const char* last = digits.data() + digits.size();
  const auto r = std::from_chars(digits.data(), last, value, 16);
  return digits.size() == count && r.ec == std::errc() && r.ptr == last;
}

// "$00BBGGRR" as stored, or "#RRGGBB" as written for the web.
bool ParseColor(const std::string& text, uint32_t& value) {
  if (text.size() > 1 && text[0] == '$') return ParseHex(text.substr(1), 8, value);
  uint32_t rgb = 0;
  if (text.size() > 1 && text[0] == '#' && ParseHex(text.substr(1), 6, rgb)) {
    value = (rgb >> 16) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    return true;
  }
  return false;
}

bool ParseBoolByte(const std::string& text, uint8_t& value) {
  const std::string lower = LowerCase(text);
  int32_t number = 0;
  if (lower == "true" || lower == "false") {
    value = lower == "true";
    return true;
  }
  if (!TryStrToInt32(text, number) || number < 0 || number > 255) return false;
  value = static_cast<uint8_t>(number);
  return true;
}

std::vector<uint8_t> Int32Bytes(uint32_t v) {
  std::vector<uint8_t> bytes;
  AppendUInt32LE(bytes, v);
  return bytes;
}

uint8_t EntryKindOf(int element) {
  switch (GetThemeElementKind(element)) {
    case kyrThemeImage: return kyrEntryImage;
    case kyrThemeBool: return kyrEntryBoolean;
    default: return kyrEntryInteger;  // integers and colours
  }
}

// ---- pack ----

using PackedEntries = std::map<int, ThemeEntry>;  // by element, so files come out in table order

void AddPacked(PackedEntries& entries, int element, ThemeEntry entry, const std::string& where) {
  if (!entries.emplace(element, std::move(entry)).second)
    throw EToolRefusal(where + ": " + GetThemeElementKey(element) + " is given twice");
}

void PackText(const std::string& path, PackedEntries& entries) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  std::istringstream in(std::string(bytes.begin(), bytes.end()));
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    const std::string where = std::string(kThemeTextName) + " line " + std::to_string(++number);
    line = std::string(Trim(line));
    if (line.empty() || line[0] == '#' || line[0] == ';') continue;
    const size_t eq = line.find('=');
    if (eq == std::string::npos) throw EToolRefusal(where + ": expected \"Key = value\"");
    const std::string key(Trim(line.substr(0, eq)));
    const int element = FindThemeElement(key);
    if (element == 0) throw EToolRefusal(where + ": unknown theme element \"" + key + "\"");
    AddPacked(entries, element, ParseThemeValue(element, std::string(Trim(line.substr(eq + 1))), where), where);
  }
}

void PackBitmap(const fs::path& path, PackedEntries& entries) {
  const std::string name = path.filename().string();
  const std::string key = path.stem().string();
  const int element = FindThemeElement(key);
  if (element == 0) throw EToolRefusal(name + ": unknown theme element \"" + key + "\"");
  if (GetThemeElementKind(element) != kyrThemeImage)
    throw EToolRefusal(name + ": " + GetThemeElementKey(element) + " is not an image element; give it in " +
                       kThemeTextName);
  std::vector<uint8_t> bmp = ReadWholeFile(path.string());
  try {
    DecodeBmp(bmp);
  } catch (const EInvalidBitmap& e) {
    throw EToolRefusal(name + ": " + e.Message());
  }
  AddPacked(entries, element, {kyrEntryImage, GetThemeElementKey(element), std::move(bmp)}, name);
}

// ---- unpack and dump ----

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c >= 0x7F) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// "WxH@BPP" of a stored bitmap, "invalid" when it does not decode.
std::string ImageSummary(TStream& stream) {
  std::vector<uint8_t> bytes(static_cast<size_t>(stream.Size()));
  stream.SetPosition(0);
  stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  try {
    const TBmpImage image = DecodeBmp(bytes);
    return std::to_string(image.Width) + "x" + std::to_string(image.Height) + "@" +
           std::to_string(image.BitsPerPixel);
  } catch (const EInvalidBitmap&) {
    return "invalid";
  }
}

const char* KindWord(TkyrThemeEntryKind kind) {
  switch (kind) {
    case kyrEntryImage: return "image";
    case kyrEntryInteger: return "int";
    case kyrEntryBoolean: return "bool";
    default: return "text";
  }
}

std::string FormatValue(int element, const std::string& stored) {
  if (GetThemeElementKind(element) != kyrThemeColor) return stored;
  char text[12];
  std::snprintf(text, sizeof text, "$%08X", static_cast<uint32_t>(std::stol(stored)));
  return text;
}

// Refuses what the system itself would refuse: a file without the magic.
std::unique_ptr<TkyrThemeFileReader> OpenThemeFile(const std::string& file) {
  if (!FileExists(file)) throw EFOpenError(file);
  if (!IsValidThemeFile(file)) throw EToolRefusal(file + " is not a theme file: its magic is not \"Tessarn_TB\"");
  return std::make_unique<TkyrThemeFileReader>(file);
}

// Why ENTRY is not unpacked, or "" when it is.
std::string UnpackSkipReason(const TkyrThemeFileReader::Entry& entry, std::set<int>& done) {
  const int element = FindThemeElement(entry.Name);
  if (entry.Kind == kyrEntryText) return "it is a text";
  if (element == 0) return "it is no theme element";
  if (EntryKindOf(element) != entry.Kind) return std::string("it is stored as ") + KindWord(entry.Kind);
  if (!done.insert(element).second) return "an earlier entry has that name";
  return "";
}

}  // namespace

std::vector<uint8_t> BuildThemeFile(const std::vector<ThemeEntry>& entries) {
  std::vector<uint8_t> file(12, 0);  // the magic, padded to 12 bytes
  std::copy_n(KYR_THEME_FILE_MAGIC, 10, file.begin());
  AppendUInt32LE(file, KYR_THEME_HEADER_SIZE);
  AppendUInt32LE(file, 0);
  AppendUInt32LE(file, KYR_THEME_HEADER_SIZE);
  const uint32_t records = static_cast<uint32_t>(entries.size()) + 1;  // with the terminator
  uint32_t data = KYR_THEME_HEADER_SIZE + KYR_THEME_RECORD_SIZE * records;
  for (uint32_t i = 0; i < records; ++i) {
    const bool terminator = i == records - 1;
    std::string name = terminator ? "" : entries[i].Name.substr(0, KYR_THEME_NAME_SIZE);
    name.resize(KYR_THEME_NAME_SIZE, '\0');
    file.insert(file.end(), name.begin(), name.end());
    file.push_back(terminator ? 0 : entries[i].Kind);
    const uint32_t length = terminator ? 0 : static_cast<uint32_t>(entries[i].Data.size());
    AppendUInt32LE(file, terminator ? 0 : data);
    AppendUInt32LE(file, length);
    AppendUInt32LE(file, terminator ? 0 : KYR_THEME_HEADER_SIZE + KYR_THEME_RECORD_SIZE * (i + 1));
    data += length;
  }
  for (const ThemeEntry& e : entries) file.insert(file.end(), e.Data.begin(), e.Data.end());
  return file;
}

ThemeEntry ParseThemeValue(int element, const std::string& text, const std::string& where) {
  const std::string key = GetThemeElementKey(element);
  int32_t number = 0;
  uint32_t color = 0;
  uint8_t flag = 0;
  switch (GetThemeElementKind(element)) {
    case kyrThemeInt:
      if (!TryStrToInt32(text, number)) throw EToolRefusal(where + ": \"" + text + "\" is not an integer for " + key);
      return {kyrEntryInteger, key, Int32Bytes(static_cast<uint32_t>(number))};
    case kyrThemeColor:
      if (!ParseColor(text, color))
        throw EToolRefusal(where + ": \"" + text + "\" is not a colour ($00BBGGRR or #RRGGBB) for " + key);
      return {kyrEntryInteger, key, Int32Bytes(color)};
    case kyrThemeBool:
      if (!ParseBoolByte(text, flag))
        throw EToolRefusal(where + ": \"" + text + "\" is not a boolean (true, false or 0..255) for " + key);
      return {kyrEntryBoolean, key, {flag}};
    default:
      throw EToolRefusal(where + ": " + key + " is an image element; give it as " + key + ".bmp");
  }
}

void PackTheme(const std::string& folder, const std::string& file) {
  if (!fs::is_directory(folder)) throw EToolRefusal(folder + " is not a folder");
  std::vector<fs::path> paths;
  for (const fs::directory_entry& item : fs::directory_iterator(folder)) paths.push_back(item.path());
  std::sort(paths.begin(), paths.end());
  PackedEntries entries;
  for (const fs::path& path : paths) {
    if (path.filename() == kThemeTextName) {
      PackText(path.string(), entries);
    } else if (LowerCase(path.extension().string()) == ".bmp") {
      PackBitmap(path, entries);
    } else {
      throw EToolRefusal(path.filename().string() + ": not a theme element (expected " + kThemeTextName +
                         " and KEY.bmp files)");
    }
  }
  std::vector<ThemeEntry> ordered;
  for (auto& [element, entry] : entries) ordered.push_back(std::move(entry));
  WriteWholeFile(file, BuildThemeFile(ordered));
}

void UnpackTheme(const std::string& file, const std::string& folder, std::ostream& notes) {
  const auto reader = OpenThemeFile(file);
  fs::create_directories(folder);
  std::string text;
  std::set<int> done;
  for (const TkyrThemeFileReader::Entry& entry : reader->Entries()) {
    const std::string skip = UnpackSkipReason(entry, done);
    if (!skip.empty()) {
      notes << "skipped entry " << Quoted(entry.Name) << ": " << skip << "\n";
      continue;
    }
    const int element = FindThemeElement(entry.Name);
    const std::string key = GetThemeElementKey(element);
    if (entry.Image) {
      WriteWholeFile(PathJoin(folder, key + ".bmp"), entry.Image->Bytes());
    } else {
      text += key + " = " + FormatValue(element, entry.Value) + "\n";
    }
  }
  WriteWholeFile(PathJoin(folder, kThemeTextName), std::vector<uint8_t>(text.begin(), text.end()));
}

void DumpTheme(const std::string& file, std::ostream& out) {
  const auto reader = OpenThemeFile(file);
  for (const TkyrThemeFileReader::Entry& entry : reader->Entries()) {
    out << KindWord(entry.Kind) << " " << Quoted(entry.Name) << " ";
    if (entry.Image) {
      out << ImageSummary(*entry.Image);
    } else {
      out << (entry.Kind == kyrEntryText ? Quoted(entry.Value) : entry.Value);
    }
    out << "\n";
  }
  for (int element = 1; element <= KYR_THEME_ELEMENT_COUNT; ++element) {
    const std::string key = GetThemeElementKey(element);
    TStream* image = reader->GetStream(key);
    out << key << " int=" << reader->GetInteger(key) << " bool=" << (reader->GetBool(key) ? "true" : "false")
        << " image=" << (image ? ImageSummary(*image) : "none") << "\n";
  }
}

namespace {

TkyrUIStyle ParseStyle(const std::string& name) {
  const struct {
    const char* Name;
    TkyrUIStyle Style;
  } styles[] = {{"macos", MacOS}, {"winxp", WinXP}, {"deepblue", DeepBlue}, {"protein", Protein}, {"blueglass", BlueGlass}};
  for (const auto& s : styles) {
    if (LowerCase(name) == s.Name) return s.Style;
  }
  throw EToolRefusal("unknown style \"" + name + "\" (MacOS, WinXP, DeepBlue, Protein or BlueGlass)");
}

// The .bmp file of the built-in bitmap NAME, as compiled into this program.
std::vector<uint8_t> BuiltinBitmapFile(const char* name) {
  for (const TEmbeddedFile& file : BuiltinBitmapFiles()) {
    if (std::strcmp(file.Name, name) == 0) return {file.Data, file.Data + file.Size};
  }
  throw EToolRefusal(std::string("the built-in bitmap ") + name + " is missing from this program");
}

}  // namespace

void ExportStyle(const std::string& styleName, const std::string& file) {
  const TkyrUIStyle style = ParseStyle(styleName);
  std::vector<ThemeEntry> entries;
  for (int element = 1; element <= KYR_THEME_ELEMENT_COUNT; ++element) {
    const std::string key = GetThemeElementKey(element);
    switch (GetThemeElementKind(element)) {
      case kyrThemeImage:
        if (*GetBuiltinImageName(style, element))
          entries.push_back({kyrEntryImage, key, BuiltinBitmapFile(GetBuiltinImageName(style, element))});
        break;
      case kyrThemeBool: entries.push_back({kyrEntryBoolean, key, {GetBuiltinBool(style, element)}}); break;
      case kyrThemeInt:
        entries.push_back({kyrEntryInteger, key, Int32Bytes(static_cast<uint32_t>(GetBuiltinInt(style, element)))});
        break;
      case kyrThemeColor:
        entries.push_back({kyrEntryInteger, key, Int32Bytes(static_cast<uint32_t>(GetBuiltinColor(style, element)))});
        break;
    }
  }
  WriteWholeFile(file, BuildThemeFile(entries));
}
