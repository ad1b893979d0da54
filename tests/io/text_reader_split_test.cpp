// A text file read on two threads gives what one thread gives, bit for bit,
// wherever the file is split; progress covers both pieces and a cancel stops
// both.

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/io_status.h"
#include "io/text_reader.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::DifferenceBetween;
using testing::TempDir;

constexpr TextReadThreads kOneThread{UINT64_MAX, std::nullopt, TextReadThreads{}.blockBytes};

struct Reading {
  int status = kIoOk;
  Data_Set set;
  TextReadInfo info;
};

void ReadInto(Reading& reading, const std::string& path, const TextReadThreads& threads,
              const ProgressCallback& progress = {}) {
  reading.status = ReadTextFile(reading.set, path, progress, &reading.info, threads);
}

TextReadThreads SplitNear(std::uint64_t near, std::size_t blockBytes = 4096) {
  TextReadThreads threads;
  threads.splitFrom = 0;
  threads.splitNear = near;
  threads.blockBytes = blockBytes;
  return threads;
}

// Empty when both readings agree in status, in what was read (for a text
// that was read) and in what the reader reports.
std::string Difference(const Reading& one, const Reading& two) {
  if (one.status != two.status)
    return "status " + std::to_string(one.status) + " and " + std::to_string(two.status);
  if (one.info.binary != two.info.binary) return "binary signs differ";
  if (one.status != kIoOk) return {};
  const std::string cells = DifferenceBetween(one.set, two.set);
  if (!cells.empty()) return cells;
  const TextReadInfo& a = one.info;
  const TextReadInfo& b = two.info;
  if (a.linesSkipped != b.linesSkipped || a.fields != b.fields || a.twoLineHeader != b.twoLineHeader ||
      !testing::SameBits(a.headerScale, b.headerScale) || a.singleColumn != b.singleColumn)
    return "reports differ";
  if (two.set.modified) return "left modified";
  return {};
}

// Where a second piece may start: after every LF, CR LF and lone CR.
std::vector<std::uint64_t> LineStarts(const std::string& text) {
  std::vector<std::uint64_t> starts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'))) starts.push_back(i + 1);
  }
  return starts;
}

// Lines of every kind the rules treat apart, with every line end.
std::string RandomLines(std::mt19937& random, int lines) {
  static const char* const kFields[] = {"1", "-2.5", "+.5e3", "0.125", "32765", "100", "abc", "1e", "-nan",
                                        "inf", "7", "12345678901234567890", "4e-320", "-0", ".5"};
  static const char* const kSeparators[] = {" ", "\t", ",", " , ", ",,", "  "};
  static const char* const kOtherLines[] = {"% a note", "%", "# x y", "x 5", "", "   ", "\t", "\xC2\xB5s 3",
                                            "\xFF\xFE junk", "% caf\xC3\xA9"};
  static const char* const kEnds[] = {"\n", "\n", "\r\n", "\r"};
  std::uniform_int_distribution<int> kind(0, 9), fields(1, 5), field(0, std::size(kFields) - 1),
      separator(0, std::size(kSeparators) - 1), other(0, std::size(kOtherLines) - 1), end(0, std::size(kEnds) - 1),
      longLength(1000, 2200);
  std::string text;
  for (int line = 0; line < lines; ++line) {
    const int k = kind(random);
    if (k <= 5) {
      for (int n = k == 0 ? 1 : fields(random); n > 0; --n) {
        text += kFields[field(random)];
        if (n > 1) text += kSeparators[separator(random)];
      }
    } else if (k == 6) {
      // Longer than the line buffer: it arrives in pieces cut anywhere.
      const int length = longLength(random);
      std::string row = random() % 2 == 0 ? "%" : "";
      while (static_cast<int>(row.size()) < length) row += std::string(kFields[field(random)]) + " ";
      text += row;
    } else {
      text += kOtherLines[other(random)];
    }
    text += kEnds[end(random)];
  }
  return text;
}

// Whole texts: a byte-order mark, a two-line header or single columns now
// and then, and a last line with or without its end.
std::string RandomText(std::mt19937& random) {
  std::uniform_int_distribution<int> shape(0, 9);
  std::string text = shape(random) == 0 ? "\xEF\xBB\xBF" : "";
  switch (shape(random)) {
    case 0: text += "100\n0.5\n"; break;
    case 1: text += "5\r\n2 3\r\n"; break;
    case 2:
      for (int i = 0; i < 30; ++i) text += std::to_string(i * 3) + (i % 7 == 0 ? "\r" : "\n");
      break;
    default: break;
  }
  text += RandomLines(random, 40);
  if (shape(random) < 3) text += "7 8";
  return text;
}

TEST(ReadTextFileOnTwoThreads, EverySplitOfManyTextsReadsAsOneThreadDoes) {
  TempDir dir;
  const std::string path = dir.file("text.txt");
  std::mt19937 random(11);
  int joined = 0;
  for (int round = 0; round < 60; ++round) {
    const std::string text = RandomText(random);
    testing::WriteBytes(path, text);
    Reading one;
    ReadInto(one, path, kOneThread);
    for (const std::uint64_t start : LineStarts(text)) {
      Reading two;
      ReadInto(two, path, SplitNear(start - 1));
      const std::string difference = Difference(one, two);
      ASSERT_TRUE(difference.empty()) << difference << " (split at " << start << ")\ntext: "
                                      << ::testing::PrintToString(text);
      if (two.status == kIoOk) ++joined;
    }
  }
  EXPECT_GT(joined, 1000);
}

