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

TEST(InstalledVantor, StartsAndShowsItsMainWindow) {
  TRunningProgram vantor(Installed("Vantor.exe"));
  ASSERT_TRUE(vantor.Started()) << Installed("Vantor.exe");
  std::vector<TTopWindow> windows;
  EXPECT_TRUE(WaitFor([&] {
    windows = TopWindowsOf(vantor.Id());
    const auto main = FindTopWindow(windows, "Vantor");
    return main && main->visible && FindTopWindow(windows, "About Vantor");
  }));
  const auto about = FindTopWindow(windows, "About Vantor");
  EXPECT_TRUE(about && !about->visible);
  EXPECT_EQ(vantor.CloseAndWait("Vantor"), 0);
}

TEST(InstalledVantor, TheSkinDemoStartsWithItsMainWindowAndHiddenAboutWindow) {
  TRunningProgram demo(Installed("skin-demo.exe"));
  ASSERT_TRUE(demo.Started()) << Installed("skin-demo.exe");
  std::vector<TTopWindow> windows;
  EXPECT_TRUE(WaitFor([&] {
    windows = TopWindowsOf(demo.Id());
    const auto main = FindTopWindow(windows, "Skin Demo");
    return main && main->visible && FindTopWindow(windows, "About Skin Demo");
  }));
  const auto about = FindTopWindow(windows, "About Skin Demo");
  EXPECT_TRUE(about && !about->visible);
  EXPECT_EQ(demo.CloseAndWait("Skin Demo"), 0);
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
