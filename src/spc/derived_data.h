#pragma once
// Everything of a dataset that is computed from its points rather than stored: the filter marks
// of both sample filters, every sample's counted points and statistics and every block's
// statistics. Called at the end of loading a data file, after an import and after the filter
// window's OK, so that the charts, histograms and capability see the same points whichever way
// the dataset arrived.

#include "spc/dataset_spc.h"

namespace mv {

void RefreshDerivedData(TDatasetSPC& ds);

}  // namespace mv
