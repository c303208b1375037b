// The text viewer `MemoForm`: a generated text in a box, copied to the clipboard from there.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace zl::ui {

// A fixed-size modeless tool window; closing it (Close, Esc, the close box) deletes it.
// It is placed in the bottom right corner of the screen when created.
class TextViewer : public QDialog {
    Q_OBJECT

public:
    explicit TextViewer(QWidget* parent = nullptr);

    // Replaces the text and caption and shows the window in front, where it stands.
    void showText(const QString& caption, const QString& text);

    // The selected characters, or the whole text when nothing is selected, with CR LF line
    // ends, put on the clipboard as plain text.
    void copyToClipboard();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPlainTextEdit* m_memo = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_close = nullptr;
};

}  // namespace zl::ui
