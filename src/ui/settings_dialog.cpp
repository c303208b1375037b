// The Settings dialog.
#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/qt_placement.h"
#include "ui/qt_text.h"
#include "ui/twips.h"

namespace zl::ui {

namespace {

// Design client area (twips); the dialog grows only where the fonts need more room.
constexpr double kClientWidth = 6705;
constexpr double kClientHeight = 4380;

template <typename Widget>
Widget* named(Widget* widget, const char* name, bool bold = true) {
    widget->setObjectName(name);
    widget->setFont(controlFont(bold));
    return widget;
}

QLabel* plainLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = named(new QLabel(text, parent), name, false);
    label->setWordWrap(true);
    return label;
}

// A control with the small "multifile" note to its right.
QHBoxLayout* withMultifileNote(QWidget* control, const char* noteName, QWidget* parent) {
    auto* row = new QHBoxLayout;
    row->addWidget(control);
    row->addWidget(named(new QLabel(QObject::tr("multifile"), parent), noteName, false));
    row->addStretch();
    return row;
}

}  // namespace

SettingsDialog::SettingsDialog(const settings::GenerationSettings& current, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName("Settings");
    setWindowTitle(tr("Settings"));
    auto* layout = new QVBoxLayout(this);

    auto* frame1 =
        named(new QGroupBox(tr("Auxiliary procedures (AddField etc.):"), this), "Frame1");
    auto* frame1Layout = new QVBoxLayout(frame1);
    m_allInOne = named(
        new QRadioButton(tr("&Include all procedures in the generated file"), frame1), "AllInOne0");
    m_separateModule =
        named(new QRadioButton(tr("&Use procedures in a separate module (DBCREATE.BAS)"), frame1),
              "AllInOne1");
    frame1Layout->addWidget(m_allInOne);
    frame1Layout->addLayout(withMultifileNote(m_separateModule, "Label5", frame1));
    layout->addWidget(frame1);

    m_private = named(new QCheckBox(tr("Create &private functions when possible"), this), "Privt");
    layout->addWidget(m_private);
    m_nameAfterDatabase = named(
        new QCheckBox(tr("Use Create_Filename_Database() instead of Create_Database()"), this),
        "No_Create_Database");
    layout->addLayout(withMultifileNote(m_nameAfterDatabase, "Label6", this));

    auto* frame2 = named(new QGroupBox(tr("Error messages:"), this), "Frame2");
    auto* grid = new QGridLayout(frame2);
    struct MessageRow {
        const char* label;
        const char* caption;
    };
    const std::array<MessageRow, 3> rows{{{"Label1", "Error creating a &table:"},
                                          {"Label3", "Error creating a &querydef:"},
                                          // One mnemonic per caption, as in its siblings:
                                          // with two markers Qt draws the second and binds
                                          // the first, so the key shown did nothing.
                                          {"Label4", "Error creating a &database:"}}};
    for (std::size_t i = 0; i < rows.size(); ++i) {
        m_messages[i] = named(new QLineEdit(frame2), ("ErrMsg" + std::to_string(i)).c_str());
        auto* caption = named(new QLabel(tr(rows[i].caption), frame2), rows[i].label);
        caption->setBuddy(m_messages[i]);
        grid->addWidget(caption, static_cast<int>(i), 0);
        grid->addWidget(m_messages[i], static_cast<int>(i), 1);
    }
    auto* explanation = named(
        new QLabel(tr("These will be displayed on error when creating the database. %n will be "
                      "replaced by 'TableName', 'QueryName' or 'DatabaseName'"),
                   frame2),
        "Label2");
    explanation->setWordWrap(true);
    grid->addWidget(explanation, 3, 0, 1, 2);
    layout->addWidget(frame2);

    auto* buttons = new QHBoxLayout;
    auto* ok = named(new QPushButton(tr("OK"), this), "OK");
    auto* cancel = named(new QPushButton(tr("Cancel"), this), "Cancel");
    ok->setDefault(true);
    cancel->setAutoDefault(false);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(plainLabel(tr("Options labeled 'multifile' are useful when you have many "
                                     "databases to be created in the same program"),
                                  "Label7", this),
                       1);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_private->setChecked(current.PrivateFunctions);
    (current.IncludeProcedures ? m_allInOne : m_separateModule)->setChecked(true);
    m_nameAfterDatabase->setChecked(current.NameAfterDatabase);
    m_messages[0]->setText(toQString(current.TableErrorMessage));
    m_messages[1]->setText(toQString(current.QueryDefErrorMessage));
    m_messages[2]->setText(toQString(current.DatabaseErrorMessage));

    // Wrapping labels need their height for the width they get, which the minimum size omits.
    const int width = std::max(toPixels(*this, kClientWidth), layout->totalMinimumSize().width());
    const int height =
        std::max({toPixels(*this, kClientHeight), layout->totalMinimumSize().height(),
                  layout->totalHeightForWidth(width)});
    setFixedSize(width, height);
}

settings::GenerationSettings SettingsDialog::settings() const {
    settings::GenerationSettings s;
    s.PrivateFunctions = m_private->isChecked();
    s.IncludeProcedures = m_allInOne->isChecked();
    s.NameAfterDatabase = m_nameAfterDatabase->isChecked();
    s.TableErrorMessage = toStdString(m_messages[0]->text());
    s.QueryDefErrorMessage = toStdString(m_messages[1]->text());
    s.DatabaseErrorMessage = toStdString(m_messages[2]->text());
    return s;
}

void SettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_placed) {
        m_placed = true;
        centerDialog(*this);
    }
}

}  // namespace zl::ui
