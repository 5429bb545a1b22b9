// What the converter tests share: a report that records its calls, error capture, and
// containers assembled by hand (independently of BuildProjector).
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "convert/Projector.h"
#include "tests/support/TestSupport.h"

struct RecordingReport : IConvertReport {
  std::vector<std::string> calls;
  void SetReportText(const std::string& text) override { calls.push_back("text:" + text); }
  void ShowReport() override { calls.push_back("show"); }
};

inline const std::vector<std::string> ReportedSuccess{"text:Convert Success.", "show"};
inline const std::vector<std::string> ReportedNotFlash{"text:Not Flash EXE.", "show"};

// The message of the framework error F raises, or "(no error)".
template <class F>
std::string ErrorOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(no error)";
}

inline Bytes TrailerBytes(uint32_t magic, uint32_t length) {
  Bytes t;
  for (uint32_t v : {magic, length})
    for (int shift = 0; shift < 32; shift += 8) t.push_back(static_cast<uint8_t>(v >> shift));
  return t;
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes all;
  for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

inline Bytes LittleEndian(uint64_t value, int width) {
  Bytes bytes;
  for (int i = 0; i < width; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
  return bytes;
}

// The headers of the Linux layouts, written out from their description.
inline const Bytes Marker64{0x56, 0x34, 0x12, 0xFA, 0xFF, 0xFF, 0xFF, 0xFF};
inline Bytes Linux32Header(uint64_t length) { return Concat({LittleEndian(length, 4), {0x56, 0x34, 0x12, 0xFA}}); }
inline Bytes Linux64Header(uint64_t length) { return Concat({LittleEndian(length, 8), Marker64}); }

inline std::vector<std::string> SortedListing(const TempDir& dir) {
  std::vector<std::string> names = ListFolder(dir.Path());
  std::sort(names.begin(), names.end());
  return names;
}
