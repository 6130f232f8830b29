#pragma once

#include <functional>

namespace EditorToolkit {

// The keyboard modifiers held right now, as the editor's tools ask for them (Ctrl+V pastes,
// Shift during a drag moves in both directions). The state comes from a modifier source that
// the windowing layer installs at start-up; tests install their own. Without a source no
// modifier is held.
class KeyManager {
 public:
  // Bits a modifier source returns.
  enum Modifier : unsigned { Control = 1u << 0, Shift = 1u << 1, Alt = 1u << 2 };
  using ModifierSource = std::function<unsigned()>;

  // Replaces the source; an empty function removes it.
  void SetModifierSource(ModifierSource source);
  bool HasModifierSource() const { return static_cast<bool>(modifierSource); }

  // The source is asked at every call: the answer is the state at that moment, not a cache.
  unsigned GetModifiers() const;
  bool ControlKeyPressed() const { return (GetModifiers() & Control) != 0; }
  bool ShiftKeyPressed() const { return (GetModifiers() & Shift) != 0; }
  bool AltKeyPressed() const { return (GetModifiers() & Alt) != 0; }

 private:
  ModifierSource modifierSource;
};

}  // namespace EditorToolkit
