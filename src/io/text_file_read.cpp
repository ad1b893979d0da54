// ReadTextFile: a text file read block by block, on one thread or, for a
// large file, on two (the first piece on the calling thread, which alone
// reports progress, the second on a worker).

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>
#include <new>
#include <stdexcept>
#include <stop_token>
#include <system_error>
#include <thread>
#include <vector>

#include "io/byte_source.h"
#include "io/io_status.h"
#include "io/text_reader.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

constexpr std::uint64_t kToTheEnd = std::numeric_limits<std::uint64_t>::max();
constexpr std::size_t kSmallestBlock = 4 * TextDataReader::kLineBuffer;
// The bytes looked at a time for a line end near the split.
constexpr std::size_t kSearchWindow = 64 * 1024;

// Told the bytes of each read (0 once the end is reached); false stops.
using AfterRead = std::function<bool(std::size_t bytes)>;

// Feeds `reader` the file's bytes from `from` up to `to` (or the end of the
// file), a block at a time, and sets `end` to where the bytes read ended.
// kIoOk (also when the reader stopped by itself), kIoCannotOpen on a read
// error, kIoCancelled when `afterRead` answered false.
int FeedBlocks(TextDataReader& reader, const InputFile& file, std::uint64_t from, std::uint64_t to,
               std::size_t blockBytes, const AfterRead& afterRead, std::uint64_t& end) {
  std::vector<char> buffer(std::max(blockBytes, kSmallestBlock));
  std::size_t filled = 0;
  end = from;
  bool atEnd = false;
  while (true) {
    if (!atEnd) {
      const auto room = static_cast<std::uint64_t>(buffer.size() - filled);
      const auto wanted = static_cast<std::size_t>(std::min(room, to - end));
      const std::ptrdiff_t n = wanted > 0 ? file.readFrom(end, buffer.data() + filled, wanted) : 0;
      if (n < 0) return kIoCannotOpen;
      if (n == 0) atEnd = true;
      filled += static_cast<std::size_t>(n);
      end += static_cast<std::uint64_t>(n);
      if (!afterRead(static_cast<std::size_t>(n))) return kIoCancelled;
    }
    const std::size_t used = reader.consume(buffer.data(), filled, atEnd);
    if (reader.overLimit()) return kIoOk;
    std::memmove(buffer.data(), buffer.data() + used, filled - used);
    filled -= used;
    if (atEnd) return kIoOk;
  }
}

// The line start after the first line end at or after `near` (LF, CR LF or
// a lone CR): a place where reading in one piece starts a new line piece
// too. `total` when there is none.
std::uint64_t LineStartAfter(const InputFile& file, std::uint64_t near, std::uint64_t total) {
  std::vector<char> window(kSearchWindow);
  for (std::uint64_t at = near; at < total;) {
    const std::ptrdiff_t n = file.readFrom(at, window.data(), window.size());
    if (n <= 0) return total;
    const auto searched = static_cast<std::size_t>(n);
    for (std::size_t i = 0; i < searched; ++i) {
      const char c = window[i];
      if (c == '\n') return std::min(at + i + 1, total);
      if (c != '\r') continue;
      // A CR LF is one line end: the piece must not start at its LF.
      char next = 0;
      if (file.readFrom(at + i + 1, &next, 1) != 1) return total;
      return std::min(at + i + (next == '\n' ? 2 : 1), total);
    }
    at += searched;
  }
  return total;
}

// What the worker shares with the calling thread.
struct SecondPiece {
  Data_Set set;
  TextDataReader reader{set};
  bool complete = false;  // read to the end of the file without error

  std::mutex mutex;
  std::condition_variable changed;
  std::uint64_t bytesRead = 0;  // guarded by mutex
  bool finished = false;        // guarded by mutex
};

void ReadSecondPiece(std::stop_token stop, const InputFile& file, std::uint64_t from, std::size_t blockBytes,
                     SecondPiece& piece) {
  try {
    piece.reader.startMidText(from);
    piece.reader.expectBytes(file.size() - from);
    const AfterRead note = [&](std::size_t bytes) {
      {
        const std::lock_guard lock(piece.mutex);
        piece.bytesRead += bytes;
      }
      piece.changed.notify_one();
      return !stop.stop_requested();
    };
    std::uint64_t end = 0;
    piece.complete = FeedBlocks(piece.reader, file, from, kToTheEnd, blockBytes, note, end) == kIoOk &&
                     !piece.reader.overLimit();
  } catch (const std::exception&) {
    piece.complete = false;  // the first thread reads it itself, or fails the same way
  }
  {
    const std::lock_guard lock(piece.mutex);
    piece.finished = true;
  }
  piece.changed.notify_one();
}

