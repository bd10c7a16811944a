// File > "Recent files": the last data files opened, each with its factors file and mode, newest
// first, kept in the window's settings.
#pragma once

#include <QString>
#include <vector>

class QSettings;

namespace varno {

struct RecentFile {
  QString data;
  QString factors;  // empty: opened without a factors file
  int mode = -1;    // the factor mode it was opened with
  bool operator==(const RecentFile&) const = default;
};

class RecentFiles {
 public:
  static constexpr int kLength = 8;

  // Puts the entry first; an entry of the same data file goes, and the oldest beyond kLength.
  void add(const RecentFile& entry);
  void remove(const QString& data);
  const std::vector<RecentFile>& entries() const { return entries_; }

  // Entries without a data file or with a mode that is not a whole number are left out.
  void load(QSettings& settings);
  void save(QSettings& settings) const;

 private:
  std::vector<RecentFile> entries_;
};

}  // namespace varno
