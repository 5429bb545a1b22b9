// vantor-cli build with an icon and version information, run as a user runs it; in the
// Windows build the system's own loaders (shell icons, version information, resource
// look-ups, the image checksum, starting the program) read the projectors back under Wine.
#include <gtest/gtest.h>

#include <memory>

#include "convert/PeResources.h"
#include "framework/core/Streams.h"
#include "tests/convert/ConvertTestUtil.h"
#include "tests/convert/PeTestImages.h"
#include "tests/support/ExecutableImages.h"

#ifdef _WIN32
#include <windows.h>
#include <imagehlp.h>
#include <shellapi.h>
#endif

namespace {

using namespace pe_test;

const char kCli[] = "tools/vantor-cli/vantor-cli";

const std::vector<std::pair<std::string, std::string>> kStrings = {
    {"FileDescription", "Intro film"},      {"ProductName", "Corvane Intro"},
    {"CompanyName", "Corvane Films"},       {"LegalCopyright", "(c) 2026 Corvane"},
    {"OriginalFilename", "intro.exe"},      {"InternalName", "intro"},
    {"Comments", "shown with = signs: a=b"},
};

class CliFace : public ::testing::Test {
public:
  TempDir dir;
  Bytes movie = PatternBytes(30000, 7);

  void SetUp() override {
    WriteFileBytes(P("m.swf"), movie);
    WriteFileBytes(P("face.ico"), IconFileBytes({16, 32, 48}));
  }
  static TProgramRun Run(const std::vector<std::string>& args) { return RunBuiltProgram(kCli, args); }
  std::string P(const std::string& name) const { return dir / name; }

