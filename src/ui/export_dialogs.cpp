// The PostgreSQL connection dialog and the export's progress dialog.
#include "ui/export_dialogs.h"

#include <QDialogButtonBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>

#include "ui/qt_text.h"

namespace zl::ui {

PostgresDialog::PostgresDialog(const controller::PostgresConnection& last, QWidget* parent)
    : QDialog(parent) {
    setObjectName("postgresDialog");
    setWindowTitle(tr("Export to PostgreSQL"));
    auto* form = new QFormLayout(this);
    m_host = addField("host", tr("&Host:"), last.host);
    m_host->setPlaceholderText(tr("localhost, a name or a socket folder"));
    m_port = addField("port", tr("&Port:"), last.port);
    m_port->setPlaceholderText("5432");
    m_port->setValidator(new QIntValidator(1, 65535, m_port));
    m_database = addField("database", tr("&Database:"), last.database);
    m_user = addField("user", tr("&User:"), last.user);
    m_password = addField("password", tr("Pass&word:"), {});
    m_password->setEchoMode(QLineEdit::Password);
    m_schema = addField("schema", tr("&Schema:"), last.schema);
    m_schema->setPlaceholderText(tr("the server's default schema"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QLineEdit* PostgresDialog::addField(const char* objectName, const QString& label,
                                    const std::string& value) {
    auto* edit = new QLineEdit(toQString(value), this);
    edit->setObjectName(objectName);
    static_cast<QFormLayout*>(layout())->addRow(label, edit);
    return edit;
}

controller::PostgresConnection PostgresDialog::connection() const {
    controller::PostgresConnection connection;
    connection.host = toStdString(m_host->text().trimmed());
    connection.port = toStdString(m_port->text().trimmed());
    connection.database = toStdString(m_database->text());
    connection.user = toStdString(m_user->text());
    connection.password = toStdString(m_password->text());
    connection.schema = toStdString(m_schema->text());
    return connection;
}

namespace {

// What the export's thread last reported, read by the window's timer.
struct ProgressState {
    std::mutex mutex;
    std::string table;
    std::uint64_t done = 0;
    std::uint64_t total = 0;
};

}  // namespace

controller::ExportOutcome runUnderProgress(QWidget* parent, const QString& caption,
                                           const controller::ProgressWork& work) {
    constexpr int kSteps = 1000;
    QProgressDialog dialog(QObject::tr("Preparing..."), QObject::tr("Cancel"), 0, kSteps, parent);
    dialog.setObjectName("exportProgress");
    dialog.setWindowTitle(caption);
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setMinimumDuration(0);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
    dialog.setMinimumWidth(360);
    std::atomic<bool> cancel{false};
    std::atomic<bool> finished{false};
    ProgressState state;
    // Cancel only asks the work to stop. The dialog's own handling hides it; it is shown again
    // so that nothing else can be started before the partial file or transaction is cleaned up.
    QObject::connect(&dialog, &QProgressDialog::canceled, &dialog, [&] {
        cancel.store(true);
        dialog.setLabelText(QObject::tr("Cancelling..."));
        dialog.show();
    });

    controller::ExportOutcome outcome;
    std::thread worker([&] {
        try {
            outcome = work(cancel,
                           [&](const std::string& table, std::uint64_t done, std::uint64_t total) {
                               const std::lock_guard<std::mutex> lock(state.mutex);
                               state.table = table;
                               state.done = done;
                               state.total = total;
                           });
        } catch (const std::exception& e) {
            outcome.kind = controller::ExportOutcomeKind::Failed;
            outcome.summary = e.what();
        }
        finished.store(true);
    });

    QEventLoop loop;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        if (finished.load()) {
            loop.quit();
            return;
        }
        if (cancel.load()) return;
        const std::lock_guard<std::mutex> lock(state.mutex);
        if (state.table.empty()) return;
        dialog.setLabelText(QObject::tr("%1: %2 of %3 rows")
                                .arg(toQString(state.table))
                                .arg(state.done)
                                .arg(state.total));
        const std::uint64_t total = std::max<std::uint64_t>(state.total, 1);
        dialog.setValue(static_cast<int>(std::min(state.done, total) * kSteps / total));
    });
    timer.start(100);
    dialog.show();
    loop.exec();
    worker.join();
    dialog.hide();
    return outcome;
}

}  // namespace zl::ui
