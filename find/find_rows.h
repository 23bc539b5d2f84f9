// zelm-find's rows of a ranked feature: one per candidate, or with --explain one per MS/MS peak of each candidate.
// The rows are made once as typed cells (text, or a number with the decimals of its column), so that the table
// writers and the Python module's DataFrames share one list of columns and one order of rows.
#pragma once

#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "find/table_output.h"
#include "rank/candidate.h"
#include "spectra/spectrum.h"

namespace zelm {

// A column: its name, and whether it holds numbers, written with at most `decimals` decimals (0: whole numbers).
struct Column {
  std::string name;
  bool number = false;
  int decimals = 0;
};

// A cell of a row: the text of a text column, or the number of a number column (NaN: an empty cell). The text is
// valid only while the row is handed on.
struct Cell {
  std::string_view text;
  double number = std::numeric_limits<double>::quiet_NaN();
};

// Takes one row: one cell per column.
using RowSink = std::function<void(const Cell*)>;

const std::vector<Column>& CandidateTable();
const std::vector<Column>& ExplainTable();
// The columns' names.
const std::vector<std::string>& CandidateColumns();
const std::vector<std::string>& ExplainColumns();

// The feature's rows: one per candidate, or one per MS/MS peak of each candidate (Explain). Formulas in Hill
// order, plain ASCII or with Unicode digits.
void CandidateCells(const Feature& feature, const RankResult& result, bool unicode, const RowSink& row);
void ExplainCells(const Feature& feature, const RankResult& result, bool unicode, const RowSink& row);

// One row of typed cells into table, each number with its column's decimals.
void WriteCells(const std::vector<Column>& columns, const Cell* cells, TableWriter& table);

// The rows above into table.
void CandidateRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table);
void ExplainRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table);

}  // namespace zelm
