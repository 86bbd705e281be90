#pragma once
// What the window of an SPC dataset decides: the rows and captions of its parameter and block
// lists per kind of data, the access checks before its commands, the enabling of the commands,
// deleting and moving parameters, deleting a selection of blocks, the block-editing switch,
// the process picture, the status-bar texts, and the additional properties' OK rule. The window
// shows what it is given and asks through the message windows and prompts of the platform.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

class ConfigFile;

class DatasetWindowLogic {
 public:
  // The page a kind of data is shown on.
  static constexpr int kQuantitativePage = 1;
  static constexpr int kAlternativePage = 2;

  explicit DatasetWindowLogic(TDatasetSPC& ds, bool debugMode = false);

  TDatasetSPC& Dataset() { return *m_ds; }
  const TDatasetSPC& Dataset() const { return *m_ds; }
  bool DebugMode() const { return m_debug; }

  // --- lists (rows count from 1 within the kind) ---
  // "Параметры количественные  (2):"
  std::string ParameterCaption(DataKind kind) const;
  // "Блоки данных  (3):"
  std::string BlockCaption(DataKind kind) const;
  static std::vector<std::string> ParameterColumns(DataKind kind);
  static std::vector<std::string> BlockColumns();
  int ParameterRows(DataKind kind) const;
  int BlockRows(DataKind kind) const;
  // The dataset position of a row; 0 outside the rows.
  int ParameterAt(DataKind kind, int row) const;
  int BlockAt(DataKind kind, int row) const;
  // The row of a dataset position within its kind; 0 when none.
  int ParameterRowOf(int position) const;
  int BlockRowOf(int position) const;
  // Quantitative: position, name, unit, tolerance, note; alternative: position, name, type, note.
  std::vector<std::string> ParameterRow(DataKind kind, int row) const;
  // Position, name, the samples it holds, note.
  std::vector<std::string> BlockRow(DataKind kind, int row) const;
  // "Выборочные данные: 25 выборок, 125 замеров".
  static std::string SampleDescription(const TSPCBlock& block);

  // --- command enabling on a page ---
  struct Commands {
    bool addParameter = false;
    bool deleteParameter = false;
    bool moveParameter = false;
    bool addBlock = false;
    bool deleteBlocks = false;
    bool selectAllBlocks = false;
  };
  Commands Enabling(DataKind kind) const;

  // --- access (each shows its error on a refusal) ---
  // Whether a password prompt would come up at all: a password and no access granted yet.
  bool PasswordNeeded() const;
  bool ParameterAccess();
  bool BlockListAccess(bool adding);
  bool BlockAccess(int position);

  // --- parameters ---
  // The checks before the editor of a new parameter opens: the 20 of the dataset, then access.
  bool MayAddParameter();
  // The check before the editor of an existing parameter opens.
  bool MayEditParameter() { return ParameterAccess(); }
  // Asks, checks access, logs and deletes the parameter of the row. True when deleted.
  bool DeleteParameter(DataKind kind, int row);
  // Exchanges the order numbers of the row and its neighbour (direction -1 up, +1 down), logs
  // and recomputes what depends on the order. The moved parameter's new row; 0 when nothing moved.
  int MoveParameter(DataKind kind, int row, int direction);

  // --- blocks ---
  bool MayAddBlock() { return BlockListAccess(true); }
  bool MayOpenBlock(int position) { return BlockAccess(position); }
  // Deletes the blocks of the rows (any order) after the two questions and the access checks,
  // from the last row to the first, stopping at a block whose password is refused. The number
  // of blocks deleted.
  int DeleteBlocks(DataKind kind, std::vector<int> rows);
  // Flips the block-editing switch and says what it now allows.
  void ToggleBlockEditing();
  // "Разрешить редактирование блоков" or its opposite, for the command.
  std::string BlockEditingCommandText() const;

  // --- analysis ---
  // Shows the error and gives false when the dataset has no block of the kind.
  bool AnalysisAvailable(DataKind kind) const;
  // The blocks a chart is drawn over: the selected rows' positions in order, at most 20.
  std::vector<int> ChartBlocks(DataKind kind, std::vector<int> rows) const;
  // The selected rows' positions in order.
  std::vector<int> SelectedBlocks(DataKind kind, std::vector<int> rows) const;

