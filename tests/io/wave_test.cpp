// WAV import: the RIFF walk, the accepted format, and the resulting points.

#include "io/wave.h"

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "io/byte_source.h"
#include "io/io_status.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::Column;

std::string U32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}
std::string U16(std::uint16_t v) { return {static_cast<char>(v), static_cast<char>(v >> 8)}; }

std::string Chunk(const std::string& id, const std::string& body, bool pad = true) {
  std::string chunk = id + U32(static_cast<std::uint32_t>(body.size())) + body;
  if (pad && body.size() % 2 == 1) chunk += '\0';
  return chunk;
}

std::string Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
  return Chunk("fmt ", U16(tag) + U16(channels) + U32(rate) + U32(rate * channels * bits / 8) +
                           U16(static_cast<std::uint16_t>(channels * bits / 8)) + U16(bits));
}

std::string Riff(const std::string& chunks) { return "RIFF" + U32(static_cast<std::uint32_t>(4 + chunks.size())) + "WAVE" + chunks; }

std::optional<WaveSamples> Parse(const std::string& bytes) {
  return ParseWave(MemorySource({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}));
}

const std::string kSamples("\x00\x80\xff", 3);

TEST(ParseWave, EightBitMonoAtEightKilohertz) {
  const auto wave = Parse(Riff(Format(1, 1, 8000, 8) + Chunk("data", kSamples)));
  ASSERT_TRUE(wave.has_value());
  Data_Set set;
  ASSERT_EQ(FillFromWave(set, *wave), kIoOk);
  EXPECT_EQ(Column(set, 0), (std::vector<double>{0, 0.000125, 0.00025}));
  EXPECT_EQ(Column(set, 1), (std::vector<double>{0, 128, 255}));
  EXPECT_FALSE(set.modified);
}

TEST(ParseWave, SampleTimesDoNotDriftOverALongRecording) {
  const auto wave = Parse(Riff(Format(1, 1, 44100, 8) + Chunk("data", std::string(44101, '\x80'))));
  ASSERT_TRUE(wave.has_value());
  Data_Set set;
  ASSERT_EQ(FillFromWave(set, *wave), kIoOk);
  EXPECT_EQ(set.GetValue(0, 44100), 1.0);  // one second in, exactly
  EXPECT_EQ(set.GetValue(0, 12345), 12345 / 44100.0);
}

TEST(ParseWave, WhichFilesAreAccepted) {
  const std::string data = Chunk("data", kSamples);
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
  };
  const std::string good = Riff(Format(1, 1, 8000, 8) + data);
  const Case cases[] = {
    {"other chunks first, odd sizes padded",
     Riff(Chunk("LIST", "abc") + Chunk("junk", "") + Format(1, 1, 8000, 8) + Chunk("fact", "x") + data), true},
    {"RIFF size beyond the file", "RIFF" + U32(0xFFFFFFF0u) + good.substr(8), true},
    {"a longer fmt chunk", Riff(Chunk("fmt ", Format(1, 1, 8000, 8).substr(8) + "\x00\x00", true) + data), true},
    {"16-bit", Riff(Format(1, 1, 8000, 16) + data), false},
    {"stereo", Riff(Format(1, 2, 8000, 8) + data), false},
    {"compressed", Riff(Format(2, 1, 8000, 8) + data), false},
    {"no sample rate", Riff(Format(1, 1, 0, 8) + data), false},
    {"empty data chunk", Riff(Format(1, 1, 8000, 8) + Chunk("data", "")), false},
    {"data shorter than declared", Riff(Format(1, 1, 8000, 8) + "data" + U32(100) + "abc"), false},
    {"data chunk size far beyond the file", Riff(Format(1, 1, 8000, 8) + "data" + U32(0xFFFFFFFFu) + "a"), false},
    {"data before fmt", Riff(data + Format(1, 1, 8000, 8)), false},
    {"no data chunk", Riff(Format(1, 1, 8000, 8)), false},
    {"fmt chunk too short", Riff(Chunk("fmt ", "\x01\x00\x01\x00") + data), false},
    {"fmt size beyond the file", Riff("fmt " + U32(0x7FFFFFFF) + Format(1, 1, 8000, 8).substr(8) + data), false},
    {"RIFF size hides the chunks", "RIFF" + U32(4) + good.substr(8), false},
    {"not WAVE", "RIFF" + U32(100) + "AVI " + good.substr(12), false},
    {"not RIFF", "RIFX" + good.substr(4), false},
    {"truncated header", good.substr(0, 10), false},
    {"nothing", "", false},
  };
  for (const auto& c : cases) {
    const auto wave = Parse(c.bytes);
    EXPECT_EQ(wave.has_value(), c.ok) << c.name;
    if (wave) {
      EXPECT_EQ(wave->samples.size(), 3u) << c.name;
    }
  }
}

TEST(ReadWaveFile, NamesTheSetAndFailsForMissingFiles) {
  testing::TempDir dir;
  testing::WriteBytes(dir.file("tone.wav"), Riff(Format(1, 1, 4, 8) + Chunk("data", "\x01\x02\x03\x04\x05")));
  Data_Set set;
  ASSERT_EQ(ReadWaveFile(set, dir.file("tone.wav")), kIoOk);
  EXPECT_EQ(set.name, dir.file("tone.wav"));
  EXPECT_EQ(Column(set, 0), (std::vector<double>{0, 0.25, 0.5, 0.75, 1.0}));
  Data_Set missing;
  EXPECT_EQ(ReadWaveFile(missing, dir.file("none.wav")), kIoCannotOpen);
}

}  // namespace
}  // namespace zentrel
