#include "app/frmWptSelect.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace trekora {

namespace {

enum ItemRole { KeyRole = Qt::UserRole, IconIndexRole, CodeRole };

frmWptSelect::ModalRunner& modalRunner() {
    static frmWptSelect::ModalRunner runner;
    return runner;
}

} // namespace

frmWptSelect::frmWptSelect(QHash<QString, QIcon> icons, SymbolMap d103Map, QWidget* parent)
    : QDialog(parent), m_icons(std::move(icons)), m_d103Map(std::move(d103Map)) {
    setObjectName(QStringLiteral("frmWptSelect"));
    setWindowTitle(QStringLiteral("Select a Waypoint Symbol"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    setModal(true);
    buildControls();
    FillSymbolList(false, false);
}

void frmWptSelect::buildControls() {
    listView = new QListWidget(this);
    listView->setObjectName(QStringLiteral("listView"));
    listView->setViewMode(QListView::ListMode);
    listView->setFlow(QListView::TopToBottom);
    listView->setWrapping(true);
    listView->setResizeMode(QListView::Adjust);
    listView->setIconSize(QSize(16, 16));
    listView->setSelectionMode(QAbstractItemView::SingleSelection);
    listView->setMinimumSize(720, 330);
    connect(listView, &QListWidget::itemDoubleClicked, this, &frmWptSelect::listView_DblClick);

    auto* sortFrame = new QGroupBox(QStringLiteral("Sort By:"), this);
    auto* sortLayout = new QVBoxLayout(sortFrame);
    const char* sortCaptions[] = {"Code", "Name"};
    const char* sortTips[] = {"Numeric code used by the GPS to reference symbols",
                              "Descriptive Name of Symbol"};
    for (int i = 0; i < 2; ++i) {
        optSort[size_t(i)] = new QRadioButton(QString::fromLatin1(sortCaptions[i]), sortFrame);
        optSort[size_t(i)]->setObjectName(QStringLiteral("optSort%1").arg(i));
        optSort[size_t(i)]->setToolTip(QString::fromLatin1(sortTips[i]));
        sortLayout->addWidget(optSort[size_t(i)]);
        connect(optSort[size_t(i)], &QRadioButton::clicked, this, [this, i] { optSort_Click(i); });
    }
    optSort[0]->setChecked(true);

    auto* formatFrame = new QGroupBox(QStringLiteral("Wpt Format:"), this);
    auto* formatLayout = new QVBoxLayout(formatFrame);
    const char* idCaptions[] = {"Other", "d103"};
    const char* idTips[] = {"Most GPS models", "Models such as GPS 12, 12XL, 48, II+"};
    for (int i = 0; i < 2; ++i) {
        optID[size_t(i)] = new QRadioButton(QString::fromLatin1(idCaptions[i]), formatFrame);
        optID[size_t(i)]->setObjectName(QStringLiteral("optID%1").arg(i));
        optID[size_t(i)]->setToolTip(QString::fromLatin1(idTips[i]));
        formatLayout->addWidget(optID[size_t(i)]);
    }
    optID[0]->setChecked(true);
    lblHelp = new QLabel(QStringLiteral("?"), formatFrame);
    lblHelp->setObjectName(QStringLiteral("lblHelp"));
    lblHelp->setToolTip(
        QStringLiteral("To determine your Waypoint Data Format go to GPS => Garmin Info"));
    formatLayout->addWidget(lblHelp, 0, Qt::AlignRight);

    auto* noteFrame = new QGroupBox(QStringLiteral("Note:"), this);
    auto* noteLayout = new QVBoxLayout(noteFrame);
    lblNote = new QLabel(QStringLiteral("Your GPS may not accept all symbols."), noteFrame);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setToolTip(QStringLiteral("New symbols are being added all the time by Garmin."));
    noteLayout->addWidget(lblNote);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    connect(OKButton, &QPushButton::clicked, this, &frmWptSelect::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &frmWptSelect::CancelButton_Click);

    auto* side = new QVBoxLayout;
    side->addWidget(sortFrame);
    side->addWidget(formatFrame);
    side->addWidget(noteFrame);
    side->addStretch(1);
    side->addWidget(OKButton);
    side->addWidget(CancelButton);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(listView, 1);
    layout->addLayout(side);
}

void frmWptSelect::FillSymbolList(bool nameFirst, bool d103Only) {
    listView->clear();
    for (const SymbolListItem& symbol : trekora::FillSymbolList(nameFirst, d103Only, m_d103Map)) {
        auto* item = new QListWidgetItem(m_icons.value(symbol.key), symbol.text, listView);
        item->setData(KeyRole, symbol.key);
        item->setData(IconIndexRole, symbol.iconIndex);
        item->setData(CodeRole, symbol.code);
    }
    if (listView->count() > 0)
        listView->setCurrentRow(0);
}

std::optional<SymbolListItem> frmWptSelect::selectedSymbol() const {
    const QListWidgetItem* item = listView->currentItem();
    if (!item)
        return std::nullopt;
    return SymbolListItem{item->text(), item->data(KeyRole).toString(),
                          item->data(IconIndexRole).toInt(), item->data(CodeRole).toInt()};
}

void frmWptSelect::optSort_Click(int index) {
    // The format option takes effect with the next sort click.
    FillSymbolList(index == 1, optID[1]->isChecked());
}

void frmWptSelect::OKButton_Click() {
    m_tag = QStringLiteral("OK");
    done(QDialog::Accepted);
}

void frmWptSelect::CancelButton_Click() {
    m_tag = QStringLiteral("Cancel");
    done(QDialog::Rejected);
}

void frmWptSelect::listView_DblClick() {
    OKButton_Click();
}

void frmWptSelect::reject() {
    CancelButton_Click();
}

void frmWptSelect::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Form_Activate();
}

void frmWptSelect::Form_Activate() {
    raise();
    activateWindow();
}

QString frmWptSelect::showModal() {
    // Until a button decides, the dialog counts as cancelled.
    m_tag = QStringLiteral("Cancel");
    if (const ModalRunner& runner = modalRunner())
        runner(*this);
    else
        exec();
    return m_tag;
}

std::optional<SymbolListItem> frmWptSelect::pick(const QHash<QString, QIcon>& icons,
                                                 const SymbolMap& d103Map, QWidget* parent) {
    frmWptSelect dialog(icons, d103Map, parent);
    if (dialog.showModal() == QLatin1String("Cancel"))
        return std::nullopt;
    return dialog.selectedSymbol();
}

void frmWptSelect::setModalRunner(ModalRunner runner) {
    modalRunner() = std::move(runner);
}

} // namespace trekora
