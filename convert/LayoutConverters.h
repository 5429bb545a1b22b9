// The converters of the command-line tool, over every projector layout (ProjectorLayout.h).
// The program's own ExtractMovie and BuildProjector (Projector.h) stay Windows-only. Like
// them, these stream through TStream::CopyFrom, report through IConvertReport and write
// through TAtomicFile: a failure leaves the output path as it was, and an output may be
// one of the inputs.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "convert/PeFace.h"
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

// Only a Windows player carries an icon and version information.
class EFaceNeedsWindows : public Exception {
public:
  explicit EFaceNeedsWindows(TProjectorLayout layout)
      : Exception(std::string("An icon or version information needs the windows layout, not ") +
                  ProjectorLayoutName(layout)) {}
};

// The stub's resources cannot be read or rewritten; WHY says what stands in the way.
class EStubResources : public Exception {
public:
  EStubResources(const std::string& path, const std::string& why)
      : Exception("Cannot write an icon or version information into " + path + ": " + why) {}
};

class EIconFile : public Exception {
public:
  EIconFile(const std::string& path, const std::string& why) : Exception("Cannot use " + path + " as icon: " + why) {}
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
// A FACE that is not empty goes into the stub's copy (ReplaceMainIcon, ApplyVersionInfo,
// WritePeWithResources): EFaceNeedsWindows for another layout, EIconFile for an icon file
// that is none, EStubResources for a stub whose resources cannot be rewritten. Returns
// what people should know besides success (a signature that had to go).
std::vector<std::string> BuildLayoutProjector(const std::string& moviePath, const std::string& projectorPath,
                                              const std::string& stubPath, std::optional<TProjectorLayout> layout,
                                              IConvertReport& report, const TProjectorFace& face = {});
