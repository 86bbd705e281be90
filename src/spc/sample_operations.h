#pragma once
// The operations of the block window on the samples of one block: deleting a range, exchanging
// two samples, separating one sample into several and merging several into one, with the
// questions they ask, the messages they show and the lines they write to the dataset's log.
//
// Questions go to the installed prompts (platform/prompts.h) as a "Да"/"Нет" choice, so a batch
// run can answer them itself; information and errors go to the message windows. Every text an
// operation shows, asks or logs is also kept, in order, in its talk (what a batch run reports).
// Each change marks the samples it touched, the block and the dataset changed, filters the
// changed samples again (FilterSample) and renews the block's statistics.

#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"
#include "spc/editing_options.h"

namespace mv {

// What the operations said, in order.
struct EditingTalk {
  enum class Kind : std::uint8_t { Question = 0, Information = 1, Error = 2, Log = 3 };
  struct Line {
    Kind kind;
    std::string text;
  };
  std::vector<Line> lines;

  std::vector<std::string> Texts(Kind kind) const;
  // The last error shown, "" when none.
  std::string LastError() const;
};

// "Редактирование блока разрешено" or "Редактирование блока запрещено, т.к. снят флаг
// "Редактировать"", by the dataset's edit switch.
std::string EditSwitchText(const TDatasetSPC& ds);

// Moves the work sample's points to the end of the target's and leaves the work sample without
// points. Before that the target is marked changed; it takes the work sample's date-time (with
// its date and time marks) when takeDateTime is set and the work sample has a date, its event
// when it has none, and its note when it has none and had no points or takeLaterNotes is set.
// A target that would exceed 200 points gets nothing at all: false, and nothing changes.
bool MergeInto(TSPCSample& target, TSPCSample& work, bool takeLaterNotes, bool takeDateTime);

class BlockEditing {
 public:
  // The block at `position` of the dataset (both must outlive this object).
  BlockEditing(TDatasetSPC& ds, int position);

  TSPCBlock& Block() { return *m_ds.Block(m_position); }
  const TSPCBlock& Block() const { return *m_ds.Block(m_position); }
  int Position() const { return m_position; }
  const EditingTalk& Talk() const { return m_talk; }

  // "Start edit block #" / "Finish edit block #" + position + " [" + the block's log text + "]".
  void LogOpened();
  void LogClosed();

  // Each operation returns true when it changed the block. Invalid positions change nothing
  // and say nothing; without the edit switch every operation refuses with EditSwitchText.

  // Asks "Вы действительно хотите удалить выборку #4 ?" (or "выборки с #2 по #5 ?"); on yes
  // removes first..last, the later samples moving down, and logs "Del smp #2..5 in block #1".
  bool DeleteSamples(int first, int last);
  // Exchanges samples i and j; logs "Exchange samples from pos i to j".
  bool ExchangeSamples(int i, int j);
  // Separates the sample into samples of sizeText points (a whole number >= 1, below the
  // sample's points, the block's samples plus their number at most 1000), asking first; the
  // new samples follow it, with its flags and date-time, its note when copyNote is set, never
  // its event. The size and the copy-note choice are stored in the separation options.
  bool SeparateSample(int position, std::string_view sizeText, bool copyNote);
  // The merging window's OK over first..last by the options' mode (1 all in one with a
  // question, 2 by N, 3 equal dates, with equal notes by the option bit); the options are
  // stored. Mode 3 needs a date in every sample of the range (the window offers it only then).
  bool MergeSamples(int first, int last, const SampleMergingOptions& options);

  // How a range merge ended.
  enum class MergeResult : std::uint8_t { Merged = 0, TooLarge = 1, Declined = 2, Nothing = 3 };
  // Merges the marked samples of first..last into the first (which is always taken), asking
  // first when `confirm`; more than 200 points together refuse with the error and change
  // nothing. marks[k] is the mark of sample first + k (every sample when marks is empty).
  MergeResult MergeRange(int first, int last, bool confirm, bool keepNotes, const std::vector<bool>& marks = {});

  // The separation window: caption "Разделение выборки " + position and its description.
  static std::string SeparationCaption(int position);
  std::string SeparationText(int position) const;
  // The merging window's description of first..last.
  std::string MergingText(int first, int last) const;
  // "Количество выборок для объединения указано неверно (2..200)".
  static std::string MergeCountError();

 private:
  bool Editable();
  bool Ask(const std::string& text);
  void Inform(const std::string& text);
  void Refuse(const std::string& text);
  void Log(const std::string& text);
  void MarkBlockChanged();
  // Tolerance marks, the filter and the statistics of a sample whose points changed.
  void Refresh(int position);
  void MergeByDates(int first, int last, bool equalNotes, bool keepNotes, int& merges, bool& stopped);

  TDatasetSPC& m_ds;
  int m_position;
  EditingTalk m_talk;
};

}  // namespace mv
