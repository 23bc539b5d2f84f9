#include <gtest/gtest.h>

#include "text/textfile.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

using Fields = std::vector<std::string>;

TEST(SplitFields, UnquotedFieldsLoseBlanksAroundThem) {
  EXPECT_EQ(SplitFields("C, 12"), (Fields{"C", "12"}));
  EXPECT_EQ(SplitFields("   Na  ,22.98"), (Fields{"Na", "22.98"}));
  EXPECT_EQ(SplitFields("a,,b"), (Fields{"a", "", "b"}));
  EXPECT_EQ(SplitFields("a,"), (Fields{"a", ""}));
  EXPECT_EQ(SplitFields(""), Fields{});
}

TEST(SplitFields, QuotedFieldsKeepCommasAndBlanks) {
  EXPECT_EQ(SplitFields("\"  No, Mass \",0"), (Fields{"  No, Mass ", "0"}));
  EXPECT_EQ(SplitFields("  \"x\"  , 1"), (Fields{"x", "1"}));
  // An unclosed quote runs to the line end.
  EXPECT_EQ(SplitFields("\"open, field"), (Fields{"open, field"}));
}

TEST(SplitFields, HighBytesPassUnchanged) {
  std::string label = "\x81\x82" "C\x90\xfe\xff";
  EXPECT_EQ(SplitFields(label + ",12"), (Fields{label, "12"}));
}

TEST(TextReader, ReadsCrLfLfAndCrLinesAndANoEndLastLine) {
  TempDir dir;
  dir.Write("f.txt", "one\r\ntwo\nthree\rfour");
  TextReader r(dir.File("f.txt"));
  ASSERT_TRUE(r.Ok());
  std::vector<std::string> lines;
  while (!r.AtEnd()) lines.push_back(r.ReadLine());
  EXPECT_EQ(lines, (Fields{"one", "two", "three", "four"}));
  EXPECT_EQ(r.LineNumber(), 4);
}

TEST(TextReader, BlankLinesAreLinesToo) {
  TempDir dir;
  dir.Write("f.txt", "a\r\n\r\nb\r\n");
  TextReader r(dir.File("f.txt"));
  std::vector<std::string> lines;
  while (!r.AtEnd()) lines.push_back(r.ReadLine());
  EXPECT_EQ(lines, (Fields{"a", "", "b"}));
}

TEST(TextReader, MissingFileIsAnExplicitError) {
  TempDir dir;
  TextReader r(dir.File("nothere.txt"));
  EXPECT_FALSE(r.Ok());
  EXPECT_EQ(r.Error(), "nothere.txt could not be found.");
  EXPECT_TRUE(r.AtEnd());
  TextReader folder(dir.Path());
  EXPECT_FALSE(folder.Ok());
}

TEST(Writers, WriteCrLfLinesAndKeepHighBytes) {
  TempDir dir;
  std::string label = "\x81\x82" "C";
  EXPECT_EQ(WriteLinesAtomic(dir.File("w.txt"), {label + ", 12", "H, 1"}), "");
  EXPECT_EQ(dir.Read("w.txt"), label + ", 12\r\nH, 1\r\n");
  EXPECT_EQ(AppendLineAtomic(dir.File("w.txt"), "N, 14"), "");
  EXPECT_EQ(dir.Read("w.txt"), label + ", 12\r\nH, 1\r\nN, 14\r\n");
  // No temporary file is left beside it.
  int files = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(dir.Path())) ++files;
  EXPECT_EQ(files, 1);
}

TEST(Writers, AppendEndsALastLineThatLacksItsLineEnd) {
  TempDir dir;
  dir.Write("w.txt", "C,12");
  EXPECT_EQ(AppendLineAtomic(dir.File("w.txt"), "H,1"), "");
  EXPECT_EQ(dir.Read("w.txt"), "C,12\r\nH,1\r\n");
  EXPECT_EQ(AppendLineAtomic(dir.File("new.txt"), "H,1"), "");
  EXPECT_EQ(dir.Read("new.txt"), "H,1\r\n");
}

TEST(Writers, FailedWriteLeavesTheOldFile) {
  TempDir dir;
  dir.Write("w.txt", "old\r\n");
  std::string error = WriteLinesAtomic(dir.File("missing-folder/w.txt"), {"x"});
  EXPECT_NE(error, "");
  EXPECT_EQ(dir.Read("w.txt"), "old\r\n");
}

TEST(Writers, WriteNewFileNeverOverwrites) {
  TempDir dir;
  dir.Write("keep.txt", "mine");
  EXPECT_FALSE(WriteNewFile(dir.File("keep.txt"), "default"));
  EXPECT_EQ(dir.Read("keep.txt"), "mine");
  EXPECT_TRUE(WriteNewFile(dir.File("fresh.txt"), "default"));
  EXPECT_EQ(dir.Read("fresh.txt"), "default");
}

}  // namespace
}  // namespace zelm
