// Known formulas read from a list as OpenMS writes it or one per line, and a candidate's term from them.
#include "rank/known_formulas.h"

#include <gtest/gtest.h>

#include "chemistry/formula_notation.h"
#include "rank/ranker.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

KnownFormulas::Counts CountsOf(const std::string& formula) {
  return KnownFormulas::CountsOf(*chem::ParseFormula(formula));
}

TEST(KnownFormulas, ReadsEitherLayoutAndPassesOverWhatIsNoFormulaOfItsElements) {
  TempDir dir;
  dir.Write("known.tsv",
            "database_name\tHMDB\n1.007825032\tH\tHMDB:1\n194.063388\tC6H12O6\tHMDB:2\nC8H10N4O2\r\n"
            "202.04533\tC6H11NaO6\tHMDB:3\nC6H12NO6\nnot a formula at all\n\n215.9\tC2H2BrClI\tHMDB:4\n");
  std::string why;
  const auto known = KnownFormulas::Read(dir.File("known.tsv"), &why);
  ASSERT_TRUE(known) << why;
  EXPECT_EQ(known->Size(), 5u);  // all but the sodium salt
  EXPECT_TRUE(known->Contains(CountsOf("C6H12O6")));
  EXPECT_TRUE(known->Contains(CountsOf("C8H10N4O2")));
  EXPECT_TRUE(known->Contains(CountsOf("C2H2BrClI")));
  EXPECT_FALSE(known->Contains(CountsOf("C6H12O7")));
  EXPECT_FALSE(known->Contains(CountsOf("C2H2BrCl")));
  EXPECT_FALSE(known->Contains(CountsOf("C6H11NaO6")));
  // Counts beyond what a key holds are never known, not folded onto others (4096 more H onto one N).
  KnownFormulas::Counts huge = CountsOf("C6H12O6");
  huge[static_cast<size_t>(ElementClass::Hydrogen)] += 4096;
  EXPECT_FALSE(known->Contains(huge));

  EXPECT_FALSE(KnownFormulas::Read(dir.File("missing.tsv"), &why));
  EXPECT_NE(why.find("could not be found"), std::string::npos) << why;
  dir.Write("empty.tsv", "database_name\tHMDB\n");
  EXPECT_FALSE(KnownFormulas::Read(dir.File("empty.tsv"), &why));
  EXPECT_NE(why.find("holds no formula"), std::string::npos) << why;
}

TEST(KnownFormulas, ACandidateInTheListGetsTheTermAndANamedFileMustBeThere) {
  TempDir dir;
  dir.Write("known.txt", "C8H10N4O2\n");
  auto config = [&](const std::string& list) {
    RankOptions o;
    o.elements = "C0-20 H0-40 N0-6 O0-6";
    o.ppm = 10;
    o.knownFormulas = list;
    return *MakeConfig(o).config;
  };
  auto rank = [&](const std::string& list) {
    Feature f;
    f.mz = 195.0877;
    f.ion = "[M+H]+";
    return Ranker(config(list)).Rank(f);
  };
  auto term = [](const RankResult& r, const std::string& formula) {
    for (const RankedCandidate& c : r.candidates)
      if (chem::ToAscii(c.neutral) == formula) return c.evidence[Index(Term::KnownFormula)];
    return -1.0;
  };
  const RankResult listed = rank(dir.File("known.txt")), none = rank("none");
  EXPECT_EQ(term(listed, "C8H10N4O2"), 1);
  EXPECT_EQ(term(listed, "C7H14O6"), 0);
  EXPECT_EQ(term(none, "C8H10N4O2"), 0);
  // Without a list the built-in model is the one fitted without one.
  const size_t known = Index(Term::KnownFormula), msms = static_cast<size_t>(EvidenceKind::MsmsOnly);
  EXPECT_GT(config(dir.File("known.txt")).model.weights[msms][known], 1);
  EXPECT_EQ(config("none").model.weights[msms][known], 0);

  RankOptions o;
  o.knownFormulas = dir.File("missing.txt");
  const MadeConfig made = MakeConfig(o);
  ASSERT_FALSE(made.config);
  EXPECT_EQ(made.problem->option, "known_formulas");
}

}  // namespace
}  // namespace zelm
