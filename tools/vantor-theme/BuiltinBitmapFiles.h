// The built-in skin bitmaps (skin/res/*.bmp) as whole .bmp files inside the program, by their
// resource name ("MACOS_TITLE_LEFT"), sorted by name. The definition is generated at build
// time (cmake/EmbedFiles.cmake), so the native and the Windows tool export the same bytes.
#pragma once

#include <cstddef>
#include <span>

struct TEmbeddedFile {
  const char* Name;
  const unsigned char* Data;
  size_t Size;
};

std::span<const TEmbeddedFile> BuiltinBitmapFiles();
