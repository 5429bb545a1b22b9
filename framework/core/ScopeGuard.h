// Putting state back when a scope ends, whichever way it ends (return or exception), so that
// no catch block repeats what the normal path does:
//
//   TRestoreOnExit busy(aligning_, true);           // aligning_ is true until the scope ends
//   auto reenable = OnScopeExit([&] { for (HWND w : disabled) EnableWindow(w, TRUE); });
#pragma once

#include <utility>

template <class F>
class TScopeExit {
public:
  explicit TScopeExit(F action) : action_(std::move(action)) {}
  ~TScopeExit() { action_(); }
  TScopeExit(const TScopeExit&) = delete;
  TScopeExit& operator=(const TScopeExit&) = delete;

private:
  F action_;
};

// Runs ACTION when the returned guard goes out of scope.
template <class F>
[[nodiscard]] TScopeExit<F> OnScopeExit(F action) {
  return TScopeExit<F>(std::move(action));
}

// Gives VARIABLE a value for the length of a scope and puts the old one back at its end.
template <class T>
class TRestoreOnExit {
public:
  TRestoreOnExit(T& variable, T value) : variable_(variable), saved_(std::move(variable)) {
    variable_ = std::move(value);
  }
  ~TRestoreOnExit() { variable_ = std::move(saved_); }
  TRestoreOnExit(const TRestoreOnExit&) = delete;
  TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
  T& variable_;
  T saved_;
};
