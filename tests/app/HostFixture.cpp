#include "HostFixture.h"

#include <QCoreApplication>
#include <QTimer>

#include "EditorCore/GUI_App.h"
#include "EditorCore/GUI_Dialog.h"
#include "ModuleWindows.h"
#include "ScriptParser.h"

namespace HostTest {

namespace fs = std::filesystem;

void CopyDemoProject(const fs::path& to) {
  fs::copy(TARVEL_DEMO_PROJECT, to, fs::copy_options::recursive);
  // The repository's clip files are read-only; the copies must be writable.
  for (const auto& entry : fs::recursive_directory_iterator(to)) {
    fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add);
  }
}

void HostFixture::SetUp() {
  EditorCore::GUI_App::EnsureForTests();
  CopyDemoProject(temp.Path() / "demo");
  // The host keeps the user's choices in the configuration folder: the test's own.
  qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((temp.Path() / "config").string()));
  host = std::make_unique<TarvelHost::HostWindow>();
  ASSERT_TRUE(host->Start(TARVEL_MODULES_DIR, ProjectPath()));
  ASSERT_NE(Panel(), nullptr) << "libtarvel.so was not loaded from " << TARVEL_MODULES_DIR;
}

void HostFixture::TearDown() {
  EditorCore::GUI_Dialog::SetModalResponder({});
  // A quit the host asked for would end every later event loop (a real pop-up menu's) at
  // once; running the application's own loop for a turn clears it.
  const bool quitting = host && host->HasQuit();
  host.reset();
  EditorCore::GUI_App::ProcessEvents(0);
  if (quitting) {
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
  }
}

int HostFixture::TabCount() const {
  const auto* tabs = TarvelHost::ModuleWindows::FindFirst<EditorCore::GUI_TabCtrl>(Panel()->GetModuleDialog());
  return tabs ? tabs->GetItemCount() : -1;
}

void ScriptedHostFixture::SetUp() {
  HostFixture::SetUp();
  runner = std::make_unique<TarvelHost::ScriptRunner>(*host);
}

void ScriptedHostFixture::TearDown() {
  runner.reset();
  HostFixture::TearDown();
}

bool ScriptedHostFixture::Run(const std::string& text) {
  std::vector<TarvelHost::ScriptAction> actions;
  std::string error;
  if (!TarvelHost::ScriptParser::Parse(text, actions, error)) {
    ADD_FAILURE() << error;
    return false;
  }
  return runner->Run(actions);
}

}  // namespace HostTest
