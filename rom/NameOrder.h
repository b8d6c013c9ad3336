#pragma once

#include <QByteArray>

#include <vector>

namespace vantorix {

// Sorts a folder's raw file names as the lists show them: by the decoded
// names case-folded, compared as UTF-16 code units, and names that fold
// alike by their bytes.
void sortNamesAsShown(std::vector<QByteArray> &names);

}  // namespace vantorix
