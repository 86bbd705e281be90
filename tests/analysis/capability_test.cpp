#include "analysis/capability.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mv {
namespace {

std::string Ru(const TCapIndex& index, bool details = false) { return CapIndexText(index, 2, Lang::Ru, details); }

TEST(Capability, TwoSidedToleranceGivesEveryIndex) {
  // LSL 9, USL 11, nominal 10, 25 samples, sigma within 0.25, overall 0.3, means 10.1 / 10.2.
  // Worked by hand: Ppk = min(1.2, 0.8) / 0.9, Cpk = min(1.1, 0.9) / 0.75, Cp = 2 / 1.5,
  // Pp = 2 / 1.8, Cpm = 2 / (6 sqrt(0.3 * 0.25 + 0.2^2)); below = 100 (1 - 0.99996831) at z = -4,
  // above = 100 (1 - (0.9953 + 0.0012 * 2/3)) at z = 2.667 from the coarse table.
  const CapabilityFigures f = Capability({9.0, 11.0, 10.0}, 25, 0.25, 0.3, 10.1, 10.2);
  EXPECT_EQ(Ru(f.ppk), "0.89");
  EXPECT_EQ(Ru(f.cpk), "1.20");
  EXPECT_EQ(Ru(f.cp), "1.33");
  EXPECT_EQ(Ru(f.pp), "1.11");
  EXPECT_EQ(Ru(f.cpm), "0.98");
  EXPECT_NEAR(f.cpm.value, 2 / (6 * std::sqrt(0.075 + 0.04)), 1e-12);
  ASSERT_TRUE(f.hasPercents);
  EXPECT_NEAR(f.percentBelow, 0.003169, 1e-9);
  EXPECT_NEAR(f.percentAbove, 0.39, 1e-9);
  EXPECT_NEAR(f.percentTotal, 0.393169, 1e-9);
  // The textbook Cpm (sigma overall squared) is what a caller gets by passing sigma within =
  // sigma overall.
  EXPECT_EQ(Ru(Capability({9.0, 11.0, 10.0}, 25, 0.3, 0.3, 10.1, 10.2).cpm), "0.92");
}

TEST(Capability, StatusesAndTheirTexts) {
  // LSL only: Ppk and Cpk from the one side, the two-sided indices do not exist.
  const CapabilityFigures lslOnly = Capability({9.0, {}, {}}, 25, 0.25, 0.3, 10.1, 10.2);
  EXPECT_NEAR(lslOnly.ppk.value, 1.2 / 0.9, 1e-12);
  EXPECT_NEAR(lslOnly.cpk.value, 1.1 / 0.75, 1e-12);
  for (const TCapIndex* index : {&lslOnly.cp, &lslOnly.pp, &lslOnly.cpm}) {
    EXPECT_EQ(Ru(*index), "не существует");
    EXPECT_EQ(Ru(*index, true), "не существует (для расчета необходимо наличие двустороннего допуска)");
  }
  EXPECT_EQ(CapIndexText(lslOnly.cp, 2, Lang::En, true), "not exist (two-sided specification required for count)");
  EXPECT_TRUE(lslOnly.hasPercents);
  EXPECT_EQ(lslOnly.percentAbove, 0);

  // Four samples: the within indices lack data; the overall ones are computed.
  const CapabilityFigures four = Capability({9.0, 11.0, 10.0}, 4, 0.25, 0.3, 10.1, 10.2);
  EXPECT_EQ(Ru(four.cp, true), "мало данных (для расчета необходимо не менее 5 выборок)");
  EXPECT_EQ(Ru(four.cpk, true), "мало данных (для расчета необходимо не менее 5 выборок)");
  EXPECT_EQ(CapIndexText(four.cpk, 2, Lang::En, true), "not enouth data (at least 5 samples required)");
  EXPECT_EQ(four.pp.status, cap_status::kComputed);
  EXPECT_EQ(four.ppk.status, cap_status::kComputed);

  // Sigma overall 0: no percentages.
  const CapabilityFigures flat = Capability({9.0, 11.0, 10.0}, 25, 0, 0, 10, 10);
  EXPECT_EQ(Ru(flat.ppk), "не рассчитывается (сигма=0)");
  EXPECT_FALSE(flat.hasPercents);
  EXPECT_EQ(flat.percentTotal, 0);
  EXPECT_EQ(flat.cp.status, cap_status::kSigmaZero);
  EXPECT_EQ(flat.pp.status, cap_status::kSigmaZero);
  EXPECT_EQ(flat.cpm.status, cap_status::kSigmaZero);

  // No tolerance at all.
  const CapabilityFigures none = Capability({}, 25, 0.25, 0.3, 10, 10);
  EXPECT_EQ(none.ppk.status, cap_status::kNoTolerance);
  EXPECT_EQ(none.cpk.status, cap_status::kNoTolerance);
  EXPECT_FALSE(none.hasPercents);

  EXPECT_EQ(Ru({cap_status::kNotComputed, 0}), "не рассчитан");
  EXPECT_EQ(Ru({9, 0}), "статус неизвестен");
  EXPECT_EQ(CapIndexText({cap_status::kComputed, 1.23456}, 3, Lang::En, false), "1.235");
}

TEST(Capability, CpmNeedsSigmaWithinAsWellAsOverall) {
  // Every sample range 0 (sigma within 0), spread between samples (sigma overall > 0): on the
  // nominal the radicand would be 0, off it the index would be T / (6 |mean - nominal|).
  for (const double mean : {10.0, 10.2}) {
    SCOPED_TRACE(mean);
    const CapabilityFigures f = Capability({9.0, 11.0, 10.0}, 25, 0, 0.3, mean, mean);
    EXPECT_EQ(f.cpm.status, cap_status::kSigmaZero);
    EXPECT_EQ(f.cpm.value, 0);
    EXPECT_EQ(f.cp.status, cap_status::kSigmaZero);
    EXPECT_EQ(f.pp.status, cap_status::kComputed);
  }
}

TEST(QOfIndex, TwoTailsFromTheCoarseTable) {
  EXPECT_NEAR(QOfIndex(1), 0.27, 1e-12);         // 200 (1 - 0.99865)
  EXPECT_NEAR(QOfIndex(1.33), 0.0066642, 1e-9);  // 200 (1 - (0.999952 + 0.00001631 * 0.9))
  EXPECT_EQ(QOfIndex(0), 0);
  EXPECT_EQ(QOfIndex(1e-13), 0);
}

TEST(LevelText, UnitsRoundingAndApproximations) {
  const struct {
    double q;
    LevelUnit unit;
    const char* expected;
  } kCases[] = {
      {QOfIndex(1), LevelUnit::Auto, "0.27 %"},
      {QOfIndex(1.33), LevelUnit::Auto, "67 PPM"},
      {0.004, LevelUnit::Auto, "40 PPM"},
      {0.00004, LevelUnit::Auto, "~0 PPM"},
      {0, LevelUnit::Auto, "~0"},
      {12.34, LevelUnit::Auto, "12.3 %"},
      {25, LevelUnit::Auto, "25 %"},
      {0.01, LevelUnit::Auto, "0.01 %"},     // 100 PPM is no longer below 100
      {0.00995, LevelUnit::Auto, "0.01 %"},  // 99.5 PPM rounds to even 100: percent
      {0.00985, LevelUnit::Auto, "98 PPM"},  // 98.5 rounds to even 98
      {0.27, LevelUnit::Ppm, "2700 PPM"},
      {0.004, LevelUnit::Percent, "~0.00 %"},
      {0.5, LevelUnit::Percent, "0.50 %"},
      {1, LevelUnit::Percent, "1.0 %"},
      {20, LevelUnit::Percent, "20 %"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.q);
    EXPECT_EQ(LevelText(c.q, true, Lang::Ru, false, c.unit), c.expected);
  }
  EXPECT_EQ(LevelText(1, false, Lang::Ru, true), "Неизвестно (для расчета необходимо нормальное распределение данных)");
  EXPECT_EQ(LevelText(1, false, Lang::Ru, false), "Неизвестно");
  EXPECT_EQ(LevelText(1, false, Lang::En, true), "Unknown (normal distribution required for count)");
}

}  // namespace
}  // namespace mv
