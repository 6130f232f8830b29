#pragma once

#include "EngineCore/AnimClip.h"
#include "EngineCore/Crc32.h"
#include "EngineCore/Scene.h"
#include "ModuleHost.h"
#include "graph/GUI_CurvePanelDialog.h"

// The project's clip "Walk" (channels Root and Arm) open on a page, and a scene whose objects
// Root (tagged "Hero") and Arm are animated by it; a lamp is not.
class PreviewHost : public ModuleHost {
 protected:
  void SetUp() override {
    ModuleHost::SetUp();
    clip = Open("Walk");
    root = scene.CreateObject(EngineCore::String("Root"));
    arm = scene.CreateObject(EngineCore::String("Arm"), root);
    lamp = scene.CreateObject(EngineCore::String("Lamp"));
    scene.SetTag(root, "Hero");
    for (EngineCore::SceneObject* object : {root, arm}) {
      EngineCore::AnimController* controller = object->CreateController();
      controller->AddClip(clip);
      const EngineCore::String& name = object->GetName();
      controller->SetChannelKey(EngineCore::Crc32::Compute(name.GetTextLength(), name.c_str()));
    }
    module->OnFrameworkMessage(2249, reinterpret_cast<EditorCore::WPARAM>(&scene), 0);
    panel = &Panel();
  }
  void TearDown() override {
    // The page lets go of the scene before it goes.
    module->OnFrameworkMessage(2249, 0, 0);
    ModuleHost::TearDown();
  }
  EngineCore::SceneEditionManager& Selection() { return *scene.GetEditionManager(); }
  EditorCore::GUI_ComboBox& Combo() { return Item<EditorCore::GUI_ComboBox>(*panel, 1023); }
  std::vector<std::string> Entries() {
    std::vector<std::string> entries;
    for (int i = 0; i < Combo().GetCount(); ++i) entries.push_back(Combo().GetLBText(i));
    return entries;
  }
  // The user picks an entry of the object list.
  void Pick(int entry) {
    Combo().SetCurSel(entry);
    EditorCore::GUI_NotifyPayload payload;
    payload.item = entry;
    Notify(*panel, &Combo(), 1023, EditorCore::GUI_ComboBox::NotifySelChange, payload);
  }
  const std::vector<EngineCore::SceneObject*>& Chosen() { return Page()->GetPreviewObjects().chosenObjects; }

  EngineCore::Scene scene;
  EngineCore::AnimClip* clip = nullptr;
  EngineCore::SceneObject* root = nullptr;
  EngineCore::SceneObject* arm = nullptr;
  EngineCore::SceneObject* lamp = nullptr;
  Tarvel::GUI_CurvePanelDialog* panel = nullptr;
};
