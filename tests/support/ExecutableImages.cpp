#include "tests/support/ExecutableImages.h"

#include <algorithm>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Field positions of one class, as in the ELF headers.
struct TClassFields {
  size_t header, word, phoff, shoff, phentsize, ph, phOffset, phFileSize, sh, shOffset, shSize;
};
constexpr TClassFields Fields32{52, 4, 28, 32, 42, 32, 4, 16, 40, 16, 20};
constexpr TClassFields Fields64{64, 8, 32, 40, 54, 56, 8, 32, 64, 24, 32};

class TImageWriter {
public:
  explicit TImageWriter(bool bigEndian) : bigEndian_(bigEndian) {}
  void Put(uint64_t at, uint64_t value, size_t width) {
    if (bytes_.size() < at + width) bytes_.resize(at + width);
    for (size_t i = 0; i < width; ++i) bytes_[at + (bigEndian_ ? width - 1 - i : i)] = uint8_t(value >> (8 * i));
  }
  Bytes Take(uint64_t size) {
    Bytes pattern = PatternBytes(size, 77);
    std::copy(bytes_.begin(), bytes_.begin() + std::min<size_t>(bytes_.size(), size), pattern.begin());
    return pattern;
  }

private:
  bool bigEndian_;
  Bytes bytes_;
};

}  // namespace

Bytes ElfImageBytes(const TElfShape& shape) {
  const TClassFields& f = shape.bits == 32 ? Fields32 : Fields64;
  TImageWriter w(shape.bigEndian);
  const uint8_t ident[] = {0x7F, 'E', 'L', 'F', uint8_t(shape.elfClass ? shape.elfClass : shape.bits / 32),
                           uint8_t(shape.byteOrder ? shape.byteOrder : shape.bigEndian ? 2 : 1), shape.version};
  for (size_t i = 0; i < sizeof ident; ++i) w.Put(i, ident[i], 1);
  const uint16_t phentsize = shape.phentsize ? shape.phentsize : uint16_t(f.ph);
  const uint16_t shentsize = shape.shentsize ? shape.shentsize : uint16_t(f.sh);
  w.Put(f.phoff, shape.phoff, f.word);
  w.Put(f.shoff, shape.shoff, f.word);
  w.Put(f.phentsize, phentsize, 2);
  w.Put(f.phentsize + 2, shape.phnum >= 0 ? uint64_t(shape.phnum) : shape.segments.size(), 2);
  w.Put(f.phentsize + 4, shentsize, 2);
  w.Put(f.phentsize + 6, shape.shnum >= 0 ? uint64_t(shape.shnum) : shape.sections.size(), 2);
  for (size_t i = 0; i < shape.segments.size(); ++i) {
    const uint64_t at = shape.phoff + i * phentsize;
    w.Put(at, shape.segments[i].type, 4);
    w.Put(at + f.phOffset, shape.segments[i].offset, f.word);
    w.Put(at + f.phFileSize, shape.segments[i].size, f.word);
  }
  for (size_t i = 0; i < shape.sections.size(); ++i) {
    const uint64_t at = shape.shoff + i * shentsize;
    w.Put(at + 4, shape.sections[i].type, 4);
    w.Put(at + f.shOffset, shape.sections[i].offset, f.word);
    w.Put(at + f.shSize, shape.sections[i].size, f.word);
  }
  return w.Take(shape.size);
}

TElfShape SmallElfShape(int bits, bool bigEndian) {
  TElfShape shape;
  shape.bits = bits;
  shape.bigEndian = bigEndian;
  shape.phoff = bits == 32 ? 52 : 64;
  shape.shoff = 0x220;
  shape.segments = {{ElfLoad, 0, 0x200}};
  shape.sections = {{0, 0, 0}, {ElfProgbits, 0x80, 0x80}, {ElfNobits, 0x200, 0xE00}, {ElfProgbits, 0x200, 0x20}};
  shape.size = 0x220 + 4 * (bits == 32 ? 40 : 64);
  return shape;
}

Bytes MinimalPe(size_t size) {
  Bytes pe = PatternBytes(std::max<size_t>(size, 0x44), 88);
  const uint8_t head[] = {'M', 'Z'}, lfanew[] = {0x40, 0, 0, 0}, signature[] = {'P', 'E', 0, 0};
  std::copy(std::begin(head), std::end(head), pe.begin());
  std::copy(std::begin(lfanew), std::end(lfanew), pe.begin() + 0x3C);
  std::copy(std::begin(signature), std::end(signature), pe.begin() + 0x40);
  return pe;
}

std::string OwnExecutablePath() {
#ifdef _WIN32
  char path[MAX_PATH];
  return std::string(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
#else
  return "/proc/self/exe";
#endif
}
