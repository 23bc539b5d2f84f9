// Library files, as the window loads them into its work list and search index and as zelm-find takes them as
// building blocks.
#include <utility>

#include "rank/building_blocks.h"
#include "text/data_files.h"
#include "text/text.h"
#include "text/textfile.h"
#include "window_support.h"

using namespace zelm;

namespace {

// The line of an entry without its line end.
std::string_view LineOf(const std::string& bytes, const LibraryEntry& entry) {
  std::string_view line = std::string_view(bytes).substr(entry.start, entry.end - entry.start);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);
  const std::string path = fuzz::Scratch().Write("library.txt", bytes);

  const LibraryData file = ReadLibrary(path);
  FUZZ_CHECK(file.read);
  FUZZ_CHECK(file.bytes == bytes);
  int lastLine = 0;
  size_t lastEnd = 0;
  for (const LibraryEntry& entry : file.entries) {
    FUZZ_CHECK(entry.line > lastLine);
    FUZZ_CHECK(entry.start >= lastEnd && entry.start < entry.end && entry.end <= bytes.size());
    FUZZ_CHECK(fuzz::Finite(entry.mass));
    FUZZ_CHECK(!entry.label.empty());
    FUZZ_CHECK(entry.label.find_first_of("()") == std::string::npos);
    // The entry's line by itself is an entry of that label and mass.
    const std::string_view line = LineOf(bytes, entry);
    const auto fields = SplitFields(line);
    FUZZ_CHECK(LibraryLineFault(fields, line).empty());
    FUZZ_CHECK(fields[0] == entry.label && LeadingNumber(fields[1]) == entry.mass);
    // The line the library editor writes for the entry's work-list line loads back as that work-list line.
    const std::string shown = WorkListLine(entry.label, entry.mass);
    const LibraryData back = ReadLibrary(fuzz::Scratch().Write("back.txt", LibraryLineOf(shown) + "\r\n"));
    FUZZ_CHECK(back.entries.size() == 1 && back.problems.empty());
    FUZZ_CHECK(WorkListLine(back.entries[0].label, back.entries[0].mass) == shown);
    lastLine = entry.line;
    lastEnd = entry.end;
  }
  for (const FileProblem& problem : file.problems) FUZZ_CHECK(problem.line > 0 && !problem.reason.empty());

  // The window: the quick library loaded at start-up, at most the index's entries, in order of mass after sorting.
  {
    auto window = fuzz::StartWindow(std::pair{std::string("EMassQuick.txt"), bytes});
    const Form1& form = window->form;
    const int perEntry = form.MaxBit + 1;
    const int count = form.IndexCount;
    FUZZ_CHECK(count >= 0 && count <= kIndexLimit && count % perEntry == 0);
    FUZZ_CHECK(static_cast<size_t>(count / perEntry) == std::min(file.entries.size(), size_t{kIndexLimit} / perEntry));
    FUZZ_CHECK(form.WorkList.Count() == count / perEntry);
    for (int i = 1; i < count; ++i) FUZZ_CHECK(!(form.IndexMass[i] > form.IndexMass[i + 1]));
    for (int i = 0; i < form.WorkList.Count(); ++i)
      FUZZ_CHECK(form.WorkList.Item(i) == WorkListLine(file.entries[i].label, file.entries[i].mass));
  }

  // zelm-find: every entry a block from 0 to the count asked for, with a mass it can search.
  std::vector<Block> blocks;
  std::string why;
  if (LoadLibraryBlocks(path, 3, fuzz::BuiltInTable(), blocks, &why)) {
    FUZZ_CHECK(blocks.size() <= file.entries.size());
    for (const Block& block : blocks) {
      FUZZ_CHECK(block.mass > 0 && fuzz::Finite(block.mass));
      FUZZ_CHECK(block.min == 0 && block.max == 3);
      FUZZ_CHECK(!block.name.empty());
    }
  } else {
    FUZZ_CHECK(!why.empty());
  }
  return 0;
}
