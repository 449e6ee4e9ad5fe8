#include "app/StatusPanels.h"

#include <QLabel>
#include <QProgressBar>
#include <QStatusBar>
#include <algorithm>

namespace trekora {

StatusPanels::StatusPanels(QWidget& window) : QObject(&window) {
    m_bar = new QStatusBar(&window);
    m_bar->setObjectName(QStringLiteral("StatusBar1"));
    m_bar->setSizeGripEnabled(true);
    for (size_t i = 0; i < m_labels.size(); ++i) {
        m_labels[i] = new QLabel(m_bar);
        m_labels[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        m_labels[i]->setFrameShape(QFrame::Panel);
        m_labels[i]->setFrameShadow(QFrame::Sunken);
    }
    m_labels[index(Panel::Connection)]->setMinimumWidth(90);
    // Long messages are cut at the panel's edge instead of widening the window.
    m_labels[index(Panel::Message)]->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_labels[index(Panel::Selection)]->setMinimumWidth(110);
    m_bar->addWidget(m_labels[index(Panel::Connection)]);
    m_bar->addWidget(m_labels[index(Panel::Message)], 1);
    m_bar->addWidget(m_labels[index(Panel::Selection)]);
    m_progress = new QProgressBar(m_bar);
    m_progress->setObjectName(QStringLiteral("progressTransfer"));
    m_progress->setMaximumWidth(160);
    m_progress->setTextVisible(false);
    m_bar->addPermanentWidget(m_progress);
    m_progress->hide();

    m_timer.setSingleShot(true);
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &StatusPanels::flush);
}

void StatusPanels::setText(Panel panel, const QString& text) {
    // Records arriving from the receiver each take a turn of the event loop:
    // the labels then follow at most every few hundredths of a second.
    m_text[index(panel)] = text;
    if (m_timer.isActive())
        return;
    constexpr qint64 kPanelPaceMs = 40;
    const qint64 since = m_clock.isValid() ? m_clock.elapsed() : kPanelPaceMs;
    m_timer.start(int(std::max<qint64>(0, kPanelPaceMs - since)));
}

void StatusPanels::flush() {
    m_clock.start();
    for (size_t i = 0; i < m_labels.size(); ++i)
        if (m_labels[i]->text() != m_text[i])
            m_labels[i]->setText(m_text[i]);
}

void StatusPanels::showProgress(int done, int total) {
    if (total < 1)
        return;
    if (m_progress->maximum() != total)
        m_progress->setRange(0, total);
    m_progress->setValue(std::clamp(done, 0, total));
    if (m_progress->isHidden())
        m_progress->show();
}

void StatusPanels::endProgress() {
    m_progress->hide();
    m_progress->reset();
}

bool StatusPanels::progressVisible() const {
    return !m_progress->isHidden();
}

int StatusPanels::progressValue() const {
    return m_progress->value();
}

} // namespace trekora
