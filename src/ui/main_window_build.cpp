// The main window's controls, menu and resize layout.
#include <QAction>
#include <QFontMetrics>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <algorithm>

#include "controller/app_texts.h"
#include "controller/main_controller.h"
#include "ui/main_window.h"
#include "ui/qt_placement.h"
#include "ui/twips.h"

namespace zl::ui {

using controller::ListId;

namespace {

void setBackground(QLabel* label, const QColor& color) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, color);
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(controlFont());
    label->setTextFormat(Qt::PlainText);
    return label;
}

QListWidget* makeList(QWidget* parent, const char* name) {
    auto* list = new QListWidget(parent);
    list->setObjectName(name);
    list->setFont(controlFont());
    list->setSelectionMode(QAbstractItemView::MultiSelection);
    list->setUniformItemSizes(true);
    return list;
}

void place(QWidget* widget, const controller::ControlRect& r) {
    placeTwips(*widget, r.left, r.top, r.width, r.height);
}

// A caption is never cut below its text's height, so that its mnemonic shows; one cut short
// at the right shows its full text as a tooltip.
void placeCaption(QLabel* label, const controller::ControlRect& r, bool growWidth = false) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(*label, r.left, r.top, r.width, r.height);
    const QSize hint = label->sizeHint();
    label->resize(growWidth ? std::max(label->width(), hint.width()) : label->width(),
                  std::max(label->height(), hint.height()));
    updateCaptionTip(*label);
}

// The QueryDef's SQL: read-only, selectable, scrollable, in the fixed-width font.
QPlainTextEdit* makeSqlDisplay(QWidget* parent) {
    auto* sql = new QPlainTextEdit(parent);
    sql->setObjectName("SQL");
    sql->setReadOnly(true);
    sql->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    sql->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    sql->setFont(codeFont());
    sql->setFrameStyle(QFrame::Box | QFrame::Plain);
    QPalette palette = sql->palette();
    palette.setColor(QPalette::Base, QColor(192, 192, 192));  // light grey
    palette.setColor(QPalette::Text, Qt::black);
    sql->setPalette(palette);
    return sql;
}

}  // namespace

void MainWindow::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName("client");
    setCentralWidget(client);

    m_label1 = makeLabel(client, "Label1", controller::kTablesCaption);
    m_tables = makeList(client, "Tables");
    m_tableName = makeLabel(client, "TableName", QString());
    m_fields = makeList(client, "Fields");
    m_indexesLabel = makeLabel(client, "Indexeslabel", controller::kIndexesCaption);
    m_indexes = makeList(client, "Indexes");
    m_copyright = makeLabel(client, "Copyright", controller::kCopyrightNotice);
    m_sql = makeSqlDisplay(client);

    m_label1->setBuddy(m_tables);
    m_tableName->setBuddy(m_fields);
    m_indexesLabel->setBuddy(m_indexes);
    m_copyright->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_copyright->setAlignment(Qt::AlignCenter);
    setBackground(m_copyright, QColor(192, 255, 255));  // light cyan
    m_sql->hide();
    m_sql->installEventFilter(this);

    setTabOrder(m_tables, m_fields);
    setTabOrder(m_fields, m_indexes);
    setTabOrder(m_indexes, m_sql);
    for (QListWidget* widget : {m_tables, m_fields, m_indexes}) {
        widget->viewport()->installEventFilter(this);
    }
    watchSelection(m_tables, ListId::Tables);
    watchSelection(m_fields, ListId::Fields);
    watchSelection(m_indexes, ListId::Indexes);

    const controller::ControlRect& head = m_layout.label1;
    placeCaption(m_label1, head, true);
    client->installEventFilter(this);
}

QAction* MainWindow::addCommand(QMenu* menu, const char* objectName, const QString& caption,
                                const QKeySequence& key,
                                void (controller::MainController::*command)()) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(objectName);
    if (!key.isEmpty()) action->setShortcut(key);
    if (command != nullptr) {
        connect(action, &QAction::triggered, this, [this, command] { (*m_controller.*command)(); });
    }
    return action;
}

