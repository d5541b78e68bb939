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

// How a read of the settings file went.
enum class SettingsFileRead {
    Read,    // the file was read: its fields replaced those of the record
    Absent,  // there is no file: the record is as it was
    Unread,  // a file is there but was not read: the record is as it was
};

// Reads fileName into settings, key by key, each text without the white space at its ends: a
// field whose element is missing or holds no text keeps its value. Every field keeps its value
// when the file is absent, and when it is there but not read: not a regular file, unreadable,
// malformed, without a root element, larger than a settings file can sensibly be, holding more
// than 1,000 "<" or "=" bytes (more markup than TinyXML can safely be given: see
// xml_parse_bounds.h), or memory ran out while it was read.
SettingsFileRead ReadSettingsFile(const char* fileName, PluginSettings& settings);

// The same reading rules for the bytes of a settings file; false when they are not read.
bool ReadSettingsText(const std::string& text, PluginSettings& settings);
