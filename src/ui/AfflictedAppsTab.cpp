#include "ui/AfflictedAppsTab.h"

#include "engine/Controller.h"
#include "ui/Binding.h"
#include "ui/SettingsWidgets.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

namespace tintra {

namespace {

enum Column { nameColumn, statusColumn, buttonColumn };
constexpr int idRole = Qt::UserRole;

} // namespace

TintraAfflictedAppsTab::TintraAfflictedAppsTab(TintraController& controller, const TintraSettingsShell& shell)
    : controller_(controller)
    , shell_(shell)
{
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    notice_ = &addNote(*layout);
    layout->insertWidget(0, summary_);
    list_ = new QTreeWidget;
    list_->setAccessibleName("Applications");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::NoSelection);
    list_->setHeaderLabels({ "Application", "Status", "" });
    list_->header()->setSectionResizeMode(nameColumn, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(statusColumn, QHeaderView::ResizeToContents);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(buttonColumn, QHeaderView::Fixed);
    list_->header()->resizeSection(buttonColumn, 96);
    list_->setToolTip("Double-click an application to show its file.");
    connect(list_, &QTreeWidget::itemDoubleClicked, this,
        [this](QTreeWidgetItem* item) { reveal(item->data(nameColumn, idRole).toString().toStdString()); });
    empty_ = new QLabel("No applications with a user interface are running.");
    empty_->setAlignment(Qt::AlignCenter);

    auto* buttons = new QHBoxLayout;
    auto* choose = new QPushButton("Exclude an Application…");
    choose->setToolTip("Exclude an application whether or not it is running.");
    connect(choose, &QPushButton::clicked, this, [this] { chooseApplicationFile(); });
    auto* rescan = new QPushButton("Rescan Apps");
    rescan->setToolTip("Detaches from every application and attaches again.");
    connect(rescan, &QPushButton::clicked, this, [this] { controller_.attachAll(); });
    buttons->addWidget(choose);
    buttons->addStretch();
    buttons->addWidget(rescan);
    layout->addWidget(list_, 1);
    layout->addWidget(empty_, 1);
    layout->addLayout(buttons);

    showNotice(std::nullopt);
    const auto redrawOn = [this](const auto&) { redraw(); };
    bindValue(*this, controller_.afflictedApplications(), redrawOn);
    bindValue(*this, controller_.isRunning(), redrawOn);
}

void TintraAfflictedAppsTab::redraw()
{
    const auto& rows = controller_.afflictedApplications().get();
    summary_->setText(qText(afflictedSummary(rows, controller_.isRunning().get())));
    list_->clear();
    for (const auto& row : rows)
        addRow(row);
    list_->setVisible(!rows.empty());
    empty_->setVisible(rows.empty());
}

void TintraAfflictedAppsTab::addRow(const TintraAfflictedApplication& row)
{
    const auto identifier = row.bundleIdentifier.value_or("no bundle identifier");
    auto* item = new QTreeWidgetItem(list_, { qText(row.name + "\n" + identifier), qText(row.statusText()) });
    item->setData(nameColumn, idRole, qText(row.id()));
    item->setToolTip(nameColumn, qText(row.helpText()));
    item->setToolTip(statusColumn, qText(row.helpText()));
    if (row.isExcluded) {
        QFont struck = item->font(nameColumn);
        struck.setStrikeOut(true);
        item->setFont(nameColumn, struck);
    }
    if (const auto timeout = row.timeoutText()) {
        item->setIcon(statusColumn, themeIcon("appointment-soon", QStyle::SP_MessageBoxWarning));
        item->setToolTip(statusColumn, qText(*timeout));
    }
    if (!row.bundleIdentifier)
        return;
    auto* button = new QPushButton(row.isExcluded ? "Include" : "Exclude");
    button->setAccessibleName(button->text() + " " + qText(row.name));
    button->setToolTip(qText(row.helpText()));
    list_->setItemWidget(item, buttonColumn, button);
    connect(button, &QPushButton::clicked, this, [this, row] { toggle(row); });
}

QPushButton* TintraAfflictedAppsTab::rowButton(const std::string& id)
{
    for (int index = 0; index < list_->topLevelItemCount(); ++index) {
        auto* item = list_->topLevelItem(index);
        if (item->data(nameColumn, idRole).toString().toStdString() == id)
            return qobject_cast<QPushButton*>(list_->itemWidget(item, buttonColumn));
    }
    return nullptr;
}

void TintraAfflictedAppsTab::toggle(const TintraAfflictedApplication& row)
{
    showNotice(std::nullopt);
    // The change rebuilds the list, which must not happen while the row's button tells of its click.
    QMetaObject::invokeMethod(this, [this, row] {
        if (row.isExcluded)
            controller_.includeApplication(*row.bundleIdentifier);
        else
            controller_.excludeApplication(*row.bundleIdentifier, row.name);
    }, Qt::QueuedConnection);
}

void TintraAfflictedAppsTab::reveal(const std::string& id)
{
    const auto& rows = controller_.afflictedApplications().get();
    const auto row = std::find_if(rows.begin(), rows.end(), [&id](const auto& row) { return row.id() == id; });
    if (row == rows.end() || !row->fileURL)
        return;
    std::error_code error;
    if (!std::filesystem::exists(*row->fileURL, error)) {
        showNotice(row->name + " is no longer on disk where it was.");
        controller_.rebuildAfflictedApplications();
        return;
    }
    const auto folder = row->fileURL->parent_path();
    showFolder(shell_, folder);
}

void TintraAfflictedAppsTab::chooseApplicationFile()
{
    auto* dialog = new QFileDialog(window(), "Exclude an Application", "/usr/share/applications",
        "Applications (*.desktop);;All files (*)");
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setLabelText(QFileDialog::Accept, "Exclude");
    connect(dialog, &QFileDialog::fileSelected, this, [this](const QString& file) {
        const auto excluded = controller_.excludeApplicationFile(file.toStdString());
        showNotice(excluded ? std::nullopt : std::optional(excluded.error().description()));
    });
    dialog->open();
}

void TintraAfflictedAppsTab::showNotice(std::optional<std::string> text)
{
    notice_->setText(qText(text.value_or("")));
    notice_->setVisible(text.has_value());
}

} // namespace tintra
