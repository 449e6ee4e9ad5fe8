#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace trekora {

// The program's own help window: shows the bundled HTML manual when the
// desktop has no browser to open it with. Links between the manual's pages
// stay in this window.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    explicit frmHelp(QWidget* parent = nullptr);

    // Shows the page and brings the window to the front.
    void showPage(const QUrl& page);

    QTextBrowser* txtManual = nullptr;
};

} // namespace trekora
