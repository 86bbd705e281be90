#include "ui/chart_options_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "analysis/box_plot.h"
#include "analysis/chart_kinds.h"
#include "ui/criteria_dialog.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

struct Switch {
  const char* name;  // object name, for the tests
  const char* text;
  bool TChartOptions::*field;
};

// The switches by the group they sit in.
constexpr Switch kCommon[] = {
    {"controlLimits", "Показывать контрольную карту (LCL/UCL)", &TChartOptions::controlLimits},
    {"centralLine", "Центральная линия (CL) выводится всегда", &TChartOptions::centralLineAlways},
    {"conclusion", "Показывать заключение о стабильности процесса", &TChartOptions::conclusion},
    {"toleranceLines", "Границы допуска", &TChartOptions::toleranceLines},
    {"absoluteScale", "Абсолютный масштаб", &TChartOptions::absoluteScale},
};
constexpr Switch kMean[] = {
    {"regulation", "Показывать границы регулирования (LRL/URL)", &TChartOptions::regulationLimits},
    {"dataRange", "Область данных", &TChartOptions::dataRange},
    {"points", "С отдельными замерами", &TChartOptions::individualValues},
};
constexpr Switch kRange[] = {
    {"toleranceWidth", "Показывать ширину допуска (USL-LSL)", &TChartOptions::toleranceWidth},
};
constexpr Switch kView[] = {
    {"histogram", "Гистограмма рядом с картой", &TChartOptions::histogram},
    {"histogramCurve", "Кривая плотности нормального распределения", &TChartOptions::histogramCurve},
    {"histogramCounts", "Количество попаданий в интервалы", &TChartOptions::histogramCounts},
    {"boxPlot", "Усатая диаграмма (Box plot) рядом с картой", &TChartOptions::boxPlot},
    {"grid", "Сетка", &TChartOptions::grid},
    {"events", "Отмечать примечания и события", &TChartOptions::events},
    {"dates", "Даты по оси выборок", &TChartOptions::dates},
    {"pointLabels", "Значения у точек", &TChartOptions::pointLabels},
};

}  // namespace

