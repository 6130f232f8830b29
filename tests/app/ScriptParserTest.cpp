#include <gtest/gtest.h>

#include <QtCore/qnamespace.h>

#include <sys/stat.h>

#include <fstream>

#include "ScriptParser.h"
#include "TempFolder.h"

namespace {

using TarvelHost::ScriptAction;
using TarvelHost::ScriptParser;

std::string ParseError(const std::string& text) {
  std::vector<ScriptAction> actions;
  std::string error;
  EXPECT_FALSE(ScriptParser::Parse(text, actions, error)) << text;
  return error;
}

std::vector<ScriptAction> ParseOk(const std::string& text) {
  std::vector<ScriptAction> actions;
  std::string error;
  EXPECT_TRUE(ScriptParser::Parse(text, actions, error)) << error;
  return actions;
}

TEST(ScriptParsing, AcceptsTheWholeVocabularySkippingBlankLinesAndCommentsAndKeepingLineNumbers) {
  const auto actions =
      ParseOk("# a demo\n\nopen 01_01   # the reference clip\n  expect-tabs 1\ndialog-text My new clip");
  ASSERT_EQ(actions.size(), 3u);
  EXPECT_EQ(actions[2].words, std::vector<std::string>{"My new clip"}) << "a text takes the rest of the line";
  EXPECT_EQ(actions[0].line, 3);
  EXPECT_EQ(actions[0].verb, "open");
  EXPECT_EQ(actions[0].words, std::vector<std::string>{"01_01"});
  EXPECT_EQ(actions[1].line, 4);
  EXPECT_EQ(actions[1].words, std::vector<std::string>{"1"});
  const auto everything = ParseOk(
      "open A\ndrop A\nmessage 2255 9\nmessage 2249 scene\nbroadcast 3524 clip:A 0\ncommand 0x4110\n"
      "answer 1 2 3\ndialog-text x\nselect-channel\nselect-channel Hips Neck\n"
      "select-curve Hips rotation Y Neck Scale z\nkey Ctrl+Shift+Z\nkey Delete\nkey F5\n"
      "mouse press 10 0.5 left shift\nmouse wheel -3 2.5e1\nwait 10\nscreenshot window a.png\n"
      "screenshot panel b.png\nsave\nsave-all\nexpect-tabs 1\nexpect-channels 31\nexpect-panel hidden\nquit\n"
      "popup Forwards   2x\nbutton press play\nbutton next-key\ncheck loop off\ntype falloff-before 2.5\n"
      "choose objects  - Scene selection\nscrub 12.5\nexpect-frame 0 60\nexpect-pose Hips 0 1 2 90 0 -45 0.01");
  EXPECT_EQ(everything.size(), 34u);
  EXPECT_EQ(everything[25].words, std::vector<std::string>{"Forwards   2x"});
  EXPECT_EQ(everything[30].words, (std::vector<std::string>{"objects", "- Scene selection"}));
}

TEST(ScriptParsing, UnknownVerbsAndMalformedLinesNameTheirLineAndAMissingFileIsAnError) {
  EXPECT_EQ(ParseError("open A\n# fine\nfrobnicate 3\nquit"), "line 3: unknown action 'frobnicate'");
  EXPECT_EQ(ParseError("expect-tabs two"), "line 1: expect-tabs: 'two' is not a whole number");
  EXPECT_EQ(ParseError("\nexpect-tabs -1"), "line 2: expect-tabs: '-1' is not a whole number");
  EXPECT_EQ(ParseError("open"), "line 1: open needs a text");
  EXPECT_EQ(ParseError("quit now"), "line 1: quit takes 0 word(s), not 1");
  EXPECT_EQ(ParseError("message 12x"), "line 1: message: '12x' is not a message id");
  EXPECT_EQ(ParseError("message 1 clip:"), "line 1: message: 'clip:' is not a number, 'scene' or 'clip:NAME'");
  EXPECT_EQ(ParseError("select-curve Hips rotation"), "line 1: select-curve takes CHANNEL TRACK AXIS triples");
  EXPECT_EQ(ParseError("select-curve Hips spin X"),
            "line 1: select-curve: 'spin' is not translation, rotation, scale or weights");
  EXPECT_EQ(ParseError("select-curve Hips scale W"), "line 1: select-curve: 'W' is not X, Y or Z");
  EXPECT_EQ(ParseError("key Hyper+Z"), "line 1: key: 'Hyper+Z' is not a key");
  EXPECT_EQ(ParseError("mouse drag 1 2"), "line 1: mouse: 'drag' is not press, move, release or wheel");
  EXPECT_EQ(ParseError("mouse move 1 2 up"), "line 1: mouse: 'up' is not left, middle, right, shift or ctrl");
  EXPECT_EQ(ParseError("screenshot desktop a.png"), "line 1: screenshot: 'desktop' is not window or panel");
  EXPECT_EQ(ParseError("answer"), "line 1: answer needs at least one code");
  EXPECT_EQ(ParseError("expect-panel gone"), "line 1: expect-panel: 'gone' is not visible or hidden");
  EXPECT_EQ(ParseError("button hold play"), "line 1: button: 'hold' is not press, release or click");
  EXPECT_EQ(ParseError("button rewind"), "line 1: button: the panel has no button 'rewind'");
  EXPECT_EQ(ParseError("check fit on"), "line 1: check: the panel has no check box 'fit'");
  EXPECT_EQ(ParseError("check loop yes"), "line 1: check: 'yes' is not on or off");
  EXPECT_EQ(ParseError("type speed 2"), "line 1: type: the panel has no edit box 'speed'");
  EXPECT_EQ(ParseError("choose objects"), "line 1: choose takes a list and the text of an entry");
  EXPECT_EQ(ParseError("expect-pose Hips 0 0 0 0 0 x 1"), "line 1: expect-pose: 'x' is not a number");
  EXPECT_EQ(ParseError("tangent smooth"),
            "line 1: tangent: 'smooth' is not auto-clamped, auto, flat, linear, free or broken");
  EXPECT_EQ(ParseError("interpolation cubic"), "line 1: interpolation: 'cubic' is not constant, linear or smooth");
  EXPECT_EQ(ParseError("expect-tangent Box translation X 12 0 0"), "line 1: expect-tangent takes 7 word(s), not 6");
  EXPECT_EQ(ParseError("expect-tangent Box translation W 12 0 0 1"), "line 1: expect-tangent: 'W' is not X, Y or Z");
  EXPECT_EQ(ParseError("expect-tangent Box scale X 12 0 0 -1"), "line 1: expect-tangent: the tolerance -1 is negative");
  std::vector<ScriptAction> actions;
  std::string error;
  EXPECT_FALSE(ScriptParser::ParseFile("/nonexistent/s.txt", actions, error));
  EXPECT_EQ(error.rfind("cannot read script /nonexistent/s.txt: ", 0), 0u) << error;
}

TEST(ScriptParsing, NumbersAreFiniteAndWithinTheRangeOfTheirAction) {
  EXPECT_EQ(ParseError("open A\nexpect-frame nan nan"), "line 2: expect-frame: 'nan' is not a number");
  EXPECT_EQ(ParseError("expect-frame 0 inf"), "line 1: expect-frame: 'inf' is not a number");
  EXPECT_EQ(ParseError("expect-frame -INFINITY 0"), "line 1: expect-frame: '-INFINITY' is not a number");
  EXPECT_EQ(ParseError("expect-frame 0 1e999"), "line 1: expect-frame: '1e999' is not a number");
  EXPECT_EQ(ParseError("expect-frame 10 5"), "line 1: expect-frame: 10 is above 5: no frame lies between them");
  EXPECT_EQ(ParseError("expect-pose Hips 0 0 0 0 0 NaN 1"), "line 1: expect-pose: 'NaN' is not a number");
  EXPECT_EQ(ParseError("expect-pose Hips 0 0 0 0 0 0 -1"), "line 1: expect-pose: the tolerance -1 is negative");
  EXPECT_EQ(ParseError("scrub nan"), "line 1: scrub: 'nan' is not a frame");
  EXPECT_EQ(ParseError("scrub 1e7"), "line 1: scrub: '1e7' lies beyond frame 1000000");
  EXPECT_EQ(ParseError("mouse move -2000000 0"), "line 1: mouse: '-2000000' lies beyond frame 1000000");
  EXPECT_EQ(ParseError("mouse move 0 inf"), "line 1: mouse: 'inf' is not a value");
  EXPECT_EQ(ParseError("wait 4294967296"), "line 1: wait: '4294967296' is longer than an hour (at most 3600000 ms)");
  EXPECT_EQ(ParseError("wait 3600001"), "line 1: wait: '3600001' is longer than an hour (at most 3600000 ms)");
  EXPECT_EQ(ParseError("wait 99999999999999999999"), "line 1: wait: '99999999999999999999' is not a whole number");
  EXPECT_EQ(ParseError("window-size 1024 99999"), "line 1: window-size: '99999' is more than 16384 pixels");
  EXPECT_EQ(ParseError("command 4294983950"), "line 1: command: '4294983950' is not a command id (at most 4294967295)");
  EXPECT_EQ(ParseError("message 0x100000000"), "line 1: message: '0x100000000' is not a message id");
  EXPECT_EQ(ParseError("answer 1 4294967296"), "line 1: answer: '4294967296' is not a code");
  EXPECT_EQ(ParseError("expect-tabs 4294967297"), "line 1: expect-tabs: '4294967297' is too large");
  EXPECT_EQ(ParseOk("wait 3600000\nexpect-frame 5 5\nexpect-pose Hips 0 0 0 0 0 0 0\nscrub -1000000\n"
                    "answer -1 4294967295\ncommand 0xFFFFFFFF\nmouse move 1000000 -1e300")
                .size(),
            7u);

  for (const char* word : {"nan", "-nan", "inf", "+Infinity", "0x1p3", "1e400", "-1e400", "1.5.5", "", "e5"}) {
    EXPECT_FALSE(ScriptParser::ParseNumber(word)) << word;
  }
  EXPECT_EQ(ScriptParser::ParseNumber("1e-400"), 0.0) << "an underflow is the zero it nearly is";
  EXPECT_EQ(ScriptParser::ParseInteger("010"), 10) << "a leading zero is no octal";
  EXPECT_EQ(ScriptParser::ParseInteger("-0x10"), -16);
  EXPECT_FALSE(ScriptParser::ParseInteger("0x"));
  EXPECT_FALSE(ScriptParser::ParseInteger(" 5"));
  EXPECT_FALSE(ScriptParser::ParseInteger("9223372036854775808"));
}

TEST(ScriptParsing, DialogTextNamesItsFieldWithAControlIdAndAnEqualsSign) {
  const auto actions = ParseOk(
      "dialog-text 1003=24\ndialog-text 1003=\ndialog-text My clip=2\ndialog-text =x\n"
      "dialog-text 1064=on");
  ASSERT_EQ(actions.size(), 5u);
  EXPECT_EQ(actions[0].words, (std::vector<std::string>{"1003", "24"}));
  EXPECT_EQ(actions[1].words, (std::vector<std::string>{"1003", ""})) << "a named box may be emptied";
  EXPECT_EQ(actions[2].words, std::vector<std::string>{"My clip=2"}) << "no control id: all of it is the text";
  EXPECT_EQ(actions[3].words, std::vector<std::string>{"=x"});
  EXPECT_EQ(actions[4].words, (std::vector<std::string>{"1064", "on"}));
  EXPECT_EQ(ParseError("dialog-text 0=2"), "line 1: dialog-text: '0' is not a control id");
  EXPECT_EQ(ParseError("dialog-text 4294967296=2"), "line 1: dialog-text: '4294967296' is not a control id");
  EXPECT_EQ(ParseError("dialog-text"), "line 1: dialog-text needs a text");
}

// Script files are read whole, without ever waiting on what they name.
class ScriptFile : public ::testing::Test {
 protected:
  std::string Write(const std::string& name, const std::string& bytes) {
    const std::string path = temp / name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // The error of reading the file, or "" when it reads.
  static std::string ReadError(const std::string& path) {
    std::string text;
    std::string error;
    return ScriptParser::ReadFile(path, text, error) ? std::string() : error;
  }

  TestSupport::TempFolder temp;
};

TEST_F(ScriptFile, SkipsAByteOrderMarkAtTheStart) {
  std::vector<ScriptAction> actions;
  std::string error;
  ASSERT_TRUE(ScriptParser::ParseFile(Write("bom.txt", "\xEF\xBB\xBFopen 01_01\r\nexpect-tabs 1\r\n"), actions, error))
      << error;
  ASSERT_EQ(actions.size(), 2u);
  EXPECT_EQ(actions[0].verb, "open");
  EXPECT_EQ(actions[0].line, 1);
  EXPECT_EQ(actions[1].words, std::vector<std::string>{"1"});
  EXPECT_EQ(ParseError("open A\n\xEF\xBB\xBFquit"), "line 2: unknown action '\xEF\xBB\xBFquit'")
      << "only the file's first bytes may be a byte order mark";
}

TEST_F(ScriptFile, TakesARegularFileOfAtMostOneMebibyteAndRefusesALargerOne) {
  const std::string comments(static_cast<std::size_t>(ScriptParser::kMaxScriptBytes), '#');
  std::string text;
  std::string error;
  ASSERT_TRUE(ScriptParser::ReadFile(Write("full.txt", comments), text, error)) << error;
  EXPECT_EQ(text.size(), comments.size());
  const std::string large = Write("large.txt", comments + "\n");
  EXPECT_EQ(ReadError(large),
            "cannot read script " + large + ": it holds more than the 1048576 bytes a script may hold");
}

TEST_F(ScriptFile, RefusesAFolderAPipeAndADeviceWithoutWaitingOnThem) {
  EXPECT_EQ(ReadError(temp.Path().string()), "cannot read script " + temp.Path().string() + ": it is a folder");
  const std::string fifo = temp / "fifo";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  // No process ever writes to the pipe: a reader that opened it would wait for ever.
  EXPECT_EQ(ReadError(fifo),
            "cannot read script " + fifo + ": it is not a regular file (a pipe, a device or a socket)");
  EXPECT_EQ(ReadError("/dev/zero"),
            "cannot read script /dev/zero: it is not a regular file (a pipe, a device or a socket)");
  EXPECT_NE(ReadError(temp / "missing.txt"), "");
}

TEST(ScriptParsing, ReadsKeysWithModifiersAndDecimalOrHexadecimalNumbers) {
  // The text, then the key and whether Control and Shift are held.
  for (const auto& [text, key, control, shift] : {std::tuple{"Ctrl+z", Qt::Key_Z, true, false},
                                                  {"shift+Delete", Qt::Key_Delete, false, true},
                                                  {"F12", Qt::Key_F12, false, false}}) {
    const auto parsed = ScriptParser::ParseKey(text);
    ASSERT_TRUE(parsed) << text;
    EXPECT_EQ(std::tuple(parsed->qtKey, parsed->control, parsed->shift), std::tuple(key, control, shift)) << text;
  }
  EXPECT_FALSE(ScriptParser::ParseKey("F13"));
  EXPECT_FALSE(ScriptParser::ParseKey("Ctrl+"));
  EXPECT_EQ(ScriptParser::ParseInteger("3524"), 3524);
  EXPECT_EQ(ScriptParser::ParseInteger("0x10000000"), 0x10000000);
  EXPECT_EQ(ScriptParser::ParseInteger("-4"), -4);
  EXPECT_FALSE(ScriptParser::ParseInteger("4.5"));
  EXPECT_FALSE(ScriptParser::ParseInteger(""));
  EXPECT_DOUBLE_EQ(*ScriptParser::ParseNumber("-0.25"), -0.25);
  EXPECT_FALSE(ScriptParser::ParseNumber("1,5"));
}

}  // namespace
