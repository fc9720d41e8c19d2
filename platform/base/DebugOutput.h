#pragma once
// The device's debug channel: here, standard error. Callers decide whether a line is
// wanted (the toolkit gates its lines by its debug-zone mask); this prints every line.

void NKDbgPrintfW(const wchar_t* format, ...);
