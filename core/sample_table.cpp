// The sample table's storage, shared by the tables of one growing trace.
#include "core/sample_table.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

namespace varno {

namespace {

// Whether values [from, to) of column 0 are whole numbers as isExactWhole takes them.
template <class T>
bool allExactWhole(const T* values, int from, int to) {
  for (int r = from; r < to; ++r)
    if (!isExactWhole(static_cast<double>(values[r]))) return false;
  return true;
}

// A block of `columns` columns for `rows` rows with room beyond, or without room when the system
// will not give the room.
template <class T>
std::shared_ptr<ColumnBlock<T>> blockWithRoom(int columns, std::size_t rows) {
  try {
    return std::make_shared<ColumnBlock<T>>(columns, grownCapacity(rows));
  } catch (const std::bad_alloc&) {
    return std::make_shared<ColumnBlock<T>>(columns, rows);
  }
}

}  // namespace

SampleTable::SampleTable(int columnCount, int rowCount, Room room)
    : columnCount_(std::max(columnCount, 0)), rowCount_(std::max(rowCount, 0)) {
  const std::size_t rows = static_cast<std::size_t>(rowCount_);
  if (columnCount_ == 0 || (rows == 0 && room == Room::none)) return;
  cellBlock_ = room == Room::forAppending ? blockWithRoom<float>(columnCount_, rows)
                                          : std::make_shared<ColumnBlock<float>>(columnCount_, rows);
  cellBlock_->filled = rows;
  cells_ = cellBlock_->column(0);
  stride_ = cellBlock_->capacity();
}

void SampleTable::truncateRows(int newRowCount) {
  const int kept = std::clamp(newRowCount, 0, rowCount_);
  // only a table that is alone on its storage frees the rows for appending: another table may
  // still read them
  if (cellBlock_ && cellBlock_.use_count() == 1) cellBlock_->filled = static_cast<std::size_t>(kept);
  if (exactBlock_ && exactBlock_.use_count() == 1) exactBlock_->filled = static_cast<std::size_t>(kept);
  rowCount_ = kept;
}

void SampleTable::offerExactFirstColumn(std::unique_ptr<double[]> values) {
  exact_ = nullptr;
  exactBlock_.reset();
  first_ = FirstColumn::floats;
  if (!values || columnCount_ == 0) return;
  if (!allExactWhole(values.get(), 0, rowCount_)) {
    first_ = FirstColumn::notWhole;
    return;
  }
  const float* floats = columnData(0);
  bool needed = false;
  for (int r = 0; r < rowCount_ && !needed; ++r) needed = static_cast<double>(floats[r]) != values[r];
  if (!needed) return;
  exactBlock_ = std::make_shared<ColumnBlock<double>>(std::move(values), static_cast<std::size_t>(rowCount_));
  exactBlock_->filled = static_cast<std::size_t>(rowCount_);
  exact_ = exactBlock_->column(0);
  first_ = FirstColumn::exact;
}

void SampleTable::noteFirstColumnNotWhole() {
  exact_ = nullptr;
  exactBlock_.reset();
  first_ = FirstColumn::notWhole;
}

const std::vector<std::string>& SampleTable::columnNames() const {
  static const std::vector<std::string> none;
  return columnNames_ ? *columnNames_ : none;
}

void SampleTable::setColumnNames(std::vector<std::string> names) {
  columnNames_ = std::make_shared<const std::vector<std::string>>(std::move(names));
}

std::shared_ptr<const SampleTable> SampleTable::appended(const SampleTable& rows) const {
  if (rows.rowCount_ > 0 && rows.columnCount_ != columnCount_)
    throw std::invalid_argument("appended rows have another number of columns");
  if (rows.rowCount_ > INT_MAX - rowCount_) throw std::bad_alloc();
  const std::size_t had = static_cast<std::size_t>(rowCount_);
  const std::size_t added = static_cast<std::size_t>(rows.rowCount_);
  const std::size_t total = had + added;

  auto out = std::make_shared<SampleTable>();
  out->columnCount_ = columnCount_;
  out->rowCount_ = static_cast<int>(total);
  out->columnNames_ = columnNames_;

  // the cells: in place when this table ends where its storage's rows end and room is left
  std::shared_ptr<ColumnBlock<float>> cells = cellBlock_;
  const bool inPlace = cells && cells->filled == had && cells->capacity() >= total;
  if (!inPlace && columnCount_ > 0) {
    cells = blockWithRoom<float>(columnCount_, total);
    for (int c = 0; c < columnCount_; ++c) std::copy_n(columnData(c), had, cells->column(c));
  }
  if (cells) {
    if (added > 0)
      for (int c = 0; c < columnCount_; ++c) std::copy_n(rows.columnData(c), added, cells->column(c) + had);
    out->cells_ = cells->column(0);
    out->stride_ = cells->capacity();
  }

  // column 0 as the file gave it: exact when all its values are whole and some float is not one
  // of them, as a read of the whole file decides
  const FirstColumn more = added > 0 ? rows.first_ : FirstColumn::floats;
  FirstColumn first = first_ == FirstColumn::notWhole || more == FirstColumn::notWhole ? FirstColumn::notWhole
                      : first_ == FirstColumn::floats && more == FirstColumn::floats ? FirstColumn::floats
                                                                                     : FirstColumn::exact;
  // one part held by its floats: they must be whole numbers as well
  if (first == FirstColumn::exact && first_ == FirstColumn::floats && !allExactWhole(columnData(0), 0, rowCount_))
    first = FirstColumn::notWhole;
  if (first == FirstColumn::exact && more == FirstColumn::floats &&
      !allExactWhole(rows.columnData(0), 0, rows.rowCount_))
    first = FirstColumn::notWhole;
  std::shared_ptr<ColumnBlock<double>> exact;
  if (first == FirstColumn::exact) {
    exact = exactBlock_;
    if (!(exact && exact->filled == had && exact->capacity() >= total)) {
      exact = blockWithRoom<double>(1, total);
      if (exact_)
        std::copy_n(exact_, had, exact->column(0));
      else
        std::copy_n(columnData(0), had, exact->column(0));
    }
    if (rows.exact_)
      std::copy_n(rows.exact_, added, exact->column(0) + had);
    else if (added > 0)
      std::copy_n(rows.columnData(0), added, exact->column(0) + had);
    out->exact_ = exact->column(0);
  }
  out->first_ = first;

  // only now, with nothing left to fail, do the storages hold the new table's rows
  if (cells) cells->filled = total;
  if (exact) exact->filled = total;
  out->cellBlock_ = std::move(cells);
  out->exactBlock_ = std::move(exact);
  return out;
}

}  // namespace varno
