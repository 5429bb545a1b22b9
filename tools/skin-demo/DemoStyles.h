// Restyling the demo's windows: every skinned component a window owns, found through the skin's
// own base (AsSkinned), is given one style source, so each image of the style is decoded once per
// window.
#pragma once

#include "framework/ui/Forms.h"
#include "skin/KYRMgr.h"
#include "skin/KYRThemes.h"

// Every skinned component FORM owns to STYLE, drawn from THEME when STYLE is FromThemeFile.
void RestyleForm(TCustomForm& form, TkyrUIStyle style, TkyrFileTheme* theme);
// RestyleForm for every form of the application (the demo's windows).
void RestyleAllForms(TkyrUIStyle style, TkyrFileTheme* theme);
