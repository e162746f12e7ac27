// The tree view: items over the model's numbers, renaming in place, and the drop
// highlight while an item is dragged.
#include "ui/tree_view.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/win/host_window.h"

namespace vm::ui {
namespace {

TEST(TreeView, ItemsRenamingAndDragging) {
  vm::testing::HostWindow host;
  std::vector<std::pair<LPARAM, std::string>> renamed;
  std::vector<std::pair<LPARAM, LPARAM>> dropped;
  TreeView tree;
  TreeView::Callbacks cb;
  cb.renamed = [&](HTREEITEM item, const std::string& text) {
    renamed.emplace_back(tree.Data(item), text);
    return text != "нельзя";
  };
  cb.dropped = [&](HTREEITEM from, HTREEITEM to) {
    dropped.emplace_back(tree.Data(from), to ? tree.Data(to) : -1);
  };
  ASSERT_TRUE(tree.Create(host.hwnd(), 200, RECT{5, 5, 300, 250}, cb));
  HTREEITEM work = tree.Add(nullptr, "Работа", 1);
  HTREEITEM plans = tree.Add(work, "Планы", 2);
  HTREEITEM home = tree.Add(nullptr, "Дом", 3);
  tree.Expand(work, true);
  EXPECT_EQ(tree.Count(), 3);
  EXPECT_EQ(tree.Text(plans), "Планы");
  EXPECT_EQ(tree.Parent(plans), work);
  EXPECT_EQ(tree.FirstChild(nullptr), work);
  EXPECT_EQ(tree.Next(work), home);

  // An edit in place, ended with new text: accepted, then refused.
  tree.EditLabel(home);
  HWND edit = TreeView_GetEditControl(tree.hwnd());
  ASSERT_NE(edit, nullptr);
  SetWindowTextW(edit, L"Дача");
  TreeView_EndEditLabelNow(tree.hwnd(), FALSE);
  EXPECT_EQ(tree.Text(home), "Дача");
  tree.EditLabel(home);
  SetWindowTextW(TreeView_GetEditControl(tree.hwnd()), L"нельзя");
  TreeView_EndEditLabelNow(tree.hwnd(), FALSE);
  EXPECT_EQ(tree.Text(home), "Дача") << "a refused name leaves the label";
  EXPECT_EQ(renamed, (std::vector<std::pair<LPARAM, std::string>>{{3, "Дача"}, {3, "нельзя"}}));

  // A drag from "Дача" onto "Планы": the highlight follows the pointer, the drop reports.
  RECT r{};
  TreeView_GetItemRect(tree.hwnd(), home, &r, TRUE);
  tree.BeginDrag(home, POINT{r.left + 2, r.top + 2});
  EXPECT_TRUE(tree.dragging());
  TreeView_GetItemRect(tree.hwnd(), plans, &r, TRUE);
  tree.DragTo(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_EQ(tree.DropTarget(), plans);
  EXPECT_TRUE(TreeView_GetItemState(tree.hwnd(), plans, TVIS_DROPHILITED) & TVIS_DROPHILITED);
  tree.EndDrag(true);
  EXPECT_FALSE(tree.dragging());
  EXPECT_EQ(tree.DropTarget(), nullptr);
  EXPECT_EQ(dropped, (std::vector<std::pair<LPARAM, LPARAM>>{{3, 2}}));
}

}  // namespace
}  // namespace vm::ui
