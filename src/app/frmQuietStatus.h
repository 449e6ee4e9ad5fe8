#pragma once

#include <QWidget>

class QLabel;

namespace trekora {

// The small window quiet mode shows instead of the main window: the status
// messages, one at a time.
class frmQuietStatus : public QWidget {
    Q_OBJECT
public:
    explicit frmQuietStatus(QWidget* parent = nullptr);
    void setStatus(const QString& text);
    QString status() const;

    QLabel* lblStatus = nullptr;
};

} // namespace trekora
