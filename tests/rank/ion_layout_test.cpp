#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "chemistry/formula_rules.h"
#include "rank/config.h"
#include "rank/ion_layout.h"

namespace zelm {
namespace {

// The quick RDBE test on block counts never turns away a formula the full rules keep, and turns away most of those
// they break by RDBE: whole and half ranges, with and without SENIOR, and an ion type whose adduct and loss change
// the ion but not the neutral formula the rules judge.
TEST(IonLayout, QuickRdbeTestAgreesWithTheRules) {
  RankOptions options;
  options.elements = "C0-20 H0-40 N0-5 O0-8 P0-2 S0-2 Cl0-3 Br0-1";
  options.ions = "[M-H2O+Na]+";
  for (const char* rdbe : {"", "2-6", "off"})
    for (bool half : {false, true})
      for (bool senior : {true, false}) {
        options.rdbe = rdbe;
        options.rdbeHalf = half;
        options.senior = senior;
        MadeConfig made = MakeConfig(options);
        ASSERT_TRUE(made.config) << made.problem->message;
        const RankConfig& config = *made.config;
        const IonLayout layout(config.blocks, config.ions.front(), config.table.table, config.rules.valences);
        const chem::FormulaRules rules(config.rules, layout.symbols);
        std::mt19937 random(7);
        size_t broken = 0, caught = 0;
        std::vector<int> blocks(config.blocks.size());
        std::vector<long long> neutral(layout.Size());
        for (int round = 0; round < 4000; ++round) {
          for (size_t b = 0; b < blocks.size(); ++b)
            blocks[b] = static_cast<int>(random() % (config.blocks[b].max + 1));
          layout.Neutral(blocks.data(), neutral.data());
          const bool pass = rules.Judge(neutral.data()).pass, quick = layout.BreaksRdbe(blocks.data(), config.rules);
          ASSERT_FALSE(quick && pass) << rdbe << " " << half << " " << senior << " round " << round;
          broken += !pass;
          caught += quick;
        }
        // Random formulas break the RDBE rules often: half of them by parity alone when it is judged.
        if (std::string(rdbe) != "off" || senior) EXPECT_GT(caught, broken / 3) << rdbe << " " << half << " " << senior;
        else EXPECT_EQ(caught, 0u);
      }
}

}  // namespace
}  // namespace zelm
