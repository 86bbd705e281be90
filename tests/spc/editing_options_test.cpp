#include "spc/editing_options.h"

#include <gtest/gtest.h>

#include <vector>

#include "spc/spc_file.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(EditingOptions, FieldsSitAtTheirOffsets) {
  // Laid out by hand from the record's layout, not by the encoder.
  const Bytes edit = {1, 1, 1, 0x15, 0x00, 9, 8, 7, 6, 5};
  std::string problem;
  const auto e = DecodeEditingOptions(edit, problem);
  ASSERT_TRUE(e) << problem;
  EXPECT_EQ(e->newSampleDate, 1);
  EXPECT_EQ(e->entryStart, 1);
  EXPECT_TRUE(e->showValues);
  EXPECT_EQ(e->flags, editing_flag::kColourColumns | editing_flag::kShowPosition | editing_flag::kEnlargeFont);
  const auto encodedEdit = EncodeEditingOptions(*e);
  EXPECT_EQ(Bytes(encodedEdit.begin(), encodedEdit.end()), edit);  // reserved bytes kept as read

  const Bytes sep = {0x01, 0x00, 12, 0, 1, 2, 3, 4};
  const auto s = DecodeSeparationOptions(sep, problem);
  ASSERT_TRUE(s) << problem;
  EXPECT_TRUE(s->CopyNote());
  EXPECT_EQ(s->Size(), 12);
  const auto encodedSep = EncodeSeparationOptions(*s);
  EXPECT_EQ(Bytes(encodedSep.begin(), encodedSep.end()), sep);

  Bytes merge(24, 0);
  merge[0] = 2;
  merge[1] = 0x03;
  merge[3] = 200;
  merge[23] = 0x55;
  const auto m = DecodeMergingOptions(merge, problem);
  ASSERT_TRUE(m) << problem;
  EXPECT_EQ(m->mode, MergeMode::ByN);
  EXPECT_TRUE(m->KeepNotes());
  EXPECT_TRUE(m->EqualNotes());
  EXPECT_EQ(m->N(), 200);
  const auto encodedMerge = EncodeMergingOptions(*m);
  EXPECT_EQ(Bytes(encodedMerge.begin(), encodedMerge.end()), merge);
}

TEST(EditingOptions, ZeroSizesMeanFive) {
  std::string problem;
  EXPECT_EQ(DecodeSeparationOptions(Bytes(8, 0), problem)->Size(), 5);
  EXPECT_EQ(DecodeMergingOptions(Bytes(24, 0), problem)->N(), 5);
}

TEST(EditingOptions, ANewDatasetKeepsTheNotesAndMergesByFive) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  const SampleMergingOptions m = ReadMergingOptions(ds);
  EXPECT_EQ(m.mode, MergeMode::None);
  EXPECT_EQ(m.flags, merge_flag::kKeepNotes);
  EXPECT_EQ(m.N(), 5);
  EXPECT_EQ(ReadSeparationOptions(ds).Size(), 5);
  EXPECT_TRUE(fake.log.lines.empty());
}

// A record with one field out of range reads as the defaults and says which field, once per
// reading; nothing beyond the record is looked at.
TEST(EditingOptions, ABadFieldGivesTheDefaultsAndALogLine) {
  const struct {
    int record;  // 0 editing, 1 separation, 2 merging
    std::size_t at;
    std::uint8_t value;
    const char* line;
  } kCases[] = {
      {0, 0, 2, "[ERR] Editing options record is damaged (date of a new sample at 0 = 2), defaults used"},
      {0, 1, 7, "[ERR] Editing options record is damaged (entry start at 1 = 7), defaults used"},
      {0, 2, 255, "[ERR] Editing options record is damaged (show values at 2 = 255), defaults used"},
      {0, 3, 0x20, "[ERR] Editing options record is damaged (flags at 3 = 32), defaults used"},
      {0, 4, 0x01, "[ERR] Editing options record is damaged (flags at 3 = 287), defaults used"},
      {1, 0, 0x02, "[ERR] Separation options record is damaged (flags at 0 = 2), defaults used"},
      {1, 2, 201, "[ERR] Separation options record is damaged (size at 2 = 201), defaults used"},
      {1, 3, 1, "[ERR] Separation options record is damaged (size at 2 = 265), defaults used"},
      {2, 0, 4, "[ERR] Merging options record is damaged (mode at 0 = 4), defaults used"},
      {2, 1, 0x04, "[ERR] Merging options record is damaged (option bits at 1 = 4), defaults used"},
      {2, 3, 1, "[ERR] Merging options record is damaged (N at 3 = 1), defaults used"},
      {2, 3, 201, "[ERR] Merging options record is damaged (N at 3 = 201), defaults used"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.line);
    test::FakePlatform fake;
    TDatasetSPC ds;
    ds.settings.editingOptions = {1, 1, 1, 0x1F, 0, 0, 0, 0, 0, 0};
    ds.settings.separationOptions = {1, 0, 9, 0, 0, 0, 0, 0};
    ds.settings.mergingOptions = {3, 2, 0, 7, 0};
    switch (c.record) {
      case 0: ds.settings.editingOptions[c.at] = c.value; break;
      case 1: ds.settings.separationOptions[c.at] = c.value; break;
      default: ds.settings.mergingOptions[c.at] = c.value; break;
    }
    const auto damaged = ds.settings;
    const EditingOptions e = ReadEditingOptions(ds);
    const SeparationOptions s = ReadSeparationOptions(ds);
    const SampleMergingOptions m = ReadMergingOptions(ds);
    ASSERT_EQ(fake.log.lines.size(), 1u);
    EXPECT_EQ(fake.log.lines[0], c.line);
    // The damaged record gives its defaults, the other two what they hold.
    EXPECT_EQ(e.flags, c.record == 0 ? 0 : 0x1F);
    EXPECT_EQ(s.Size(), c.record == 1 ? 5 : 9);
    EXPECT_EQ(m.mode, c.record == 2 ? MergeMode::None : MergeMode::EqualDates);
    EXPECT_EQ(m.N(), c.record == 2 ? 5 : 7);
    // Reading changes nothing: the bytes are saved as they were read.
    EXPECT_EQ(ds.settings.editingOptions, damaged.editingOptions);
    EXPECT_EQ(ds.settings.separationOptions, damaged.separationOptions);
    EXPECT_EQ(ds.settings.mergingOptions, damaged.mergingOptions);
  }
}

