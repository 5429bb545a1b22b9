// The converters of the command-line tool, over every projector layout (ProjectorLayout.h).
// The program's own ExtractMovie and BuildProjector (Projector.h) stay Windows-only. Like
// them, these stream through TStream::CopyFrom, report through IConvertReport and write
// through TAtomicFile: a failure leaves the output path as it was, and an output may be
// one of the inputs.
#pragma once

#include <optional>
#include <string>

#include "convert/Projector.h"
#include "convert/ProjectorLayout.h"

// A stub whose layout cannot be told, when none was given.
class EUnknownStubLayout : public Exception {
public:
  explicit EUnknownStubLayout(const std::string& path)
      : Exception("Cannot tell the projector layout of " + path + ": neither a PE nor a measurable ELF program") {}
};

// A Linux player looks for its movie right after its ELF image: a stub with bytes after it
// (a projector, most often) would hide the new movie.
class EStubNotBare : public Exception {
public:
  EStubNotBare(const std::string& path, int64_t extra)
      : Exception("Stub " + path + " has " + std::to_string(extra) + " bytes after its ELF image") {}
};

// The part of a projector to take out: the movie, or the player in front of it (for
// the Linux layouts, without the header that follows it).
enum class TProjectorPart { Movie, Stub };

// Copies PART of the projector at PROJECTORPATH (any layout) to OUTPUTPATH and reports
// "Convert Success."; a file in which LocateMovie finds no movie is reported "Not Flash
// EXE." and nothing is written.
void ExtractProjectorPart(const std::string& projectorPath, const std::string& outputPath, TProjectorPart part,
                          IConvertReport& report);

// Writes the stub, the movie and LAYOUT's header or trailer to PROJECTORPATH and reports
// "Convert Success.". Without a LAYOUT it is the one the stub calls for (LayoutOfStub),
// else EUnknownStubLayout. A movie longer than the layout can describe raises
// EMovieTooLarge; an ELF stub with bytes after its image, for a Linux layout, EStubNotBare.
void BuildLayoutProjector(const std::string& moviePath, const std::string& projectorPath,
                          const std::string& stubPath, std::optional<TProjectorLayout> layout,
                          IConvertReport& report);
