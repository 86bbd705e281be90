#include "ui/histogram_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

#include "analysis/box_plot.h"
#include "analysis/histogram_window_calc.h"
#include "analysis/param_columns.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

struct Switch {
  const char* name;
  const char* text;
  bool HistogramOptions::*field;
};

constexpr Switch kColumns[] = {
    {"bars3d", "Трехмерные столбцы", &HistogramOptions::bars3d},
    {"binNumbers", "Номера столбцов (интервалов)", &HistogramOptions::binNumbers},
    {"binCounts", "Количество попаданий в интервалы", &HistogramOptions::binCounts},
    {"binEdges", "Границы интервалов", &HistogramOptions::binEdges},
    {"barColours", "Цвета столбцов", &HistogramOptions::barColours},
};
constexpr Switch kElements[] = {
    {"valueSpectrum", "Спектр значений", &HistogramOptions::valueSpectrum},
    {"statistics", "Статистика", &HistogramOptions::statistics},
    {"uniqueCount", "Количество уникальных значений", &HistogramOptions::uniqueCount},
    {"boxPlot", "Усатая диаграмма (Box plot)", &HistogramOptions::boxPlot},
};
constexpr Switch kLimits[] = {
    {"toleranceInFull", "Показывать допуск полностью", &HistogramOptions::toleranceInFull},
    {"toleranceLimits", "Границы допуска (LSL и USL)", &HistogramOptions::toleranceLimits},
    {"nominal", "Номинал", &HistogramOptions::nominal},
    {"mean", "Среднее значение", &HistogramOptions::mean},
    {"toleranceCentre", "Центр допуска", &HistogramOptions::toleranceCentre},
};
constexpr Switch kDistribution[] = {
    {"normalCurve", "Кривая плотности нормального распределения", &HistogramOptions::normalCurve},
    {"levelsInFull", "Показывать уровни полностью", &HistogramOptions::levelsInFull},
    {"thickLine", "Толстая линия", &HistogramOptions::thickLine},
    {"tailAnalysis", "Анализ хвостов распределения (оценка УН)", &HistogramOptions::tailAnalysis},
};
constexpr Switch kAll[] = {
    {"keepScale", "Соблюдать масштаб параметров", &HistogramOptions::keepParameterScale},
};
constexpr Switch kTitles[] = {
    {"addDatasetName", "Автоматически добавлять имя набора данных", &HistogramOptions::addDatasetName},
    {"numberHistograms", "Указывать порядковые номера гистограмм", &HistogramOptions::numberHistograms},
};

}  // namespace

