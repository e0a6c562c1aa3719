#include "ui/AfflictedAppsTab.h"

#include "engine/Controller.h"
#include "ui/Binding.h"
#include "ui/SettingsWidgets.h"

#include <QHeaderView>
#include <QPushButton>
#include <QVBoxLayout>

namespace tintra {

namespace {

enum Column { nameColumn, statusColumn, excludedColumn };
constexpr int bundleIdentifierRole = Qt::UserRole;

} // namespace

TintraAfflictedAppsTab::TintraAfflictedAppsTab(TintraController& controller)
    : controller_(controller)
{
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    list_ = new QTreeWidget;
    list_->setAccessibleName("Applications");
    list_->setRootIsDecorated(false);
    list_->setHeaderLabels({ "Application", "Status", "Excluded" });
    list_->header()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(statusColumn, QHeaderView::ResizeToContents);
    list_->header()->setSectionResizeMode(excludedColumn, QHeaderView::ResizeToContents);
    auto* rebuild = new QPushButton("Rescan Apps");
    rebuild->setToolTip("Detaches from every application and attaches again.");
    connect(rebuild, &QPushButton::clicked, this, [this] { controller_.attachAll(); });
    layout->addWidget(summary_);
    layout->addWidget(list_, 1);
    layout->addWidget(rebuild, 0, Qt::AlignRight);

    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == excludedColumn)
            excludedChanged(*item);
    });
    const auto redrawOn = [this](const auto&) { redraw(); };
    bindValue(*this, controller_.afflictedApplications(), redrawOn);
    bindValue(*this, controller_.isRunning(), redrawOn);
}

void TintraAfflictedAppsTab::redraw()
{
    const auto& rows = controller_.afflictedApplications().get();
    summary_->setText(qText(afflictedSummary(rows, controller_.isRunning().get())));
    const QSignalBlocker quiet(list_);
    list_->clear();
    const auto waited = themeIcon("appointment-soon", QStyle::SP_MessageBoxWarning);
    for (const auto& row : rows) {
        auto* item = new QTreeWidgetItem(list_, { qText(row.name), qText(row.statusText()) });
        item->setToolTip(nameColumn, qText(row.helpText()));
        item->setToolTip(statusColumn, qText(row.helpText()));
        if (const auto timeout = row.timeoutText()) {
            item->setIcon(statusColumn, waited);
            item->setToolTip(statusColumn, qText(*timeout));
        }
        Qt::ItemFlags flags = Qt::ItemIsEnabled;
        if (row.bundleIdentifier) {
            flags |= Qt::ItemIsUserCheckable;
            item->setData(nameColumn, bundleIdentifierRole, qText(*row.bundleIdentifier));
        }
        item->setFlags(flags);
        item->setCheckState(excludedColumn, row.isExcluded ? Qt::Checked : Qt::Unchecked);
    }
}

void TintraAfflictedAppsTab::excludedChanged(QTreeWidgetItem& item)
{
    const auto bundleIdentifier = item.data(nameColumn, bundleIdentifierRole).toString().toStdString();
    if (bundleIdentifier.empty())
        return;
    const bool excludes = item.checkState(excludedColumn) == Qt::Checked;
    auto name = item.text(nameColumn).toStdString();
    // The change rebuilds the list, which must not happen while the item tells of its change.
    QMetaObject::invokeMethod(this, [this, excludes, bundleIdentifier, name = std::move(name)] {
        if (excludes)
            controller_.excludeApplication(bundleIdentifier, name);
        else
            controller_.includeApplication(bundleIdentifier);
    }, Qt::QueuedConnection);
}

} // namespace tintra
