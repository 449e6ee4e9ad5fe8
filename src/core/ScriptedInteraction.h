#pragma once

#include "core/UserInteraction.h"

#include <QList>
#include <deque>

namespace trekora {

// A user-interaction channel that answers from a script and records every
// request. Tests queue the answers they want; the headless modes run with an
// empty script, which answers every request with its default (OK or No or
// Cancel, empty input, no file).
class ScriptedInteraction : public UserInteraction {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile };
    struct Record {
        Kind kind;
        QString text;  // message text, input prompt or dialog title
        QString title; // box title (file dialogs: the filter)
        Buttons buttons = Buttons::Ok;
        QString defaultText;
    };

    // Queue answers; each request takes the oldest answer of its own kind.
    void answerMessage(Answer answer) { m_answers.push_back(answer); }
    void answerInput(std::optional<QString> text) { m_inputs.push_back(std::move(text)); }
    void answerFile(QString path, int filterIndex = 1) {
        m_files.push_back(FileChoice{std::move(path), filterIndex});
    }

    Answer message(const QString& text, const QString& title, Buttons buttons, Icon icon) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& defaultText) override;
    FileChoice openFile(const FileRequest& request) override;
    FileChoice saveFile(const FileRequest& request) override;

    const QList<Record>& records() const { return m_records; }
    // Texts of the message boxes shown so far, in order.
    QStringList messages() const;
    void clear();

    // When set, every message is also written to standard error (headless modes).
    void setEcho(bool echo) { m_echo = echo; }
    // When set, a question, input box or file dialog that finds no scripted
    // answer is noted: the headless modes must never need one.
    void setStrict(bool strict) { m_strict = strict; }
    // Texts of the requests a strict channel had no answer for, in order.
    const QStringList& unanswered() const { return m_unanswered; }

private:
    std::deque<Answer> m_answers;
    std::deque<std::optional<QString>> m_inputs;
    std::deque<FileChoice> m_files;
    void noteUnanswered(const QString& text);
    QList<Record> m_records;
    QStringList m_unanswered;
    bool m_echo = false;
    bool m_strict = false;
};

} // namespace trekora
