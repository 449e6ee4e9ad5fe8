#include "app/frmSplash.h"

#include "app/AboutText.h"
#include "app/AppVersion.h"

#include <QLabel>
#include <QVBoxLayout>

namespace trekora {

frmSplash::frmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* title = new QLabel(QString::fromLatin1(kAppTitle), this);
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto* subtitle = new QLabel(QStringLiteral("Garmin GPS data for desktop GIS"), this);
    subtitle->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(AboutText::version(), this);
    version->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    layout->addWidget(version);
    setStyleSheet(QStringLiteral("frmSplash { background: white; border: 1px solid gray; }"));
    setAttribute(Qt::WA_StyledBackground);

    Timer1.setSingleShot(true);
    Timer1.setInterval(kShowMs);
    connect(&Timer1, &QTimer::timeout, this, &QWidget::close);
    Timer1.start();
}

void frmSplash::mousePressEvent(QMouseEvent*) {
    close();
}

} // namespace trekora
