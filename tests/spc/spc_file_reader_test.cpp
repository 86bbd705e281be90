// The data files in the tree load with every value and save to the same bytes; a file on disk,
// read in pieces, loads exactly as the same bytes in memory, also where it ends early.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/byte_order.h"
#include "core/short_text.h"
#include "spc/spc_file.h"
#include "spc/spc_file_layout.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// Every slot of every point, read through the point handles: its position, flags and value
// bits and the point's flags and date, folded into one FNV-1a value; with the count of
// present values.
struct ValueDigest {
  std::uint64_t hash = 1469598103934665603ULL;
  std::uint64_t present = 0;
  void Add(std::uint64_t x) {
    for (int i = 0; i < 8; ++i) {
      hash ^= (x >> (8 * i)) & 0xFF;
      hash *= 1099511628211ULL;
    }
  }
};

ValueDigest DigestThroughHandles(const TDatasetSPC& ds) {
  ValueDigest d;
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const TSPCBlock& block = *ds.Block(b);
    for (int s = 1; s <= block.SampleCount(); ++s) {
      const TSPCSample& sample = *block.Sample(s);
      for (int p = 1; p <= sample.PointCount(); ++p) {
        const TFileSmpPoint point = sample.Point(p);
        d.Add(static_cast<std::uint64_t>(b) << 32 | static_cast<std::uint64_t>(s) << 16 | static_cast<std::uint64_t>(p));
        d.Add(point.Flags());
        d.Add(std::bit_cast<std::uint64_t>(point.DateTime()));
        for (int k = 1; k <= ds.ParameterCount(); ++k) {
          const PointValue v = point.Get(k);
          d.Add(v.flags);
          d.Add(std::bit_cast<std::uint64_t>(v.value));
          d.present += (v.flags & value_flag::kEmpty) == 0 ? 1 : 0;
        }
      }
    }
  }
  return d;
}

// The same slots read column by column, as the statistics and the charts read them, must give
// what the handles give.
void ExpectColumnsMatchHandles(const TDatasetSPC& ds) {
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    for (const TSPCSample& sample : ds.Block(b)->Samples()) {
      ASSERT_EQ(sample.PointFlagsColumn().size(), static_cast<std::size_t>(sample.PointCount()));
      for (int k = 1; k <= ds.ParameterCount(); ++k) {
        const auto values = sample.Values(k);
        const auto flags = sample.SlotFlags(k);
        ASSERT_EQ(values.size(), static_cast<std::size_t>(sample.PointCount()));
        for (int p = 1; p <= sample.PointCount(); ++p) {
          const TFileSmpPoint point = sample.Point(p);
          const auto i = static_cast<std::size_t>(p - 1);
          EXPECT_EQ(std::bit_cast<std::uint64_t>(values[i]), std::bit_cast<std::uint64_t>(point.Value(k)));
          EXPECT_EQ(flags[i], point.ValueFlags(k));
          EXPECT_EQ(sample.PointFlagsColumn()[i], point.Flags());
          EXPECT_EQ(sample.PointDatesColumn()[i], point.DateTime());
        }
      }
    }
  }
}

// The bytes a loaded file saves to, written under the name and at the time its header keeps.
// The writer's stamp (program, version, its file's date) is the writing program's own: it and
// the header's check value are taken from the original so that everything else must agree.
std::string SavedAgain(TDatasetSPC& ds, const std::string& original) {
  const std::string_view header = std::string_view(original).substr(mvl::kPrefixSize, mvl::hdr::kSize);
  const std::string name = GetShortText(header, mvl::hdr::kFileName, 255);
  const TDateTime saved = GetF64(header, mvl::hdr::kStamp + mvl::stamp::kSaveTime);
  ds.saveCounter = GetI32(header, mvl::hdr::kSaveCounter) - 1;  // the save counts itself
  std::string bytes = EncodeSpcFile(ds, name, saved);
  if (bytes.size() < mvl::kPrefixSize + mvl::hdr::kSize) return bytes;
  const std::size_t stampAt = mvl::kPrefixSize + mvl::hdr::kStamp;
  bytes.replace(stampAt, mvl::stamp::kSize, original, stampAt, mvl::stamp::kSize);
  bytes.replace(6, 2, original, 6, 2);
  return bytes;
}

