#include "core/json_writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>

namespace mv {
namespace {

using Json = nlohmann::ordered_json;

std::string Formatted(double value) {
  char digits[kMaxDoubleChars];
  return std::string(digits, FormatJsonDouble(value, digits));
}

// The batch commands printed their figures through the JSON library; the writer must print
// every double the same way, digit for digit.
TEST(JsonWriter, DoublesAsTheJsonLibraryPrintsThem) {
  const double kTable[] = {0.0,
                           -0.0,
                           1.0,
                           40.0,
                           -3.5,
                           0.1,
                           0.0001,
                           0.00012345,
                           1e-05,
                           1.5e-05,
                           123456789012345.0,
                           999999999999999.0,
                           1e15,
                           1e16,
                           1.5e20,
                           1e20,
                           1e100,
                           1e-100,
                           19.995112,
                           19.99729306,
                           0.00072702,
                           1.0 / 3,
                           2.0 / 3,
                           100.0 / 7,
                           5e-324,
                           2.2250738585072014e-308,
                           2.2250738585072009e-308,
                           std::numeric_limits<double>::max(),
                           std::numeric_limits<double>::lowest(),
                           9007199254740993.0,
                           4294967296.0,
                           0.30000000000000004};
  for (const double x : kTable) EXPECT_EQ(Formatted(x), Json(x).dump()) << x;
  // Bit patterns of every kind, and values such as figures take.
  std::mt19937_64 random(15);
  std::uniform_real_distribution<double> unit(0, 1);
  int mismatches = 0;
  for (int i = 0; i < 300000; ++i) {
    double x = 0;
    if (i % 3 == 0) {
      x = std::bit_cast<double>(random());
    } else if (i % 3 == 1) {
      x = unit(random) * std::pow(10.0, static_cast<int>(random() % 60) - 30);
    } else {
      x = 19.99 + static_cast<double>(random() % 100000) / 7e7;
    }
    if (Formatted(x) != Json(x).dump() && ++mismatches < 10) ADD_FAILURE() << Formatted(x) << " " << Json(x).dump();
  }
  EXPECT_EQ(mismatches, 0);
  // Not finite: null.
  for (const double x : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                         -std::numeric_limits<double>::infinity()}) {
    EXPECT_EQ(Formatted(x), "null");
    EXPECT_EQ(Json(x).dump(), "null");
  }
}

std::string Written(std::string_view text) {
  std::ostringstream out;
  {
    JsonWriter w(out);
    w.String(text);
  }
  return out.str();
}

TEST(JsonWriter, TextAsTheJsonLibraryEscapesIt) {
  std::string controls;
  for (char c = 1; c < 0x20; ++c) controls += c;
  const std::string kTable[] = {"",
                                "plain",
                                "\"quoted\" and back\\slash / slash",
                                controls,
                                std::string("nul\0byte", 8),
                                "\x7f delete",
                                "Карта средних значений",
                                "σ within, X̄, ±, ™, €",
                                "\xF0\x9F\x93\x88 chart",
                                "\xF4\x8F\xBF\xBF last code point"};
  for (const std::string& text : kTable) EXPECT_EQ(Written(text), Json(text).dump()) << text;
}

// The library refuses such text with an exception; the writer keeps the document valid.
TEST(JsonWriter, BytesOutsideUtf8BecomeReplacementCharacters) {
  const struct {
    std::string text;
    std::string written;
  } kCases[] = {
      {"a\xFF" "b", "\"a\xEF\xBF\xBD" "b\""},
      {"\xD0", "\"\xEF\xBF\xBD\""},                                   // cut short
      {"\xC0\xAF", "\"\xEF\xBF\xBD\xEF\xBF\xBD\""},                   // overlong
      {"\xED\xA0\x80", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\""},  // a surrogate
      {"\xF4\x90\x80\x80!", "\"\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD!\""},  // above U+10FFFF
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(Written(c.text), c.written);
    EXPECT_TRUE(Json::accept(Written(c.text)));
  }
}

// Nesting, empty containers, every kind of value: the same bytes as the library's dump with
// two spaces.
TEST(JsonWriter, DocumentsAsTheJsonLibraryLaysThemOut) {
  Json expected = {{"name", "Диаметр"}, {"empty", Json::object()}, {"none", Json::array()}};
  expected["numbers"] = {1, -2, 3.0, std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::uint64_t>::max(), nullptr, true, false};
  expected["nested"] = {{"list", {Json::array(), Json::object(), {{"a", {{"b", Json::array({1})}}}}}}};
  std::ostringstream out;
  {
    JsonWriter w(out);
    w.BeginObject();
    w.Field("name", "Диаметр");
    w.Key("empty");
    w.BeginObject();
    w.EndObject();
    w.Key("none");
    w.BeginArray();
    w.EndArray();
    w.Key("numbers");
    w.BeginArray();
    w.Value(1);
    w.Value(-2);
    w.Value(3.0);
    w.Value(std::numeric_limits<std::int64_t>::min());
    w.Value(std::numeric_limits<std::uint64_t>::max());
    w.Null();
    w.Value(true);
    w.Value(false);
    w.EndArray();
    w.Key("nested");
    w.BeginObject();
    w.Key("list");
    w.BeginArray();
    w.BeginArray();
    w.EndArray();
    w.BeginObject();
    w.EndObject();
    w.BeginObject();
    w.Key("a");
    w.BeginObject();
    w.Key("b");
    w.BeginArray();
    w.Value(1);
    w.EndArray();
    w.EndObject();
    w.EndObject();
    w.EndArray();
    w.EndObject();
    w.EndObject();
    w.Done();
  }
  EXPECT_EQ(out.str(), expected.dump(2) + "\n");
}

// Output beyond the buffer goes out in pieces and arrives whole.
TEST(JsonWriter, LongDocumentsArriveWhole) {
  Json expected = Json::array();
  std::ostringstream out;
  {
    JsonWriter w(out);
    w.BeginArray();
    for (int i = 0; i < 20000; ++i) {
      const double x = i / 7.0;
      expected.push_back({{"i", i}, {"x", x}});
      w.BeginObject();
      w.Field("i", i);
      w.Field("x", x);
      w.EndObject();
    }
    w.EndArray();
    w.Done();
  }
  EXPECT_EQ(out.str(), expected.dump(2) + "\n");
}

}  // namespace
}  // namespace mv
