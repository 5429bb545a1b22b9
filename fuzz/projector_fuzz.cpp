// Feeds arbitrary bytes to the trailer reader and to ExtractMovie (through real files in
// a private folder): the outcome must be exactly what the container layout says, and no
// output may appear unless the movie was extracted whole.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "convert/Projector.h"
#include "framework/core/Streams.h"

namespace {

enum class Outcome { Success, NotFlash, ReadError };

struct Expected {
  Outcome outcome;
  size_t movieStart = 0, movieLength = 0;
};

uint32_t Le32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }

// The layout, computed independently of the reader: the magic is read 8 bytes before the
// end, or from the start when there are not 8 bytes; the length follows it.
Expected Model(const uint8_t* data, size_t size) {
  if (size < 4) return {Outcome::ReadError};
  const size_t at = size >= 8 ? size - 8 : 0;
  if (Le32(data + at) != 0xFA123456) return {Outcome::NotFlash};
  if (at + 8 > size) return {Outcome::ReadError};
  const uint32_t length = Le32(data + at + 4);
  if (length == 0) return {Outcome::NotFlash};
  if (length > size - 8) return {Outcome::ReadError};
  return {Outcome::Success, size - 8 - length, length};
}

struct QuietReport : IConvertReport {
  std::string text;
  int shown = 0;
  void SetReportText(const std::string& t) override { text = t; }
  void ShowReport() override { ++shown; }
};

const std::string& Folder() {
  static const std::string folder = [] {
    const char* base = std::getenv("VANTOR_FUZZ_TMP");
    std::string f = std::string(base ? base : "/dev/shm") + "/vantor-projector-fuzz-" + std::to_string(getpid());
    mkdir(f.c_str(), 0700);
    return f;
  }();
  return folder;
}

void Check(bool ok) {
  if (!ok) abort();
}

void CheckTrailerReader(const uint8_t* data, size_t size, const Expected& expected) {
  TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  try {
    const TProjectorTrailer t = ReadProjectorTrailer(stream);
    Check(expected.outcome != Outcome::ReadError || (t.hasMagic && !t.Valid()));
    Check(t.Valid() == (expected.outcome == Outcome::Success));
    if (!t.Valid()) return;
    Check(size_t(t.MovieStart()) == expected.movieStart && t.movieLength == expected.movieLength);
    TMemoryStream movie;
    stream.SetPosition(t.MovieStart());
    Check(movie.CopyFrom(stream, t.movieLength) == t.movieLength);
    Check(std::memcmp(movie.Memory(), data + expected.movieStart, expected.movieLength) == 0);
  } catch (const EReadError&) {
    Check(expected.outcome == Outcome::ReadError && size < 8);
  }
}

void CheckExtract(const uint8_t* data, size_t size, const Expected& expected) {
  const std::string in = Folder() + "/in.exe", out = Folder() + "/out.swf";
  FILE* f = std::fopen(in.c_str(), "wb");
  Check(f && std::fwrite(data, 1, size, f) == size);
  std::fclose(f);
  QuietReport report;
  Outcome got = Outcome::Success;
  try {
    ExtractMovie(in, out, report);
    got = report.text == NotFlashExeText ? Outcome::NotFlash : Outcome::Success;
    Check(report.shown == 1);
  } catch (const EReadError&) {
    got = Outcome::ReadError;
  }
  Check(got == expected.outcome);
  FILE* o = std::fopen(out.c_str(), "rb");
  Check((o != nullptr) == (got == Outcome::Success));
  if (!o) return;
  std::string bytes(expected.movieLength + 1, '\0');
  Check(std::fread(bytes.data(), 1, bytes.size(), o) == expected.movieLength);
  std::fclose(o);
  Check(std::memcmp(bytes.data(), data + expected.movieStart, expected.movieLength) == 0);
  std::remove(out.c_str());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Expected expected = Model(data, size);
  CheckTrailerReader(data, size, expected);
  CheckExtract(data, size, expected);
  return 0;
}
