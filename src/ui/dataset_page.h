#pragma once
// A dataset's page in the main window: its process texts and type, its parameters and its
// blocks.

#include <QColor>
#include <QWidget>

#include "spc/dataset_spc.h"

namespace mv::ui {

// An example dataset's page tab, its name in the list and its type are drawn in this colour.
inline QColor ExampleColour() { return {0xb0, 0x4a, 0x00}; }

class DatasetPage : public QWidget {
  Q_OBJECT

 public:
  DatasetPage(const TDatasetSPC& ds, QWidget* parent = nullptr);
};

}  // namespace mv::ui
