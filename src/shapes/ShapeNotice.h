#pragma once

#include <QString>
#include <functional>

namespace trekora {

// The library never opens a dialog itself. Where a routine has something to
// tell or ask the user while it runs (an unimplemented distance, a
// programming error, a directory lookup that failed, a table of a later
// dBASE version), it hands a notice to the handler the program installed,
// which decides what the user sees (src/io/ShapeNotices shows the boxes).
// Without a handler a message is dropped and a question gets its default
// answer. Failures themselves are results or ShapeErrors, never notices.
struct ShapeNotice {
    enum class Kind { Message, Question };
    Kind kind = Kind::Message;
    QString text;
    QString title;
    bool isError = false;  // a message about a failure (error icon)
    QString defaultAnswer; // what a question answers when nobody is asked
};

// Returns the answer to a question (ignored for messages).
using ShapeNoticeHandler = std::function<QString(const ShapeNotice&)>;

// Installs `handler` (an empty one removes it).
void setShapeNoticeHandler(ShapeNoticeHandler handler);
// Hands `notice` to the installed handler; the answer of a question.
QString raiseShapeNotice(const ShapeNotice& notice);

} // namespace trekora
