#include "convert/Projector.h"

#include <optional>

#include "framework/core/AtomicFile.h"
#include "framework/core/Streams.h"

constexpr int64_t MaxMovieSize = int64_t{1} << 32;

TProjectorTrailer ReadProjectorTrailer(TStream& input) {
  TProjectorTrailer trailer;
  trailer.fileSize = input.Size();
  input.Seek(-ProjectorTrailerSize, TSeekOrigin::soEnd);
  trailer.hasMagic = input.ReadUInt32LE() == ProjectorMagic;
  if (trailer.hasMagic) trailer.movieLength = input.ReadUInt32LE();
  return trailer;
}

// Outputs go through TAtomicFile: a failure never truncates a file already at the output
// path, and the output may be the input itself. Every input is closed before Commit.
void ExtractMovie(const std::string& projectorPath, const std::string& moviePath, IConvertReport& report) {
  std::optional<TFileStream> input(std::in_place, projectorPath, fmOpenRead);
  const TProjectorTrailer trailer = ReadProjectorTrailer(*input);
  if (!trailer.hasMagic || trailer.movieLength == 0) {
    report.Report(NotFlashExeText);
    return;
  }
  if (!trailer.Valid()) throw EReadError();  // the length claims more than the file holds
  input->SetPosition(trailer.MovieStart());
  TAtomicFile output(moviePath);
  output.Stream().CopyFrom(*input, trailer.movieLength);
  input.reset();
  output.Commit();
  report.Report(ConvertSuccessText);
}

void BuildProjector(const std::string& moviePath, const std::string& projectorPath,
                    const std::string& stubPath, IConvertReport& report) {
  if (FileSizeByName(moviePath) >= MaxMovieSize) throw EMovieTooLarge(moviePath);
  // The output comes first, before any input is opened: an output in use is reported as
  // such even when the stub is missing too.
  if (!TAtomicFile::TargetReplaceable(projectorPath)) throw EFCreateError(projectorPath);
  TAtomicFile output(projectorPath);
  {
    TFileStream stub(stubPath, fmOpenRead);
    output.Stream().CopyFrom(stub, 0);
  }
  {
    TFileStream movie(moviePath, fmOpenRead);
    if (movie.Size() >= MaxMovieSize) throw EMovieTooLarge(moviePath);
    output.Stream().CopyFrom(movie, 0);
    output.Stream().WriteUInt32LE(ProjectorMagic);
    output.Stream().WriteUInt32LE(static_cast<uint32_t>(movie.Size()));
  }
  output.Commit();
  report.Report(ConvertSuccessText);
}
