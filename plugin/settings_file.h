// The settings file "vistrel_plugin_settings.xml": the eight settings as a small XML document,
// one text element per setting under the root "vistrel_plugin_settings".
#pragma once

#include <string>

#include "plugin/plugin_settings.h"

// The file's name, relative: it lies in the host process's current directory.
extern const char kSettingsFileName[];

// Writes the whole record to fileName (in the ANSI code page), replacing the file. The paths go
// to the file in the ANSI code page, whole, whatever their length; a character the code page
// lacks is written "?". A file that cannot be written is not reported; anything at fileName
// that is not a regular file (a FIFO, a folder, a device) is left as it is.
void WriteSettingsFile(const PluginSettings& settings, const char* fileName);

// Reads fileName into settings, key by key, each text without the white space at its ends: a
// field whose element is missing or holds no text keeps its value, and so does every field when
// the file is missing, not a regular file, unreadable, malformed, larger than a settings file
// can sensibly be, or holds more than 1,000 "<" or "=" bytes (more markup than TinyXML can
// safely be given: see xml_parse_bounds.h).
void ReadSettingsFile(const char* fileName, PluginSettings& settings);

// The same reading rules for the bytes of a settings file.
void ReadSettingsText(const std::string& text, PluginSettings& settings);
