#include "spreadsheet/undo_history.h"

#include "spreadsheet/workbook_xml.h"

namespace vm::spreadsheet {

UndoHistory::Step UndoHistory::Keep(const CWorkbook& workbook) {
  return Step{WorkbookText(workbook), workbook.Current()};
}

bool UndoHistory::Restore(CWorkbook& workbook, const Step& step) {
  if (!ReadWorkbookBytes(workbook, step.bytes)) return false;
  workbook.SetCurrent(step.current);
  return true;
}

void UndoHistory::Take(const CWorkbook& workbook) {
  droppedOldest_.clear();
  undo_.push_back(Keep(workbook));
  while (undo_.size() > steps_) {
    droppedOldest_.push_back(std::move(undo_.front()));
    undo_.pop_front();
  }
  droppedRedo_ = std::move(redo_);
  redo_.clear();
}

bool UndoHistory::Undo(CWorkbook& workbook) {
  if (undo_.empty()) return false;
  droppedOldest_.clear();
  droppedRedo_.clear();
  Step now = Keep(workbook);
  if (!Restore(workbook, undo_.back())) {
    // What could not be read back is dropped; the workbook is the one it was.
    Restore(workbook, now);
    undo_.pop_back();
    return false;
  }
  undo_.pop_back();
  redo_.push_back(std::move(now));
  return true;
}

bool UndoHistory::Redo(CWorkbook& workbook) {
  if (redo_.empty()) return false;
  droppedOldest_.clear();
  droppedRedo_.clear();
  Step now = Keep(workbook);
  if (!Restore(workbook, redo_.back())) {
    Restore(workbook, now);
    redo_.pop_back();
    return false;
  }
  redo_.pop_back();
  undo_.push_back(std::move(now));
  return true;
}

void UndoHistory::DropLast() {
  if (undo_.empty()) return;
  undo_.pop_back();
  while (!droppedOldest_.empty()) {
    undo_.push_front(std::move(droppedOldest_.back()));
    droppedOldest_.pop_back();
  }
  redo_ = std::move(droppedRedo_);
  droppedRedo_.clear();
}

void UndoHistory::Clear() {
  undo_.clear();
  redo_.clear();
  droppedOldest_.clear();
  droppedRedo_.clear();
}

}  // namespace vm::spreadsheet
