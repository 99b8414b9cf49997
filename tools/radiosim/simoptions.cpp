#include "simoptions.h"

#include <QCommandLineParser>

namespace radiosim {
namespace {

struct Named
{
    const char *option;
    char RadioState::*field;
    char first;
    QStringList names;
};

// Settings may be given by the radio's own character or by name.
const QList<Named> &namedSettings()
{
    static const QList<Named> table = {
        {"mode", &RadioState::mode, '1', {"USB", "LSB", "AM", "CW"}},
        {"agc", &RadioState::agc, '1', {"OFF", "SLOW", "MEDIUM", "FAST"}},
        {"input", &RadioState::audioInput, '1', {"MIC", "AUDIO2", "PATCH"}},
        {"vox", &RadioState::vox, '0', {"OFF", "VOICE", "DATA"}},
        {"meter", &RadioState::meter, '1', {"AUDIO", "LINE", "PATCH", "FWD", "REV", "VSWR"}},
        {"amp", &RadioState::amplifier, '1', {"OFF", "POWERED", "READY", "OPERATING"}},
    };
    return table;
}

struct Switch
{
    const char *option;
    bool RadioState::*field;
    const char *help;
};

constexpr Switch switches[] = {
    {"direct", &RadioState::directMode, "Accept direct mode, AGC and gain commands and report 'G'."},
    {"mute", &RadioState::muted, "Start muted."},
    {"side-tone", &RadioState::sideTone, "Start with side tone on."},
    {"clipping", &RadioState::clipping, "Start with clipping on."},
    {"ext-ptt", &RadioState::extPtt, "Start with Ext PTT on."},
    {"local-audio", &RadioState::localAudio, "Start with LocalAudio on."},
    {"bpf-off", &RadioState::bpfOff, "Start with the band-pass filter off."},
    {"keyed", &RadioState::keyed, "Start with the transmitter keyed."},
    {"amp-tuning", &RadioState::ampTuning, "Start with the amplifier tuning."},
};

struct Valued
{
    const char *option;
    const char *value;
    const char *help;
};

constexpr Valued valued[] = {
    {"register", "N", "Write the pty path into the panel's settings as COM<N>."},
    {"freq", "KHZ", "Initial frequency in kHz (0 to 99999.99)."},
    {"gain", "NN", "Initial RF gain, two characters."},
    {"bfo", "CODE", "Initial BFO code, 000 to 200 (100: no offset)."},
    {"drop", "P", "Drop each reply character with chance P."},
    {"corrupt", "P", "Flip a bit of each reply character with chance P."},
    {"garbage", "P", "Add noise without a line feed to a reply with chance P."},
    {"delay-ms", "N", "Hold each reply back N milliseconds."},
    {"drop-in", "P", "Lose each command character with chance P."},
    {"corrupt-in", "P", "Flip a bit of each command character with chance P."},
    {"seed", "N", "Seed for the line faults (default 1)."},
    {"disconnect-after", "S", "Close the pty S seconds after it opens; without --reconnect-after, quit then."},
    {"reconnect-after", "S", "After a disconnect, come back on a new pty S seconds later."},
    {"link", "PATH", "Keep a symbolic link PATH to the pty while it is up, as udev keeps /dev/serial/by-id names; --register then maps PATH."},
    {"state-file", "PATH", "Rewrite a key=value dump of the radio after each command."},
};

void addOptions(QCommandLineParser &parser)
{
    parser.setApplicationDescription(QStringLiteral("Simulated Harris RF-350 on a pseudo-terminal."));
    parser.addHelpOption();
    parser.addVersionOption();
    for (const Switch &s : switches)
        parser.addOption({QLatin1String(s.option), QLatin1String(s.help)});
    for (const Named &n : namedSettings()) {
        parser.addOption({QLatin1String(n.option),
                          QStringLiteral("Initial %1: %2 or its digit.").arg(QLatin1String(n.option), n.names.join('|')),
                          QStringLiteral("VALUE")});
    }
    for (const Valued &v : valued)
        parser.addOption({QLatin1String(v.option), QLatin1String(v.help), QLatin1String(v.value)});
    parser.addOption({QStringLiteral("chunk"), QStringLiteral("Send replies in small pieces.")});
    parser.addOption({QStringLiteral("channel-file"),
                      QStringLiteral("Write a sample h350save.dat here if there is none.")});
}

bool readNamed(const QCommandLineParser &parser, const Named &n, RadioState &state, QString &error)
{
    const QString option = QLatin1String(n.option);
    if (!parser.isSet(option))
        return true;
    const QString value = parser.value(option).toUpper();
    const int index = int(n.names.indexOf(value));
    const int digit = value.size() == 1 ? value.at(0).unicode() - n.first : -1;
    const int chosen = index >= 0 ? index : digit;
    if (chosen < 0 || chosen >= n.names.size()) {
        error = QStringLiteral("--%1 takes %2").arg(option, n.names.join('|'));
        return false;
    }
    state.*n.field = char(n.first + chosen);
    return true;
}

// Leaves target alone when the option is absent.
bool readNumber(const QCommandLineParser &parser, const char *option, double low, double high,
                double &target, QString &error)
{
    const QString name = QLatin1String(option);
    if (!parser.isSet(name))
        return true;
    bool ok = false;
    const double value = parser.value(name).toDouble(&ok);
    if (!ok || value < low || value > high) {
        error = QStringLiteral("--%1 takes a number from %2 to %3").arg(name).arg(low).arg(high);
        return false;
    }
    target = value;
    return true;
}

bool readFaults(const QCommandLineParser &parser, SimOptions &o, QString &error)
{
    double delay = o.outgoing.delayMs, seed = o.outgoing.seed;
    const bool ok = readNumber(parser, "drop", 0, 1, o.outgoing.dropRate, error)
        && readNumber(parser, "corrupt", 0, 1, o.outgoing.corruptRate, error)
        && readNumber(parser, "garbage", 0, 1, o.outgoing.garbageRate, error)
        && readNumber(parser, "drop-in", 0, 1, o.incoming.dropRate, error)
        && readNumber(parser, "corrupt-in", 0, 1, o.incoming.corruptRate, error)
        && readNumber(parser, "delay-ms", 0, 60000, delay, error)
        && readNumber(parser, "seed", 0, 4294967295.0, seed, error);
    o.outgoing.delayMs = int(delay);
    o.outgoing.chunked = parser.isSet(QStringLiteral("chunk"));
    o.outgoing.seed = quint32(seed);
    // A different stream for the other direction, still fixed by the seed.
    o.incoming.seed = quint32(seed) ^ 0x9e3779b9u;
    return ok;
}

bool readCodes(const QCommandLineParser &parser, RadioState &s, QString &error)
{
    if (parser.isSet(QStringLiteral("gain"))) {
        s.rfGain = parser.value(QStringLiteral("gain")).toLatin1();
        if (s.rfGain.size() != 2) {
            error = QStringLiteral("--gain takes two characters");
            return false;
        }
    }
    double bfo = s.bfoCode.toInt();
    if (!readNumber(parser, "bfo", 0, 200, bfo, error))
        return false;
    s.bfoCode = QByteArray::number(int(bfo)).rightJustified(3, '0');
    return true;
}

bool readState(const QCommandLineParser &parser, RadioState &s, QString &error)
{
    for (const Switch &sw : switches)
        s.*sw.field = s.*sw.field || parser.isSet(QLatin1String(sw.option));
    for (const Named &n : namedSettings()) {
        if (!readNamed(parser, n, s, error))
            return false;
    }
    double kHz = s.frequencyKHz();
    if (!readNumber(parser, "freq", 0, RadioState::maxFrequency10Hz / 100.0, kHz, error))
        return false;
    s.setFrequencyKHz(kHz);
    return readCodes(parser, s, error);
}

bool readRest(const QCommandLineParser &parser, SimOptions &o, QString &error)
{
    double port = 0;
    o.writeChannelFile = parser.isSet(QStringLiteral("channel-file"));
    o.stateFile = parser.value(QStringLiteral("state-file"));
    o.linkPath = parser.value(QStringLiteral("link"));
    const bool ok = readNumber(parser, "register", 1, 99, port, error)
        && readNumber(parser, "disconnect-after", 0.001, 1e6, o.disconnectAfterS, error)
        && readNumber(parser, "reconnect-after", 0.001, 1e6, o.reconnectAfterS, error);
    o.registerPort = int(port);
    return ok;
}

} // namespace

bool parseOptions(const QStringList &arguments, SimOptions &options, QString &error)
{
    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(arguments)) {
        error = parser.errorText();
        return false;
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("unexpected argument %1").arg(parser.positionalArguments().first());
        return false;
    }
    return readState(parser, options.initial, error) && readFaults(parser, options, error)
        && readRest(parser, options, error);
}

} // namespace radiosim
