#include "spc/derived_data.h"

#include "spc/sample_filter.h"

namespace mv {

// The statistics depend on the filter marks, so the filters go first and recompute them.
void RefreshDerivedData(TDatasetSPC& ds) { ApplyFilters(ds); }

}  // namespace mv
