// The number rules of the label coding (text/text.h): the leading-number rule and the check of a number field on any
// text, and number to text on any double.
#include <cstring>

#include "fuzz_support.h"
#include "text/text.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);

  const double leading = LeadingNumber(text);
  const size_t length = LeadingNumberLength(text);
  FUZZ_CHECK(fuzz::Finite(leading));
  FUZZ_CHECK(length <= text.size());
  if (length == 0) FUZZ_CHECK(leading == 0);
  // The part the rule reads is a number field by itself, and reads as the same number.
  if (length > 0 && IsNumberText(text.substr(0, length))) FUZZ_CHECK(LeadingNumber(text.substr(0, length)) == leading);
  if (IsNumberText(text)) {
    const std::string_view trimmed = Trim(text);
    FUZZ_CHECK(LeadingNumberLength(trimmed) == trimmed.size());
    FUZZ_CHECK(LeadingNumber(trimmed) == leading);
  }

  // Any eight bytes as a double: its text is a number field that reads back finite, and writing what was read
  // gives the same text again.
  if (size >= sizeof(double)) {
    double value;
    std::memcpy(&value, data, sizeof value);
    const std::string written = NumberText(value);
    FUZZ_CHECK(!written.empty());
    FUZZ_CHECK(IsNumberText(written));
    FUZZ_CHECK(written[0] == ' ' || written[0] == '-');
    const double back = LeadingNumber(written);
    FUZZ_CHECK(fuzz::Finite(back));
    FUZZ_CHECK(NumberText(back) == written);
    if (std::isfinite(value) && std::fabs(value) > 1e-300 && std::fabs(value) < 1e300)
      FUZZ_CHECK(std::fabs(back - value) <= std::fabs(value) * 1e-14);
    FUZZ_CHECK(NumberTextBare(value) == (written[0] == ' ' ? written.substr(1) : written));
  }

  // The ordering of coded texts is a total order: the two halves compare opposite ways round.
  const std::string_view a = std::string_view(text).substr(0, size / 2), b = std::string_view(text).substr(size / 2);
  FUZZ_CHECK(CompareCoded(a, b) == -CompareCoded(b, a));
  FUZZ_CHECK((CompareCoded(a, b) == 0) == (a == b));
  FUZZ_CHECK(CompareCoded(a, text) <= 0);
  return 0;
}
