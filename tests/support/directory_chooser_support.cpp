#include "directory_chooser_support.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDialog>
#include <QtTest>
#include <stdexcept>

#include "ui/chooser/chooser_drawing.h"
#include "ui/chooser/directory_chooser.h"
#include "ui/chooser/directory_outline.h"
#include "ui/chooser/volume_selector.h"
#include "ui/conventions.h"

namespace sifter::test {

using platform::Volume;

void MakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0700) != 0) throw std::runtime_error("mkdir failed: " + path);
}

ChooserWorld::ChooserWorld() {
    for (const char* name : {"work", "work/B", "work/C", "work/a", "work/src", "work/src/deep",
                             "work/.hidden", "other"})
        MakeDirectory(m_dir / name);
    WriteBytes(m_dir / "work/file.txt", "x");
    if (::symlink((m_dir / "work/src").c_str(), (m_dir / "work/link").c_str()) != 0)
        throw std::runtime_error("symlink failed");
    ChangeDirectory(m_dir / "work/src");

    const std::string top = m_dir.path();
    m_system.listVolumes = [top] {
        return std::vector<Volume>{{"/", "System", "ext4", Volume::Kind::Fixed},
                                   {top, "Data Disk", "ext4", Volume::Kind::Fixed},
                                   {top + "/other", "", "vfat", Volume::Kind::Removable},
                                   {top + "/net", "//Server/Share", "cifs", Volume::Kind::Network}};
    };
    m_system.failSetCurrentDirectory = [top](const std::string& path) {
        return path == top + "/net" ? 21 : 0;
    };
    m_scoped = std::make_unique<platform::ScopedSystem>(m_system);
}

ChooserWorld::~ChooserWorld() = default;

QStringList ChooserWorld::Expected(QStringList rows) const {
    for (QString& row : rows) row.replace(QStringLiteral("<top>"), QString::fromStdString(Top()));
    return rows;
}

QStringList Rows(const ui::TForm3& dialog) {
    const ui::DirectoryOutline& outline = *dialog.DirectoryListbox1();
    const DirectoryTree& tree = dialog.Tree();
    QStringList rows;
    for (int row = 0; row < outline.RowCount(); ++row) {
        const DirectoryTree::Node node = outline.NodeAt(row);
        rows.append(QString(tree.Level(node), QLatin1Char(' ')) + ui::DisplayText(tree.Name(node)));
    }
    return rows;
}

QString SelectedName(const ui::TForm3& dialog) {
    return ui::DisplayText(dialog.Tree().Name(dialog.Tree().Selected()));
}

void SelectRowReading(ui::TForm3& dialog, const QString& row) {
    const qsizetype index = Rows(dialog).indexOf(row);
    if (index < 0) throw std::runtime_error("no row " + row.toStdString());
    dialog.DirectoryListbox1()->SelectRow(static_cast<int>(index));
}

int Combined(Qt::Key key, Qt::KeyboardModifiers modifiers) {
    return QKeyCombination(modifiers, key).toCombined();
}

void Press(QWidget* target, int combined) {
    const QKeyCombination key = QKeyCombination::fromCombined(combined);
    QTest::keyClick(target, key.key(), key.keyboardModifiers());
}

void Press(ui::TForm3& dialog, int combined) {
    Press(dialog.DirectoryListbox1(), combined);
}

int Run(ui::TForm3& dialog, const std::function<void(ui::TForm3&)>& user, int answer) {
    ui::TForm3::SetAnswerHook([&](ui::TForm3& shown) {
        user(shown);
        return answer;
    });
    const int result = dialog.exec();
    ui::TForm3::SetAnswerHook(nullptr);
    return result;
}

}  // namespace sifter::test
