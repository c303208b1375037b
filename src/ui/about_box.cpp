// The About box.
#include "ui/about_box.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "controller/app_texts.h"
#include "ui/twips.h"
#include "ui/x11_window.h"

namespace zl::ui {

namespace {

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, double left, double top,
                 double width, double height) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    label->setFont(controlFont(true));
    placeText(*label, left, top, width, height);
    return label;
}

}  // namespace

AboutBox::AboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint) {
    setObjectName("About");
    setWindowTitle(QString());
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(background);
    setAutoFillBackground(true);

    QLabel* title = addLabel(this, "Label1", controller::kWindowCaption, 420, 120, 4950, 600);
    title->setFont(scaledFont(24, true));
    placeText(*title, 420, 120, 4950, 600);
    addLabel(this, "VersionName", tr("Version: ") + QString::fromUtf8(controller::kVersionText),
             1365, 720, 3060, 195);
    addLabel(this, "Label2", controller::kCopyrightNotice, 630, 1395, 4425, 465);
    QLabel* web =
        addLabel(this, "WebPage", tr("Visit the Zerlin Wizard home page for further products"), 105,
                 1890, 5580, 420);
    QPalette blue = web->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 128));
    web->setPalette(blue);

    auto* icon = new QLabel(this);
    icon->setObjectName("Image1");
    icon->setPixmap(QApplication::windowIcon().pixmap(toPixels(*this, 480)));
    placeTwips(*icon, 105, 3015, 480, 480);

    auto* ok = new QPushButton(tr("OK"), this);
    ok->setObjectName("OK");
    ok->setFont(controlFont(true));
    ok->setDefault(true);
    placeTwips(*ok, 2205, 3150, 1380, 330);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(toPixels(*this, 5745), toPixels(*this, 3930));
}

void AboutBox::showEvent(QShowEvent* event) {
    // Before the window is mapped: Qt gives an empty title the application's name.
    QDialog::showEvent(event);
    clearTitleOnX11(*this);
}

}  // namespace zl::ui
