#include "app/frmProperties.h"

#include "app/AppVersion.h"
#include "core/Settings.h"
#include "core/UserInteraction.h"
#include "table/FieldCatalogue.h"
#include "table/FieldSettings.h"
#include "table/GpsTable.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace trekora {

frmProperties::frmProperties(GpsTable& table, QWidget* parent) : QDialog(parent), m_table(table) {
    setObjectName(QStringLiteral("frmProperties"));
    setWindowTitle(QStringLiteral("Trekora Properties"));

    SSTab1 = new QTabWidget(this);
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    m_projectionTab = new QWidget;
    m_projectionTab->setLayout(new QVBoxLayout);
    SSTab1->addTab(m_projectionTab, QStringLiteral("Projection"));
    SSTab1->addTab(fieldTab(lbxWFields, "lbxWFields"), QStringLiteral("Waypoint"));
    SSTab1->addTab(fieldTab(lbxTFields, "lbxTFields"), QStringLiteral("Track"));
    SSTab1->addTab(fieldTab(lbxRFields, "lbxRFields"), QStringLiteral("Route"));
    SSTab1->addTab(fieldTab(lbxRTFields, "lbxRTFields"), QStringLiteral("RTimeWpt"));

    cmdWReset = new QPushButton(QStringLiteral("Reset"), this);
    cmdWReset->setObjectName(QStringLiteral("cmdWReset"));
    cmdWReset->setToolTip(QStringLiteral("Resets Field Selection Set"));
    cbxCalcArea =
        new QCheckBox(QStringLiteral("Calculate Length/Area in when saving to ArcMap"), this);
    cbxCalcArea->setObjectName(QStringLiteral("cbxCalcArea"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdWReset);
    buttons->addWidget(cbxCalcArea, 1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(SSTab1, 1);
    layout->addLayout(buttons);
    resize(460, 420);

    connect(cmdWReset, &QPushButton::clicked, this, &frmProperties::cmdWReset_Click);
    connect(cmdOK, &QPushButton::clicked, this, &frmProperties::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmProperties::cmdCancel_Click);
    connect(SSTab1, &QTabWidget::currentChanged, this, &frmProperties::showTabControls);
    // Closing the window is a Cancel: the dialog hides and keeps its lists.
    connect(this, &QDialog::rejected, this, [this] {
        hide();
        if (m_projectionCancel)
            m_projectionCancel();
    });

    SetFieldSettings(QString());
    LoadFields();
    showTabControls(SSTab1->currentIndex());
}

QWidget* frmProperties::fieldTab(QListWidget*& list, const char* name) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(new QLabel(QStringLiteral("Fields to Use:"), page));
    list = new QListWidget(page);
    list->setObjectName(QString::fromLatin1(name));
    layout->addWidget(list, 1);
    QListWidget* target = list;
    connect(list, &QListWidget::itemChanged, this,
            [this, target](QListWidgetItem* item) { ReadOnlyCheck(target, item); });
    return page;
}

void frmProperties::setProjectionPage(QWidget* page) {
    if (m_projectionPage)
        m_projectionPage->deleteLater();
    m_projectionPage = page;
    if (page)
        m_projectionTab->layout()->addWidget(page);
}

void frmProperties::setCurrentTab(int tab) {
    if (tab >= 0 && tab < SSTab1->count())
        SSTab1->setCurrentIndex(tab);
    showTabControls(SSTab1->currentIndex());
}

void frmProperties::showTabControls(int tab) {
    cmdWReset->setVisible(tab >= WaypointTab && tab <= RealTimeTab);
    cbxCalcArea->setVisible(tab >= TrackTab && tab <= RealTimeTab);
}

QString frmProperties::typeOfTab(int tab) {
    switch (tab) {
    case WaypointTab:
        return RecordType::Waypoint;
    case TrackTab:
        return RecordType::Track;
    case RouteTab:
        return RecordType::Route;
    default:
        return RecordType::RealTime;
    }
}

QListWidget* frmProperties::fieldList(const QString& typeKey) const {
    if (typeKey == RecordType::Waypoint)
        return lbxWFields;
    if (typeKey == RecordType::Track)
        return lbxTFields;
    if (typeKey == RecordType::Route)
        return lbxRFields;
    if (typeKey == RecordType::RealTime)
        return lbxRTFields;
    return nullptr;
}

QString frmProperties::listValue(const QListWidget& list) {
    QStringList items;
    for (int i = 0; i < list.count(); ++i) {
        const QListWidgetItem* item = list.item(i);
        items << item->text() + (item->checkState() == Qt::Checked ? QStringLiteral(":1")
                                                                   : QStringLiteral(":0"));
    }
    return items.join(QLatin1Char(','));
}

void frmProperties::SetFieldSettings(const QString& typeKey) {
    const QString trackArea = FieldSettings::SetFieldSettings(typeKey);
    cbxCalcArea->setChecked(trackArea == QLatin1String("1"));
}

void frmProperties::LoadFields() {
    m_loading = true;
    for (const QString& type : RecordType::all()) {
        QListWidget* list = fieldList(type);
        list->clear();
        const QStringList items =
            FieldSettings::stored(type).split(QLatin1Char(','), Qt::SkipEmptyParts);
        for (const QString& entry : items) {
            const qsizetype colon = entry.indexOf(QLatin1Char(':'));
            const QString name = colon < 0 ? entry : entry.left(colon);
            const QString flag = colon < 0 ? QString() : entry.mid(colon + 1);
            auto* item = new QListWidgetItem(name, list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(flag == QLatin1String("0") ? Qt::Unchecked : Qt::Checked);
        }
    }
    m_loading = false;
}

void frmProperties::ReadOnlyCheck(QListWidget* list, QListWidgetItem* item) {
    if (m_loading || !list || !item)
        return;
    if (item->checkState() == Qt::Checked || !FieldSettings::isRequiredField(item->text()))
        return;
    item->setCheckState(Qt::Checked);
    userInteraction().message(QStringLiteral("This is a required field"),
                              QString::fromLatin1(kAppTitle), Buttons::Ok, Icon::Information);
}

void frmProperties::cmdWReset_Click() {
    const QString type = typeOfTab(SSTab1->currentIndex());
    SetFieldSettings(type);
    LoadFields();
    QListWidget* list = fieldList(type);
    m_loading = true;
    for (int i = 0; i < list->count(); ++i)
        list->item(i)->setCheckState(Qt::Checked);
    m_loading = false;
}

void frmProperties::cmdOK_Click() {
    for (const QString& type : RecordType::all())
        Settings::set("fields", type, listValue(*fieldList(type)));
    hide();
    // An empty table has no columns to arrange; its header is built from the
    // new settings when its first record arrives.
    if (m_table.hasHeader()) {
        m_table.ApplyFieldSettings();
        emit fieldsApplied();
    }
    if (m_projectionAccept)
        m_projectionAccept();
    Settings::set("fields", "track_area",
                  cbxCalcArea->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmProperties::cmdCancel_Click() {
    hide();
    if (m_projectionCancel)
        m_projectionCancel();
}

} // namespace trekora
