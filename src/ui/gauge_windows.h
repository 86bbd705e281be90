#pragma once
// The gauge editor, the gauge list window (also in its select mode, from the profile editor),
// the input-profile editor and the profile list page. Each holds the logic object of
// app/gauge_editors.h and forwards to it.

#include <QDialog>
#include <QWidget>

#include <cstdint>

#include "app/gauge_editors.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace mv::ui {

class GageEditorDialog : public QDialog {
  Q_OBJECT

 public:
  // position 0 creates a gauge.
  GageEditorDialog(TGageSet& list, int position, QWidget* parent = nullptr);
  GageEditor& Logic() { return m_logic; }

  // The editor, modal: true when the list changed; position gets the gauge's position.
  static bool Edit(TGageSet& list, int position, QWidget* parent, int* editedPosition = nullptr);

  void accept() override;

 private:
  void ShowConnectionFields();

  GageEditor m_logic;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_fullName = nullptr;
  QLineEdit* m_serial = nullptr;
  QLineEdit* m_unit = nullptr;
  QSpinBox* m_decimals = nullptr;
  QLineEdit* m_minimum = nullptr;
  QLineEdit* m_maximum = nullptr;
  QLineEdit* m_note = nullptr;
  QComboBox* m_connection = nullptr;
  QComboBox* m_start = nullptr;
  QComboBox* m_format = nullptr;
  QLineEdit* m_deviceId = nullptr;
  QWidget* m_connectionFields = nullptr;
};

class GageListWindow : public QDialog {
  Q_OBJECT

 public:
  GageListWindow(TGageSet& list, bool selectMode, std::int32_t currentId, QWidget* parent = nullptr);
  GageListLogic& Logic() { return m_logic; }

  // The window, modal. In select mode position gets the chosen gauge's position; true when
  // the window was left with OK or "Выбор".
  static bool Run(TGageSet& list, bool selectMode, std::int32_t currentId, int& position, QWidget* parent);

  void done(int result) override;

 private:
  void Fill();
  void Add();
  void EditCurrent();
  void DeleteCurrent();
  void Enable();

  GageListLogic m_logic;
  QLabel* m_caption = nullptr;
  QTableWidget* m_table = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_edit = nullptr;
  QPushButton* m_delete = nullptr;
  bool m_finished = false;
};

class ProfileEditorDialog : public QDialog {
  Q_OBJECT

 public:
  ProfileEditorDialog(TInputProfileSet& list, TGageSet& gages, int position, QWidget* parent = nullptr);
  ProfileEditor& Logic() { return m_logic; }

  // The editor, modal: true when the profile was stored.
  static bool Edit(TInputProfileSet& list, TGageSet& gages, int position, QWidget* parent);

  void accept() override;

 private:
  void ChooseGage();
  void ShowGage();

  ProfileEditor m_logic;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_note = nullptr;
  QComboBox* m_source = nullptr;
  QWidget* m_gageFields = nullptr;
  QLabel* m_gageName = nullptr;
  QLabel* m_gageDetails = nullptr;
};

// The list of input profiles with add, change and delete, as a page of a settings window.
class ProfileListPage : public QWidget {
  Q_OBJECT

 public:
  ProfileListPage(TInputProfileSet& list, TGageSet& gages, QWidget* parent = nullptr);
  ProfileListLogic& Logic() { return m_logic; }
  // The rows again (after the gauges changed, say).
  void Fill();

 private:
  void Edit(int position);
  void DeleteCurrent();
  void Enable();

  ProfileListLogic m_logic;
  QLabel* m_caption = nullptr;
  QTableWidget* m_table = nullptr;
  QPushButton* m_add = nullptr;
  QPushButton* m_edit = nullptr;
  QPushButton* m_delete = nullptr;
};

}  // namespace mv::ui