std::vector<fs::path> DataFilesInTheTree() {
  std::vector<fs::path> files;
  for (const fs::path& root : {fs::path(MV_SOURCE_DIR) / "examples", fs::path(MV_TEST_DATA_DIR)}) {
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
      std::string ext = entry.path().extension().string();
      std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      if (entry.is_regular_file() && ext == ".mvl") files.push_back(entry.path());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

TEST(SpcFileReader, EveryDataFileInTheTreeLoadsEveryValueAndSavesTheSameBytes) {
  test::FakePlatform fake;
  // The digest of each file's values as the model read them before its storage was compacted.
  const struct {
    const char* file;  // relative to the source folder
    std::uint64_t present;
    std::uint64_t hash;
  } kRecorded[] = {
      {"examples/demo.mvl", 750, 0xebeb8dad2595b5e0ULL},
  };
  const std::vector<fs::path> files = DataFilesInTheTree();
  ASSERT_FALSE(files.empty());
  for (const fs::path& path : files) {
    const std::string relative = fs::relative(path, MV_SOURCE_DIR).generic_string();
    SCOPED_TRACE(relative);
    const std::string bytes = test::ReadFileBytes(path.string());
    SpcReadResult fromDisk = ReadSpcFile(path.string());
    SpcReadResult inMemory = ReadSpcBytes(bytes, path.string());
    ASSERT_TRUE(fromDisk.Ok()) << fromDisk.message;
    ASSERT_TRUE(inMemory.Ok()) << inMemory.message;

    const ValueDigest digest = DigestThroughHandles(*fromDisk.dataset);
    const ValueDigest again = DigestThroughHandles(*inMemory.dataset);
    EXPECT_EQ(digest.hash, again.hash);
    ExpectColumnsMatchHandles(*fromDisk.dataset);
    const auto recorded = std::find_if(std::begin(kRecorded), std::end(kRecorded),
                                       [&](const auto& r) { return relative == r.file; });
    ASSERT_NE(recorded, std::end(kRecorded)) << "a data file without a recorded digest: " << std::hex << digest.hash
                                             << std::dec << ", " << digest.present << " values";
    EXPECT_EQ(digest.present, recorded->present);
    EXPECT_EQ(digest.hash, recorded->hash) << std::hex << digest.hash;

    EXPECT_TRUE(SavedAgain(*fromDisk.dataset, bytes) == bytes);
    EXPECT_TRUE(SavedAgain(*inMemory.dataset, bytes) == bytes);
  }
}

// A dataset of several megabytes: 3 parameters, 6 blocks of 300 samples of 1..200 points,
// some points with their own date, some slots empty, notes and events.
std::unique_ptr<TDatasetSPC> LargeDataset() {
  auto ds = std::make_unique<TDatasetSPC>();
  for (int k = 0; k < 3; ++k) {
    TSPCParameter props;
    props.name = "П" + std::to_string(k + 1);
    props.decimals = 3;
    ds->SetParameter(0, 0, props);
  }
  for (int b = 1; b <= 6; ++b) {
    const int pos = ds->AddBlock(0, "Блок " + std::to_string(b), SamplingMode::Samples, 3, 0, DataKind::Var, "", "");
    ds->NumberBlock(pos);
    TSPCBlock& block = *ds->Block(pos);
    for (int s = 1; s <= 300; ++s) {
      block.AddSample(s % 7 == 0 ? "заметка" : "", s % 11 == 0 ? "событие" : "", s % 13 != 0, 45000.0 + s);
      TSPCSample& sample = block.Samples().back();
      const int points = 1 + (s * 37 + b * 11) % 200;
      sample.AddPoints(points);
      for (int p = 1; p <= points; ++p) {
        TFileSmpPoint point = sample.Point(p);
        for (int k = 1; k <= 3; ++k) {
          if ((p + k + s) % 17 != 0) point.SetValue(k, 10.0 + 0.001 * ((s * 7 + p * 13 + k * 17 + b) % 1000));
        }
        if (p % 5 == 0) {
          point.SetFlags(point_flag::kOwnDate);
          point.SetDateTime(45000.25 + p);
        }
      }
    }
  }
  ds->ComputeAllStats();
  return ds;
}

TEST(SpcFileReader, AFileReadInPiecesLoadsAsItsBytesInMemoryAlsoWhereItEndsEarly) {
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string bytes = EncodeSpcFile(*LargeDataset(), "a.mvl", 45352.5);
  ASSERT_GT(bytes.size(), std::size_t{5} << 20);  // several pieces of the reader
  const std::string path = dir.Path("a.mvl");
  test::WriteFileBytes(path, bytes);
  SpcReadResult whole = ReadSpcFile(path);
  ASSERT_TRUE(whole.Ok()) << whole.message;
  SpcReadResult inMemory = ReadSpcBytes(bytes, path);
  ASSERT_TRUE(inMemory.Ok()) << inMemory.message;
  EXPECT_EQ(DigestThroughHandles(*whole.dataset).hash, DigestThroughHandles(*inMemory.dataset).hash);
  ExpectColumnsMatchHandles(*whole.dataset);
  const std::string again = SavedAgain(*whole.dataset, bytes);
  const auto differ = std::mismatch(again.begin(), again.end(), bytes.begin(), bytes.end());
  EXPECT_TRUE(again == bytes) << "first difference at " << (differ.first - again.begin());

  // Cut at the pieces' edges, inside a point, a sample record and a block record: the same
  // message as the same bytes in memory.
  const std::size_t piece = std::size_t{1} << 20;
  for (const std::size_t cut : {mvl::kPrefixSize + 100, piece - 1, piece, piece + 1, 2 * piece + 7, 3 * piece - 5,
                                bytes.size() / 2, bytes.size() - 1}) {
    SCOPED_TRACE(cut);
    test::WriteFileBytes(path, std::string_view(bytes).substr(0, cut));
    const SpcReadResult fromDisk = ReadSpcFile(path);
    const SpcReadResult fromMemory = ReadSpcBytes(bytes.substr(0, cut), path);
    EXPECT_FALSE(fromDisk.Ok());
    EXPECT_EQ(fromDisk.message, fromMemory.message);
  }
}

}  // namespace
}  // namespace mv