  std::vector<std::string> FaceArgs(const std::string& stub, const std::string& output) const {
    std::vector<std::string> args{"build", P("m.swf"), "--stub", stub, "-o", output, "--icon", P("face.ico"),
                                  "--file-version", "1.2.3.4", "--product-version", "5.6.0.0"};
    for (const auto& [key, text] : kStrings) args.insert(args.end(), {"--version-string", key + "=" + text});
    return args;
  }
};

std::vector<TPeResource> ResourcesOfFile(const std::string& path) {
  TFileStream file(path, fmOpenRead);
  return ReadPeResources(file, ReadPeImage(file));
}

// Hand-made players: one without resources (it gets a section), one whose only resource
// must survive the new icon and version information.
TEST_F(CliFace, InfoShowsTheNewFaceAndThePlayerAndMovieComeBackOut) {
  for (bool withResources : {false, true}) {
    for (int bits : {32, 64}) {
      SCOPED_TRACE(std::to_string(bits) + (withResources ? " with resources" : " without"));
      WriteFileBytes(P("s.exe"), PeBytes(SmallPeShape(bits, withResources)));
      TProgramRun build = Run(FaceArgs(P("s.exe"), P("p.exe")));
      EXPECT_EQ(build.ExitCode, 0) << build.Err;
      EXPECT_EQ(build.Out, P("m.swf") + " -> " + P("p.exe") + ": Convert Success.\n");
      EXPECT_EQ(build.Err, "");
      TProgramRun info = Run({"info", P("p.exe")});
      EXPECT_EQ(info.ExitCode, 0);
      std::string expected = "  icon 16x16, 32x32, 48x48\n  file version 1.2.3.4, product version 5.6.0.0\n"
                             "  FileVersion: 1.2.3.4\n  ProductVersion: 5.6.0.0\n";
      for (const auto& [key, text] : kStrings) expected += "  " + key + ": " + text + "\n";
      EXPECT_EQ(info.Out.substr(info.Out.find('\n') + 1), expected);
      EXPECT_EQ(Run({"extract", P("p.exe"), "-o", P("back.swf")}).ExitCode, 0);
      EXPECT_EQ(ReadFileBytes(P("back.swf")), movie);
      EXPECT_EQ(Run({"stub", P("p.exe"), "-o", P("player.exe")}).ExitCode, 0);
      const std::vector<TPeResource> resources = ResourcesOfFile(P("player.exe"));
      EXPECT_EQ(resources.size(), withResources ? 6u : 5u);  // group, 3 images, version (, payload)
      const bool payloadKept = std::any_of(resources.begin(), resources.end(), [](const TPeResource& r) {
        return r.type == TResourceId::Number(10) && r.name == TResourceId::Number(7) && r.language == 0x409 &&
               r.data == Bytes{'p', 'a', 'y', 'l', 'o', 'a', 'd'};
      });
      EXPECT_EQ(payloadKept, withResources);
    }
  }
}

TEST_F(CliFace, RefusalsSayWhyAndWriteNothing) {
  WriteFileBytes(P("s.exe"), PeBytes(SmallPeShape(64, true)));
  WriteFileBytes(P("not.ico"), PatternBytes(500, 3));
  WriteFileBytes(P("elf"), SmallElf(64));
  TPeShape full = SmallPeShape(64, true);
  full.sections.push_back({".data", 0x3000, 0x200, 0x600, 0x200, {}});
  full.sections.push_back({".reloc", 0x4000, 0x200, 0x800, 0x200, {}});
  WriteFileBytes(P("full.exe"), PeBytes(full));
  struct Case {
    std::vector<std::string> args;
    std::string error;
  } cases[] = {
      {{"build", P("m.swf"), "--stub", P("s.exe"), "-o", P("out.exe"), "--icon", P("not.ico")},
       "Cannot use " + P("not.ico") + " as icon: Not an icon file."},
      {{"build", P("m.swf"), "--stub", P("s.exe"), "-o", P("out.exe"), "--icon", P("none.ico")},
       "Cannot open file " + P("none.ico") + "."},
      {{"build", P("m.swf"), "--stub", P("elf"), "-o", P("out.exe"), "--icon", P("face.ico")},
       "An icon or version information needs the windows layout, not linux64."},
      {{"build", P("m.swf"), "--stub", P("s.exe"), "--layout", "linux32", "-o", P("out.exe"), "--file-version", "1.0.0.0"},
       "An icon or version information needs the windows layout, not linux32."},
      {{"build", P("m.swf"), "--stub", P("full.exe"), "-o", P("out.exe"), "--icon", P("face.ico")},
       "Cannot write an icon or version information into " + P("full.exe") +
           ": the resource section is not the last one, or holds more than the resources, and the header has no "
           "room for another section."},
      {{"build", P("m.swf"), "--stub", P("m.swf"), "--layout", "windows", "-o", P("out.exe"), "--version-string", "A=b"},
       "Cannot write an icon or version information into " + P("m.swf") + ": no MZ header."},
  };
  for (const Case& c : cases) {
    TProgramRun run = Run(c.args);
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, P("m.swf") + ": " + c.error + "\n");
    EXPECT_EQ(run.Out, "");
    EXPECT_FALSE(PathExists(P("out.exe")));
  }
  // Without a face the same stubs still build as before.
  EXPECT_EQ(Run({"build", P("m.swf"), "--stub", P("full.exe"), "-o", P("out.exe")}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(P("out.exe")).size(), 0xA00 + movie.size() + 8);
}

TEST_F(CliFace, InfoSaysWhyAPlayersResourcesCannotBeRead) {
  Bytes looping = PeBytes(SmallPeShape(64, true));
  Put(looping, 0x400 + 44, 0x80000000u, 4);  // the name directory leads back to the root
  WriteFileBytes(P("loop.exe"), looping);
  ASSERT_EQ(Run({"build", P("m.swf"), "--stub", P("loop.exe"), "-o", P("p.exe")}).ExitCode, 0);
  const std::string info = Run({"info", P("p.exe")}).Out;
  EXPECT_EQ(info.substr(info.find('\n') + 1), "  resources unreadable: resource directories are shared or form a loop\n");
}

TEST_F(CliFace, ASignedStubLosesItsSignatureAndSaysSo) {
  TPeShape shape = SmallPeShape(32, true);
  shape.overlay = PatternBytes(64, 4);
  shape.certificateAt = 0x600, shape.certificateSize = 64;
  WriteFileBytes(P("signed.exe"), PeBytes(shape));
  TProgramRun run = Run({"build", P("m.swf"), "--stub", P("signed.exe"), "-o", P("p.exe"), "--icon", P("face.ico")});
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_EQ(run.Err, P("m.swf") + ": the stub's digital signature was left out: the new resources would no longer match it\n");
  EXPECT_EQ(Run({"stub", P("p.exe"), "-o", P("player.exe")}).ExitCode, 0);
  TFileStream player(P("player.exe"), fmOpenRead);
  const TPeImage image = ReadPeImage(player);
  EXPECT_EQ(image.certificates.size, 0u);
  EXPECT_EQ(image.imageEnd, player.Size());  // nothing after the image: the signature was all there was
}

#ifdef _WIN32

struct ModuleFree {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using TModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, ModuleFree>;
struct IconDestroy {
  void operator()(HICON icon) const { DestroyIcon(icon); }
};
using TIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconDestroy>;

TModule LoadAsData(const std::string& path) {
  return TModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

// The width of ICON's colour bitmap and the colour of its top-left pixel (0xRRGGBB).
std::pair<int, uint32_t> IconLook(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bitmap{};
  GetObjectA(info.hbmColor, sizeof bitmap, &bitmap);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof(BITMAPINFOHEADER), bitmap.bmWidth, -bitmap.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint32_t> pixels(size_t(bitmap.bmWidth) * size_t(bitmap.bmHeight));
  HDC dc = GetDC(nullptr);
  GetDIBits(dc, info.hbmColor, 0, UINT(bitmap.bmHeight), pixels.data(), &bi, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bitmap.bmWidth, pixels.empty() ? 0 : pixels[0] & 0xFFFFFF};
}

std::pair<int, uint32_t> Look(int size) { return {size, IconColour(size) & 0xFFFFFF}; }

// The name is the system's only while the callback runs: a copy is kept.
BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR found) {
  *reinterpret_cast<std::string*>(found) = IS_INTRESOURCE(name) ? "#" + std::to_string(uintptr_t(name)) : name;
  return FALSE;
}

std::string FirstGroupName(HMODULE module) {
  std::string group;
  EnumResourceNamesA(module, RT_GROUP_ICON, FirstName, LONG_PTR(&group));
  return group;
}

// The table key of a new version resource in LANGUAGE: "LLLL04B0".
BOOL CALLBACK IconLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR table) {
  char key[16];
  snprintf(key, sizeof key, "%04X04B0", language);
  *reinterpret_cast<std::string*>(table) = key;
  return FALSE;
}

// What the version information API answers for PATH.
struct TVersionAnswer {
  std::vector<char> block;
  VS_FIXEDFILEINFO fixed{};
  std::string table;  // "040904B0"

