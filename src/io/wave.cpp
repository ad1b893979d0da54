#include "io/wave.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "io/byte_source.h"
#include "io/io_status.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

struct Chunk {
  std::uint64_t start = 0;  // first byte of the chunk's data
  std::uint32_t size = 0;
  std::uint64_t next() const { return start + size + (size & 1u); }  // past the pad byte
};

std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Get16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// The first chunk named `id` whose header starts in [from, end).
std::optional<Chunk> FindChunk(const ByteSource& source, std::uint64_t from, std::uint64_t end, const char* id) {
  std::uint64_t at = from;
  while (at + 8 <= end) {
    std::uint8_t header[8];
    if (source.readAt(at, header, 8) < 8) return std::nullopt;
    const Chunk chunk{at + 8, Get32(header + 4)};
    if (std::memcmp(header, id, 4) == 0) return chunk;
    at = chunk.next();
  }
  return std::nullopt;
}

}  // namespace

std::optional<WaveSamples> ParseWave(const ByteSource& source, std::string* whyNot) {
  const auto refuse = [whyNot](const char* why) -> std::optional<WaveSamples> {
    if (whyNot != nullptr) *whyNot = why;
    return std::nullopt;
  };
  const std::uint64_t fileSize = source.size();
  std::uint8_t riff[12];
  if (source.readAt(0, riff, 12) < 12) return refuse("not a WAV file (shorter than a RIFF header)");
  if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
    return refuse("not a WAV file (no RIFF WAVE header)");
  const std::uint64_t formEnd = std::min<std::uint64_t>(8 + std::uint64_t{Get32(riff + 4)}, fileSize);

  const auto format = FindChunk(source, 12, formEnd, "fmt ");
  if (!format || format->size < 16) return refuse("WAV file without a format chunk");
  std::uint8_t fields[16];
  if (source.readAt(format->start, fields, 16) < 16) return refuse("truncated WAV file (format chunk cut short)");
  const std::uint16_t tag = Get16(fields);
  const std::uint16_t channels = Get16(fields + 2);
  const std::uint32_t rate = Get32(fields + 4);
  const std::uint16_t bits = Get16(fields + 14);
  if (tag != 1) return refuse("compressed WAV data; only 8-bit mono PCM is read");
  if (channels != 1) return refuse("more than one channel; only 8-bit mono PCM is read");
  if (bits != 8) return refuse("not 8 bits per sample; only 8-bit mono PCM is read");
  // Without a sample rate there is no time axis.
  if (rate == 0) return refuse("WAV file with a sample rate of 0");

  const auto data = FindChunk(source, format->next(), formEnd, "data");
  if (!data) {
    // The RIFF header promised more than the file holds: it was cut short.
    if (8 + std::uint64_t{Get32(riff + 4)} > fileSize) return refuse("truncated WAV file (no data chunk)");
    return refuse("WAV file without a data chunk after its format chunk");
  }
  if (data->size == 0) return refuse("WAV file with no samples");
  if (data->start + data->size > fileSize) return refuse("truncated WAV file (data chunk cut short)");
  if (data->size > static_cast<std::uint32_t>(INT_MAX)) return refuse("too large");
  WaveSamples wave;
  wave.sampleRate = rate;
  try {
    wave.samples.resize(data->size);
  } catch (const std::bad_alloc&) {
    return refuse("too large");
  }
  if (source.readAt(data->start, wave.samples.data(), data->size) < data->size) return refuse("read error");
  return wave;
}

std::optional<WaveSamples> ReadWaveSamples(const std::string& path, std::string* whyNot) {
  OpenError error = OpenError::None;
  auto file = InputFile::Open(path, &error);
  if (!file) {
    if (whyNot != nullptr) *whyNot = OpenErrorText(error);
    return std::nullopt;
  }
  return ParseWave(*file, whyNot);
}

int FillFromWave(Data_Set& set, const WaveSamples& wave) {
  const auto n = static_cast<int>(wave.samples.size());
  set.Reserve(0, n);
  set.Reserve(1, n);
  // Sample i is at i / rate seconds: computed afresh, as a sum of steps
  // drifts over a long recording.
  const auto rate = static_cast<double>(wave.sampleRate);
  for (int i = 0; i < n; ++i) {
    set.SetValue(0, i, i / rate);
    set.SetValue(1, i, wave.samples[static_cast<size_t>(i)]);
  }
  set.modified = false;
  return kIoOk;
}

int ReadWaveFile(Data_Set& set, const std::string& path, std::string* whyNot) {
  set.name = path;
  try {
    const auto wave = ReadWaveSamples(path, whyNot);
    if (!wave) return kIoCannotOpen;
    return FillFromWave(set, *wave);
  } catch (const std::bad_alloc&) {
    if (whyNot != nullptr) *whyNot = "too large";
    return kIoCannotOpen;
  }
}

}  // namespace zentrel
