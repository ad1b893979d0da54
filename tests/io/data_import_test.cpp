// What a person is told after reading a data file of each format: the
// reason of every failure, and what a successful read found.

#include "io/data_import.h"

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include <gtest/gtest.h>

#include "io/fsdata.h"
#include "io_test_support.h"
#include "model/data_set.h"

namespace zentrel {
namespace {

using testing::TempDir;
using testing::WriteBytes;

std::string Little16(int v) { return {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF)}; }

std::string WaveHeader(int channels, int bits, int tag = 1, int blockAlign = -1) {
  std::string fmt = Little16(tag) + Little16(channels) + std::string("\x40\x1f\0\0\x40\x1f\0\0", 8) +
                    Little16(blockAlign >= 0 ? blockAlign : channels * bits / 8) + Little16(bits);
  return "fmt " + std::string("\x10\0\0\0", 4) + fmt;
}

std::string Wave(const std::string& chunks) {
  const auto size = static_cast<char>(4 + chunks.size());
  return "RIFF" + std::string{size, '\0', '\0', '\0'} + "WAVE" + chunks;
}

std::string FsdataOf(int points) {
  Data_Set set;
  for (int i = 0; i < points; ++i) set.SetValue(0, i, i), set.SetValue(1, i, 2.0 * i);
  return FsdataBytes(set);
}

// A file of these bytes read as `format` gives this status text.
struct MessageCase {
  DataFormat format;
  const char* name;
  std::string bytes;
  const char* message;
};

class ImportDataFileTest : public ::testing::Test {
 protected:
  template <std::size_t N>
  void ExpectMessages(const MessageCase (&cases)[N]) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(Message(c.format, c.name, c.bytes), c.message);
    }
  }
  // The status text after reading `bytes` (or nothing: `name` is not made).
  std::string Message(DataFormat format, const std::string& name, const std::string* bytes) {
    if (bytes != nullptr) WriteBytes(dir.file(name), *bytes);
    Data_Set set;
    const ImportReport report = ImportDataFile(format, set, dir.file(name));
    return ImportStatusText(report, name);
  }
  std::string Message(DataFormat format, const std::string& name, const std::string& bytes) {
    return Message(format, name, &bytes);
  }
  TempDir dir;
};

TEST_F(ImportDataFileTest, EveryFailureSaysWhy) {
  const std::string utf16("\xFF\xFE" "1\0 \0" "2\0\n\0", 10);
  const std::string aLaw = Wave(WaveHeader(1, 8, 6) + "data" + std::string("\x02\0\0\0\x01\x02", 6));
  const std::string twelveBit = Wave(WaveHeader(1, 12) + "data" + std::string("\x02\0\0\0\x01\x02", 6));
  const std::string misaligned = Wave(WaveHeader(2, 16, 1, 2) + "data" + std::string("\x02\0\0\0\x01\x02", 6));
  const std::string partFrame = Wave(WaveHeader(2, 16) + "data" + std::string("\x02\0\0\0\x01\x02", 6));
  const std::string cutShort = Wave(WaveHeader(1, 8) + "data" + std::string("\x09\0\0\0\x01\x02", 6));
  const MessageCase cases[] = {
    {DataFormat::Text, "empty.txt", "", "Couldn't open file empty.txt: no data points"},
    {DataFormat::Text, "words.txt", "time voltage\n# none\n", "Couldn't open file words.txt: no data lines (2 lines skipped)"},
    {DataFormat::Text, "nul.txt", std::string("1 2\n\0\0", 6), "Couldn't open file nul.txt: binary data (NUL bytes), not text"},
    {DataFormat::Text, "wide.txt", utf16, "Couldn't open file wide.txt: UTF-16 text; save it as UTF-8 or ASCII"},
    {DataFormat::Text, "bytes.txt", std::string(40, '\xC0') + "\n1 2\xFF\n", "Couldn't open file bytes.txt: binary data (not UTF-8 text)"},
    {DataFormat::Text, "header.txt", "5\n1 2\n", "Couldn't open file header.txt: no data points"},
    {DataFormat::Fsdata, "cut.dat", FsdataOf(3).substr(0, 300), "Couldn't open file cut.dat: truncated: shorter than the FSdata header"},
    {DataFormat::Fsdata, "bare.dat", FsdataOf(3).substr(0, 612), "Couldn't open file bare.dat: truncated: holds none of its 3 points"},
    {DataFormat::Fsdata, "wrapped.dat", FsdataOf(5360), "Couldn't open file wrapped.dat: the FSdata length field declares no points"},
    {DataFormat::Wave, "text.wav", "1 2\n3 4\n5 6\n7 8\n", "Couldn't open file text.wav: not a WAV file (no RIFF WAVE header)"},
    {DataFormat::Wave, "alaw.wav", aLaw, "Couldn't open file alaw.wav: compressed WAV data (format 6); only PCM and float samples are read"},
    {DataFormat::Wave, "pcm12.wav", twelveBit, "Couldn't open file pcm12.wav: 12-bit samples; only 8, 16, 24 and 32 bits are read"},
    {DataFormat::Wave, "align.wav", misaligned, "Couldn't open file align.wav: block alignment of 2 bytes for 2 channels of 16 bits"},
    {DataFormat::Wave, "part.wav", partFrame, "Couldn't open file part.wav: WAV file with no samples"},
    {DataFormat::Wave, "short.wav", cutShort, "Couldn't open file short.wav: truncated WAV file (data chunk cut short)"},
  };
  ExpectMessages(cases);
}

