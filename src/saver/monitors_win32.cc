#include "saver/monitors_win32.h"

#include "render/frame.h"
#include "render/gl_context_win32.h"
#include "shell/saver_shell_win32.h"

PixelRect MonitorViews[kMostMonitors] = {};
int32_t MonitorViewCount = 0;

namespace {

typedef BOOL(WINAPI* EnumDisplayMonitorsProc)(HDC dc, LPCRECT clip, MONITORENUMPROC callback,
                                              LPARAM data);

// Where the client area lies on the virtual screen, and its height, for
// turning a monitor's rectangle into drawable pixels counted from below.
struct ClientPlace {
  POINT origin;
  int32_t height;
  int32_t found;  // monitors seen, those past the table included
};

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT monitor, LPARAM data) {
  ClientPlace& place = *reinterpret_cast<ClientPlace*>(data);
  const int32_t i = place.found++;
  if (i >= kMostMonitors) return FALSE;
  MonitorViews[i] = PixelRect{monitor->left - place.origin.x,
                              place.height - (monitor->bottom - place.origin.y),
                              monitor->right - monitor->left, monitor->bottom - monitor->top};
  return TRUE;
}

}  // namespace

void TakeMonitorViews(HWND window) {
  MonitorViewCount = 0;
  if (IsPreview) return;
  // Looked up, not linked: Windows 95 and NT 4 have no such call, and the
  // saver still starts there.
  const auto enumerate = reinterpret_cast<EnumDisplayMonitorsProc>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleA("USER32.DLL"), "EnumDisplayMonitors")));
  RECT client = {};
  ClientPlace place = {{0, 0}, 0, 0};
  if (!enumerate || !GetClientRect(window, &client) || !ClientToScreen(window, &place.origin)) return;
  place.height = client.bottom;
  enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&place));
  if (place.found >= 2 && place.found <= kMostMonitors) MonitorViewCount = place.found;
}

void FollowDisplayChange(HWND window) {
  RECT client = {};
  GetClientRect(window, &client);
  ClientWidth = client.right;
  ClientHeight = client.bottom;
  TakeMonitorViews(window);
  if (MonitorViewCount == 0) SetProjection(ClientWidth, ClientHeight);
}

void DrawMonitorFrames() {
  for (int32_t i = 0; i < MonitorViewCount; ++i) DrawFrameInRect(MonitorViews[i], MonitorViews[i]);
  SwapFrameBuffers();
}
