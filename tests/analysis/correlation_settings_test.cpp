#include "analysis/correlation_settings.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <string>

#include "spc/dataset_spc.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

// A record laid out by hand from the documented offsets.
struct Record {
  Record() : bytes(CorrelationSettings::kRecordSize, '\0') {
    Put(0, "CRMX");
    Put(4, test::ByteBuilder().I16(1).bytes());
    Put(7, F64(0.5));
    for (std::size_t off : {15, 17, 19, 21, 22, 23}) bytes[off] = 1;  // the default switches
    Put(24, test::ByteBuilder().I16(640).I16(480).bytes());
    // The fonts of a new report kind.
    const struct {
      const char* name;
      std::int32_t size;
      std::uint32_t color;
      std::uint8_t style;
    } kFonts[] = {{"Verdana", 18, 0x0000FF, 1}, {"Verdana", 14, 0, 1}, {"Verdana", 10, 0, 0},
                  {"Verdana", 10, 0, 0},        {"Tahoma", 8, 0x303030, 0}, {"Verdana", 10, 0, 0}};
    for (std::size_t i = 0; i < 6; ++i) {
      std::string name(kFonts[i].name);
      Put(28 + i * 41, test::ByteBuilder()
                           .U8(static_cast<std::uint8_t>(name.size()))
                           .Raw(name + std::string(30 - name.size(), '\0'))
                           .I32(kFonts[i].size)
                           .I32(static_cast<std::int32_t>(kFonts[i].color))
                           .U8(kFonts[i].style)
                           .U8(204)
                           .bytes());
    }
  }
  void Put(std::size_t off, std::string_view b) { bytes.replace(off, b.size(), b); }
  static std::string F64(double v) {
    const auto u = std::bit_cast<std::uint64_t>(v);
    std::string b;
    for (int k = 0; k < 8; ++k) b += static_cast<char>((u >> (8 * k)) & 0xFF);
    return b;
  }
  std::string bytes;
};

TEST(CorrelationSettings, DefaultsAreTheGoldenRecord) {
  EXPECT_EQ(test::ToHex(EncodeCorrelationSettings({})), test::ToHex(Record().bytes));
  EXPECT_EQ(DecodeCorrelationSettings(Record().bytes), CorrelationSettings{});
}

TEST(CorrelationSettings, FieldsAtTheirOffsets) {
  CorrelationSettings s;
  s.manualCritical = true;
  s.critical = 0.35;
  s.inactivePoints = false;
  s.joinPoints = true;
  s.boxPlots = false;
  s.reportDiagram = false;
  s.pictureWidth = 1200;
  s.pictureHeight = 200;
  s.reportFonts[2].name = "Arial";
  s.reportFonts[2].size = 14;
  s.reportFonts[2].style = 1 | 8;
  Record r;
  r.Put(6, "\x01");
  r.Put(7, Record::F64(0.35));
  r.Put(15, std::string("\x00\x00\x01\x00\x01\x01\x00", 7));
  r.Put(23, std::string("\x00", 1));
  r.Put(24, test::ByteBuilder().I16(1200).I16(200).bytes());
  r.Put(28 + 2 * 41, s.reportFonts[2].Encode());
  EXPECT_EQ(test::ToHex(EncodeCorrelationSettings(s)), test::ToHex(r.bytes));
  EXPECT_EQ(DecodeCorrelationSettings(r.bytes), s);
}

TEST(CorrelationSettings, DamagedFieldsTakeTheirDefaults) {
  const struct {
    const char* what;
    std::size_t offset;
    std::string bytes;
  } kCases[] = {
      {"critical above 0.9", 7, Record::F64(0.95)},
      {"critical below 0.1", 7, Record::F64(0.05)},
      {"critical not a number", 7, Record::F64(NAN)},
      {"switch 2", 15, "\x02"},
      {"manual flag 255", 6, "\xFF"},
      {"report switch 7", 22, "\x07"},
      {"width 199", 24, test::ByteBuilder().I16(199).bytes()},
      {"height 4001", 26, test::ByteBuilder().I16(4001).bytes()},
      {"font name of 31", 28, "\x1F"},
      {"font name empty", 28 + 41, std::string("\x00", 1)},
      {"font size 0", 28 + 31, test::ByteBuilder().I32(0).bytes()},
      {"font size 201", 28 + 5 * 41 + 31, test::ByteBuilder().I32(201).bytes()},
      {"font style 16", 28 + 3 * 41 + 39, "\x10"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    Record r;
    r.Put(c.offset, c.bytes);
    EXPECT_EQ(DecodeCorrelationSettings(r.bytes), CorrelationSettings{});
  }
  // What is out of range is written as its default, so what is written always reads.
  CorrelationSettings bad;
  bad.critical = 0.95;
  bad.pictureWidth = 5;
  bad.reportFonts[0].size = -3;
  EXPECT_EQ(EncodeCorrelationSettings(bad), Record().bytes);
}

TEST(CorrelationSettings, RecordsNotOursGiveDefaults) {
  CorrelationSettings changed;
  changed.manualCritical = true;
  changed.critical = 0.7;
  const std::string good = EncodeCorrelationSettings(changed);
  ASSERT_EQ(DecodeCorrelationSettings(good), changed);
  std::string marker = good, version = good;
  marker[0] = 'X';
  version[4] = 2;
  for (const std::string& r : {marker, version, good.substr(0, 467), std::string(468, '\0'), std::string()}) {
    EXPECT_EQ(DecodeCorrelationSettings(r), CorrelationSettings{});
  }
}

TEST(CorrelationSettings, DatasetKeepsThemAndIsMarkedChanged) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.isNew = false;
  ds.changedAt = ds.savedAt = 0;
  ds.settings.correlationByte = 0xA5;
  EXPECT_EQ(ReadCorrelationSettings(ds), CorrelationSettings{});  // a new dataset's zeros

  CorrelationSettings s;
  s.nominal = false;
  EXPECT_TRUE(WriteCorrelationSettings(ds, s));
  EXPECT_TRUE(ds.IsChanged());
  EXPECT_EQ(ReadCorrelationSettings(ds), s);
  EXPECT_EQ(ds.settings.correlationByte, 0xA5);

  ds.changedAt = ds.savedAt;
  EXPECT_FALSE(WriteCorrelationSettings(ds, s));  // the same record: nothing changes
  EXPECT_FALSE(ds.IsChanged());
}

}  // namespace
}  // namespace mv
