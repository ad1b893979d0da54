#pragma once
// WAV import: uncompressed 8-bit mono PCM only. Our own RIFF reader: the
// file must start with a RIFF chunk of form "WAVE"; inside it "fmt " is
// found among any other chunks, then "data" is searched after it; odd-sized
// chunks are followed by a pad byte. Chunk sizes are never trusted beyond
// the file.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zentrel {

class ByteSource;
class Data_Set;

struct WaveSamples {
  std::vector<std::uint8_t> samples;
  std::uint32_t sampleRate = 0;
};

// Nothing when the data is not an 8-bit mono PCM WAVE with a sample rate
// and a non-empty "data" chunk that lies wholly in the file; `whyNot`, when
// given, then says why in words for "Couldn't open file NAME: ".
std::optional<WaveSamples> ParseWave(const ByteSource& source, std::string* whyNot = nullptr);
std::optional<WaveSamples> ReadWaveSamples(const std::string& path, std::string* whyNot = nullptr);

// One point per sample: x from 0 in steps of 1 / rate (accumulated), y the
// sample byte 0..255. Clears `modified`. Returns kIoOk.
int FillFromWave(Data_Set& set, const WaveSamples& wave);

// Reads a WAV file into an empty set; the set's name becomes `path`.
// kIoOk, or kIoCannotOpen for any failure, with the reason in `whyNot`.
int ReadWaveFile(Data_Set& set, const std::string& path, std::string* whyNot = nullptr);

}  // namespace zentrel
