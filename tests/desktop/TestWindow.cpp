#include "desktop/TestWindow.h"

#include <cstdlib>
#include <memory>

namespace tintra {

TestWindow::TestWindow(const std::string& title, int x, int y, int width, int height, pid_t pid, const std::string& popUpType)
    : connection_(xcb_connect(nullptr, nullptr))
    , window_(xcb_generate_id(connection_))
{
    const auto* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    const std::uint32_t attributes[] = { screen->white_pixel, popUpType.empty() ? 0u : 1u };
    xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, static_cast<std::int16_t>(x),
        static_cast<std::int16_t>(y), static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), 0,
        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, attributes);
    if (!popUpType.empty()) {
        const xcb_atom_t type = atom(popUpType);
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_WINDOW_TYPE"), XCB_ATOM_ATOM, 32, 1, &type);
    }
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8,
        static_cast<std::uint32_t>(title.size()), title.data());
    const auto cardinal = static_cast<std::uint32_t>(pid);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &cardinal);
    // Where the test asked, not where the window manager would put it.
    const std::uint32_t hints[18] = { 1 | 2 | 4 | 8, 0, 0, 0, 0 };
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
    xcb_map_window(connection_, window_);
    xcb_flush(connection_);
}

TestWindow::~TestWindow()
{
    xcb_disconnect(connection_);
}

bool TestWindow::isFramed() const
{
    const std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree {
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window_), nullptr), &std::free
    };
    return tree && tree->parent != tree->root;
}

void TestWindow::setProperty(const std::string& name, const std::string& type, const std::string& atomValue)
{
    const xcb_atom_t value = atom(atomValue);
    xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_, atom(name), atom(type), 32, 1, &value);
    xcb_flush(connection_);
}

xcb_atom_t TestWindow::atom(const std::string& name) const
{
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply {
        xcb_intern_atom_reply(connection_, xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.c_str()), nullptr),
        &std::free
    };
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

} // namespace tintra
