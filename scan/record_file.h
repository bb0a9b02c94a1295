// The scan record: one CSV file per scan, a header of '#' lines, a column header, one row
// per visited point written and flushed before the next move, and a closing '#' line with
// the outcome. A crash leaves the rows of the points completed so far, each a full line.
#pragma once

#include <string>

#include "outcome.h"
#include "scan_point.h"

// The settings key of the folder the records go to.
inline constexpr char kRecordFolderKey[] = "record/folder";

// The folder records go to: the one chosen on the panel, else the program's data folder.
std::string RecordFolder(void);

// Main thread, before a scan is scheduled: creates the new scan's record in the record
// folder (made if missing) under a name with the start time, and writes and flushes its
// first header lines. False, with the path tried and the reason, when that fails; the scan
// must then not start.
bool RecordCreate(std::string* path, std::string* reason);
// Creates the record at exactly `path`, RecordCreate's work once it has chosen a name that
// no file has.
bool RecordCreateAt(const std::string& path, std::string* reason);

// The folder button's row: a folder chooser; the choice is remembered in the settings.
void ChooseRecordFolder(void);

// Consumer hooks. A write that fails ends the scan after the current point, with a line
// saying why; the file is cut back to its last full line.
void RecordBegin(const ScanRun& run);
void RecordPoint(const ScanRun& run, const ScanPoint& point);
void RecordEnd(const ScanRun& run, const ScanOutcome& outcome);
