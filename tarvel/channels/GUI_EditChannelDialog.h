#pragma once

#include "channels/GUI_ChannelDialog.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

// Shows a channel's name and tracks for the user to change.
class GUI_EditChannelDialog : public GUI_ChannelDialog {
 public:
  explicit GUI_EditChannelDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ChannelDialog(Ids::kTplEditChannel, "Tarvel_EditChannel", parent) {}
};

}  // namespace Tarvel
