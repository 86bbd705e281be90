#pragma once
// Small datasets built in code for the analysis tests.

#include <gtest/gtest.h>

#include <optional>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv::test {

// Parameter 1 quantitative ("Диаметр", 2 decimals), parameter 2 alternative ("Брак").
inline void AddAnalysisParameters(TDatasetSPC& ds) {
  TSPCParameter var;
  var.name = "Диаметр";
  var.decimals = 2;
  ASSERT_EQ(ds.SetParameter(0, 0, var), 1);
  TSPCParameter attr;
  attr.kind = DataKind::Attr;
  attr.name = "Брак";
  ASSERT_EQ(ds.SetParameter(0, 0, attr), 2);
}

inline int AddTestBlock(TDatasetSPC& ds, std::string_view name, DataKind kind = DataKind::Var) {
  return ds.AddBlock(0, name, SamplingMode::Samples, block_flag::kDates, 0, kind, "", "");
}

// One point of a sample: the value of `parameter` (nothing: empty) and its point flags.
struct Pt {
  std::optional<double> value;
  std::uint16_t flags = 0;
};

// Appends a sample to block b with the points given; returns its position.
inline int AddTestSample(TDatasetSPC& ds, int b, int parameter, const std::vector<Pt>& points, bool active = true,
                         std::string_view note = "") {
  TSPCBlock& block = *ds.Block(b);
  EXPECT_TRUE(block.AddSample(note, "", active));
  const int s = block.SampleCount();
  TSPCSample& sample = *block.Sample(s);
  if (!points.empty()) {
    EXPECT_TRUE(sample.AddPoints(static_cast<int>(points.size())));
  }
  for (std::size_t i = 0; i < points.size(); ++i) {
    const int p = static_cast<int>(i + 1);
    if (points[i].value) {
      EXPECT_TRUE(ds.SetValue(b, s, p, parameter, *points[i].value));
    }
    sample.Point(p)->SetFlags(points[i].flags);
  }
  return s;
}

}  // namespace mv::test
