// The cube saver's window procedure and the state it keeps between
// messages.
#pragma once

#include <windows.h>

#include <cstdint>

extern int32_t FirstPaintSeen;  // set by the first WM_PAINT, never cleared
extern HGLRC GLContext;
extern uint16_t TickTimerId;

LRESULT CALLBACK CubeSaverProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
