// Position bookmarks and the remembered grid and targets, through the real panel on the
// simulated rig, across runs of the program's entry.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include <cmath>
#include <string>
#include <vector>

#include "gui_runtime.h"
#include "motion_sim.h"
#include "operator.h"
#include "panel_actions.h"
#include "panel_ids.h"
#include "rig.h"
#include "runtime_testing.h"
#include "settings_file.h"

namespace {

class BookmarksTest : public SimulatedRigTest {
 protected:
  BookmarksTest() : SimulatedRigTest(1000.0) {}
  void SetUp() override {
    SimulatedRigTest::SetUp();
    RemoveSettingsFiles();
  }
};

QListWidget* list() {
  return qobject_cast<QListWidget*>(runtime_testing::controlWidget(p1_h, PANEL_BOOKMARK_LIST));
}

std::vector<std::string> rows(Operator& op) {
  std::vector<std::string> texts;
  op.onGuiThread([&] {
    for (int i = 0; i < list()->count(); i++) texts.push_back(list()->item(i)->text().toStdString());
  });
  return texts;
}

// Clicks the row's text, as the operator selects it.
void selectRow(Operator& op, int row) {
  op.onGuiThread([row] {
    QListWidget* l = list();
    ASSERT_LT(row, l->count());
    QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->item(row)).center());
  });
}

// Types `name` into the name field, key by key.
void typeName(Operator& op, const QString& name) {
  op.onGuiThread([name] {
    auto* edit = qobject_cast<QLineEdit*>(runtime_testing::controlWidget(p1_h, PANEL_BOOKMARK_NAME));
    ASSERT_NE(edit, nullptr);
    edit->clear();
    QTest::keyClicks(edit, name);
  });
}

bool near(double a, double b) { return std::fabs(a - b) < 1e-6; }

// Goes to (x, y, z) through the target fields and waits until the panel shows it there.
void driveTo(Operator& op, double x, double y, double z) {
  op.type(PANEL_TARGET_X, x);
  op.type(PANEL_TARGET_Y, y);
  op.type(PANEL_TARGET_Z, z);
  Press(op, PANEL_GOTO_ALL);
  ASSERT_TRUE(op.waitFor([&] {
    return near(op.readDouble(PANEL_POS_X), x) && near(op.readDouble(PANEL_POS_Y), y) &&
           near(op.readDouble(PANEL_POS_Z), z);
  }));
}

bool printed(Operator& op, const std::string& line) {
  for (const std::string& l : op.lines()) {
    if (l == line) return true;
  }
  return false;
}

TEST_F(BookmarksTest, MarkKeepsTheReadBackPositionsAndGoToReturnsThere) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    driveTo(op, 10.0, 20.0, 5.0);
    typeName(op, "sample A");
    Press(op, PANEL_BOOKMARK_MARK);
    EXPECT_EQ(rows(op), std::vector<std::string>{"sample A   X 10.000  Y 20.000  Z 5.000 mm"});
    EXPECT_TRUE(printed(op, "Position \"sample A\" kept: X 10.000  Y 20.000  Z 5.000 mm"));

    driveTo(op, 50.0, 60.0, 70.0);
    motion_sim::clearCallLog();
    selectRow(op, 0);
    Press(op, PANEL_BOOKMARK_GOTO);
    EXPECT_EQ(AbsoluteMoves(), (std::vector<Move>{{'X', 10.0}, {'Y', 20.0}, {'Z', 5.0}}));
    EXPECT_TRUE(op.waitFor([&] {
      return near(op.readDouble(PANEL_POS_X), 10.0) && near(op.readDouble(PANEL_POS_Z), 5.0);
    }));

    selectRow(op, 0);
    Press(op, PANEL_BOOKMARK_DELETE);
    EXPECT_TRUE(rows(op).empty());
    EXPECT_TRUE(printed(op, "Position \"sample A\" deleted"));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(BookmarksTest, UnnamedPositionsAreNumberedAndMarkingANameAgainReplacesIt) {
  const int result = RunQuarlex([](Operator& op) {
    EnableAll(op);
    driveTo(op, 1.0, 2.0, 3.0);
    Press(op, PANEL_BOOKMARK_MARK);
    typeName(op, "  ");  // blank: numbered too
    Press(op, PANEL_BOOKMARK_MARK);
    driveTo(op, 4.0, 5.0, 6.0);
    typeName(op, "P1");
    Press(op, PANEL_BOOKMARK_MARK);
    EXPECT_EQ(rows(op), (std::vector<std::string>{"P1   X 4.000  Y 5.000  Z 6.000 mm",
                                                  "P2   X 1.000  Y 2.000  Z 3.000 mm"}));
    EXPECT_TRUE(printed(op, "Position \"P1\" replaced: X 4.000  Y 5.000  Z 6.000 mm"));
  });
  EXPECT_EQ(result, 0);
}

