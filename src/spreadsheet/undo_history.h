// Undo and redo over whole workbooks: before each change the page keeps the workbook as
// the bytes of its file (written once, nothing more), up to a bounded number of steps.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "spreadsheet/workbook.h"

namespace vm::spreadsheet {

class UndoHistory {
 public:
  static constexpr size_t kDefaultSteps = 20;
  explicit UndoHistory(size_t steps = kDefaultSteps) : steps_(steps == 0 ? 1 : steps) {}

  // Every change goes through here: keeps the workbook as it is, lets `change` alter it,
  // and when it reports false (nothing altered) forgets the step again. One call is one
  // undo step, whatever the change touched. Returns what `change` returned.
  template <class Change>
  bool Record(CWorkbook& workbook, Change&& change) {
    Take(workbook);
    if (change()) return true;
    DropLast();
    return false;
  }
  // Before a change: keeps the workbook as it is; the oldest step goes beyond the bound,
  // and whatever could be redone is forgotten.
  void Take(const CWorkbook& workbook);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // Puts back the workbook as it was before the last change (keeping the present one
  // for redo). False, with the workbook untouched, when there is nothing to undo or the
  // kept bytes cannot be read.
  bool Undo(CWorkbook& workbook);
  bool Redo(CWorkbook& workbook);
  // Forgets the newest step, the change it was kept for having altered nothing: what Take
  // let go (the oldest step, the redo) comes back.
  void DropLast();
  // A workbook opened or started anew has no past.
  void Clear();
  size_t UndoSteps() const { return undo_.size(); }

 private:
  struct Step {
    std::string bytes;
    int current = 0;
  };
  static Step Keep(const CWorkbook& workbook);
  static bool Restore(CWorkbook& workbook, const Step& step);

  size_t steps_;
  std::deque<Step> undo_, redo_;
  // What the last Take let go, until the next change.
  std::deque<Step> droppedOldest_, droppedRedo_;
};

}  // namespace vm::spreadsheet
