#pragma once
// TAboutBox, the About box (AboutBox): the program's name, version and a contact line.

#include <QDialog>
#include <functional>

namespace sifter::ui {

class TAboutBox final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TAboutBox)

public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // Shows the box modally; tests put a hook in place of the person who closes it.
    void ShowModal();
    using AnswerHook = std::function<void(TAboutBox&)>;
    static void SetAnswerHook(AnswerHook hook);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace sifter::ui
