#pragma once

#include <functional>

#include "EditorCore/GUI_BackBuffer.h"
#include "EditorCore/GUI_Wnd.h"
#include "EngineCore/Scene.h"
#include "ViewerCamera.h"

namespace TarvelHost {

// The viewer's window: the scene's objects drawn as a skeleton (a bone from each object to
// its parent when that parent is a joint, a dot at each object, selected objects
// highlighted). Mouse: left drag orbits, middle drag or Shift + left drag pans, the wheel
// zooms, a left click without a drag picks the object under the pointer (or clears the
// selection on empty space). Keys: A frames every object, F the selected ones.
// Contract:
// 1. A joint is an object the scene file names as one (a skin's joint) or an animated
//    object; a scene root or a mesh node starts no bone.
// 2. RequestRedraw paints once at the next turn of the event loop however often it is
//    called before; while following, it first turns the camera to the animated objects.
class ViewerWnd : public EditorCore::GUI_Wnd {
 public:
  static constexpr EditorCore::COLORREF kBackground = EditorCore::RGB(38, 41, 46);
  static constexpr EditorCore::COLORREF kBone = EditorCore::RGB(170, 176, 186);
  static constexpr EditorCore::COLORREF kJoint = EditorCore::RGB(235, 235, 235);
  static constexpr EditorCore::COLORREF kAnimatedJoint = EditorCore::RGB(110, 190, 255);
  static constexpr EditorCore::COLORREF kSelected = EditorCore::RGB(255, 160, 40);
  static constexpr int kJointRadius = 3;
  static constexpr int kPickRadius = 8;

  // The scene changed or was picked from: the new selection is in its edition manager.
  using SelectionHandler = std::function<void()>;

  void SetScene(EngineCore::Scene* newScene);
  EngineCore::Scene* GetScene() const { return scene; }
  // Frames every object of the scene where it stands now.
  void FrameAll();
  // Frames the selected objects (every object when none is selected).
  void FrameSelected();
  // Objects were posed: repaint.
  void RequestRedraw();
  // Keeps the animated objects at the centre of the view, at the camera's distance.
  void SetFollow(bool follow) { following = follow; }
  bool IsFollowing() const { return following; }
  void SetSelectionHandler(SelectionHandler handler) { onSelection = std::move(handler); }

  // Draws the view into a back buffer of any size.
  void Render(EditorCore::GUI_BackBuffer& buffer) const;
  // The object drawn nearest to a client point within the pick radius, or null.
  EngineCore::SceneObject* PickObject(EditorCore::CPoint point, int viewWidth, int viewHeight) const;
  // Selects the picked object alone (none for empty space), as a click does.
  void SelectAt(EditorCore::CPoint point);

  ViewerCamera& GetCamera() { return camera; }
  int GetPaintCount() const { return paintCount; }

  bool OnEraseBkgnd(EditorCore::GUI_DC& dc) override;
  void OnLButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnLButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMButtonDown(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMButtonUp(EditorCore::UINT flags, EditorCore::CPoint point) override;
  void OnMouseMove(EditorCore::UINT flags, EditorCore::CPoint point) override;
  bool OnMouseWheel(EditorCore::UINT flags, short delta, EditorCore::CPoint screenPoint) override;
  void OnKeyDown(EditorCore::UINT key, EditorCore::UINT repeat, EditorCore::UINT flags) override;

  static bool IsJoint(const EngineCore::SceneObject& object) { return object.IsJoint() || object.GetController(); }
  // The object's rotation in the scene: its parents' and its own.
  static EngineCore::Quaternion WorldRotation(const EngineCore::SceneObject& object);

 private:
  using ObjectFilter = bool (*)(const EngineCore::SceneObject&, const EngineCore::Scene&);
  // The box around the objects the filter keeps; false when it keeps none.
  bool Bounds(ObjectFilter keep, EngineCore::Vector3& low, EngineCore::Vector3& high) const;
  // Frames the objects the filter keeps, as a box reaching at least `minimumRadius` from its
  // centre along each axis.
  bool Frame(ObjectFilter keep, float minimumRadius);

  enum class Drag { None, Orbit, Pan };

  EngineCore::Scene* scene = nullptr;
  ViewerCamera camera;
  SelectionHandler onSelection;
  Drag drag = Drag::None;
  bool moved = false;
  EditorCore::CPoint pressPoint;
  EditorCore::CPoint lastPoint;
  int paintCount = 0;
  bool following = true;
};

}  // namespace TarvelHost
