#include "ui/save_label.h"

namespace sifter::ui {

const char* const kSavingPrefix = "Saving search results to ";

QString SaveLabel(const QString& fileName, int maxWidth, const std::function<int(const QString&)>& widthOf) {
    const QString prefix = QString::fromLatin1(kSavingPrefix);
    QString label = prefix + fileName;
    // The head stays: the root's separator, as a drive stays on a system with drives.
    const qsizetype headLength = fileName.startsWith(QLatin1Char('/')) ? 1 : 0;
    const QString head = fileName.left(headLength);
    QString tail = fileName.mid(headLength);
    while (widthOf(label) > maxWidth) {
        const qsizetype separator = tail.indexOf(QLatin1Char('/'));
        if (separator < 0) break;
        tail = tail.mid(separator + 1);
        label = prefix + head + QStringLiteral("...") + tail;
    }
    return label;
}

}  // namespace sifter::ui
