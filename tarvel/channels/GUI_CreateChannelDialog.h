#pragma once

#include "channels/GUI_ChannelDialog.h"

namespace Tarvel {

// Asks the name and tracks of a new channel (all three tracks ticked at first).
class GUI_CreateChannelDialog : public GUI_ChannelDialog {
 public:
  static constexpr EditorCore::UINT kTemplate = 1110;
  explicit GUI_CreateChannelDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ChannelDialog(kTemplate, "Tarvel_CreateChannel", parent) {}
};

}  // namespace Tarvel
