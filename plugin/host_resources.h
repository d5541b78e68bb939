// The files that ship beside the plug-in (text/) and that the host reads by name: the message
// file with every label and help text, and the command icons.
#pragma once

#include <string>

#include "toolkit/pro_toolkit.h"

inline constexpr ProWchar kMessageFile[] = u"vistrel_msg.txt";

inline constexpr char kIconExport[] = "vs_export.png";
inline constexpr char kIconRender[] = "vs_render.png";
inline constexpr char kIconUpdate[] = "vs_update.png";
inline constexpr char kIconSettings[] = "vs_settings.png";
// The selection commands: the mode in force, and the other one.
inline constexpr char kIconModeChosen[] = "vs_update_checked.png";
inline constexpr char kIconModeNotChosen[] = "vs_update_unchecked.png";
// What the selection commands show once one of them has run.
inline constexpr char kIconChecked[] = "checked.png";
inline constexpr char kIconUnchecked[] = "unchecked.png";

// The text of key in the message file, as the host gives it in one message line (at most 80
// characters); empty when the file lacks the key.
std::u16string MessageText(const char* key);
