#include "input/KeyboardLayout.h"

#include <algorithm>

namespace tintra {

namespace {

constexpr double kMainBlockHalfWidth = 7.5;

KeyCap k(int code, double width = 1)
{
    return { KeyCap::Key { code, width } };
}

KeyCap b(double width)
{
    return { KeyCap::Blank { width } };
}

const std::vector<KeyboardRow>& ansiRows()
{
    static const std::vector<KeyboardRow> rows {
        { 0, { k(50), k(18), k(19), k(20), k(21), k(23), k(22), k(26), k(28), k(25), k(29), k(27), k(24), k(51, 2.0) } },
        { 0, { k(48, 1.5), k(12), k(13), k(14), k(15), k(17), k(16), k(32), k(34), k(31), k(35), k(33), k(30), k(42, 1.5) } },
        { 0, { b(1.75), k(0), k(1), k(2), k(3), k(5), k(4), k(38), k(40), k(37), k(41), k(39), k(36, 2.25) } },
        { 0, { b(2.25), k(6), k(7), k(8), k(9), k(11), k(45), k(46), k(43), k(47), k(44), b(2.75) } },
        { 0, { b(4.25), k(49, 5.5), b(2.25), k(123), k(125), k(124) } },
        { 13.0, { k(126) } },
    };
    return rows;
}

const std::vector<KeyboardRow>& isoRows()
{
    static const std::vector<KeyboardRow> rows {
        { 0, { k(10), k(18), k(19), k(20), k(21), k(23), k(22), k(26), k(28), k(25), k(29), k(27), k(24), k(51, 2.0) } },
        { 0, { k(48, 1.5), k(12), k(13), k(14), k(15), k(17), k(16), k(32), k(34), k(31), k(35), k(33), k(30), b(1.5) } },
        { 0, { b(1.75), k(0), k(1), k(2), k(3), k(5), k(4), k(38), k(40), k(37), k(41), k(39), k(42), k(36, 1.25) } },
        { 0, { b(1.25), k(50), k(6), k(7), k(8), k(9), k(11), k(45), k(46), k(43), k(47), k(44), b(2.75) } },
        { 0, { b(4.25), k(49, 5.5), b(2.25), k(123), k(125), k(124) } },
        { 13.0, { k(126) } },
    };
    return rows;
}

const std::vector<KeyboardRow>& jisRows()
{
    static const std::vector<KeyboardRow> rows {
        { 0, { k(18), k(19), k(20), k(21), k(23), k(22), k(26), k(28), k(25), k(29), k(27), k(24), k(93), k(51, 2.0) } },
        { 0, { k(48, 1.5), k(12), k(13), k(14), k(15), k(17), k(16), k(32), k(34), k(31), k(35), k(33), k(30), b(1.5) } },
        { 0, { b(1.75), k(0), k(1), k(2), k(3), k(5), k(4), k(38), k(40), k(37), k(41), k(39), k(42), k(36, 1.25) } },
        { 0, { b(2.25), k(6), k(7), k(8), k(9), k(11), k(45), k(46), k(43), k(47), k(44), k(94), b(1.75) } },
        { 0, { b(4.25), k(102), k(49, 3.5), k(104), b(2.25), k(123), k(125), k(124) } },
        { 13.0, { k(126) } },
        { 19.5, { k(95) } },
    };
    return rows;
}

const std::vector<KeyboardRow>& commonRows()
{
    static const std::vector<KeyboardRow> rows {
        { 0, { k(53, 1.5), k(122), k(120), k(99), k(118), k(96), k(97), k(98), k(100), k(101), k(109), k(103), k(111), b(1.5) } },
        { 15.25, { k(105), k(107), k(113) } },
        { 18.5, { k(106), k(64), k(79), k(80) } },
        { 15.25, { k(114), k(115), k(116) } },
        { 15.25, { k(117), k(119), k(121) } },
        { 18.5, { k(71), k(81), k(75), k(67) } },
        { 18.5, { k(89), k(91), k(92), k(78) } },
        { 18.5, { k(86), k(87), k(88), k(69) } },
        { 18.5, { k(83), k(84), k(85), k(76) } },
        { 18.5, { k(82, 2.0), k(65) } },
    };
    return rows;
}

// Indexed by key code; every code in the tables is below 128.
using CentreTable = std::array<std::optional<double>, 128>;

void addRows(CentreTable& table, std::span<const KeyboardRow> rows)
{
    for (const auto& row : rows) {
        double x = row.start;
        for (const auto& cap : row.caps) {
            if (const auto* key = std::get_if<KeyCap::Key>(&cap.cap))
                table.at(static_cast<std::size_t>(key->code)) = x + key->width / 2; // a later row wins
            x += cap.width();
        }
    }
}

const CentreTable& centreTable(TintraKeyboardLayout layout)
{
    // Built once, thread-safely, on first use.
    static const std::array<CentreTable, allKeyboardLayouts.size()> tables = [] {
        std::array<CentreTable, allKeyboardLayouts.size()> built {};
        for (auto layout : allKeyboardLayouts) {
            auto& table = built[static_cast<std::size_t>(layout)];
            addRows(table, keyboardRows(layout));
            addRows(table, commonKeyboardRows());
        }
        return built;
    }();
    return tables[static_cast<std::size_t>(layout)];
}

} // namespace

double KeyCap::width() const
{
    return std::visit([](const auto& part) { return part.width; }, cap);
}

std::span<const KeyboardRow> keyboardRows(TintraKeyboardLayout layout)
{
    switch (layout) {
    case TintraKeyboardLayout::ansi: return ansiRows();
    case TintraKeyboardLayout::iso: return isoRows();
    case TintraKeyboardLayout::jis: return jisRows();
    }
    return {};
}

std::span<const KeyboardRow> commonKeyboardRows()
{
    return commonRows();
}

std::optional<double> keyCentre(int keyCode, TintraKeyboardLayout layout)
{
    const auto& table = centreTable(layout);
    if (keyCode < 0 || static_cast<std::size_t>(keyCode) >= table.size())
        return std::nullopt;
    return table[static_cast<std::size_t>(keyCode)];
}

float keyPan(int keyCode, TintraKeyboardLayout layout)
{
    const auto centre = keyCentre(keyCode, layout);
    if (!centre)
        return 0;
    const double pan = (*centre - kMainBlockHalfWidth) / kMainBlockHalfWidth;
    return static_cast<float>(pan <= -1 ? -1.0 : std::min(pan, 1.0));
}

} // namespace tintra
