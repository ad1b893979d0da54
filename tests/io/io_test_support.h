#pragma once
// Helpers for the import/export tests: temporary folders, file contents,
// and comparing sets cell by cell (NaN equal to NaN of the same sign).

#include <unistd.h>

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "model/data_set.h"

namespace zentrel::testing {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zentrel-io-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  std::string file(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::vector<double> Column(const Data_Set& set, int c) {
  std::vector<double> values;
  for (int i = 0; i < set.PointCount(c); ++i) values.push_back(set.GetValue(c, i));
  return values;
}

inline bool SameBits(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

// Empty when the sets hold the same columns (bit for bit) and comment, else
// the first difference.
inline std::string DifferenceBetween(const Data_Set& a, const Data_Set& b) {
  if (a.comment != b.comment) return "comments differ";
  if (a.ColumnCount() != b.ColumnCount())
    return "column counts " + std::to_string(a.ColumnCount()) + " and " + std::to_string(b.ColumnCount());
  for (int c = 0; c < a.ColumnCount(); ++c) {
    if (a.PointCount(c) != b.PointCount(c))
      return "column " + std::to_string(c) + " lengths " + std::to_string(a.PointCount(c)) + " and " +
             std::to_string(b.PointCount(c));
    for (int i = 0; i < a.PointCount(c); ++i) {
      const double x = a.GetValue(c, i), y = b.GetValue(c, i);
      if (!SameBits(x, y)) {
        std::ostringstream text;
        text.precision(17);
        text << "cell (" << c << ", " << i << "): " << x << " and " << y;
        return text.str();
      }
    }
  }
  return {};
}

}  // namespace zentrel::testing
