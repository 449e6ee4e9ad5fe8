#include "app/QtUserInteraction.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QRegularExpression>

namespace trekora {

namespace {

QWidget* dialogParent() {
    return QApplication::activeWindow();
}

QMessageBox::StandardButtons standardButtons(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return QMessageBox::Ok;
    case Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Buttons::RetryCancel:
        return QMessageBox::Retry | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon) {
    switch (icon) {
    case Icon::None:
        return QMessageBox::NoIcon;
    case Icon::Information:
        return QMessageBox::Information;
    case Icon::Warning:
        return QMessageBox::Warning;
    case Icon::Critical:
        return QMessageBox::Critical;
    case Icon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

Answer answerOf(int button, Buttons offered) {
    switch (button) {
    case QMessageBox::Ok:
        return Answer::Ok;
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        // Escape or the window's close button: the safe answer of the box.
        return offered == Buttons::YesNo ? Answer::No
                                         : (offered == Buttons::Ok ? Answer::Ok : Answer::Cancel);
    }
}

QString startPath(const FileRequest& request) {
    if (request.directory.isEmpty())
        return request.fileName;
    if (request.fileName.isEmpty())
        return request.directory;
    return QDir(request.directory).filePath(request.fileName);
}

struct DialogSetup {
    QStringList filters;
    QString selected;
};

DialogSetup filterSetup(const FileRequest& request) {
    DialogSetup setup;
    setup.filters = QtUserInteraction::qtFilters(request.filter);
    const int index = request.filterIndex - 1;
    if (index >= 0 && index < setup.filters.size())
        setup.selected = setup.filters.at(index);
    return setup;
}

FileChoice choiceOf(const QString& path, const QStringList& filters, const QString& selected) {
    FileChoice choice;
    choice.path = path;
    const int index = int(filters.indexOf(selected));
    choice.filterIndex = index < 0 ? 1 : index + 1;
    return choice;
}

} // namespace

QStringList QtUserInteraction::qtFilters(const QString& filter) {
    if (filter.isEmpty())
        return {};
    if (filter.contains(QLatin1String(";;")) || !filter.contains(QLatin1Char('|')))
        return filter.split(QLatin1String(";;"), Qt::SkipEmptyParts);
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        QString patterns = parts.at(i + 1).trimmed();
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // Descriptions such as "Shapefile (*.shp)" already show patterns; Qt
        // reads the patterns from the last parentheses, so those are replaced
        // by the filter's own.
        static const QRegularExpression shownPatterns(QStringLiteral("\\s*\\([^()]*\\*[^()]*\\)$"));
        description.remove(shownPatterns);
        filters << (description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

QString QtUserInteraction::displayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

Answer QtUserInteraction::message(const QString& text, const QString& title, Buttons buttons,
                                  Icon icon) {
    QMessageBox box(boxIcon(icon), title, displayText(text), standardButtons(buttons),
                    dialogParent());
    box.setTextFormat(Qt::PlainText);
    return answerOf(box.exec(), buttons);
}

std::optional<QString> QtUserInteraction::input(const QString& prompt, const QString& title,
                                                const QString& defaultText) {
    bool accepted = false;
    const QString answer = QInputDialog::getText(dialogParent(), title, displayText(prompt),
                                                 QLineEdit::Normal, defaultText, &accepted);
    if (!accepted)
        return std::nullopt;
    return answer;
}

FileChoice QtUserInteraction::openFile(const FileRequest& request) {
    DialogSetup setup = filterSetup(request);
    const QString path =
        QFileDialog::getOpenFileName(dialogParent(), request.title, startPath(request),
                                     setup.filters.join(QLatin1String(";;")), &setup.selected);
    return choiceOf(path, setup.filters, setup.selected);
}

FileChoice QtUserInteraction::saveFile(const FileRequest& request) {
    DialogSetup setup = filterSetup(request);
    const QString path =
        QFileDialog::getSaveFileName(dialogParent(), request.title, startPath(request),
                                     setup.filters.join(QLatin1String(";;")), &setup.selected);
    return choiceOf(path, setup.filters, setup.selected);
}

} // namespace trekora
