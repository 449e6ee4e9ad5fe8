#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <array>

class QLabel;
class QProgressBar;
class QStatusBar;
class QWidget;

namespace trekora {

// The main window's status bar: the connection, message and selection
// panels and the transfer progress bar. Texts are kept at once; the labels
// repaint at the next turn of the event loop and then at most every few
// hundredths of a second, so a bulk operation reporting every row costs one
// repaint and the user sees its last message.
class StatusPanels : public QObject {
    Q_OBJECT
public:
    enum class Panel { Connection = 0, Message = 1, Selection = 2 };

    // Creates the status bar as a child of `window`.
    explicit StatusPanels(QWidget& window);

    QStatusBar* bar() const { return m_bar; }
    void setText(Panel panel, const QString& text);
    QString text(Panel panel) const { return m_text[index(panel)]; }

    // The transfer progress bar: `done` of `total` records.
    void showProgress(int done, int total);
    void endProgress();
    bool progressVisible() const;
    int progressValue() const;

private:
    static size_t index(Panel panel) { return static_cast<size_t>(panel); }
    void flush();

    QStatusBar* m_bar = nullptr;
    QProgressBar* m_progress = nullptr;
    std::array<QLabel*, 3> m_labels{};
    std::array<QString, 3> m_text;
    QTimer m_timer;
    QElapsedTimer m_clock; // since the labels were last brought up to date
};

} // namespace trekora
