// Tables built into datasets whose saved bytes (or error texts) were recorded once: any change
// to the reader, the number rule or the builder that changes a dataset shows up here, in
// tables small and large, with quotes, decimal commas, Windows-1251 text and errors.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "core/cp1251.h"
#include "core/date_time.h"
#include "import/table_dataset.h"
#include "spc/spc_file.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

std::uint64_t Fnv1a(std::string_view bytes) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (const char c : bytes) {
    h ^= static_cast<unsigned char>(c);
    h *= 0x100000001b3ull;
  }
  return h;
}

// The saved file of the dataset built from `csv` as "size:hash", or "error: <text>".
std::string Outcome(std::string_view csv, const TableDatasetOptions& options) {
  test::FakePlatform fake;
  CsvTable table(csv);
  const TableDatasetResult built = BuildTableDataset(table, options);
  if (!built.Ok()) return "error: " + built.error;
  const TDateTime when = *EncodeDateTime({2024, 3, 8}, {17, 0, 0});
  const std::string bytes = EncodeSpcFile(*built.dataset, "table.mvl", when, when);
  return std::to_string(bytes.size()) + ":" + std::to_string(Fnv1a(bytes));
}

// A simple generator of values, the same on every machine.
struct Values {
  std::uint32_t state = 7;
  std::uint32_t Next(std::uint32_t range) {
    state = state * 1664525u + 1013904223u;
    return (state >> 8) % range;
  }
};

// Rows of samples of five points in blocks of 1000 samples, two parameters, with decimal commas or points.
std::string SampleTable(int rows, char delimiter, char point) {
  Values v;
  std::string d(1, delimiter);
  std::string csv = "block" + d + "sample" + d + "date" + d + "time" + d + "Диаметр" + d + "Длина\r\n";
  for (int i = 0; i < rows; ++i) {
    const int sample = i / 5;
    csv += "Блок " + std::to_string(sample / 1000) + d + "S" + std::to_string(sample % 1000) + d +
           std::to_string(1 + sample % 28) + ".03.2024" + d + std::to_string(8 + sample % 12) + ":" +
           std::to_string(10 + sample % 50) + d;
    csv += "19" + std::string(1, point) + std::to_string(900 + v.Next(200)) + d;
    if (i % 17 != 3) csv += std::to_string(100 + v.Next(50)) + std::string(1, point) + std::to_string(v.Next(10));
    csv += "\r\n";
  }
  return csv;
}

// Individual values in several blocks, with exponents, signs and grouping blanks.
std::string IndividualTable(int rows) {
  Values v;
  std::string csv = "block,date,time,x,y,z\n";
  for (int i = 0; i < rows; ++i) {
    csv += "Партия " + std::to_string(i / 40000) + "," + std::to_string(1 + i / 1440 % 28) + ".04.2024," +
           std::to_string(i / 60 % 24) + ":" + (i % 60 < 10 ? "0" : "") + std::to_string(i % 60) + ",";
    csv += std::to_string(v.Next(100000)) + "." + std::to_string(v.Next(1000)) + ",";
    csv += (i % 3 == 0 ? "-" : "+") + std::to_string(v.Next(9) + 1) + "." + std::to_string(v.Next(100)) + "e-" +
           std::to_string(v.Next(4)) + ",";
    csv += "\"" + std::to_string(v.Next(900) + 100) + " " + std::to_string(v.Next(900) + 100) + "\"\n";
  }
  return csv;
}