ChartOptionsDialog::ChartOptionsDialog(const TChartOptions& options, ChartKind kind, QWidget* parent)
    : QDialog(parent), m_options(options), m_kind(kind) {
  setWindowTitle(QStringLiteral("Параметры контрольных карт"));
  const auto addSwitches = [this](QVBoxLayout* to, const auto& switches) {
    for (const Switch& s : switches) {
      auto* box = new QCheckBox(QString::fromUtf8(s.text));
      box->setObjectName(QString::fromUtf8(s.name));
      box->setChecked(m_options.*s.field);
      const auto field = s.field;
      connect(box, &QCheckBox::toggled, this, [this, field](bool on) { m_options.*field = on; });
      to->addWidget(box);
    }
  };
  const auto group = [](const QString& title) {
    auto* box = new QGroupBox(title);
    return std::pair{box, new QVBoxLayout(box)};
  };

  auto [common, commonLayout] = group(QStringLiteral("Все карты"));
  addSwitches(commonLayout, kCommon);
  m_criteria = new QLabel;
  m_criteria->setObjectName("criteriaText");
  auto* criteria = new QPushButton(QStringLiteral("&Критерии..."));
  criteria->setObjectName("criteria");
  connect(criteria, &QPushButton::clicked, this, [this] {
    if (CriteriaDialog::Edit(m_kind, m_options.criteria, this)) ShowCriteria();
  });
  auto* criteriaRow = new QHBoxLayout;
  criteriaRow->addWidget(criteria);
  criteriaRow->addWidget(m_criteria, 1);
  commonLayout->addLayout(criteriaRow);

  auto [mean, meanLayout] = group(QStringLiteral("Карты средних и медиан (X, M)"));
  addSwitches(meanLayout, kMean);
  auto [range, rangeLayout] = group(QStringLiteral("Карта размахов (R)"));
  addSwitches(rangeLayout, kRange);

  auto [individuals, individualsLayout] = group(QStringLiteral("Карта скользящих размахов (MR)"));
  auto* span = new QSpinBox;
  span->setObjectName("span");
  span->setRange(2, 10);
  span->setValue(m_options.span);
  connect(span, &QSpinBox::valueChanged, this, [this](int v) { m_options.span = static_cast<std::uint8_t>(v); });
  auto* spanForm = new QFormLayout;
  spanForm->addRow(QStringLiteral("&Объем выборки:"), span);
  individualsLayout->addLayout(spanForm);

  // The scales and the quality limit of the p and u charts.
  const auto attribute = [this, &group](ChartKind k, AttrScale TChartOptions::*scale, bool TChartOptions::*limit,
                                        const QString& title, const char* name) {
    auto [box, layout] = group(title);
    auto* buttons = new QButtonGroup(box);
    for (int s = 0; s <= 2; ++s) {
      auto* radio = new QRadioButton(ToQ(AttrScaleName(static_cast<AttrScale>(s), k)));
      radio->setObjectName(QStringLiteral("%1Scale%2").arg(QString::fromUtf8(name)).arg(s));
      radio->setChecked(static_cast<int>(m_options.*scale) == s);
      buttons->addButton(radio, s);
      layout->addWidget(radio);
    }
    connect(buttons, &QButtonGroup::idClicked, this,
            [this, scale](int id) { m_options.*scale = static_cast<AttrScale>(id); });
    auto* quality = new QCheckBox(QStringLiteral("Предельный уровень несоответствий (ПУН)"));
    quality->setObjectName(QStringLiteral("%1QualityLimit").arg(QString::fromUtf8(name)));
    quality->setChecked(m_options.*limit);
    connect(quality, &QCheckBox::toggled, this, [this, limit](bool on) { m_options.*limit = on; });
    layout->addWidget(quality);
    return box;
  };
  QGroupBox* p = attribute(ChartKind::P, &TChartOptions::pScale, &TChartOptions::pQualityLimit,
                           QStringLiteral("Карта p"), "p");
  QGroupBox* u = attribute(ChartKind::U, &TChartOptions::uScale, &TChartOptions::uQualityLimit,
                           QStringLiteral("Карта u"), "u");

  auto [view, viewLayout] = group(QStringLiteral("Вид"));
  addSwitches(viewLayout, kView);
  const struct {
    const char* name;
    const char* text;
    std::uint16_t bit;
  } kBoxPlot[] = {{"boxMean", "Показывать среднее значение", box_plot_option::kShowMean},
                  {"boxAsymmetry", "Показывать элементы анализа асимметрии", box_plot_option::kShowAsymmetry},
                  {"boxLevels", "Показывать уровни диаграммы на основном графике", box_plot_option::kShowLevels}};
  for (const auto& b : kBoxPlot) {
    auto* box = new QCheckBox(QStringLiteral("Box plot: ") + QString::fromUtf8(b.text));
    box->setObjectName(QString::fromUtf8(b.name));
    box->setChecked((m_options.boxPlotOptions & b.bit) != 0);
    const std::uint16_t bit = b.bit;
    connect(box, &QCheckBox::toggled, this, [this, bit](bool on) {
      m_options.boxPlotOptions = static_cast<std::uint16_t>(on ? (m_options.boxPlotOptions | bit)
                                                               : (m_options.boxPlotOptions & ~bit));
    });
    viewLayout->addWidget(box);
  }
  auto* language = new QButtonGroup(this);
  auto* ru = new QRadioButton(QStringLiteral("Русский"));
  ru->setObjectName("langRu");
  auto* en = new QRadioButton(QStringLiteral("English"));
  en->setObjectName("langEn");
  language->addButton(ru, 0);
  language->addButton(en, 1);
  (m_options.language == Lang::En ? en : ru)->setChecked(true);
  connect(language, &QButtonGroup::idClicked, this,
          [this](int id) { m_options.language = id == 1 ? Lang::En : Lang::Ru; });
  auto* languageRow = new QHBoxLayout;
  languageRow->addWidget(new QLabel(QStringLiteral("Язык заголовков:")));
  languageRow->addWidget(ru);
  languageRow->addWidget(en);
  languageRow->addStretch(1);
  viewLayout->addLayout(languageRow);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* grid = new QGridLayout;
  grid->addWidget(common, 0, 0);
  grid->addWidget(view, 0, 1, 2, 1);
  grid->addWidget(mean, 1, 0);
  grid->addWidget(range, 2, 0);
  grid->addWidget(individuals, 3, 0);
  grid->addWidget(p, 2, 1);
  grid->addWidget(u, 3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(grid);
  layout->addWidget(buttons);
  ShowCriteria();
}

void ChartOptionsDialog::ShowCriteria() { m_criteria->setText(ToQ(CriteriaChoiceText(m_options.criteria))); }

bool ChartOptionsDialog::Edit(TChartOptions& options, ChartKind kind, QWidget* parent) {
  ChartOptionsDialog dialog(options, kind, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  options = dialog.Result();
  return true;
}

}  // namespace mv::ui
