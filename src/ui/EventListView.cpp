#include "ui/EventListView.h"

#include "catalogue/Catalogue.h"
#include "engine/Controller.h"
#include "support/MainExecutor.h"
#include "ui/Binding.h"
#include "ui/SettingsWidgets.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>

#include <unordered_set>

namespace tintra {

namespace {

enum Column { previewColumn, nameColumn, fileColumn, pickerColumn };

} // namespace

TintraEventListView::TintraEventListView(TintraController& controller, MainExecutor& executor,
    std::function<void(TintraSoundID)> chooseCustomSound, std::function<void(const std::string&)> failed)
    : controller_(controller)
    , executor_(executor)
    , chooseCustomSound_(std::move(chooseCustomSound))
    , failed_(std::move(failed))
    , playsIcon_(tinted(themeIcon("audio-volume-high", QStyle::SP_MediaVolume), QColor(0x2e, 0xa0, 0x43)))
    , silentIcon_(themeIcon("audio-volume-muted", QStyle::SP_MediaVolumeMuted))
{
    build();
    redraw();
    const auto redrawOn = [this](const auto&) { scheduleRedraw(); };
    auto& assignments = controller_.assignments();
    new TintraBinding(*this, controller_.library().bundles().subscribe(redrawOn));
    new TintraBinding(*this, assignments.baselineIdentifier().subscribe(redrawOn));
    new TintraBinding(*this, assignments.overrides().subscribe(redrawOn));
    new TintraBinding(*this, assignments.customSounds().subscribe(redrawOn));
}

void TintraEventListView::build()
{
    tree_ = new QTreeWidget;
    tree_->setAccessibleName("Events");
    tree_->setColumnCount(4);
    tree_->setHeaderLabels({ "", "Event", "File", "Sound" });
    // Item widgets do not size their column: room for the section arrow's indent and the button.
    tree_->header()->setSectionResizeMode(previewColumn, QHeaderView::Fixed);
    tree_->header()->resizeSection(previewColumn, tree_->indentation() + 40);
    tree_->header()->setSectionResizeMode(nameColumn, QHeaderView::ResizeToContents);
    tree_->header()->setSectionResizeMode(fileColumn, QHeaderView::ResizeToContents);
    tree_->header()->setStretchLastSection(true);
    tree_->setSelectionMode(QAbstractItemView::NoSelection);
    empty_ = new QLabel;
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(tree_, 1);
    layout->addWidget(empty_, 1);

    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QBrush secondary = palette().brush(QPalette::PlaceholderText);
    for (const auto category : allSoundCategories) {
        auto* section = new QTreeWidgetItem(tree_, { qText(title(category)) });
        section->setFirstColumnSpanned(true);
        section->setExpanded(true);
        sections_[category] = section;
    }
    for (const auto& entry : listedCatalogue()) {
        auto* item = new QTreeWidgetItem(sections_.at(entry.category));
        const auto name = qText(displayName(entry));
        item->setText(nameColumn, name);
        item->setText(fileColumn, qText(entry.fileName));
        item->setFont(fileColumn, mono);
        item->setForeground(fileColumn, secondary);

        Row made { entry.soundID, item, new QToolButton, new QComboBox, {} };
        made.preview->setAutoRaise(true);
        made.preview->setToolTip("Preview");
        made.preview->setAccessibleName("Preview " + name);
        made.picker->setToolTip("Sound set");
        made.picker->setAccessibleName("Sound for " + name);
        made.picker->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        tree_->setItemWidget(item, previewColumn, made.preview);
        tree_->setItemWidget(item, pickerColumn, made.picker);
        connect(made.preview, &QToolButton::clicked, this,
            [this, soundID = entry.soundID] { controller_.player().preview(soundID); });
        connect(made.picker, &QComboBox::activated, this,
            [this, soundID = entry.soundID](int index) { choose(row(soundID), index); });
        rows_.push_back(std::move(made));
    }
}

TintraEventListView::Row& TintraEventListView::row(TintraSoundID soundID)
{
    const auto found = std::find_if(rows_.begin(), rows_.end(), [soundID](const Row& row) { return row.soundID == soundID; });
    if (found == rows_.end())
        throw std::out_of_range("no listed event " + soundID.description());
    return *found;
}

void TintraEventListView::scheduleRedraw()
{
    if (isRedrawPending_)
        return;
    isRedrawPending_ = true;
    executor_.post([view = QPointer<TintraEventListView>(this)] {
        if (view)
            view->redraw();
    });
}

void TintraEventListView::redraw()
{
    isRedrawPending_ = false;
    states_ = readEventRows(controller_.assignments(), controller_.library());
    for (std::size_t index = 0; index < rows_.size(); ++index)
        redrawRow(rows_[index], states_[index]);
    applyFilter();
}

void TintraEventListView::redrawRow(Row& row, const TintraEventRow& state)
{
    row.preview->setIcon(state.willPlay ? playsIcon_ : silentIcon_);
    row.preview->setAccessibleDescription(state.willPlay ? "Will play" : "Will not play");
    auto options = rowOptions(row.soundID, controller_.assignments(), controller_.library());
    const auto chosen = controller_.assignments().selection(row.soundID);
    const QSignalBlocker quiet(row.picker);
    if (options != row.options) {
        row.picker->clear();
        for (const auto& option : options)
            row.picker->addItem(qText(option.title));
        row.options = std::move(options);
    }
    for (std::size_t index = 0; index < row.options.size(); ++index) {
        if (row.options[index].selection == chosen)
            row.picker->setCurrentIndex(int(index));
    }
}

void TintraEventListView::choose(Row& row, int index)
{
    if (index < 0 || std::size_t(index) >= row.options.size())
        return;
    const auto option = row.options[std::size_t(index)];
    if (option.isChoose()) {
        chooseCustomSound_(row.soundID);
    } else if (const auto chosen = controller_.assignments().setSelection(*option.selection, row.soundID)) {
        controller_.player().invalidate(row.soundID);
    } else {
        failed_(chosen.error().description());
    }
    // The picker shows what really holds, also after the choose item or a refusal.
    scheduleRedraw();
}

void TintraEventListView::setFilter(TintraEventFilter filter)
{
    filter_ = filter;
    applyFilter();
}

void TintraEventListView::setSearch(const QString& search)
{
    search_ = search;
    applyFilter();
}

void TintraEventListView::applyFilter()
{
    const auto search = search_.toStdString();
    std::unordered_set<const TintraEventRow*> shown;
    const auto sections = eventListSections(states_, filter_, search);
    for (const auto& section : sections)
        shown.insert(section.rows.begin(), section.rows.end());
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const bool hidden = !shown.contains(&states_[index]);
        if (rows_[index].item->isHidden() != hidden)
            rows_[index].item->setHidden(hidden);
    }
    for (const auto& [category, item] : sections_) {
        const bool hidden = std::none_of(sections.begin(), sections.end(),
            [category = category](const auto& section) { return section.category == category; });
        if (item->isHidden() != hidden)
            item->setHidden(hidden);
    }
    empty_->setText(qText(emptyEventListText(filter_, search)));
    empty_->setVisible(sections.empty());
    tree_->setVisible(!sections.empty());
}

std::vector<std::string> TintraEventListView::shownNames() const
{
    std::vector<std::string> names;
    for (const auto& [category, section] : sections_) {
        for (int index = 0; !section->isHidden() && index < section->childCount(); ++index) {
            if (!section->child(index)->isHidden())
                names.push_back(section->child(index)->text(nameColumn).toStdString());
        }
    }
    return names;
}

} // namespace tintra
