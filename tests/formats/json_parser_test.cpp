// The JSON reader: values, leniencies, error nodes and their messages, hostile input.
#include "formats/json_parser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "base/text.h"

namespace tp {
namespace {

std::unique_ptr<JsonValue> Parse(std::wstring_view text) {
  return ParseJson(text);
}

// The message of the error node that text yields; fails the test when it parses.
std::wstring ErrorOf(std::wstring_view text) {
  const std::unique_ptr<JsonValue> value = ParseJson(text);
  if (value == nullptr || !value->IsError()) {
    ADD_FAILURE() << "no error for: " << WideToUtf8(text);
    return {};
  }
  EXPECT_EQ(value->type(), JsonType::String);
  return value->AsString();
}

double NumberOf(std::wstring_view text) {
  const std::unique_ptr<JsonValue> value = ParseJson(text);
  if (value == nullptr || value->type() != JsonType::Number) {
    ADD_FAILURE() << "not a number: " << WideToUtf8(text);
    return std::numeric_limits<double>::quiet_NaN();
  }
  return value->AsNumber();
}

std::wstring Expected(std::wstring_view token, std::wstring_view shown) {
  return L"Expected '" + std::wstring(token) + L"' but recieved '" + std::wstring(shown);
}

TEST(JsonParserTest, EmptyOrWhitespaceTextHasNoValue) {
  EXPECT_EQ(Parse(L""), nullptr);
  EXPECT_EQ(Parse(L" \t\r\n "), nullptr);
  EXPECT_EQ(NumberOf(L" 5 "), 5);
  // Only four characters are whitespace: a vertical tab or form feed is not.
  EXPECT_EQ(ErrorOf(L"\v5"), Expected(L"valid JSON syntax", L"\v5"));
  EXPECT_EQ(ErrorOf(L"5\f"), Expected(L"Object end", L"\f"));
}

TEST(JsonParserTest, LiteralsIgnoreLetterCaseAndMatchAsPrefixes) {
  for (const wchar_t* text : {L"true", L"TRUE", L"tRuE"}) {
    const auto value = Parse(text);
    ASSERT_EQ(value->type(), JsonType::Bool) << WideToUtf8(text);
    EXPECT_TRUE(value->AsBool());
  }
  const auto no = Parse(L"False");
  ASSERT_EQ(no->type(), JsonType::Bool);
  EXPECT_FALSE(no->AsBool());
  const auto null = Parse(L"nULL");
  ASSERT_NE(null, nullptr);
  EXPECT_EQ(null->type(), JsonType::Null);
  EXPECT_FALSE(null->IsError());

  EXPECT_EQ(ErrorOf(L"trueX"), Expected(L"Object end", L"X"));
  EXPECT_EQ(ErrorOf(L"[falsey]"), Expected(L"Comma (,)", L"y]"));
  // A literal needs all its characters before the end of the text.
  EXPECT_EQ(ErrorOf(L"fals"), Expected(L"valid JSON syntax", L"fals"));
  EXPECT_EQ(ErrorOf(L"[nul"), Expected(L"valid JSON syntax", L"nul"));
}

TEST(JsonParserTest, ContainersAndTheirSeparators) {
  for (const wchar_t* text : {L"[]", L"[ ]", L"[\r\n\t]"}) {
    const auto value = Parse(text);
    ASSERT_EQ(value->type(), JsonType::Array);
    EXPECT_TRUE(value->AsArray().empty());
  }
  for (const wchar_t* text : {L"{}", L"{ }"}) {
    const auto value = Parse(text);
    ASSERT_EQ(value->type(), JsonType::Object);
    EXPECT_TRUE(value->AsObject().empty());
  }
  const auto array = Parse(L"[1, \"two\" ,[true],{\"k\":null}]");
  ASSERT_EQ(array->type(), JsonType::Array);
  const JsonArray& elements = array->AsArray();
  ASSERT_EQ(elements.size(), 4u);
  EXPECT_EQ(elements[0]->AsNumber(), 1);
  EXPECT_EQ(elements[1]->AsString(), L"two");
  EXPECT_TRUE(elements[2]->AsArray().at(0)->AsBool());
  EXPECT_EQ(elements[3]->AsObject().at(L"k")->type(), JsonType::Null);

  EXPECT_EQ(ErrorOf(L"[1,]"), Expected(L"valid JSON syntax", L"]"));
  EXPECT_EQ(ErrorOf(L"[1 2]"), Expected(L"Comma (,)", L"2]"));
  EXPECT_EQ(ErrorOf(L"{\"a\":1 \"b\":2}"), Expected(L"Comma (,)", L"\"b\":2}"));
  EXPECT_EQ(ErrorOf(L"{\"a\":1,}"), Expected(L"Valid Name", L"}"));
  EXPECT_EQ(ErrorOf(L"{a:1}"), Expected(L"Valid Name", L"a:1}"));
}

TEST(JsonParserTest, EachWayTheTextCanEndEarly) {
  EXPECT_EQ(ErrorOf(L"["), Expected(L"More data", L""));
  EXPECT_EQ(ErrorOf(L"[ "), Expected(L"Whitespace", L""));
  EXPECT_EQ(ErrorOf(L"[1"), Expected(L"Whitespace", L""));
  EXPECT_EQ(ErrorOf(L"[1,"), Expected(L"More data", L""));
  EXPECT_EQ(ErrorOf(L"{"), Expected(L"More data", L""));
  EXPECT_EQ(ErrorOf(L"{ "), Expected(L"White Space", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\""), Expected(L"Whitespace", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\":"), Expected(L"Whitespace", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\":1"), Expected(L"Whitespace", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\":1,"), Expected(L"More data", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\":1, "), Expected(L"White Space", L""));
  EXPECT_EQ(ErrorOf(L"{\"a"), Expected(L"Valid Name", L""));
  EXPECT_EQ(ErrorOf(L"\"abc"), Expected(L"String", L""));
  EXPECT_EQ(ErrorOf(L"-"), Expected(L"Number", L""));
  EXPECT_EQ(ErrorOf(L"1."), Expected(L"Digits", L""));
  EXPECT_EQ(ErrorOf(L"1e"), Expected(L"Digits", L""));
  EXPECT_EQ(ErrorOf(L"1e+"), Expected(L"Digits", L""));
}

TEST(JsonParserTest, TheLastOfDuplicateKeysWins) {
  const auto value = Parse(L"{\"a\":1,\"a\":[2],\"b\":0,\"a\":{\"x\":3}}");
  const JsonObject& members = value->AsObject();
  ASSERT_EQ(members.size(), 2u);
  EXPECT_EQ(members.at(L"a")->AsObject().at(L"x")->AsNumber(), 3);
}

TEST(JsonParserTest, MembersAreOrderedByUtf16CodeUnits) {
  // U+1F600 is D83D DE00 in UTF-16, so it sorts before U+E000 although it is larger.
  const std::wstring emoji = Utf8ToWide("\xF0\x9F\x98\x80");
  const auto value =
      Parse(L"{\"b\":1,\"\uE000\":2,\"" + emoji + L"\":3,\"a\":4,\"B\":5,\"ab\":6,\"\":7}");
  std::vector<std::wstring> keys;
  for (const auto& [key, member] : value->AsObject())
    keys.push_back(key);
  EXPECT_EQ(keys, (std::vector<std::wstring>{L"", L"B", L"a", L"ab", L"b", emoji, L"\uE000"}));
  // Escaped and raw spellings of a key are the same key.
  const auto twice = Parse(L"{\"\\ud83d\\ude00\":1,\"" + emoji + L"\":2}");
  ASSERT_EQ(twice->AsObject().size(), 1u);
  EXPECT_EQ(twice->AsObject().at(emoji)->AsNumber(), 2);
}

TEST(JsonParserTest, NumbersFollowTheGrammar) {
  EXPECT_EQ(NumberOf(L"0"), 0);
  EXPECT_EQ(NumberOf(L"1.5e2"), 150);
  EXPECT_EQ(NumberOf(L"2E-1"), 0.2);
  EXPECT_EQ(NumberOf(L"-0.25"), -0.25);
  EXPECT_EQ(NumberOf(L"1E+3"), 1000);
  EXPECT_EQ(NumberOf(L"123456789"), 123456789);
  EXPECT_TRUE(std::signbit(NumberOf(L"-0")));
  EXPECT_EQ(ErrorOf(L"012"), Expected(L"Object end", L"12"));
  EXPECT_EQ(ErrorOf(L"-x"), Expected(L"Number", L"x"));
  EXPECT_EQ(ErrorOf(L"+1"), Expected(L"valid JSON syntax", L"+1"));
  EXPECT_EQ(ErrorOf(L"1.e5"), Expected(L"Digits", L"e5"));
  EXPECT_EQ(ErrorOf(L"[1e-x]"), Expected(L"Digits", L"x]"));
  EXPECT_EQ(ErrorOf(L".5"), Expected(L"valid JSON syntax", L".5"));
}

TEST(JsonParserTest, HugeExponentsEndQuicklyAtInfinityOrZero) {
  const double infinity = std::numeric_limits<double>::infinity();
  EXPECT_EQ(NumberOf(L"1e999999999"), infinity);
  EXPECT_EQ(NumberOf(L"-1e999999999"), -infinity);
  EXPECT_EQ(NumberOf(L"1e-999999999"), 0);
  EXPECT_EQ(NumberOf(L"0e99999999999999999999"), 0);
  EXPECT_EQ(NumberOf(L"1e" + std::wstring(5000, L'9')), infinity);  // the exponent itself is inf
  EXPECT_EQ(NumberOf(L"1" + std::wstring(400, L'0')), infinity);
  // Scaling cannot bring an integer part that overflowed back from infinity.
  EXPECT_EQ(NumberOf(L"1" + std::wstring(400, L'0') + L"e-999999999"), infinity);
  // The boundaries stay where step-by-step scaling puts them.
  EXPECT_TRUE(std::isfinite(NumberOf(L"1e308")));
  EXPECT_EQ(NumberOf(L"1e309"), infinity);
  EXPECT_GT(NumberOf(L"1e-320"), 0);
  EXPECT_EQ(NumberOf(L"1e-400"), 0);
  EXPECT_EQ(NumberOf(L"0." + std::wstring(100000, L'0') + L"1"), 0);
}

TEST(JsonParserTest, StringsEscapesAndControlCharacters) {
  const auto value = Parse(L"\"q\\\" s\\/ b\\\\ \\b\\f\\n\\r\\t\tend\"");
  ASSERT_EQ(value->type(), JsonType::String);
  EXPECT_FALSE(value->IsError());
  EXPECT_EQ(value->AsString(), L"q\" s/ b\\ \b\f\n\r\t\tend");
  EXPECT_EQ(Parse(L"\"\\u00e9\\u00E9\"")->AsString(), L"\u00e9\u00e9");
  EXPECT_EQ(Parse(L"\"\"")->AsString(), L"");

  EXPECT_EQ(ErrorOf(L"\"a\nb\""), Expected(L"String", L"\nb\""));
  EXPECT_EQ(ErrorOf(std::wstring(L"\"a\0b\"", 5)), Expected(L"String", std::wstring(L"\0b\"", 3)));
  // The reader gives up on the escape character, or on the first bad hexadecimal digit.
  EXPECT_EQ(ErrorOf(L"\"abc\\x123\""), Expected(L"String", L"x123\""));
  EXPECT_EQ(ErrorOf(L"\"\\u12G4\""), Expected(L"String", L"G4\""));
  EXPECT_EQ(ErrorOf(L"\"\\u12"), Expected(L"String", L"12"));
  EXPECT_EQ(ErrorOf(L"\"\\"), Expected(L"String", L""));
  EXPECT_EQ(ErrorOf(L"{\"a\\q\":1}"), Expected(L"Valid Name", L"q\":1}"));
}

TEST(JsonParserTest, EscapedSurrogatesGiveTheSameUtf16OnEveryPlatform) {
  const std::wstring emoji = Utf8ToWide("\xF0\x9F\x98\x80");
  EXPECT_EQ(Parse(L"\"\\uD83D\\uDE00\"")->AsString(), emoji);
  // A lone surrogate stays one unit, neither combined nor replaced.
  EXPECT_EQ(WideToUtf16Le(Parse(L"\"a\\uD800b\"")->AsString()), std::string("a\0\x00\xD8"
                                                                            "b\0",
                                                                            6));
  // Raw and escaped halves of one pair make the same string (raw halves reach the reader
  // when the text came from UTF-16 without being combined).
  std::wstring raw = L"\"\\uD83D";
  raw += static_cast<wchar_t>(0xDE00);
  raw += L"\"";
  EXPECT_EQ(Parse(raw)->AsString(), emoji);
  std::wstring rawHigh = L"\"";
  rawHigh += static_cast<wchar_t>(0xD83D);
  rawHigh += L"\\uDE00\"";
  EXPECT_EQ(Parse(rawHigh)->AsString(), emoji);
  EXPECT_EQ(WideToUtf16Le(Parse(L"\"\\uDE00\\uD83D\"")->AsString()),
            std::string("\x00\xDE\x3D\xD8", 4));
}

TEST(JsonParserTest, TheMessageShowsFifteenCharactersAndATailOnlyWhenThatManyRemain) {
  // Position of the failure: the "x" after a complete root value.
  const std::wstring twenty = L"x1234567890123456789";
  EXPECT_EQ(ErrorOf(L"{\"k\":\"v\"} " + twenty), Expected(L"Object end", L"x12345678901234...'"));
  EXPECT_EQ(ErrorOf(L"1 " + twenty.substr(0, 15)), Expected(L"Object end", L"x12345678901234...'"));
  EXPECT_EQ(ErrorOf(L"1 " + twenty.substr(0, 14)), Expected(L"Object end", L"x1234567890123"));
  EXPECT_EQ(ErrorOf(L"{\"k\":\"v\"} x"), L"Expected 'Object end' but recieved 'x");
}

TEST(JsonParserTest, TheWindowCountsUtf16CodeUnits) {
  // Fourteen letters then U+1F600: the fifteenth unit is its high surrogate alone.
  const std::wstring emoji = Utf8ToWide("\xF0\x9F\x98\x80");
  const std::wstring message = ErrorOf(L"1 " + std::wstring(14, L'a') + emoji);
  const std::string expected = WideToUtf16Le(Expected(L"Object end", std::wstring(14, L'a'))) +
                               std::string("\x3D\xD8", 2) + WideToUtf16Le(L"...'");
  EXPECT_EQ(WideToUtf16Le(message), expected);
  // Thirteen letters then the emoji: exactly fifteen units, with the tail.
  EXPECT_EQ(ErrorOf(L"1 " + std::wstring(13, L'a') + emoji),
            Expected(L"Object end", std::wstring(13, L'a') + emoji + L"...'"));
}

TEST(JsonParserTest, ErrorPositionAfterAFailedColonIsPastTheCharacterTested) {
  EXPECT_EQ(ErrorOf(L"{\"a\" 1}"), Expected(L"Colon (:)", L"}"));
  EXPECT_EQ(ErrorOf(L"{\"a\" 1"), Expected(L"Colon (:)", L""));
  size_t offset = 0;
  const auto value = ParseJson(L"{\"a\" 1}", &offset);
  ASSERT_TRUE(value->IsError());
  EXPECT_EQ(offset, 6u);
  EXPECT_NE(ParseJson(L"[1]", &offset), nullptr);
  EXPECT_EQ(offset, 0u);
}

TEST(JsonParserTest, AnErrorDeepInsideComesBackAloneAndTheRestIsFreed) {
  const auto value = Parse(
      L"{\"branding\":[{\"name\":\"A\",\"domain\":\"a.com\"},"
      L"{\"name\":\"B\",\"list\":[1,2,{\"deep\":[true,\"x\" \"y\"]}]}],\"z\":1}");
  ASSERT_TRUE(value->IsError());
  EXPECT_EQ(value->type(), JsonType::String);
  EXPECT_EQ(value->AsString(), Expected(L"Comma (,)", L"\"y\"]}]}],\"z\":1}...'"));
  EXPECT_TRUE(value->AsObject().empty());
  EXPECT_TRUE(value->AsArray().empty());
}

TEST(JsonParserTest, NestingIsBoundedWithAClearError) {
  const auto deepest = Parse(std::wstring(512, L'[') + std::wstring(512, L']'));
  ASSERT_FALSE(deepest->IsError());
  EXPECT_EQ(deepest->type(), JsonType::Array);

  size_t offset = 0;
  const auto tooDeep = ParseJson(std::wstring(513, L'[') + std::wstring(513, L']'), &offset);
  ASSERT_TRUE(tooDeep->IsError());
  EXPECT_EQ(tooDeep->AsString(),
            Expected(L"Nesting within 512 levels", L"[" + std::wstring(14, L']') + L"...'"));
  EXPECT_EQ(offset, 512u);

  std::wstring objects;
  for (int i = 0; i < 600; ++i)
    objects += L"{\"k\":[";
  EXPECT_EQ(ErrorOf(objects), Expected(L"Nesting within 512 levels", L"{\"k\":[{\"k\":[{\"k...'"));
  // Far deeper input fails at the bound, without exhausting the stack.
  EXPECT_TRUE(Parse(std::wstring(1000000, L'['))->IsError());
}

TEST(JsonParserTest, TheViewEndsTheTextWhateverFollowsInMemory) {
  const std::wstring buffer = L"true 12 \"\\u00e9\" [1]";
  EXPECT_EQ(ErrorOf(std::wstring_view(buffer).substr(0, 3)),
            Expected(L"valid JSON syntax", L"tru"));
  EXPECT_EQ(NumberOf(std::wstring_view(buffer).substr(5, 1)), 1);
  EXPECT_EQ(ErrorOf(std::wstring_view(buffer).substr(8, 6)), Expected(L"String", L"00e"));
  EXPECT_EQ(ErrorOf(std::wstring_view(buffer).substr(17, 2)), Expected(L"Whitespace", L""));
  // An embedded zero is an ordinary character, not the end.
  EXPECT_EQ(ErrorOf(std::wstring(L"1\0", 2)), Expected(L"Object end", std::wstring(1, L'\0')));
}

TEST(JsonParserTest, AccessorsOfAnotherTypeGiveEmptyValues) {
  const auto number = Parse(L"7");
  EXPECT_EQ(number->AsString(), L"");
  EXPECT_TRUE(number->AsArray().empty());
  EXPECT_TRUE(number->AsObject().empty());
  EXPECT_FALSE(number->AsBool());
  EXPECT_EQ(Parse(L"\"7\"")->AsNumber(), 0);
  // The constructors set the tag and the one field of their type.
  const JsonValue error(std::wstring(L"boom"), true);
  EXPECT_TRUE(error.IsError());
  EXPECT_EQ(error.type(), JsonType::String);
  EXPECT_EQ(JsonValue(2.5).type(), JsonType::Number);
  EXPECT_EQ(JsonValue(JsonArray{}).type(), JsonType::Array);
  EXPECT_EQ(JsonValue().type(), JsonType::Null);
}

}  // namespace
}  // namespace tp
