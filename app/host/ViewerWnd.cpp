#include "ViewerWnd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "EngineCore/SceneEditionManager.h"

namespace TarvelHost {

using namespace EditorCore;
using EngineCore::SceneObject;
using EngineCore::Vector3;

namespace {
constexpr int kDragThreshold = 3;
bool kEveryObject(const SceneObject&, const EngineCore::Scene&) { return true; }
}  // namespace

void ViewerWnd::SetScene(EngineCore::Scene* newScene) {
  const bool changed = newScene != scene;
  scene = newScene;
  if (changed) FrameAll();
  Invalidate(true);
}

bool ViewerWnd::Bounds(ObjectFilter keep, Vector3& low, Vector3& high) const {
  if (!scene) return false;
  constexpr float big = std::numeric_limits<float>::max();
  low = Vector3(big, big, big);
  high = Vector3(-big, -big, -big);
  bool any = false;
  std::vector<Vector3> positions;
  scene->ComputeWorldPositions(positions);
  for (std::uint32_t i = 0; i < scene->GetObjectCount(); ++i) {
    if (!keep(*scene->GetObjectAt(i), *scene)) continue;
    any = true;
    const Vector3& p = positions[i];
    for (int axis = 0; axis < 3; ++axis) {
      low[axis] = std::min(low[axis], p[axis]);
      high[axis] = std::max(high[axis], p[axis]);
    }
  }
  return any;
}

bool ViewerWnd::Frame(ObjectFilter keep, float minimumRadius) {
  Vector3 low;
  Vector3 high;
  if (!Bounds(keep, low, high)) return false;
  const Vector3 centre = Vector3::Lerp(low, high, 0.5f);
  for (int axis = 0; axis < 3; ++axis) {
    low[axis] = std::min(low[axis], centre[axis] - minimumRadius);
    high[axis] = std::max(high[axis], centre[axis] + minimumRadius);
  }
  CRect client;
  GetClientRect(client);
  const float aspect =
      client.Height() > 0 ? static_cast<float>(client.Width()) / static_cast<float>(client.Height()) : 1.0f;
  camera.Fit(low, high, aspect);
  return true;
}

void ViewerWnd::FrameAll() { Frame(kEveryObject, 0.0f); }

void ViewerWnd::FrameSelected() {
  // A single joint is framed with room around it (a tenth of the scene), not from a hair's
  // breadth away.
  Vector3 low;
  Vector3 high;
  float room = 0.0f;
  if (Bounds(kEveryObject, low, high)) {
    const Vector3 size = high - low;
    room = std::sqrt(size.x * size.x + size.y * size.y + size.z * size.z) * 0.1f;
  }
  const bool framed = Frame(
      [](const SceneObject& object, const EngineCore::Scene& owner) {
        return owner.GetEditionManager() && owner.GetEditionManager()->IsSelected(&object);
      },
      room);
  if (!framed) FrameAll();
}

void ViewerWnd::RequestRedraw() {
  if (following && scene) {
    const float distance = camera.GetDistance();
    const float yaw = camera.GetYaw();
    const float pitch = camera.GetPitch();
    if (Frame([](const SceneObject& object, const EngineCore::Scene&) { return object.GetController() != nullptr; },
              0.0f)) {
      camera.SetView(camera.GetTarget(), distance, yaw, pitch);
    }
  }
  Invalidate(true);
}

EngineCore::Quaternion ViewerWnd::WorldRotation(const SceneObject& object) {
  EngineCore::Quaternion rotation = object.GetLocalRotation();
  for (const SceneObject* above = object.GetParent(); above; above = above->GetParent()) {
    rotation = above->GetLocalRotation() * rotation;
  }
  return rotation;
}

void ViewerWnd::Render(GUI_BackBuffer& buffer) const {
  const int width = buffer.GetWidth();
  const int height = buffer.GetHeight();
  buffer.Fill(kBackground);
  if (!scene) {
    buffer.SetTextColor(kBone);
    buffer.DrawText("No scene", CRect(0, 0, width, height), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    return;
  }
  const EngineCore::SceneEditionManager* selection = scene->GetEditionManager();
  // Every object placed in one pass: a paint costs time linear in the objects, however deep
  // their hierarchy.
  std::vector<Vector3> positions;
  scene->ComputeWorldPositions(positions);
  std::vector<ViewerCamera::Projection> points(scene->GetObjectCount());
  for (std::uint32_t i = 0; i < scene->GetObjectCount(); ++i) points[i] = camera.Project(positions[i], width, height);
  // Bones first, so the joints stay on top of them.
  const std::uint32_t count = scene->GetObjectCount();
  std::vector<char> hasJointChild(count, 0);
  for (std::uint32_t i = 0; i < count; ++i) {
    const SceneObject* parentObject = scene->GetObjectAt(i)->GetParent();
    if (parentObject && IsJoint(*scene->GetObjectAt(i))) hasJointChild[parentObject->GetIndex()] = 1;
  }
  auto line = [&](const ViewerCamera::Projection& from, const ViewerCamera::Projection& to) {
    buffer.MoveTo(static_cast<int>(std::lround(from.x)), static_cast<int>(std::lround(from.y)));
    buffer.LineTo(static_cast<int>(std::lround(to.x)), static_cast<int>(std::lround(to.y)));
  };
  for (std::uint32_t i = 0; i < count; ++i) {
    const SceneObject* object = scene->GetObjectAt(i);
    // A bone joins two joints: a scene root holding the skeleton draws no line to the hips.
    const SceneObject* parentObject = object->GetParent();
    const int parent = parentObject && IsJoint(*parentObject) ? static_cast<int>(parentObject->GetIndex()) : -1;
    if (parent < 0 || !points[i].visible || !points[static_cast<std::size_t>(parent)].visible) continue;
    const bool selected = selection && selection->IsSelected(object);
    buffer.SetPen(selected ? kSelected : kBone, selected ? 3 : 2);
    line(points[static_cast<std::size_t>(parent)], points[i]);
    // A joint that ends its chain (a head, a hand) shows its own turn: a bone half as long as the
    // one to it, along its own rotation, as a child at its own offset would lie.
    if (!hasJointChild[i] && IsJoint(*object)) {
      const Vector3 offset = object->GetLocalTranslation();
      const float offsetLength = std::sqrt(offset.x * offset.x + offset.y * offset.y + offset.z * offset.z);
      const Vector3 bone = positions[i] - positions[static_cast<std::size_t>(parent)];
      const float boneLength = std::sqrt(bone.x * bone.x + bone.y * bone.y + bone.z * bone.z);
      if (!(offsetLength > 0.0f) || !(boneLength > 0.0f)) continue;
      const Vector3 along = WorldRotation(*object).Rotate(offset) * (0.5f * boneLength / offsetLength);
      const ViewerCamera::Projection tip = camera.Project(positions[i] + along, width, height);
      if (tip.visible) line(points[i], tip);
    }
  }
  // Names of selected objects that share a place are stacked rather than drawn over each other.
  std::vector<CPoint> labels;
  for (std::uint32_t i = 0; i < scene->GetObjectCount(); ++i) {
    if (!points[i].visible) continue;
    const SceneObject* object = scene->GetObjectAt(i);
    const bool selected = selection && selection->IsSelected(object);
    const COLORREF colour = selected ? kSelected : (object->GetController() ? kAnimatedJoint : kJoint);
    const int x = static_cast<int>(std::lround(points[i].x));
    const int y = static_cast<int>(std::lround(points[i].y));
    const int r = selected ? kJointRadius + 1 : kJointRadius;
    buffer.FillRect(CRect(x - r, y - r, x + r + 1, y + r + 1), colour);
    // An object whose animation sets its morph weights shows them below it, two decimals each.
    if (const std::vector<float>& weights = object->GetMorphWeights(); !weights.empty()) {
      std::string text;
      char number[32];
      for (const float weight : weights) {
        std::snprintf(number, sizeof number, "%s%.2f", text.empty() ? "" : " ", static_cast<double>(weight));
        text += number;
      }
      buffer.SetTextColor(kAnimatedJoint);
      buffer.DrawText(text, CRect(x + 6, y + 8, x + 306, y + 24), DT_LEFT | DT_SINGLELINE);
    }
    if (selected && object->HasName()) {
      int top = y - 8;
      for (bool shifted = true; shifted;) {
        shifted = false;
        for (const CPoint& label : labels) {
          if (std::abs(label.x - x) < 40 && std::abs(label.y - top) < 16) {
            top = label.y + 16;
            shifted = true;
          }
        }
      }
      labels.emplace_back(x, top);
      buffer.SetTextColor(kSelected);
      buffer.DrawText(object->GetName().str(), CRect(x + 6, top, x + 206, top + 16), DT_LEFT | DT_SINGLELINE);
    }
  }
  buffer.SetTextColor(kBone);
  const std::string caption = std::to_string(scene->GetObjectCount()) + " objects";
  buffer.DrawText(caption, CRect(6, 4, width, 22), DT_LEFT | DT_SINGLELINE);
}

SceneObject* ViewerWnd::PickObject(CPoint point, int viewWidth, int viewHeight) const {
  if (!scene) return nullptr;
  SceneObject* best = nullptr;
  float bestDistance = static_cast<float>(kPickRadius * kPickRadius) + 0.5f;
  float bestDepth = std::numeric_limits<float>::max();
  std::vector<Vector3> positions;
  scene->ComputeWorldPositions(positions);
  for (std::uint32_t i = 0; i < scene->GetObjectCount(); ++i) {
    SceneObject* object = scene->GetObjectAt(i);
    const auto p = camera.Project(positions[i], viewWidth, viewHeight);
    if (!p.visible) continue;
    const float dx = p.x - static_cast<float>(point.x);
    const float dy = p.y - static_cast<float>(point.y);
    const float d = dx * dx + dy * dy;
    // Among joints drawn on top of each other the nearest to the camera wins.
    if (d < bestDistance - 0.5f || (d <= bestDistance && p.depth < bestDepth)) {
      best = object;
      bestDistance = d;
      bestDepth = p.depth;
    }
  }
  return best;
}

void ViewerWnd::SelectAt(CPoint point) {
  if (!scene || !scene->GetEditionManager()) return;
  CRect client;
  GetClientRect(client);
  SceneObject* picked = PickObject(point, client.Width(), client.Height());
  EngineCore::SceneEditionManager* selection = scene->GetEditionManager();
  selection->ClearObjectSelection(true);
  if (picked) selection->ToggleObjectSelection(picked);
  Invalidate(true);
  if (onSelection) onSelection();
}

bool ViewerWnd::OnEraseBkgnd(GUI_DC& dc) {
  CRect client;
  GetClientRect(client);
  GUI_BackBuffer buffer;
  if (!buffer.Create(dc, client)) return true;
  Render(buffer);
  buffer.Present();
  ++paintCount;
  return true;
}

void ViewerWnd::OnLButtonDown(UINT flags, CPoint point) {
  SetFocus();
  drag = (flags & MK_SHIFT) ? Drag::Pan : Drag::Orbit;
  moved = false;
  pressPoint = lastPoint = point;
  SetCapture();
}

void ViewerWnd::OnLButtonUp(UINT, CPoint point) {
  const bool click = drag != Drag::None && !moved;
  drag = Drag::None;
  if (HasCapture()) ReleaseCapture();
  if (click) SelectAt(point);
}

void ViewerWnd::OnMButtonDown(UINT, CPoint point) {
  SetFocus();
  drag = Drag::Pan;
  moved = false;
  pressPoint = lastPoint = point;
  SetCapture();
}

void ViewerWnd::OnMButtonUp(UINT, CPoint) {
  drag = Drag::None;
  if (HasCapture()) ReleaseCapture();
}

void ViewerWnd::OnMouseMove(UINT, CPoint point) {
  if (drag == Drag::None) return;
  if (std::abs(point.x - pressPoint.x) > kDragThreshold || std::abs(point.y - pressPoint.y) > kDragThreshold) {
    moved = true;
  }
  if (!moved) return;
  const float dx = static_cast<float>(point.x - lastPoint.x);
  const float dy = static_cast<float>(point.y - lastPoint.y);
  lastPoint = point;
  CRect client;
  GetClientRect(client);
  if (drag == Drag::Orbit) {
    camera.Orbit(dx, dy);
  } else {
    camera.Pan(dx, dy, client.Height());
  }
  Invalidate(true);
}

bool ViewerWnd::OnMouseWheel(UINT, short delta, CPoint) {
  camera.Zoom(static_cast<float>(delta) / 120.0f);
  Invalidate(true);
  return true;
}

void ViewerWnd::OnKeyDown(UINT key, UINT, UINT) {
  if (key == 'A') FrameAll();
  if (key == 'F') FrameSelected();
  if (key == 'A' || key == 'F') Invalidate(true);
}

}  // namespace TarvelHost
