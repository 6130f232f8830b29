#include <EditorCore/GUI_ResourceContext.h>

#include <EditorCore/GUI_Debug.h>

#include "Handles.h"
#include "HostResources.h"

#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

#include <map>
#include <memory>
#include <tuple>
#include <vector>

namespace EditorCore {

namespace detail {

GUI_ResourceBundle MakeHostBundle() {
  auto control = [](UINT id, GUI_ControlKind kind, const char* text, int x, int y, int w, int h) {
    GUI_ControlTemplate c;
    c.id = id;
    c.kind = kind;
    c.text = text;
    c.rect = CRect(x, y, x + w, y + h);
    return c;
  };
  GUI_ResourceBundle bundle;
  auto message = [&](UINT id, std::vector<GUI_ControlTemplate> buttons) {
    GUI_DialogTemplate t;
    t.id = id;
    t.size = CSize(220, 80);
    t.controls.push_back(control(100, GUI_ControlKind::Label, "", 7, 7, 206, 44));
    for (auto& b : buttons) t.controls.push_back(b);
    bundle.AddTemplate(t);
  };
  message(kMessageDialogTemplate, {control(IDOK, GUI_ControlKind::DefPushButton, "OK", 163, 59, 50, 14)});
  message(kMessageYesNoTemplate, {control(IDYES, GUI_ControlKind::DefPushButton, "Yes", 107, 59, 50, 14),
                                  control(IDNO, GUI_ControlKind::PushButton, "No", 163, 59, 50, 14)});
  message(kMessageOkCancelTemplate, {control(IDOK, GUI_ControlKind::DefPushButton, "OK", 107, 59, 50, 14),
                                     control(IDCANCEL, GUI_ControlKind::PushButton, "Cancel", 163, 59, 50, 14)});
  message(kMessageChoiceTemplate, {control(1001, GUI_ControlKind::PushButton, "", 51, 59, 50, 14),
                                   control(1002, GUI_ControlKind::PushButton, "", 107, 59, 50, 14),
                                   control(1003, GUI_ControlKind::PushButton, "", 163, 59, 50, 14)});
  GUI_DialogTemplate combo;
  combo.id = kComboEnterDialogTemplate;
  combo.size = CSize(220, 80);
  combo.controls = {control(102, GUI_ControlKind::Label, "", 7, 7, 20, 20),
                    control(100, GUI_ControlKind::Label, "", 32, 7, 181, 12),
                    control(101, GUI_ControlKind::ComboBox, "", 32, 22, 181, 80),
                    control(IDOK, GUI_ControlKind::DefPushButton, "OK", 107, 59, 50, 14),
                    control(IDCANCEL, GUI_ControlKind::PushButton, "Cancel", 163, 59, 50, 14)};
  bundle.AddTemplate(combo);
  return bundle;
}

}  // namespace detail

namespace {

struct Registry {
  std::map<std::string, GUI_ResourceBundle> bundles;
  std::string current = detail::kHostPrefix;
  std::map<std::tuple<std::string, UINT, int>, std::unique_ptr<GUI_Icon>> icons;
  std::map<std::pair<std::string, UINT>, std::unique_ptr<GUI_Cursor>> cursors;
  // Handles of replaced bundles stay valid: callers may still hold them.
  std::vector<std::unique_ptr<GUI_Icon>> retiredIcons;
  std::vector<std::unique_ptr<GUI_Cursor>> retiredCursors;

  Registry() { bundles[detail::kHostPrefix] = detail::MakeHostBundle(); }

  void Retire(const std::string& prefix) {
    for (auto it = icons.begin(); it != icons.end();) {
      if (std::get<0>(it->first) == prefix) {
        retiredIcons.push_back(std::move(it->second));
        it = icons.erase(it);
      } else {
        ++it;
      }
    }
    for (auto it = cursors.begin(); it != cursors.end();) {
      if (it->first.first == prefix) {
        retiredCursors.push_back(std::move(it->second));
        it = cursors.erase(it);
      } else {
        ++it;
      }
    }
  }

  const GUI_ResourceBundle* Current() const {
    const auto it = bundles.find(current);
    return it == bundles.end() ? nullptr : &it->second;
  }
};

Registry& TheRegistry() {
  static Registry registry;
  return registry;
}

QImage RenderSvg(const std::string& svg, int width, int height) {
  QSvgRenderer renderer(QByteArray(svg.data(), static_cast<qsizetype>(svg.size())));
  if (!renderer.isValid()) return {};
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  renderer.render(&painter);
  return image;
}

}  // namespace

void GUI_ResourceContext::Register(const std::string& prefix, const GUI_ResourceBundle& bundle) {
  Registry& r = TheRegistry();
  r.Retire(prefix);
  r.bundles[prefix] = bundle;
}

void GUI_ResourceContext::Unregister(const std::string& prefix) {
  Registry& r = TheRegistry();
  r.Retire(prefix);
  r.bundles.erase(prefix);
}

bool GUI_ResourceContext::IsRegistered(const std::string& prefix) { return TheRegistry().bundles.count(prefix) != 0; }

const std::string& GUI_ResourceContext::GetCurrent() { return TheRegistry().current; }

std::string GUI_ResourceContext::SetCurrent(const std::string& prefix) {
  Registry& r = TheRegistry();
  std::string previous = r.current;
  r.current = prefix;
  return previous;
}

const GUI_DialogTemplate* GUI_ResourceContext::FindTemplate(UINT id) {
  const GUI_ResourceBundle* bundle = TheRegistry().Current();
  return bundle ? bundle->FindTemplate(id) : nullptr;
}

GUI_Icon* GUI_ResourceContext::LoadIcon(UINT id, int size) {
  Registry& r = TheRegistry();
  const GUI_ResourceBundle* bundle = r.Current();
  if (!bundle || size <= 0) return nullptr;
  const auto key = std::make_tuple(r.current, id, size);
  if (const auto it = r.icons.find(key); it != r.icons.end()) return it->second.get();
  const std::string* svg = bundle->FindIconSvg(id);
  if (!svg) return nullptr;
  QImage image = RenderSvg(*svg, size, size);
  if (image.isNull()) {
    OutputDebugString(("EditorCore: icon " + std::to_string(id) + " of " + r.current + " is not valid SVG\n").c_str());
    return nullptr;
  }
  auto icon = std::make_unique<GUI_Icon>();
  icon->pixmap = QPixmap::fromImage(image);
  GUI_Icon* result = icon.get();
  r.icons[key] = std::move(icon);
  return result;
}

GUI_Cursor* GUI_ResourceContext::LoadCursor(UINT id) {
  Registry& r = TheRegistry();
  const GUI_ResourceBundle* bundle = r.Current();
  if (!bundle) return nullptr;
  const auto key = std::make_pair(r.current, id);
  if (const auto it = r.cursors.find(key); it != r.cursors.end()) return it->second.get();
  const GUI_ResourceBundle::CursorData* data = bundle->FindCursor(id);
  if (!data) return nullptr;
  QImage image = RenderSvg(data->svg, 32, 32);
  if (image.isNull()) return nullptr;
  auto cursor = std::make_unique<GUI_Cursor>();
  cursor->cursor = QCursor(QPixmap::fromImage(image), data->hotX, data->hotY);
  GUI_Cursor* result = cursor.get();
  r.cursors[key] = std::move(cursor);
  return result;
}

}  // namespace EditorCore
