#include "core/ScriptedInteraction.h"

#include "core/TerminalError.h"

namespace trekora {

namespace {

Answer defaultAnswer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    case Buttons::YesNo:
        return Answer::No;
    }
    return Answer::Ok;
}

bool fits(Answer answer, Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return answer == Answer::Ok;
    case Buttons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    case Buttons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    case Buttons::YesNoCancel:
        return answer == Answer::Yes || answer == Answer::No || answer == Answer::Cancel;
    case Buttons::RetryCancel:
        return answer == Answer::Retry || answer == Answer::Cancel;
    }
    return false;
}

} // namespace

Answer ScriptedInteraction::message(const QString& text, const QString& title, Buttons buttons,
                                    Icon) {
    // An echoing channel serves long headless runs: it prints instead of
    // recording, one line per box.
    if (m_echo)
        terminal::printMessage(text, title);
    else
        m_records.push_back({Kind::Message, text, title, buttons, {}});
    // A box with only OK never consumes a scripted answer: tests script the questions.
    if (buttons != Buttons::Ok && !m_answers.empty()) {
        Answer answer = m_answers.front();
        m_answers.pop_front();
        if (fits(answer, buttons))
            return answer;
    } else if (buttons != Buttons::Ok) {
        noteUnanswered(text);
    }
    return defaultAnswer(buttons);
}

std::optional<QString> ScriptedInteraction::input(const QString& prompt, const QString& title,
                                                  const QString& defaultText) {
    m_records.push_back({Kind::Input, prompt, title, Buttons::OkCancel, defaultText});
    if (m_inputs.empty()) {
        noteUnanswered(prompt);
        return std::nullopt;
    }
    const bool cancelled = !m_inputs.front().has_value();
    const QString answer = cancelled ? QString() : *m_inputs.front();
    m_inputs.pop_front();
    if (cancelled)
        return std::nullopt;
    return answer;
}

FileChoice ScriptedInteraction::openFile(const FileRequest& request) {
    m_records.push_back(
        {Kind::OpenFile, request.title, request.filter, Buttons::OkCancel, request.fileName});
    if (m_files.empty()) {
        noteUnanswered(request.title);
        return {};
    }
    FileChoice choice = m_files.front();
    m_files.pop_front();
    return choice;
}

FileChoice ScriptedInteraction::saveFile(const FileRequest& request) {
    m_records.push_back(
        {Kind::SaveFile, request.title, request.filter, Buttons::OkCancel, request.fileName});
    if (m_files.empty()) {
        noteUnanswered(request.title);
        return {};
    }
    FileChoice choice = m_files.front();
    m_files.pop_front();
    return choice;
}

void ScriptedInteraction::noteUnanswered(const QString& text) {
    if (m_strict)
        m_unanswered << text;
}

QStringList ScriptedInteraction::messages() const {
    QStringList texts;
    for (const Record& record : m_records)
        if (record.kind == Kind::Message)
            texts << record.text;
    return texts;
}

void ScriptedInteraction::clear() {
    m_answers.clear();
    m_inputs.clear();
    m_files.clear();
    m_records.clear();
    m_unanswered.clear();
}

} // namespace trekora
