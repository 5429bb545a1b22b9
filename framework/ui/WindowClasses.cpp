#include "framework/ui/WindowClasses.h"

#include <set>

#include "framework/core/SysUtils.h"

const char* RegisterWindowClass(const std::string& name, UINT style, WNDPROC proc) {
  static std::set<std::string> registered;
  auto it = registered.find(name);
  if (it != registered.end()) return it->c_str();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = style;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception("Cannot register window class " + name);
  return registered.insert(name).first->c_str();
}