  explicit TVersionAnswer(const std::string& path) {
    DWORD handle = 0;
    block.resize(GetFileVersionInfoSizeA(path.c_str(), &handle));
    if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, DWORD(block.size()), block.data())) return;
    void* value = nullptr;
    UINT length = 0;
    if (VerQueryValueA(block.data(), "\\", &value, &length) && length >= sizeof fixed) fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    if (VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) && length >= 4) {
      char key[16];
      const WORD* pair = static_cast<WORD*>(value);
      snprintf(key, sizeof key, "%04X%04X", pair[0], pair[1]);
      table = key;
    }
  }
  std::string String(const std::string& key) {
    void* value = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\" + table + "\\" + key;
    if (!VerQueryValueA(block.data(), query.c_str(), &value, &length)) return "(none)";
    return static_cast<const char*>(value);
  }
  // The length the block declares for the text of KEY, in characters (its terminator too).
  UINT Length(const std::string& key) {
    void* value = nullptr;
    UINT length = 0;
    const std::string query = "\\StringFileInfo\\" + table + "\\" + key;
    const std::wstring wide(query.begin(), query.end());
    return VerQueryValueW(block.data(), wide.c_str(), &value, &length) ? length : 0;
  }
};

struct TResourceCopy {
  std::string type, name;
  WORD language;
  Bytes data;
  bool operator==(const TResourceCopy&) const = default;
};

