#include <EditorToolkit/KeyManager.h>

#include <utility>

namespace EditorToolkit {

void KeyManager::SetModifierSource(ModifierSource source) { modifierSource = std::move(source); }

unsigned KeyManager::GetModifiers() const { return modifierSource ? modifierSource() : 0u; }

}  // namespace EditorToolkit
