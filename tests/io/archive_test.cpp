#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/archive_reader.h"
#include "io/archive_writer.h"

namespace zentrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(Archive, PrimitivesAreLittleEndianAndWordsKeepTheLow16Bits) {
  ArchiveWriter out;
  out.Byte(0xAB);
  out.Word(-1);
  out.Word(0x12345);
  out.Dword(-2);
  out.Double(1.0);
  out.Rect(1, -1, 0x01020304, 0);
  const Bytes expected = {0xAB, 0xFF, 0xFF, 0x45, 0x23, 0xFE, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F,
                          1,    0,    0,    0,    0xFF, 0xFF, 0xFF, 0xFF, 4, 3, 2, 1, 0, 0, 0, 0};
  EXPECT_EQ(out.bytes(), expected);

  ArchiveReader in(out.bytes());
  EXPECT_EQ(in.Byte(), 0xAB);
  EXPECT_EQ(in.Word(), 0xFFFFu);  // zero-extended
  EXPECT_EQ(in.Word(), 0x2345u);
  EXPECT_EQ(in.Dword(), -2);
  EXPECT_EQ(in.Double(), 1.0);
  in.SkipRect();
  EXPECT_TRUE(in.AtEnd());
}

// Each length form at both of its edges.
TEST(Archive, StringLengthFormsSwitchAt255And65534) {
  struct Case {
    size_t length;
    Bytes prefix;
  };
  const Case cases[] = {
      {0, {0x00}},
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {65533, {0xFF, 0xFD, 0xFF}},
      {65534, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {70000, {0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    const std::string text(c.length, 'x');
    ArchiveWriter out;
    out.String(text);
    ASSERT_EQ(out.bytes().size(), c.prefix.size() + c.length) << c.length;
    EXPECT_EQ(Bytes(out.bytes().begin(), out.bytes().begin() + static_cast<long>(c.prefix.size())), c.prefix)
        << c.length;
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.String(), text) << c.length;
    EXPECT_TRUE(in.AtEnd()) << c.length;
  }
}

TEST(Archive, CountUsesADwordFrom65535) {
  struct Case {
    std::uint32_t count;
    Bytes bytes;
  };
  const Case cases[] = {{0, {0, 0}},
                        {65534, {0xFE, 0xFF}},
                        {65535, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0}},
                        {0x12345678, {0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12}}};
  for (const auto& c : cases) {
    ArchiveWriter out;
    out.Count(c.count);
    EXPECT_EQ(out.bytes(), c.bytes) << c.count;
    ArchiveReader in(out.bytes());
    EXPECT_EQ(in.Count(), c.count);
  }
}

TEST(Archive, ReadsFailOnceTheBytesRunOutAndTheFirstProblemSticks) {
  const Bytes bytes = {1, 2, 3};
  ArchiveReader in(bytes);
  EXPECT_EQ(in.Word(), 0x0201u);
  EXPECT_EQ(in.Dword(), 0);  // only one byte left
  EXPECT_FALSE(in.ok());
  EXPECT_EQ(in.problemOffset(), 2u);
  const std::string first = in.problem();
  EXPECT_EQ(in.Byte(), 0);  // later reads return 0 and keep the first problem
  in.Fail("another");
  EXPECT_EQ(in.problem(), first);
  EXPECT_FALSE(in.AtEnd());
}

TEST(Archive, LengthsAndCountsAreCheckedAgainstTheRestOfTheFile) {
  const Bytes longString = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a'};  // 2^31 - 1 characters
  ArchiveReader a(longString);
  EXPECT_EQ(a.String(), "");
  EXPECT_FALSE(a.ok());

  const Bytes wideMarker = {0xFF, 0xFE, 0xFF, 'a'};
  ArchiveReader b(wideMarker);
  b.String();
  EXPECT_FALSE(b.ok());

  const Bytes twelve(12, 0);
  ArchiveReader c(twelve);
  EXPECT_TRUE(c.Fits(3, 4, "n"));
  EXPECT_FALSE(c.Fits(4, 4, "n"));
  ArchiveReader d(twelve);
  EXPECT_FALSE(d.Fits(1ull << 40, 1ull << 40, "n"));  // no overflow into a small product
}

TEST(Archive, OneCounterNumbersClassesAndObjects) {
  ArchiveWriter out;
  out.NewObjectTag("Data_Set", 4);  // class 1, object 2
  out.NewObjectTag("Fit", 2);       // class 3, object 4
  out.NewObjectTag("Data_Set", 4);  // object 5
  out.NewObjectTag("Fit", 2);       // object 6
  const Bytes expected = {0xFF, 0xFF, 4, 0, 8, 0, 'D', 'a', 't', 'a', '_', 'S', 'e', 't',
                          0xFF, 0xFF, 2, 0, 3, 0, 'F', 'i', 't', 0x01, 0x80, 0x03, 0x80};
  EXPECT_EQ(out.bytes(), expected);

  ArchiveReader in(out.bytes());
  const char* names[] = {"Data_Set", "Fit", "Data_Set", "Fit"};
  for (const char* name : names) {
    const ObjectTag tag = in.ReadObjectTag();
    ASSERT_EQ(tag.kind, ObjectTag::Kind::NewObject);
    EXPECT_EQ(tag.objectClass->name, name);
    EXPECT_EQ(tag.objectClass->schema, std::string(name) == "Fit" ? 2 : 4);
  }
  EXPECT_TRUE(in.AtEnd());
}

// A class first seen after 32766 numbers are taken is tagged in the large form.
TEST(Archive, LargeClassNumbersUseTheBigTag) {
  ArchiveWriter out;
  for (int k = 0; k < 0x7FFF; ++k) out.NewObjectTag("A", 1);  // class 1, objects 2..0x8000
  const size_t before = out.bytes().size();
  out.NewObjectTag("B", 1);  // class 0x8001
  out.NewObjectTag("B", 1);
  const Bytes tail(out.bytes().begin() + static_cast<long>(before), out.bytes().end());
  EXPECT_EQ(tail, (Bytes{0xFF, 0xFF, 1, 0, 1, 0, 'B', 0xFF, 0x7F, 0x01, 0x80, 0x00, 0x80}));

  ArchiveReader in(out.bytes());
  for (int k = 0; k < 0x7FFF; ++k) ASSERT_EQ(in.ReadObjectTag().objectClass->name, "A");
  EXPECT_EQ(in.ReadObjectTag().objectClass->name, "B");
  const ObjectTag big = in.ReadObjectTag();
  ASSERT_EQ(big.kind, ObjectTag::Kind::NewObject);
  EXPECT_EQ(big.objectClass->name, "B");
  EXPECT_TRUE(in.AtEnd());
}

TEST(Archive, TagsThatNameNoClassOrAnObjectAreTold) {
  struct Case {
    const char* what;
    Bytes tag;  // read after class 1 (object 2) was defined
    ObjectTag::Kind kind;
  };
  const Case cases[] = {
      {"null", {0x00, 0x00}, ObjectTag::Kind::Null},
      {"reference", {0x02, 0x00}, ObjectTag::Kind::Reference},
      {"big reference", {0xFF, 0x7F, 2, 0, 0, 0}, ObjectTag::Kind::Reference},
      {"class never defined", {0x05, 0x80}, ObjectTag::Kind::Invalid},
      {"object used as class", {0x02, 0x80}, ObjectTag::Kind::Invalid},
      {"big class never defined", {0xFF, 0x7F, 9, 0, 0, 0x80}, ObjectTag::Kind::Invalid},
      {"empty class name", {0xFF, 0xFF, 1, 0, 0, 0}, ObjectTag::Kind::Invalid},
      {"class name past the end", {0xFF, 0xFF, 1, 0, 9, 0, 'A'}, ObjectTag::Kind::Invalid},
      {"tag cut short", {0x01}, ObjectTag::Kind::Invalid},
  };
  for (const auto& c : cases) {
    Bytes bytes = {0xFF, 0xFF, 1, 0, 1, 0, 'A'};
    bytes.insert(bytes.end(), c.tag.begin(), c.tag.end());
    ArchiveReader in(bytes);
    ASSERT_EQ(in.ReadObjectTag().kind, ObjectTag::Kind::NewObject) << c.what;
    EXPECT_EQ(in.ReadObjectTag().kind, c.kind) << c.what;
    EXPECT_EQ(in.ok(), c.kind != ObjectTag::Kind::Invalid) << c.what;
  }
}

}  // namespace
}  // namespace zentrel
