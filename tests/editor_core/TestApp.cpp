#include "TestApp.h"

#include <EditorCore/GUI_App.h>

#include <gtest/gtest.h>

namespace EditorCoreTest {

void Pump(int milliseconds) { EditorCore::GUI_App::ProcessEvents(milliseconds); }

namespace {
// One application for the whole program, made before the first test.
class AppEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { EditorCore::GUI_App::EnsureForTests(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);
}  // namespace

}  // namespace EditorCoreTest
