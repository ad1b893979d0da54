#pragma once
// WAV import: uncompressed PCM of 8, 16, 24 or 32 bits, or 32- or 64-bit
// floats, in one channel or several, also in the extensible form of the
// format chunk. Our own RIFF reader: the file must start with a RIFF chunk
// of form "WAVE"; inside it "fmt " is found among any other chunks, then
// "data" is searched after it; odd-sized chunks are followed by a pad byte.
// Chunk sizes are never trusted beyond the file.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

class ByteSource;
class Data_Set;

// How one sample is stored, little-endian.
enum class WaveSampleType {
  Unsigned,  // 8 bits, 0..255
  Signed,    // 16, 24 or 32 bits, two's complement
  Float,     // 32 or 64 bits, IEEE
};

struct WaveSamples {
  std::vector<std::uint8_t> samples;  // the data chunk's whole frames, as stored
  std::uint32_t sampleRate = 0;
  int channels = 1;
  int bytesPerSample = 1;
  WaveSampleType type = WaveSampleType::Unsigned;
  // Integer samples of fewer valid bits than they take are stored in the
  // high bits; their value is the stored one over 2^paddingBits.
  int paddingBits = 0;

  int frames() const;
  double value(int frame, int channel) const;
};

// Nothing when the data is not a WAVE of a kind listed above, with a sample
// rate, a block alignment that matches its channels and sample size, and a
// "data" chunk that holds at least one frame and lies wholly in the file;
// `whyNot`, when given, then says why in words for "Couldn't open file
// NAME: ". Bytes after the last whole frame are ignored.
std::optional<WaveSamples> ParseWave(const ByteSource& source, std::string* whyNot = nullptr);
std::optional<WaveSamples> ReadWaveSamples(const std::string& path, std::string* whyNot = nullptr);

// One point per frame of one channel (0 the first): x from 0 in steps of
// 1 / rate (sample i at i / rate), y the sample value as stored: 8-bit
// samples 0..255, wider integers signed, floats as they are. Clears
// `modified`. Returns kIoOk.
int FillFromWave(Data_Set& set, const WaveSamples& wave, int channel = 0);

// The name of the set of a channel: the file's for a mono file,
// "FILE: channel 2" (counted from 1) for one of several.
std::string WaveChannelName(std::string_view file, int channel, int channels);

// Reads the first channel of a WAV file into an empty set; the set's name
// becomes `path`. kIoOk, or kIoCannotOpen for any failure, with the reason
// in `whyNot`.
int ReadWaveFile(Data_Set& set, const std::string& path, std::string* whyNot = nullptr);

// Reads every channel of a WAV file into a set of its own, named by
// WaveChannelName(path, ...); `sets` is replaced. Fails as ReadWaveFile.
int ReadWaveChannels(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path,
                     std::string* whyNot = nullptr);

}  // namespace zentrel
