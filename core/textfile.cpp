#include "core/textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace zelm {

namespace fs = std::filesystem;

std::string BaseName(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  std::error_code ec;
  if (!fs::exists(path, ec)) {
    if (error) *error = BaseName(path) + " could not be found.";
    return std::nullopt;
  }
  if (fs::is_directory(path, ec)) {
    if (error) *error = BaseName(path) + " is a folder, not a file.";
    return std::nullopt;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = BaseName(path) + " could not be read: " + std::strerror(errno) + ".";
    return std::nullopt;
  }
  std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) {
    if (error) *error = BaseName(path) + " could not be read.";
    return std::nullopt;
  }
  return data;
}

TextReader::TextReader(const std::string& path) {
  auto data = ReadWholeFile(path, &error_);
  if (data) data_ = std::move(*data);
}

std::string TextReader::ReadLine() {
  size_t start = pos_;
  while (pos_ < data_.size() && data_[pos_] != '\r' && data_[pos_] != '\n') ++pos_;
  std::string line = data_.substr(start, pos_ - start);
  if (pos_ < data_.size() && data_[pos_] == '\r') ++pos_;
  if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  ++line_;
  return line;
}

std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  size_t i = 0;
  const size_t n = line.size();
  if (n == 0) return fields;
  while (true) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::string field;
    if (i < n && line[i] == '"') {
      size_t close = line.find('"', i + 1);
      if (close == std::string_view::npos) close = n;
      field = std::string(line.substr(i + 1, close - i - 1));
      i = close < n ? close + 1 : n;
      // Anything between the closing quote and the next comma is dropped.
      while (i < n && line[i] != ',') ++i;
    } else {
      size_t comma = line.find(',', i);
      if (comma == std::string_view::npos) comma = n;
      std::string_view raw = line.substr(i, comma - i);
      while (!raw.empty() && (raw.back() == ' ' || raw.back() == '\t')) raw.remove_suffix(1);
      field = std::string(raw);
      i = comma;
    }
    fields.push_back(std::move(field));
    if (i >= n) break;
    ++i;  // past the comma: a field follows, even an empty one
  }
  return fields;
}

namespace {

std::string WriteBytesAtomic(const std::string& path, const std::string& bytes) {
  std::string tmp = path + ".tmp" + std::to_string(::getpid());
  int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return BaseName(path) + " could not be written: " + std::strerror(errno) + ".";
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      std::string why = std::strerror(errno);
      ::close(fd);
      ::unlink(tmp.c_str());
      return BaseName(path) + " could not be written: " + why + ".";
    }
    done += static_cast<size_t>(w);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    std::string why = std::strerror(errno);
    ::unlink(tmp.c_str());
    return BaseName(path) + " could not be written: " + why + ".";
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::string why = std::strerror(errno);
    ::unlink(tmp.c_str());
    return BaseName(path) + " could not be written: " + why + ".";
  }
  return {};
}

}  // namespace

std::string WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\r\n";
  return WriteBytesAtomic(path, bytes);
}

std::string AppendLineAtomic(const std::string& path, const std::string& line) {
  std::string bytes;
  if (FileExists(path)) {
    std::string error;
    auto old = ReadWholeFile(path, &error);
    if (!old) return error;
    bytes = std::move(*old);
    // A last line without its line end would join the new entry: end it first.
    if (!bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r') bytes += "\r\n";
  }
  bytes += line + "\r\n";
  return WriteBytesAtomic(path, bytes);
}

bool WriteNewFile(const std::string& path, std::string_view bytes, std::string* error) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  if (fd < 0) {
    if (errno != EEXIST && error) *error = BaseName(path) + " could not be created: " + std::strerror(errno) + ".";
    return false;
  }
  size_t done = 0;
  bool ok = true;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    done += static_cast<size_t>(w);
  }
  if (::close(fd) != 0) ok = false;
  if (!ok) {
    ::unlink(path.c_str());
    if (error) *error = BaseName(path) + " could not be created.";
  }
  return ok;
}

}  // namespace zelm
