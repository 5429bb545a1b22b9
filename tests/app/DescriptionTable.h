// One table per window: every component its stored description makes, with its class, parent,
// bounds and the values of its published properties as a description writes them, compared
// with what the window holds after start-up.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "framework/ui/Forms.h"
#include "skin/frame/KYRForm.h"

namespace apptest {

// A published property as a stored description writes it: identifiers for enumerations,
// booleans and named integers and colours, sets in brackets, a component by its name, and
// "assigned" for an event with a handler. PATH may reach into sub-objects ("Font.Color").
std::string PropText(const TObject& object, std::string_view path);

using TValues = std::vector<std::pair<const char*, std::string>>;
void ExpectValues(const TObject& object, const TValues& values);

struct TBounds {
  int left, top, width, height;
};

struct TComponentRow {
  const char* name;
  const char* className;
  const char* parent;  // "" for none
  std::optional<TBounds> bounds;  // controls only
  TValues values;
};

// PANEL's title-bar buttons and sections, in their stored order, each with the values of its row.
void ExpectTitleBar(const TkyrForm& panel, const std::vector<TValues>& buttons, const std::vector<TValues>& sections);

// The title-bar buttons and sections the main window stores, in their order; the About window
// has the same, the message window the same sections.
std::vector<TValues> MainTitleBarButtons();
std::vector<TValues> MainTitleBarSections();

// FORM (the first row, by its name) and its components in the order of ROWS, which is the order
// the description lists them in: nothing more, nothing less, each as its row says.
void ExpectComponents(TCustomForm& form, const std::vector<TComponentRow>& rows);

}  // namespace apptest
