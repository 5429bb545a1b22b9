// The hyperlink label: defaults in their order, link and hover colours under the pointer, the
// hand cursor, the shell call of a click (through the seam, and once end to end through Wine's
// browser launcher pointed at a recording script, so no real browser opens).
#include "skin/controls/KYRURLLabel.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "framework/ui/ExtCtrls.h"
#include "tests/skin/controls/KYRButtonTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace kyrtest;

namespace {

struct TShellCall {
  HWND owner;
  std::string verb, file;
  int show;
};

// Shell calls recorded instead of made, while the object lives.
class TShellRecorder {
public:
  TShellRecorder() {
    previous_ = SetShellOpenHook([this](HWND owner, const std::string& verb, const std::string& file, int show) {
      calls.push_back({owner, verb, file, show});
      events->push_back("shell");
    });
  }
  ~TShellRecorder() { SetShellOpenHook(previous_); }
  std::vector<TShellCall> calls;
  std::vector<std::string>* events = &own_;

private:
  std::vector<std::string> own_;
  TShellOpenHook previous_;
};

class URLLabelTest : public ::testing::Test {
protected:
  void SetUp() override {
    host = uitest::Place<TPanel>(form.form, 0, 0, 300, 100);
    host->SetBevelOuter(bvNone);
    host->SetColor(clWhite);
    link = new TkyrURLLabel(host);
    link->SetParent(host);
    link->SetLeft(10);
    link->SetTop(10);
    link->SetOnClick([this](TObject*) { events.push_back("click"); });
    uitest::MovePointerTo({5, 5});
    uitest::Pump();
  }
  // Pixels of COLOR in the label's area of its parent's paint.
  int CountOf(TColor color) {
    uitest::TCapture shot(host->Width(), host->Height());
    SendMessageA(host->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot.DC()), PRF_CLIENT);
    int n = 0;
    for (int y = link->Top(); y < link->Top() + link->Height(); ++y)
      for (int x = link->Left(); x < link->Left() + link->Width(); ++x) n += shot.Pixel(x, y) == color;
    return n;
  }
  void ClickLink() {
    const LPARAM at = Point(link->Left() + 3, link->Top() + 3);
    SendMessageA(host->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(host->Handle(), WM_LBUTTONUP, 0, at);
  }

  uitest::TShownForm form{320, 120};
  TPanel* host = nullptr;
  TkyrURLLabel* link = nullptr;
  std::vector<std::string> events;
};

TEST_F(URLLabelTest, DefaultsAreAnUnderlinedBlueLinkToTheProjectsAddress) {
  EXPECT_EQ(link->Caption(), "Welcome to Corvane!");
  EXPECT_EQ(link->URL(), "http://www.corvane.example/");
  EXPECT_EQ(link->FontLinkColor(), clBlue);
  EXPECT_EQ(link->FontHoverColor(), clRed);
  EXPECT_EQ(link->Font()->Color(), clBlue);
  EXPECT_EQ(link->Font()->Style(), TFontStyles{fsUnderline});
  EXPECT_EQ(link->Cursor(), crHandPoint);
  EXPECT_TRUE(link->AutoSize());
  EXPECT_FALSE(link->Transparent() || link->WordWrap());
  EXPECT_TRUE(link->Enabled() && link->Visible());
  // Auto-size came before the caption: the label fits the default text.
  TWindowDC screen(nullptr);
  TCanvas measure(screen.Get());
  measure.Font().Assign(*link->Font());
  EXPECT_EQ(link->Width(), measure.TextWidth("Welcome to Corvane!"));
  EXPECT_GT(link->Height(), 0);
}

TEST_F(URLLabelTest, PublishesItsPropertiesInTheOrderDescriptionsWriteThem) {
  std::vector<std::string> names;
  for (const TPropInfo& p : const_cast<TClassInfo&>(TkyrURLLabel::StaticClassInfo()).OwnProperties())
    names.push_back(p.Name);
  EXPECT_EQ(names, (std::vector<std::string>{"Caption", "URL", "FontLinkColor", "FontHoverColor", "Font", "Cursor",
                                             "AutoSize", "Color", "Transparent", "WordWrap", "Enabled", "Visible",
                                             "ShowHint", "PopupMenu", "Anchors", "BiDiMode", "OnClick", "OnMouseDown",
                                             "OnMouseMove", "OnMouseUp"}));
}

TEST_F(URLLabelTest, ThePointerTurnsItToTheHoverColourAndBack) {
  link->SetFontLinkColor(clTeal);
  link->SetFontHoverColor(clActiveCaption);  // the main window's values
  const TColor hover = static_cast<TColor>(ColorToRGB(clActiveCaption));
  EXPECT_GT(CountOf(clTeal), 0);
  EXPECT_EQ(CountOf(hover), 0);
  uitest::MovePointerTo(link->ClientToScreen({3, 3}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return link->MouseInControl(); }));
  EXPECT_EQ(link->Font()->Color(), clActiveCaption);
  EXPECT_GT(CountOf(hover), 0);
  EXPECT_EQ(CountOf(clTeal), 0);
  // The hand over the label.
  SendMessageA(host->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(host->Handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
  // A new link colour takes effect at once, away from the hover colour.
  link->SetFontLinkColor(clGreen);
  EXPECT_EQ(link->Font()->Color(), clGreen);
  uitest::MovePointerTo({5, 5});
  ASSERT_TRUE(uitest::PumpUntil([&] { return !link->MouseInControl(); }));
  EXPECT_EQ(link->Font()->Color(), clGreen);
  EXPECT_GT(CountOf(clGreen), 0);
  uitest::MovePointerTo(link->ClientToScreen({3, 3}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return link->MouseInControl(); }));
  EXPECT_EQ(link->Font()->Color(), clActiveCaption);
  uitest::MovePointerTo({5, 5});
  uitest::PumpUntil([&] { return !link->MouseInControl(); });
}

TEST_F(URLLabelTest, AClickOpensTheUntrimmedAddressThenFiresOnClick) {
  struct TCase {
    const char* url;
    bool opens;
  } cases[] = {{"http://www.corvane.example/", true}, {"  http://www.corvane.example/x \t", true}, {"", false},
               {"   ", false}, {"\t\r\n", false}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string("[") + c.url + "]");
    TShellRecorder shell;
    shell.events = &events;
    events.clear();
    link->SetURL(c.url);
    ClickLink();
    if (c.opens) {
      ASSERT_EQ(shell.calls.size(), 1u);
      EXPECT_EQ(shell.calls[0].owner, nullptr);
      EXPECT_EQ(shell.calls[0].verb, "open");
      EXPECT_EQ(shell.calls[0].file, c.url);
      EXPECT_EQ(shell.calls[0].show, SW_SHOW);
      EXPECT_EQ(events, (std::vector<std::string>{"shell", "click"}));
    } else {
      EXPECT_TRUE(shell.calls.empty());
      EXPECT_EQ(events, (std::vector<std::string>{"click"}));
    }
  }
}

