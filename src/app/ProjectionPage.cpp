#include "app/ProjectionPage.h"

#include "app/ProjectionMessages.h"
#include "core/Settings.h"
#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "proj/CurrentProjection.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"
#include "table/GpsTable.h"

#include <QComboBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace trekora {

namespace {

const QString kDefaultProjection = QStringLiteral("26915");
const QString kNoProjection = QStringLiteral("4326");
// A PRJ file is one short line of WKT; refuse to read anything huge.
constexpr qint64 kMaxPrjBytes = 1024 * 1024;

} // namespace

ProjectionPage::ProjectionPage(QWidget* parent) : QWidget(parent) {
    optEPSG = new QRadioButton(QStringLiteral("EPSG"), this);
    optESRI = new QRadioButton(QStringLiteral("ESRI"), this);
    lblDatums = new QLabel(QStringLiteral("Datums:"), this);
    lbxDatums = new QComboBox(this);
    lblProjections = new QLabel(QStringLiteral("Projections:"), this);
    lbxProjections = new QListWidget(this);
    lblDesc = new QLabel(QStringLiteral("Description of Selected Projection:"), this);
    lbxDesc = new QListWidget(this);
    lblPOSCCodes = new QLabel(QStringLiteral("POSC Codes:"), this);
    cbxPOSCCodes = new QComboBox(this);
    cbxPOSCCodes->setEditable(true);
    cbxPOSCCodes->setInsertPolicy(QComboBox::NoInsert);
    cmdOrvane = new QPushButton(QStringLiteral("NAD83 / UTM zone 15N"), this);
    cmdNoProj = new QPushButton(QStringLiteral("No Projection - WGS 84, Lat/Lon"), this);
    lblPRJ = new QLabel(QStringLiteral("PRJ File:"), this);
    tbxPRJ = new QPlainTextEdit(this);
    cmdPRJLoad = new QPushButton(QStringLiteral("Load PRJ"), this);

    optEPSG->setObjectName(QStringLiteral("optEPSG"));
    optESRI->setObjectName(QStringLiteral("optESRI"));
    lbxDatums->setObjectName(QStringLiteral("lbxDatums"));
    lbxProjections->setObjectName(QStringLiteral("lbxProjections"));
    lbxDesc->setObjectName(QStringLiteral("lbxDesc"));
    cbxPOSCCodes->setObjectName(QStringLiteral("cbxPOSCCodes"));
    cmdOrvane->setObjectName(QStringLiteral("cmdOrvane"));
    cmdNoProj->setObjectName(QStringLiteral("cmdNoProj"));
    tbxPRJ->setObjectName(QStringLiteral("tbxPRJ"));
    cmdPRJLoad->setObjectName(QStringLiteral("cmdPRJLoad"));

    buildLayout();
    connectControls();
    showCatalogueControls(ProjectionCatalogue::instance().isEsri());
    {
        const QSignalBlocker blockEpsg(optEPSG);
        const QSignalBlocker blockEsri(optESRI);
        (ProjectionCatalogue::instance().isEsri() ? optESRI : optEPSG)->setChecked(true);
    }
}

void ProjectionPage::buildLayout() {
    auto* options = new QHBoxLayout;
    options->addWidget(optEPSG);
    options->addWidget(optESRI);
    options->addStretch();

    auto* left = new QVBoxLayout;
    left->addLayout(options);
    left->addWidget(lblDatums);
    left->addWidget(lbxDatums);
    left->addWidget(lblProjections);
    left->addWidget(lbxProjections, 1);

    auto* right = new QVBoxLayout;
    right->addWidget(lblDesc);
    right->addWidget(lbxDesc, 1);
    right->addWidget(lblPOSCCodes);
    right->addWidget(cbxPOSCCodes);
    right->addWidget(cmdOrvane);
    right->addWidget(cmdNoProj);

    auto* prjHeader = new QHBoxLayout;
    prjHeader->addWidget(lblPRJ);
    prjHeader->addStretch();
    prjHeader->addWidget(cmdPRJLoad);

    auto* grid = new QGridLayout(this);
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addLayout(prjHeader, 1, 0, 1, 2);
    grid->addWidget(tbxPRJ, 2, 0, 1, 2);
}

