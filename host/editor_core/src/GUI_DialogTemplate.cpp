#include <EditorCore/GUI_DialogTemplate.h>

#include <EditorCore/GUI_Debug.h>

#include <nlohmann/json.hpp>

#include <string>

namespace EditorCore {

namespace {

using nlohmann::json;

bool Fail(const std::string& why) {
  OutputDebugString(("EditorCore: dialog template: " + why + "\n").c_str());
  return false;
}

bool ReadRect(const json& j, CRect& rect) {
  if (!j.is_array() || j.size() != 4) return false;
  for (const auto& v : j) {
    if (!v.is_number_integer()) return false;
  }
  const int x = j[0].get<int>();
  const int y = j[1].get<int>();
  const int w = j[2].get<int>();
  const int h = j[3].get<int>();
  if (w < 0 || h < 0) return false;
  rect = CRect(x, y, x + w, y + h);
  return true;
}

bool ReadOne(const json& j, GUI_DialogTemplate& t) {
  if (!j.is_object()) return Fail("a template must be an object");
  if (!j.contains("id") || !j["id"].is_number_unsigned()) return Fail("a template needs an unsigned \"id\"");
  t.id = j["id"].get<UINT>();
  const std::string name = "template " + std::to_string(t.id);
  const json size = j.value("size", json::array());
  if (!size.is_array() || size.size() != 2 || !size[0].is_number_integer() || !size[1].is_number_integer()) {
    return Fail(name + ": \"size\" must be [width, height]");
  }
  t.size = CSize(size[0].get<int>(), size[1].get<int>());
  if (j.contains("caption")) {
    if (!j["caption"].is_string()) return Fail(name + ": \"caption\" must be text");
    t.caption = j["caption"].get<std::string>();
  }
  if (j.contains("font")) {
    const json& font = j["font"];
    if (!font.is_object() || !font.value("face", json()).is_string() ||
        !font.value("size", json()).is_number_integer()) {
      return Fail(name + ": \"font\" must be {\"face\": text, \"size\": points}");
    }
    t.fontFace = font["face"].get<std::string>();
    t.fontPointSize = font["size"].get<int>();
  }
  if (j.contains("style")) {
    if (!j["style"].is_number_unsigned()) return Fail(name + ": \"style\" must be an unsigned number");
    t.style = j["style"].get<UINT>();
  }
  t.hidden = j.value("hidden", false);
  const json controls = j.value("controls", json::array());
  if (!controls.is_array()) return Fail(name + ": \"controls\" must be an array");
  for (const json& c : controls) {
    GUI_ControlTemplate control;
    if (!c.is_object() || !c.contains("id") || !c["id"].is_number_integer()) {
      return Fail(name + ": each control needs an integer \"id\"");
    }
    control.id = static_cast<UINT>(c["id"].get<long long>());
    if (!c.contains("kind") || !c["kind"].is_string() ||
        !GUI_DialogTemplate::KindFromName(c["kind"].get<std::string>(), control.kind)) {
      return Fail(name + ": control " + std::to_string(control.id) + " has no known \"kind\"");
    }
    if (c.contains("text")) {
      if (!c["text"].is_string()) return Fail(name + ": control text must be text");
      control.text = c["text"].get<std::string>();
    }
    if (c.contains("style")) {
      if (!c["style"].is_number_unsigned()) return Fail(name + ": control style must be an unsigned number");
      control.style = c["style"].get<UINT>();
    }
    control.hidden = c.value("hidden", false);
    control.disabled = c.value("disabled", false);
    if (!c.contains("rect") || !ReadRect(c["rect"], control.rect)) {
      return Fail(name + ": control " + std::to_string(control.id) + " needs \"rect\": [x, y, width, height]");
    }
    t.controls.push_back(std::move(control));
  }
  return true;
}

}  // namespace

bool GUI_DialogTemplate::KindFromName(std::string_view name, GUI_ControlKind& kind) {
  struct Entry {
    std::string_view name;
    GUI_ControlKind kind;
  };
  static constexpr Entry kEntries[] = {
      {"static", GUI_ControlKind::Label},
      {"edit", GUI_ControlKind::Edit},
      {"checkbox", GUI_ControlKind::CheckBox},
      {"button", GUI_ControlKind::PushButton},
      {"defbutton", GUI_ControlKind::DefPushButton},
      {"radio", GUI_ControlKind::RadioButton},
      {"combobox", GUI_ControlKind::ComboBox},
      {"listctrl", GUI_ControlKind::ListCtrl},
      {"groupbox", GUI_ControlKind::GroupBox},
  };
  for (const Entry& e : kEntries) {
    if (e.name == name) {
      kind = e.kind;
      return true;
    }
  }
  return false;
}

bool GUI_DialogTemplate::ParseJson(std::string_view text, std::vector<GUI_DialogTemplate>& out) {
  const json j = json::parse(text.begin(), text.end(), nullptr, false);
  if (j.is_discarded()) return Fail("not valid JSON");
  if (j.is_array()) {
    for (const json& one : j) {
      GUI_DialogTemplate t;
      if (!ReadOne(one, t)) return false;
      out.push_back(std::move(t));
    }
    return true;
  }
  if (j.is_object() && j.contains("templates")) {
    for (const json& one : j["templates"]) {
      GUI_DialogTemplate t;
      if (!ReadOne(one, t)) return false;
      out.push_back(std::move(t));
    }
    return true;
  }
  GUI_DialogTemplate t;
  if (!ReadOne(j, t)) return false;
  out.push_back(std::move(t));
  return true;
}

}  // namespace EditorCore
