// The installed program, as the installer left it: run by scripts/test-dist inside the Wine
// prefix the installer ran in, with VANTOR_INSTALLED naming the installation folder. Not a
// CTest test of the build tree.
#include <gtest/gtest.h>

#include <windows.h>

#include <shlobj.h>

#include <functional>
#include <string>

#include "VantorVersion.h"
#include "tests/support/TestSupport.h"

namespace {

const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Vantor";

std::string Installed(const std::string& name) {
  return EnvOr("VANTOR_INSTALLED", "C:\\Program Files\\Vantor") + "\\" + name;
}

// Polls CONDITION; the bound only keeps a broken installation from hanging, it is not asserted on.
bool WaitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 1500; ++i) {
    if (condition()) return true;
    Sleep(10);
  }
  return false;
}

// The top-level window of PROCESS titled TEXT, or null.
HWND WindowOf(DWORD process, const std::string& text) {
  struct Search {
    DWORD process;
    std::string text;
    HWND found;
  } search{process, text, nullptr};
  EnumWindows(
      [](HWND w, LPARAM l) -> BOOL {
        auto* s = reinterpret_cast<Search*>(l);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        char title[256] = {};
        GetWindowTextA(w, title, sizeof title);
        if (owner == s->process && title == s->text) s->found = w;
        return s->found == nullptr;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string RegistryText(const char* value) {
  char text[MAX_PATH] = {};
  DWORD size = sizeof text;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return "(missing)";
  return text;
}

TEST(InstalledVantor, StartsAndShowsItsMainWindow) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  std::string command = "\"" + Installed("Vantor.exe") + "\"";
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
      << command;
  HWND main = nullptr;
  EXPECT_TRUE(WaitFor([&] {
    main = WindowOf(info.dwProcessId, "Vantor");
    return main && IsWindowVisible(main);
  }));
  if (main) {
    const HWND about = WindowOf(info.dwProcessId, "About Vantor");
    EXPECT_TRUE(about && !IsWindowVisible(about));
    PostMessageA(main, WM_CLOSE, 0, 0);
  }
  if (!WaitFor([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }))
    TerminateProcess(info.hProcess, 1);
  DWORD code = 1;
  GetExitCodeProcess(info.hProcess, &code);
  EXPECT_EQ(code, 0u);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
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
}

}  // namespace
