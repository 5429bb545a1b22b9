#include "tools/vantor-cli/VantorCli.h"

#include <functional>
#include <ostream>

#include "convert/LayoutConverters.h"
#include "convert/PeResources.h"
#include "framework/core/Streams.h"

namespace {

const char* const UsageText =
    "Usage:\n"
    "  vantor-cli extract PROJECTOR... [-o MOVIE]\n"
    "      Copies the movie out of each projector (Windows or Linux); the default output\n"
    "      is the input without its last 4 characters plus \".swf\".\n"
    "  vantor-cli build MOVIE... [--stub STUB] [--layout LAYOUT] [-o PROJECTOR]\n"
    "                  [--icon FILE.ico] [--version-string KEY=VALUE]...\n"
    "                  [--file-version A.B.C.D] [--product-version A.B.C.D]\n"
    "      Writes STUB and the movie to each projector, framed as LAYOUT (windows,\n"
    "      linux32, linux64; by default the one STUB's format calls for); the default\n"
    "      output is the input without its last 4 characters plus \".exe\". For the\n"
    "      windows layout, the stub's copy can get the icon FILE.ico (all its images)\n"
    "      and version information (keys such as FileDescription, ProductName,\n"
    "      CompanyName, LegalCopyright, OriginalFilename, InternalName).\n"
    "  vantor-cli stub PROJECTOR -o STUB\n"
    "      Writes the player of a projector, without its movie, for reuse as a stub.\n"
    "  vantor-cli info FILE...\n"
    "      Tells whether each file is a projector, with its layout, stub and movie sizes,\n"
    "      and for a windows projector its icon sizes and version information.\n"
    "  vantor-cli --help | --version\n"
    "-o is allowed with one input only. Exit status: 0 all converted, 1 some file failed\n"
    "or was not a projector, 2 usage error.\n";

// Prints what a converter reports, prefixed by the conversion it concerns.
class TConsoleReport : public IConvertReport {
public:
  TConsoleReport(std::ostream& out, std::string prefix) : out_(out), prefix_(std::move(prefix)) {}
  void SetReportText(const std::string& text) override { text_ = text; }
  void ShowReport() override { out_ << prefix_ << text_ << "\n"; }
  bool Succeeded() const { return text_ == ConvertSuccessText; }

private:
  std::ostream& out_;
  std::string prefix_;
  std::string text_;
};

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// Takes the value of option ARGS[I] into TARGET, once.
void TakeValue(const std::vector<std::string>& args, size_t& i, std::string& target) {
  if (i + 1 >= args.size()) throw ECliUsage("option " + args[i] + " needs a value");
  if (!target.empty()) throw ECliUsage("option " + args[i] + " given twice");
  target = args[++i];
  if (target.empty()) throw ECliUsage("option " + args[i - 1] + " needs a non-empty value");
}

void TakeLayout(const std::vector<std::string>& args, size_t& i, TCliRequest& request) {
  if (request.layout) throw ECliUsage("option --layout given twice");
  std::string name;
  TakeValue(args, i, name);
  request.layout = ProjectorLayoutByName(name);
  if (!request.layout) throw ECliUsage("unknown layout " + name + " (windows, linux32 or linux64)");
}

TFileVersion TakeVersion(const std::vector<std::string>& args, size_t& i, std::optional<TFileVersion>& target) {
  if (target) throw ECliUsage("option " + args[i] + " given twice");
  std::string text;
  TakeValue(args, i, text);
  const std::optional<TFileVersion> version = ParseFileVersion(text);
  if (!version) throw ECliUsage("option " + args[i - 1] + " needs A.B.C.D, four numbers up to 65535, not " + text);
  return *version;
}

void TakeVersionString(const std::vector<std::string>& args, size_t& i, TVersionStrings& strings) {
  std::string pair;
  TakeValue(args, i, pair);
  const size_t equals = pair.find('=');
  if (equals == 0 || equals == std::string::npos) throw ECliUsage("option --version-string needs KEY=VALUE, not " + pair);
  const std::string key = pair.substr(0, equals);
  for (const auto& s : strings)
    if (s.first == key) throw ECliUsage("version string " + key + " given twice");
  strings.push_back({key, pair.substr(equals + 1)});
}

// The options of build that give the projector its face; false for any other option.
bool TakeFaceOption(const std::vector<std::string>& args, size_t& i, TProjectorFace& face) {
  const std::string& arg = args[i];
  if (arg == "--icon") TakeValue(args, i, face.iconPath);
  else if (arg == "--version-string") TakeVersionString(args, i, face.strings);
  else if (arg == "--file-version") face.fileVersion = TakeVersion(args, i, face.fileVersion);
  else if (arg == "--product-version") face.productVersion = TakeVersion(args, i, face.productVersion);
  else return false;
  return true;
}

void ParseRest(const std::vector<std::string>& args, TCliRequest& request) {
  bool optionsEnded = false;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (optionsEnded || !IsOption(arg)) {
      request.files.push_back(arg);
    } else if (arg == "--") {
      optionsEnded = true;
    } else if ((arg == "-o" || arg == "--output") && request.command != "info") {
      TakeValue(args, i, request.output);
    } else if (arg == "--stub" && request.command == "build") {
      TakeValue(args, i, request.stub);
    } else if (arg == "--layout" && request.command == "build") {
      TakeLayout(args, i, request);
    } else if (request.command != "build" || !TakeFaceOption(args, i, request.face)) {
      throw ECliUsage("unknown option " + arg + " for " + request.command);
    }
  }
}

