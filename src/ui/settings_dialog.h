// The Settings dialog: the six options of module generation.
#pragma once

#include <QDialog>
#include <array>

#include "settings/generation_settings.h"

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace zl::ui {

// A fixed-size modal dialog filled from `current`; OK accepts, Cancel, Esc and the close box
// reject. The edit fields take any text unchanged.
class SettingsDialog : public QDialog {
    Q_OBJECT

public:
    explicit SettingsDialog(const settings::GenerationSettings& current, QWidget* parent = nullptr);

    // The options as the controls hold them now.
    settings::GenerationSettings settings() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QRadioButton* m_allInOne = nullptr;
    QRadioButton* m_separateModule = nullptr;
    QCheckBox* m_private = nullptr;
    QCheckBox* m_nameAfterDatabase = nullptr;
    std::array<QLineEdit*, 3> m_messages{};
    bool m_placed = false;
};

}  // namespace zl::ui
