// The panel file and the program's control table agree: every control the file gives a
// ctrlId is one the program knows (a row of the table, a status LED or a timer), each id once,
// and every id the program knows is in the file. A control added to one side only fails here
// by its id and object name.
#include <gtest/gtest.h>

#include <QFile>
#include <QXmlStreamReader>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "panel_ids.h"

namespace {

// ctrlId -> the object names of the widgets in the panel file that carry it.
std::map<int, std::set<std::string>> fileControls() {
  std::map<int, std::set<std::string>> ids;
  QFile file(QUARLEX_PANEL);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << QUARLEX_PANEL;
  QXmlStreamReader xml(&file);
  std::vector<std::string> widgets;  // the open <widget> elements' names, innermost last
  bool inCtrlId = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"widget") {
      widgets.push_back(xml.attributes().value("name").toString().toStdString());
    } else if (xml.isEndElement() && xml.name() == u"widget") {
      widgets.pop_back();
    } else if (xml.isStartElement() && xml.name() == u"property") {
      inCtrlId = xml.attributes().value("name") == u"ctrlId";
    } else if (xml.isStartElement() && xml.name() == u"number" && inCtrlId && !widgets.empty()) {
      ids[xml.readElementText().toInt()].insert(widgets.back());
    } else if (xml.isEndElement() && xml.name() == u"property") {
      inCtrlId = false;
    }
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  return ids;
}

// Every id the program knows, with the name it gives it.
std::multimap<int, std::string> programControls() {
  std::multimap<int, std::string> ids;
#define QUARLEX_KNOWN(name, id, ...) ids.emplace(name, #name);
  QUARLEX_PANEL_CONTROLS(QUARLEX_KNOWN, QUARLEX_KNOWN)
#undef QUARLEX_KNOWN
  for (int axis = 0; axis < 3; axis++) {
    for (int j = 0; j < 14; j++) ids.emplace(lid[axis][j], "status LED " + std::to_string(j) + " of " + "XYZ"[axis]);
  }
  ids.emplace(PANEL_LTSTIMER, "PANEL_LTSTIMER");
  ids.emplace(PANEL_REFRESH, "PANEL_REFRESH");
  return ids;
}

TEST(PanelTable, ThePanelFileAndTheProgramsControlTableNameTheSameControls) {
  const std::map<int, std::set<std::string>> file = fileControls();
  const std::multimap<int, std::string> program = programControls();
  for (const auto& [id, names] : file) {
    EXPECT_EQ(names.size(), 1u) << "ctrlId " << id << " is given to " << names.size() << " widgets";
    EXPECT_TRUE(program.contains(id)) << "ctrlId " << id << " (widget " << *names.begin()
                                      << ") is not in the program's control table";
  }
  for (const auto& [id, name] : program) {
    EXPECT_EQ(program.count(id), 1u) << name << ": id " << id << " is taken twice in the program";
    EXPECT_TRUE(file.contains(id)) << name << " (id " << id << ") is not in the panel file";
  }
}

}  // namespace
