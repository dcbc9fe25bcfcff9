// Reading key strings into key actions: every piece of the language and every malformed form.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/KeyStrings.h"

namespace wrang::platform {
namespace {

KeyAction Down(WORD vk) { return {KeyAction::Press, vk, 0}; }
KeyAction Up(WORD vk) { return {KeyAction::Release, vk, 0}; }
KeyAction Tap(WORD vk) { return {KeyAction::Tap, vk, 0}; }
KeyAction Char(wchar_t c) { return {KeyAction::Character, 0, c}; }

std::string Describe(const std::vector<KeyAction>& actions) {
    std::string text;
    for (const KeyAction& a : actions) {
        static const char* kinds[] = {"down", "up", "tap", "char"};
        text += std::string(kinds[a.kind]) + "(" +
                std::to_string(a.kind == KeyAction::Character ? a.character : a.virtualKey) + ") ";
    }
    return text;
}

void ExpectParsed(const std::wstring& keys, const std::vector<KeyAction>& expected) {
    std::vector<KeyAction> actions;
    ASSERT_EQ(S_OK, ParseKeyString(keys.data(), keys.size(), &actions))
        << "keys: " << std::string(keys.begin(), keys.end());
    EXPECT_EQ(Describe(expected), Describe(actions)) << "keys: " << std::string(keys.begin(), keys.end());
}

TEST(KeyStrings, CharactersAndEnter) {
    ExpectParsed(L"", {});
    ExpectParsed(L"aB 1", {Char('a'), Char('B'), Char(' '), Char('1')});
    ExpectParsed(L"a~", {Char('a'), Tap(VK_RETURN)});
    // Brackets have no meaning of their own; a lone bracket is just typed.
    ExpectParsed(L"[x]", {Char('['), Char('x'), Char(']')});
    ExpectParsed(L"\x00e9\x0436", {Char(0xE9), Char(0x436)});
}

TEST(KeyStrings, ModifiersHoldOnlyTheNextKeyOrGroup) {
    ExpectParsed(L"+ab", {Down(VK_SHIFT), Char('a'), Up(VK_SHIFT), Char('b')});
    ExpectParsed(L"^c", {Down(VK_CONTROL), Char('c'), Up(VK_CONTROL)});
    ExpectParsed(L"%{F4}", {Down(VK_MENU), Tap(VK_F4), Up(VK_MENU)});
    // Released in the reverse order of pressing.
    ExpectParsed(L"+^%x", {Down(VK_SHIFT), Down(VK_CONTROL), Down(VK_MENU), Char('x'), Up(VK_MENU), Up(VK_CONTROL),
                           Up(VK_SHIFT)});
    ExpectParsed(L"^~", {Down(VK_CONTROL), Tap(VK_RETURN), Up(VK_CONTROL)});
}

TEST(KeyStrings, GroupsKeepTheirModifiersDownAndDoNotPressThemTwice) {
    ExpectParsed(L"+(ab)c", {Down(VK_SHIFT), Char('a'), Char('b'), Up(VK_SHIFT), Char('c')});
    ExpectParsed(L"+(a+b)", {Down(VK_SHIFT), Char('a'), Char('b'), Up(VK_SHIFT)});
    ExpectParsed(L"^(a%(b)c)",
                 {Down(VK_CONTROL), Char('a'), Down(VK_MENU), Char('b'), Up(VK_MENU), Char('c'), Up(VK_CONTROL)});
    ExpectParsed(L"(ab)", {Char('a'), Char('b')});
    ExpectParsed(L"+()", {Down(VK_SHIFT), Up(VK_SHIFT)});
}

TEST(KeyStrings, BracesEscapeEverySpecialCharacter) {
    for (wchar_t c : std::wstring(L"+^%~()[]{}")) {
        ExpectParsed(std::wstring(L"{") + c + L"}", {Char(c)});
    }
    ExpectParsed(L"+{+}", {Down(VK_SHIFT), Char('+'), Up(VK_SHIFT)});
    ExpectParsed(L"{{}{}}", {Char('{'), Char('}')});
}

TEST(KeyStrings, RepeatCounts) {
    ExpectParsed(L"{a 3}", {Char('a'), Char('a'), Char('a')});
    ExpectParsed(L"{enter 2}", {Tap(VK_RETURN), Tap(VK_RETURN)});
    ExpectParsed(L"{} 2}", {Char('}'), Char('}')});
    ExpectParsed(L"{  2}", {Char(' '), Char(' ')});
    ExpectParsed(L"{x 0}y", {Char('y')});
    ExpectParsed(L"{x 007}", std::vector<KeyAction>(7, Char('x')));
    ExpectParsed(L"+{TAB 2}", {Down(VK_SHIFT), Tap(VK_TAB), Tap(VK_TAB), Up(VK_SHIFT)});
    std::vector<KeyAction> actions;
    const std::wstring most = L"{z 10000}";
    ASSERT_EQ(S_OK, ParseKeyString(most.data(), most.size(), &actions));
    EXPECT_EQ(10000u, actions.size());
}

TEST(KeyStrings, EveryNamedKeyInAnyCase) {
    const struct {
        const wchar_t* name;
        WORD vk;
    } keys[] = {
        {L"BACKSPACE", VK_BACK},   {L"BS", VK_BACK},           {L"BKSP", VK_BACK},         {L"BREAK", VK_PAUSE},
        {L"CAPSLOCK", VK_CAPITAL}, {L"DELETE", VK_DELETE},     {L"DEL", VK_DELETE},        {L"DOWN", VK_DOWN},
        {L"END", VK_END},          {L"ENTER", VK_RETURN},      {L"ESC", VK_ESCAPE},        {L"HELP", VK_HELP},
        {L"HOME", VK_HOME},        {L"INSERT", VK_INSERT},     {L"INS", VK_INSERT},        {L"LEFT", VK_LEFT},
        {L"NUMLOCK", VK_NUMLOCK},  {L"PGDN", VK_NEXT},         {L"PGUP", VK_PRIOR},        {L"PRTSC", VK_SNAPSHOT},
        {L"RIGHT", VK_RIGHT},      {L"SCROLLLOCK", VK_SCROLL}, {L"TAB", VK_TAB},           {L"UP", VK_UP},
        {L"ADD", VK_ADD},          {L"SUBTRACT", VK_SUBTRACT}, {L"MULTIPLY", VK_MULTIPLY}, {L"DIVIDE", VK_DIVIDE},
    };
    for (const auto& key : keys) {
        std::wstring name = key.name;
        ExpectParsed(L"{" + name + L"}", {Tap(key.vk)});
        for (wchar_t& c : name) c = static_cast<wchar_t>(towlower(c));
        ExpectParsed(L"{" + name + L"}", {Tap(key.vk)});
    }
    for (int f = 1; f <= 16; ++f) {
        ExpectParsed(L"{F" + std::to_wstring(f) + L"}", {Tap(static_cast<WORD>(VK_F1 + f - 1))});
    }
}

TEST(KeyStrings, MalformedStringsGiveNoActions) {
    const wchar_t* malformed[] = {
        L"{",        L"}",    L"a}b",   L"{ENTER",  L"{}",     L"{}a",       L"{FOO}",           L"{F0}", L"{F17}",
        L"{ENTER }", L"{ 3}", L"{a b}", L"{a 1 2}", L"{a -1}", L"{a 10001}", L"{a 99999999999}", L"(",    L"(a",
        L"a)",       L"(a))", L"+",     L"ab^",     L"(+)",    L"+(a%)",     L"{ENTER}{",
    };
    for (const wchar_t* keys : malformed) {
        std::wstring text = keys;
        std::vector<KeyAction> actions = {Char('x')};
        const HRESULT hr = ParseKeyString(text.data(), text.size(), &actions);
        EXPECT_EQ(E_INVALIDARG, hr) << std::string(text.begin(), text.end());
        EXPECT_TRUE(actions.empty()) << std::string(text.begin(), text.end());
    }
}

}  // namespace
}  // namespace wrang::platform
