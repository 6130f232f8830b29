#pragma once

#include <EditorCore/GUI_Messages.h>
#include <EditorCore/Geometry.h>
#include <EditorCore/WinTypes.h>

#include <memory>
#include <string>

namespace EditorCore {

class GUI_DC;
namespace detail {
struct WndState;
}

// A window object with one widget behind it. Contract:
// 1. Creation makes the widget; DestroyWindow or the destructor removes it. When a parent
//    window is destroyed its children's widgets go with it and their IsWindow turns false;
//    the child objects themselves stay alive and may be destroyed later in any order.
// 2. Every call on a window whose widget does not exist does nothing and returns a neutral
//    value (false, 0, an empty rectangle).
// 3. Painting happens only through invalidation: the widget's paint runs OnEraseBkgnd and
//    then OnPaint with a drawing context over the invalidated window.
// 4. Input is translated into the virtual handlers below, with client coordinates and MK_*
//    flags. Key-down messages are first offered to PreTranslateMessage of the focused window
//    and then of each ancestor window, innermost first; a true result consumes them.
// 5. Timers are per window and id; SetTimer with a running id restarts it.
class GUI_Wnd {
 public:
  GUI_Wnd();
  virtual ~GUI_Wnd();
  GUI_Wnd(const GUI_Wnd&) = delete;
  GUI_Wnd& operator=(const GUI_Wnd&) = delete;

  // A painted child window (the class the module's own controls derive from). Style bits
  // WS_VISIBLE and WS_DISABLED are honoured. Returns false when the window exists already.
  bool CreateChild(GUI_Wnd* parent, UINT id, const CRect& rect, UINT style = WS_CHILD | WS_VISIBLE);
  // A painted top-level window (rect in screen coordinates), hidden until shown.
  bool CreateTopLevel(const std::string& title, const CRect& rect, GUI_Wnd* owner = nullptr);
  void DestroyWindow();
  bool IsWindow() const;

  void ShowWindow(bool show);
  void ShowWindow(int showCommand) { ShowWindow(showCommand != SW_HIDE); }
  bool IsWindowVisible() const;
  void EnableWindow(bool enable);
  bool IsWindowEnabled() const;

  // Position relative to the parent's client area (the screen for top-level windows).
  void MoveWindow(int x, int y, int width, int height, bool repaint = true);
  void MoveWindow(const CRect& rect, bool repaint = true);
  void GetClientRect(CRect& rect) const;  // left and top are 0
  void GetWindowRect(CRect& rect) const;  // screen coordinates

  void Invalidate(bool erase = true);
  void InvalidateRect(const CRect* rect, bool erase = true);
  // Invalidates (a rectangle or the whole window) and paints at once.
  void RedrawWindow(const CRect* rect = nullptr);
  // Paints the pending invalid area now.
  void UpdateWindow();

  void SetFocus();
  bool HasFocus() const;
  static GUI_Wnd* GetFocus();

  void SetCapture();
  static void ReleaseCapture();
  bool HasCapture() const;
  static GUI_Wnd* GetCapture();

  void SetCursor(GUI_Cursor* cursor);
  // Hides or shows the pointer over the whole application (nested calls count).
  static void ShowCursor(bool show);
  static void GetCursorPos(CPoint& screenPoint);
  // True while the key (VK_SHIFT, VK_CONTROL, VK_MENU) is held.
  static bool IsKeyDown(UINT virtualKey);

  bool SetTimer(UINT id, UINT milliseconds);
  bool KillTimer(UINT id);

  // Runs OnWndMsg synchronously and returns its result (0 when it does not handle it).
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
  // Sends a notification (header: this window, its id, code) to the parent's OnNotify.
  // Returns whether the parent handled it; result receives the value the parent set.
  bool NotifyParent(int code, const GUI_NotifyPayload& payload = {}, LRESULT* result = nullptr);
  // Sends a command to this window's OnCommand; returns whether it was handled.
  bool SendCommand(UINT id);

  void ClientToScreen(CPoint& point) const;
  void ScreenToClient(CPoint& point) const;
  void ClientToScreen(CRect& rect) const;
  void ScreenToClient(CRect& rect) const;

  GUI_Wnd* GetParent() const;
  UINT GetDlgCtrlID() const;
  UINT GetStyle() const;
  // The title of a window, or the text of a label, edit, button or check box.
  void SetWindowText(const std::string& text);
  std::string GetWindowText() const;
  // The text shown when the pointer rests on the window; empty for none.
  void SetToolTip(const std::string& text);
  std::string GetToolTip() const;
  // The tooltip at a point of the window, for windows whose parts say different things; the
  // default is the window's own tooltip.
  virtual std::string GetToolTipAt(CPoint point) const;
  void SetFont(GUI_Font* font);

  // The widget behind the window as an untyped handle (null when there is none), for the
  // host application and tests; module code never needs it.
  void* GetSafeHwnd() const;
  // The window object behind a handle returned by GetSafeHwnd, or null.
  static GUI_Wnd* FromHandle(void* handle);

  // Handlers. Defaults do nothing unless stated.
  virtual int OnCreate() { return 0; }
  virtual void OnSize(UINT type, int cx, int cy);
  // Paints the background; true means done. The default fills with the theme's window colour.
  virtual bool OnEraseBkgnd(GUI_DC& dc);
  virtual void OnPaint(GUI_DC& dc);
  virtual void OnLButtonDown(UINT flags, CPoint point);
  virtual void OnLButtonUp(UINT flags, CPoint point);
  virtual void OnLButtonDblClk(UINT flags, CPoint point);
  virtual void OnMButtonDown(UINT flags, CPoint point);
  virtual void OnMButtonUp(UINT flags, CPoint point);
  virtual void OnRButtonDown(UINT flags, CPoint point);
  virtual void OnRButtonUp(UINT flags, CPoint point);
  virtual void OnMouseMove(UINT flags, CPoint point);
  // screenPoint in screen coordinates; delta in 1/120 notches, positive away from the user.
  // Returning false passes the wheel on to the parent window.
  virtual bool OnMouseWheel(UINT flags, short delta, CPoint screenPoint);
  virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
  virtual void OnTimer(UINT id);
  // Commands of child controls (clicks) and of menus. The default passes nothing on.
  virtual bool OnCommand(UINT id);
  virtual bool OnNotify(const GUI_NotifyHeader& header, const GUI_NotifyPayload& payload, LRESULT& result);
  // Private messages sent with SendMessage.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  // The user asked to close a top-level window; the default destroys it.
  virtual void OnClose();
  virtual void OnSetFocus();
  virtual void OnKillFocus();
  virtual void OnDestroy();
  virtual bool PreTranslateMessage(const GUI_Msg& msg);

  // Internal to the layer.
  detail::WndState* State() const { return state.get(); }
  // Takes over a widget made for another window object of the same kind (template controls
  // bound to the module's control objects), then runs OnAttach.
  void AdoptState(std::unique_ptr<detail::WndState> newState);
  std::unique_ptr<detail::WndState> ReleaseState();
  // Runs once the widget belongs to this object: controls connect their signals here.
  virtual void OnAttach() {}

 protected:
  // Gives the object a widget made by a control class; false when it has one already.
  bool AttachNewWidget(void* widget, GUI_Wnd* parent, UINT id, UINT style);

 private:
  std::unique_ptr<detail::WndState> state;
};

}  // namespace EditorCore
