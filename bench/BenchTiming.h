// What the Windows benchmarks share: pumping this thread's messages and timing a piece of work.
#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>

namespace bench {

inline void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

inline double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Microseconds per call of WORK, the best of five rounds of COUNT calls.
inline double MicrosecondsPer(int count, const std::function<void(int)>& work) {
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const double start = Now();
    for (int i = 0; i < count; ++i) work(i);
    GdiFlush();
    best = std::min(best, (Now() - start) / count);
  }
  return best * 1e6;
}

}  // namespace bench
