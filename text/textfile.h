// Sequential 8-bit text files with the field rules of the program's data files.
//
// Fields are separated by commas and line ends; blanks before a field are skipped; a field that begins with a double
// quote runs to the closing quote and keeps its commas and blanks; an unquoted field ends at the next comma or line end
// and loses its trailing blanks. Lines end with CR LF (a lone LF or CR is accepted on input). Bytes of 128 and above
// pass unchanged in both directions.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

// A file read whole into memory and handed out line by line, so that a bad line can be skipped without being
// half-read into the next field.
class TextReader {
 public:
  // Opens and reads the file; on failure Ok() is false and Error() says why ("EMassQuick.txt could not be found.").
  explicit TextReader(const std::string& path);

  bool Ok() const { return error_.empty(); }
  const std::string& Error() const { return error_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  // The next line without its line end; the line number (1-based) of the line last returned.
  std::string ReadLine();
  int LineNumber() const { return line_; }
  // Where the line last returned starts in the file, and where the line after it starts (past the line end).
  size_t LineStart() const { return start_; }
  size_t Position() const { return pos_; }
  const std::string& Bytes() const { return data_; }

 private:
  std::string data_;
  size_t pos_ = 0;
  size_t start_ = 0;
  int line_ = 0;
  std::string error_;
};

// The fields of one line, by the rules above. An empty line gives no fields.
std::vector<std::string> SplitFields(std::string_view line);

// Reads a whole file's bytes; nullopt when it is missing or unreadable (error text in *error).
std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error = nullptr);

// The writers below replace a file whole: they write a temporary file beside it, named as TemporaryFileName says, and
// rename it over the old one, so that a crash or a full disk never leaves a half-written file. A file that is
// read-only (no write permission for anyone, or none for this user) is refused and left as it is; a file that is
// rewritten keeps its permission bits. The temporary file of an earlier write that was cut short is taken over, and
// the ones of earlier versions of the program (the file's name, ".tmp" and a process number) are removed. Each returns
// an empty text on success, else the reason, naming the file.
std::string TemporaryFileName(const std::string& path);  // path + ".zelm-tmp"
// Why path may not be replaced (it is read-only); empty when it may, or when it does not exist.
std::string WriteProblem(const std::string& path);
std::string WriteFileAtomic(const std::string& path, const std::string& bytes);
// Lines, each followed by CR LF.
std::string WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines);
// Appends one line with CR LF (creates the file if missing); the old content stays as it was if the write fails.
std::string AppendLineAtomic(const std::string& path, const std::string& line);
// Writes bytes to path only if no file of that name exists; returns true when it created the file.
bool WriteNewFile(const std::string& path, std::string_view bytes, std::string* error = nullptr);

bool FileExists(const std::string& path);
std::string BaseName(const std::string& path);

}  // namespace zelm
