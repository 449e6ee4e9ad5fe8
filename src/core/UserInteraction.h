#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trekora {

// Buttons offered by a message box, and the button the user pressed.
enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Answer { Ok, Cancel, Yes, No, Retry };
enum class Icon { None, Information, Warning, Critical, Question };

// What a file dialog is asked to show.
struct FileRequest {
    QString title;
    QString filter;      // "Shapefile (*.shp)|*.shp|Text (*.txt)|*.txt" or Qt's ";;" form
    int filterIndex = 1; // 1-based, as the common dialog counts
    QString directory;
    QString fileName;
};

// What a file dialog returned: the chosen path (empty when cancelled) and filter.
struct FileChoice {
    QString path;
    int filterIndex = 1;
    bool accepted() const { return !path.isEmpty(); }
};

// Every message box, question, input box and file dialog of the program goes
// through this interface, so that tests and the headless modes can answer them
// and check the exact texts that a user would see.
class UserInteraction {
public:
    virtual ~UserInteraction() = default;

    virtual Answer message(const QString& text, const QString& title, Buttons buttons = Buttons::Ok,
                           Icon icon = Icon::None) = 0;
    // Returns std::nullopt when the user cancels.
    virtual std::optional<QString> input(const QString& prompt, const QString& title,
                                         const QString& defaultText = {}) = 0;
    virtual FileChoice openFile(const FileRequest& request) = 0;
    virtual FileChoice saveFile(const FileRequest& request) = 0;

    // Conveniences that keep call sites short.
    Answer question(const QString& text, const QString& title, bool withCancel = false) {
        return message(text, title, withCancel ? Buttons::YesNoCancel : Buttons::YesNo,
                       Icon::Question);
    }
    // An input box whose Cancel reads as the empty answer, as the classic InputBox does.
    QString inputText(const QString& prompt, const QString& title,
                      const QString& defaultText = {}) {
        return input(prompt, title, defaultText).value_or(QString());
    }
};

// The program-wide interaction channel. Until a front end installs one, a
// non-interactive channel is used that writes messages to standard error and
// answers every question with its safe default (No, Cancel, empty).
UserInteraction& userInteraction();
// Installs `channel` (not owned); nullptr restores the non-interactive one.
void setUserInteraction(UserInteraction* channel);

} // namespace trekora
