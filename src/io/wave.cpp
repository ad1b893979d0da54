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

// The tail of the GUID of the extensible format chunk's sub-format, after
// its first two bytes (the format tag the samples are stored in).
constexpr std::uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
constexpr std::uint16_t kTagPcm = 1;
constexpr std::uint16_t kTagFloat = 3;
constexpr std::uint16_t kTagExtensible = 0xFFFE;
constexpr int kMostChannels = 256;

std::int32_t SignExtend(std::uint32_t bits, int width) {
  const std::uint32_t sign = std::uint32_t{1} << (width - 1);
  return static_cast<std::int32_t>((bits ^ sign) - sign);
}

}  // namespace

int WaveSamples::frames() const {
  const std::size_t frame = static_cast<std::size_t>(channels) * static_cast<std::size_t>(bytesPerSample);
  return frame == 0 ? 0 : static_cast<int>(samples.size() / frame);
}

double WaveSamples::value(int frame, int channel) const {
  const std::uint8_t* p = samples.data() +
                          (static_cast<std::size_t>(frame) * static_cast<std::size_t>(channels) +
                           static_cast<std::size_t>(channel)) * static_cast<std::size_t>(bytesPerSample);
  double stored = 0.0;
  switch (type) {
    case WaveSampleType::Unsigned: stored = p[0]; break;
    case WaveSampleType::Signed:
      switch (bytesPerSample) {
        case 2: stored = SignExtend(Get16(p), 16); break;
        case 3: stored = SignExtend(Get16(p) | (std::uint32_t{p[2]} << 16), 24); break;
        default: stored = SignExtend(Get32(p), 32); break;
      }
      break;
    case WaveSampleType::Float:
      if (bytesPerSample == 4) {
        float f;
        std::memcpy(&f, p, 4);  // little-endian hosts only, as the rest of the readers
        stored = f;
      } else {
        std::memcpy(&stored, p, 8);
      }
      break;
  }
  // Exact: a power of two.
  return paddingBits == 0 ? stored : stored / static_cast<double>(std::uint64_t{1} << paddingBits);
}

std::optional<WaveSamples> ParseWave(const ByteSource& source, std::string* whyNot) {
  const auto refuse = [whyNot](const std::string& why) -> std::optional<WaveSamples> {
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
  std::uint8_t fields[40];
  if (source.readAt(format->start, fields, 16) < 16) return refuse("truncated WAV file (format chunk cut short)");
  std::uint16_t tag = Get16(fields);
  const std::uint16_t channels = Get16(fields + 2);
  const std::uint32_t rate = Get32(fields + 4);
  const std::uint16_t blockAlign = Get16(fields + 12);
  const std::uint16_t bits = Get16(fields + 14);
  int validBits = bits;
  if (tag == kTagExtensible) {
    if (format->size < 40 || source.readAt(format->start + 16, fields + 16, 24) < 24)
      return refuse("truncated WAV file (extensible format chunk cut short)");
    if (std::memcmp(fields + 26, kSubFormatTail, sizeof kSubFormatTail) != 0)
      return refuse("WAV data in an unknown format; only PCM and float samples are read");
    tag = Get16(fields + 24);
    const std::uint16_t valid = Get16(fields + 18);
    if (valid > 0 && valid < bits) validBits = valid;
  }
  if (tag != kTagPcm && tag != kTagFloat)
    return refuse("compressed WAV data (format " + std::to_string(tag) + "); only PCM and float samples are read");
  if (tag == kTagPcm && bits != 8 && bits != 16 && bits != 24 && bits != 32)
    return refuse(std::to_string(bits) + "-bit samples; only 8, 16, 24 and 32 bits are read");
  if (tag == kTagFloat && bits != 32 && bits != 64)
    return refuse(std::to_string(bits) + "-bit float samples; only 32 and 64 bits are read");
  if (channels == 0) return refuse("WAV file without channels");
  if (channels > kMostChannels) return refuse("more than " + std::to_string(kMostChannels) + " channels");
  const std::uint32_t frameBytes = channels * (bits / 8u);
  // 8-bit mono files were always read whatever their block alignment said:
  // one byte is one sample, so they still are.
  const bool byteSamples = tag == kTagPcm && bits == 8 && channels == 1;
  if (blockAlign != frameBytes && !byteSamples)
    return refuse("block alignment of " + std::to_string(blockAlign) + " bytes for " + std::to_string(channels) +
                  (channels == 1 ? " channel" : " channels") + " of " + std::to_string(bits) + " bits");
  // Without a sample rate there is no time axis.
  if (rate == 0) return refuse("WAV file with a sample rate of 0");

  const auto data = FindChunk(source, format->next(), formEnd, "data");
  if (!data) {
    // The RIFF header promised more than the file holds: it was cut short.
    if (8 + std::uint64_t{Get32(riff + 4)} > fileSize) return refuse("truncated WAV file (no data chunk)");
    return refuse("WAV file without a data chunk after its format chunk");
  }
  const std::uint32_t used = data->size - data->size % frameBytes;
  if (used == 0) return refuse("WAV file with no samples");
  if (data->start + data->size > fileSize) return refuse("truncated WAV file (data chunk cut short)");
  if (data->size > static_cast<std::uint32_t>(INT_MAX)) return refuse("too large");
  WaveSamples wave;
  wave.sampleRate = rate;
  wave.channels = channels;
  wave.bytesPerSample = bits / 8;
  wave.type = tag == kTagFloat ? WaveSampleType::Float : bits == 8 ? WaveSampleType::Unsigned : WaveSampleType::Signed;
  if (tag == kTagPcm) wave.paddingBits = bits - validBits;
  try {
    wave.samples.resize(used);
  } catch (const std::bad_alloc&) {
    return refuse("too large");
  }
  if (source.readAt(data->start, wave.samples.data(), used) < used) return refuse("read error");
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

int FillFromWave(Data_Set& set, const WaveSamples& wave, int channel) {
  const int n = wave.frames();
  set.Reserve(0, n);
  set.Reserve(1, n);
  // Sample i is at i / rate seconds: computed afresh, as a sum of steps
  // drifts over a long recording.
  const auto rate = static_cast<double>(wave.sampleRate);
  for (int i = 0; i < n; ++i) {
    set.SetValue(0, i, i / rate);
    set.SetValue(1, i, wave.value(i, channel));
  }
  set.modified = false;
  return kIoOk;
}

std::string WaveChannelName(std::string_view file, int channel, int channels) {
  std::string name(file);
  if (channels > 1) name += ": channel " + std::to_string(channel + 1);
  return name;
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

int ReadWaveChannels(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path, std::string* whyNot) {
  sets.clear();
  try {
    const auto wave = ReadWaveSamples(path, whyNot);
    if (!wave) return kIoCannotOpen;
    for (int channel = 0; channel < wave->channels; ++channel) {
      auto set = std::make_unique<Data_Set>();
      FillFromWave(*set, *wave, channel);
      set->name = WaveChannelName(path, channel, wave->channels);
      sets.push_back(std::move(set));
    }
    return kIoOk;
  } catch (const std::bad_alloc&) {
    sets.clear();
    if (whyNot != nullptr) *whyNot = "too large";
    return kIoCannotOpen;
  }
}

}  // namespace zentrel
