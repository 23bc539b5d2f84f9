#include "spectra/peak_precision.h"

#include <gtest/gtest.h>

namespace zelm {
namespace {

Spectrum Of(std::vector<double> mzs, int level) {
  Spectrum s;
  s.msLevel = level;
  for (double mz : mzs) s.peaks.push_back({mz, 100});
  return s;
}

TEST(PeakPrecision, TheFinestPeakOfAnySpectrumCounts) {
  Feature f;
  EXPECT_EQ(WrittenDecimals(f), -1);
  f.ms2.push_back(Of({78.959, 255.233, 1000.1}, 2));
  EXPECT_EQ(WrittenDecimals(f), 3);
  f.ms2.push_back(Of({96.97}, 2));
  EXPECT_EQ(WrittenDecimals(f), 3);
  f.ms1.push_back(Of({721.4993}, 1));
  EXPECT_EQ(WrittenDecimals(f), 4);
  f.ms1.push_back(Of({721.49931234567}, 1));
  EXPECT_EQ(WrittenDecimals(f), 6);
}

}  // namespace
}  // namespace zelm
