#include "resources/KeyBindings.h"

#include "resources/ModuleIds.h"

namespace Tarvel {

namespace {

using namespace EditorCore;

constexpr KeyBinding kBindings[] = {
    {'S', true, false, Ids::kCmdClipSave, "Ctrl+S", "Save the current clip"},
    {'S', true, true, Ids::kCmdClipSaveAll, "Ctrl+Shift+S", "Save every open clip"},
    {'Z', true, false, Ids::kCmdUndo, "Ctrl+Z", "Undo the last step"},
    {'Y', true, false, Ids::kCmdRedo, "Ctrl+Y", "Redo the step undone last"},
    {'Z', true, true, Ids::kCmdRedo, "Ctrl+Shift+Z", "Redo the step undone last"},
    {'A', true, false, Ids::kCmdSelectAll, "Ctrl+A", "Select every key of the shown curves"},
    {'A', true, true, Ids::kCmdDeselect, "Ctrl+Shift+A", "Deselect every key"},
    {'C', true, false, Ids::kCmdCopyPoints, "Ctrl+C", "Copy the selected keys"},
    {'V', true, false, Ids::kCmdPastePoints, "Ctrl+V", "Paste keys at the time cursor"},
    {'K', false, false, Ids::kCmdAddPoint, "K", "Key the selected curves (or objects) at the time cursor"},
    {VK_DELETE, false, false, Ids::kCmdRemovePoints, "Del", "Remove the selected keys"},
    {VK_SPACE, false, false, Ids::kKeyPlay, "Space", "Play or stop the preview"},
    {VK_RIGHT, false, false, Ids::kKeyNextFrame, "Right", "Step the time cursor a frame on"},
    {VK_LEFT, false, false, Ids::kKeyPreviousFrame, "Left", "Step the time cursor a frame back"},
    {VK_HOME, false, false, Ids::kKeyFirstKey, "Home", "Time cursor to the clip's first key"},
    {VK_END, false, false, Ids::kKeyLastKey, "End", "Time cursor to the clip's last key"},
    {'A', false, false, Ids::kKeyFitAll, "A", "Fit every shown curve into the graph"},
    {'F', false, false, Ids::kKeyFrameSelection, "F", "Frame the selected keys (or curves)"},
    {'D', false, false, Ids::kCmdDopeSheet, "D", "Switch between the graph and the dope sheet"},
    {'D', true, false, Ids::kCmdDuplicateKeys, "Ctrl+D", "Duplicate the selected keys after them"},
    {'1', false, false, Ids::kCmdSelectionTangents + 0, "1", "Selected keys' tangents: Auto Clamped"},
    {'2', false, false, Ids::kCmdSelectionTangents + 1, "2", "Selected keys' tangents: Auto"},
    {'3', false, false, Ids::kCmdSelectionTangents + 2, "3", "Selected keys' tangents: Flat"},
    {'4', false, false, Ids::kCmdSelectionTangents + 3, "4", "Selected keys' tangents: Linear"},
    {'5', false, false, Ids::kCmdSelectionTangents + 4, "5", "Selected keys' tangents: Free"},
    {'6', false, false, Ids::kCmdSelectionTangents + 5, "6", "Selected keys' tangents: Broken"},
};

}  // namespace

std::span<const KeyBinding> KeyBindings::All() { return kBindings; }

const KeyBinding* KeyBindings::Find(UINT key, bool ctrl, bool shift) {
  for (const KeyBinding& binding : kBindings) {
    if (binding.key == key && binding.ctrl == ctrl && binding.shift == shift) return &binding;
  }
  return nullptr;
}

std::string KeyBindings::MenuSuffix(UINT command) {
  for (const KeyBinding& binding : kBindings) {
    if (binding.command == command) return std::string("\t") + binding.keys;
  }
  return {};
}

}  // namespace Tarvel