// The UTF-8 check of the leading 64 KiB may end in either piece, or carry
// on from the first piece into the second; binary text is refused either
// way.
TEST(ReadTextFileOnTwoThreads, TheUtf8CheckSpansTheSplit) {
  TempDir dir;
  const std::string path = dir.file("text.txt");
  for (const int invalidPerTen : {2, 5, 6, 9}) {
    std::string text;
    for (int line = 0; text.size() < 90 * 1024; ++line)
      text += line % 10 < invalidPerTen ? "\xFF bad " + std::to_string(line) + "\n" : std::to_string(line) + " 2\n";
    testing::WriteBytes(path, text);
    Reading one;
    ReadInto(one, path, kOneThread);
    if (invalidPerTen == 2 || invalidPerTen == 9) {
      EXPECT_EQ(one.status, invalidPerTen == 9 ? kIoBinary : kIoOk);
    }
    const std::vector<std::uint64_t> starts = LineStarts(text);
    for (std::size_t k = 0; k < starts.size(); k += 97) {
      Reading two;
      ReadInto(two, path, SplitNear(starts[k] - 1));
      ASSERT_EQ(Difference(one, two), "") << invalidPerTen << " in 10, split at " << starts[k];
    }
  }
}

// Whatever stops reading part way stops it at the same place, in either
// piece, and gives the same failure.
TEST(ReadTextFileOnTwoThreads, WhatStopsTheReaderActsAsInOnePiece) {
  TempDir dir;
  const std::string path = dir.file("text.txt");
  struct Case {
    const char* name;
    std::string text;
    int status;
  };
  std::string shortRows, manyCells;
  for (int i = 0; i < 10000; ++i) shortRows += "1\n";
  for (int i = 0; i < 400; ++i) shortRows += "1 ";
  // Over a million cells, all dense: within the guard, but more than a
  // split near the start may take on trust, so the second piece is read again.
  for (int i = 0; i < 600000; ++i) manyCells += "1 2\n";
  std::string lateNul;
  for (int i = 0; i < 3000; ++i) lateNul += "1 2\n";
  const Case cases[] = {
    {"one wide row after many short ones", shortRows, kIoTooLarge},
    {"a million dense cells", manyCells, kIoOk},
    {"a NUL near the end", lateNul + std::string("3\0 4\n", 5) + lateNul, kIoBinary},
    {"a UTF-16 mark", "\xFF\xFE" + lateNul, kIoBinary},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    testing::WriteBytes(path, c.text);
    Reading one;
    ReadInto(one, path, kOneThread);
    ASSERT_EQ(one.status, c.status);
    for (const std::uint64_t near : {std::uint64_t{3}, std::uint64_t{4000}, c.text.size() / 2, c.text.size() - 900}) {
      Reading two;
      ReadInto(two, path, SplitNear(near, 64 * 1024));
      EXPECT_EQ(Difference(one, two), "") << "split near " << near;
    }
  }
}

TEST(ReadTextFileOnTwoThreads, ProgressCoversBothPiecesAndACancelStopsBoth) {
  TempDir dir;
  const std::string path = dir.file("big.txt");
  std::string text;
  for (int i = 0; i < 100000; ++i) text += std::to_string(i) + " " + std::to_string(i * 0.5) + "\r\n";
  testing::WriteBytes(path, text);
  TextReadThreads threads;
  threads.splitFrom = 0;
  threads.blockBytes = 16 * 1024;

  Reading one;
  ReadInto(one, path, kOneThread);
  std::vector<double> fractions;
  Reading whole;
  ReadInto(whole, path, threads, [&](double done) {
    fractions.push_back(done);
    return true;
  });
  ASSERT_EQ(Difference(one, whole), "");
  // At least one report a block of the first piece (the second's are
  // reported as the first thread gets to them), rising to the end.
  ASSERT_GE(fractions.size(), text.size() / 2 / threads.blockBytes);
  for (std::size_t i = 1; i < fractions.size(); ++i) ASSERT_GE(fractions[i], fractions[i - 1]);
  EXPECT_EQ(fractions.back(), 1.0);

  for (const int cancelAt : {1, 10, 40}) {
    int calls = 0;
    Reading cancelled;
    ReadInto(cancelled, path, threads, [&](double) { return ++calls < cancelAt; });
    EXPECT_EQ(cancelled.status, kIoCancelled) << cancelAt;
    // No report after the one that cancelled, and only part of the file.
    EXPECT_EQ(calls, cancelAt);
    EXPECT_LT(cancelled.set.PointCount(0), one.set.PointCount(0));
  }
}

TEST(ReadTextFileOnTwoThreads, LargeFilesAreSplitByDefaultAndSmallOnesAreNot) {
  TempDir dir;
  const std::string path = dir.file("big.txt");
  std::string text = "% a note\n";
  // Past the default size for splitting, with comments in both halves.
  for (int i = 0; text.size() < (std::size_t{5} << 20); ++i) {
    text += std::to_string(i) + "\t" + std::to_string(std::sqrt(i)) + "\n";
    if (i % 50000 == 0) text += "% mark " + std::to_string(i) + "\n";
  }
  testing::WriteBytes(path, text);
  Reading one, two;
  ReadInto(one, path, kOneThread);
  ReadInto(two, path, TextReadThreads{});
  ASSERT_EQ(one.status, kIoOk);
  EXPECT_EQ(Difference(one, two), "");
}

}  // namespace
}  // namespace zentrel