TEST(TableReference, DatasetsAndErrorsAreTheRecordedOnes) {
  TableDatasetOptions plain;
  TableDatasetOptions tolerance;
  tolerance.tolerances = {{"Диаметр", 19.95, 20.05, 20.0}};
  tolerance.processName = "Токарная";
  TableDatasetOptions individual;
  individual.individual = true;
  TableDatasetOptions samplesOf3;
  samplesOf3.sampleSize = 3;
  samplesOf3.decimals = {{"b", 2}};
  TableDatasetOptions attributes;
  attributes.attributes = {{"Брак", AttrType::Units}, {"Дефекты", AttrType::Nonconformities}};

  const std::string cp1251 =
      Utf8ToCp1251("Диаметр;Ширина полки\r\n19,995;1 234,5\r\n20,001;'1'235,25\r\n\r\n;\r\n19,990;1235\r\n");
  const std::string longCell = "a\n" + std::string(30, '1') + "\n" + std::string(31, '1') + "\n";
  const std::string longSpaced = "a\n" + std::string(15, '1') + "        " + std::string(15, '2') + "\n" +
                                 std::string(15, '1') + "    ,    " + std::string(16, '2') + "\n";
  const struct {
    const char* name;
    std::string csv;
    const TableDatasetOptions& options;
    std::string_view outcome;
  } kCases[] = {
      {"small, commas", SampleTable(20, ';', ','), tolerance, "13868:4099759399532953835"},
      {"small, points, tab", SampleTable(20, '\t', '.'), plain, "13868:14977380689700528632"},
      {"large samples", SampleTable(150000, ';', ','), tolerance, "5480912:16086494487747406654"},
      {"large individual", IndividualTable(120000), individual, "6033390:2681310291108991333"},
      {"Windows-1251, grouping", cp1251, plain, "13326:8740267895865134034"},
      {"BOM, quotes, line ends",
       "\xEF\xBB\xBF\"a;\"\"x\"\"\";\"b\r\nc\";c\r\n\"1,5\"0;2;3\r\"-,5\";\"+7e1\";\"\"\n1e-999;.25;0,\r\n", plain,
       "13876:833558978114968204"},
      {"numbers",
       "a;b\n\"1,5\";\" 2 \"\n1\xC2\xA0"
       "000,5;3E2\n-0,5e-2;+.5\n",
       samplesOf3, "13262:2252675144331506985"},
      {"thirty characters", longCell, plain,
       "error: Строка 3, столбец «a»: «1111111111111111111111111111111» - не число"},
      {"thirty with blanks", longSpaced, plain,
       "error: Строка 3, столбец «a»: «111111111111111    ,    2222222222222222» - не число"},
      {"attributes", "sample;size;Брак;Дефекты\nA;50;2;7\nB;50;0;0\nC;40;3,0;1\n", attributes,
       "13326:3603221481065767025"},
      {"not a number", "a;b\n1;2\n3;x4\n", plain, "error: Строка 3, столбец «b»: «x4» - не число"},
      {"infinite", "a;b\n1;2\n3;1e999\n", plain, "error: Строка 3, столбец «b»: «1e999» - не число"},
      {"inf text", "a;b\n1;inf\n", plain, "error: Строка 2, столбец «b»: «inf» - не число"},
      {"two points", "a;b\n1;1,2,3\n", plain, "error: Строка 2, столбец «b»: «1,2,3» - не число"},
      {"unclosed quote", "a;b\n1;\"2\n3;4\n", plain, "error: Строка 2: нет закрывающей кавычки"},
      {"value without heading", "a;b\n1;2;3\n", plain, "error: Строка 2, столбец 3: значение в столбце без заголовка"},
      {"bad date", "date;a\n31.02.2024;1\n", plain,
       "error: Строка 2, столбец «date»: «31.02.2024» - не дата (дд.мм.гггг или гггг-мм-дд)"},
      {"attribute not whole", "sample;size;Брак;Дефекты\nA;50;2,5;7\n", attributes,
       "error: Строка 2, столбец «Брак»: «2,5» - не целое неотрицательное число"},
      {"attribute over size", "sample;size;Брак;Дефекты\nA;5;6;7\n", attributes,
       "error: Строка 2, столбец «Брак»: несоответствующих единиц 6 больше объёма выборки 5"},
      {"line after quoted breaks", "block;b\n\"x\r\ny\rz\";1\n\"x\r\ny\rz\";zz\n", plain,
       "error: Строка 5, столбец «b»: «zz» - не число"},
      {"no data", "a;b\n;\n", plain, "error: В таблице нет строк с данными"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Outcome(c.csv, c.options), c.outcome);
  }
}

}  // namespace
}  // namespace mv
