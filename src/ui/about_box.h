// The About box `About`: product name, version and copyright.
#pragma once

#include <QDialog>

namespace zl::ui {

// A fixed-size modal dialog with an empty title; OK, Enter and Esc close it.
class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace zl::ui
