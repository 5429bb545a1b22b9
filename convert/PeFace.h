// A program's face in its resources: the icon group the shell shows and the version
// information, changed and read over the resource list of PeResources.h. Portable.
//
// An icon group (RT_GROUP_ICON) is the icon file's 6-byte header followed by one 14-byte
// entry per image: the first 12 bytes of the file's 16-byte entry, then the number of the
// RT_ICON resource that holds the image's bytes. The shell shows the first group in
// directory order, which this unit calls the main one.
//
// Version information (RT_VERSION) is a tree of blocks, each {uint16 length, uint16 value
// length (in characters for text, bytes for binary values), uint16 type (1 text, 0 binary),
// key as UTF-16 with its terminator, padding to 4, value, padding to 4, children}: the root
// "VS_VERSION_INFO" holds the fixed part (VS_FIXEDFILEINFO, signature 0xFEEF04BD), then
// "StringFileInfo" with one table per language and code page (key "040904B0": language
// 0x0409, code page 1200) of key/text pairs, and "VarFileInfo" with "Translation".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "convert/PeResources.h"

// A four-part version A.B.C.D, each part 0 to 65535.
struct TFileVersion {
  std::array<uint16_t, 4> parts{};
  std::string Text() const;
  bool operator==(const TFileVersion&) const = default;
};

// "1.2.3.4"; nothing for anything else (fewer or more parts, signs, spaces, parts over 65535).
std::optional<TFileVersion> ParseFileVersion(const std::string& text);

using TVersionStrings = std::vector<std::pair<std::string, std::string>>;  // key, text (UTF-8)

// What a projector is to carry besides its player.
struct TProjectorFace {
  std::string iconPath;  // an .ico file; empty for none
  TVersionStrings strings;
  std::optional<TFileVersion> fileVersion, productVersion;
  bool Empty() const { return iconPath.empty() && strings.empty() && !fileVersion && !productVersion; }
  bool HasVersion() const { return !strings.empty() || fileVersion || productVersion; }
};

// The language of the program's resources: that of its version information, else of its
// main icon group, else US English (0x0409).
uint16_t ResourceLanguage(const std::vector<TPeResource>& resources);

// Replaces the main icon group and its images (or adds group 1 when there is none) with
// every image of the icon file ICON, in the program's language; EInvalidIcon when ICON is
// no icon file.
void ReplaceMainIcon(std::vector<TPeResource>& resources, const std::vector<uint8_t>& icon);

// Writes FACE's versions and strings into the program's version information (its fixed
// part and the string table of its language), which is made when there is none; a version
// also sets the string of the same name unless FACE gives that string itself. EPeFormat
// when the existing version information is malformed.
void ApplyVersionInfo(std::vector<TPeResource>& resources, const TProjectorFace& face);

// What the shell shows of a program: the sizes of its main icon group ("16x16"), its two
// versions and the strings of its first string table, in their order.
struct TPeFace {
  std::vector<std::string> iconSizes;
  std::optional<TFileVersion> fileVersion, productVersion;
  TVersionStrings strings;
};
TPeFace ReadPeFace(const std::vector<TPeResource>& resources);
