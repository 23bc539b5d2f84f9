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

// A number as a table cell: at most `decimals` decimals, no trailing zeros; non-finite numbers give an empty cell.
Cell NumberCell(double value, int decimals);
Cell TextCell(std::string text);

}  // namespace zelm
