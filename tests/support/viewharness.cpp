#include "support/viewharness.h"

#include <QDir>
#include <QFile>

#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "support/programstate.h"

ViewHarness::ViewHarness(const QByteArray* channelFile)
{
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(m_dir.path());
    if (channelFile) {
        QFile file(QStringLiteral("h350save.dat"));
        file.open(QIODevice::WriteOnly);
        file.write(*channelFile);
    }
    ResetProgramGlobals();
    SetMessageBoxSink([this](const CString& text) { messages << QString::fromLatin1(text); });
    m_view = std::make_unique<CTavrinView>();
    m_port = FakeCommInstaller::Latest();
}

ViewHarness::~ViewHarness()
{
    m_view.reset();
    SetMessageBoxSink({});
    QDir::setCurrent(m_previousDir);
}

void ViewHarness::Start() { m_view->OnInitialUpdate(); }

void ViewHarness::Feed(const QByteArray& radioBytes) { m_port->Inject(radioBytes); }

QByteArrayList ViewHarness::TakeWrites()
{
    QByteArrayList writes = m_port->writes;
    m_port->writes.clear();
    return writes;
}

QByteArray ViewHarness::TakeWritesJoined() { return TakeWrites().join(); }

QByteArray ViewHarness::MinimalChannelFile(const QByteArray& rangeLine)
{
    return "1  9600 O 7 1\r\n" + rangeLine + "\r\n";
}
