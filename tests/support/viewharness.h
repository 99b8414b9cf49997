#pragma once
// One panel, started as the program starts it, in a scratch working
// directory, talking to a fake serial device; message boxes are recorded
// instead of shown.
#include <QByteArrayList>
#include <QTemporaryDir>
#include <memory>

#include "panel/cstring.h"
#include "support/fakecomm.h"

class CTavrinView;

class ViewHarness {
public:
    // Writes `channelFile` (if not null) as h350save.dat before the view
    // starts; a file whose line 1 names port 1 is what the program expects.
    explicit ViewHarness(const QByteArray* channelFile = nullptr);
    ~ViewHarness();

    CTavrinView& View() { return *m_view; }
    FakeCommBackend& Port() { return *m_port; }
    QString Dir() const { return m_dir.path(); }

    void Start();                                 // the view's first update
    void Feed(const QByteArray& radioBytes);      // the radio sends these
    QByteArrayList TakeWrites();                  // what went out since last asked
    QByteArray TakeWritesJoined();
    QStringList messages;                         // message box texts, in order

    // A channel file with line 1 "1  9600 O 7 1", the given range line, and
    // no records (the loader then marks every slot as missing).
    static QByteArray MinimalChannelFile(const QByteArray& rangeLine = " 7000.00  7300.00   0   9");

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    FakeCommInstaller m_installer;
    std::unique_ptr<CTavrinView> m_view;
    FakeCommBackend* m_port = nullptr;
};
