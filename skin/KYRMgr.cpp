#include "skin/KYRMgr.h"

#include <windows.h>

#include <cstring>

#include "framework/core/SysUtils.h"
#include "framework/ui/Forms.h"
#include "skin/KYRPublic.h"
#include "skin/KYRStyled.h"
#include "skin/KYRThemeFile.h"

namespace {

std::string WithBackslash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

// The name after the last path separator or drive colon.
std::string FileNamePart(const std::string& path) {
  const size_t cut = path.find_last_of("\\/:");
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ExecutableFolder() {
  char path[MAX_PATH] = {};
  const std::string exe(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return exe.substr(0, exe.size() - FileNamePart(exe).size());
}

std::string SystemFolder(UINT(WINAPI* query)(LPSTR, UINT)) {
  char path[MAX_PATH] = {};
  const UINT length = query(path, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// VALUE itself when it exists, else its file name in the executable's folder, the Windows
// folder and the system folder, in that order; "" when none exists.
std::string FindThemeFile(const std::string& value) {
  if (FileExists(value)) return value;
  const std::string name = FileNamePart(value);
  const std::string candidates[] = {ExecutableFolder(), SystemFolder(GetWindowsDirectoryA),
                                    SystemFolder(GetSystemDirectoryA)};
  for (const std::string& folder : candidates) {
    if (!folder.empty() && FileExists(WithBackslash(folder) + name)) return WithBackslash(folder) + name;
  }
  return "";
}

// The rule by which a theme finds the components to tell: a class name that begins with
// "Tkyr" exactly, and a published FileTheme.
bool TakesThemeByName(const TComponent& component) {
  return std::strncmp(component.ClassName(), "Tkyr", 4) == 0 && HasProperty(&component, "FileTheme");
}

}  // namespace

// ---- TkyrFileTheme ----

TkyrFileTheme::TkyrFileTheme(TComponent* owner) : TComponent(owner) {}

TkyrFileTheme::~TkyrFileTheme() = default;

void TkyrFileTheme::DeclarePublished(TPublished<TkyrFileTheme>& p) {
  p.String("ThemeFile", &TkyrFileTheme::ThemeFile, &TkyrFileTheme::SetThemeFile);
}

bool TkyrFileTheme::CheckThemeFile(const std::string& fileName) const { return IsValidThemeFile(fileName); }

void TkyrFileTheme::SetThemeFile(const std::string& value) {
  const bool wasEmpty = themePath_.empty();
  if (value == themePath_) return;
  const std::string path = FindThemeFile(value);
  if (path.empty()) return;
  if (!CheckThemeFile(path)) throw Exception("Invalid skin file for Tessarn!");
  themePath_ = path;
  themeLoaded_ = themeMgr_.LoadFromFile(path);
  if (themeLoaded_) TellSkinnedComponents(wasEmpty);
}

// Re-assigns this theme to every skinned component of the owner form that uses it, so
// each re-reads its elements; a form panel using it has the frame redrawn on a reload.
void TkyrFileTheme::TellSkinnedComponents(bool wasEmpty) {
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (!form) return;
  bool found = false;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* component = form->Components(i);
    if (const IkyrFramePanel* panel = AsFramePanel(component); panel && panel->FileTheme() == this) found = true;
    IkyrSkinned* skinned = AsSkinned(component);
    if (skinned && skinned->FileTheme() == this && TakesThemeByName(*component)) skinned->SetFileTheme(this);
  }
  // Wine and Windows recompute the non-client area only on SWP_FRAMECHANGED.
  if (found && !wasEmpty && form->HandleAllocated()) RedrawFrame(form->Handle());
}

void TkyrFileTheme::GetBitmap(int element, TGraphic* graphic) const { themeMgr_.GetBitmap(element, graphic); }

void TkyrFileTheme::GetBitmap(int element, TGraphic* graphic, int frameCount, int frameIndex) const {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) return;
  TBitmap strip;
  themeMgr_.GetBitmap(element, &strip);
  ExtractBitmapFrame(strip, *bitmap, frameCount, frameIndex);
}

// ---- which source ----

bool UsingFileTheme(const TkyrFileTheme* fileTheme, TkyrUIStyle style, TkyrUIStyle& effective) {
  effective = style;
  if (style != FromThemeFile) return false;
  if (fileTheme && fileTheme->IsThemeLoaded()) return true;
  effective = DeepBlue;
  return false;
}
