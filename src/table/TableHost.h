#pragma once

#include "core/ControlState.h"
#include "table/TableStatus.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace trekora {

// Errors in this layer: the table never opens a dialog. Operations return
// false and hand a TableStatus (number, source, description) to the host's
// reportError; the window shows it as an error box, a headless caller prints
// or collects it. Texts stay exactly as the user has always seen them.
//
// What the GPS data table needs from the window that shows it: the status
// line, the control states, the selection panel, the data-table button, the
// record-type option buttons, the pointer, the clipboard and the symbol icons.
// The main window implements it; tests and the headless modes use
// HeadlessTableHost.
class TableHost {
public:
    virtual ~TableHost() = default;

    // Status line (panel 2); an empty text clears it.
    virtual void setMessage(const QString& text) = 0;
    virtual void setControls(ControlState state) = 0;
    // Selection panel (panel 3): "<selected> of <records> Selected"; an empty
    // text clears it.
    virtual void setSelectionPanel(const QString& text) = 0;
    // Shows the table area if it is collapsed (the data-table button).
    virtual void showTableArea() = 0;
    // Mirrors the current record-type option on the option buttons (no handler runs).
    virtual void showTypeOption(const QString& typeKey) = 0;
    // The hourglass pointer during long operations.
    virtual void setBusy(bool busy) = 0;
    // True while real-time logging runs: AddRecord then shows no message box.
    virtual bool realTimeRunning() const = 0;
    virtual QString clipboardText() const = 0;
    virtual void setClipboardText(const QString& text) = 0;
    // True when the symbol image list has an icon under `key` ("*18").
    virtual bool hasSymbolIcon(const QString& key) const = 0;
    // A table operation failed (not called while real-time logging runs).
    virtual void reportError(const TableStatus& status) = 0;
};

// A host without a window: it keeps what it is told so tests and the
// headless modes can read it back.
class HeadlessTableHost : public TableHost {
public:
    void setMessage(const QString& text) override { message = text; }
    void setControls(ControlState state) override { controls = state; }
    void setSelectionPanel(const QString& text) override { selectionPanel = text; }
    void showTableArea() override { tableShown = true; }
    void showTypeOption(const QString& typeKey) override { typeOption = typeKey; }
    void setBusy(bool isBusy) override { busy = isBusy; }
    bool realTimeRunning() const override { return realTime; }
    QString clipboardText() const override { return clipboard; }
    void setClipboardText(const QString& text) override { clipboard = text; }
    bool hasSymbolIcon(const QString& key) const override;
    void reportError(const TableStatus& status) override {
        errors.append(status);
        if (onError)
            onError(status);
    }

    QString message;
    ControlState controls{}; // none until the table names one
    QString selectionPanel;
    bool tableShown = false;
    QString typeOption;
    bool busy = false;
    bool realTime = false;
    QString clipboard;
    QList<TableStatus> errors;
    // How a headless caller passes errors on (the command line prints them).
    std::function<void(const TableStatus&)> onError;
    // Icon keys that exist; empty means every symbol number 0 … 8255 has one.
    QStringList symbolIcons;
};

} // namespace trekora
