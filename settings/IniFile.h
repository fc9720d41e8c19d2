#pragma once
// The program's reader and writer of its settings file (see IniDocument.h for the
// format). Every call opens and reads the whole file again; nothing is cached. Readers
// touch their out value only on success. Writers never lose the file: the new content
// goes to a temporary file beside it that then replaces it in one step, so a reader on
// another thread or process sees the old file or the new one, and a broken write
// leaves the old. A writer reads, changes and replaces the file holding a lock on
// "<file>.lock", so writers in several threads or processes lose no update. A value
// with a line break is refused. The program never creates the file: when it is
// missing, every call fails.

#include "platform/base/Win32Types.h"

#include <string>

bool IniReadString(LPCWSTR section, LPCWSTR key, std::wstring& value, LPCWSTR file);
bool IniReadInt(LPCWSTR section, LPCWSTR key, int& value, LPCWSTR file);
bool IniWriteString(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file);
bool IniWriteInt(LPCWSTR section, LPCWSTR key, int value, LPCWSTR file);
