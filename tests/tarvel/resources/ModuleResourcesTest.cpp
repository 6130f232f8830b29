#include "resources/ModuleResources.h"

#include "resources/ModuleIds.h"

#include <EditorCore/GUI_App.h>
#include <EditorCore/GUI_BackBuffer.h>
#include <EditorCore/GUI_Debug.h>
#include <EditorCore/GUI_Dialog.h>
#include <EditorCore/GUI_Label.h>
#include <EditorCore/GUI_ResourceBundle.h>
#include <EditorCore/GUI_ResourceContext.h>
#include <EditorCore/GUI_ResourceScope.h>

#include <gtest/gtest.h>

#include <algorithm>
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

// The pixels of an icon of the module drawn at 18 x 18 on black.
std::vector<COLORREF> DrawOnBlack(unsigned id) {
  EditorCore::GUI_BackBuffer buffer;
  EXPECT_TRUE(buffer.CreateOffscreen(18, 18));
  buffer.Fill(EditorCore::RGB(0, 0, 0));
  buffer.DrawIcon(GUI_ResourceContext::LoadIcon(id, 18), 0, 0, 18);
  std::vector<COLORREF> pixels;
  for (int y = 0; y < 18; ++y) {
    for (int x = 0; x < 18; ++x) pixels.push_back(buffer.GetPixel(x, y));
  }
  return pixels;
}

int Brightness(COLORREF c) { return EditorCore::GetRValue(c) + EditorCore::GetGValue(c) + EditorCore::GetBValue(c); }

class ModuleResourcesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { EditorCore::GUI_App::EnsureForTests(); }
  void SetUp() override { ASSERT_TRUE(ModuleResources::Register()); }
  // The module registered its resources when the library started; they stay for the other
  // tests of the program.
  void TearDown() override { ASSERT_TRUE(ModuleResources::Register()); }
};

TEST_F(ModuleResourcesTest, ResourcesAreFoundOnlyInsideTheModuleScopeWhileRegistered) {
  EXPECT_EQ(GUI_ResourceContext::FindTemplate(1108), nullptr);
  EXPECT_EQ(GUI_ResourceContext::LoadIcon(1004, 18), nullptr);
  EXPECT_NE(ModuleResources::LoadIcon(1004), nullptr) << "the module's loader takes its own scope";
  EXPECT_EQ(ModuleResources::LoadIcon(1005), nullptr);
  {
    GUI_ResourceScope scope(ModuleResources::kPrefix);
    EXPECT_NE(GUI_ResourceContext::FindTemplate(1108), nullptr);
  }
  ModuleResources::Unregister();
  EXPECT_FALSE(GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix));
}

TEST_F(ModuleResourcesTest, EveryIconDrawsALegibleGlyphTrackIconsInTheirComponentsHueWithOneSymbolPerKind) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (unsigned id : kIcons) {
    ASSERT_NE(GUI_ResourceContext::LoadIcon(id, 18), nullptr) << "icon " << id;
    // A legible glyph lights a fair part of the square, and not all of it.
    const auto pixels = DrawOnBlack(id);
    const auto lit = std::count_if(pixels.begin(), pixels.end(), [](COLORREF c) { return Brightness(c) > 60; });
    EXPECT_GE(lit, 25) << "icon " << id;
    EXPECT_LT(lit, 18 * 18) << "icon " << id;
  }
  // Tracks: translation, rotation, scale, each X, Y, Z; then the X, Y, Z filter boxes.
  const std::pair<unsigned, int> hues[] = {{1014, 0}, {1015, 1}, {1016, 2}, {1017, 0}, {1018, 1}, {1019, 2},
                                           {1020, 0}, {1021, 1}, {1022, 2}, {1012, 0}, {1013, 1}, {1011, 2}};
  for (const auto& [id, component] : hues) {
    long long sums[3] = {0, 0, 0};
    for (COLORREF c : DrawOnBlack(id)) {
      sums[0] += EditorCore::GetRValue(c);
      sums[1] += EditorCore::GetGValue(c);
      sums[2] += EditorCore::GetBValue(c);
    }
    EXPECT_EQ(std::max_element(sums, sums + 3) - sums, component) << "icon " << id;
    EXPECT_EQ(std::count(sums, sums + 3, sums[component]), 1) << "icon " << id << ": no tie";
  }
  // The X icons of the three kinds share a hue, so only their shapes can tell them apart.
  auto differing = [](unsigned a, unsigned b) {
    const auto pa = DrawOnBlack(a);
    const auto pb = DrawOnBlack(b);
    int n = 0;
    for (std::size_t i = 0; i < pa.size(); ++i)
      n += (EditorCore::GetRValue(pa[i]) > 60) != (EditorCore::GetRValue(pb[i]) > 60);
    return n;
  };
  EXPECT_GT(differing(1014, 1017), 20);
  EXPECT_GT(differing(1017, 1020), 20);
  EXPECT_GT(differing(1014, 1020), 20);
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

TEST_F(ModuleResourcesTest, AClipPageAndTheCurvePanelItHoldsGiveEveryControlAnIdOfItsOwn) {
  namespace Ids = Tarvel::Ids;
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  // The windows the page and the panel make in code, beside their templates' controls.
  std::multiset<unsigned> ids = {Ids::kCtlChannelList,
                                 Ids::kCtlTrackList,
                                 Ids::kCtlVerticalSplitter,
                                 Ids::kCtlHorizontalSplitter,
                                 Ids::kCtlFrameRuler,
                                 Ids::kCtlValueRuler,
                                 Ids::kCtlGraph};
  for (unsigned id : {Ids::kTplPage, Ids::kTplCurvePanel}) {
    for (const GUI_ControlTemplate& c : GUI_ResourceContext::FindTemplate(id)->controls) ids.insert(c.id);
  }
  for (unsigned id : std::set<unsigned>(ids.begin(), ids.end())) EXPECT_EQ(ids.count(id), 1u) << "control id " << id;
  for (unsigned id : {Ids::kCtlSnapBox, Ids::kCtlValuesModeBox, Ids::kCtlFramesModeBox}) {
    EXPECT_EQ(ids.count(id), 1u) << "the panel's template holds its mode box " << id;
  }
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

TEST_F(ModuleResourcesBuild, TakesEveryTemplateOfAFileAndEveryIconAndRefusesAFileThatDoesNotParseNamingIt) {
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
  static const char bad[] =
      R"({"id": 8, "size": [10, 20], "controls": [{"id": 1, "kind": "slider", "rect": [0, 0, 1, 1]}]})";
  const Tarvel::EmbeddedFile broken[] = {FileOf("both.json", both), FileOf("broken.json", bad)};
  EditorCore::GUI_ResourceBundle refused;
  EXPECT_FALSE(ModuleResources::BuildBundle(broken, {}, refused));
  EXPECT_TRUE(std::any_of(logLines.begin(), logLines.end(),
                          [](const std::string& line) { return line.find("broken.json") != std::string::npos; }));
}

}  // namespace