// Runs CONVERT on each input, printing outcomes; the status says whether all succeeded.
int ConvertEach(const TCliRequest& request, const std::string& extension, std::ostream& out, std::ostream& err,
                const std::function<void(const std::string&, const std::string&, IConvertReport&)>& convert) {
  int status = CliOk;
  for (const std::string& input : request.files) {
    const std::string output = request.output.empty() ? DefaultOutputName(input, extension) : request.output;
    TConsoleReport report(out, input + " -> " + output + ": ");
    try {
      convert(input, output, report);
      if (!report.Succeeded()) status = CliFailed;
    } catch (const std::exception& e) {
      err << input << ": " << ErrorReportText(e.what()) << "\n";
      status = CliFailed;
    }
  }
  return status;
}

// "CWS version 10" when the movie begins like an SWF file, else empty.
std::string SwfHeaderOf(TStream& file, const TProjectorMovie& movie) {
  if (movie.movieLength < 4) return {};
  char head[4];
  file.SetPosition(movie.movieStart);
  file.ReadBuffer(head, 4);
  const std::string signature(head, 3);
  if (signature != "FWS" && signature != "CWS" && signature != "ZWS") return {};
  return "; SWF header " + signature + " version " + std::to_string(static_cast<unsigned char>(head[3]));
}

// Indented lines about what the shell shows of the PE program at the start of FILE: icon
// sizes and version information; nothing when FILE is no PE program.
void DescribeFace(TStream& file, std::ostream& out) {
  TPeImage image;
  try {
    image = ReadPeImage(file);
  } catch (const EPeFormat&) {
    return;
  }
  try {
    const TPeFace face = ReadPeFace(ReadPeResources(file, image));
    for (size_t i = 0; i < face.iconSizes.size(); ++i) out << (i ? ", " : "  icon ") << face.iconSizes[i];
    if (!face.iconSizes.empty()) out << "\n";
    if (face.fileVersion)
      out << "  file version " << face.fileVersion->Text() << ", product version " << face.productVersion->Text() << "\n";
    for (const auto& [key, text] : face.strings) out << "  " << key << ": " << text << "\n";
  } catch (const EPeFormat& e) {
    out << "  resources unreadable: " << e.Message() << "\n";
  }
}

// One line about PATH, and the stub's face for a windows projector; true when it is a projector.
bool DescribeFile(const std::string& path, std::ostream& out) {
  TFileStream file(path, fmOpenRead);
  const TProjectorMovie movie = LocateMovie(file);
  if (!movie.found) {
    out << path << ": not a projector (" << movie.whyNot << ")\n";
    return false;
  }
  out << path << ": " << ProjectorLayoutName(movie.layout) << " projector; stub " << movie.stubSize
      << " bytes; movie " << movie.movieLength << " bytes" << SwfHeaderOf(file, movie) << "\n";
  if (movie.layout == TProjectorLayout::Windows) DescribeFace(file, out);
  return true;
}

int DescribeEach(const TCliRequest& request, std::ostream& out, std::ostream& err) {
  int status = CliOk;
  for (const std::string& path : request.files) {
    try {
      if (!DescribeFile(path, out)) status = CliFailed;
    } catch (const std::exception& e) {
      err << path << ": " << ErrorReportText(e.what()) << "\n";
      status = CliFailed;
    }
  }
  return status;
}

int RunRequest(const TCliRequest& request, std::ostream& out, std::ostream& err) {
  if (request.command == "help") {
    out << UsageText;
    return CliOk;
  }
  if (request.command == "info") return DescribeEach(request, out, err);
  if (request.command == "extract" || request.command == "stub") {
    const TProjectorPart part = request.command == "stub" ? TProjectorPart::Stub : TProjectorPart::Movie;
    return ConvertEach(request, ".swf", out, err,
                       [&](const std::string& projector, const std::string& output, IConvertReport& report) {
                         ExtractProjectorPart(projector, output, part, report);
                       });
  }
  const std::string stub = request.stub.empty() ? DefaultStubPath() : request.stub;
  return ConvertEach(request, ".exe", out, err,
                     [&](const std::string& movie, const std::string& projector, IConvertReport& report) {
                       for (const std::string& note :
                            BuildLayoutProjector(movie, projector, stub, request.layout, report, request.face))
                         err << movie << ": " << note << "\n";
                     });
}

}  // namespace

TCliRequest ParseCliArgs(const std::vector<std::string>& args) {
  TCliRequest request;
  if (args.empty()) throw ECliUsage("no command given");
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    request.command = "help";
    return request;
  }
  if (args[0] != "extract" && args[0] != "build" && args[0] != "info" && args[0] != "stub")
    throw ECliUsage("unknown command " + args[0]);
  request.command = args[0];
  ParseRest(args, request);
  if (request.files.empty()) throw ECliUsage(request.command + " needs at least one file");
  if (!request.output.empty() && request.files.size() > 1)
    throw ECliUsage("-o names one output, but " + std::to_string(request.files.size()) + " inputs were given");
  if (request.command == "stub" && request.output.empty()) throw ECliUsage("stub needs -o STUB");
  if (request.command == "build" && request.stub.empty() && DefaultStubPath().empty())
    throw ECliUsage("build needs --stub STUB");
  return request;
}

std::string DefaultOutputName(const std::string& input, const std::string& extension) {
  return input.substr(0, input.size() < 4 ? 0 : input.size() - 4) + extension;
}

std::string DefaultStubPath() {
#ifdef _WIN32
  return "C:\\Program Files\\Common Files\\Vantor\\SAF.dll";
#else
  return {};
#endif
}

int RunVantorCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  try {
    return RunRequest(ParseCliArgs(args), out, err);
  } catch (const ECliUsage& e) {
    err << "vantor-cli: " << e.Message() << "\nTry 'vantor-cli --help'.\n";
    return CliUsageError;
  }
}
