// The tutorial window.
#include "ui/tutorial_window.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <array>

#include "ui/twips.h"

namespace zl::ui {

namespace {

struct Step {
    const char* name;
    double left, top, width, height;
    const char* text;
};

// Left, top, width and height in twips.
constexpr std::array kSteps{
    Step{"Label1", 105, 570, 1800, 240, "1. Open a database"},
    Step{"Label2", 105, 795, 4320, 420,
         "2. Unselect those tables / fields / indexes you don't want to include in the resulting "
         "database"},
    Step{"Label3", 105, 1200, 4320, 285, "3. Adjust File|Settings"},
    Step{"Label4", 105, 1425, 4320, 285, "4. Click File|Create Visual Basic module"},
    Step{"Label5", 105, 1650, 4320, 285, "5. Add the created module to your own project"},
    Step{"Label6", 105, 1875, 4320, 360,
         "6. Add a function call to Create_Database(\"Filename.mdb\") "},
    Step{
        "Label7", 105, 2295, 4320, 480,
        "Instead of phases 5 and 6 you can add the created module to the test project maketest.mak "
        "and run it"},
    Step{"Label8", 105, 2850, 4320, 285, "You can see this tutorial again by pressing F1"},
};

QLabel* addLabel(QWidget* parent, const char* name, const QString& text, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(controlFont(bold));
    return label;
}

}  // namespace

TutorialWindow::TutorialWindow(QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName("HelpForm");
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window that opens it keeps the focus.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setModal(false);
    setWindowTitle(tr("Zerlin Wizard - Quick Tutorial"));
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(192, 192, 192));
    setPalette(background);
    setAutoFillBackground(true);

    QLabel* heading = addLabel(
        this, "Label9", tr("Zerlin Wizard generates code for creating a new database"), true);
    placeText(*heading, 120, 60, 3135, 435);
    for (const Step& step : kSteps) {
        QLabel* label = addLabel(this, step.name, QString::fromUtf8(step.text), false);
        placeText(*label, step.left, step.top, step.width, step.height);
        if (QLatin1String(step.name) == QLatin1String("Label8")) {
            QPalette blue = label->palette();
            blue.setColor(QPalette::WindowText, QColor(0, 0, 128));
            label->setPalette(blue);
        }
    }

    m_hide = new QPushButton(tr("Hide"), this);
    m_hide->setObjectName("OK");
    m_hide->setFont(controlFont());
    m_hide->setDefault(true);
    placeTwips(*m_hide, 1575, 3210, 1275, 330);
    connect(m_hide, &QPushButton::clicked, this, &TutorialWindow::hideRequested);
    // The close box rejects the dialog; closing without Hide records nothing.
    connect(this, &QDialog::finished, this, &QWidget::close);

    setFixedSize(toPixels(*this, 4785), toPixels(*this, 3615));
}

void TutorialWindow::keyPressEvent(QKeyEvent* event) {
    // Hide is the cancel button too: Esc hides for good, as the button does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        m_hide->click();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace zl::ui
