// Executable images written byte by byte for the projector-layout tests: ELF files of
// either class and byte order with chosen header tables, segments and sections, a minimal
// PE file, and the running test program itself as a real executable of the platform.
#pragma once

#include <string>

#include "tests/support/TestSupport.h"

// One entry of a program (type unused) or section header table.
struct TElfEntry {
  uint32_t type;
  uint64_t offset, size;
};
constexpr uint32_t ElfProgbits = 1, ElfNobits = 8, ElfLoad = 1;

struct TElfShape {
  int bits = 64;
  bool bigEndian = false;
  uint8_t elfClass = 0, byteOrder = 0, version = 1;  // 0: from bits and bigEndian
  uint64_t phoff = 0, shoff = 0;
  uint16_t phentsize = 0, shentsize = 0;             // 0: the class's entry sizes
  int phnum = -1, shnum = -1;                        // -1: the number of entries given
  std::vector<TElfEntry> segments, sections;
  uint64_t size = 0;                                 // the file is cut or padded to this
};

// The bytes SHAPE describes: header, tables and a pattern everywhere else.
Bytes ElfImageBytes(const TElfShape& shape);

// A small well-formed program: one loaded segment [0, 0x200), .text inside it, a .bss
// beyond the file (NOBITS), .shstrtab at 0x200, and the section table of 4 entries at
// 0x220, which ends the image (0x2C0 for 32 bits, 0x320 for 64).
TElfShape SmallElfShape(int bits, bool bigEndian = false);
inline Bytes SmallElf(int bits, bool bigEndian = false) { return ElfImageBytes(SmallElfShape(bits, bigEndian)); }

// SIZE bytes (at least 0x44) starting "MZ", with e_lfanew pointing to "PE\0\0" at 0x40.
Bytes MinimalPe(size_t size);

// The path of the running test program: an ELF natively, a PE in the Windows build.
std::string OwnExecutablePath();
