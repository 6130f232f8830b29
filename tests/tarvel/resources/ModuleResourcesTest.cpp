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

#include <array>
#include <string>
#include <vector>

namespace {

using EditorCore::COLORREF;
using EditorCore::CRect;
using EditorCore::GUI_ControlKind;
using EditorCore::GUI_ControlTemplate;
using EditorCore::GUI_DialogTemplate;
using EditorCore::GUI_ResourceContext;
using EditorCore::GUI_ResourceScope;
using Tarvel::ModuleResources;

struct TemplateSize {
  unsigned id;
  int width;
  int height;
  std::size_t controls;
};

constexpr TemplateSize kTemplates[] = {
    {1108, 612, 166, 0}, {1025, 228, 320, 0}, {1010, 403, 319, 8}, {1107, 228, 166, 2}, {1110, 195, 108, 7},
    {1009, 195, 106, 7}, {1111, 184, 100, 9}, {1112, 195, 79, 4},  {1113, 195, 54, 4},  {1114, 471, 320, 18},
};

constexpr unsigned kIcons[] = {1004, 1007, 1009, 1010, 1011, 1012, 1013, 1014, 1015, 1016, 1017, 1018, 1019, 1020,
                               1021, 1022, 1027, 1028, 1029, 1030, 1031, 1032, 1035, 1037, 1038, 1040, 1041};

const GUI_ControlTemplate* FindControl(const GUI_DialogTemplate& t, unsigned id) {
  for (const GUI_ControlTemplate& c : t.controls) {
    if (c.id == id) return &c;
  }
  return nullptr;
}

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

TEST_F(ModuleResourcesTest, RegistersUnderTheModulePrefix) {
  EXPECT_TRUE(GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix));
  ModuleResources::Unregister();
  EXPECT_FALSE(GUI_ResourceContext::IsRegistered(ModuleResources::kPrefix));
}

TEST_F(ModuleResourcesTest, TemplatesAreFoundOnlyInsideTheModuleScope) {
  EXPECT_EQ(GUI_ResourceContext::FindTemplate(1108), nullptr);
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  EXPECT_NE(GUI_ResourceContext::FindTemplate(1108), nullptr);
}

TEST_F(ModuleResourcesTest, EveryTemplateHasItsSizeAndControlCount) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (const TemplateSize& expected : kTemplates) {
    SCOPED_TRACE("template " + std::to_string(expected.id));
    const GUI_DialogTemplate* t = GUI_ResourceContext::FindTemplate(expected.id);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->size.cx, expected.width);
    EXPECT_EQ(t->size.cy, expected.height);
    EXPECT_EQ(t->controls.size(), expected.controls);
  }
}

TEST_F(ModuleResourcesTest, ControlIdsAreUniqueWithinEachTemplate) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (const TemplateSize& expected : kTemplates) {
    const GUI_DialogTemplate* t = GUI_ResourceContext::FindTemplate(expected.id);
    ASSERT_NE(t, nullptr);
    for (std::size_t i = 0; i < t->controls.size(); ++i) {
      for (std::size_t j = i + 1; j < t->controls.size(); ++j) {
        EXPECT_NE(t->controls[i].id, t->controls[j].id) << "template " << expected.id;
      }
    }
  }
}

TEST_F(ModuleResourcesTest, ChannelDialogsKeepTheirExactRectangles) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  const GUI_DialogTemplate* create = GUI_ResourceContext::FindTemplate(1110);
  const GUI_DialogTemplate* edit = GUI_ResourceContext::FindTemplate(1009);
  ASSERT_NE(create, nullptr);
  ASSERT_NE(edit, nullptr);
  struct Expected {
    unsigned id;
    GUI_ControlKind kind;
    CRect createRect;
    CRect editRect;
  };
  const Expected rows[] = {
      {1009, GUI_ControlKind::Label, CRect(4, 6, 62, 18), CRect(4, 6, 62, 18)},
      {1002, GUI_ControlKind::Edit, CRect(62, 6, 191, 18), CRect(62, 6, 191, 18)},
      {1038, GUI_ControlKind::CheckBox, CRect(62, 30, 191, 40), CRect(62, 30, 191, 40)},
      {1039, GUI_ControlKind::CheckBox, CRect(62, 47, 191, 57), CRect(62, 47, 191, 57)},
      {1040, GUI_ControlKind::CheckBox, CRect(62, 64, 191, 74), CRect(62, 64, 191, 74)},
      {1, GUI_ControlKind::DefPushButton, CRect(43, 88, 93, 102), CRect(43, 86, 93, 100)},
      {2, GUI_ControlKind::PushButton, CRect(102, 88, 152, 102), CRect(102, 86, 152, 100)},
  };
  for (const Expected& row : rows) {
    SCOPED_TRACE("control " + std::to_string(row.id));
    const GUI_ControlTemplate* c = FindControl(*create, row.id);
    const GUI_ControlTemplate* e = FindControl(*edit, row.id);
    ASSERT_NE(c, nullptr);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(c->kind, row.kind);
    EXPECT_EQ(e->kind, row.kind);
    EXPECT_EQ(c->rect, row.createRect);
    EXPECT_EQ(e->rect, row.editRect);
  }
  EXPECT_EQ(FindControl(*create, 1038)->text, "Translation");
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
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  EXPECT_EQ(GUI_ResourceContext::LoadIcon(1005, 18), nullptr);
  EXPECT_EQ(GUI_ResourceContext::LoadIcon(9999, 18), nullptr);
}

// Which colour channel dominates an icon: 0 red, 1 green, 2 blue.
int DominantChannel(const ChannelSums& s) {
  if (s.red > s.green && s.red > s.blue) return 0;
  if (s.green > s.red && s.green > s.blue) return 1;
  return s.blue > s.red && s.blue > s.green ? 2 : -1;
}

TEST_F(ModuleResourcesTest, TrackIconsTakeTheHueOfTheirComponent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  // Translation, rotation, scale, each in the order X, Y, Z: X red, Y green, Z blue.
  for (unsigned id = 1014; id <= 1022; ++id) {
    SCOPED_TRACE("icon " + std::to_string(id));
    const int component = static_cast<int>((id - 1014) % 3);
    const ChannelSums sums = DrawOnBlack(GUI_ResourceContext::LoadIcon(id, 18));
    EXPECT_EQ(DominantChannel(sums), component);
  }
}

TEST_F(ModuleResourcesTest, ComponentFilterIconsTakeTheHueOfTheirComponent) {
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  const std::array<std::pair<unsigned, int>, 3> boxes = {{{1012, 0}, {1013, 1}, {1011, 2}}};
  for (const auto& [id, component] : boxes) {
    SCOPED_TRACE("icon " + std::to_string(id));
    EXPECT_EQ(DominantChannel(DrawOnBlack(GUI_ResourceContext::LoadIcon(id, 18))), component);
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

TEST_F(ModuleResourcesTest, EveryTemplateMakesADialogWithAllItsControls) {
  EditorCore::GUI_Wnd host;
  ASSERT_TRUE(host.CreateTopLevel("host", CRect(0, 0, 1200, 900)));
  GUI_ResourceScope scope(ModuleResources::kPrefix);
  for (const TemplateSize& expected : kTemplates) {
    SCOPED_TRACE("template " + std::to_string(expected.id));
    EditorCore::GUI_Dialog dialog;
    ASSERT_TRUE(dialog.Create(expected.id, &host));
    for (const GUI_ControlTemplate& c : GUI_ResourceContext::FindTemplate(expected.id)->controls) {
      EXPECT_NE(dialog.GetDlgItem(c.id), nullptr) << "control " << c.id;
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
