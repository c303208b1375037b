// The tutorial window `HelpForm`: six steps of how the program is used.
#pragma once

#include <QDialog>

class QPushButton;

namespace zl::ui {

// A fixed-size modeless tool window. Its Hide button (also Enter and Esc) asks to be hidden
// for good through hideRequested(); the close box only closes it. Closing deletes it.
class TutorialWindow : public QDialog {
    Q_OBJECT

public:
    explicit TutorialWindow(QWidget* parent = nullptr);

signals:
    void hideRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPushButton* m_hide = nullptr;
};

}  // namespace zl::ui
