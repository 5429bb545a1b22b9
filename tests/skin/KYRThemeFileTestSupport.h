// Builds theme files byte by byte for tests, so that malformed files are easy to make:
// header at 0, then the records in the order added (record i at 24 + 77*i), then the
// terminator record, then the data of every entry in the same order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

class ThemeFileBytes {
public:
  ThemeFileBytes& Add(uint8_t kind, const std::string& name, const Bytes& data) {
    entries_.push_back({kind, name, data});
    return *this;
  }
  ThemeFileBytes& Int(const std::string& name, int32_t value) {
    return Add(1, name, LE32(static_cast<uint32_t>(value)));
  }
  ThemeFileBytes& Bool(const std::string& name, uint8_t value) { return Add(2, name, {value}); }
  ThemeFileBytes& Image(const std::string& name, const Bytes& data) { return Add(0, name, data); }
  ThemeFileBytes& Text(const std::string& name, const std::string& text) {
    return Add(3, name, Bytes(text.begin(), text.end()));
  }
  // The name, kind and data that the terminator record carries (never loaded).
  ThemeFileBytes& Terminator(uint8_t kind, const std::string& name, const Bytes& data) {
    terminator_ = {kind, name, data};
    return *this;
  }

  static uint32_t RecordOffset(size_t i) { return 24 + 77 * static_cast<uint32_t>(i); }
  // Offsets of the fields of record I.
  static uint32_t KindAt(size_t i) { return RecordOffset(i) + 64; }
  static uint32_t DataOffsetAt(size_t i) { return RecordOffset(i) + 65; }
  static uint32_t DataLengthAt(size_t i) { return RecordOffset(i) + 69; }
  static uint32_t NextAt(size_t i) { return RecordOffset(i) + 73; }

  Bytes Build() const {
    Bytes file = {'T', 'e', 's', 's', 'a', 'r', 'n', '_', 'T', 'B', 0, 0};
    Append(file, LE32(24));
    Append(file, LE32(0));
    Append(file, LE32(RecordOffset(0)));
    uint32_t data = RecordOffset(entries_.size() + 1);
    for (size_t i = 0; i <= entries_.size(); ++i) {
      const Entry& e = i < entries_.size() ? entries_[i] : terminator_;
      std::string name = e.Name;
      name.resize(64, '\0');
      file.insert(file.end(), name.begin(), name.end());
      file.push_back(e.Kind);
      Append(file, LE32(data));
      Append(file, LE32(static_cast<uint32_t>(e.Data.size())));
      Append(file, LE32(i < entries_.size() ? RecordOffset(i + 1) : 0));
      data += static_cast<uint32_t>(e.Data.size());
    }
    for (const Entry& e : entries_) Append(file, e.Data);
    Append(file, terminator_.Data);
    return file;
  }

  static Bytes LE32(uint32_t v) { return {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
  static void Put32(Bytes& file, uint32_t offset, uint32_t v) {
    const Bytes b = LE32(v);
    std::copy(b.begin(), b.end(), file.begin() + offset);
  }

private:
  struct Entry {
    uint8_t Kind;
    std::string Name;
    Bytes Data;
  };
  static void Append(Bytes& to, const Bytes& from) { to.insert(to.end(), from.begin(), from.end()); }

  std::vector<Entry> entries_;
  Entry terminator_{1, "", {}};
};
