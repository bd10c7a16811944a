// The recent files list and its place in the settings.
#include "ui/recent_files.h"

#include <QSettings>
#include <algorithm>

namespace varno {

namespace {

constexpr const char* kArray = "recentFiles";

}  // namespace

void RecentFiles::add(const RecentFile& entry) {
  remove(entry.data);
  entries_.insert(entries_.begin(), entry);
  if (entries_.size() > static_cast<std::size_t>(kLength)) entries_.resize(kLength);
}

void RecentFiles::remove(const QString& data) {
  std::erase_if(entries_, [&](const RecentFile& e) { return e.data == data; });
}

void RecentFiles::load(QSettings& settings) {
  std::vector<RecentFile> read;
  const int size = settings.beginReadArray(kArray);
  for (int i = 0; i < size; ++i) {
    settings.setArrayIndex(i);
    RecentFile entry;
    entry.data = settings.value("data").toString();
    entry.factors = settings.value("factors").toString();
    bool whole = false;
    entry.mode = settings.value("mode", -1).toInt(&whole);
    if (!entry.data.isEmpty() && whole) read.push_back(entry);
  }
  settings.endArray();
  entries_.clear();
  // added oldest first, so that doubles and the length are settled as when they were opened
  for (auto e = read.rbegin(); e != read.rend(); ++e) add(*e);
}

void RecentFiles::save(QSettings& settings) const {
  settings.remove(kArray);
  settings.beginWriteArray(kArray, static_cast<int>(entries_.size()));
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    settings.setArrayIndex(static_cast<int>(i));
    settings.setValue("data", entries_[i].data);
    settings.setValue("factors", entries_[i].factors);
    settings.setValue("mode", entries_[i].mode);
  }
  settings.endArray();
}

}  // namespace varno
