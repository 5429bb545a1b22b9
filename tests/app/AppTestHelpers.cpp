#include "tests/app/AppTestHelpers.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>

#include "app/Startup.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "app/Unit3.h"
#include "app/Unit4.h"
#include "convert/Projector.h"

namespace apptest {

TScriptedDialogs::TScriptedDialogs(std::vector<TFileDialogAnswer> answers) : answers_(std::move(answers)) {
  previous_ = SetFileDialogHook([this](const TFileDialogRequest& request) {
    shown.push_back(request);
    return shown.size() <= answers_.size() ? answers_[shown.size() - 1] : TFileDialogAnswer{};
  });
}

TScriptedDialogs::~TScriptedDialogs() { SetFileDialogHook(previous_); }

TRecordedBoxes::TRecordedBoxes() {
  previous_ = SetMessageBoxHook([this](HWND, const std::string& text, const std::string& caption, UINT flags) {
    boxes.push_back({text, caption, flags});
    return IDOK;
  });
}

TRecordedBoxes::~TRecordedBoxes() { SetMessageBoxHook(previous_); }

HDROP MakeDrop(const std::vector<std::string>& names) {
  size_t size = sizeof(DROPFILES) + 1;
  for (const std::string& n : names) size += n.size() + 1;
  HGLOBAL memory = GlobalAlloc(GHND, size);
  auto* block = static_cast<DROPFILES*>(GlobalLock(memory));
  block->pFiles = sizeof(DROPFILES);
  block->fWide = FALSE;
  char* p = reinterpret_cast<char*>(block + 1);
  for (const std::string& n : names) {
    std::memcpy(p, n.c_str(), n.size() + 1);
    p += n.size() + 1;
  }
  GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

Bytes MovieBytes(size_t length, uint32_t seed) {
  Bytes movie = PatternBytes(length, seed);
  movie[0] = 'F';
  movie[1] = 'W';
  movie[2] = 'S';
  return movie;
}

Bytes ProjectorBytes(const Bytes& stub, const Bytes& movie) {
  Bytes out = stub;
  out.insert(out.end(), movie.begin(), movie.end());
  const uint32_t words[2] = {ProjectorMagic, static_cast<uint32_t>(movie.size())};
  for (uint32_t w : words)
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(w >> (8 * i)));
  return out;
}

std::string StubPath() { return ButtonStubPath; }

void InstallStub(const Bytes& bytes) {
  CreateDirectoryA("C:\\Program Files", nullptr);
  CreateDirectoryA("C:\\Program Files\\Common Files", nullptr);
  CreateDirectoryA("C:\\Program Files\\Common Files\\Vantor", nullptr);
  WriteFileBytes(StubPath(), bytes);
}

void RemoveStub() { DeleteFileA(StubPath().c_str()); }

namespace {

// The start-up of the program, once per test process: forms live until the process ends.
class TVantorStartUp : public ::testing::Environment {
public:
  void SetUp() override {
    StartVantor();
    Form1->Show();
  }
};

const auto* const startUp = ::testing::AddGlobalTestEnvironment(new TVantorStartUp);

}  // namespace
}  // namespace apptest
