#pragma once

#include "channels/GUI_ChannelDialog.h"
#include "resources/ModuleIds.h"

namespace Tarvel {

// Asks the name and tracks of a new channel (all three tracks ticked at first).
class GUI_CreateChannelDialog : public GUI_ChannelDialog {
 public:
  explicit GUI_CreateChannelDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ChannelDialog(Ids::kTplCreateChannel, "Tarvel_CreateChannel", parent) {}
};

}  // namespace Tarvel
