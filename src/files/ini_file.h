// Loading, saving and changing the INI data (one file at a time).
#pragma once
#include "files/ini_data.h"

// Empties the data and reads the named file (through the media lookup); a
// file that cannot be opened leaves the data empty, with no error.
void IniLoad(IniData& data, const char* name);
// Writes the data back when it was changed and has a file name.
void IniSave(const IniData& data);
// The value, or "NO_DATA".
std::string IniGetValue(const IniData& data, const char* section, const char* key);
// IniChange; a refused change goes to the error log.
void IniPutValue(IniData& data, const char* section, const char* key, const char* value);
