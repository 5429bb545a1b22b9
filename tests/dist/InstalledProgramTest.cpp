// The installed program, as the installer left it: run by scripts/test-dist inside the Wine
// prefix the installer ran in, with VANTOR_INSTALLED naming the installation folder. Not a
// CTest test of the build tree.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <string>
#include <vector>

#include "VantorVersion.h"
#include "tests/support/ProgramWindows.h"
#include "tests/support/TestSupport.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantor";

std::string Installed(const std::string& name) {
  return EnvOr("VANTOR_INSTALLED", "C:\\Program Files\\Vantor") + "\\" + name;
}

std::string RegistryText(const char* value) {
  char text[MAX_PATH] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return "(missing)";
  return text;
}

// The installed PROGRAM shows its window MAIN, with its window HIDDEN created but not shown, and
// ends when MAIN is closed.
void ExpectStartsAndEnds(const std::string& program, const std::string& main, const std::string& hidden) {
  TRunningProgram running(Installed(program));
  ASSERT_TRUE(running.Started()) << Installed(program);
  std::vector<TTopWindow> windows;
  EXPECT_TRUE(WaitFor([&] {
    windows = TopWindowsOf(running.Id());
    const auto shown = FindTopWindow(windows, main);
    return shown && shown->visible && FindTopWindow(windows, hidden);
  }));
  const auto created = FindTopWindow(windows, hidden);
  EXPECT_TRUE(created && !created->visible) << hidden;
  EXPECT_EQ(running.CloseAndWait(main), 0);
}

TEST(InstalledVantor, StartsAndShowsItsMainWindow) { ExpectStartsAndEnds("Vantor.exe", "Vantor", "About Vantor"); }

TEST(InstalledVantor, TheSkinDemoStartsWithItsMainWindowAndHiddenAboutWindow) {
  ExpectStartsAndEnds("skin-demo.exe", "Skin Demo", "About Skin Demo");
}

TEST(InstalledVantor, IsRegisteredForRemovalAndInTheStartMenu) {
  EXPECT_EQ(RegistryText("DisplayName"), "Vantor");
  EXPECT_EQ(RegistryText("DisplayVersion"), VANTOR_VERSION);
  EXPECT_EQ(RegistryText("InstallLocation"), EnvOr("VANTOR_INSTALLED", "C:\\Program Files\\Vantor"));
  EXPECT_EQ(RegistryText("UninstallString"), "\"" + Installed("Uninstall.exe") + "\"");
  EXPECT_TRUE(PathExists(Installed("Uninstall.exe")));
  char programs[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, 0, programs), S_OK);
  EXPECT_TRUE(PathExists(std::string(programs) + "\\Vantor.lnk")) << programs;
  EXPECT_TRUE(PathExists(std::string(programs) + "\\Skin Demo.lnk")) << programs;
}

}  // namespace
