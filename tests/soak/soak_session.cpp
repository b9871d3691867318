#include "soak_session.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include "ui/chooser/directory_chooser.h"
#include "ui/dialogs/about_box.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"
#include "ui/viewer/line_viewer.h"
#include "ui_test_support.h"

namespace sifter::soak {
namespace {

namespace names = ui::names;
using test::Find;

}  // namespace

Session::Session(std::vector<std::string> parameters)
    : m_program(std::make_unique<ui::Program>(std::move(parameters))) {
    ui::TForm1& form = Form1();
    m_edit = Find<QLineEdit>(form, names::kEdit1);
    m_doProcs = Find<QCheckBox>(form, names::kDoProcs);
    m_caseSensitive = Find<QCheckBox>(form, names::kCaseSensitive);
    m_scripts = Find<QRadioButton>(form, names::kFileType0);
    m_sifter = Find<QPushButton>(form, names::kPbSifter);
    m_editMenu = Find<QMenu>(form, names::kEdit1Menu);
    for (const char* name :
         {names::kSearchDirectory1, names::kSavetoFile1, names::kSavetoTable1, names::kExit1,
          names::kResultsFont1, names::kSifter1, names::kAbout1, names::kDeleteSelected1,
          names::kResultsFont2, names::kIncludeSubdirectories1, names::kWholeWords1,
          names::kRegularExpression1, names::kFileMasks1, names::kOnlyFilesWithMatches1,
          names::kEditor1, names::kOpenInEditor1})
        m_items.append(Find<QAction>(form, name));

    connect(m_edit, &QLineEdit::textChanged, this, [this] { ++m_seen.textChanges; });
    for (auto* button : {m_scripts, Find<QRadioButton>(form, names::kFileType1)})
        connect(button, &QRadioButton::clicked, this, [this] { ++m_seen.typeClicks; });
    connect(m_sifter, &QPushButton::clicked, this, [this] { ++m_seen.sifterClicks; });
    for (QAction* item : m_items)
        connect(item, &QAction::triggered, this,
                [this, item] { m_seen.triggered.append(item->objectName()); });
    connect(ListBox1(), &ui::ResultList::SearchRequested, this,
            [this] { ++m_seen.searchRequests; });
    connect(ListBox1(), &ui::ResultList::ViewRequested, this,
            [this](int row) { m_seen.viewRequests.push_back(row); });
    connect(ListBox1(), &ui::ResultList::EditRequested, this,
            [this](int row) { m_seen.editRequests.push_back(row); });
    connect(&m_program->Form3(), &QDialog::accepted, this,
            [this] { m_seen.chooserAccepted = true; });
    m_program->Form2().installEventFilter(this);
    form.installEventFilter(this);
    // As the program's entry does once the windows exist.
    m_program->RunAutoSearch();
}

Session::~Session() = default;

ui::TForm1& Session::Form1() const {
    return m_program->Form1();
}

ui::ResultList* Session::ListBox1() const {
    return Form1().ListBox1();
}

ui::LineViewer* Session::Viewer() const {
    return Form1().Viewer();
}

QAction* Session::Item(const char* name) const {
    for (QAction* item : m_items)
        if (item->objectName() == QLatin1String(name)) return item;
    qFatal("soak: no menu item %s", name);
}

std::vector<QWidget*> Session::ShownWindows() const {
    std::vector<QWidget*> shown;
    for (QWidget* window :
         {static_cast<QWidget*>(&Form1()), static_cast<QWidget*>(Viewer()),
          static_cast<QWidget*>(&m_program->Form2()), static_cast<QWidget*>(&m_program->Form3()),
          static_cast<QWidget*>(&m_program->AboutBox())})
        if (window != nullptr && window->isVisible()) shown.push_back(window);
    return shown;
}

bool Session::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_program->Form2() && event->type() == QEvent::Hide) {
        const bool saved = m_program->Form2().Label()->text().startsWith(
            QStringLiteral("Saving search results to "));
        ++(saved ? m_seen.saves : m_seen.searches);
    }
    if (watched == &Form1() && event->type() == QEvent::Close && event->isAccepted())
        m_seen.closed = true;
    return QObject::eventFilter(watched, event);
}

}  // namespace sifter::soak
