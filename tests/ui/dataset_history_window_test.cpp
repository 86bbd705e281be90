// The history window forwards to its logic: the list, the caption and the text about the chosen
// entry follow it; Enter opens, Delete removes, Escape closes; its place and column widths are
// kept; the main window's command opens the chosen dataset.

#include "ui/dataset_history_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "mnemonics.h"
#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui/frm_main.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class DatasetHistoryWindowTest : public ::testing::Test {
 protected:
  // Five datasets opened and closed at different times: "Вал.mvl", "Втулка.mvl" (still open),
  // "Корпус.mvl" (its file gone since), "Фланец.mvl" (still open), "Шестерня.mvl".
  void SetUp() override {
    test::UiApp();
    const struct {
      const char* file;
      const char* process;
      double closedDaysAgo;  // < 0: open
    } kDatasets[] = {
        {"Шестерня.mvl", "Зубофрезерная обработка", 400},
        {"Фланец.mvl", "Фрезерная обработка", -1},
        {"Корпус.mvl", "Литье под давлением", 45},
        {"Втулка.mvl", "Расточка отверстия", -1},
        {"Вал.mvl", "Токарная обработка", 0.1},
    };
    const TDateTime now = m_fake.clock.Now();
    for (const auto& d : kDatasets) {
      const std::string path = m_dir.Path(d.file);
      EXPECT_TRUE(test::WriteSampleDataset(path, d.process));
      auto ds = LoadDatasetFile(path);
      ASSERT_NE(ds, nullptr);
      ds->department = "Цех 2";
      ds->detail = d.process;
      ds->loadedAt = now - (d.closedDaysAgo < 0 ? 0.2 : d.closedDaysAgo + 0.3);
      m_history.AddOnOpen(*ds, now, 12, 133);
      if (d.closedDaysAgo >= 0) m_history.MarkClosed(*ds, now - d.closedDaysAgo);
    }
    std::filesystem::remove(m_dir.Path("Корпус.mvl"));
  }
  template <class W>
  static W* Child(QWidget& w, const char* name) {
    W* child = w.findChild<W*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }
  static QString Cell(QTableView& table, int row, int column) {
    return table.model()->index(row, column).data().toString();
  }

  test::FakePlatform m_fake;
  test::PictureFolder m_dir;
  DatasetHistory m_history;
};

TEST_F(DatasetHistoryWindowTest, TheListFollowsTheLogicAndTheKeyboardWorksIt) {
  ui::DatasetHistoryWindow window(m_history);
  std::vector<std::pair<QString, std::string>> details;
  window.showDetails = [&](const QString& title, const std::string& text) { details.emplace_back(title, text); };
  window.show();
  test::ExpectOwnMnemonics(&window);
  EXPECT_EQ(window.windowTitle(), "История наборов данных");
  auto* caption = Child<QLabel>(window, "lblCaption");
  auto* table = Child<QTableView>(window, "tblHistory");
  auto* showOpen = Child<QCheckBox>(window, "chkShowOpen");
  auto* entry = Child<QLabel>(window, "lblEntry");
  auto* open = Child<QPushButton>(window, "btnOpen");
  auto* remove = Child<QPushButton>(window, "btnDelete");
  ASSERT_TRUE(caption && table && showOpen && entry && open && remove);
  EXPECT_EQ(caption->text(), "Ранее открывавшиеся наборы данных (3 из 5):");
  ASSERT_EQ(table->model()->rowCount(), 3);
  EXPECT_EQ(table->model()->headerData(4, Qt::Horizontal).toString(), " Время закрытия");
  EXPECT_EQ(Cell(*table, 0, 0), "1");
  EXPECT_EQ(Cell(*table, 0, 1), "Вал.mvl");
  EXPECT_TRUE(Cell(*table, 0, 4).endsWith("  (2 часа назад)")) << Cell(*table, 0, 4).toStdString();
  EXPECT_EQ(Cell(*table, 1, 1), "Корпус.mvl");
  EXPECT_TRUE(Cell(*table, 1, 4).endsWith("  (45 дней назад)"));
  EXPECT_TRUE(Cell(*table, 2, 4).endsWith("  (13 месяцев назад)"));
  EXPECT_TRUE(entry->text().startsWith(QString::fromStdString(m_dir.Path("Вал.mvl")) + "\n"));
  EXPECT_EQ(window.focusWidget(), table);

  // The file that is gone: Enter is refused with the warning and the window stays.
  QTest::keyClick(table, Qt::Key_Down);
  EXPECT_TRUE(entry->text().startsWith(QString::fromStdString(m_dir.Path("Корпус.mvl"))));
  QTest::keyClick(table, Qt::Key_Return);
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Warning);
  EXPECT_TRUE(m_fake.messages.shown[0].text.starts_with("Не найден файл выбранного набора данных\r\n\r\n" +
                                                        m_dir.Path("Корпус.mvl")));
  EXPECT_TRUE(window.isVisible());

  // Details of the chosen one.
  QTest::mouseClick(Child<QPushButton>(window, "btnDetails"), Qt::LeftButton);
  ASSERT_EQ(details.size(), 1u);
  EXPECT_EQ(details[0].first, "Информация о наборе данных Корпус.mvl");
  EXPECT_TRUE(details[0].second.starts_with("Общие сведения\r\n\r\nНазвание   : Корпус.mvl\r\n"));

  // Delete asks; "Да" removes it and the next row is chosen.
  m_fake.messages.answers.push_back(true);
  QTest::keyClick(table, Qt::Key_Delete);
  EXPECT_EQ(m_fake.messages.shown.back().kind, platform::MsgKind::Question);
  EXPECT_NE(m_fake.messages.shown.back().text.find("файл набора данных на диске сейчас отсутствует"), std::string::npos);
  EXPECT_EQ(m_history.Count(), 4);
  EXPECT_EQ(caption->text(), "Ранее открывавшиеся наборы данных (2 из 4):");
  EXPECT_EQ(Cell(*table, table->currentIndex().row(), 1), "Шестерня.mvl");

  // The open ones listed too; an open one is neither removed nor opened.
  showOpen->click();
  EXPECT_TRUE(m_history.showOpen);
  EXPECT_EQ(caption->text(), "Ранее открывавшиеся наборы данных (4):");
  EXPECT_EQ(Cell(*table, table->currentIndex().row(), 1), "Шестерня.mvl");  // the choice stays
  QTest::keyClick(table, Qt::Key_Home);
  QTest::keyClick(table, Qt::Key_Down);
  ASSERT_EQ(Cell(*table, 1, 4), "Открыт сейчас");
  QTest::keyClick(table, Qt::Key_Delete);
  EXPECT_EQ(m_fake.messages.shown.back().text, "Нельзя удалить из списка набор данных, открытый в настоящий момент");
  QTest::keyClick(table, Qt::Key_Return);
  EXPECT_EQ(m_fake.messages.shown.back().text, "Выбранный набор данных уже открыт");
  EXPECT_EQ(m_history.Count(), 4);
  EXPECT_TRUE(window.isVisible());

  // Enter on one that can be opened closes the window with it.
  QTest::keyClick(table, Qt::Key_Up);
  QTest::keyClick(table, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_EQ(window.Chosen(), 0);
}

