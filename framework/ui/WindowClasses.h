// WindowClasses: the window classes the framework's windows are made of, registered on first use.
#pragma once

#include <windows.h>

#include <string>

// The name of window class NAME, registered the first time with STYLE, the arrow cursor and PROC
// as its procedure (a class another module registered already is taken as it is); raises
// Exception when Windows refuses it. The returned name lives as long as the program.
const char* RegisterWindowClass(const std::string& name, UINT style, WNDPROC proc);
