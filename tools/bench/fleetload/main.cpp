// Stations enough to load a broker and a console, without a radio or a
// panel each: N MQTT clients that publish as a station does, "online" with
// a last will and, once a second each, a state whose frequency moves and
// whose "time" says when it was sent, so the reader can tell how late it
// shows. The clients' times are spread over the second.
//
//   fleetload --broker-host localhost --broker-port PORT --ca CA --cert CERT --key KEY
//             [--stations 100] [--seconds 60] [--prefix load]
#include <mosquitto.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Options {
    std::string host = "localhost";
    int port = 8883;
    std::string ca, cert, key;
    int stations = 100;
    int seconds = 60;
    std::string prefix = "load";
};

Options Parse(int argc, char** argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i], value = argv[i + 1];
        if (name == "--broker-host") o.host = value;
        else if (name == "--broker-port") o.port = std::atoi(value.c_str());
        else if (name == "--ca") o.ca = value;
        else if (name == "--cert") o.cert = value;
        else if (name == "--key") o.key = value;
        else if (name == "--stations") o.stations = std::atoi(value.c_str());
        else if (name == "--seconds") o.seconds = std::atoi(value.c_str());
        else if (name == "--prefix") o.prefix = value;
        else { std::fprintf(stderr, "fleetload: unknown option %s\n", name.c_str()); std::exit(2); }
    }
    return o;
}

std::string UtcNow()
{
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = std::time_t(ms / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900, utc.tm_mon + 1,
                  utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec, int(ms % 1000));
    return text;
}

std::string Topic(const Options& o, int station, const char* leaf)
{
    return "tavrin/" + o.prefix + std::to_string(station) + "/" + leaf;
}

} // namespace

int main(int argc, char** argv)
{
    const Options o = Parse(argc, argv);
    mosquitto_lib_init();
    std::vector<mosquitto*> clients;
    std::atomic<int> connected{0};
    for (int i = 0; i < o.stations; ++i) {
        mosquitto* client = mosquitto_new(("fleetload-" + std::to_string(i)).c_str(), true, &connected);
        mosquitto_int_option(client, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
        mosquitto_tls_set(client, o.ca.c_str(), nullptr, o.cert.c_str(), o.key.c_str(), nullptr);
        const std::string will = Topic(o, i, "status");
        mosquitto_will_set(client, will.c_str(), 7, "offline", 1, true);
        mosquitto_connect_callback_set(client, [](mosquitto*, void* count, int rc) {
            if (rc == 0)
                ++*static_cast<std::atomic<int>*>(count);
        });
        if (mosquitto_connect_async(client, o.host.c_str(), o.port, 30) != MOSQ_ERR_SUCCESS
            || mosquitto_loop_start(client) != MOSQ_ERR_SUCCESS) {
            std::fprintf(stderr, "fleetload: station %d cannot connect\n", i);
            return 1;
        }
        clients.push_back(client);
    }
    for (int wait = 0; connected < o.stations && wait < 300; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    std::printf("fleetload: %d of %d stations connected\n", connected.load(), o.stations);
    std::fflush(stdout);
    for (int i = 0; i < o.stations; ++i)
        mosquitto_publish(clients[i], nullptr, Topic(o, i, "status").c_str(), 6, "online", 1, true);
    const auto start = std::chrono::steady_clock::now();
    long sent = 0;
    for (int second = 0; second < o.seconds; ++second) {
        for (int i = 0; i < o.stations; ++i) {
            std::this_thread::sleep_until(start + std::chrono::milliseconds(second * 1000 + i * 1000 / o.stations));
            char state[512];
            const int length = std::snprintf(
                state, sizeof state,
                "{\"time\":\"%s\",\"since\":\"\",\"frequency_khz\":%.2f,\"mode\":\"USB\",\"agc\":\"Slow\","
                "\"transmitting\":false,\"holder\":\"\",\"heard\":true,\"link\":\"\",\"operators\":[],\"web_panel\":\"\"}",
                UtcNow().c_str(), 7000.0 + i + second * 0.01);
            mosquitto_publish(clients[i], nullptr, Topic(o, i, "state").c_str(), length, state, 1, true);
            ++sent;
        }
    }
    std::printf("fleetload: %ld states sent\n", sent);
    for (mosquitto* client : clients) {
        mosquitto_disconnect(client);
        mosquitto_loop_stop(client, false);
        mosquitto_destroy(client);
    }
    mosquitto_lib_cleanup();
    return 0;
}
