// zelm-find on the window's own libraries lists exactly the formulas the window's search lists: the same library, the
// same largest count, the same mass and range, the neutral mass as it is.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "core/form1.h"
#include "core/result_line.h"
#include "find/find_main.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"
#include "text/data_files.h"
#include "text/defaults.h"

namespace zelm {
namespace {

using Formulas = std::multiset<std::string>;

std::string Exact(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.17g", v);
  return buf;
}

TEST(LibrarySearch, ZelmFindListsWhatTheWindowLists) {
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
  form.FormLoad();  // writes the built-in libraries into the folder
  form.FormActivate();
  const chem::ElementTable table =
      chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt").table;
  std::mt19937 random(3);
  int compared = 0, listed = 0;
  for (const std::string library : {"Quick", "Basic"}) {
    for (int maxBit = 0; maxBit <= 4; ++maxBit) {
      const int most = (1 << (maxBit + 1)) - 1;
      for (int round = 0; round < 4; ++round) {
        // A mass near a combination of the library's entries, so that most cases list something; some anywhere.
        const LibraryData entries = ReadLibrary(dir.File("EMass" + library + ".txt"));
        double mass = 0;
        const int members = library == "Quick" ? 4 : 2;
        for (int j = 0; j < members; ++j)
          mass += entries.entries[random() % entries.entries.size()].mass * static_cast<double>(1 + random() % most);
        mass *= 1 + std::uniform_real_distribution<double>(-3e-6, 3e-6)(random);
        if (round == 3) mass = 40 + std::uniform_real_distribution<double>(0, 200)(random);
        // Within the masses where the window lists every line (below its limit of lines) in a moment.
        const double top = library == "Quick" ? 300 : 160;
        while (mass > top) mass /= 2;
        const char* ppm = round % 2 ? "5" : "20";
        // The window: load, sort and search as a run does.
        form.MaxBit = static_cast<int16_t>(maxBit);
        form.Range.SetText(ppm);
        form.LoadFile("EMass" + library + ".txt");
        form.Sort();
        double m = mass;
        form.Search(m);
        ASSERT_FALSE(form.SearchStatistics.cut);
        Formulas window;
        for (const std::string& line : form.Results.Items()) {
          const auto parsed = chem::ParseFormula(ResultFormula(line));
          ASSERT_TRUE(parsed) << line;
          window.insert(chem::ToAscii(parsed->NaturalWhereMonoisotopic(table)));
        }
        // zelm-find, without the chemistry rules the window does not apply.
        std::istringstream in;
        std::ostringstream out, err;
        const int status = FindMain({"zelm-find", Exact(mass), "--library", dir.File("EMass" + library + ".txt"),
                                     "--max-count", std::to_string(most), "--ion", "M", "--ppm", ppm, "-q", "--rdbe", "off", "--no-senior", "--ratios", "off"},
                                    in, out, err);
        ASSERT_EQ(status, 0) << err.str();
        Formulas found;
        std::istringstream rows(out.str());
        std::string row;
        std::getline(rows, row);  // the header
        while (std::getline(rows, row)) {
          std::vector<std::string> f;
          std::istringstream s(row);
          for (std::string x; std::getline(s, x, '\t');) f.push_back(x);
          ASSERT_GE(f.size(), 4u) << row;
          found.insert(f[3]);
        }
        EXPECT_EQ(found, window) << library << " MaxBit " << maxBit << " mass " << Exact(mass) << " ppm " << ppm;
        ++compared;
        listed += !window.empty();
      }
    }
  }
  EXPECT_EQ(compared, 40);
  EXPECT_GT(listed, 20);  // most cases list formulas: the comparison is not of empty lists
}

}  // namespace
}  // namespace zelm