int ReadInOnePiece(TextDataReader& reader, const InputFile& file, const ProgressCallback& progress,
                   std::size_t blockBytes) {
  const std::uint64_t total = file.size();
  std::uint64_t read = 0;
  const AfterRead report = [&](std::size_t bytes) {
    read += bytes;
    const double done = total > 0 ? static_cast<double>(read) / static_cast<double>(total) : 1.0;
    return ContinueAfter(progress, std::min(done, 1.0));
  };
  std::uint64_t end = 0;
  return FeedBlocks(reader, file, 0, kToTheEnd, blockBytes, report, end);
}

int ReadInTwoPieces(TextDataReader& reader, const InputFile& file, std::uint64_t split,
                    const ProgressCallback& progress, std::size_t blockBytes) {
  const auto total = static_cast<double>(file.size());
  SecondPiece second;
  std::uint64_t firstRead = 0;
  double reported = 0.0;
  const auto report = [&]() {
    std::uint64_t secondRead;
    {
      const std::lock_guard lock(second.mutex);
      secondRead = second.bytesRead;
    }
    reported = std::max(reported, std::min(static_cast<double>(firstRead + secondRead) / total, 1.0));
    return ContinueAfter(progress, reported);
  };
  reader.expectBytes(file.size());
  // Declared after `second`, so it is stopped and joined before `second`
  // goes, whichever way this function is left.
  std::jthread worker;
  try {
    worker = std::jthread(ReadSecondPiece, std::cref(file), split, blockBytes, std::ref(second));
  } catch (const std::system_error&) {
    return ReadInOnePiece(reader, file, progress, blockBytes);  // no thread to be had
  }
  std::uint64_t firstEnd = 0;
  const int status = FeedBlocks(
      reader, file, 0, split, blockBytes,
      [&](std::size_t bytes) {
        firstRead += bytes;
        return report();
      },
      firstEnd);
  if (status != kIoOk) return status;
  // A reader that stopped in the first piece would have stopped there
  // reading in one piece too; a file that ended early has no second piece.
  if (reader.overLimit() || firstEnd < split) return kIoOk;

  {
    std::unique_lock lock(second.mutex);
    std::uint64_t seen = second.bytesRead;
    while (!second.finished) {
      second.changed.wait(lock, [&] { return second.finished || second.bytesRead != seen; });
      seen = second.bytesRead;
      lock.unlock();
      if (!report()) return kIoCancelled;
      lock.lock();
    }
  }
  worker.join();
  if (!report()) return kIoCancelled;
  if (second.complete && reader.joinTail(second.reader)) return kIoOk;

  // The second piece cannot be joined as it is (see joinTail): read it again
  // on this thread, going on from where the first piece ended.
  return FeedBlocks(
      reader, file, split, kToTheEnd, blockBytes, [&](std::size_t) { return ContinueAfter(progress, reported); },
      firstEnd);
}

}  // namespace

int ReadTextFile(Data_Set& set, const std::string& path, const ProgressCallback& progress, TextReadInfo* info,
                 const TextReadThreads& threads) {
  set.name = path;
  OpenError openError = OpenError::None;
  auto file = InputFile::Open(path, &openError);
  if (info != nullptr) info->openError = openError;
  if (!file) return kIoCannotOpen;
  try {
    TextDataReader reader(set);
    const std::uint64_t total = file->size();
    int status;
    const std::uint64_t split = total >= threads.splitFrom && total > 0
                                    ? LineStartAfter(*file, threads.splitNear.value_or(total / 2), total)
                                    : total;
    if (split < total) {
      status = ReadInTwoPieces(reader, *file, split, progress, threads.blockBytes);
    } else {
      reader.expectBytes(total);
      status = ReadInOnePiece(reader, *file, progress, threads.blockBytes);
    }
    if (status != kIoOk) return status;
    status = reader.finish();
    if (info != nullptr) {
      const OpenError opened = info->openError;
      *info = reader.info();
      info->openError = opened;
    }
    return status;
  } catch (const std::bad_alloc&) {
    return kIoTooLarge;
  }
}

}  // namespace zentrel
