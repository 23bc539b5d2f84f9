#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "spectra/evidence.h"

namespace zelm {
namespace {

constexpr double kN = 1.00336;

Spectrum Of(std::vector<Peak> peaks) {
  Spectrum s;
  s.peaks = std::move(peaks);
  return s;
}

std::vector<double> Envelope(std::vector<Peak> peaks, double mz, int charge, Tolerance tolerance = {5, 0}) {
  std::vector<double> mzs;
  for (const Peak& p : CutIsotopeEnvelope(Of(std::move(peaks)), mz, charge, tolerance)) mzs.push_back(p.mz);
  return mzs;
}

TEST(IsotopeEnvelope, KeepsHalogenAndFineStructurePeaksButNotOtherIons) {
  const double m = 160.9566;  // Cl2: M+2 and M+4 lie 9.7 and 19.4 mDa below two and four neutrons
  const std::vector<double> cl2{m, m + kN, m + 2 * kN - 0.0097, m + 3 * kN - 0.0097, m + 4 * kN - 0.0194};
  EXPECT_EQ(Envelope({{cl2[4], 10}, {m + 5 * kN, 0.2}, {cl2[3], 4}, {cl2[2], 64}, {cl2[1], 6.5}, {m, 100},
                      {m - 0.01, 50}},  // M+5 under the noise (0.3), and another ion beside the monoisotopic one
                     m, -1),
            cl2);
  // Br M+2 more intense than M (kept), 15N and 2H beside 13C, another ion 20 mDa below M+2 (left out).
  const double b = 200;
  EXPECT_EQ(Envelope({{b, 100}, {b + kN - 0.0063, 4}, {b + kN, 10}, {b + kN + 0.0029, 2}, {b + 2 * kN - 0.020, 500},
                      {b + 2 * kN - 0.0088, 195}},
                     b, 1),
            (std::vector<double>{b, b + kN - 0.0063, b + kN, b + kN + 0.0029, b + 2 * kN - 0.0088}));
}

TEST(IsotopeEnvelope, StepsByTheChargeAndStopsAtNoiseOrWithoutMonoisotopicPeak) {
  const double m = 400;
  EXPECT_EQ(Envelope({{m, 1000}, {m + kN / 2, 400}, {m + kN, 90}}, m, -2),
            (std::vector<double>{m, m + kN / 2, m + kN}));
  EXPECT_EQ(Envelope({{m, 1000}, {m + kN / 2, 400}, {m + kN, 90}}, m, 0), (std::vector<double>{m, m + kN}));

  std::vector<Peak> noisy{{m, 10000}, {m + kN, 1000}, {m + 2 * kN, 12}, {m + 3 * kN, 500}};
  for (int i = 0; i < 40; ++i) noisy.push_back({100.0 + i, i % 2 ? 9.0 : 10.0});  // median 10
  EXPECT_DOUBLE_EQ(NoiseLevel(Of(noisy)), 15);
  EXPECT_EQ(Envelope(noisy, m, 1), (std::vector<double>{m, m + kN}));
  EXPECT_DOUBLE_EQ(NoiseLevel(Of({{100, 1000}, {101, 300}, {102, 0}, {103, NAN}})), 3);  // 0.3 % of base

  const std::vector<double> strongest{m + 0.0015};  // the most intense within the tolerance, not the nearest
  EXPECT_EQ(Envelope({{m - 0.0005, 10}, {m + 0.0015, 20}, {m + 0.9, 5}}, m, 1, {0, 2}), strongest);
  EXPECT_TRUE(Envelope({{m + 0.003, 20}, {m + kN, 5}}, m, 1, {0, 2}).empty());

  // An M+1 8 mDa above 13C at 10 ppm (3.3 mDa), as some time-of-flight instruments write it, is still M+1.
  const double t = 329.0992;
  EXPECT_EQ(Envelope({{t, 100}, {t + kN + 0.008, 19}}, t, 1, {10, 0}), (std::vector<double>{t, t + kN + 0.008}));
}

TEST(MergeSpectra, ScalesToTheBasePeakAndJoinsCloseOnesToTheMostIntenseFirst) {
  const Spectrum low = Of({{100, 50}, {200.000, 100}, {300, 0}});
  const Spectrum high = Of({{200.004, 1000}, {150, 500}, {100.5, NAN}});
  const auto merged = MergeSpectra({low, high}, {0, 10});
  ASSERT_EQ(merged.size(), 3u);
  EXPECT_EQ(merged[0].mz, 100);
  EXPECT_DOUBLE_EQ(merged[0].intensity, 0.5);
  EXPECT_EQ(merged[1].mz, 150);
  EXPECT_DOUBLE_EQ(merged[2].mz, 200.002);
  EXPECT_DOUBLE_EQ(merged[2].intensity, 2);
  // A chain 8 mDa apart: the strongest takes both neighbours, the end of the chain stays apart.
  const Spectrum chain = Of({{99.984, 0.5}, {99.992, 0.8}, {100.000, 1}, {100.008, 0.7}});
  const auto cut = MergeSpectra({chain, Spectrum{}}, {0, 10});
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_DOUBLE_EQ(cut[0].mz, 99.984);
  EXPECT_NEAR(cut[1].mz, (99.992 * 0.8 + 100 + 100.008 * 0.7) / 2.5, 1e-9);

  const auto one = MergeSpectra({high}, {0, 10});
  EXPECT_TRUE(one.size() == 3 && one[0].mz == 200.004 && one[2].mz == 100.5 && std::isnan(one[2].intensity));
  EXPECT_TRUE(MergeSpectra({}, {0, 10}).empty());
}

}  // namespace
}  // namespace zelm
