// The product browser's comparison list: "加入对比" puts the selected
// material aside, "对比" closes the window with 2 to 4 of them.
#include <QHBoxLayout>
#include <QPushButton>

#include <algorithm>

#include "app/uformselparts.h"
#include "document/product_comparison.h"
#include "widgets/user_prompts.h"
#include "widgets/widget_helpers.h"

namespace v2d {

void TFormSelParts::BuildComparison(QHBoxLayout* buttons) {
    BitBtnCompareAdd = Named(new QPushButton(tr("加入对比"), this), QStringLiteral("BitBtnCompareAdd"));
    BitBtnCompareAdd->setToolTip(tr("把选中的材料加入对比，最多 4 种"));
    BitBtnCompare = Named(new QPushButton(this), QStringLiteral("BitBtnCompare"));
    BitBtnCompare->setToolTip(tr("在场景中并排对比加入的材料"));
    buttons->addWidget(BitBtnCompareAdd);
    buttons->addWidget(BitBtnCompare);
    connect(BitBtnCompareAdd, &QPushButton::clicked, this, &TFormSelParts::BitBtnCompareAddClick);
    connect(BitBtnCompare, &QPushButton::clicked, this, &TFormSelParts::BitBtnCompareClick);
    ShowComparisonCount();
}

void TFormSelParts::ShowComparisonCount() {
    BitBtnCompare->setText(tr("对比 (%1)").arg(comparison_.size()));
    BitBtnCompare->setEnabled(comparison_.size() >= size_t{kFewestComparedProducts});
}

void TFormSelParts::BitBtnCompareAddClick() {
    if (!ReadSelectedChoice()) return;
    const ChosenProduct chosen = Chosen();
    const bool listed = std::any_of(comparison_.begin(), comparison_.end(),
                                    [&](const ChosenProduct& c) { return c.number == chosen.number; });
    if (listed) {
        prompts_.Show(this, tr("该产品已加入对比。"));
        return;
    }
    if (comparison_.size() >= size_t{kMostComparedProducts}) {
        prompts_.Show(this, tr("最多对比 4 种产品。"));
        return;
    }
    comparison_.push_back(chosen);
    ShowComparisonCount();
}

void TFormSelParts::BitBtnCompareClick() {
    if (comparison_.size() < size_t{kFewestComparedProducts}) {
        prompts_.Show(this, tr("请至少加入两种产品再对比。"));
        return;
    }
    comparing_ = true;
    accept();
}

std::vector<ChosenProduct> TFormSelParts::TakeComparison() {
    if (!comparing_) return {};
    comparing_ = false;
    std::vector<ChosenProduct> taken;
    taken.swap(comparison_);
    ShowComparisonCount();
    return taken;
}

}  // namespace v2d
