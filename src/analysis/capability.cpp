#include "analysis/capability.h"

#include <algorithm>
#include <cmath>

#include "analysis/normal_distribution.h"
#include "core/numbers.h"

namespace mv {
namespace {

TCapIndex Computed(double value) { return {cap_status::kComputed, value}; }
TCapIndex Status(std::uint8_t status) { return {status, 0}; }

// Distance from the mean to the nearer present limit.
double NearerDistance(const CapTolerance& t, double mean) {
  if (t.lsl && t.usl) return std::min(mean - *t.lsl, *t.usl - mean);
  return t.lsl ? mean - *t.lsl : *t.usl - mean;
}

}  // namespace

CapabilityFigures Capability(const CapTolerance& tolerance, int n, double sigmaWithin, double sigmaOverall,
                             double meanWithin, double meanOverall) {
  CapabilityFigures f;
  const bool limited = tolerance.lsl || tolerance.usl;
  const bool twoSided = tolerance.lsl && tolerance.usl;
  const bool tooFew = n < kCapMinSamples;

  if (!limited) {
    f.ppk = Status(cap_status::kNoTolerance);
    f.cpk = Status(cap_status::kNoTolerance);
  } else {
    if (std::fabs(sigmaOverall) < kSameEpsilon) {
      f.ppk = Status(cap_status::kSigmaZero);
    } else {
      if (tolerance.lsl) f.percentBelow = 100 * PhiCoarse((*tolerance.lsl - meanOverall) / sigmaOverall);
      if (tolerance.usl) f.percentAbove = 100 * (1 - PhiCoarse((*tolerance.usl - meanOverall) / sigmaOverall));
      f.percentTotal = f.percentBelow + f.percentAbove;
      f.hasPercents = true;
      f.ppk = Computed(NearerDistance(tolerance, meanOverall) / (3 * sigmaOverall));
    }
    if (tooFew) {
      f.cpk = Status(cap_status::kTooFewSamples);
    } else if (sigmaWithin > 0) {
      f.cpk = Computed(NearerDistance(tolerance, meanWithin) / (3 * sigmaWithin));
    } else {
      f.cpk = Status(cap_status::kSigmaZero);
    }
  }

  if (twoSided) {
    const double width = *tolerance.usl - *tolerance.lsl;
    if (tooFew) {
      f.cp = Status(cap_status::kTooFewSamples);
    } else if (sigmaWithin <= 0) {
      f.cp = Status(cap_status::kSigmaZero);
    } else {
      f.cp = Computed(width / (6 * sigmaWithin));
    }
    f.pp = sigmaOverall <= 0 ? Status(cap_status::kSigmaZero) : Computed(width / (6 * sigmaOverall));
    if (!tolerance.nominal) {
      f.cpm = Status(cap_status::kNoTolerance);
    } else if (sigmaOverall <= 0 || sigmaWithin <= 0) {
      // Both sigmas weigh in the radicand: with sigma within 0 the index would rest on the
      // mean's offset alone and come out inflated (or divide by zero on the nominal).
      f.cpm = Status(cap_status::kSigmaZero);
    } else {
      const double offset = meanOverall - *tolerance.nominal;
      f.cpm = Computed(width / (6 * std::sqrt(sigmaOverall * sigmaWithin + offset * offset)));
    }
  } else {
    f.cp = Status(cap_status::kNoTolerance);
    f.pp = Status(cap_status::kNoTolerance);
    f.cpm = Status(cap_status::kNoTolerance);
  }
  return f;
}

bool CapabilityFinite(const CapabilityFigures& f) {
  for (const TCapIndex* index : {&f.cp, &f.cpk, &f.pp, &f.ppk, &f.cpm}) {
    if (index->status == cap_status::kComputed && !std::isfinite(index->value)) return false;
  }
  return std::isfinite(f.percentBelow) && std::isfinite(f.percentAbove) && std::isfinite(f.percentTotal);
}

std::string CapIndexText(const TCapIndex& index, int decimals, Lang lang, bool withDetails) {
  const bool ru = lang == Lang::Ru;
  switch (index.status) {
    case cap_status::kNotComputed: return ru ? "не рассчитан" : "not counted";
    case cap_status::kComputed: return FormatFixed(index.value, decimals);
    case cap_status::kSigmaZero: return ru ? "не рассчитывается (сигма=0)" : "not countable (sigma=0)";
    case cap_status::kNoTolerance: {
      std::string text = ru ? "не существует" : "not exist";
      if (withDetails) {
        text += ru ? " (для расчета необходимо наличие двустороннего допуска)"
                   : " (two-sided specification required for count)";
      }
      return text;
    }
    case cap_status::kTooFewSamples: {
      std::string text = ru ? "мало данных" : "not enouth data";  // sic: the system's English text
      if (withDetails) {
        const std::string count = FormatInt(kCapMinSamples);
        text += ru ? " (для расчета необходимо не менее " + count + " выборок)"
                   : " (at least " + count + " samples required)";
      }
      return text;
    }
    default: return ru ? "статус неизвестен" : "unknown status";
  }
}

double QOfIndex(double c) {
  if (std::fabs(c) < kSameEpsilon) return 0;
  return 200 * PhiCoarse(-3 * c);
}

std::string LevelText(double q, bool known, Lang lang, bool withDetails, LevelUnit unit) {
  const bool ru = lang == Lang::Ru;
  if (!known) {
    std::string text = ru ? "Неизвестно" : "Unknown";
    if (withDetails) {
      text += ru ? " (для расчета необходимо нормальное распределение данных)"
                 : " (normal distribution required for count)";
    }
    return text;
  }
  if (std::fabs(q) < kSameEpsilon) return "~0";
  const double ppm = RoundHalfEven(q * 10000);
  if (unit == LevelUnit::Ppm || (unit == LevelUnit::Auto && ppm < 100)) {
    return (ppm == 0 ? "~" : "") + FormatFixed(ppm, 0) + " PPM";
  }
  if (q < 0.006) return "~" + FormatFixed(q, 2) + " %";
  const int decimals = q >= 20 ? 0 : (q >= 1 ? 1 : 2);
  return FormatFixed(q, decimals) + " %";
}

}  // namespace mv
