#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace trekora {

// The About window: title, version, program path and credits.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPath = nullptr;
    QLabel* lblCredits = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

public slots:
    void cmdSysInfo_Click();
};

} // namespace trekora
