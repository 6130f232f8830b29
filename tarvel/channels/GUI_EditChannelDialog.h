#pragma once

#include "channels/GUI_ChannelDialog.h"

namespace Tarvel {

// Shows a channel's name and tracks for the user to change.
class GUI_EditChannelDialog : public GUI_ChannelDialog {
 public:
  static constexpr EditorCore::UINT kTemplate = 1009;
  explicit GUI_EditChannelDialog(EditorCore::GUI_Wnd* parent)
      : GUI_ChannelDialog(kTemplate, "Tarvel_EditChannel", parent) {}
};

}  // namespace Tarvel
