#pragma once

#include "core/UserInteraction.h"

#include <QStringList>

class QWidget;

namespace trekora {

// The widgets version of the interaction channel: Qt message boxes, input
// boxes and file dialogs, parented to the active window.
class QtUserInteraction : public UserInteraction {
public:
    Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                   Icon icon = Icon::None) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText = {}) override;
    FileChoice openFile(const FileRequest& request) override;
    FileChoice saveFile(const FileRequest& request) override;

    // Callers keep the classic "Desc|*.ext|Desc2|*.ext1;*.ext2" filter form;
    // Qt wants one "Desc (*.ext)" entry per filter. A filter already in Qt's
    // ";;" form passes through.
    static QStringList qtFilters(const QString& filter);
    // Carriage returns of the classic texts become the line breaks a Qt label shows.
    static QString displayText(const QString& text);
};

} // namespace trekora
