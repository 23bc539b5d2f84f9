#include "text/textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
  start_ = start;
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

std::string TemporaryFileName(const std::string& path) { return path + ".zelm-tmp"; }

std::string WriteProblem(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {};
  // A file nobody may write is kept as it is, even from a user whom the system would let replace it.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0)
    return BaseName(path) + " is read-only: make it writable to change it.";
  return {};
}

namespace {

// Removes what earlier versions left of cut-short writes: the file's name, ".tmp" and a process number.
void RemoveOldLeftOvers(const std::string& path) {
  const fs::path p(path);
  const std::string prefix = p.filename().string() + ".tmp";
  std::error_code ec;
  fs::path folder = p.parent_path();
  if (folder.empty()) folder = ".";
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0) continue;
    if (name.find_first_not_of("0123456789", prefix.size()) != std::string::npos) continue;
    std::error_code kind;
    if (it->is_regular_file(kind)) fs::remove(it->path(), kind);
  }
}

std::string WriteFailed(const std::string& path, const std::string& why) {
  return BaseName(path) + " could not be written: " + why + ".";
}

}  // namespace

std::string WriteFileAtomic(const std::string& path, const std::string& bytes) {
  if (std::string problem = WriteProblem(path); !problem.empty()) return problem;
  // The new file gets the old one's permission bits; a file written for the first time those of a new file.
  struct stat old {};
  mode_t mode = 0;
  if (::stat(path.c_str(), &old) == 0) {
    mode = old.st_mode & 07777;
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0644 & ~mask;
  }
  RemoveOldLeftOvers(path);

  // The temporary file has one name, so a left-over of a cut-short write is taken over here. The lock keeps two
  // writers of the same library apart; a left-over holds no lock, since its writer is gone.
  const std::string tmp = TemporaryFileName(path);
  int fd = -1;
  for (int attempt = 0;; ++attempt) {
    fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return WriteFailed(path, std::strerror(errno));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
      ::close(fd);
      if (attempt < 50) {
        ::usleep(20000);
        continue;
      }
      return WriteFailed(path, "another program is writing it");
    }
    // The file locked must still be the one of that name: another writer may have renamed it meanwhile.
    struct stat mine {}, named {};
    if (::fstat(fd, &mine) == 0 && ::stat(tmp.c_str(), &named) == 0 && mine.st_ino == named.st_ino &&
        mine.st_dev == named.st_dev)
      break;
    ::close(fd);
  }
  auto fail = [&](const std::string& why) {
    ::unlink(tmp.c_str());
    ::close(fd);
    return WriteFailed(path, why);
  };
  if (::ftruncate(fd, 0) != 0 || ::fchmod(fd, mode) != 0) return fail(std::strerror(errno));
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t w = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (w < 0) {
      if (errno == EINTR) continue;
      return fail(std::strerror(errno));
    }
    done += static_cast<size_t>(w);
  }
  if (::fsync(fd) != 0) return fail(std::strerror(errno));
  if (std::rename(tmp.c_str(), path.c_str()) != 0) return fail(std::strerror(errno));
  if (::close(fd) != 0) return WriteFailed(path, std::strerror(errno));
  return {};
}

std::string WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
  std::string bytes;
  for (const auto& l : lines) bytes += l + "\r\n";
  return WriteFileAtomic(path, bytes);
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
  return WriteFileAtomic(path, bytes);
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
