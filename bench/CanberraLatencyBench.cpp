// Event-to-sound latency side by side with the peer GTK users have today, the
// libcanberra GTK 3 module, in one run on one virtual desktop: from an XTest
// key press that opens a menu, and from an XTest button press on a button, to
// the first sample of the sound in the null sink's monitor. Both play the same
// tones for the same GTK 3 program: ours through the installed program, the
// module's from a private sound theme.
#include "catalogue/Catalogue.h"
#include "desktop/ProgramSession.h"
#include "support/DefaultsFile.h"

#include <benchmark/benchmark.h>
#include <sndfile.h>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <sstream>

namespace tintra {
namespace {

using namespace std::chrono_literals;
using testing::ProgramSession;
using Clock = ProgramSession::Clock;

const std::string gtkTitle = "Tintra GTK 3 Controls";
const std::string gtkProgram = std::string(TINTRA_PROGRAMS_DIR) + "/gtk3-controls.py";

// XTest input on a connection of the bench's own, so a press starts the clock
// at the moment it leaves for the server.
class Injector {
public:
    Injector() : connection_(xcb_connect(nullptr, nullptr)) {}
    ~Injector() { xcb_disconnect(connection_); }

    bool isOpen() const { return !xcb_connection_has_error(connection_); }

    xcb_keycode_t keycode(xcb_keysym_t keysym) const
    {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const auto count = std::uint8_t(setup->max_keycode - setup->min_keycode + 1);
        auto* reply = xcb_get_keyboard_mapping_reply(connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        xcb_keycode_t found = 0;
        if (reply) {
            const xcb_keysym_t* symbols = xcb_get_keyboard_mapping_keysyms(reply);
            for (int i = 0; i < xcb_get_keyboard_mapping_keysyms_length(reply) && !found; ++i) {
                if (symbols[i] == keysym)
                    found = xcb_keycode_t(setup->min_keycode + i / reply->keysyms_per_keycode);
            }
            std::free(reply);
        }
        return found;
    }

    void send(std::uint8_t type, std::uint8_t detail)
    {
        xcb_test_fake_input(connection_, type, detail, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        xcb_flush(connection_);
    }
    void tap(xcb_keycode_t key)
    {
        send(XCB_KEY_PRESS, key);
        send(XCB_KEY_RELEASE, key);
    }

private:
    xcb_connection_t* connection_;
};

// A sound theme for the module in which the menu and the button sound as our
// tones for them do; the module reads 16-bit WAV only.
bool writeCanberraTheme(const std::filesystem::path& dataHome, const std::filesystem::path& toneSet)
{
    const auto folder = dataHome / "sounds" / "tintra-tones" / "stereo";
    std::filesystem::create_directories(folder);
    std::ofstream(folder.parent_path() / "index.theme")
        << "[Sound Theme]\nName=Tintra Tones\nDirectories=stereo\n\n[stereo]\nOutputProfile=stereo\n";
    const auto convert = [&](TintraSoundID sound, const std::string& event) {
        const auto source = toneSet / "Contents" / "Resources" / std::string(entryBySoundID(sound)->fileName);
        SF_INFO format {};
        SNDFILE* in = sf_open(source.c_str(), SFM_READ, &format);
        if (!in)
            return false;
        const sf_count_t frames = format.frames;
        std::vector<float> samples(std::size_t(frames * format.channels));
        sf_readf_float(in, samples.data(), frames);
        sf_close(in);
        format.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* out = sf_open((folder / (event + ".wav")).c_str(), SFM_WRITE, &format);
        if (!out)
            return false;
        const bool written = sf_writef_float(out, samples.data(), frames) == frames;
        return sf_close(out) == 0 && written;
    };
    return convert(TintraSoundID("mnuo"), "menu-popup") && convert(TintraSoundID("cbtp"), "button-pressed");
}

struct Latencies {
    std::vector<double> menu, button;
    double menuAfterIdle = -1;
    int unheard = 0;
};

// The GTK 3 program running, its Cancel button under the pointer: 30 menu
// openings by key and 30 button presses, then one menu after 30 s of silence.
Latencies measure(ProgramSession& session, Injector& input)
{
    auto& desktop = session.desktop();
    Latencies result;
    const auto f10 = input.keycode(0xffc7);
    const auto escape = input.keycode(0xff1b);
    const auto trial = [&](const std::function<void()>& press, const std::function<void()>& undo) {
        std::this_thread::sleep_for(400ms);
        const auto start = Clock::now();
        press();
        const auto heard = session.firstSoundSince(start, 2000ms);
        undo();
        if (!heard)
            ++result.unheard;
        return heard ? std::chrono::duration<double, std::milli>(*heard - start).count() : 2000.0;
    };
    const auto openMenu = [&] { return trial([&] { input.tap(f10); }, [&] { std::this_thread::sleep_for(300ms); input.tap(escape); }); };
    std::string where = desktop.capture("/usr/bin/python3 '" TINTRA_PROGRAMS_DIR "/atspi-where.py' \"$(xdotool search --name '"
        + gtkTitle + "' getwindowpid | head -n1)\" Cancel 'push button'");
    std::istringstream numbers(where);
    int x = 0, y = 0, width = 0, height = 0;
    numbers >> x >> y >> width >> height;
    desktop.run("xdotool mousemove " + std::to_string(x + width / 2) + " " + std::to_string(y + height / 2));
    for (int i = 0; i < 30; ++i) {
        result.menu.push_back(openMenu());
        result.button.push_back(trial([&] { input.send(XCB_BUTTON_PRESS, 1); }, [&] { input.send(XCB_BUTTON_RELEASE, 1); }));
    }
    std::this_thread::sleep_for(30s);
    result.menuAfterIdle = openMenu();
    return result;
}

void report(benchmark::State& state, const std::string& who, Latencies& latencies)
{
    for (auto* series : { &latencies.menu, &latencies.button }) {
        std::sort(series->begin(), series->end());
        const std::string kind = series == &latencies.menu ? "menu" : "button";
        state.counters[who + "_" + kind + "_p50_ms"] = (*series)[series->size() / 2];
        state.counters[who + "_" + kind + "_p95_ms"] = (*series)[series->size() * 95 / 100];
        state.counters[who + "_" + kind + "_max_ms"] = series->back();
    }
    state.counters[who + "_after_idle_ms"] = latencies.menuAfterIdle;
    state.counters[who + "_unheard"] = latencies.unheard;
}

bool startGtkProgram(ProgramSession& session, ChildProcess& program, const ChildProcess::Environment& environment)
{
    program = session.desktop().start({ "/usr/bin/python3", gtkProgram }, environment);
    return session.desktop().run("xdotool search --sync --name '" + gtkTitle + "' windowactivate --sync") == 0;
}

void BM_EventToSoundAgainstCanberra(benchmark::State& state)
{
    ProgramSession session;
    if (session.skipReason) {
        state.SkipWithError(session.skipReason->c_str());
        return;
    }
    auto& desktop = session.desktop();
    if (desktop.run("ls /usr/lib/*/gtk-3.0/modules/libcanberra-gtk-module.so >/dev/null 2>&1") != 0
        || desktop.run("ls /usr/lib/*/libcanberra-0.30/libcanberra-pulse.so >/dev/null 2>&1") != 0) {
        state.SkipWithError("libcanberra's GTK 3 module or its PulseAudio driver is not installed (libcanberra-gtk3-module, libcanberra-pulse)");
        return;
    }
    Injector input;
    const std::filesystem::path dataHome = std::getenv("XDG_DATA_HOME");
    const std::filesystem::path configHome = std::getenv("XDG_CONFIG_HOME");
    if (!input.isOpen() || !writeCanberraTheme(dataHome, testing::writeToneSoundSet(desktop.folder(), "org.tintradorvel.bench.tones"))) {
        state.SkipWithError("no XTest connection, or the module's theme could not be written");
        return;
    }
    // The module sounds only where the desktop's GTK settings ask for event and input sounds.
    std::filesystem::create_directories(configHome / "gtk-3.0");
    std::ofstream(configHome / "gtk-3.0" / "settings.ini")
        << "[Settings]\ngtk-enable-event-sounds=1\ngtk-enable-input-feedback-sounds=1\ngtk-sound-theme-name=tintra-tones\n";
    {
        DefaultsFile settings(DefaultsFile::standardFolder(), DefaultsFile::standardDomain());
        settings.set("TintraPlaysClickSounds", true);
        settings.set("TintraPlaysGenericClickSound", false);
        settings.set("TintraPlaysKeyPressSounds", false);
    }

    for (auto _ : state) {
        ChildProcess gtk;
        if (!startGtkProgram(session, gtk, {})) {
            state.SkipWithError(("the GTK 3 program did not start: " + desktop.log()).c_str());
            return;
        }
        const auto started = Clock::now();
        auto program = session.start({ "--opened-at-login" });
        if (session.listenFor(TintraSoundID::login, started, 30s).empty()) {
            state.SkipWithError(("Tintra Dorvel did not sound its login: " + desktop.log()).c_str());
            return;
        }
        auto ours = measure(session, input);
        program.signal(SIGTERM);
        program.wait(10s);
        gtk.stop();

        if (!startGtkProgram(session, gtk, { { "GTK_MODULES", "canberra-gtk-module" } })) {
            state.SkipWithError(("the GTK 3 program did not start with the module: " + desktop.log()).c_str());
            return;
        }
        auto canberra = measure(session, input);
        report(state, "ours", ours);
        report(state, "canberra", canberra);
        for (const char* counter : { "menu_p50_ms", "menu_p95_ms", "button_p50_ms", "button_p95_ms" })
            state.counters[std::string("ratio_") + counter] = state.counters["ours_" + std::string(counter)] / state.counters["canberra_" + std::string(counter)];
        state.counters["ratio_after_idle"] = ours.menuAfterIdle / canberra.menuAfterIdle;
    }
}
BENCHMARK(BM_EventToSoundAgainstCanberra)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
} // namespace tintra
