#include "frm_parameter_list_view.h"

#include "note_names.h"
#include "parameter_binding.h"
#include "schema.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int ListHeight = 320;

QPushButton* Button(const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text));
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

QComboBox* NoteRange(const char* name, int row) {
    auto* list = new QComboBox;
    list->setObjectName(QString::fromLatin1(name));
    for (int value = 0; value < NoteRangeRowCount; ++value)
        list->addItem(QString::fromStdString(NoteLabel(value)));
    list->setCurrentIndex(row);
    return list;
}

QLabel* Caption(const char* name, const char* text, QWidget* buddy) {
    auto* label = new QLabel(QString::fromLatin1(text));
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    buddy->setAccessibleName(label->text());
    return label;
}

} // namespace

TfrmParameterListView::TfrmParameterListView(const ParameterBinding& binding, int value,
                                             std::string_view allowed, bool noteNames,
                                             QWidget* parent)
    : QDialog(parent), checks_(binding, allowed) {
    setObjectName(QStringLiteral("frmParameterListView"));
    setWindowTitle(QString::fromStdString(ParameterListWindowCaption(binding, value)));

    CheckListBox1 = new QListWidget;
    CheckListBox1->setObjectName(QStringLiteral("CheckListBox1"));
    CheckListBox1->setAccessibleName(
        QString::fromLatin1(ParameterListViewCaption.data(), ParameterListViewCaption.size()));
    CheckListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    CheckListBox1->setFixedHeight(ListHeight);
    for (const std::string& row : ParameterListRows(binding, noteNames)) {
        auto* item = new QListWidgetItem(QString::fromStdString(row), CheckListBox1);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    }
    ShowChecks();
    connect(CheckListBox1, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int row = CheckListBox1->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < checks_.size())
            checks_.SetChecked(static_cast<std::size_t>(row), item->checkState() == Qt::Checked);
    });

    btnSelectAll = Button("btnSelectAll", "Select All");
    Button2 = Button("Button2", "Invert");
    Button3 = Button("Button3", "Select to");
    Button4 = Button("Button4", "Select from");
    connect(btnSelectAll, &QPushButton::clicked, this,
            [this] { Apply([](auto& c) { c.SelectAll(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Apply([](auto& c) { c.Invert(); }); });
    connect(Button3, &QPushButton::clicked, this,
            [this] { Apply([row = HighlightedRow()](auto& c) { c.SelectTo(row); }); });
    connect(Button4, &QPushButton::clicked, this,
            [this] { Apply([row = HighlightedRow()](auto& c) { c.SelectFrom(row); }); });
    auto* rowButtons = new QHBoxLayout;
    for (QPushButton* button : {btnSelectAll, Button2, Button3, Button4})
        rowButtons->addWidget(button);

    cmbFrom = NoteRange("cmbFrom", DefaultFromRow);
    cmbTo = NoteRange("cmbTo", DefaultToRow);
    cmbScale = new QComboBox;
    cmbScale->setObjectName(QStringLiteral("cmbScale"));
    for (const Scale& scale : ScaleTable)
        cmbScale->addItem(
            QString::fromLatin1(scale.name.data(), static_cast<int>(scale.name.size())));
    cmbScale->setCurrentIndex(0);
    lblFrom = Caption("lblFrom", "Select from", cmbFrom);
    lblTo = Caption("lblTo", "Select to", cmbTo);
    lblScale = Caption("lblScale", "Select scale", cmbScale);
    Button5 = Button("Button5", "Select");
    connect(Button5, &QPushButton::clicked, this, [this] {
        Apply([from = cmbFrom->currentIndex(), to = cmbTo->currentIndex(),
               scale = cmbScale->currentIndex()](auto& c) { c.SelectScale(from, to, scale); });
    });
    auto* scaleRow = new QGridLayout;
    scaleRow->addWidget(lblFrom, 0, 0);
    scaleRow->addWidget(lblTo, 0, 1);
    scaleRow->addWidget(lblScale, 0, 2);
    scaleRow->addWidget(cmbFrom, 1, 0);
    scaleRow->addWidget(cmbTo, 1, 1);
    scaleRow->addWidget(cmbScale, 1, 2);
    scaleRow->addWidget(Button5, 1, 3);
    scaleRow->setColumnStretch(2, 1);

    Button1 = Button("Button1", "Ok");
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    auto* okRow = new QHBoxLayout;
    okRow->addStretch();
    okRow->addWidget(Button1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(CheckListBox1);
    layout->addLayout(rowButtons);
    layout->addSpacing(layout->spacing());
    layout->addLayout(scaleRow);
    layout->addSpacing(layout->spacing());
    layout->addLayout(okRow);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    CheckListBox1->setFocus();
}

std::optional<std::size_t> TfrmParameterListView::HighlightedRow() const {
    const QList<QListWidgetItem*> selected = CheckListBox1->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return static_cast<std::size_t>(CheckListBox1->row(selected.front()));
}

template <typename Change> void TfrmParameterListView::Apply(Change change) {
    change(checks_);
    ShowChecks();
}

void TfrmParameterListView::ShowChecks() {
    for (int row = 0; row < CheckListBox1->count(); ++row)
        CheckListBox1->item(row)->setCheckState(
            checks_.IsChecked(static_cast<std::size_t>(row)) ? Qt::Checked : Qt::Unchecked);
}

void TfrmParameterListView::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    for (std::size_t row = 0; row < checks_.size(); ++row) {
        if (checks_.IsChecked(row)) {
            CheckListBox1->scrollToItem(CheckListBox1->item(static_cast<int>(row)),
                                        QAbstractItemView::PositionAtCenter);
            break;
        }
    }
}

void TfrmParameterListView::done(int result) {
    // Whatever closes the window, the result text follows the checks.
    result_ = checks_.Result();
    QDialog::done(result);
}

std::optional<std::string> EditAllowedValues(QWidget* parent, const ParameterBinding& binding,
                                             int value, std::string_view allowed, bool noteNames) {
    TfrmParameterListView dialog(binding, value, allowed, noteNames, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.ResultText();
}
