#pragma once
// A dataset's page in the main window: its process texts and type, its parameters and its
// blocks.

#include <QWidget>

#include "spc/dataset_spc.h"

namespace mv::ui {

class DatasetPage : public QWidget {
  Q_OBJECT

 public:
  DatasetPage(const TDatasetSPC& ds, QWidget* parent = nullptr);
};

}  // namespace mv::ui
