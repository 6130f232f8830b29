#include <EditorCore/GUI_DnDWnd.h>

namespace EditorCore {

bool GUI_DnDWnd::CanDnD(CPoint) { return false; }
void GUI_DnDWnd::ProcessDnD(CPoint) {}
void GUI_DnDWnd::ShowDnDMenu(CPoint) {}
GUI_Wnd* GUI_DnDWnd::GetWnd() { return nullptr; }

}  // namespace EditorCore
