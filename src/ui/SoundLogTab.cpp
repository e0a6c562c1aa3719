#include "ui/SoundLogTab.h"

#include "engine/Controller.h"
#include "support/Text.h"
#include "ui/Binding.h"
#include "ui/SettingsWidgets.h"

#include <QApplication>
#include <QClipboard>
#include <QVBoxLayout>

namespace tintra {

TintraSoundLogTab::TintraSoundLogTab(TintraController& controller, const TintraSettingsShell& shell)
    : controller_(controller)
    , shell_(shell)
{
    auto* layout = new QVBoxLayout(this);
    summary_ = new QLabel;
    summary_->setWordWrap(true);
    silences_ = new QListWidget;
    silences_->setAccessibleName("Silence periods");
    silences_->setMaximumHeight(100);
    sections_ = new QTreeWidget;
    sections_->setAccessibleName("Sounds by application");
    sections_->setHeaderHidden(true);
    copy_ = new QPushButton("Copy Report");
    copy_->setToolTip("Copies everything above as text, for a bug report.");
    connect(copy_, &QPushButton::clicked, this, [this] { copyReport(); });
    layout->addWidget(summary_);
    layout->addWidget(silences_);
    layout->addWidget(sections_, 1);
    layout->addWidget(copy_, 0, Qt::AlignRight);

    auto& log = controller_.log();
    new TintraBinding(*this, log.subscribeToSections([this](const auto&) { redrawSections(); }));
    new TintraBinding(*this, log.subscribeToSilences([this](const auto&) { redrawSilences(); }));
    redrawSections();
    redrawSilences();
}

TintraSoundLogReport TintraSoundLogTab::report() const
{
    return { .sourceName = [this](TintraSoundID soundID) {
                return controller_.assignments().sourceName(soundID, controller_.library());
            },
        .now = shell_.clock->now() };
}

void TintraSoundLogTab::redrawSections()
{
    const auto& log = controller_.log();
    const auto describe = report();
    summary_->setText(qText(describe.summary(log)));
    sections_->clear();
    for (const auto& section : log.sections()) {
        auto* item = new QTreeWidgetItem(sections_, { qText(describe.sectionLines(section).front()) });
        for (const auto& entry : section.entries) {
            const auto lines = describe.entryLines(entry, 0);
            const auto sound = TintraSoundLog::soundName(entry).value_or(entry.soundID.description());
            auto* row = new QTreeWidgetItem(item, { qText(sound + ": " + lines.front()) });
            for (auto line = std::next(lines.begin()); line != lines.end(); ++line)
                new QTreeWidgetItem(row, { qText(trimmingWhitespace(*line)) });
        }
        item->setExpanded(true);
    }
    copy_->setEnabled(log.hasContent());
}

void TintraSoundLogTab::redrawSilences()
{
    const auto describe = report();
    silences_->clear();
    for (const auto& period : controller_.log().silences())
        silences_->addItem(qText(describe.silenceLine(period)));
    silences_->setVisible(silences_->count() > 0);
    copy_->setEnabled(controller_.log().hasContent());
}

void TintraSoundLogTab::copyReport()
{
    QApplication::clipboard()->setText(qText(report().text(controller_.log())));
}

} // namespace tintra
