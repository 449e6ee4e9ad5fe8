#pragma once

#include "gps/SymbolCatalogue.h"

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>
#include <array>
#include <functional>
#include <optional>

class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace trekora {

// The waypoint symbol picker: a list of every symbol with its icon, sorted by
// code or by name, optionally limited to the symbols D103 receivers know.
// Its result is its tag, "OK" or "Cancel"; the choice is the selected item.
class frmWptSelect : public QDialog {
    Q_OBJECT
public:
    frmWptSelect(QHash<QString, QIcon> icons, SymbolMap d103Map, QWidget* parent = nullptr);

    void FillSymbolList(bool nameFirst, bool d103Only);

    QString tag() const { return m_tag; }
    // The list view's selected item, if any.
    std::optional<SymbolListItem> selectedSymbol() const;

    // Shows the dialog modally (or hands it to the modal runner) and returns
    // its tag.
    QString showModal();

    // Opens a picker and returns the chosen symbol, or nothing on Cancel.
    static std::optional<SymbolListItem> pick(const QHash<QString, QIcon>& icons,
                                              const SymbolMap& d103Map, QWidget* parent);

    // Tests drive the dialog through this instead of a modal event loop; an
    // empty runner restores the real modal display.
    using ModalRunner = std::function<void(frmWptSelect&)>;
    static void setModalRunner(ModalRunner runner);

    QListWidget* listView = nullptr;
    std::array<QRadioButton*, 2> optSort{};
    std::array<QRadioButton*, 2> optID{};
    QLabel* lblHelp = nullptr;
    QLabel* lblNote = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

public slots:
    void optSort_Click(int index);
    void OKButton_Click();
    void CancelButton_Click();
    void listView_DblClick();
    // Escape and the close box count as Cancel.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void Form_Activate();

    QHash<QString, QIcon> m_icons;
    SymbolMap m_d103Map;
    QString m_tag;
};

} // namespace trekora
