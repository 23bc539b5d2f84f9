#include "text/data_files.h"

#include "text/text.h"
#include "text/textfile.h"

namespace zelm {

std::string LibraryLineFault(const std::vector<std::string>& fields, std::string_view line) {
  if (Trim(line).empty()) return "it is blank";
  if (fields.size() < 2) return "it has no comma";
  if (fields.size() > 2) return "it has more than one comma";
  if (fields[0].empty()) return "its label is empty";
  if (fields[0].find_first_of("()") != std::string::npos) return "its label holds a parenthesis";
  if (!IsNumberText(fields[1])) return "its mass is not a number";
  return {};
}

namespace {

// Opens a file for one of the readers; on failure the problem of the whole file is noted.
template <typename Data>
bool Open(TextReader& file, const std::string& path, Data& data) {
  data.read = file.Ok();
  if (!data.read) data.problems.push_back({BaseName(path), 0, file.Error()});
  return data.read;
}

// Every line of the file that is not blank, with its fields, to `use(fields, lineNumber)`.
template <typename Use>
void EachFilledLine(TextReader& file, Use use) {
  while (!file.AtEnd()) {
    std::string line = file.ReadLine();
    if (Trim(line).empty()) continue;
    use(SplitFields(line), file.LineNumber());
  }
}

}  // namespace

LibraryData ReadLibrary(const std::string& path) {
  LibraryData data;
  TextReader file(path);
  if (!Open(file, path, data)) return data;
  const std::string name = BaseName(path);
  while (!file.AtEnd()) {
    std::string line = file.ReadLine();
    auto fields = SplitFields(line);
    if (std::string fault = LibraryLineFault(fields, line); !fault.empty()) {
      data.problems.push_back({name, file.LineNumber(), std::move(fault)});
      continue;
    }
    data.entries.push_back(
        {std::move(fields[0]), LeadingNumber(fields[1]), file.LineNumber(), file.LineStart(), file.Position()});
  }
  data.bytes = file.Bytes();
  return data;
}

IsotopeData ReadIsotopes(const std::string& path) {
  IsotopeData data;
  TextReader file(path);
  if (!Open(file, path, data)) return data;
  const std::string name = BaseName(path);
  EachFilledLine(file, [&](const std::vector<std::string>& fields, int line) {
    if (fields.size() < 4) {
      data.problems.push_back({name, line, "fewer than four fields"});
    } else if (!IsNumberText(fields[2]) || !IsNumberText(fields[3])) {
      data.problems.push_back({name, line, "a mass or abundance that is not a number"});
    } else {
      data.records.push_back({{fields[0], fields[1], fields[2], fields[3]}, line});
    }
  });
  return data;
}

AdjustmentData ReadAdjustments(const std::string& path) {
  AdjustmentData data;
  TextReader file(path);
  if (!Open(file, path, data)) return data;
  const std::string name = BaseName(path);
  EachFilledLine(file, [&](const std::vector<std::string>& fields, int line) {
    if (fields.size() < 2 || !IsNumberText(fields[1]))
      data.problems.push_back({name, line, fields.size() < 2 ? "no comma" : "a mass that is not a number"});
    else
      data.rows.push_back({fields[0], LeadingNumber(fields[1]), line});
  });
  return data;
}

RatingData ReadRatings(const std::string& path) {
  RatingData data;
  if (!FileExists(path)) {
    data.read = true;
    return data;
  }
  TextReader file(path);
  if (!Open(file, path, data)) return data;
  const std::string name = BaseName(path);
  EachFilledLine(file, [&](const std::vector<std::string>& fields, int line) {
    for (const std::string& field : fields) {
      auto percent = field.find('%');
      if (percent == std::string::npos)
        data.problems.push_back({name, line, "no \"%\""});
      else
        data.ratings.push_back({field.substr(0, percent), field.substr(percent + 1, 40), line});
    }
  });
  return data;
}

}  // namespace zelm
