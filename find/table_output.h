// zelm-find's tables: one header and rows of cells, written as TSV, CSV (quoted where a field needs it) or JSON (an
// array of objects, numbers as numbers), so that spreadsheets, R and Python read them as they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

enum class TableFormat { Tsv, Csv, Json };
std::optional<TableFormat> TableFormatNamed(std::string_view name);

struct Cell {
  std::string text;
  bool number = false;  // written bare in JSON; a number cell's text is a JSON number or empty (null)
};

// The pieces of a table, for writing rows made elsewhere (on several threads) in their order: the text before the
// first row, one row's text, the text between two rows, and the text after the last.
std::string TableHead(TableFormat format, const std::vector<std::string>& columns);
std::string TableRow(TableFormat format, const std::vector<std::string>& columns, const std::vector<Cell>& cells);
std::string TableBetween(TableFormat format);
std::string TableTail(TableFormat format, bool anyRow);

// Writes a table into a text, row by row.
class TableWriter {
 public:
  TableWriter(TableFormat format, std::vector<std::string> columns);
  // The text so far: the header, then each row as it was added (JSON ends with End).
  void Row(const std::vector<Cell>& cells);
  void End();
  // Takes what was written so far, to hand it on in pieces.
  std::string Take();

 private:
  TableFormat format_;
  std::vector<std::string> columns_;
  std::string out_;
  bool first_ = true;
};

// A cell's text without a copy of its own, for writing many rows fast.
struct CellView {
  std::string_view text;
  bool number = false;
};
// Appends one row (in the form TableRow gives) to out.
void AppendRow(TableFormat format, const std::vector<std::string>& columns, const CellView* cells, std::string& out);

// A number as a table cell: at most `decimals` decimals (0 to 9), no trailing zeros, no minus before 0; a
// non-finite number gives an empty cell, a number of 1E15 or more in size 17 significant digits. FormatNumber
// writes the same into buf (at least 32 characters).
Cell NumberCell(double value, int decimals);
std::string_view FormatNumber(double value, int decimals, char* buf);
Cell TextCell(std::string text);

}  // namespace zelm