std::string ResourceKey(LPCSTR id) { return IS_INTRESOURCE(id) ? "#" + std::to_string(uintptr_t(id)) : std::string(id); }

BOOL CALLBACK TakeLanguage(HMODULE module, LPCSTR type, LPCSTR name, WORD language, LONG_PTR found) {
  HRSRC info = FindResourceExA(module, type, name, language);
  const auto* data = static_cast<const uint8_t*>(LockResource(LoadResource(module, info)));
  reinterpret_cast<std::vector<TResourceCopy>*>(found)->push_back(
      {ResourceKey(type), ResourceKey(name), language, Bytes(data, data + SizeofResource(module, info))});
  return TRUE;
}

BOOL CALLBACK TakeName(HMODULE module, LPCSTR type, LPSTR name, LONG_PTR found) {
  EnumResourceLanguagesA(module, type, name, TakeLanguage, found);
  return TRUE;
}

BOOL CALLBACK TakeType(HMODULE module, LPSTR type, LONG_PTR found) {
  if (type != RT_ICON && type != RT_GROUP_ICON && type != RT_VERSION) EnumResourceNamesA(module, type, TakeName, found);
  return TRUE;
}

// Every resource the system finds in MODULE, but icons, icon groups and version information.
std::vector<TResourceCopy> OtherResources(HMODULE module) {
  std::vector<TResourceCopy> found;
  EnumResourceTypesA(module, TakeType, LONG_PTR(&found));
  return found;
}