TEST_F(DatasetHistoryWindowTest, EscapeClosesAndThePlaceAndColumnsAreKept) {
  {
    ui::DatasetHistoryWindow window(m_history);
    window.show();
    window.setGeometry(30, 40, 760, 470);
    auto* table = Child<QTableView>(window, "tblHistory");
    ASSERT_NE(table, nullptr);
    table->setColumnWidth(2, 321);
    QTest::keyClick(table, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
    EXPECT_FALSE(window.Chosen());
  }
  EXPECT_TRUE(m_history.windowArea.Placed());
  EXPECT_EQ(m_history.windowArea.columns[2], 321);
  const QSize stored(m_history.windowArea.width, m_history.windowArea.height);
  ui::DatasetHistoryWindow again(m_history);
  auto* table = Child<QTableView>(again, "tblHistory");
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->columnWidth(2), 321);
  EXPECT_EQ(again.size(), stored);
}

TEST_F(DatasetHistoryWindowTest, TheMainWindowsCommandOpensTheChosenDataset) {
  ui::TfrmMain frmMain;
  auto* command = frmMain.findChild<QAction*>(QStringLiteral("actHistory"));
  ASSERT_NE(command, nullptr);
  DatasetHistory empty;
  frmMain.Shell().history = &empty;
  command->trigger();
  ASSERT_EQ(m_fake.messages.Texts(), std::vector<std::string>{"История использования наборов данных пока пуста"});
  EXPECT_EQ(m_fake.messages.shown[0].timeout, 25);

  frmMain.Shell().history = &m_history;
  test::WhenModal([](QWidget* modal) {
    auto* table = modal->findChild<QTableView*>(QStringLiteral("tblHistory"));
    ASSERT_NE(table, nullptr);
    test::SaveScreenshot(*modal, "dataset_history.png");
    QTest::keyClick(table, Qt::Key_Return);
  });
  test::RunInEventLoop([&] { command->trigger(); });
  ASSERT_EQ(frmMain.Shell().Datasets().Count(), 1);
  EXPECT_EQ(frmMain.Shell().Datasets().At(0)->fileName, m_dir.Path("Вал.mvl"));
  EXPECT_EQ(m_history.At(0)->name, "Вал.mvl");
  EXPECT_TRUE(m_history.At(0)->IsOpen());
  bool logged = false;
  for (const std::string& line : m_fake.log.lines) logged |= line.starts_with("-Open.2: File ");
  EXPECT_TRUE(logged);
}

}  // namespace
}  // namespace mv
