#pragma once
// The choice of the parameters a chart is built on: the parameters that fit the kind, checked
// in a list ("Отметьте параметры, по которым будет построена ..."). OK with none checked says so
// and stays open; a dataset without a fitting parameter says so and opens nothing.

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

#include "analysis/chart_texts.h"

class QListWidget;

namespace mv::ui {

class ParameterChoiceDialog : public QDialog {
  Q_OBJECT

 public:
  ParameterChoiceDialog(const TDatasetSPC& dataset, ChartKind kind, std::optional<ChartKind> lower,
                        const std::vector<int>& checked, QWidget* parent = nullptr,
                        const std::string& prompt = {});

  // The positions checked, in the dataset's order, at most 7.
  std::vector<int> Chosen() const;
  void accept() override;

  // Nothing when the dialog was cancelled or no parameter fits (the message shown).
  static std::optional<std::vector<int>> Choose(const TDatasetSPC& dataset, ChartKind kind,
                                                std::optional<ChartKind> lower, const std::vector<int>& checked,
                                                QWidget* parent, const std::string& prompt = {});

 private:
  QListWidget* m_list = nullptr;
};

}  // namespace mv::ui
