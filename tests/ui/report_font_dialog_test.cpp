#include "ui/report_font_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "mnemonics.h"
#include "reports/color_names.h"
#include "support/fake_platform.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* Child(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(QLatin1String(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

class ReportFontDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    m_savedFont = ui::ReportFontDialog::chooseFont;
    m_savedColor = ui::ReportFontDialog::chooseColor;
    ui::ReportFontDialog::chooseFont = [this](QWidget*, const QFont& initial, const QString& title) {
      offered.push_back(initial.family());
      titles.push_back(title);
      QFont f(QStringLiteral("DejaVu Serif"), 16);
      f.setItalic(true);
      return std::optional<QFont>(f);
    };
    ui::ReportFontDialog::chooseColor = [](QWidget*, const QColor&, const QString&) {
      return std::optional<QColor>(QColor(0x12, 0x34, 0x56));
    };
    mine.Font(1).name = "Arial";
    mine.Font(1).size = 20;
  }
  void TearDown() override {
    ui::ReportFontDialog::chooseFont = m_savedFont;
    ui::ReportFontDialog::chooseColor = m_savedColor;
  }
  static void Click(QWidget* dialog, const char* name) { Child<QPushButton>(dialog, name)->click(); }
  static void Close(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    dialog->findChild<QDialogButtonBox*>()->button(which)->click();
  }

  test::FakePlatform fake;
  TReportFonts mine;  // a new report kind's fonts with another main heading
  std::vector<QString> offered;
  std::vector<QString> titles;

 private:
  decltype(ui::ReportFontDialog::chooseFont) m_savedFont;
  decltype(ui::ReportFontDialog::chooseColor) m_savedColor;
};

TEST_F(ReportFontDialog, RowsShowPurposeSampleAndProperties) {
  ui::ReportFontDialog dialog(QStringLiteral("Шрифты отчета"), mine, ReportFontSet());
  dialog.show();
  EXPECT_EQ(dialog.windowTitle(), "Шрифты отчета");
  auto* table = Child<QTableWidget>(&dialog, "fonts");
  ASSERT_EQ(table->rowCount(), 5);
  EXPECT_EQ(table->horizontalHeaderItem(0)->text(), " Назначение шрифта");
  EXPECT_EQ(table->horizontalHeaderItem(1)->text(), " Образец текста");
  EXPECT_EQ(table->horizontalHeaderItem(2)->text(), " Свойства шрифта");
  EXPECT_EQ(table->item(0, 0)->text(), "Основной заголовок");
  EXPECT_EQ(table->item(0, 1)->text(), "Образец текста");
  EXPECT_EQ(table->item(0, 1)->font().pointSize(), 20);
  EXPECT_TRUE(table->item(0, 1)->font().bold());
  EXPECT_EQ(table->item(0, 1)->foreground().color(), QColor(0xFF, 0, 0));
  EXPECT_EQ(table->item(0, 2)->text(), "Arial 20, bold, цвет: красный");
  EXPECT_EQ(table->item(4, 0)->text(), "Мелкий шрифт");
  EXPECT_EQ(table->item(4, 2)->text(), "Tahoma 8, цвет: 303030");
  EXPECT_EQ(Child<QPushButton>(&dialog, "standardFonts")->text(), "&Установить стандартные шрифты");
  test::ExpectOwnMnemonics(&dialog);
}

// Yes to the question sets the six fonts of a new report kind and then the catalogue's, so the
// small print turns black; OK hands them back.
TEST_F(ReportFontDialog, StandardFontsAnsweredYesThenOk) {
  fake.messages.answers = {true};
  test::WhenModal([](QWidget* dialog) {
    Click(dialog, "standardFonts");
    auto* table = Child<QTableWidget>(dialog, "fonts");
    EXPECT_EQ(table->item(0, 2)->text(), "Verdana 18, bold, цвет: красный");
    EXPECT_EQ(table->item(4, 2)->text(), "Tahoma 8");
    Close(dialog, QDialogButtonBox::Ok);
  });
  EXPECT_TRUE(ui::ReportFontDialog::Edit(nullptr, QStringLiteral("Шрифты отчета"), mine));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].text, "Установить стандартный вид для всех шрифтов?");
  TReportFonts expected;
  expected.Font(5).color = 0;
  EXPECT_EQ(mine, expected);
}

TEST_F(ReportFontDialog, StandardFontsAnsweredNoChangeNothing) {
  fake.messages.answers = {false};
  const TReportFonts before = mine;
  test::WhenModal([](QWidget* dialog) {
    Click(dialog, "standardFonts");
    EXPECT_EQ(Child<QTableWidget>(dialog, "fonts")->item(0, 2)->text(), "Arial 20, bold, цвет: красный");
    Close(dialog, QDialogButtonBox::Ok);
  });
  EXPECT_TRUE(ui::ReportFontDialog::Edit(nullptr, QStringLiteral("Шрифты отчета"), mine));
  EXPECT_EQ(mine, before);
}

TEST_F(ReportFontDialog, ChosenFontAndColourReachTheRowAndCancelKeepsTheCallers) {
  const TReportFonts before = mine;
  TReportFonts seen;
  test::WhenModal([&seen](QWidget* dialog) {
    auto* table = Child<QTableWidget>(dialog, "fonts");
    table->selectRow(1);
    Click(dialog, "editFont");
    Click(dialog, "editColor");
    EXPECT_EQ(table->item(1, 2)->text(), "DejaVu Serif 16, italic, цвет: 123456");
    EXPECT_TRUE(table->item(1, 1)->font().italic());
    seen = static_cast<ui::ReportFontDialog*>(dialog)->Logic().Fonts();
    Close(dialog, QDialogButtonBox::Cancel);
  });
  EXPECT_FALSE(ui::ReportFontDialog::Edit(nullptr, QStringLiteral("Шрифты отчета"), mine));
  EXPECT_EQ(mine, before);
  EXPECT_EQ(seen.Font(2).name, "DejaVu Serif");
  EXPECT_EQ(seen.Font(2).size, 16);
  EXPECT_EQ(seen.Font(2).color, 0x563412u);
  ASSERT_EQ(offered.size(), 1u);
  EXPECT_EQ(offered[0], "Verdana");
  EXPECT_EQ(titles[0], "Заголовок раздела");
}

TEST_F(ReportFontDialog, ColoursConvertBothWays) {
  EXPECT_EQ(ui::QColorOf(0x0000FF), QColor(0xFF, 0, 0));
  EXPECT_EQ(ui::QColorOf(kColorGrayText), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(ui::ColorValueOf(QColor(0x12, 0x34, 0x56)), 0x563412u);
}

}  // namespace
}  // namespace mv
