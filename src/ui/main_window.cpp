// The main window: controls, menu and the view operations its controller calls.
#include "ui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "controller/app_texts.h"
#include "controller/main_controller.h"
#include "ui/about_box.h"
#include "ui/export_dialogs.h"
#include "ui/qt_placement.h"
#include "ui/qt_text.h"
#include "ui/settings_dialog.h"
#include "ui/text_viewer.h"
#include "ui/tutorial_window.h"
#include "ui/twips.h"

namespace zl::ui {

using controller::LabelId;
using controller::ListId;

MainWindow::MainWindow(schema::Engine& engine, controller::Services& services, QWidget* parent)
    : QMainWindow(parent),
      m_controller(std::make_unique<controller::MainController>(engine, *this, services)),
      m_layout(controller::CreationLayout()) {
    setObjectName("zlgen");
    setWindowTitle(controller::kWindowCaption);
    buildMenus();
    buildControls();
    const QSize client = openingClientSize();
    resize(client.width(), client.height() + menuBar()->sizeHint().height());
    placeWhenFramed(*this, [this] {
        layoutControls();  // holds the minimum size, decorations included
        centerOnScreen(*this);
    });
}

QSize MainWindow::openingClientSize() const {
    // A typical name: 34 characters of the list's font, beside the list's frame, the
    // item's margins and a scroll bar.
    constexpr int kTypicalNameLength = 34;
    const QFontMetrics metrics(m_tables->font());
    const int entry = metrics.averageCharWidth() * kTypicalNameLength + 2 * m_tables->frameWidth() +
                      8 + m_tables->verticalScrollBar()->sizeHint().width();
    // The layout gives each list half the client width less one and a half margins.
    const double margin = m_layout.tables.left;
    double width =
        std::max(controller::kCreationClientWidth, 2 * (toTwips(*this, entry) + 1.5 * margin));
    if (const QScreen* shown = screen(); shown != nullptr) {
        width = std::min(width, std::max(controller::kCreationClientWidth,
                                         toTwips(*this, shown->availableGeometry().width()) * 0.9));
    }
    return {toPixels(*this, width), toPixels(*this, controller::kCreationClientHeight)};
}

MainWindow::~MainWindow() {
    for (const QPointer<QWidget>& window : m_opened) delete window.data();
}

void MainWindow::start(const std::vector<std::string>& arguments) {
    m_controller->start(arguments);
}

void MainWindow::setCaption(const std::string& caption) { setWindowTitle(toQString(caption)); }

QListWidget* MainWindow::list(ListId id) const {
    switch (id) {
        case ListId::Tables:
            return m_tables;
        case ListId::Fields:
            return m_fields;
        case ListId::Indexes:
            return m_indexes;
    }
    return m_tables;
}

QLabel* MainWindow::label(LabelId id) const {
    switch (id) {
        case LabelId::TableName:
            return m_tableName;
        case LabelId::Sql:  // the SQL display is no label; callers handle it
        case LabelId::IndexesLabel:
            return m_indexesLabel;
    }
    return m_tableName;
}

void MainWindow::clearList(ListId id) { list(id)->clear(); }

void MainWindow::appendRow(ListId id, const std::string& text, bool selected) {
    auto* item = new QListWidgetItem(toQString(text), list(id));
    if (selected) item->setSelected(true);
}

void MainWindow::setRowSelected(ListId id, int row, bool selected) {
    if (QListWidgetItem* item = list(id)->item(row)) item->setSelected(selected);
}

void MainWindow::setAllRowsSelected(ListId id, bool selected) {
    QListWidget* widget = list(id);
    if (widget->count() == 0) return;
    const QItemSelection all(widget->model()->index(0, 0),
                             widget->model()->index(widget->count() - 1, 0));
    widget->selectionModel()->select(
        all, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

void MainWindow::setCurrentRow(ListId id, int row) {
    QListWidget* widget = list(id);
    widget->selectionModel()->setCurrentIndex(widget->model()->index(row, 0),
                                              QItemSelectionModel::NoUpdate);
}

void MainWindow::setListVisible(ListId id, bool visible) { list(id)->setVisible(visible); }

void MainWindow::setLabelText(LabelId id, const std::string& text) {
    QString shown = toQString(text);
    if (id == LabelId::Sql) {
        // The SQL text comes with CR LF line ends; the display splits lines at CR as well.
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        m_sql->setPlainText(shown);
        return;
    }
    label(id)->setText(shown);
    updateCaptionTip(*label(id));
}

void MainWindow::setLabelVisible(LabelId id, bool visible) {
    if (id == LabelId::Sql) {
        m_sql->setVisible(visible);
        return;
    }
    label(id)->setVisible(visible);
}

void MainWindow::setDatabaseCommandsEnabled(bool enabled) {
    m_closeAction->setEnabled(enabled);
    m_createAction->setEnabled(enabled);
    m_exportSqliteAction->setEnabled(enabled);
    m_exportPostgresAction->setEnabled(enabled);
}

namespace {

QString runFileDialog(QWidget* parent, const controller::FileDialogRequest& request,
                      QFileDialog::AcceptMode mode) {
    QFileDialog dialog(parent, toQString(request.title));
    QStringList filters;
    for (const std::string& filter : request.filters) filters << toQString(filter);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(toQString(request.defaultSuffix));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(request.mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.confirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().front();
}

}  // namespace

std::string MainWindow::askOpenFileName(const controller::FileDialogRequest& request) {
    return toStdString(runFileDialog(this, request, QFileDialog::AcceptOpen));
}

std::string MainWindow::askSaveFileName(const controller::FileDialogRequest& request) {
    return toStdString(runFileDialog(this, request, QFileDialog::AcceptSave));
}

void MainWindow::showMessage(const std::string& text, const std::string& title,
                             controller::MessageIcon icon) {
    QMessageBox::Icon qtIcon = QMessageBox::NoIcon;
    if (icon == controller::MessageIcon::Exclamation) qtIcon = QMessageBox::Warning;
    if (icon == controller::MessageIcon::Information) qtIcon = QMessageBox::Information;
    QMessageBox box(qtIcon, toQString(title), toQString(text), QMessageBox::Ok, this);
    box.setObjectName("messageBox");
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

int MainWindow::askChoice(const std::string& text, const std::string& title,
                          const std::vector<std::string>& answers) {
    QMessageBox box(QMessageBox::Question, toQString(title), toQString(text), QMessageBox::NoButton,
                    this);
    box.setObjectName("choiceBox");
    box.setTextFormat(Qt::PlainText);
    std::vector<QPushButton*> buttons;
    buttons.reserve(answers.size());
    for (const std::string& answer : answers) {
        buttons.push_back(box.addButton(toQString(answer), QMessageBox::AcceptRole));
    }
    if (!buttons.empty()) box.setDefaultButton(buttons.front());
    box.exec();
    const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
    return pressed == buttons.end() ? -1 : static_cast<int>(pressed - buttons.begin());
}

void MainWindow::keepOpened(QWidget* window) {
    std::erase_if(m_opened, [](const QPointer<QWidget>& w) { return w.isNull(); });
    m_opened.emplace_back(window);
}

void MainWindow::showTextViewer(const std::string& caption, const std::string& text) {
    if (m_viewer.isNull()) {
        m_viewer = new TextViewer();
        keepOpened(m_viewer);
    }
    m_viewer->showText(toQString(caption), toQString(text));
}

std::optional<settings::GenerationSettings> MainWindow::editSettings(
    const settings::GenerationSettings& current) {
    SettingsDialog dialog(current, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.settings();
}

std::optional<controller::PostgresConnection> MainWindow::askPostgresConnection(
    const controller::PostgresConnection& last) {
    PostgresDialog dialog(last, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.connection();
}

controller::ExportOutcome MainWindow::runWithProgress(const std::string& caption,
                                                      const controller::ProgressWork& work) {
    return runUnderProgress(this, toQString(caption), work);
}

bool MainWindow::openTutorial() {
    const bool opening = m_tutorial.isNull();
    if (opening) {
        // A tool window of this one: it stays above it, even when this one is maximised.
        m_tutorial = new TutorialWindow(this);
        connect(m_tutorial, &TutorialWindow::hideRequested, this,
                [this] { m_controller->tutorialHidden(); });
        keepOpened(m_tutorial);
        // Beside the main window: left edges touching, 300 twips lower.
        placeWhenFramed(*m_tutorial, [this] {
            const controller::WindowFrame main = windowFrame(*this);
            moveWithinScreen(*m_tutorial, controller::RoundTwips(main.left + main.width),
                             controller::RoundTwips(main.top + 300), -1, -1);
        });
    }
    m_tutorial->show();
    m_tutorial->raise();
    raise();
    activateWindow();
    return opening;
}

void MainWindow::closeTutorial() {
    if (!m_tutorial.isNull()) m_tutorial->close();
}

void MainWindow::showAbout() {
    AboutBox box(this);
    box.exec();
}

void MainWindow::setBusyPointer(bool busy) {
    if (busy) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    m_controller->windowClosing();
    // Newest first.
    std::for_each(m_opened.rbegin(), m_opened.rend(), [](const QPointer<QWidget>& window) {
        if (!window.isNull()) window->close();
    });
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize) layoutControls();
    if (watched == m_sql && filterSqlKeys(event)) return true;
    for (QListWidget* widget : {m_tables, m_fields, m_indexes}) {
        if (widget != nullptr && watched == widget->viewport() && showEntryTip(widget, event)) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::filterSqlKeys(QEvent* event) {
    // Ctrl+C copies a selection in the SQL display, as in any text widget; without one it
    // stays Close Database.
    if (event->type() != QEvent::ShortcutOverride) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (!key->matches(QKeySequence::Copy)) return false;
    if (m_sql->textCursor().hasSelection()) {
        event->accept();
    } else {
        event->ignore();
    }
    return true;
}

bool MainWindow::showEntryTip(QListWidget* widget, QEvent* event) {
    if (event->type() != QEvent::ToolTip) return false;
    auto* help = static_cast<QHelpEvent*>(event);
    const QListWidgetItem* item = widget->itemAt(help->pos());
    // Only an entry the list cuts short shows its full text.
    if (item != nullptr && QFontMetrics(widget->font()).horizontalAdvance(item->text()) >
                               widget->visualItemRect(item).width() - 6) {
        QToolTip::showText(help->globalPos(), item->text(), widget->viewport());
    } else {
        QToolTip::hideText();
        event->ignore();
    }
    return true;
}

void updateCaptionTip(QLabel& caption) {
    // A caption cut short shows its full text, without the mnemonic marker.
    QString plain;
    const QString text = caption.text();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size()) ++i;
        plain += text[i];
    }
    caption.setToolTip(caption.sizeHint().width() > caption.width() ? plain : QString());
}

void MainWindow::forwardSelection(ListId id, const QItemSelection& selected,
                                  const QItemSelection& deselected) {
    for (const QModelIndex& index : deselected.indexes()) {
        m_controller->rowToggled(id, index.row(), false);
    }
    for (const QModelIndex& index : selected.indexes()) {
        m_controller->rowToggled(id, index.row(), true);
    }
}

void MainWindow::watchSelection(QListWidget* widget, ListId id) {
    connect(widget->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, id](const QItemSelection& selected, const QItemSelection& deselected) {
                forwardSelection(id, selected, deselected);
            });
}

}  // namespace zl::ui
