#pragma once

#include "settings/Configuration.h"

#include <QByteArray>
#include <QString>

#include <vector>

class TForm5;

namespace vantorix_bench {

// A folder of count small ROM files named GAME000000.GB..., made once per
// count in a temporary folder and removed at exit; or, where
// VANTORIX_BENCH_ROMS is set, the folder COUNT in it, made beforehand.
const QString &romFolder(int count);

// The same count of ROM files spread evenly over folders subfolders of a
// temporary folder (two levels: GROUPnn/SETnnnn), made once.
const QString &romTree(int count, int folders);

// The full paths of the ROM files of romFolder(count), as bytes.
std::vector<QByteArray> romPaths(int count);

// An empty folder, for moving the browser away between measurements.
const QString &emptyFolder();

// A configuration whose game list is full (680 entries), and a file holding
// it, written once.
vantorix::Configuration fullConfiguration();
const QString &fullConfigurationFile();

// The process's peak resident memory so far, in MiB.
double peakResidentMiB();

// Lets the events run until reader has listed its folder and read its
// files; returns the longest time in ms the window's thread went without
// turning its event loop meanwhile (how long input would have waited).
double waitForReading(TForm5 &reader);

}  // namespace vantorix_bench
