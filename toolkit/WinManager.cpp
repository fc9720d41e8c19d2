#include "toolkit/WinManager.h"

void WinManager::RouteMessage(UINT, WPARAM, LPARAM) {}

void WinManager::PaintAll(HDC, const RECT&) {}

void WinManager::OnActivate(bool) {}
