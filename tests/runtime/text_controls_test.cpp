// Text inputs and lists: their kinds, their contents as the operator sees them, and refusals.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <string>
#include <thread>
#include <vector>

#include "controls_panel.h"
#include "gui_runtime.h"

namespace {

using namespace controls_panel;

std::vector<std::string> rows(QListWidget* list) {
  std::vector<std::string> texts;
  for (int i = 0; i < list->count(); i++) texts.push_back(list->item(i)->text().toStdString());
  return texts;
}

TEST(runtimeTextControls, TextInputGivesWhatWasTypedOrSetCutToTheBuffer) {
  const int panel = load();
  QLineEdit* edit = widget<QLineEdit>(panel, kLabel);
  ASSERT_NE(edit, nullptr);
  QTest::keyClicks(edit, "Probe");
  char text[64];
  EXPECT_EQ(GetCtrlString(panel, kLabel, text, sizeof text), 5);
  EXPECT_STREQ(text, "Probe");
  EXPECT_EQ(SetCtrlString(panel, kLabel, "Probe \xc3\xa9"), 0);
  EXPECT_EQ(GetCtrlString(panel, kLabel, text, sizeof text), 8);  // é is two bytes
  EXPECT_STREQ(text, "Probe \xc3\xa9");
  char small[4];
  EXPECT_EQ(GetCtrlString(panel, kLabel, small, sizeof small), 8);
  EXPECT_STREQ(small, "Pro");
  EXPECT_EQ(edit->text(), QString::fromUtf8("Probe \xc3\xa9"));
  DiscardPanel(panel);
}

TEST(runtimeTextControls, ListRowsInsertDeleteAndTheOperatorsSelection) {
  const int panel = load();
  QListWidget* list = widget<QListWidget>(panel, kChoices);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(InsertListItem(panel, kChoices, -1, "b"), 0);
  EXPECT_EQ(InsertListItem(panel, kChoices, 0, "a"), 0);
  EXPECT_EQ(InsertListItem(panel, kChoices, 2, "c"), 0);
  EXPECT_EQ(rows(list), (std::vector<std::string>{"a", "b", "c"}));
  int index = 0;
  EXPECT_EQ(GetCtrlIndex(panel, kChoices, &index), 0);
  EXPECT_EQ(index, -1);  // nothing selected yet
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(2)).center());
  EXPECT_EQ(GetCtrlIndex(panel, kChoices, &index), 0);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(DeleteListItem(panel, kChoices, 1), 0);
  EXPECT_EQ(rows(list), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(GetCtrlIndex(panel, kChoices, &index), 0);
  EXPECT_EQ(index, 1);  // the selection follows its row
  EXPECT_EQ(SetCtrlIndex(panel, kChoices, -1), 0);
  EXPECT_EQ(GetCtrlIndex(panel, kChoices, &index), 0);
  EXPECT_EQ(index, -1);
  int count = 0;
  EXPECT_EQ(GetNumListItems(panel, kChoices, &count), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(ClearListCtrl(panel, kChoices), 0);
  EXPECT_EQ(GetNumListItems(panel, kChoices, &count), 0);
  EXPECT_EQ(count, 0);
  DiscardPanel(panel);
}

TEST(runtimeTextControls, RefusesWrongControlsIndicesAndOtherThreads) {
  const int panel = load();
  char text[8];
  int index = 0;
  EXPECT_EQ(GetCtrlString(panel, kSteps, text, sizeof text), UIE_WRONG_TYPE);
  EXPECT_EQ(GetCtrlVal(panel, kLabel, &index), UIE_WRONG_TYPE);  // no number to give
  EXPECT_EQ(InsertListItem(panel, kLabel, -1, "x"), UIE_WRONG_TYPE);
  EXPECT_EQ(GetCtrlIndex(panel, 999, &index), UIE_BAD_CONTROL);
  EXPECT_EQ(SetCtrlString(panel + 100, kLabel, "x"), UIE_BAD_PANEL);
  EXPECT_EQ(InsertListItem(panel, kChoices, 1, "past the end"), UIE_BAD_ARGUMENT);
  EXPECT_EQ(InsertListItem(panel, kChoices, -2, "x"), UIE_BAD_ARGUMENT);
  EXPECT_EQ(DeleteListItem(panel, kChoices, 0), UIE_BAD_ARGUMENT);
  EXPECT_EQ(SetCtrlIndex(panel, kChoices, 0), UIE_BAD_ARGUMENT);
  int fromWorker = 0;
  std::thread([&] { fromWorker = InsertListItem(panel, kChoices, -1, "x"); }).join();
  EXPECT_EQ(fromWorker, UIE_NOT_INITIALISED);
  int count = -1;
  GetNumListItems(panel, kChoices, &count);
  EXPECT_EQ(count, 0);
  DiscardPanel(panel);
}

}  // namespace