  // --- name and comment: the trimmed text replaces the dataset's when it differs ---
  bool TakeName(std::string_view text);
  bool TakeComment(std::string_view text);

  // --- the process picture ---
  // The picture file's bytes and size as read; the dataset takes them unless the file is too
  // big for the data file (its length is kept in 16 bits). True when taken.
  static constexpr std::size_t kMaxPictureBytes = 65535;
  bool TakePicture(const std::string& fileName, std::string bytes, int width, int height);
  // A picture that could not be read: logged and shown.
  void PictureFailed(const std::string& error);
  // width + "," + height + "," + the file name without folder, cut to the record's 60.
  static std::string IconName(const std::string& fileName, int width, int height);

  // --- status bar ---
  std::string StateHint() const;
  static std::string NameHint() { return "Название текущего набора данных"; }
  static std::string ActionHint() { return "Последнее действие с набором данных"; }
  // The state marks of the first panel: "*" with unsaved changes, and a lock mark.
  std::string StateMarks() const;
  const std::string& LastAction() const { return m_lastAction; }
  void SetLastAction(std::string text) { m_lastAction = std::move(text); }
  void Saved() { m_lastAction = "Файл сохранен"; }
  // The dataset's name as the window shows it: its process name, else its file name.
  std::string DisplayName() const;

 private:
  std::string KindWord(DataKind kind) const;

  TDatasetSPC* m_ds;
  bool m_debug;
  std::string m_lastAction;
};

// The additional properties of a dataset as its window edits them. Nothing reaches the
// dataset before Accept.
class DatasetPropertiesLogic {
 public:
  struct Form {
    std::string department;
    std::string detail;
    std::string operation;
    std::string responsible;
    std::string note;
    std::uint8_t iconShow = 0;
    std::uint8_t iconEnlarge = 0;
    std::uint8_t iconKeepProportions = 0;
    std::uint8_t iconTransparent = 0;
    std::vector<TDatasetImage> attachments;
    std::uint32_t passwordHash = 0;
    bool askOnOpen = false;
    bool askOnParameters = false;
    bool askOnBlocks = false;
    bool example = false;   // debug mode only
    std::string idText;     // debug mode only
  };

  DatasetPropertiesLogic(TDatasetSPC& ds, bool debugMode);

  Form form;
  bool DebugMode() const { return m_debug; }
  // "  установлен" / "  не установлен"
  std::string PasswordStateText() const;
  // The access options may be changed: a password exists and the protection settings are
  // unlocked (no password when the window opened, or it was entered).
  bool ProtectionEditable() const;
  // "Ввести пароль": the prompt; true when the settings are unlocked afterwards.
  bool EnterPassword();
  // The set-password window over the dataset with the responsible person as typed; the new
  // hash goes to the form only (the dataset keeps its own until Accept). True when changed.
  bool ChangePassword();
  // Attaches a file: its title is its name; its content is embedded when given and small
  // enough for the record (at most 65,520 bytes), else only the file is referred to.
  static constexpr std::size_t kMaxEmbeddedBytes = 65520;
  void AddAttachment(const std::string& path, std::uint64_t size, TDateTime fileTime, const std::string* content);
  // A new title (trimmed, cut to 80); false for an empty one or an invalid index.
  bool RenameAttachment(std::size_t index, std::string_view title);
  // Where the attached file lies ("" for an invalid index).
  std::string AttachmentPath(std::size_t index) const;
  // Asks, then removes the attachment; true when removed.
  bool DeleteAttachment(std::size_t index);
  // The information page's text.
  std::string InformationText() const;

  // Which field a refused Accept puts the focus on.
  enum class Field { None, Responsible, Identifier };
  // OK: the first refusal is shown and named; otherwise everything is stored (the dataset is
  // touched when something differs) and the four texts enter their recently typed lists
  // (config may be nullptr).
  Field Accept(ConfigFile* config);

 private:
  TDatasetSPC* m_ds;
  bool m_debug;
  bool m_hadPassword;
  bool m_entered;
};

}  // namespace mv
