// The text viewer window.
#include "ui/text_viewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextCursor>

#include "controller/window_placement.h"
#include "ui/qt_placement.h"
#include "ui/twips.h"

namespace zl::ui {

namespace {
// Client area and controls (twips).
constexpr double kClientWidth = 7455;
constexpr double kClientHeight = 5160;
}  // namespace

TextViewer::TextViewer(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("MemoForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    setModal(false);

    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName("Memo");
    m_memo->setReadOnly(true);
    m_memo->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setFont(codeFont());
    m_memo->installEventFilter(this);
    placeTwips(*m_memo, 60, 60, 6435, 5055);

    m_copy = new QPushButton(tr("&Copy"), this);
    m_copy->setObjectName("Copy");
    m_copy->setFont(controlFont(true));
    m_copy->setDefault(true);
    placeTwips(*m_copy, 6600, 180, 795, 375);

    m_close = new QPushButton(tr("Close"), this);
    m_close->setObjectName("Close");
    m_close->setFont(controlFont(true));
    m_close->setAutoDefault(false);
    placeTwips(*m_close, 6600, 660, 795, 375);

    setFixedSize(toPixels(*this, kClientWidth), toPixels(*this, kClientHeight));
    connect(m_copy, &QPushButton::clicked, this, &TextViewer::copyToClipboard);
    // Esc (reject) and the close box reach close() through QDialog; Close does the same.
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(this, &QDialog::finished, this, &QWidget::close);

    // In the bottom right corner, frame and all.
    placeWhenFramed(*this, [this] {
        const controller::WindowFrame frame = windowFrame(*this);
        const controller::ScreenSize screen = screenSize(*this);
        moveWithinScreen(*this, controller::RoundTwips(screen.width - frame.width),
                         controller::RoundTwips(screen.height - frame.height), -1, -1);
    });
}

bool TextViewer::eventFilter(QObject* watched, QEvent* event) {
    // Ctrl+C in the text copies as the Copy button does, with CR LF line ends.
    if (watched == m_memo &&
        (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) &&
        static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)) {
        if (event->type() == QEvent::KeyPress) copyToClipboard();
        event->accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TextViewer::showText(const QString& caption, const QString& text) {
    QString shown = text;
    // The document splits blocks at CR as well as LF; CR LF must make one line break.
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    m_memo->setPlainText(shown);
    setWindowTitle(caption);
    show();
    raise();
    activateWindow();
}

void TextViewer::copyToClipboard() {
    const QTextCursor cursor = m_memo->textCursor();
    QString text = m_memo->toPlainText();
    if (cursor.hasSelection()) {
        text = text.mid(cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart());
    }
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    QGuiApplication::clipboard()->setText(text);
}

}  // namespace zl::ui
