// The control channel's commands and reply lines.
#include "standin/Commands.h"
#include "standin/StandinText.h"

#include <gtest/gtest.h>

using namespace standin;

TEST(StandinText, NumbersAreDecimalOrHexadecimal) {
    struct Case {
        const char* word;
        std::optional<std::int64_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"-2", -2},
        {"0x1F", 31},
        {"0xffffffff", 0xffffffffll},
        {"", {}},
        {"0x", {}},
        {"12a", {}},
        {"-", {}},
        {"x1", {}},
        {"99999999999999999999", {}},
        {"0xffffffffffffffff", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseNumber(c.word), c.value) << c.word;
}

TEST(StandinText, FieldLinesKeepTheTextAsItIs) {
    auto f = ParseFieldLine("btn style=8  state=0x4 text= two  spaces ", 1);
    ASSERT_TRUE(f);
    ASSERT_EQ(f->fields.size(), 2u);
    EXPECT_EQ(*f->Find("state"), "0x4");
    EXPECT_EQ(f->text, std::string(" two  spaces "));
    EXPECT_FALSE(ParseFieldLine("btn style", 1));
    auto tray = ParseFieldLine("hwnd=0x5 tip=a text=b", 0, "tip");
    ASSERT_TRUE(tray);
    EXPECT_EQ(tray->text, std::string("a text=b"));
    EXPECT_EQ(RestAfterWords("title 2  a  b", 2), " a  b");
}

TEST(StandinText, EscapingKeepsTextsOnOneLineAndComesBack) {
    const std::string text = "a\\b\nc\rd\\n";
    EXPECT_EQ(EscapeLine(text).find('\n'), std::string::npos);
    EXPECT_EQ(UnescapeLine(EscapeLine(text)), text);
    EXPECT_EQ(Utf16ToUtf8(u"A\u00e9\u20ac"), "A\xc3\xa9\xe2\x82\xac");
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xef\xbf\xbd");
}

TEST(ShellCommands, ParseWithTheirArguments) {
    std::string error;
    auto c = ParseShellCommand("edge left", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->kind, ShellCommand::SetEdge);
    EXPECT_EQ(c->edge, Edge::Left);
    c = ParseShellCommand("trayclick 0x10024 7 0x201", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->wnd, 0x10024u);
    EXPECT_EQ(c->number, 7);
    EXPECT_EQ(c->message, 0x201u);
    c = ParseShellCommand("grouping off\r\n", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_FALSE(c->on);
    c = ParseShellCommand("textgrow 1003 5000", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->number, 1003);
    EXPECT_EQ(c->count, 5000);
}

TEST(ShellCommands, RejectWhatTheyCannotCarryOut) {
    const char* bad[] = {"",
                         "bogus",
                         "edge middle",
                         "edge",
                         "sync now",
                         "grouping maybe",
                         "collapse x",
                         "trayclick 1 2",
                         "dump\nmore",
                         "textfail 0x1ffffffff",
                         "textgrow 1003",
                         "textgrow 1003 -1",
                         "trayclick 1 2 0x10000",
                         "trayrefuse -1"};
    for (const char* text : bad) {
        std::string error;
        EXPECT_FALSE(ParseShellCommand(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(ShellCommands, ScriptTakesOneButtonPerLine) {
    std::string error;
    auto c = ParseShellCommand("script\n"
                               "btn style=8 state=0x0c img=2 hwnd=0x1234 text=Group\n"
                               "\n"
                               "btn dwdata=0x10 id=77 text=raw \\n text\n"
                               "btn\n",
                               &error);
    ASSERT_TRUE(c) << error;
    ASSERT_EQ(c->script.size(), 3u);
    EXPECT_EQ(c->script[0].style, 8);
    EXPECT_EQ(c->script[0].state, 0x0c);
    EXPECT_EQ(c->script[0].image, 2);
    EXPECT_EQ(c->script[0].hwnd, 0x1234u);
    EXPECT_FALSE(c->script[0].dwData);
    EXPECT_EQ(c->script[0].text, "Group");
    EXPECT_EQ(c->script[1].dwData, std::optional<std::uint64_t>(0x10));
    EXPECT_EQ(c->script[1].id, std::optional<int>(77));
    EXPECT_EQ(c->script[1].text, "raw \n text");
    EXPECT_EQ(c->script[2].state, 0x04);
    EXPECT_EQ(c->script[2].image, -1);

    EXPECT_FALSE(ParseShellCommand("script\nbtn style=256", &error));
    EXPECT_FALSE(ParseShellCommand("script\nbutton style=1", &error));
    EXPECT_FALSE(ParseShellCommand("script\nbtn colour=1", &error));
}

TEST(ShellCommands, ScriptAndDumpLinesComeBackAsTheyWent) {
    ScriptLine s;
    s.style = 8;
    s.state = 0x0c;
    s.image = -2;
    s.hwnd = 0xabc;
    s.id = 5;
    s.text = std::string(5000, 'x') + "\n";
    auto back = ParseScriptLine(FormatScriptLine(s), nullptr);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, s.text);
    EXPECT_EQ(back->id, s.id);
    EXPECT_EQ(back->image, -2);

    DumpLine d{3, 1001, 8, 0x0c, 4, 0x20056, "text= with = signs "};
    std::string line = FormatDumpLine(d);
    EXPECT_EQ(line, "3 id=1001 style=0x8 state=0xc img=4 hwnd=0x20056 text=text= with = signs ");
    auto parsed = ParseDumpLine(line);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->index, 3);
    EXPECT_EQ(parsed->id, 1001);
    EXPECT_EQ(parsed->state, 0x0c);
    EXPECT_EQ(parsed->hwnd, 0x20056u);
    EXPECT_EQ(parsed->text, d.text);
    EXPECT_FALSE(ParseDumpLine("3 id=1 style=0x0"));
}

TEST(SampleCommands, Parse) {
    std::string error;
    auto c = ParseSampleCommand("title 2 A  new title", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->kind, SampleCommand::Title);
    EXPECT_EQ(c->index, 2);
    EXPECT_EQ(c->text, "A  new title");
    c = ParseSampleCommand("trayicon 3 Tip text", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->uid, 3u);
    EXPECT_EQ(c->text, "Tip text");
    c = ParseSampleCommand("open", &error);
    ASSERT_TRUE(c) << error;
    EXPECT_EQ(c->text, "");
    for (const char* text : {"hide", "hide x", "show 1 2", "list all", "frobnicate", "close -1"})
        EXPECT_FALSE(ParseSampleCommand(text, &error)) << text;
}
