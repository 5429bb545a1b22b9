// A shown window's pixels, taken from the screen once its painting has settled, saved as a
// .bmp file; shared by the tools that write pictures of windows for people to look at.
#pragma once

#include <windows.h>

#include <string>

// Runs the thread's messages that are waiting.
void PumpMessages();
// Redraws WINDOW (on the screen, on top) and writes its pixels to PATH once two captures in a
// row agree.
void SaveSettledWindow(HWND window, const std::string& path);
