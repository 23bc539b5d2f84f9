// What a parser of this layer hands back: the value read, or what is wrong with the text and where.
#pragma once

#include <optional>
#include <string>
#include <utility>

namespace zelm::chem {

struct ParseError {
  size_t position = 0;  // 0-based byte offset into the text where the fault was found
  std::string reason;   // what is wrong: "unknown element Xx"
  std::string message;  // the reason and its place: "unknown element Xx at position 3" (1-based)
};

template <class T>
class Parsed {
 public:
  Parsed(T value) : value_(std::move(value)) {}
  Parsed(ParseError error) : error_(std::move(error)) {}

  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  const T& Value() const { return *value_; }
  const T& operator*() const { return *value_; }
  const T* operator->() const { return &*value_; }
  const ParseError& Error() const { return error_; }

 private:
  std::optional<T> value_;
  ParseError error_;
};

}  // namespace zelm::chem