void ProjectionPage::connectControls() {
    connect(optEPSG, &QRadioButton::clicked, this, &ProjectionPage::optEPSG_Click);
    connect(optESRI, &QRadioButton::clicked, this, &ProjectionPage::optESRI_Click);
    connect(lbxDatums, &QComboBox::activated, this, &ProjectionPage::lbxDatums_Click);
    connect(lbxProjections, &QListWidget::currentRowChanged, this,
            &ProjectionPage::lbxProjections_Click);
    connect(cbxPOSCCodes, &QComboBox::activated, this,
            [this](int index) { selectCode(cbxPOSCCodes->itemText(index)); });
    connect(cbxPOSCCodes->lineEdit(), &QLineEdit::returnPressed, this,
            &ProjectionPage::cbxPOSCCodes_Enter);
    connect(cmdOrvane, &QPushButton::clicked, this, &ProjectionPage::cmdOrvane_Click);
    connect(cmdNoProj, &QPushButton::clicked, this, &ProjectionPage::cmdNoProj_Click);
    connect(cmdPRJLoad, &QPushButton::clicked, this, &ProjectionPage::cmdPRJLoad_Click);
}

void ProjectionPage::showCatalogueControls(bool esri) {
    lblDatums->setText(esri ? QStringLiteral("Datums/Projections:") : QStringLiteral("Datums:"));
    lblProjections->setHidden(esri);
    lbxProjections->setHidden(esri);
}

void ProjectionPage::switchCatalogue(const QString& name) {
    showCatalogueControls(name == QLatin1String("esri"));
    LoadProjections(name);
    loadProjectionListboxes();
}

void ProjectionPage::optEPSG_Click() {
    switchCatalogue(QStringLiteral("epsg"));
}
void ProjectionPage::optESRI_Click() {
    switchCatalogue(QStringLiteral("esri"));
}

void ProjectionPage::showStoredCatalogue(bool loadIfNeeded) {
    const QString stored = CurrentProjection::catalogueFile();
    const bool esri = stored == QLatin1String("esri");
    {
        const QSignalBlocker blockEpsg(optEPSG);
        const QSignalBlocker blockEsri(optESRI);
        (esri ? optESRI : optEPSG)->setChecked(true);
    }
    showCatalogueControls(esri);
    const auto& catalogue = ProjectionCatalogue::instance();
    if (loadIfNeeded && (catalogue.fileName() != stored || catalogue.isEmpty()))
        LoadProjections(stored);
    loadProjectionListboxes();
}

void ProjectionPage::loadProjectionListboxes() {
    const auto& catalogue = ProjectionCatalogue::instance();
    const QString code = CurrentProjection::code();

    QStringList groups;
    for (const QString& group : catalogue.groups())
        if (!text::trim(group).isEmpty())
            groups.append(group);
    // Hundreds of names are only usable in alphabetical order.
    groups.sort(Qt::CaseInsensitive);
    QStringList codes;
    for (const QString& entry : catalogue.codes())
        if (text::isNumeric(entry))
            codes.append(entry);

    {
        const QSignalBlocker blockGroups(lbxDatums);
        const QSignalBlocker blockCodes(cbxPOSCCodes);
        const QSignalBlocker blockDescriptions(lbxProjections);
        lbxDatums->clear();
        lbxDatums->addItems(groups);
        cbxPOSCCodes->clear();
        cbxPOSCCodes->addItems(codes);
        lbxProjections->clear();
        lbxDesc->clear();
        cbxPOSCCodes->setEditText(code);
    }
    selectCode(code);
}

void ProjectionPage::selectCode(const QString& code) {
    const auto entry = ProjectionCatalogue::instance().findCode(text::trim(code));
    if (!entry)
        return;
    {
        const QSignalBlocker blockGroups(lbxDatums);
        lbxDatums->setCurrentIndex(lbxDatums->findText(entry->group, Qt::MatchExactly));
    }
    fillDescriptions(entry->group);
    {
        const QSignalBlocker blockDescriptions(lbxProjections);
        const auto items = lbxProjections->findItems(entry->description, Qt::MatchExactly);
        if (!items.isEmpty())
            lbxProjections->setCurrentItem(items.first());
    }
    descriptionSelected();
}

