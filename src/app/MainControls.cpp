#include "app/MainControls.h"

#include "app/GpsTableView.h"
#include "app/WindowSizing.h"

#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace trekora {

const QString MainControls::kTableHiddenCaption = QStringLiteral(">>> Data Table >>>");
const QString MainControls::kTableShownCaption = QStringLiteral("<<< Data Table <<<");

void MainControls::build(QWidget& area, DataGrid& grid,
                         const MainMenus::Registrar& registerControl) {
    struct Option {
        QRadioButton*& member;
        const char* name;
        const char* caption;
    };
    for (const Option& o :
         {Option{optWpt, "optWpt", "Waypoint"}, Option{optTrk, "optTrk", "Track"},
          Option{optRte, "optRte", "Route"}, Option{optRTWpt, "optRTWpt", "RTimeWpt"}}) {
        o.member = new QRadioButton(QString::fromLatin1(o.caption), &area);
        registerControl(QString::fromLatin1(o.name), o.member);
    }

    struct Button {
        QPushButton*& member;
        const char* name;
        QString caption;
        const char* tip;
    };
    for (const Button& b :
         {Button{cmdAdvanced, "cmdAdvanced", kTableHiddenCaption, "View advanced data information"},
          Button{cmdAddRec, "cmdAddRec", QStringLiteral("Add Record"), "Add Record to Table"},
          Button{cmdDeleteSel, "cmdDeleteSel", QStringLiteral("Delete Selection"),
                 "Delete Selection"},
          Button{cmdClearSel, "cmdClearSel", QStringLiteral("Clear Selection"), "Clear Selection"},
          Button{cmdCopy, "cmdCopy", QStringLiteral("Copy"), "Copy Selected Cells to Clipboard"},
          Button{cmdPaste, "cmdPaste", QStringLiteral("Paste"), "Paste from Clipboard"}}) {
        b.member = new QPushButton(b.caption, &area);
        registerControl(QString::fromLatin1(b.name), b.member);
        b.member->setToolTip(QString::fromLatin1(b.tip));
        b.member->setFocusPolicy(Qt::NoFocus);
    }

    struct Label {
        QLabel*& member;
        const char* name;
    };
    for (const Label& l :
         {Label{lblGPSDesc1, "lblGPSDesc1"}, Label{lbllat, "lbllat"}, Label{lbllon, "lbllon"},
          Label{lblAlt, "lblAlt"}, Label{lblepe, "lblepe"}}) {
        l.member = new QLabel(&area);
        registerControl(QString::fromLatin1(l.name), l.member);
    }

    MSFlexGrid1 = new GpsTableView(grid, &area);
    MSFlexGrid1->setObjectName(QStringLiteral("MSFlexGrid1"));
}

QRadioButton* MainControls::option(RecordKind kind) const {
    switch (kind) {
    case RecordKind::Track:
        return optTrk;
    case RecordKind::Route:
        return optRte;
    case RecordKind::RealTime:
        return optRTWpt;
    case RecordKind::Waypoint:
        break;
    }
    return optWpt;
}

void MainControls::layout(QSize windowSize, int fontHeight) {
    using WindowSizing::pixels;
    const int rowHeight = std::max(22, fontHeight + 6);
    int x = 8;
    for (QRadioButton* option : {optWpt, optTrk, optRte, optRTWpt}) {
        const int w = option->sizeHint().width() + 4;
        option->setGeometry(x, 4, w, rowHeight);
        x += w + 2;
    }
    const int advancedLeft = windowSize.width() - pixels(WindowSizing::kAdvancedButtonRightOffset);
    cmdAdvanced->setGeometry(advancedLeft, 3, pixels(2100), rowHeight + 2);

    const int labelTop = 4 + rowHeight + 2;
    const int labelHeight = fontHeight + 2;
    lblGPSDesc1->setGeometry(8, labelTop, 180, labelHeight);
    lbllat->setGeometry(192, labelTop, 84, labelHeight);
    lbllon->setGeometry(280, labelTop, 84, labelHeight);
    lblAlt->setGeometry(368, labelTop, 64, labelHeight);
    lblepe->setGeometry(436, labelTop, 64, labelHeight);

    const int gridTop = labelTop + labelHeight + 4;
    const QSize grid = WindowSizing::gridSize(windowSize);
    MSFlexGrid1->setGeometry(8, gridTop, grid.width(), grid.height());
    int buttonX = 8;
    const int buttonTop = gridTop + grid.height() + 4;
    for (QPushButton* b : {cmdAddRec, cmdDeleteSel, cmdClearSel, cmdCopy, cmdPaste}) {
        const int w = b->sizeHint().width();
        b->setGeometry(buttonX, buttonTop, w, rowHeight + 2);
        buttonX += w + 4;
    }
}

} // namespace trekora