// Builds a projector from STUB with the face of FaceArgs and checks, through the system's
// loaders, the icon at each size, every version string and both versions, the rest of the
// stub's resources, the checksum of the player part and the movie.
void ExpectFaceReadBack(CliFace& test, const std::string& stub) {
  SCOPED_TRACE(stub);
  const std::string p = test.P("p.exe");
  ASSERT_EQ(CliFace::Run(test.FaceArgs(stub, p)).ExitCode, 0);

  // The main group is replaced, or made; any other group stays.
  const UINT groups = ExtractIconExA(stub.c_str(), -1, nullptr, nullptr, 0);
  EXPECT_EQ(ExtractIconExA(p.c_str(), -1, nullptr, nullptr, 0), std::max(groups, 1u));
  HICON large = nullptr, small = nullptr;
  EXPECT_EQ(ExtractIconExA(p.c_str(), 0, &large, &small, 1), 2u);  // one large, one small
  const TIcon largeIcon(large), smallIcon(small);
  EXPECT_EQ(IconLook(large), Look(GetSystemMetrics(SM_CXICON)));
  // Wine 8 makes the small icon of ExtractIconEx from the large image (LoadImage below
  // picks the 16-pixel image itself): only its size is the small one.
  EXPECT_EQ(IconLook(small).first, GetSystemMetrics(SM_CXSMICON));
  {
    const TModule module = LoadAsData(p);
    ASSERT_TRUE(module);
    const std::string group = FirstGroupName(module.get());
    ASSERT_FALSE(group.empty());
    for (int size : {16, 32, 48}) {
      const TIcon icon(static_cast<HICON>(LoadImageA(module.get(), group.c_str(), IMAGE_ICON, size, size, 0)));
      EXPECT_EQ(IconLook(icon.get()), Look(size));
    }
    const TModule original = LoadAsData(stub);
    EXPECT_EQ(OtherResources(module.get()), OtherResources(original.get()));
  }

  // The player's own table is kept; one is made in the language of its icon when it has none.
  std::string table = TVersionAnswer(stub).table;
  if (table.empty()) {
    const TModule original = LoadAsData(stub);
    table = "040904B0";
    EnumResourceLanguagesA(original.get(), RT_GROUP_ICON, FirstGroupName(original.get()).c_str(), IconLanguage,
                           LONG_PTR(&table));
  }
  TVersionAnswer version(p);
  EXPECT_EQ(version.fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(version.fixed.dwFileVersionMS, 0x00010002u);
  EXPECT_EQ(version.fixed.dwFileVersionLS, 0x00030004u);
  EXPECT_EQ(version.fixed.dwProductVersionMS, 0x00050006u);
  EXPECT_EQ(version.fixed.dwProductVersionLS, 0u);
  EXPECT_EQ(version.table, table);
  for (const auto& [key, text] : kStrings) {
    EXPECT_EQ(version.String(key), text) << key;
    EXPECT_EQ(version.Length(key), text.size() + 1) << key;
  }
  EXPECT_EQ(version.String("FileVersion"), "1.2.3.4");
  EXPECT_EQ(version.String("ProductVersion"), "5.6.0.0");

  // The header checksum is the one the system computes for the player part.
  ASSERT_EQ(CliFace::Run({"stub", p, "-o", test.P("player.exe")}).ExitCode, 0);
  DWORD header = 0, computed = 0;
  ASSERT_EQ(MapFileAndCheckSumA(test.P("player.exe").c_str(), &header, &computed), DWORD(CHECKSUM_SUCCESS));
  EXPECT_EQ(header, computed);
  EXPECT_EQ(CliFace::Run({"extract", p, "-o", test.P("back.swf")}).ExitCode, 0);
  EXPECT_EQ(ReadFileBytes(test.P("back.swf")), test.movie);
}

// The built vantor-cli (a real program with its own icon, version information and manifest)
// and the hand-made players of both widths.
TEST_F(CliFace, TheSystemsLoadersReadTheIconAndVersionBack) {
  const std::string cli = BuiltProgramPath(kCli);
  WriteFileBytes(P("s32.exe"), PeBytes(SmallPeShape(32, true)));
  WriteFileBytes(P("s64.exe"), PeBytes(SmallPeShape(64, false)));
  for (const std::string& stub : {cli, P("s32.exe"), P("s64.exe")}) ExpectFaceReadBack(*this, stub);
  const TModule cliModule = LoadAsData(cli);
  EXPECT_FALSE(OtherResources(cliModule.get()).empty());  // the manifest at least: the comparison saw it
}

// Wine's own programs (64-bit; this installation has no 32-bit ones): menus, dialogs,
// string tables and accelerators must all survive.
TEST_F(CliFace, WinesOwnProgramsKeepTheirOtherResources) {
  const char* programs[] = {"C:\\windows\\system32\\notepad.exe", "C:\\windows\\system32\\winecfg.exe"};
  for (const char* program : programs) {
    ASSERT_TRUE(PathExists(program)) << program;
    const TModule module = LoadAsData(program);
    EXPECT_GT(OtherResources(module.get()).size(), 3u) << program;
    ExpectFaceReadBack(*this, program);
  }
}

// The projector made from vantor-cli still starts and runs: its rewritten image loads.
TEST_F(CliFace, AProjectorMadeFromARealProgramStillRuns) {
  const std::string projector = "tools/vantor-cli/face-test-projector";
  ASSERT_EQ(Run(FaceArgs(BuiltProgramPath(kCli), BuiltProgramPath(projector))).ExitCode, 0);
  TProgramRun run = RunBuiltProgram(projector, {"--help"});
  DeleteFileA(BuiltProgramPath(projector).c_str());
  EXPECT_EQ(run.ExitCode, 0);
  EXPECT_NE(run.Out.find("Usage:"), std::string::npos);
}

#endif

}  // namespace
