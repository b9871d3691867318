#include "ui/main/save_label.h"

#include <algorithm>

#include "platform/path_rules.h"

namespace sifter::ui {

const char* const kSavingPrefix = "Saving search results to ";

QString SaveLabel(const QString& fileName, int maxWidth,
                  const std::function<int(const QString&)>& widthOf) {
    const QString prefix = QString::fromLatin1(kSavingPrefix);
    QString label = prefix + fileName;
    // The head stays: the drive part "C:\", or the root's separator where there are no drives.
    const platform::PathRules& rules = platform::Paths();
    const auto headLength =
        std::min(static_cast<qsizetype>(rules.LabelHeadLength(fileName.left(3).toStdString())),
                 fileName.size());
    const QString head = fileName.left(headLength);
    QString tail = fileName.mid(headLength);
    while (widthOf(label) > maxWidth) {
        const qsizetype separator = tail.indexOf(QLatin1Char(rules.Separator()));
        if (separator < 0) break;
        tail = tail.mid(separator + 1);
        label = prefix + head + QStringLiteral("...") + tail;
    }
    return label;
}

}  // namespace sifter::ui
