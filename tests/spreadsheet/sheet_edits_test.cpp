// Every command that changes the workbook, each run as the page runs it (through
// UndoHistory::Record), is one undo step: one undo gives back exactly the workbook before
// it, with what was typed before it still there, and one redo gives back its result.
#include "spreadsheet/sheet_edits.h"

#include <gtest/gtest.h>

#include "spreadsheet/grid_ops.h"
#include "spreadsheet/sheet_commands.h"
#include "spreadsheet/undo_history.h"
#include "spreadsheet/workbook_xml.h"

namespace vm::spreadsheet {
namespace {

void FillBook(CWorkbook& book) {
  NewWorkbook(book);
  CSheet& s = book.Sheet(0);
  s.CellForEdit(0, 0)->SetText("Заголовок");
  s.Merge(CellRect{0, 0, 0, 3});
  s.CellForEdit(1, 1)->SetText("бета");
  s.CellForEdit(2, 1)->SetText("альфа");
  s.CellForEdit(3, 1)->SetText("\xD0\x9F\xD1\x80\xD0\xB8");  // "При" in UTF-8
  // Each alignment differs from one selected cell's.
  SetHorizontalAlignment(s, CellRect{1, 0, 1, 0}, kAlignRight);
  SetHorizontalAlignment(s, CellRect{2, 1, 2, 1}, kAlignCenter);
  book.AddSheet();
  book.SetCurrent(0);
}

// The workbook as its file holds it: undo gives back what the file held, and a workbook
// read from a file carries the reader's defaults (a left alignment, wrapping for texts
// with line breaks) that one made in memory sets nowhere.
std::string Filed(const CWorkbook& book) {
  CWorkbook read;
  EXPECT_TRUE(ReadWorkbookBytes(read, WorkbookText(book)));
  read.SetCurrent(book.Current());
  return WorkbookText(read);
}

TEST(SheetEdits, EveryWorkbookCommandIsOneUndoStepAfterTyping) {
  for (int command : WorkbookCommands()) {
    SCOPED_TRACE(command);
    CWorkbook book;
    FillBook(book);
    UndoHistory history;
    // The reported loss: a text typed just before a format must outlive undoing it.
    ASSERT_TRUE(history.Record(book, [&] { return StoreTypedText(book.CurrentSheet(), {1, 0}, "abc", book.locale); }));

    EditTarget target;
    target.selection = CellRect{1, 0, 2, 1};
    target.current = {1, 0};
    target.column = 1;
    target.tab = 1;
    if (command == ID_SHEET_UNMERGE) target.current = {0, 0};
    if (command == ID_SHEET_TAB_RENAME) target.tab = 0;
    EditInput input;
    input.colour = Rgb(255, 0, 0);
    input.font.faceName = "Times New Roman";
    input.font.height = -16;
    input.text = "x\ty";
    input.counts = AddCounts{2, 3};

    const std::string before = Filed(book);
    EditOutput output;
    ASSERT_TRUE(history.Record(book, [&] { return ApplyEdit(book, command, target, input, output); }));
    const std::string after = Filed(book);
    EXPECT_NE(after, before);
    EXPECT_EQ(history.UndoSteps(), 2u);

    ASSERT_TRUE(history.Undo(book));
    EXPECT_EQ(Filed(book), before);
    EXPECT_EQ(book.Sheet(0).GetCell(1, 0).text, "abc");
    ASSERT_TRUE(history.Redo(book));
    EXPECT_EQ(Filed(book), after);
    ASSERT_TRUE(history.Undo(book));
    ASSERT_TRUE(history.Undo(book));
    EXPECT_FALSE(book.Sheet(0).GetCell(1, 0).HasText());
  }
}

// A command that finds nothing to change leaves no step, and what could be redone stays.
TEST(SheetEdits, ACommandThatChangesNothingLeavesNoStep) {
  CWorkbook book;
  FillBook(book);
  UndoHistory history;
  ASSERT_TRUE(history.Record(book, [&] { return StoreTypedText(book.CurrentSheet(), {5, 5}, "abc", book.locale); }));
  ASSERT_TRUE(history.Undo(book));
  struct Case {
    int command;
    EditTarget target;
  } cases[] = {
      {ID_SHEET_TAB_DELETE, {CellRect{1, 1, 1, 1}, {1, 1}, -1, 0}},  // not the last sheet
      {ID_SHEET_UNMERGE, {CellRect{1, 1, 1, 1}, {1, 1}, -1, -1}},
      {ID_SHEET_CUT, {CellRect{5, 5, 6, 6}, {5, 5}, -1, -1}},
      {ID_SHEET_CLEAR, {CellRect{5, 5, 6, 6}, {5, 5}, -1, -1}},
      {ID_SHEET_PASTE, {CellRect{5, 5, 5, 5}, {5, 5}, -1, -1}},  // nothing on the clipboard
      {ID_SHEET_BOLD, {CellRect{200, 0, 200, 0}, {200, 0}, -1, -1}},
      {ID_SHEET_TABLE, {CellRect{1, 1, 1, 1}, {1, 1}, -1, -1}},
      {ID_SHEET_TAB_RENAME, {CellRect{1, 1, 1, 1}, {1, 1}, -1, 1}},  // the same name
      {ID_SHEET_COPY, {CellRect{1, 1, 1, 1}, {1, 1}, -1, -1}},       // no workbook command
  };
  const std::string before = WorkbookText(book);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.command);
    EditInput input;
    input.text = c.command == ID_SHEET_TAB_RENAME ? "Лист 2" : "";
    EditOutput output;
    EXPECT_FALSE(history.Record(book, [&] { return ApplyEdit(book, c.command, c.target, input, output); }));
    EXPECT_EQ(WorkbookText(book), before);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_TRUE(history.CanRedo());
  }
  // "Авто" colours: black text and a white fill.
  EditOutput output;
  EditTarget at{CellRect{1, 1, 1, 1}, {1, 1}, -1, -1};
  ASSERT_TRUE(ApplyEdit(book, ID_SHEET_FILL_COLOUR, at, {}, output));
  ASSERT_TRUE(ApplyEdit(book, ID_SHEET_TEXT_COLOUR, at, {}, output));
  EXPECT_EQ(EffectiveFormat(book.CurrentSheet(), 1, 1).fillColor, Rgb(255, 255, 255));
  EXPECT_EQ(EffectiveFormat(book.CurrentSheet(), 1, 1).textColor, Rgb(0, 0, 0));
}

}  // namespace
}  // namespace vm::spreadsheet
