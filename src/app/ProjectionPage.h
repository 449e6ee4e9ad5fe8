#pragma once

#include <QWidget>

class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace trekora {

class GpsTable;

// The Projection tab of the Properties dialog: choose the catalogue (EPSG or
// ESRI), a coordinate system by group and description or by code, and the
// PRJ text attached to it. Nothing is stored until the dialog's OK calls
// applyOk().
class ProjectionPage : public QWidget {
    Q_OBJECT
public:
    explicit ProjectionPage(QWidget* parent = nullptr);

    // Fills the lists from the loaded catalogue and selects the current
    // projection (loadProjectionListboxes).
    void loadProjectionListboxes();
    // Shows the catalogue stored in proj/projfile, loading it when another
    // one is in memory; no load at all when `loadIfNeeded` is false.
    void showStoredCatalogue(bool loadIfNeeded = true);

    // The projection part of the dialog's OK, after the field tabs were
    // saved and the columns re-applied: stores the catalogue choice and, for
    // a new code, the code, its PRJ text, the status line and re-projects
    // the table.
    void applyOk(GpsTable& table);
    // The dialog's Cancel: nothing is stored, and the catalogue in memory
    // goes back to the stored choice if the user switched it.
    void cancel();

    // Selects a code as a click in the code list does; unknown codes change nothing.
    void selectCode(const QString& code);

    QRadioButton* optEPSG;
    QRadioButton* optESRI;
    QLabel* lblDatums;
    QComboBox* lbxDatums;
    QLabel* lblProjections;
    QListWidget* lbxProjections;
    QLabel* lblDesc;
    QListWidget* lbxDesc;
    QLabel* lblPOSCCodes;
    QComboBox* cbxPOSCCodes;
    QPushButton* cmdOrvane;
    QPushButton* cmdNoProj;
    QLabel* lblPRJ;
    QPlainTextEdit* tbxPRJ;
    QPushButton* cmdPRJLoad;

public slots:
    void optEPSG_Click();
    void optESRI_Click();
    void lbxDatums_Click();
    void lbxProjections_Click();
    void cbxPOSCCodes_Enter();
    void cmdOrvane_Click();
    void cmdNoProj_Click();
    void cmdPRJLoad_Click();

private:
    void buildLayout();
    void connectControls();
    void switchCatalogue(const QString& name);
    void showCatalogueControls(bool esri);
    void fillDescriptions(const QString& group);
    void descriptionSelected();
    QString currentGroup() const;
    QString currentDescription() const;
};

} // namespace trekora
