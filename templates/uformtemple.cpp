#include "templates/uformtemple.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "widgets/widget_helpers.h"
#include "library/product_queries.h"
#include "widgets/user_prompts.h"

namespace v2d {

namespace {

QComboBox* FilledList(const QString& name, const Result<std::vector<NamedID>>& rows, QWidget* parent) {
    auto* box = Named(new QComboBox(parent), name);
    if (rows)
        for (const NamedID& r : *rows) box->addItem(FromUtf8(r.name), QVariant::fromValue<qlonglong>(r.id));
    box->setCurrentIndex(0);
    return box;
}

}  // namespace

TFormTemple::TFormTemple(Db& dm, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TFormTemple"));
    setWindowTitle(tr("模板名称"));
    KeepTitleWhole(*this);
    setFixedSize(374, 228);
    EditTempleName = Named(new QLineEdit(QString::fromUtf8(kNewTemplateName), this), QStringLiteral("EditTempleName"));
    ComboBoxSales = FilledList(QStringLiteral("ComboBoxSales"), ReadRoomTypes(dm), this);
    ComboBoxStyle = FilledList(QStringLiteral("ComboBoxStyle"), ReadStyles(dm), this);
    BitBtnOk = Named(new QPushButton(tr("确定(&O)"), this), QStringLiteral("BitBtnOk"));
    BitBtnClose = Named(new QPushButton(tr("关闭"), this), QStringLiteral("BitBtnClose"));
    BitBtnOk->setDefault(true);

    auto* form = new QFormLayout;
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);
    form->addRow(tr("请输入模板名称："), EditTempleName);
    form->addRow(tr("请选择房间类型："), ComboBoxSales);
    form->addRow(tr("请选择装修风格："), ComboBoxStyle);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtnOk);
    buttons->addWidget(BitBtnClose);
    auto* column = new QVBoxLayout(this);
    column->addLayout(form);
    column->addStretch(1);
    column->addLayout(buttons);

    connect(ComboBoxSales, &QComboBox::currentIndexChanged, this, &TFormTemple::ComboBoxSalesChange);
    connect(ComboBoxStyle, &QComboBox::currentIndexChanged, this, &TFormTemple::ComboBoxStyleChange);
    connect(BitBtnOk, &QPushButton::clicked, this, &TFormTemple::BitBtnOkClick);
    connect(BitBtnClose, &QPushButton::clicked, this, &QDialog::reject);
}

void TFormTemple::ComboBoxSalesChange() { details_.roomTypeID = ComboBoxSales->currentData().toLongLong(); }

void TFormTemple::ComboBoxStyleChange() { details_.styleID = ComboBoxStyle->currentData().toLongLong(); }

void TFormTemple::BitBtnOkClick() {
    details_.name = EditTempleName->text().toStdString();
    ComboBoxSalesChange();
    ComboBoxStyleChange();
    accept();
}

}  // namespace v2d
