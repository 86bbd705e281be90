#pragma once
// An SPC dataset: one production process with its parameters and its blocks of samples.
// The dataset owns everything below it; positions are 1-based everywhere.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spc/block.h"
#include "spc/dataset_basic.h"
#include "spc/parameter.h"
#include "spc/scale_list.h"

namespace mv {

// The process picture shown in the dataset window.
struct ProcessPicture {
  static constexpr std::size_t kFileNameMax = 60;
  std::string fileName;
  std::string data;  // the picture file's bytes; empty: no picture
  std::uint8_t show = 0;
  std::uint8_t enlarge = 0;  // to the 100x100 frame
  std::uint8_t keepProportions = 0;
  std::uint8_t transparent = 0;
  std::array<std::uint8_t, 12> reserved{};
};

// Settings kept in the dataset file on behalf of other parts of the program (report kinds,
// attestation, filters, correlation, imports, editing options, the test-data generator). The
// model carries them byte for byte, so a file read and written loses nothing even where the
// owner does not interpret them yet.
struct DatasetSettingAreas {
  static constexpr std::size_t kReportKindSize = 10088;
  static constexpr std::size_t kAttestationKindSize = 1571;

  std::vector<std::string> reportKinds;  // kReportKindSize bytes each
  std::int16_t attestationCount = 0;
  std::string attestationKinds;          // attestationCount x kAttestationKindSize bytes
  std::array<std::uint8_t, 452> datasetSettings{};
  std::array<std::uint8_t, 10> editingOptions{};
  std::array<std::uint8_t, 8> separationOptions{};
  // A new dataset's merging options: mode 0, keep the notes (bit 1), by 5.
  std::array<std::uint8_t, 24> mergingOptions{0, 1, 0, 5, 0};
  std::uint8_t mergingReserved = 0;
  std::array<std::uint8_t, 392> clipboardColumns{};
  bool hasFilters = false;  // the filter area is taken only with its marker
  std::array<std::uint8_t, 1022> filters{};
  std::array<std::uint8_t, 468> correlation{};
  std::uint8_t correlationByte = 0;
  std::array<std::uint8_t, 1764> autoFill{};
  std::int16_t autoFillSetting = 0;
  std::array<std::uint8_t, 28> parameterListState{};
  std::uint8_t activePage = 0;
};

class TDatasetSPC : public TDatasetBasic {
 public:
  static constexpr std::size_t kProcessNameMax = 100;
  static constexpr std::size_t kCommentMax = 250;
  // The program that wrote the file, kept as read (163 bytes) and written anew on saving.
  static constexpr std::size_t kWriterStampSize = 163;

  TDatasetSPC();
  ~TDatasetSPC() override;

  std::string processName;  // at most 100 characters
  std::string comment;      // at most 250
  std::string department;   // "unit" of the process
  std::string detail;
  std::string operation;
  std::string note;  // may hold several lines
  ProcessPicture picture;
  ScaleList scales;
  ParamClassList classes;
  std::int16_t nextBlockNumber = 0;  // the last sequence number given to a block
  bool blockEditingAllowed = true;
  DatasetSettingAreas settings;
  std::int16_t writerRelease = 0;
  std::array<std::uint8_t, kWriterStampSize> writerStamp{};

  // --- parameters ---
  int ParameterCount() const { return static_cast<int>(m_parameters.size()); }
  TSPCParameter* Parameter(int position);  // nullptr outside 1..ParameterCount()
  const TSPCParameter* Parameter(int position) const;
  int CountOfKind(DataKind paramKind) const;
  // Positions of the parameters of a kind in the order of their order numbers.
  const std::vector<int>& OrderList(DataKind paramKind) const;
  // Appends a new quantitative parameter (created now); false when there are 20.
  bool AddParameter();
  // Position 0 adds a parameter (0 when full), with `id`, or a new identifier when id is 0;
  // then takes every property of `props` (texts cut to their maxima; the order number only
  // when nonzero; scale and class positions from their identifiers; created now) and rebuilds
  // the order lists. Returns the position, 0 for an invalid position.
  int SetParameter(int position, std::int32_t paramId, const TSPCParameter& props);
  // Later parameters of the same kind move one order number down, later parameters one
  // position down, and in every point the later value slots move one slot down.
  void DeleteParameter(int position);
  void DeleteAllParameters();
  // First other parameter whose name or short name equals `name`, letter case ignored.
  int FindParameter(std::string_view name, int exceptPosition = 0) const;
  // For readers of files: appends a parameter as it is, without renumbering or rebuilding the
  // order lists (the reader does that once everything is read). False when there are 20.
  bool AppendParameter(std::unique_ptr<TSPCParameter> parameter);
  // Rebuilds both order lists, repairing broken order numbers (with a warning and a log line).
  void RebuildOrderLists();
  // Scale and class positions from their identifiers; identifiers not found become 0.
  void ResolveScalesAndClasses();

  // --- blocks ---
  int BlockCount() const { return static_cast<int>(m_blocks.size()); }
  TSPCBlock* Block(int position);
  const TSPCBlock* Block(int position) const;
  const std::vector<int>& BlockList(DataKind blockKind) const;
  void RebuildBlockLists();
  // Appends a block (created and modified now); 0 when there are 200.
  int AddBlock(std::int32_t blockId, std::string_view name, SamplingMode mode, std::uint16_t flags,
               std::uint16_t fixedSampleSize, DataKind blockKind, std::string_view frequency, std::string_view blockNote);
  // For readers of files: appends a block as it is; false when there are 200.
  bool AppendBlock(std::unique_ptr<TSPCBlock> block);
  // The next block number becomes the block's identifier.
  void NumberBlock(int position);
  void DeleteBlock(int position, bool quiet = false);
  void DeleteAllBlocks();
  int FindBlock(std::string_view name, int exceptPosition = 0) const;
  int FindBlockByID(std::int32_t blockId) const;
  // Recomputes the statistics of a block's samples and of the block.
  void ComputeBlockStats(int position);
  // The block's statistics from its samples' statistics as they stand (TSPCBlock::SumUpStats).
  void SumUpBlockStats(int position);
  void ComputeAllStats();

  // --- values ---
  std::optional<double> GetValue(int block, int sample, int point, int parameter) const;
  // Stores x (clearing the empty and not-entered marks) and renews the tolerance marks of the
  // point and the sample. False for an invalid position.
  bool SetValue(int block, int sample, int point, int parameter, double x);
  // The tolerance of each parameter position for the tolerance marks (nullptr: not checked).
  std::array<const ValueRange*, kMaxParameters> ToleranceRanges() const;
  void UpdateToleranceMarks(TSPCSample& sample) const;
  // For each quantitative parameter in order: its default value marked as edited, or empty.
  void FillDefaults(TFileSmpPoint& point) const;

  // "3 параметра, 2 (колич.), 1 (альт.), процесс "Токарная обработка""; without a process
  // name the process part is left out.
  std::string ContentsText() const override;
  // "prm=2+1, blk=4, process="..."" and the common details.
  std::string LogDetails() const override;

 private:
  std::vector<std::unique_ptr<TSPCParameter>> m_parameters;
  std::vector<std::unique_ptr<TSPCBlock>> m_blocks;
  std::array<std::vector<int>, 2> m_orderLists;
  std::array<std::vector<int>, 2> m_blockLists;
};

}  // namespace mv
