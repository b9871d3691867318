#pragma once
// The progress label of a save: "Saving search results to " and the file name, the name
// shortened from the front until the label fits.

#include <QString>
#include <functional>

namespace sifter::ui {

extern const char* const kSavingPrefix;  // "Saving search results to "

// While the label is wider than `maxWidth` (as `widthOf` measures it), directories are taken
// off the front of the name after its head (the leading '/', or the drive part 'C:\'), one
// at a time, and "..." stands in their place: '/home/a/r.txt' becomes '/...a/r.txt', then
// '/...r.txt'; 'C:\a\r.txt' becomes 'C:\...r.txt'. Stops when no separator is left to take.
QString SaveLabel(const QString& fileName, int maxWidth,
                  const std::function<int(const QString&)>& widthOf);

}  // namespace sifter::ui
