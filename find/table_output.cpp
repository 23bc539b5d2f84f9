#include "find/table_output.h"

#include <algorithm>
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

// Appends one row to out.
void AppendRow(TableFormat format, const std::vector<std::string>& columns, const CellView* cells, std::string& out) {
  if (format == TableFormat::Json) {
    out += "  {";
    for (size_t i = 0; i < columns.size(); ++i) {
      if (i) out += ", ";
      out += JsonString(columns[i]);
      out += ": ";
      const CellView& c = cells[i];
      if (c.number) out += c.text.empty() ? std::string_view("null") : c.text;
      else out += JsonString(std::string(c.text));
    }
    out += '}';
    return;
  }
  for (size_t i = 0; i < columns.size(); ++i) {
    if (i) out += format == TableFormat::Csv ? ',' : '\t';
    const std::string_view t = cells[i].text;
    const bool plain = t.find_first_of(format == TableFormat::Csv ? ",\"\r\n" : "\t\r\n") == std::string_view::npos &&
                       (format != TableFormat::Csv || t.empty() || (t.front() != ' ' && t.back() != ' '));
    if (plain) out += t;
    else out += format == TableFormat::Csv ? CsvField(std::string(t)) : TsvField(std::string(t));
  }
  out += '\n';
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

std::string TableBetween(TableFormat format) { return format == TableFormat::Json ? ",\n" : ""; }

std::string TableTail(TableFormat format, bool anyRow) {
  if (format != TableFormat::Json) return "";
  return anyRow ? "\n]\n" : "]\n";
}

TableWriter::TableWriter(TableFormat format, std::vector<std::string> columns, bool head)
    : format_(format), columns_(std::move(columns)), out_(head ? TableHead(format_, columns_) : ""), head_(head) {}

void TableWriter::Row(const CellView* cells) {
  if (!first_) out_ += TableBetween(format_);
  first_ = false;
  AppendRow(format_, columns_, cells, out_);
}

void TableWriter::End() {
  if (head_) out_ += TableTail(format_, !first_);
}

std::string TableWriter::Take() {
  std::string s;
  s.swap(out_);
  return s;
}

std::string_view FormatNumber(double value, int decimals, char* buf) {
  if (!std::isfinite(value)) return {};
  decimals = std::clamp(decimals, 0, 9);
  static const double kScale[] = {1, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};
  if (!(std::fabs(value) * kScale[decimals] < 1e15)) {
    const auto end = std::to_chars(buf, buf + 32, value, std::chars_format::general, 17).ptr;
    return {buf, static_cast<size_t>(end - buf)};
  }
  // A whole number of the last decimal, its digits written from the end.
  const long long whole = std::llround(value * kScale[decimals]);
  unsigned long long digits = static_cast<unsigned long long>(whole < 0 ? -whole : whole);
  int shown = decimals;
  while (shown > 0 && digits % 10 == 0) {
    digits /= 10;
    --shown;
  }
  char* const end = buf + 32;
  char* p = end;
  for (int d = 0; d < shown; ++d, digits /= 10) *--p = static_cast<char>('0' + digits % 10);
  if (shown > 0) *--p = '.';
  do {
    *--p = static_cast<char>('0' + digits % 10);
    digits /= 10;
  } while (digits > 0);
  if (whole < 0) *--p = '-';
  return {p, static_cast<size_t>(end - p)};
}

}  // namespace zelm