TEST_F(ImportDataFileTest, FilesThatCannotBeOpenedSayWhyInEveryFormat) {
  ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);
  ::mkdir(dir.file("folder").c_str(), 0700);
  WriteBytes(dir.file("locked"), "1 2\n");
  ::chmod(dir.file("locked").c_str(), 0);
  const bool root = ::geteuid() == 0;  // root reads a mode-000 file
  for (DataFormat format : {DataFormat::Text, DataFormat::Fsdata, DataFormat::Wave}) {
    SCOPED_TRACE(static_cast<int>(format));
    EXPECT_EQ(Message(format, "none", nullptr), "Couldn't open file none: no such file");
    EXPECT_EQ(Message(format, "pipe", nullptr), "Couldn't open file pipe: not a regular file");
    EXPECT_EQ(Message(format, "folder", nullptr), "Couldn't open file folder: not a regular file");
    EXPECT_EQ(Message(format, "none/x", nullptr), "Couldn't open file none/x: no such file");
    if (!root) {
      EXPECT_EQ(Message(format, "locked", nullptr), "Couldn't open file locked: permission denied");
    }
  }
}

TEST_F(ImportDataFileTest, SuccessSaysWhatWasRead) {
  std::string many;
  for (int i = 0; i < 512; ++i) many += std::to_string(i) + " " + std::to_string(i % 7) + "\n";
  const std::string tone = Wave(WaveHeader(1, 8) + "data" + std::string("\x03\0\0\0\x00\x80\xff\0", 8));
  const MessageCase cases[] = {
    {DataFormat::Text, "a.txt", "\xEF\xBB\xBF" "1 2\r3 4\r", "File Opened: 2 points, 2 columns"},
    {DataFormat::Text, "b.txt", "1\n", "File Opened: 1 point, 1 column (x is the point index)"},
    // The header rule's condition holds, but one column leaves nothing to scale.
    {DataFormat::Text, "h.txt", "5\n0.5\n", "File Opened: 2 points, 1 column (x is the point index)"},
    {DataFormat::Text, "c.txt", "time volt\n# run\n" + many, "File Opened: 512 points, 2 columns, 2 lines skipped"},
    {DataFormat::Text, "d.txt", "514\n0.5\n" + many, "File Opened: 512 points, 2 columns; two-line header: x \u00d7 0.5"},
    {DataFormat::Fsdata, "e.dat", FsdataOf(3), "File Opened: 3 points, 2 columns"},
    {DataFormat::Fsdata, "f.dat", FsdataOf(4).substr(0, 612 + 8 + 8),
     "File Opened: 2 points, 2 columns; the file holds only 2 of its 4 points"},
    {DataFormat::Wave, "g.wav", tone, "File Opened: 3 points, 2 columns"},
  };
  ExpectMessages(cases);
}

TEST(DataFormatOf, ByExtensionInAnyCase) {
  EXPECT_EQ(DataFormatOf("a/b.DAT"), DataFormat::Fsdata);
  EXPECT_EQ(DataFormatOf("tone.Wav"), DataFormat::Wave);
  EXPECT_EQ(DataFormatOf("x.csv"), DataFormat::Text);
  EXPECT_EQ(DataFormatOf("folder.dat/file"), DataFormat::Text);
  EXPECT_EQ(DataFormatOf("noextension"), DataFormat::Text);
}

}  // namespace
}  // namespace zentrel
