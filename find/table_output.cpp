#include "find/table_output.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace zelm {

namespace {

std::string CsvField(const std::string& s) {
  if (s.find_first_of(",\"\r\n") == std::string::npos && (s.empty() || (s.front() != ' ' && s.back() != ' ')))
    return s;
  std::string q = "\"";
  for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

std::string TsvField(std::string s) {
  for (char& c : s)
    if (c == '\t' || c == '\r' || c == '\n') c = ' ';
  return s;
}

std::string JsonString(const std::string& s) {
  std::string q = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': q += "\\\""; break;
      case '\\': q += "\\\\"; break;
      case '\n': q += "\\n"; break;
      case '\r': q += "\\r"; break;
      case '\t': q += "\\t"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          q += buf;
        } else {
          q += static_cast<char>(c);
        }
    }
  }
  return q + "\"";
}

}  // namespace

std::optional<TableFormat> TableFormatNamed(std::string_view name) {
  if (name == "tsv") return TableFormat::Tsv;
  if (name == "csv") return TableFormat::Csv;
  if (name == "json") return TableFormat::Json;
  return std::nullopt;
}

std::string TableHead(TableFormat format, const std::vector<std::string>& columns) {
  if (format == TableFormat::Json) return "[\n";
  std::string out;
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) out += format == TableFormat::Csv ? ',' : '\t';
    out += format == TableFormat::Csv ? CsvField(columns[i]) : TsvField(columns[i]);
  }
  return out + '\n';
}

std::string TableRow(TableFormat format, const std::vector<std::string>& columns, const std::vector<Cell>& cells) {
  std::string out;
  if (format == TableFormat::Json) {
    out = "  {";
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i) out += ", ";
      out += JsonString(columns[i]) + ": ";
      const Cell empty;
      const Cell& c = i < cells.size() ? cells[i] : empty;
      out += c.number ? (c.text.empty() ? std::string("null") : c.text) : JsonString(c.text);
    }
    return out + "}";
  }
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) out += format == TableFormat::Csv ? ',' : '\t';
    if (i < cells.size()) out += format == TableFormat::Csv ? CsvField(cells[i].text) : TsvField(cells[i].text);
  }
  return out + '\n';
}

std::string TableBetween(TableFormat format) { return format == TableFormat::Json ? ",\n" : ""; }

std::string TableTail(TableFormat format, bool anyRow) {
  if (format != TableFormat::Json) return "";
  return anyRow ? "\n]\n" : "]\n";
}

TableWriter::TableWriter(TableFormat format, std::vector<std::string> columns)
    : format_(format), columns_(std::move(columns)), out_(TableHead(format_, columns_)) {}

void TableWriter::Row(const std::vector<Cell>& cells) {
  if (!first_) out_ += TableBetween(format_);
  first_ = false;
  out_ += TableRow(format_, columns_, cells);
}

void TableWriter::End() { out_ += TableTail(format_, !first_); }

std::string TableWriter::Take() {
  std::string s;
  s.swap(out_);
  return s;
}

Cell NumberCell(double value, int decimals) {
  if (!std::isfinite(value)) return {"", true};
  // The usual figures as whole numbers of the last decimal, written without the general conversion.
  static const double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (decimals >= 0 && decimals <= 9 && std::fabs(value) * kScale[decimals] < 1e15) {
    long long whole = std::llround(value * kScale[decimals]);
    const bool negative = whole < 0;
    unsigned long long digits = static_cast<unsigned long long>(negative ? -whole : whole);
    int shown = decimals;
    while (shown > 0 && digits % 10 == 0) {
      digits /= 10;
      --shown;
    }
    char buf[32];
    char* end = buf + sizeof buf;
    char* p = end;
    for (int d = 0; d < shown; ++d, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
    if (shown > 0) *--p = '.';
    do {
      *--p = static_cast<char>('0' + digits % 10);
      digits /= 10;
    } while (digits > 0);
    if (negative && whole != 0) *--p = '-';
    return {std::string(p, end), true};
  }
  char buf[400];
  const auto end = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals).ptr;
  std::string s(buf, end);
  if (s.find('.') != std::string::npos) {
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
  }
  if (s == "-0") s = "0";
  return {s, true};
}

Cell TextCell(std::string text) { return {std::move(text), false}; }

}  // namespace zelm
