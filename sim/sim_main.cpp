// tovak-sim: the door equipment on a pseudo-terminal, for trying the program without hardware.
//   tovak-sim [--port N] [--ports-dir DIR] [--poll MS] [--config FILE] [--type 0|1|2|T]
//   tovak-sim --controller [--port N] [--ports-dir DIR] [--restart MS]   (the door controller)

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "sim/controller_sim.h"
#include "sim/door_sim.h"

namespace {

volatile std::sig_atomic_t stop_requested = 0;

void OnSignal(int) { stop_requested = 1; }

// SIGUSR1: the technician opens or closes the door (for the wizards' "close the door" pages).
volatile std::sig_atomic_t door_moves = 0;

void OnDoorSignal(int) { door_moves = 1; }

int Usage() {
    std::fprintf(stderr,
                 "usage: tovak-sim [--port N] [--ports-dir DIR] [--poll MS] [--config FILE] [--type 0|1|2|T]\n"
                 "  Plays the door equipment on a pseudo-terminal linked as COMn (default COM1)\n"
                 "  in the ports folder ($TOVAK_PORTS or ~/.config/tovak/ports);\n"
                 "  kill -USR1 opens or closes the door.\n"
                 "       tovak-sim --controller [--port N] [--ports-dir DIR] [--restart MS]\n"
                 "  Plays the door controller's text channel instead (default COM2).\n");
    return 2;
}

int RunController(int port, const std::string& ports_dir, int restart_ms) {
    try {
        ControllerSim sim({port, ports_dir});
        sim.WithDevice([&](ControllerDevice& d) { d.restart_ms = restart_ms; });
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        sim.Start();
        std::printf("tovak-sim: controller COM%d -> %s (%s); Ctrl+C ends\n", port, sim.SlavePath().c_str(),
                    sim.LinkPath().c_str());
        std::fflush(stdout);
        while (!stop_requested) pause();
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
        if (arg == "--controller") controller = true;
        else if (arg == "--restart") restart_ms = std::atoi(value().c_str());
        else if (arg == "--port") port = std::atoi(value().c_str());
        else if (arg == "--ports-dir") options.ports_dir = value();
        else if (arg == "--poll") options.poll_ms = std::atoi(value().c_str());
        else if (arg == "--config") config = value();
        else if (arg == "--type") type = value();
        else return Usage();
    }
    if (port) options.port = port;
    if (controller) return port >= 0 && restart_ms >= 0 ? RunController(port ? port : 2, options.ports_dir, restart_ms) : Usage();
    if (options.port < 1 || options.poll_ms < 1) return Usage();
    try {
        DoorState state = !config.empty() ? LoadDoorState(config)
                          : type == "0" || type == "1" || type == "2" ? DoorState::IoDevice(type[0] - '0')
                                                                       : DoorState::DoorTerminal();
        DoorSim sim(state, options);
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
        sim.Start();
        std::signal(SIGUSR1, OnDoorSignal);
        std::printf("tovak-sim: COM%d -> %s (%s), polling every %d ms; Ctrl+C ends\n", options.port,
                    sim.SlavePath().c_str(), sim.LinkPath().c_str(), options.poll_ms);
        std::fflush(stdout);
        while (!stop_requested) {
            pause();
            if (!door_moves) continue;
            door_moves = 0;
            sim.Device().OpenOrCloseDoor();
        }
        sim.Stop();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tovak-sim: %s\n", e.what());
        return 1;
    }
    return 0;
}
