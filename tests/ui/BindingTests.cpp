#include "ui/Binding.h"

#include <QLabel>

#include <gtest/gtest.h>

#include <memory>

namespace tintra {
namespace {

TEST(Binding, UpdatesItsWidgetNowAndOnEveryChangeUntilTheWidgetIsGone)
{
    Observable<int> count { 3 };
    auto label = std::make_unique<QLabel>();
    int updates = 0;
    bindValue(*label, count, [&updates, widget = label.get()](int value) {
        ++updates;
        widget->setText(QString::number(value));
    });
    EXPECT_EQ(label->text(), "3");

    count.set(7);
    EXPECT_EQ(label->text(), "7");
    EXPECT_EQ(updates, 2);

    label.reset();
    count.set(9); // would write through a dangling pointer if the subscription outlived the label
    EXPECT_EQ(updates, 2);
}

TEST(Binding, EndsWhenDeletedBeforeItsOwner)
{
    Observable<bool> on { false };
    QLabel label;
    int updates = 0;
    auto& binding = bindValue(label, on, [&updates](bool) { ++updates; });
    delete &binding;
    on.set(true);
    EXPECT_EQ(updates, 1);
}

} // namespace
} // namespace tintra