void ProjectionPage::fillDescriptions(const QString& group) {
    const QSignalBlocker blockDescriptions(lbxProjections);
    lbxProjections->clear();
    lbxProjections->addItems(ProjectionCatalogue::instance().descriptions(group));
}

void ProjectionPage::lbxDatums_Click() {
    fillDescriptions(currentGroup());
    {
        const QSignalBlocker blockDescriptions(lbxProjections);
        if (lbxProjections->count() > 0)
            lbxProjections->setCurrentRow(0);
    }
    descriptionSelected();
}

void ProjectionPage::lbxProjections_Click() {
    descriptionSelected();
}

void ProjectionPage::cbxPOSCCodes_Enter() {
    selectCode(cbxPOSCCodes->currentText());
}

void ProjectionPage::cmdOrvane_Click() {
    selectCode(kDefaultProjection);
}

void ProjectionPage::cmdNoProj_Click() {
    selectCode(kNoProjection);
}

QString ProjectionPage::currentGroup() const {
    return lbxDatums->currentText();
}

QString ProjectionPage::currentDescription() const {
    const QListWidgetItem* item = lbxProjections->currentItem();
    return item ? item->text() : QString();
}

void ProjectionPage::descriptionSelected() {
    lbxDesc->clear();
    if (lbxProjections->count() == 0)
        return;
    const QString line =
        ProjectionCatalogue::instance().definitionLine(currentGroup(), currentDescription());
    const QStringList pieces = line.split(u' ');
    const QString code = pieces.first().mid(1, pieces.first().size() - 2);
    {
        const QSignalBlocker blockCodes(cbxPOSCCodes);
        cbxPOSCCodes->setEditText(code);
    }
    for (const QString& piece : pieces)
        lbxDesc->addItem(piece.trimmed());
    // Without a stored PRJ text, offer PROJ's own description of the system
    // so exported files carry a .prj that GIS programs understand.
    QString prj = CurrentProjection::prjText(code);
    if (prj.isEmpty())
        prj =
            ProjectionBridge::instance().esriWkt(ProjectionCatalogue::instance().fileName(), code);
    tbxPRJ->setPlainText(prj);
}

void ProjectionPage::cmdPRJLoad_Click() {
    FileRequest request;
    request.filter = QStringLiteral("ESRI Projection File (*.prj)|*.prj");
    const FileChoice choice = userInteraction().openFile(request);
    if (!choice.accepted())
        return;
    QFile file(choice.path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPrjBytes)
        return;
    const QByteArray content = file.readAll();
    if (content.isEmpty())
        return;
    QStringList lines;
    for (QByteArray line : content.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        lines.append(QString::fromUtf8(line));
    }
    // A file ending in a line break has no last line of its own.
    if (content.endsWith('\n'))
        lines.removeLast();
    tbxPRJ->setPlainText(lines.join(u'\n'));
}

void ProjectionPage::applyOk(GpsTable& table) {
    Settings::set(QStringLiteral("proj"), QStringLiteral("projfile"),
                  optEPSG->isChecked() ? QStringLiteral("epsg") : QStringLiteral("esri"));
    const QString code = text::trim(cbxPOSCCodes->currentText());
    // A code the catalogue does not know would make every later conversion
    // fail, so the current projection stays.
    if (code == CurrentProjection::code() || !ProjectionCatalogue::instance().findCode(code))
        return;
    Settings::set(QStringLiteral("proj"), QStringLiteral("proj"), code);
    const QString prj = tbxPRJ->toPlainText();
    if (!prj.isEmpty())
        CurrentProjection::setPrjText(code, prj);
    table.host().setMessage(QStringLiteral("Projection: ") + getProjectionName());
    Project_Table(table, true);
}

void ProjectionPage::cancel() {
    if (ProjectionCatalogue::instance().fileName() != CurrentProjection::catalogueFile())
        showStoredCatalogue();
}

} // namespace trekora
