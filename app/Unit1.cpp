#include "app/Unit1.h"

#include "app/Unit2.h"
#include "app/Unit3.h"
#include "convert/Projector.h"

TForm1* Form1 = nullptr;

namespace {

const char* const MovieFilter = "SWF(*.SWF)|*.swf";
const char* const ProjectorFilter = "Flash exe(*.exe)|*.exe";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

std::string LastChars(const std::string& text, size_t count) {
  return text.size() <= count ? text : text.substr(text.size() - count);
}

std::string WithoutExtension(const std::string& text) { return text.substr(0, text.size() < 4 ? 0 : text.size() - 4); }

std::string WithSuffix(const std::string& name, const std::string& suffix) {
  return LastChars(name, suffix.size()) == suffix ? name : name + suffix;
}

std::string DropExtension(const std::string& name) {
  size_t first = 0, last = name.size();
  while (first < last && IsBlank(name[first])) ++first;
  while (last > first && IsBlank(name[last - 1])) --last;
  std::string ext = LastChars(name.substr(first, last - first), 4);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

std::vector<std::string> DroppedFileNames(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    // Asked without a buffer, DragQueryFileA gives the name's length, so none is cut short.
    const UINT length = DragQueryFileA(drop, i, nullptr, 0);
    std::string name(length + 1, '\0');
    DragQueryFileA(drop, i, name.data(), length + 1);
    name.resize(name.find('\0'));
    names.push_back(std::move(name));
  }
  return names;
}

void TForm1::DeclarePublished(TPublished<TForm1>& p) {
  p.Field("kyrForm1", &TForm1::kyrForm1);
  p.Field("kyrButton1", &TForm1::kyrButton1);
  p.Field("kyrURLLabel1", &TForm1::kyrURLLabel1);
  p.Field("OD1", &TForm1::OD1);
  p.Field("SD1", &TForm1::SD1);
  p.Field("kyrPopupMenu1", &TForm1::kyrPopupMenu1);
  p.Field("About1", &TForm1::About1);
  p.Method("FormCreate", &TForm1::FormCreate);
  p.Method("kyrButton1Click", &TForm1::kyrButton1Click);
  p.Method("About1Click", &TForm1::About1Click);
}

void TForm1::WndProc(TMessage& m) {
  static constexpr TMessageEntry<TForm1> table[] = {{WM_DROPFILES, &TForm1::WMDropFiles}};
  if (!DispatchMessageTable(*this, table, m)) inherited::WndProc(m);
}

void TForm1::FormCreate(TObject*) { DragAcceptFiles(Handle(), TRUE); }

void TForm1::About1Click(TObject*) { Form2->Show(); }

void TForm1::kyrButton1Click(TObject*) {
  if (!OD1->Execute()) return;
  const std::string name = OD1->FileName();
  // The button's test is case-sensitive on the last three characters.
  const std::string ext = LastChars(name, 3);
  if (ext == "exe")
    ToMovie(name);
  else if (ext == "swf")
    ToProjector(name, ButtonStubPath);
}

void TForm1::WMDropFiles(TMessage& Message) {
  inherited::WndProc(Message);
  const HDROP drop = reinterpret_cast<HDROP>(Message.WParam);
  const std::vector<std::string> names = DroppedFileNames(drop);
  // Released before converting: a failing conversion ends this handler by an exception.
  DragFinish(drop);
  SetCaption(std::to_string(names.size()));
  for (const std::string& name : names) ConvertDropped(name);
}

void TForm1::ConvertDropped(const std::string& name) {
  const std::string ext = DropExtension(name);
  if (ext == ".exe") ToMovie(name);
  if (ext == ".swf") ToProjector(name, DropStubPath);
}

bool TForm1::AskOutput(const std::string& input, const char* filter, const std::string& extension,
                       std::string& output) {
  SD1->SetFilter(filter);
  SD1->SetFileName(WithoutExtension(input));
  if (!SD1->Execute()) return false;
  output = WithSuffix(SD1->FileName(), extension);
  return true;
}

void TForm1::ToMovie(const std::string& projector) {
  // The default extension stays whatever an earlier save left in it.
  std::string output;
  if (AskOutput(projector, MovieFilter, ".swf", output)) ExtractMovie(projector, output, *Form3);
}

void TForm1::ToProjector(const std::string& movie, const char* stubPath) {
  SD1->SetDefaultExt(".exe");
  std::string output;
  if (AskOutput(movie, ProjectorFilter, ".exe", output)) BuildProjector(movie, output, stubPath, *Form3);
}