void MainWindow::buildMenus() {
    using C = controller::MainController;
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName("mFile");
    connect(file, &QMenu::aboutToShow, this, [this] { m_controller->fileMenuOpening(); });
    addCommand(file, "mFileOpen", tr("&Open Database..."), QKeySequence(Qt::CTRL | Qt::Key_O),
               &C::fileOpen);
    m_closeAction = addCommand(file, "mFileClose", tr("&Close Database"),
                               QKeySequence(Qt::CTRL | Qt::Key_C), &C::fileClose);
    file->addSeparator()->setObjectName("mFileSep1");
    addCommand(file, "mFileSettings", tr("&Settings..."), {}, &C::fileSettings);
    m_createAction = addCommand(file, "mFileCreate", tr("Create &Visual Basic Module..."),
                                QKeySequence(Qt::Key_F5), &C::CreateVisualBasicModule);
    file->addSeparator()->setObjectName("mFileSep3");
    QMenu* sql = file->addMenu(tr("&Generate SQL definition"));
    sql->setObjectName("mSQLGen");
    QAction* access = addCommand(sql, "mGenerateSQL1", tr("&MS Access"), {}, nullptr);
    connect(access, &QAction::triggered, this,
            [this] { m_controller->generateSqlDefinition(sqlgen::SqlDialect::MsAccess); });
    QAction* server = addCommand(sql, "mGenerateSQL2", tr("&SQL Server"), {}, nullptr);
    connect(server, &QAction::triggered, this,
            [this] { m_controller->generateSqlDefinition(sqlgen::SqlDialect::SqlServer); });
    // Scripts that load as they are; the viewer shows the ledger summary as their last line.
    QAction* postgres = addCommand(sql, "mGenerateSQL3", tr("&PostgreSQL"), {}, nullptr);
    connect(postgres, &QAction::triggered, this,
            [this] { m_controller->generateSqlDefinition(sqlgen::SqlDialect::PostgreSql); });
    QAction* sqlite = addCommand(sql, "mGenerateSQL4", tr("S&QLite"), {}, nullptr);
    connect(sqlite, &QAction::triggered, this,
            [this] { m_controller->generateSqlDefinition(sqlgen::SqlDialect::Sqlite); });
    file->addSeparator()->setObjectName("mFileSep4");
    m_exportSqliteAction = addCommand(file, "mExportSqlite", tr("Export to S&QLite database..."),
                                      {}, &C::exportToSqlite);
    m_exportPostgresAction = addCommand(file, "mExportPostgres", tr("Export to &PostgreSQL..."), {},
                                        &C::exportToPostgresql);
    file->addSeparator()->setObjectName("mFileSep2");
    QAction* exit =
        addCommand(file, "mFileExit", tr("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_X), nullptr);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu* select = menuBar()->addMenu(tr("&Select"));
    select->setObjectName("mSelect");
    addCommand(select, "mSelectAll", tr("&Select all"), QKeySequence(Qt::CTRL | Qt::Key_A),
               &C::selectAll);
    addCommand(select, "mSelectUnselectAll", tr("&Unselect all"),
               QKeySequence(Qt::CTRL | Qt::Key_U), &C::unselectAll);

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName("mHelp");
    addCommand(help, "mHelpTutorial", tr("&Quick Tutorial"), QKeySequence(Qt::Key_F1),
               &C::helpTutorial);
    addCommand(help, "mHelpAbout", tr("&About Zerlin Wizard..."), {}, &C::helpAbout);
}

void MainWindow::layoutControls() {
    if (isMinimized()) return;
    clampWindowSize(*this, controller::kMainMinWidth, 0, controller::kMainMinHeight, 0);
    const QWidget* client = centralWidget();
    const double spacing =
        toTwips(*this, QFontMetrics(controlFont(true)).horizontalAdvance(QLatin1Char('W')));
    m_layout = controller::LayoutMainWindow(m_layout, toTwips(*this, client->width()),
                                            toTwips(*this, client->height()), spacing);
    place(m_tables, m_layout.tables);
    placeCaption(m_tableName, m_layout.tableName);
    place(m_fields, m_layout.fields);
    placeCaption(m_indexesLabel, m_layout.indexesLabel);
    place(m_indexes, m_layout.indexes);
    place(m_copyright, m_layout.copyright);
    place(m_sql, m_layout.sql);
}

}  // namespace zl::ui
