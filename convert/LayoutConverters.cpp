#include "convert/LayoutConverters.h"

#include "framework/core/AtomicFile.h"
#include "framework/core/IconFile.h"
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

std::vector<uint8_t> ReadIconFile(const std::string& path) {
  TFileStream file(path, fmOpenRead);
  std::vector<uint8_t> bytes(static_cast<size_t>(file.Size()));
  file.ReadBuffer(bytes.data(), file.Size());
  try {
    ReadIconDirectory(bytes.data(), bytes.size());
  } catch (const EInvalidIcon& e) {
    throw EIconFile(path, e.Message());
  }
  return bytes;
}

// The stub with FACE in its resources; the movie follows it as it would follow the stub.
std::vector<std::string> WriteFacedStub(TStream& stub, const std::string& stubPath, const std::vector<uint8_t>& icon,
                                        const TProjectorFace& face, TStream& out) {
  TPeRewriteOutcome outcome;
  try {
    const TPeImage image = ReadPeImage(stub);
    std::vector<TPeResource> resources = ReadPeResources(stub, image);
    if (!icon.empty()) ReplaceMainIcon(resources, icon);
    if (face.HasVersion()) ApplyVersionInfo(resources, face);
    outcome = WritePeWithResources(stub, image, resources, out);
  } catch (const EPeFormat& e) {
    throw EStubResources(stubPath, e.Message());
  }
  if (!outcome.signatureDropped) return {};
  return {"the stub's digital signature was left out: the new resources would no longer match it"};
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
std::vector<std::string> BuildLayoutProjector(const std::string& moviePath, const std::string& projectorPath,
                                              const std::string& stubPath, std::optional<TProjectorLayout> layout,
                                              IConvertReport& report, const TProjectorFace& face) {
  if (!TAtomicFile::TargetReplaceable(projectorPath)) throw EFCreateError(projectorPath);
  TAtomicFile output(projectorPath);
  const std::vector<uint8_t> icon = face.iconPath.empty() ? std::vector<uint8_t>{} : ReadIconFile(face.iconPath);
  TProjectorLayout chosen;
  std::vector<std::string> notes;
  {
    TFileStream stub(stubPath, fmOpenRead);
    chosen = ChosenLayout(stub, stubPath, layout);
    if (!face.Empty() && chosen != TProjectorLayout::Windows) throw EFaceNeedsWindows(chosen);
    if (face.Empty())
      output.Stream().CopyFrom(stub, 0);
    else
      notes = WriteFacedStub(stub, stubPath, icon, face, output.Stream());
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
  return notes;
}
