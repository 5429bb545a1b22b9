// What the shipped programs carry besides code: the manifest (common controls v6, DPI-unaware),
// the version information and the icon, read back from the built executables; and that this
// test executable, which links the same manifest, really runs on common controls v6, so the
// pixel probes of the windowing, skin and application tests are those of the shipped look.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "VantorVersion.h"
#include "framework/core/StrUtils.h"
#include "tests/support/TestSupport.h"

namespace {

struct FreeModule {
  void operator()(HMODULE module) const { FreeLibrary(module); }
};
using TModule = std::unique_ptr<std::remove_pointer_t<HMODULE>, FreeModule>;

// PROGRAM's resources, without running it.
TModule OpenResources(const std::string& program) {
  return TModule(LoadLibraryExA(BuiltProgramPath(program).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
}

std::string ResourceBytes(HMODULE module, const char* name, const char* type) {
  HRSRC found = FindResourceA(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
  return bytes ? std::string(bytes, SizeofResource(module, found)) : std::string();
}

std::string ManifestOf(HMODULE module) {
  return ResourceBytes(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24) /* RT_MANIFEST */);
}

// The string VALUE of the version information's U.S. English, Windows Latin-1 block.
std::string VersionString(const std::vector<char>& info, const std::string& value) {
  char* text = nullptr;
  UINT length = 0;
  const std::string path = "\\StringFileInfo\\040904E4\\" + value;
  if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) || length == 0) return {};
  return std::string(text, length - 1);
}

const struct Program {
  const char* path;
  const char* file;
} kPrograms[] = {
    {"app/Vantor", "Vantor.exe"},
    {"tools/vantor-cli/vantor-cli", "vantor-cli.exe"},
    {"tools/vantor-theme/vantor-theme", "vantor-theme.exe"},
};

TEST(ProgramResources, EveryProgramCarriesTheProjectVersion) {
  for (const Program& p : kPrograms) {
    const std::string path = BuiltProgramPath(p.path);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(info.empty()) << path;
    ASSERT_TRUE(GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    EXPECT_EQ(VersionString(info, "ProductName"), "Vantor") << p.file;
    EXPECT_EQ(VersionString(info, "ProductVersion"), VANTOR_VERSION) << p.file;
    EXPECT_EQ(VersionString(info, "FileVersion"), VANTOR_VERSION) << p.file;
    EXPECT_EQ(VersionString(info, "OriginalFilename"), p.file);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) << p.file;
    ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    // The numeric version is the text one, "major.minor.patch", with a zero fourth part.
    const std::string numeric = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numeric, VANTOR_VERSION) << p.file;
    EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), 0) << p.file;
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS) << p.file;
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP)) << p.file;
  }
}

TEST(ProgramResources, EveryProgramCarriesTheManifestAndTheIcon) {
  for (const Program& p : kPrograms) {
    TModule module = OpenResources(p.path);
    ASSERT_NE(module, nullptr) << p.path;
    const std::string manifest = ManifestOf(module.get());
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
        << p.file;
    EXPECT_NE(manifest.find(">false</dpiAware>"), std::string::npos) << p.file;
    EXPECT_NE(manifest.find(">unaware</dpiAwareness>"), std::string::npos) << p.file;
    EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"asInvoker\""), std::string::npos) << p.file;
    // The same manifest as this test executable: its windows are tested as the programs run.
    EXPECT_TRUE(manifest == ManifestOf(nullptr)) << p.file;
    // One 48 x 48 icon with 32 bits per pixel: GRPICONDIR, then 14-byte entries.
    const std::string group = ResourceBytes(module.get(), "MAINICON", MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    ASSERT_EQ(group.size(), 6u + 14u) << p.file;
    EXPECT_EQ(static_cast<unsigned char>(group[6]), 48) << p.file;
    EXPECT_EQ(static_cast<unsigned char>(group[7]), 48) << p.file;
    uint16_t bits = 0;
    std::memcpy(&bits, group.data() + 12, 2);
    EXPECT_EQ(bits, 32) << p.file;
  }
}

// The manifest takes effect: the comctl32 loaded is version 6 from the side-by-side store, and
// an EDIT control (the skinned memo's system class) is its class rather than USER32's. The path
// is asked, not DllGetVersion: Wine's version 6 reports itself as 5.81.
TEST(ProgramResources, TheManifestMakesCommonControlsVersionSix) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(GetModuleHandleA("comctl32.dll"), path, sizeof path);
  const std::string loaded = LowerCase(path);
  EXPECT_NE(loaded.find("\\winsxs\\"), std::string::npos) << path;
  EXPECT_NE(loaded.find("microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos) << path;
  HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(edit, nullptr);
  const auto owner = reinterpret_cast<HMODULE>(GetClassLongPtrA(edit, GCLP_HMODULE));
  DestroyWindow(edit);
  EXPECT_NE(owner, GetModuleHandleA("user32.dll"));
}

}  // namespace
