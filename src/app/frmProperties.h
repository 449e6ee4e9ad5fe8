#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;

namespace trekora {

class GpsTable;

// The Properties dialog: the projection page (tab 0, installed by the
// projection subsystem) and, per record type, which fields appear as visible
// columns of the GPS data table. OK and Cancel hide the dialog; its lists keep
// their state until the dialog is destroyed.
class frmProperties : public QDialog {
    Q_OBJECT
public:
    enum Tab { ProjectionTab = 0, WaypointTab, TrackTab, RouteTab, RealTimeTab };

    explicit frmProperties(GpsTable& table, QWidget* parent = nullptr);

    QTabWidget* SSTab1 = nullptr;
    QListWidget* lbxWFields = nullptr;
    QListWidget* lbxTFields = nullptr;
    QListWidget* lbxRFields = nullptr;
    QListWidget* lbxRTFields = nullptr;
    QPushButton* cmdWReset = nullptr;
    QCheckBox* cbxCalcArea = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

    // The projection subsystem puts its page on tab 0 and runs its part of OK.
    void setProjectionPage(QWidget* page);
    void setProjectionAccept(std::function<void()> accept) {
        m_projectionAccept = std::move(accept);
    }
    void setProjectionCancel(std::function<void()> cancel) {
        m_projectionCancel = std::move(cancel);
    }
    QWidget* projectionPage() const { return m_projectionPage; }

    void setCurrentTab(int tab);
    // The record type key of a field tab ("rtimewpt" for any other tab).
    static QString typeOfTab(int tab);
    QListWidget* fieldList(const QString& typeKey) const;
    // The list's items as stored: "name:1" or "name:0", joined with ",".
    static QString listValue(const QListWidget& list);

    // Validates every type's field settings, resets `typeKey`'s first when it
    // is not empty, and shows the stored track_area flag.
    void SetFieldSettings(const QString& typeKey);
    // Fills the four lists from the settings.
    void LoadFields();
    // A required field that was just cleared is ticked again.
    void ReadOnlyCheck(QListWidget* list, QListWidgetItem* item);

public slots:
    void cmdWReset_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

signals:
    // The table's columns were re-applied after OK.
    void fieldsApplied();

private:
    QWidget* fieldTab(QListWidget*& list, const char* name);
    void showTabControls(int tab);

    GpsTable& m_table;
    QWidget* m_projectionTab = nullptr;
    QWidget* m_projectionPage = nullptr;
    std::function<void()> m_projectionAccept;
    std::function<void()> m_projectionCancel;
    bool m_loading = false;
};

} // namespace trekora
