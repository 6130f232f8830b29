#include "resources/ModuleResources.h"

#include <EditorCore/GUI_App.h>
#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_Debug.h>
#include <EditorCore/GUI_Dialog.h>
#include <EditorCore/GUI_Label.h>
#include <EditorCore/GUI_ResourceBundle.h>
#include <EditorCore/GUI_ResourceContext.h>
#include <EditorCore/GUI_ResourceScope.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

using EditorCore::COLORREF;
using EditorCore::CRect;
using EditorCore::GUI_ControlTemplate;
using EditorCore::GUI_ResourceContext;
using EditorCore::GUI_ResourceScope;
using Tarvel::ModuleResources;

// Every dialog template of the module, by id.
constexpr unsigned kTemplates[] = {1108, 1025, 1010, 1107, 1110, 1009, 1111, 1112, 1113, 1114};

constexpr unsigned kIcons[] = {1004, 1007, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020,
                               1021, 1022, 1027, 1028, 1029, 1030, 1031, 1032, 1035, 1037, 1038, 1040, 1041};

// Sums of each colour channel over the icon drawn at 18 x 18 on black.
struct ChannelSums {
  long long red = 0;
  long long green = 0;
  long long blue = 0;
  int litPixels = 0;
};

ChannelSums DrawOnBlack(EditorCore::GUI_Icon* icon) {
  EditorCore::GUI_BackBuffer buffer;
  EXPECT_TRUE(buffer.CreateOffscreen(18, 18));
  buffer.Fill(EditorCore::RGB(0, 0, 0));
  buffer.DrawIcon(icon, 0, 0, 18);
  ChannelSums sums;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) {
      const COLORREF c = buffer.GetPixel(x, y);
      sums.red += EditorCore::GetRValue(c);
      sums.green += EditorCore::GetGValue(c);
      sums.blue += EditorCore::GetBValue(c);
      if (EditorCore::GetRValue(c) + EditorCore::GetGValue(c) + EditorCore::GetBValue(c) > 60) ++sums.litPixels;
    }
  }
  return sums;
}

class ModuleResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }
  void SetUp() override { ASSERT_TRUE(ModuleResources::Register()); }
  // The module registered its resources when the library started; they stay for the other
  // tests of the program.
  void TearDown() override { ASSERT_TRUE(ModuleResources::Register()); }
};

TEST_F(ModuleResourcesTest, TemplatesAreFoundOnlyInsideTheModuleScopeWhileRegistered) {
  EXPECT_EQ(GUI_ResourceContext::FindTemplate(1108), nullptr);
  {
    GUI_ResourceScope scope(ModuleResources::kPrefix);
    EXPECT_NE(GUI_ResourceContext::FindTemplate(1108), nullptr);
  }
  ModuleResources::Unregister();
  EXPECT_FALSE(GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix));
}

TEST_F(ModuleResourcesTest, EveryIconLoadsAndDrawsAtEighteenPixels) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (unsigned id : kIcons) {
    SCOPED_TRACE("icon " + std::to_string(id));
    EditorCore::GUI_Icon* icon = GUI_ResourceContext::LoadIcon(id, 18);
    ASSERT_NE(icon, nullptr);
    // A legible glyph lights a fair part of the square, and not all of it.
    const ChannelSums sums = DrawOnBlack(icon);
    EXPECT_GE(sums.litPixels, 25);
    EXPECT_LT(sums.litPixels, 18 * 18);
  }
}

TEST_F(ModuleResourcesTest, UnknownIconsAndIconsOutsideTheScopeAreNull) {
  EXPECT_EQ(GUI_ResourceContext::LoadIcon(1004, 18), nullptr);
  EXPECT_NE(ModuleResources::LoadIcon(1004), nullptr) << "the module's loader takes its own scope";
  EXPECT_EQ(ModuleResources::LoadIcon(1005), nullptr);
}

// Which colour channel dominates an icon: 0 red, 1 green, 2 blue.
int DominantChannel(const ChannelSums& s) {
  if (s.red > s.green && s.red > s.blue) return 0;
  if (s.green > s.red && s.green > s.blue) return 1;
  return s.blue > s.red && s.blue > s.green ? 2 : -1;
}

TEST_F(ModuleResourcesTest, TrackAndFilterIconsTakeTheHueOfTheirComponent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  // Tracks: translation, rotation, scale, each X, Y, Z; then the X, Y, Z filter boxes.
  const std::pair<unsigned, int> icons[] = {{1014, 0}, {1015, 1}, {1016, 2}, {1017, 0}, {1018, 1}, {1019, 2},
                                            {1020, 0}, {1021, 1}, {1022, 2}, {1012, 0}, {1013, 1}, {1011, 2}};
  for (const auto& [id, component] : icons) {
    EXPECT_EQ(DominantChannel(DrawOnBlack(GUI_ResourceContext::LoadIcon(id, 18))), component) << "icon " << id;
  }
}

