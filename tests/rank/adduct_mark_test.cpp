#include "rank/adduct_mark.h"

#include <gtest/gtest.h>

namespace zelm {
namespace {

chem::IonType Ion(const char* notation) { return *chem::IonType::Parse(notation); }

// An acetate adduct of PC 34:1 (m/z 818.6): its methyl acetate loss at 744.55 speaks for the acetate adduct and for
// nothing else; formate and chloride marks are looked for at their own places; the intensity is the base peak's share.
TEST(AdductMark, SeenAtTheIonTypesOwnPlaces) {
  const Tolerance t{10, 2};
  const double mz = 818.5917;
  const std::vector<Peak> acetate = {{255.2330, 40}, {281.2486, 100}, {744.5549, 80}};
  EXPECT_NEAR(AdductMarkSeen(Ion("[M+CH3COOH-H]-"), acetate, mz, t), 0.8, 1e-12);
  EXPECT_EQ(AdductMarkSeen(Ion("[M-H]-"), acetate, mz, t), 0);
  EXPECT_EQ(AdductMarkSeen(Ion("[M+FA-H]-"), acetate, mz, t), 0);
  EXPECT_EQ(AdductMarkSeen(Ion("[M+CH3COOH-H]-"), {}, mz, t), 0);
  const std::vector<Peak> chloride = {{34.9694, 30}, {150.0, 60}};
  EXPECT_NEAR(AdductMarkSeen(Ion("[M+Cl]-"), chloride, 250.0, t), 0.5, 1e-12);
  const std::vector<Peak> ammonium = {{250.0 - 17.0265, 20}, {100.0, 100}};
  EXPECT_NEAR(AdductMarkSeen(Ion("[M+NH4]+"), ammonium, 250.0, t), 0.2, 1e-12);
  EXPECT_EQ(AdductMarkSeen(Ion("[M+H]+"), ammonium, 250.0, t), 0);
}

}  // namespace
}  // namespace zelm
