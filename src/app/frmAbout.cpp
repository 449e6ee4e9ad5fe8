#include "app/frmAbout.h"

#include "app/AboutText.h"
#include "app/AppVersion.h"
#include "core/UserInteraction.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace trekora {

frmAbout::frmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(AboutText::title());
    lblTitle = new QLabel(QString::fromLatin1(kAppTitle), this);
    QFont big = lblTitle->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    lblTitle->setFont(big);
    lblVersion = new QLabel(AboutText::version(), this);
    lblPath = new QLabel(QCoreApplication::applicationFilePath(), this);
    lblPath->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblCredits = new QLabel(AboutText::credits().join(QLatin1Char('\n')), this);
    lblCredits->setWordWrap(true);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(lblPath);
    layout->addSpacing(8);
    layout->addWidget(lblCredits);
    layout->addStretch(1);
    layout->addLayout(buttons);

    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

void frmAbout::cmdSysInfo_Click() {
    // The desktop has no system information tool to start.
    userInteraction().message(QStringLiteral("System Information Is Unavailable At This Time"),
                              QString::fromLatin1(kAppTitle), Buttons::Ok, Icon::Warning);
}

} // namespace trekora