TEST_F(ModuleResourcesTest, TrackKindsDrawDifferentSymbols) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  // The X icons of the three kinds share a hue, so only their shapes can tell them apart.
  auto mask = [](unsigned id) {
    EditorCore::GUI_BackBuffer buffer;
    EXPECT_TRUE(buffer.CreateOffscreen(18, 18));
    buffer.Fill(EditorCore::RGB(0, 0, 0));
    buffer.DrawIcon(GUI_ResourceContext::LoadIcon(id, 18), 0, 0, 18);
    std::vector<bool> lit;
    for (int y = 0; y < 18; ++y) {
      for (int x = 0; x < 18; ++x) lit.push_back(EditorCore::GetRValue(buffer.GetPixel(x, y)) > 60);
    }
    return lit;
  };
  auto differing = [](const std::vector<bool>& a, const std::vector<bool>& b) {
    int n = 0;
    for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i] ? 1 : 0;
    return n;
  };
  const auto translation = mask(1014);
  const auto rotation = mask(1017);
  const auto scale = mask(1020);
  EXPECT_GT(differing(translation, rotation), 20);
  EXPECT_GT(differing(rotation, scale), 20);
  EXPECT_GT(differing(translation, scale), 20);
}

TEST_F(ModuleResourcesTest, EveryTemplateMakesADialogWithAllItsControlsUnderDistinctIds) {
  EditorCore::GUI_Wnd host;
  ASSERT_TRUE(host.CreateTopLevel("host", CRect(0, 0, 1200, 900)));
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (unsigned id : kTemplates) {
    SCOPED_TRACE("template " + std::to_string(id));
    EditorCore::GUI_Dialog dialog;
    ASSERT_TRUE(dialog.Create(id, &host));
    std::set<unsigned> ids;
    for (const GUI_ControlTemplate& c : GUI_ResourceContext::FindTemplate(id)->controls) {
      EXPECT_NE(dialog.GetDlgItem(c.id), nullptr) << "control " << c.id;
      EXPECT_TRUE(ids.insert(c.id).second) << "control " << c.id << " twice";
    }
    dialog.DestroyWindow();
  }
  host.DestroyWindow();
}

class ModuleResourcesBuild : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }
  void SetUp() override {
    previousSink = EditorCore::SetLogSink([this](const std::string& line) { logLines.push_back(line); });
  }
  void TearDown() override { EditorCore::SetLogSink(previousSink); }

  EditorCore::GUI_LogSink previousSink;
  std::vector<std::string> logLines;
};

template <std::size_t N>
Tarvel::EmbeddedFile FileOf(const char* name, const char (&text)[N]) {
  return {name, reinterpret_cast<const unsigned char*>(text), N - 1};
}

TEST_F(ModuleResourcesBuild, RefusesATemplateFileThatDoesNotParseAndNamesIt) {
  static const char good[] = R"({"id": 7, "size": [10, 20]})";
  static const char bad[] =
      R"({"id": 8, "size": [10, 20], "controls": [{"id": 1, "kind": "slider", "rect": [0, 0, 1, 1]}]})";
  const Tarvel::EmbeddedFile files[] = {FileOf("good.json", good), FileOf("broken.json", bad)};
  EditorCore::GUI_ResourceBundle bundle;
  EXPECT_FALSE(ModuleResources::BuildBundle(files, {}, bundle));
  bool named = false;
  for (const std::string& line : logLines) named = named || line.find("broken.json") != std::string::npos;
  EXPECT_TRUE(named);
}

TEST_F(ModuleResourcesBuild, TakesEveryTemplateOfAFileAndEveryIcon) {
  static const char both[] = R"({"templates": [{"id": 7, "size": [10, 20]}, {"id": 9, "size": [30, 40]}]})";
  static const char svg[] = R"(<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 18 18"/>)";
  const Tarvel::EmbeddedFile files[] = {FileOf("both.json", both)};
  const Tarvel::EmbeddedIcon icons[] = {{42, reinterpret_cast<const unsigned char*>(svg), sizeof svg - 1}};
  EditorCore::GUI_ResourceBundle bundle;
  ASSERT_TRUE(ModuleResources::BuildBundle(files, icons, bundle));
  ASSERT_NE(bundle.FindTemplate(9), nullptr);
  EXPECT_EQ(bundle.FindTemplate(9)->size.cy, 40);
  EXPECT_NE(bundle.FindTemplate(7), nullptr);
  ASSERT_NE(bundle.FindIconSvg(42), nullptr);
  EXPECT_EQ(*bundle.FindIconSvg(42), svg);
}

TEST_F(ModuleResourcesBuild, CompilesEveryResourceFileIntoTheLibrary) {
  EXPECT_EQ(Tarvel::EmbeddedResources::GetTemplateFiles().size(), std::size(kTemplates));
  EXPECT_EQ(Tarvel::EmbeddedResources::GetIconFiles().size(), std::size(kIcons));
}

}  // namespace
