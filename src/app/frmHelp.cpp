#include "app/frmHelp.h"

#include "app/AppVersion.h"

#include <QTextBrowser>
#include <QVBoxLayout>

namespace trekora {

frmHelp::frmHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QString::fromLatin1(kAppTitle) + QStringLiteral(" Help"));
    txtManual = new QTextBrowser(this);
    txtManual->setObjectName(QStringLiteral("txtManual"));
    // Without a browser, outside links cannot be followed; pages of the
    // manual itself open here.
    txtManual->setOpenExternalLinks(false);
    txtManual->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtManual);
    resize(640, 560);
}

void frmHelp::showPage(const QUrl& page) {
    txtManual->setSource(page);
    show();
    raise();
    activateWindow();
}

} // namespace trekora
