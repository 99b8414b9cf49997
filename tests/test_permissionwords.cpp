// A serial device that is there but may not be opened gets words of its
// own: a real refusal, on a pseudo-terminal the test makes unreadable.
// Tests run as root in CI, and root passes file permissions by its
// capabilities; the test sets those aside, for this thread, while it opens.
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "link/commsettings.h"
#include "link/mscomm.h"

namespace {

// While it lives, this thread is held to file permissions as any user is.
class FilePermissionsApply {
public:
    FilePermissionsApply()
    {
        m_ok = syscall(SYS_capget, &m_header, m_saved) == 0;
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_ok = m_ok && syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~FilePermissionsApply() { syscall(SYS_capset, &m_header, m_saved); }
    bool Ok() const { return m_ok; }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
};

class UnreadablePty {
public:
    UnreadablePty()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return;
        m_slave = QString::fromLocal8Bit(ptsname(m_master));
        struct stat info {};
        if (::chmod(ptsname(m_master), 0) == 0 && ::stat(ptsname(m_master), &info) == 0)
            m_group = QString::fromLocal8Bit(getgrgid(info.st_gid) ? getgrgid(info.st_gid)->gr_name : "");
    }
    ~UnreadablePty()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    QString Slave() const { return m_slave; }
    QString Group() const { return m_group; }

private:
    int m_master = -1;
    QString m_slave;
    QString m_group;
};

} // namespace

class PermissionWordsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void unreadableDevice_isRefusedInThoseWords();

private:
    QTemporaryDir m_profile;
};

void PermissionWordsTest::initTestCase()
{
    QVERIFY(m_profile.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_profile.path()));
}

void PermissionWordsTest::unreadableDevice_isRefusedInThoseWords()
{
    UnreadablePty pty;
    QVERIFY(!pty.Slave().isEmpty());
    SetDeviceForCommPort(4, pty.Slave());
    CMSComm comm;
    comm.SetCommPort(4);
    comm.SetSettings(" 9600,O,7,1");
    QString refusal;
    {
        FilePermissionsApply asAnyUser;
        QVERIFY(asAnyUser.Ok());
        try {
            comm.SetPortOpen(true);
        } catch (const CommError& error) {
            QCOMPARE(error.kind, CommErrorKind::OpenFailed);
            refusal = error.text;
        }
    }

    QVERIFY(!comm.GetPortOpen());
    QVERIFY2(refusal.startsWith(QStringLiteral("COM4 (%1): permission denied").arg(pty.Slave())), qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral("group that owns the device, %1").arg(pty.Group())), qPrintable(refusal));
    QVERIFY2(refusal.contains(QStringLiteral("sudo adduser ")) && refusal.contains(QStringLiteral("log in again")), qPrintable(refusal));
}

QTEST_MAIN(PermissionWordsTest)
#include "test_permissionwords.moc"
