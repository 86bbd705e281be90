#include "app/print_options.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/bytes.h"

namespace mv {
namespace {

// The default record laid out by hand from the documented offsets.
std::string DefaultRecordByHand() {
  test::ByteBuilder b;
  b.Raw("MVPO").I16(1);
  b.U8(0).U8(1);                        // A4, landscape
  b.I16(150).I16(100).I16(100).I16(100);  // margins
  b.U8(0).I16(1).U8(3);                 // colour, one copy, conclusion and parameter table
  std::string bytes = b.bytes();
  bytes.resize(PrintOptions::kRecordSize, '\0');  // no printer named, reserve
  return bytes;
}

PrintOptions Changed() {
  PrintOptions o;
  o.paper = PaperSize::Legal;
  o.landscape = false;
  o.marginLeft = 0;
  o.marginTop = 500;
  o.marginRight = 7;
  o.marginBottom = 250;
  o.greyscale = true;
  o.copies = 999;
  o.contents = print_contents::kGostForm;
  o.printer = "Цех 2 — HP";
  return o;
}

TEST(PrintOptions, DefaultImageIsTheDocumentedLayout) {
  EXPECT_EQ(test::ToHex(DefaultPrintOptionsImage()), test::ToHex(DefaultRecordByHand()));
  PrintOptions read = Changed();
  EXPECT_EQ(DecodePrintOptions(DefaultRecordByHand(), read), PrintOptionsRead::Ok);
  EXPECT_EQ(read, PrintOptions{});
}

TEST(PrintOptions, RoundTripAndThePrinterCut) {
  PrintOptions read;
  EXPECT_EQ(DecodePrintOptions(EncodePrintOptions(Changed()), read), PrintOptionsRead::Ok);
  EXPECT_EQ(read, Changed());
  PrintOptions longName;
  longName.printer = std::string(100, 'p');
  ASSERT_EQ(DecodePrintOptions(EncodePrintOptions(longName), read), PrintOptionsRead::Ok);
  EXPECT_EQ(read.printer, std::string(80, 'p'));
  // Values out of range are written as their defaults.
  PrintOptions wrong;
  wrong.copies = 0;
  wrong.marginTop = 501;
  wrong.contents = 0x80;
  wrong.paper = static_cast<PaperSize>(9);
  EXPECT_EQ(DecodePrintOptions(EncodePrintOptions(wrong), read), PrintOptionsRead::Ok);
  EXPECT_EQ(read, PrintOptions{});
}

TEST(PrintOptions, EachDamagedFieldTakesItsDefault) {
  const PrintOptions defaults;
  const struct {
    const char* what;
    std::size_t offset;
    std::string bytes;
    std::function<void(PrintOptions&)> expect;  // what differs from Changed()
  } kCases[] = {
      {"paper 5", 6, "\x05", [&](PrintOptions& o) { o.paper = defaults.paper; }},
      {"orientation 2", 7, "\x02", [&](PrintOptions& o) { o.landscape = defaults.landscape; }},
      {"left margin 501", 8, "\xF5\x01", [&](PrintOptions& o) { o.marginLeft = defaults.marginLeft; }},
      {"bottom margin 65535", 14, "\xFF\xFF", [&](PrintOptions& o) { o.marginBottom = defaults.marginBottom; }},
      {"colour 255", 16, "\xFF", [&](PrintOptions& o) { o.greyscale = defaults.greyscale; }},
      {"no copies", 17, std::string(2, '\0'), [&](PrintOptions& o) { o.copies = defaults.copies; }},
      {"1000 copies", 17, "\xE8\x03", [&](PrintOptions& o) { o.copies = defaults.copies; }},
      {"contents bit 8", 19, "\x08", [&](PrintOptions& o) { o.contents = defaults.contents; }},
      {"printer length 81", 20, "\x51", [&](PrintOptions& o) { o.printer.clear(); }},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::string record = EncodePrintOptions(Changed());
    record.replace(c.offset, c.bytes.size(), c.bytes);
    PrintOptions expected = Changed();
    c.expect(expected);
    PrintOptions read;
    EXPECT_EQ(DecodePrintOptions(record, read), PrintOptionsRead::Repaired);
    EXPECT_EQ(read, expected);
  }
  // The reserve is not read.
  std::string record = EncodePrintOptions(Changed());
  record[120] = 'x';
  PrintOptions read;
  EXPECT_EQ(DecodePrintOptions(record, read), PrintOptionsRead::Ok);
  EXPECT_EQ(read, Changed());
}

TEST(PrintOptions, ForeignRecordsGiveTheDefaults) {
  const std::string good = EncodePrintOptions(Changed());
  std::string marker = good;
  marker[1] = 'X';
  std::string version = good;
  version[4] = 2;
  for (const std::string& record :
       {marker, version, std::string(PrintOptions::kRecordSize, '\0'), good.substr(0, 130), std::string()}) {
    PrintOptions read = Changed();
    EXPECT_EQ(DecodePrintOptions(record, read), PrintOptionsRead::Defaults);
    EXPECT_EQ(read, PrintOptions{});
  }
}

}  // namespace
}  // namespace mv