// The unix path of a Windows path, through Wine's kernel32; empty outside Wine.
std::string UnixPathOf(const std::string& path) {
  using TGetUnixFileName = char*(CDECL*)(LPCWSTR);
  auto get = reinterpret_cast<TGetUnixFileName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!get) return {};
  std::wstring wide(path.begin(), path.end());
  char* unix = get(wide.c_str());
  if (!unix) return {};
  std::string result = unix;
  HeapFree(GetProcessHeap(), 0, unix);
  return result;
}

// HKCU\Software\Wine\WineBrowser "Browsers" set to VALUE while the object lives.
class TBrowserSetting {
public:
  explicit TBrowserSetting(const std::string& value) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
    char old[1024];
    DWORD size = sizeof old;
    had_ = RegQueryValueExA(key_, "Browsers", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
    if (had_) old_.assign(old, size ? size - 1 : 0);
    RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  }
  ~TBrowserSetting() {
    if (had_)
      RegSetValueExA(key_, "Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(old_.c_str()), static_cast<DWORD>(old_.size() + 1));
    else
      RegDeleteValueA(key_, "Browsers");
    RegCloseKey(key_);
  }
  TBrowserSetting(const TBrowserSetting&) = delete;
  TBrowserSetting& operator=(const TBrowserSetting&) = delete;

private:
  HKEY key_ = nullptr;
  bool had_ = false;
  std::string old_;
};

// The real ShellExecuteA: Wine hands http addresses to winebrowser, which runs the first
// program of its "Browsers" setting, here a script that records the address.
TEST_F(URLLabelTest, TheShellHandsTheAddressToTheBrowser) {
  const std::string source = EnvOr("VANTOR_SOURCE_DIR", "");
  TempDir dir;
  const std::string log = dir / "opened.txt";
  const std::string unixLog = UnixPathOf(log);
  if (source.empty() || unixLog.empty()) GTEST_SKIP() << "needs Wine and VANTOR_SOURCE_DIR (run through CTest)";
  TBrowserSetting browser("\"" + source + "/tests/skin/controls/record-browser\" \"" + unixLog + "\"");
  link->SetURL("http://www.corvane.example/");
  ClickLink();
  EXPECT_EQ(events, (std::vector<std::string>{"click"}));
  ASSERT_TRUE(uitest::PumpUntil([&] { return PathExists(log); }, 20000));
  std::string line;
  ASSERT_TRUE(uitest::PumpUntil([&] {
    std::ifstream in(log);
    return std::getline(in, line) && !line.empty();
  }));
  EXPECT_EQ(line, "http://www.corvane.example/");
}

}  // namespace
