// tovak-sim: the door equipment on a pseudo-terminal, for trying the program without hardware.
// `tovak-sim --help` tells how.

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sim/controller_sim.h"
#include "sim/door_sim.h"

namespace {

constexpr const char* kUsage =
    "usage: tovak-sim [--port N] [--ports-dir DIR] [--type T|0|1|2] [--poll MS] [--config FILE]\n"
    "                 [--print-requests] [--line-fd FD]\n"
    "       tovak-sim --controller [--port N] [--ports-dir DIR] [--restart MS] [--print-requests]\n"
    "                 [--line-fd FD]\n"
    "       tovak-sim --help\n";

void Help(const DoorState& terminal) {
    std::printf(
        "%s\n"
        "Plays VXR door equipment on a pseudo-terminal that TOVAK opens as COMn: the simulator\n"
        "puts the link COMn into the ports folder and removes it when it ends.\n"
        "\n"
        "  --port N         the COM number (default 1, the door controller 2)\n"
        "  --ports-dir DIR  the ports folder (default $TOVAK_PORTS, else ~/.config/tovak/ports)\n"
        "  --type T         a door terminal (default), for \"System steuern oder konfigurieren\":\n"
        "                   one terminal, two boxes with matching jumpers, a KZN connector\n"
        "  --type 0|1       a Portalis interface device of type 0 or 1, for \"Portalis konfigurieren\"\n"
        "  --type 2         a Belvar interface device\n"
        "  --poll MS        the poll interval (default 50)\n"
        "  --config FILE    the device's state from an INI file instead (sections in sim/door_state.h)\n"
        "  --print-requests each request of the program as a line \"request FB 02 ...\" (hex); the\n"
        "                   door controller prints each command line it gets as \"command scxUID\"\n"
        "  --controller     the door controller's text channel instead, for its pages\n"
        "  --restart MS     the controller's silence after a network change or a factory reset\n"
        "                   (default 5000)\n"
        "  --line-fd FD     serve the pseudo-terminal whose master is the open descriptor FD, made\n"
        "                   by the program that started the simulator (a test that watches the\n"
        "                   line), instead of one of its own\n"
        "\n"
        "Access codes of the door terminal:\n"
        "  %-8s control  (Steuerung)\n"
        "  %-8s system   (System-Einstellungen, Geräte-Einstellungen)\n"
        "  %-8s install  (Installation, Wartung, Benutzerverwaltung)\n"
        "\n"
        "Signals (the simulator prints its process id when it starts):\n"
        "  kill -USR1 PID   opens the door, or closes it\n"
        "  kill -USR2 PID   presses every door terminal's emergency button, or releases them\n"
        "                   (the installation's button test waits for them)\n"
        "  kill PID, Ctrl+C ends the simulator: to the program its adapter was pulled\n"
        "  kill -STOP PID   the device hangs: it reads and answers nothing\n"
        "  kill -CONT PID   it talks again\n",
        kUsage, terminal.codes[1].c_str(), terminal.codes[2].c_str(), terminal.codes[3].c_str());
}

constexpr int kNoDescriptor = -2;

// A descriptor number as given, or kNoDescriptor.
int Descriptor(const std::string& text) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return kNoDescriptor;
    return std::stoi(text);
}

int Usage() {
    std::fprintf(stderr, "%s  (tovak-sim --help tells more)\n", kUsage);
    return 2;
}

// The signals are blocked in every thread and taken by the main thread alone with sigwait,
// so none is lost between a check and a wait, and none lands on a simulator thread.
sigset_t BlockSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGUSR1, SIGUSR2}) sigaddset(&set, sig);
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    return set;
}

int NextSignal(const sigset_t& set) {
    int sig = 0;
    return sigwait(&set, &sig) == 0 ? sig : SIGTERM;
}

int RunController(const ControllerSimOptions& options, int restart_ms) {
    const sigset_t signals = BlockSignals();
    try {
        ControllerSim sim(options);
        sim.WithDevice([&](ControllerDevice& d) { d.restart_ms = restart_ms; });
        sim.Start();
        std::printf("tovak-sim %d: door controller COM%d -> %s (%s); Ctrl+C ends\n", static_cast<int>(getpid()),
                    options.port, sim.SlavePath().c_str(), sim.LinkPath().c_str());
        std::fflush(stdout);
        for (int sig = NextSignal(signals); sig == SIGUSR1 || sig == SIGUSR2; sig = NextSignal(signals)) {
        }
        sim.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tovak-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}

int RunDoor(const DoorState& state, const DoorSimOptions& options) {
    const sigset_t signals = BlockSignals();
    try {
        DoorSim sim(state, options);
        sim.Start();
        std::printf("tovak-sim %d: %s COM%d -> %s (%s), polling every %d ms; Ctrl+C ends\n", static_cast<int>(getpid()),
                    state.type_code == 0x81 ? "door terminal" : "interface device", options.port,
                    sim.SlavePath().c_str(), sim.LinkPath().c_str(), options.poll_ms);
        std::fflush(stdout);
        for (int sig = NextSignal(signals); sig == SIGUSR1 || sig == SIGUSR2; sig = NextSignal(signals)) {
            if (sig == SIGUSR1)
                sim.Device().OpenOrCloseDoor();
            else
                sim.Device().PressOrReleaseEmergencyButtons();
        }
        sim.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tovak-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    DoorSimOptions options;
    options.port = 1;
    std::string config;
    std::string type = "T";
    bool controller = false;
    int restart_ms = 5000;
    int port = 0;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
        if (arg == "--help" || arg == "-h") {
            Help(DoorState::TryOutTerminal());
            return 0;
        }
        if (arg == "--controller")
            controller = true;
        else if (arg == "--restart")
            restart_ms = std::atoi(value().c_str());
        else if (arg == "--port")
            port = std::atoi(value().c_str());
        else if (arg == "--ports-dir")
            options.ports_dir = value();
        else if (arg == "--poll")
            options.poll_ms = std::atoi(value().c_str());
        else if (arg == "--config")
            config = value();
        else if (arg == "--print-requests")
            options.print_requests = true;
        else if (arg == "--type")
            type = value();
        else if (arg == "--line-fd")
            options.line_fd = Descriptor(value());
        else
            return Usage();
    }
    if (port) options.port = port;
    if (options.line_fd == kNoDescriptor) return Usage();
    if (controller)
        return port >= 0 && restart_ms >= 0
                   ? RunController({port ? port : 2, options.ports_dir, options.print_requests, options.line_fd},
                                   restart_ms)
                   : Usage();
    if (options.port < 1 || options.poll_ms < 1) return Usage();
    if (type == "t") type = "T";
    if (type != "T" && type != "0" && type != "1" && type != "2") return Usage();
    try {
        const DoorState state = !config.empty() ? LoadDoorState(config)
                                : type == "T"   ? DoorState::TryOutTerminal()
                                                : DoorState::IoDevice(type[0] - '0');
        return RunDoor(state, options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tovak-sim: %s\n", e.what());
        return 1;
    }
}
