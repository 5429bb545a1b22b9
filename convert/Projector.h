// The projector container (stub + movie + 8-byte trailer) and its two converters.
#pragma once

#include <cstdint>
#include <string>

#include "framework/core/SysUtils.h"

class TStream;

constexpr uint32_t ProjectorMagic = 0xFA123456;
constexpr int ProjectorTrailerSize = 8;

// The texts the converters report.
inline constexpr const char* ConvertSuccessText = "Convert Success.";
inline constexpr const char* NotFlashExeText = "Not Flash EXE.";

// Where the converters report their outcome: the message window sets its label to the
// text, then shows itself (showing a visible window changes nothing but the text).
class IConvertReport {
public:
  virtual void SetReportText(const std::string& text) = 0;
  virtual void ShowReport() = 0;
  // What every converter does at its end: the text first, then the window.
  void Report(const std::string& text) {
    SetReportText(text);
    ShowReport();
  }

protected:
  ~IConvertReport() = default;
};

// The trailer cannot describe a movie of 4 GiB or more.
class EMovieTooLarge : public Exception {
public:
  explicit EMovieTooLarge(const std::string& path)
      : Exception("Movie too large for a projector (4 GiB or more): " + path) {}
};

// What the last 8 bytes of a file say about it.
struct TProjectorTrailer {
  bool hasMagic = false;     // the trailer begins with ProjectorMagic
  uint32_t movieLength = 0;  // L, when hasMagic
  int64_t fileSize = 0;
  // A movie can be extracted: magic, a non-zero length, and room for it before the trailer.
  bool Valid() const { return hasMagic && movieLength != 0 && movieLength + int64_t{8} <= fileSize; }
  int64_t MovieStart() const { return fileSize - ProjectorTrailerSize - movieLength; }
};

// Reads the trailer of INPUT, a stream positioned at its start. An input of fewer than 4
// bytes raises EReadError; in one of 4 to 7 bytes the magic is read from the start (the
// seek 8 bytes before the end is ignored), and the length after it is then missing.
TProjectorTrailer ReadProjectorTrailer(TStream& input);

// Copies the movie of the projector at PROJECTORPATH to MOVIEPATH and reports "Convert
// Success."; a file without the magic, or with a length of 0, is reported "Not Flash EXE.".
// Errors propagate: "Cannot open file", "Cannot create file", "Stream read error" (also
// for a length larger than the file can hold). Whatever fails, nothing is written to
// MOVIEPATH: a file already there stays as it was. MOVIEPATH may be PROJECTORPATH.
void ExtractMovie(const std::string& projectorPath, const std::string& moviePath, IConvertReport& report);

// Writes STUBPATH's bytes, then MOVIEPATH's, then the trailer, to PROJECTORPATH and reports
// "Convert Success.". A movie of 4 GiB or more raises EMovieTooLarge before anything is
// created. As for ExtractMovie, a failure leaves PROJECTORPATH as it was.
void BuildProjector(const std::string& moviePath, const std::string& projectorPath,
                    const std::string& stubPath, IConvertReport& report);