TEST(EditingOptions, WrongSizedInputIsRefusedWhole) {
  std::string problem;
  EXPECT_FALSE(DecodeEditingOptions(Bytes(9, 0), problem));
  EXPECT_EQ(problem, "9 bytes instead of 10");
  EXPECT_FALSE(DecodeSeparationOptions(Bytes(9, 0), problem));
  EXPECT_FALSE(DecodeMergingOptions(Bytes(23, 0), problem));
}

TEST(EditingOptions, StoringKeepsTheReservedBytesAndSaysWhetherAnythingChanged) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.settings.separationOptions = {0, 0, 0, 0, 0xAA, 0xBB, 0xCC, 0xDD};
  SeparationOptions s = ReadSeparationOptions(ds);
  EXPECT_FALSE(WriteSeparationOptions(ds, s));
  s.size = 4;
  s.flags = separation_flag::kCopyNote;
  EXPECT_TRUE(WriteSeparationOptions(ds, s));
  const std::array<std::uint8_t, 8> expected = {1, 0, 4, 0, 0xAA, 0xBB, 0xCC, 0xDD};
  EXPECT_EQ(ds.settings.separationOptions, expected);
}

// The data file carries the three records byte for byte, even a damaged one.
TEST(EditingOptions, TheDataFileKeepsTheBytesAsRead) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  ds.settings.editingOptions = {1, 0, 1, 0x03, 0, 1, 2, 3, 4, 5};
  ds.settings.separationOptions = {9, 9, 9, 9, 9, 9, 9, 9};  // damaged
  ds.settings.mergingOptions = {2, 1, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x77};
  const std::string bytes = EncodeSpcFile(ds, "/tmp/x.mvl", 45352.5);
  const SpcReadResult read = ReadSpcBytes(bytes, "/tmp/x.mvl");
  ASSERT_TRUE(read.Ok()) << read.message;
  EXPECT_EQ(read.dataset->settings.editingOptions, ds.settings.editingOptions);
  EXPECT_EQ(read.dataset->settings.separationOptions, ds.settings.separationOptions);
  EXPECT_EQ(read.dataset->settings.mergingOptions, ds.settings.mergingOptions);
}

TEST(EditingOptions, MergingSummaries) {
  const struct {
    MergeMode mode;
    std::uint16_t flags;
    std::uint16_t n;
    const char* text;
  } kCases[] = {
      {MergeMode::None, 1, 5, "Не объединять"},
      {MergeMode::All, 1, 5, "Объединить все выборки в одну"},
      {MergeMode::ByN, 1, 0, "Объединить по 5 выборок"},
      {MergeMode::ByN, 1, 12, "Объединить по 12 выборок"},
      {MergeMode::EqualDates, 1, 5, "Объединить выборки с одинаковыми датами"},
      {MergeMode::EqualDates, 3, 5, "Объединить выборки с одинаковыми датами и примечаниями"},
  };
  for (const auto& c : kCases) {
    SampleMergingOptions o;
    o.mode = c.mode;
    o.flags = c.flags;
    o.n = c.n;
    EXPECT_EQ(MergingSummary(o), c.text);
  }
}

}  // namespace
}  // namespace mv