HistogramOptionsDialog::HistogramOptionsDialog(const HistogramOptions& options, std::vector<std::string> names,
                                               QWidget* parent)
    : QDialog(parent), m_options(options) {
  setWindowTitle(QStringLiteral("Настройки гистограмм"));
  const auto group = [this](const QString& title, const auto& switches) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    for (const Switch& s : switches) {
      auto* check = new QCheckBox(QString::fromUtf8(s.text));
      check->setObjectName(QString::fromUtf8(s.name));
      check->setChecked(m_options.*s.field);
      const auto field = s.field;
      connect(check, &QCheckBox::toggled, this, [this, field](bool on) { m_options.*field = on; });
      layout->addWidget(check);
    }
    return std::pair{box, layout};
  };

  auto [columns, columnsLayout] = group(QStringLiteral("Столбцы"), kColumns);
  (void)columnsLayout;
  auto [elements, elementsLayout] = group(QStringLiteral("Элементы"), kElements);
  m_statistics = new QLabel;
  m_statistics->setObjectName("statisticsChoice");
  elementsLayout->addWidget(m_statistics);
  m_indicators = new QListWidget;
  m_indicators->setObjectName("indicators");
  // The indicators are the parameter table's columns: those offered to quantitative data in the
  // column editor's order, with their long names, and any other already chosen.
  const TColPrototypeSet& catalogue = TColPrototypeSet::ParameterTable();
  for (const int i : catalogue.EditorOrder()) {
    const TColPrototype& column = *catalogue.Find(i);
    const bool on = std::find(m_options.indicators.begin(), m_options.indicators.end(), i) != m_options.indicators.end();
    if (!on && !column.OfferedTo(col_offer::kVarReport)) continue;
    const std::size_t at = static_cast<std::size_t>(i - 1);
    const QString name = at < names.size() && !names[at].empty()
                             ? ToQ(names[at])
                             : QString::fromUtf8(column.longName.data(), static_cast<qsizetype>(column.longName.size()));
    auto* item = new QListWidgetItem(name);
    item->setData(Qt::UserRole, i);
    item->setToolTip(QString::fromUtf8(column.shortName.data(), static_cast<qsizetype>(column.shortName.size())));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    m_indicators->addItem(item);
  }
  m_indicators->setMaximumHeight(120);
  connect(m_indicators, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const auto number = static_cast<std::uint8_t>(item->data(Qt::UserRole).toInt());
    auto& list = m_options.indicators;
    list.erase(std::remove(list.begin(), list.end(), number), list.end());
    if (item->checkState() == Qt::Checked && list.size() < HistogramOptions::kMaxIndicators) list.push_back(number);
    ShowStatisticsChoice();
  });
  elementsLayout->addWidget(m_indicators);
  const struct {
    const char* name;
    const char* text;
    std::uint16_t bit;
  } kBoxPlot[] = {{"boxMean", "Показывать среднее значение", box_plot_option::kShowMean},
                  {"boxAsymmetry", "Показывать элементы анализа асимметрии", box_plot_option::kShowAsymmetry},
                  {"boxLevels", "Показывать уровни диаграммы на основном графике", box_plot_option::kShowLevels}};
  for (const auto& b : kBoxPlot) {
    auto* check = new QCheckBox(QString::fromUtf8(b.text));
    check->setObjectName(QString::fromUtf8(b.name));
    check->setChecked((m_options.boxPlotOptions & b.bit) != 0);
    const std::uint16_t bit = b.bit;
    connect(check, &QCheckBox::toggled, this, [this, bit](bool on) {
      m_options.boxPlotOptions = static_cast<std::uint16_t>(on ? (m_options.boxPlotOptions | bit)
                                                               : (m_options.boxPlotOptions & ~bit));
    });
    elementsLayout->addWidget(check);
  }

  auto [limits, limitsLayout] = group(QStringLiteral("Границы и значения"), kLimits);
  (void)limitsLayout;
  auto [distribution, distributionLayout] = group(QStringLiteral("Распределение"), kDistribution);
  auto* levels = new QCheckBox(QStringLiteral("Уровни +/-"));
  levels->setObjectName("sigmaLevels");
  levels->setChecked(m_options.sigmaLevels);
  connect(levels, &QCheckBox::toggled, this, [this](bool on) { m_options.sigmaLevels = on; });
  m_sigmaLevel = new QLineEdit(QString::number(m_options.sigmaLevel));
  m_sigmaLevel->setObjectName("sigmaLevel");
  m_sigmaLevel->setMaxLength(3);
  m_sigmaLevel->setMaximumWidth(40);
  auto* levelRow = new QHBoxLayout;
  levelRow->addWidget(levels);
  levelRow->addWidget(m_sigmaLevel);
  levelRow->addWidget(new QLabel(QStringLiteral("сигма")));
  levelRow->addStretch(1);
  distributionLayout->insertLayout(1, levelRow);

  auto [all, allLayout] = group(QStringLiteral("Все гистограммы"), kAll);
  const auto side = [this](std::uint16_t HistogramOptions::*field, const char* name) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::fromUtf8(name));
    spin->setRange(HistogramOptions::kMinWindowSide - 1, HistogramOptions::kMaxWindowSide);
    spin->setSpecialValueText(QStringLiteral("авто"));  // below the least size: automatic
    spin->setValue(m_options.*field == 0 ? HistogramOptions::kMinWindowSide - 1 : m_options.*field);
    connect(spin, &QSpinBox::valueChanged, this, [this, field](int v) {
      m_options.*field = v < HistogramOptions::kMinWindowSide ? std::uint16_t{0} : static_cast<std::uint16_t>(v);
    });
    return spin;
  };
  auto* sizeForm = new QFormLayout;
  sizeForm->addRow(QStringLiteral("Ширина окна:"), side(&HistogramOptions::windowWidth, "windowWidth"));
  sizeForm->addRow(QStringLiteral("Высота окна:"), side(&HistogramOptions::windowHeight, "windowHeight"));
  allLayout->addLayout(sizeForm);

  auto [titles, titlesLayout] = group(QStringLiteral("Заголовки"), kTitles);
  m_title = new QLineEdit(ToQ(m_options.title));
  m_title->setObjectName("title");
  m_title->setMaxLength(static_cast<int>(HistogramOptions::kTitleMax));
  auto* titleLabel = new QLabel(QStringLiteral("&Заголовок отдельной гистограммы:"));
  titleLabel->setBuddy(m_title);
  titlesLayout->insertWidget(0, titleLabel);
  titlesLayout->insertWidget(1, m_title);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(columns, 0, 0);
  grid->addWidget(elements, 0, 1, 2, 1);
  grid->addWidget(limits, 1, 0);
  grid->addWidget(distribution, 2, 0);
  grid->addWidget(all, 2, 1);
  grid->addWidget(titles, 3, 0, 1, 2);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  ShowStatisticsChoice();
}

void HistogramOptionsDialog::ShowStatisticsChoice() {
  m_statistics->setText(ToQ(StatisticsChoiceText(m_options.indicators.size())));
}

void HistogramOptionsDialog::accept() {
  const auto level = CheckSigmaLevel(FromQ(m_sigmaLevel->text()));
  if (!level) {  // the error was shown; the dialog stays open on the field
    m_sigmaLevel->setFocus();
    m_sigmaLevel->selectAll();
    return;
  }
  m_options.sigmaLevel = static_cast<std::uint8_t>(*level);
  m_options.title = FromQ(m_title->text());
  QDialog::accept();
}

bool HistogramOptionsDialog::Edit(HistogramOptions& options, const std::vector<std::string>& names, QWidget* parent) {
  HistogramOptionsDialog dialog(options, names, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  options = dialog.Result();
  return true;
}

}  // namespace mv::ui
