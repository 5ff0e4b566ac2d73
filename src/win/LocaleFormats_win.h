// The user's regional time and date formats for FormatLongTime and FormatShortDate.
#pragma once

namespace tempora {

// Reads the user's time format, short date format and AM/PM designators and
// makes FormatLongTime and FormatShortDate follow them. Cheap enough to call
// again whenever the user changes them (WM_SETTINGCHANGE); settings that cannot
// be read or used leave zh-CN's formats in their place.
void ApplyUserLocaleFormats();

// The same for a named locale such as L"en-US".
void ApplyLocaleFormats(const wchar_t* localeName);

}  // namespace tempora
