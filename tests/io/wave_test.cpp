// WAV import: the RIFF walk, the accepted format, and the resulting points.

#include "io/wave.h"

#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
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

// The extensible format chunk: samples of `validBits` in containers of
// `bits`, stored as `subFormat` (1 PCM, 3 float) under the standard GUID.
std::string Extensible(std::uint16_t channels, std::uint32_t rate, std::uint16_t bits, std::uint16_t validBits,
                       std::uint16_t subFormat, const std::string& guidTail = std::string(
                           "\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14)) {
  return Chunk("fmt ", U16(0xFFFE) + U16(channels) + U32(rate) + U32(rate * channels * bits / 8) +
                           U16(static_cast<std::uint16_t>(channels * bits / 8)) + U16(bits) + U16(22) +
                           U16(validBits) + U32(3) + U16(subFormat) + guidTail);
}

std::string Bytes32(std::uint32_t v) { return U32(v); }
std::string Float32(float f) { return U32(std::bit_cast<std::uint32_t>(f)); }
std::string Float64(double d) {
  const auto bits = std::bit_cast<std::uint64_t>(d);
  return U32(static_cast<std::uint32_t>(bits)) + U32(static_cast<std::uint32_t>(bits >> 32));
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
    {"compressed", Riff(Format(2, 1, 8000, 8) + data), false},
    {"12-bit", Riff(Format(1, 1, 8000, 12) + data), false},
    {"16-bit float", Riff(Format(3, 1, 8000, 16) + data), false},
    {"no channels", Riff(Format(1, 0, 8000, 8) + data), false},
    {"300 channels", Riff(Format(1, 300, 8000, 8) + Chunk("data", std::string(300, 'a'))), false},
    {"block alignment of 2 for mono 8-bit (read as one byte per sample, as always)",
     Riff(Chunk("fmt ", U16(1) + U16(1) + U32(8000) + U32(8000) + U16(2) + U16(8)) + data), true},
    {"block alignment of 2 for stereo 16-bit",
     Riff(Chunk("fmt ", U16(1) + U16(2) + U32(8000) + U32(32000) + U16(2) + U16(16)) + Chunk("data", "abcdefgh")),
     false},
    {"extensible of an unknown sub-format", Riff(Extensible(1, 8000, 8, 8, 1, std::string(14, 'x')) + data), false},
    {"extensible fmt chunk too short", Riff(Chunk("fmt ", Extensible(1, 8000, 8, 8, 1).substr(8, 20)) + data), false},
    {"data smaller than one frame", Riff(Format(1, 2, 8000, 16) + data), false},
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

// Every stored form read to its values, channel by channel (x is checked
// by the tests above).
TEST(ParseWave, EveryStoredFormToItsValues) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::vector<double>> channels;
  };
  const Case cases[] = {
    {"8-bit stereo stays unsigned", Riff(Format(1, 2, 8000, 8) + Chunk("data", "\x01\x02\xfe\xff")), {{1, 254}, {2, 255}}},
    {"16-bit stereo", Riff(Format(1, 2, 8000, 16) + Chunk("data", U16(1) + U16(0xFFFF) + U16(32767) + U16(0x8000))),
     {{1, 32767}, {-1, -32768}}},
    {"24-bit mono with negatives, padded, before another chunk",
     Riff(Format(1, 1, 8000, 24) + Chunk("data", std::string("\xff\xff\xff\x00\x00\x80\xff\xff\x7f", 9)) +
          Chunk("LIST", "a")),
     {{-1, -8388608, 8388607}}},
    {"32-bit integers", Riff(Format(1, 1, 8000, 32) + Chunk("data", Bytes32(0x80000000u) + Bytes32(5))),
     {{-2147483648.0, 5}}},
    {"32-bit float stereo", Riff(Format(3, 2, 8000, 32) + Chunk("data", Float32(0.5f) + Float32(-1.25f) +
                                                                       Float32(3.4e38f) + Float32(0.1f))),
     {{0.5, 3.4e38f}, {-1.25, 0.1f}}},
    {"64-bit float, NaN as stored", Riff(Format(3, 1, 8000, 64) + Chunk("data", Float64(0.1) + Float64(kNaN))),
     {{0.1, kNaN}}},
    {"extensible 16-bit PCM", Riff(Extensible(2, 8000, 16, 16, 1) + Chunk("data", U16(7) + U16(0xFFF9))), {{7}, {-7}}},
    {"extensible 24 valid bits in 32", Riff(Extensible(1, 8000, 32, 24, 1) + Chunk("data", Bytes32(0x100) + Bytes32(0xFFFFFF00u))),
     {{1, -1}}},
    {"extensible float", Riff(Extensible(1, 8000, 32, 32, 3) + Chunk("data", Float32(-2.5f))), {{-2.5}}},
    {"a part frame at the end is left out", Riff(Format(1, 2, 8000, 16) + Chunk("data", U16(1) + U16(2) + U16(3))),
     {{1}, {2}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto wave = Parse(c.bytes);
    ASSERT_TRUE(wave.has_value());
    ASSERT_EQ(wave->channels, static_cast<int>(c.channels.size()));
    for (int channel = 0; channel < wave->channels; ++channel) {
      Data_Set set;
      ASSERT_EQ(FillFromWave(set, *wave, channel), kIoOk);
      const std::vector<double> got = Column(set, 1);
      const std::vector<double>& want = c.channels[static_cast<size_t>(channel)];
      ASSERT_EQ(got.size(), want.size()) << "channel " << channel;
      for (size_t i = 0; i < got.size(); ++i) EXPECT_TRUE(testing::SameBits(got[i], want[i])) << got[i];
      if (set.PointCount(0) > 1) {
        EXPECT_EQ(set.GetValue(0, 1), 0.000125);
      }
    }
  }
}

TEST(ReadWaveChannels, OneSetPerChannelNamedByChannel) {
  testing::TempDir dir;
  testing::WriteBytes(dir.file("stereo.wav"), Riff(Format(1, 2, 2, 16) + Chunk("data", U16(1) + U16(2) + U16(3) + U16(4))));
  testing::WriteBytes(dir.file("mono.wav"), Riff(Format(1, 1, 2, 16) + Chunk("data", U16(1) + U16(2))));
  std::vector<std::unique_ptr<Data_Set>> sets;
  ASSERT_EQ(ReadWaveChannels(sets, dir.file("stereo.wav")), kIoOk);
  ASSERT_EQ(sets.size(), 2u);
  EXPECT_EQ(sets[0]->name, dir.file("stereo.wav") + ": channel 1");
  EXPECT_EQ(sets[1]->name, dir.file("stereo.wav") + ": channel 2");
  EXPECT_EQ(Column(*sets[1], 0), (std::vector<double>{0, 0.5}));
  EXPECT_EQ(Column(*sets[1], 1), (std::vector<double>{2, 4}));
  EXPECT_FALSE(sets[1]->modified);
  ASSERT_EQ(ReadWaveChannels(sets, dir.file("mono.wav")), kIoOk);
  ASSERT_EQ(sets.size(), 1u);
  EXPECT_EQ(sets[0]->name, dir.file("mono.wav"));
  std::string why;
  EXPECT_EQ(ReadWaveChannels(sets, dir.file("none.wav"), &why), kIoCannotOpen);
  EXPECT_TRUE(sets.empty());
  EXPECT_EQ(why, "no such file");
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
