// zelm-find's tables: one header and rows of cells, written as TSV, CSV (quoted where a field needs it) or JSON (an
// array of objects, numbers as numbers), so that spreadsheets, R and Python read them as they are.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

enum class TableFormat { Tsv, Csv, Json };
std::optional<TableFormat> TableFormatNamed(std::string_view name);

// A cell's text without a copy of its own, for writing many rows fast: a number cell's text is a JSON number or
// empty (null), written bare in JSON.
struct CellView {
  std::string_view text;
  bool number = false;
};

// The pieces of a table, for joining rows written elsewhere (on several threads) in their order: the text before
// the first row, the text between two rows, and the text after the last.
std::string TableHead(TableFormat format, const std::vector<std::string>& columns);
std::string TableBetween(TableFormat format);
std::string TableTail(TableFormat format, bool anyRow);

// Writes a table, or a run of its rows, into a text.
class TableWriter {
 public:
  // With head, the text starts with TableHead; without, it holds rows alone (and End adds nothing).
  TableWriter(TableFormat format, std::vector<std::string> columns, bool head = true);
  // One row: one cell per column.
  void Row(const CellView* cells);
  void Row(std::initializer_list<CellView> cells) { Row(cells.begin()); }
  void End();
  bool AnyRow() const { return !first_; }
  // Takes what was written so far, to hand it on in pieces.
  std::string Take();

 private:
  TableFormat format_;
  std::vector<std::string> columns_;
  std::string out_;
  bool head_, first_ = true;
};

// A number as a table cell: at most `decimals` decimals (0 to 9), no trailing zeros, no minus before 0; a
// non-finite number gives an empty cell, a number of 1E15 or more in size 17 significant digits. Written into buf
// (at least 32 characters).
std::string_view FormatNumber(double value, int decimals, char* buf);

}  // namespace zelm
