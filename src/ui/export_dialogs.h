// The export's windows: the PostgreSQL connection dialog and the progress dialog with Cancel.
#pragma once

#include <QDialog>
#include <string>

#include "controller/data_export.h"
#include "controller/main_view.h"

class QLineEdit;

namespace zl::ui {

// Host, port, database, user, password and schema; the password field shows no characters
// and starts empty.
class PostgresDialog : public QDialog {
    Q_OBJECT

public:
    explicit PostgresDialog(const controller::PostgresConnection& last, QWidget* parent = nullptr);

    controller::PostgresConnection connection() const;

private:
    QLineEdit* addField(const char* objectName, const QString& label, const std::string& value);

    QLineEdit* m_host = nullptr;
    QLineEdit* m_port = nullptr;
    QLineEdit* m_database = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_schema = nullptr;
};

// Runs `work` on a thread of its own while a modal progress dialog shows the table and its rows;
// Cancel sets the work's flag and the dialog stays until the work has ended.
controller::ExportOutcome runUnderProgress(QWidget* parent, const QString& caption,
                                           const controller::ProgressWork& work);

}  // namespace zl::ui
