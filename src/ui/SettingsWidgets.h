#pragma once

#include "support/Observable.h"
#include "ui/SettingsShell.h"
#include "ui/SettingsTexts.h"

#include <QCheckBox>
#include <QIcon>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace tintra {

// Small pieces every tab of the settings window lays out.

// A switch that shows the observable and writes through `set`; an outside
// change moves it too.
QCheckBox& addSwitch(QWidget& owner, QBoxLayout& layout, const std::string& title, const Observable<bool>& value,
    std::function<void(bool)> set, const std::string& help = {});

// A wrapped line of explanation under a control, in the secondary colour.
QLabel& addNote(QBoxLayout& layout, const std::string& text = {});

// A titled section with a vertical layout of its own.
QVBoxLayout& addSection(QBoxLayout& layout, const QString& title);

// Colours a line as its tone asks: secondary, or orange for trouble.
void showStatus(QLabel& label, const TintraStatusText& status);

// The desktop theme's icon, else one Qt draws itself.
QIcon themeIcon(const char* name, QStyle::StandardPixmap fallback);
// The icon recoloured: the green speaker of a row that will play.
QIcon tinted(const QIcon& icon, const QColor& colour);

QString qText(std::string_view text);

// Shows a folder in the file manager the shell names, else the desktop's own.
void showFolder(const TintraSettingsShell& shell, const std::filesystem::path& folder);

} // namespace tintra
