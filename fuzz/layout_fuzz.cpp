// Feeds arbitrary bytes to the ELF measurement and the movie locator. Beyond not crashing:
// a measured image keeps its end when cut to it or extended, and loses it when cut by one
// byte; a movie framed behind a measured image by the writer is found exactly where it
// was put; whatever the locator finds has the right bytes around it, and a non-ELF input
// is a Windows projector exactly when its last 8 bytes say so.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "convert/ProjectorLayout.h"
#include "framework/core/Streams.h"

namespace {

using Bytes = std::vector<uint8_t>;
using L = TProjectorLayout;

void Check(bool ok) {
  if (!ok) abort();
}

TElfImage Measure(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  return MeasureElfImage(stream);
}

TProjectorMovie Locate(const Bytes& bytes) {
  TMemoryStream stream(bytes);
  return LocateMovie(stream);
}

uint64_t Le(const uint8_t* p, int width) {
  uint64_t value = 0;
  for (int i = 0; i < width; ++i) value |= uint64_t(p[i]) << (8 * i);
  return value;
}

// The Linux header, from the layout's description rather than from the writer.
Bytes LinuxHeader(L layout, uint64_t length) {
  const int width = layout == L::Linux64 ? 8 : 4;
  Bytes header;
  for (int i = 0; i < width; ++i) header.push_back(uint8_t(length >> (8 * i)));
  for (uint8_t b : {0x56, 0x34, 0x12, 0xFA}) header.push_back(b);
  if (width == 8) header.insert(header.end(), 4, 0xFF);
  return header;
}

void CheckMeasuredImage(const Bytes& input, const TElfImage& image) {
  Check(image.problem.empty() && image.end >= (image.bits == 32 ? 52 : 64) && uint64_t(image.end) <= input.size());
  const Bytes stub(input.begin(), input.begin() + image.end);
  Check(Measure(stub).end == image.end);
  Check(Measure(Bytes(stub.begin(), stub.end() - 1)).status != TElfStatus::Measured);
  TMemoryStream stubStream(stub);
  Check(LayoutOfStub(stubStream) == (image.bits == 32 ? L::Linux32 : L::Linux64));

  // The rest of the input, framed by the writer as the movie behind the image.
  const Bytes movie(input.begin() + image.end, input.end());
  for (L layout : {L::Linux32, L::Linux64}) {
    TMemoryStream projector(stub);
    projector.Seek(0, TSeekOrigin::soEnd);
    WriteMovieHeader(projector, layout, movie.size());
    Check(Bytes(projector.Bytes().begin() + image.end, projector.Bytes().end()) == LinuxHeader(layout, movie.size()));
    projector.WriteBuffer(movie.data(), int64_t(movie.size()));
    const TProjectorMovie found = Locate(projector.Bytes());
    const int64_t headerSize = int64_t(LinuxHeader(layout, 0).size());
    Check(found.found && found.layout == layout && found.stubSize == image.end &&
          found.movieStart == image.end + headerSize && found.movieLength == int64_t(movie.size()));
  }
}

void CheckLinuxFind(const Bytes& input, const TProjectorMovie& found) {
  Check(Measure(input).end == found.stubSize);
  const Bytes header = LinuxHeader(found.layout, uint64_t(found.movieLength));
  Check(found.movieStart == found.stubSize + int64_t(header.size()));
  Check(uint64_t(found.movieStart + found.movieLength) == input.size());
  Check(std::memcmp(input.data() + found.stubSize, header.data(), header.size()) == 0);
}

void CheckWindowsFind(const Bytes& input, const TProjectorMovie& found) {
  const size_t size = input.size();
  Check(size >= 8 && Le(&input[size - 8], 4) == 0xFA123456 && uint64_t(found.movieLength) == Le(&input[size - 4], 4));
  Check(found.stubSize == found.movieStart && uint64_t(found.movieStart) == size - 8 - uint64_t(found.movieLength));
}

void CheckLocate(const Bytes& input, const TElfImage& image) {
  const TProjectorMovie found = Locate(input);
  Check(found.found == found.whyNot.empty());
  if (found.found && found.layout != L::Windows) {
    Check(image.status == TElfStatus::Measured);
    CheckLinuxFind(input, found);
  } else if (found.found) {
    CheckWindowsFind(input, found);
  }
  if (image.status != TElfStatus::Measured) {
    const size_t size = input.size();
    const bool trailer = size >= 8 && Le(&input[size - 8], 4) == 0xFA123456 && Le(&input[size - 4], 4) <= size - 8;
    Check(found.found == trailer);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const Bytes input(data, data + size);
  const TElfImage image = Measure(input);
  if (image.status == TElfStatus::Measured) CheckMeasuredImage(input, image);
  else Check(image.end == 0 && (image.status == TElfStatus::NotElf) == image.problem.empty());
  CheckLocate(input, image);
  return 0;
}
