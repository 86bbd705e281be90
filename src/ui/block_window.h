#pragma once
// The block window: the samples of one block and the operations on them.

#include <QDialog>

#include <functional>
#include <memory>

#include "app/block_window_logic.h"
#include "spc/dataset_spc.h"
#include "ui/edit_context.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableView;
class QTabWidget;

namespace mv::ui {

class ProfileListPage;

// Shows block `position` of the dataset in the block window (modal); returns when it closes.
// Every change marks the dataset changed.
void OpenBlockWindow(QWidget* parent, TDatasetSPC& ds, int position, const EditContext& context);

class BlockSampleModel;

// The window OpenBlockWindow shows. It holds BlockWindowLogic and forwards to it: Insert adds,
// Enter (or a double click) opens, Delete deletes the selected range, Ctrl+Up and Ctrl+Down
// move the sample, Escape closes. Opening it writes "Start edit block #..." to the log,
// closing it "Finish edit block #...".
class BlockWindow : public QDialog {
  Q_OBJECT

 public:
  BlockWindow(TDatasetSPC& ds, int position, const EditContext& context, QWidget* parent = nullptr);
  ~BlockWindow() override;

  BlockWindowLogic& Logic() { return m_logic; }
  // The sample window (EditSample); tests replace it.
  std::function<int(QWidget*, TDatasetSPC&, int block, int sample, const EditContext&)> editSample;

  void AddSample();
  void OpenSample();
  void DeleteSelection();
  void MoveUp();
  void MoveDown();
  void SeparateCurrent();
  void MergeSelection();
  void EditSettings();

  // The selected samples, first to last.
  SelectedSamples Selection() const;
  // Selects samples first..last (and makes the first current).
  void Select(SelectedSamples range);

  void done(int result) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The list again from the logic (columns included), with `select` selected.
  void Reload(SelectedSamples select);
  void ShowState();

  BlockWindowLogic m_logic;
  EditContext m_context;
  BlockSampleModel* m_model = nullptr;
  QLabel* m_caption = nullptr;
  QLabel* m_switch = nullptr;
  QLabel* m_status = nullptr;
  QTableView* m_table = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_open = nullptr;
  QPushButton* m_delete = nullptr;
  QPushButton* m_up = nullptr;
  QPushButton* m_down = nullptr;
  QPushButton* m_separate = nullptr;
  QPushButton* m_merge = nullptr;
  QPushButton* m_settings = nullptr;
  bool m_sized = false;
  bool m_closed = false;
};

// "Разделение выборки N": the sample's description, the size of the new samples and the
// copy-note choice. OK runs `separate` with the form and closes only when it succeeded.
class SeparationDialog : public QDialog {
  Q_OBJECT

 public:
  SeparationDialog(const SeparationForm& form, std::function<bool(const SeparationForm&)> separate,
                   QWidget* parent = nullptr);
  void accept() override;

 private:
  SeparationForm m_form;
  std::function<bool(const SeparationForm&)> m_separate;
  QLineEdit* m_size = nullptr;
  QCheckBox* m_copyNote = nullptr;
};

// "Объединение выборок": the range's description, the mode (by dates only when offered), N and
// the note choices. OK runs `merge`; it stays open only on a wrong N, which the form mends.
class MergingDialog : public QDialog {
  Q_OBJECT

 public:
  MergingDialog(const MergingForm& form, std::function<bool(const MergingForm&)> merge, QWidget* parent = nullptr);
  void accept() override;

 private:
  void ShowState();

  MergingForm m_form;
  std::function<bool(const MergingForm&)> m_merge;
  QRadioButton* m_all = nullptr;
  QRadioButton* m_byN = nullptr;
  QRadioButton* m_dates = nullptr;
  QLineEdit* m_n = nullptr;
  QCheckBox* m_equalNotes = nullptr;
  QCheckBox* m_keepNotes = nullptr;
};

// "Настройки редактирования данных": the pages " Блок ", " Выборка " and, for quantitative
// data, " Замер " and " Профили ввода " (when the context has the profiles). OK stores the three
// records through the logic and stays open on a wrong field.
class EditingSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  EditingSettingsDialog(BlockWindowLogic& logic, const EditContext& context, QWidget* parent = nullptr);
  QTabWidget* Pages() { return m_pages; }
  void accept() override;

 private:
  QWidget* BlockPage();
  QWidget* SamplePage();
  QWidget* PointPage();

  BlockWindowLogic& m_logic;
  EditingSettings m_settings;
  QTabWidget* m_pages = nullptr;
  QLineEdit* m_size = nullptr;
  QLineEdit* m_n = nullptr;
};

}  // namespace mv::ui