TEST_F(BookmarksTest, GoToOrDeleteWithoutASelectionSaysSoAndSendsNothing) {
  struct Case {
    int button;
    const char* line;
  };
  const Case cases[] = {{PANEL_BOOKMARK_GOTO, "Go to: no position selected"},
                        {PANEL_BOOKMARK_DELETE, "Delete: no position selected"}};
  const int result = RunQuarlex([&](Operator& op) {
    EnableAll(op);
    Press(op, PANEL_BOOKMARK_MARK);
    op.onGuiThread([] { list()->clearSelection(); });
    for (const Case& c : cases) {
      motion_sim::clearCallLog();
      runtime_testing::stdioClear();
      Press(op, c.button);
      EXPECT_EQ(op.lines(), std::vector<std::string>{c.line});
      EXPECT_TRUE(Commands().empty());
      EXPECT_EQ(rows(op).size(), 1u);
    }
  });
  EXPECT_EQ(result, 0);
}

TEST_F(BookmarksTest, PositionsGridAndTargetsAreKeptBetweenRuns) {
  const Grid grid{{4, 3, 2}, {1, 0, 1}, {12.5, 30.0, 7.25}, {0.5, 2.0, 1.5}};
  ASSERT_EQ(RunQuarlex([&](Operator& op) {
              EnableAll(op);
              driveTo(op, 10.0, 20.0, 5.0);
              typeName(op, "a");
              Press(op, PANEL_BOOKMARK_MARK);
              driveTo(op, 100.0, 150.0, 42.125);
              typeName(op, "b");
              Press(op, PANEL_BOOKMARK_MARK);
              TypeGrid(op, grid);
              op.type(PANEL_TARGET_X, 11.5);  // typed, never sent
            }),
            0);

  motion_sim::reset();
  ASSERT_EQ(RunQuarlex([&](Operator& op) {
              EXPECT_EQ(rows(op), (std::vector<std::string>{"a   X 10.000  Y 20.000  Z 5.000 mm",
                                                            "b   X 100.000  Y 150.000  Z 42.125 mm"}));
              const int n[3] = {PANEL_NX, PANEL_NY, PANEL_NZ};
              const int on[3] = {PANEL_CBX, PANEL_CBY, PANEL_CBZ};
              const int start[3] = {PANEL_X0, PANEL_Y0, PANEL_Z0};
              const int step[3] = {PANEL_DX, PANEL_DY, PANEL_DZ};
              for (int k = 0; k < 3; k++) {
                EXPECT_EQ(op.readInt(n[k]), grid.n[k]) << k;
                EXPECT_EQ(op.readInt(on[k]), grid.on[k]) << k;
                EXPECT_EQ(op.readDouble(start[k]), grid.start[k]) << k;
                EXPECT_EQ(op.readDouble(step[k]), grid.step[k]) << k;
              }
              EXPECT_EQ(op.readDouble(PANEL_TARGET_X), 11.5);
              EXPECT_EQ(op.readDouble(PANEL_TARGET_Y), 150.0);
              EXPECT_EQ(op.readDouble(PANEL_TARGET_Z), 42.125);

              EnableAll(op);
              motion_sim::clearCallLog();
              selectRow(op, 1);
              Press(op, PANEL_BOOKMARK_GOTO);
              EXPECT_EQ(AbsoluteMoves(), (std::vector<Move>{{'X', 100.0}, {'Y', 150.0}, {'Z', 42.125}}));
              selectRow(op, 0);
              Press(op, PANEL_BOOKMARK_DELETE);
            }),
            0);

  ASSERT_EQ(RunQuarlex([&](Operator& op) {
              EXPECT_EQ(rows(op), std::vector<std::string>{"b   X 100.000  Y 150.000  Z 42.125 mm"});
            }),
            0);
}

}  // namespace
