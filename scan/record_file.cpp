#include "record_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "gui_runtime.h"
#include "lts.h"
#include "panel_ids.h"
#include "run_state.h"

namespace {

// The open record. Created on the main thread before the worker is scheduled, then used by
// the worker alone; the scheduling orders the two.
struct Record {
  std::FILE* file = nullptr;
  std::string path;
  long goodSize = 0;  // bytes up to the end of the last line known to be on disk
  bool failed = false;
};
Record record;

std::string errorText(int error) { return std::strerror(error); }

// `value` with `decimals` digits after the point, whatever the process's locale.
std::string fixed(double value, int decimals) {
  char buffer[64];
  const std::to_chars_result r =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  return std::string(buffer, r.ptr);
}

std::string hexWord(unsigned int word) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%08X", word);
  return buffer;
}

// Writes `text` (whole lines) and flushes it to the operating system. On failure the file
// is cut back to its last full line and the reason is returned; empty on success.
std::string writeLines(const std::string& text) {
  errno = 0;
  const bool ok = std::fputs(text.c_str(), record.file) >= 0 && std::fflush(record.file) == 0;
  if (ok) {
    record.goodSize += static_cast<long>(text.size());
    return {};
  }
  const std::string reason = errorText(errno != 0 ? errno : EIO);
  std::error_code ignored;
  std::filesystem::resize_file(record.path, static_cast<std::uintmax_t>(record.goodSize), ignored);
  std::clearerr(record.file);
  std::fseek(record.file, record.goodSize, SEEK_SET);
  return reason;
}

void closeRecord() {
  if (record.file) std::fclose(record.file);
  record.file = nullptr;
}

std::string folderSetting() {
  char value[4096];
  return GetSetting(kRecordFolderKey, value, sizeof value) > 0 ? std::string(value) : std::string();
}

}  // namespace

std::string RecordFolder(void) {
  const std::string chosen = folderSetting();
  if (!chosen.empty()) return chosen;
  char data[4096];
  GetDataFolder(data, sizeof data);
  return std::string(data) + "/scans";
}

bool RecordCreateAt(const std::string& path, std::string* reason) {
  closeRecord();
  record = Record{};
  record.path = path;
  std::error_code ignored;
  const bool existed = std::filesystem::exists(path, ignored);
  record.file = std::fopen(path.c_str(), "w");
  if (!record.file) {
    *reason = errorText(errno);
    return false;
  }
  char iso[64];
  GetLocalTimestamp(iso, sizeof iso, nullptr, 0);
  std::string head = "# Quarlex scan record\n# started " + std::string(iso) + "\n";
  head += "# program version " QUARLEX_VERSION "\n# serial numbers";
  for (int k = 0; k < 3; k++) head += std::string(" ") + AxisName(k) + " " + serialNumbers[k];
  head += "\n";
  *reason = writeLines(head);
  if (reason->empty()) {
    SetPanelText(p1_h, kRecordLabel, path.c_str());
    return true;
  }
  closeRecord();
  if (!existed) std::filesystem::remove(path, ignored);
  return false;
}

bool RecordCreate(std::string* path, std::string* reason) {
  const std::string folder = RecordFolder();
  std::error_code made;
  std::filesystem::create_directories(folder, made);
  char stamp[32];
  GetLocalTimestamp(nullptr, 0, stamp, sizeof stamp);
  // A scan started within the same second as an earlier one gets a numbered name.
  *path = folder + "/scan-" + stamp + ".csv";
  for (int n = 2; std::filesystem::exists(*path); n++) {
    *path = folder + "/scan-" + stamp + "-" + std::to_string(n) + ".csv";
  }
  if (RecordCreateAt(*path, reason)) return true;
  if (made) *reason = "cannot make the folder " + folder + ": " + made.message();
  return false;
}

void ChooseRecordFolder(void) {
  char chosen[4096];
  if (ChooseFolder("Folder for scan records", RecordFolder().c_str(), chosen, sizeof chosen) != 1) {
    return;
  }
  SetSetting(kRecordFolderKey, chosen);
  SetPanelText(p1_h, kRecordLabel, (std::string("next record goes to ") + chosen).c_str());
}

void RecordBegin(const ScanRun& run) {
  if (!record.file) return;
  const ScanGrid& g = run.grid;
  std::string head;
  for (int k = 0; k < 3; k++) {
    head += std::string("# grid ") + "xyz"[k] + ": " + std::to_string(g.count[k]) + " points from " +
            fixed(g.start[k], 6) + " mm, step " + fixed(g.step[k], 6) + " mm, " +
            (g.on[k] != 0 ? "scanned" : "not scanned") + "\n";
  }
  head += "# planned points " + std::to_string(run.planned) + "\n";
  head +=
      "point,ix,iy,iz,x_target_mm,y_target_mm,z_target_mm,x_mm,y_mm,z_mm,x_status,y_status,"
      "z_status,x_timed_out,y_timed_out,z_timed_out,seconds\n";
  const std::string failure = writeLines(head);
  if (!failure.empty()) {
    record.failed = true;
    printf("Scan record: writing %s failed (%s); the scan ends after the point under way\n", record.path.c_str(),
           failure.c_str());
    ScanRequestEnd(SCAN_RECORD_FAILED);
  }
}

void RecordPoint(const ScanRun&, const ScanPoint& p) {
  if (!record.file || record.failed) return;
  std::string row = std::to_string(p.number);
  for (int k = 0; k < 3; k++) row += "," + std::to_string(p.index[k]);
  for (int k = 0; k < 3; k++) row += "," + fixed(p.target[k], 6);
  for (int k = 0; k < 3; k++) row += "," + fixed(p.position[k], 6);
  for (int k = 0; k < 3; k++) row += "," + hexWord(p.status[k]);
  for (int k = 0; k < 3; k++) row += "," + std::to_string(p.timedOut[k]);
  row += "," + fixed(p.seconds, 3) + "\n";
  const std::string failure = writeLines(row);
  if (failure.empty()) return;
  record.failed = true;
  printf("Scan record: writing point %lld to %s failed (%s); the scan ends after this point\n",
         static_cast<long long>(p.number), record.path.c_str(), failure.c_str());
  ScanRequestEnd(SCAN_RECORD_FAILED);
}

void RecordEnd(const ScanRun&, const ScanOutcome& outcome) {
  if (!record.file) return;
  // Tried even after a failed row: the file then ends with its last full row instead.
  writeLines("# " + OutcomeLine(outcome) + "\n");
  closeRecord();
}
