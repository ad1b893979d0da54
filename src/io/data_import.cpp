#include "io/data_import.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "io/text_reader.h"
#include "io/wave.h"
#include "model/data_set.h"

namespace zentrel {

namespace {

std::string Count(int n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ShortestNumber(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

int LongestColumn(const Data_Set& set) {
  int points = 0;
  for (int c = 0; c < set.ColumnCount(); ++c) points = std::max(points, set.PointCount(c));
  return points;
}

std::string TextFailure(int status, const TextReadInfo& info) {
  switch (status) {
    case kIoCannotOpen:
      return info.openError != OpenError::None ? OpenErrorText(info.openError) : "read error";
    case kIoTooLarge: return "too large";
    case kIoBinary: return BinarySignText(info.binary);
    default: return "unreadable";
  }
}

std::string FsdataFailure(int status, const FsdataReadInfo& info) {
  switch (status) {
    case kIoCannotOpen:
      return info.openError != OpenError::None ? OpenErrorText(info.openError) : "read error";
    case kIoBadFormat: return "truncated: shorter than the FSdata header";
    case kIoNoPoints: return "the FSdata length field declares no points";
    default: return "unreadable";
  }
}

ImportReport ReadText(Data_Set& set, const std::string& path, const ProgressCallback& progress) {
  ImportReport report;
  TextReadInfo info;
  report.status = ReadTextFile(set, path, progress, &info);
  if (report.status == kIoOk) {
    report.linesSkipped = info.linesSkipped;
    report.twoLineHeader = info.twoLineHeader;
    report.headerScale = info.headerScale;
    report.singleColumn = info.singleColumn;
    report.columns = info.fields;
  } else if (report.status != kIoCancelled) {
    report.reason = TextFailure(report.status, info);
  }
  return report;
}

ImportReport ReadFsdata(Data_Set& set, const std::string& path) {
  ImportReport report;
  report.status = ReadFsdataFile(set, path, &report.fsdata);
  if (report.status != kIoOk) report.reason = FsdataFailure(report.status, report.fsdata);
  return report;
}

ImportReport ReadWave(Data_Set& set, const std::string& path) {
  ImportReport report;
  report.status = ReadWaveFile(set, path, &report.reason);
  if (report.status == kIoOk) report.reason.clear();
  return report;
}

// Why a file that read without error still gave nothing.
std::string NothingRead(DataFormat format, const ImportReport& report) {
  if (format == DataFormat::Fsdata && report.fsdata.declaredPoints > 0)
    return "truncated: holds none of its " + Count(report.fsdata.declaredPoints, "point", "points");
  if (format == DataFormat::Text && report.linesSkipped > 0)
    return "no data lines (" + Count(report.linesSkipped, "line", "lines") + " skipped)";
  return "no data points";
}

}  // namespace

DataFormat DataFormatOf(std::string_view path) {
  const std::size_t dot = path.find_last_of("./\\");
  std::string extension;
  if (dot != std::string_view::npos && path[dot] == '.') {
    for (char c : path.substr(dot)) extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  if (extension == ".dat") return DataFormat::Fsdata;
  if (extension == ".wav") return DataFormat::Wave;
  return DataFormat::Text;
}

ImportReport ImportDataFile(DataFormat format, Data_Set& set, const std::string& path,
                            const ProgressCallback& progress) {
  ImportReport report;
  switch (format) {
    case DataFormat::Text: report = ReadText(set, path, progress); break;
    case DataFormat::Fsdata: report = ReadFsdata(set, path); break;
    case DataFormat::Wave: report = ReadWave(set, path); break;
  }
  if (report.status != kIoOk) return report;
  report.points = LongestColumn(set);
  // Text counts the file's columns (one, for a single column moved to y).
  if (format != DataFormat::Text) report.columns = set.ColumnCount();
  if (report.points == 0) {
    report.status = kIoNoPoints;
    report.reason = NothingRead(format, report);
  }
  return report;
}

ImportReport ImportWaveChannels(std::vector<std::unique_ptr<Data_Set>>& sets, const std::string& path) {
  ImportReport report;
  report.status = ReadWaveChannels(sets, path, &report.reason);
  if (report.status != kIoOk) return report;
  report.reason.clear();
  report.channels = static_cast<int>(sets.size());
  for (const auto& set : sets) {
    report.points = std::max(report.points, LongestColumn(*set));
    report.columns = std::max(report.columns, set->ColumnCount());
  }
  return report;
}

std::string ImportStatusText(const ImportReport& report, std::string_view fileName) {
  if (!report.ok()) return "Couldn't open file " + std::string(fileName) + ": " + report.reason;
  std::string text = "File Opened: " + Count(report.points, "point", "points") + ", " +
                     Count(report.columns, "column", "columns");
  if (report.singleColumn) text += " (x is the point index)";
  if (report.channels > 1) text += ", " + std::to_string(report.channels) + " channels";
  if (report.linesSkipped > 0) text += ", " + Count(report.linesSkipped, "line", "lines") + " skipped";
  if (report.twoLineHeader) text += "; two-line header: x \u00d7 " + ShortestNumber(report.headerScale);
  // A short file loses its missing points; the user must know.
  if (report.fsdata.truncated())
    text += "; the file holds only " + std::to_string(report.fsdata.pointsRead) + " of its " +
            Count(report.fsdata.declaredPoints, "point", "points");
  return text;
}

}  // namespace zentrel
