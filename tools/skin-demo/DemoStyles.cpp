#include "tools/skin-demo/DemoStyles.h"

#include "skin/KYRStyled.h"

void RestyleForm(TCustomForm& form, TkyrUIStyle style, TkyrFileTheme* theme) {
  // A built-in style drops the theme, so no component keeps drawing from a file it no longer shows.
  const TkyrStyleSource source(style == FromThemeFile ? theme : nullptr, style);
  for (int i = 0; i < form.ComponentCount(); ++i)
    if (IkyrSkinned* skinned = AsSkinned(form.Components(i))) skinned->ApplyStyle(source);
}

void RestyleAllForms(TkyrUIStyle style, TkyrFileTheme* theme) {
  // A copy: restyling creates no forms, but the list is not ours to hold across calls.
  const std::vector<TCustomForm*> forms = AllForms();
  for (TCustomForm* form : forms) RestyleForm(*form, style, theme);
}
