#pragma once
// "Дополнительные свойства набора данных": the notes, the pictures and documents with the
// process icon's options, the protection, the information and (in debug mode) the
// administration of a dataset. Its logic object keeps what is typed until OK.

#include <QDialog>

#include "app/dataset_window_logic.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace mv {
class ConfigFile;
}

namespace mv::ui {

class DatasetPropertiesWindow : public QDialog {
  Q_OBJECT

 public:
  DatasetPropertiesWindow(TDatasetSPC& ds, bool debugMode, ConfigFile* config, QWidget* parent = nullptr);
  // Opens the window; true after an OK that was taken.
  static bool Edit(TDatasetSPC& ds, bool debugMode, ConfigFile* config, QWidget* parent);

  DatasetPropertiesLogic& Logic() { return m_logic; }

  void accept() override;

 private:
  void TakeForm();
  void ShowProtection();
  void ShowAttachments();

  DatasetPropertiesLogic m_logic;
  ConfigFile* m_config;
  QTabWidget* m_tabs = nullptr;
  QLineEdit* m_department = nullptr;
  QLineEdit* m_detail = nullptr;
  QLineEdit* m_operation = nullptr;
  QLineEdit* m_responsible = nullptr;
  QPlainTextEdit* m_note = nullptr;
  QListWidget* m_attachments = nullptr;
  QCheckBox* m_icon[4] = {nullptr, nullptr, nullptr, nullptr};
  QLabel* m_passwordState = nullptr;
  QPushButton* m_enterPassword = nullptr;
  QCheckBox* m_ask[3] = {nullptr, nullptr, nullptr};
  QCheckBox* m_example = nullptr;
  QLineEdit* m_id = nullptr;
};

}  // namespace mv::ui
