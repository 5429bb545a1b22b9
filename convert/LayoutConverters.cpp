#include "convert/LayoutConverters.h"

#include "framework/core/AtomicFile.h"
#include "framework/core/Streams.h"

namespace {

// COUNT bytes from the input's position; CopyFrom would take a count of 0 as "everything".
void CopyExactly(TStream& output, TStream& input, int64_t count) {
  if (count > 0) output.CopyFrom(input, count);
}

TProjectorLayout ChosenLayout(TStream& stub, const std::string& stubPath, std::optional<TProjectorLayout> requested) {
  const std::optional<TProjectorLayout> layout = requested ? requested : LayoutOfStub(stub);
  if (!layout) throw EUnknownStubLayout(stubPath);
  if (*layout == TProjectorLayout::Windows) return *layout;
  const TElfImage elf = MeasureElfImage(stub);
  if (elf.status == TElfStatus::Measured && elf.end < stub.Size()) throw EStubNotBare(stubPath, stub.Size() - elf.end);
  return *layout;
}

}  // namespace

// Every input is closed before Commit, which must be able to replace an input.
void ExtractProjectorPart(const std::string& projectorPath, const std::string& outputPath, TProjectorPart part,
                          IConvertReport& report) {
  std::optional<TFileStream> input(std::in_place, projectorPath, fmOpenRead);
  const TProjectorMovie movie = LocateMovie(*input);
  if (!movie.found) {
    report.Report(NotFlashExeText);
    return;
  }
  const bool wantMovie = part == TProjectorPart::Movie;
  input->SetPosition(wantMovie ? movie.movieStart : 0);
  TAtomicFile output(outputPath);
  CopyExactly(output.Stream(), *input, wantMovie ? movie.movieLength : movie.stubSize);
  input.reset();
  output.Commit();
  report.Report(ConvertSuccessText);
}

// The order of BuildProjector: the output is judged first, and the stub is closed before
// the movie is opened (they may be the same file, and inputs are opened unshared).
void BuildLayoutProjector(const std::string& moviePath, const std::string& projectorPath,
                          const std::string& stubPath, std::optional<TProjectorLayout> layout,
                          IConvertReport& report) {
  if (!TAtomicFile::TargetReplaceable(projectorPath)) throw EFCreateError(projectorPath);
  TAtomicFile output(projectorPath);
  TProjectorLayout chosen;
  {
    TFileStream stub(stubPath, fmOpenRead);
    chosen = ChosenLayout(stub, stubPath, layout);
    output.Stream().CopyFrom(stub, 0);
  }
  {
    TFileStream movie(moviePath, fmOpenRead);
    // The length is taken once and exactly that many bytes are copied, so the header
    // written before the movie cannot disagree with it.
    const int64_t length = movie.Size();
    if (uint64_t(length) > MaxMovieLength(chosen)) throw EMovieTooLarge(moviePath);
    WriteMovieHeader(output.Stream(), chosen, uint64_t(length));
    movie.SetPosition(0);
    CopyExactly(output.Stream(), movie, length);
    WriteMovieTrailer(output.Stream(), chosen, uint64_t(length));
  }
  output.Commit();
  report.Report(ConvertSuccessText);
}
