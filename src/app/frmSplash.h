#pragma once

#include <QTimer>
#include <QWidget>

namespace trekora {

// The start-up splash: title and version; it closes itself on its timer.
class frmSplash : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 3000;
    explicit frmSplash(QWidget* parent = nullptr);

    QTimer Timer1;

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

} // namespace trekora
