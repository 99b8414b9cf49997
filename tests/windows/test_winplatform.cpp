// What the Windows build does in Windows' own way: the names of COM ports,
// the ports listed, the data folder, a named file that is not a file, the
// record's flush to disk. Runs under Wine with the other classes.
#include <QtTest>
#include <windows.h>

#include "app/datadir.h"
#include "link/winserialbackend.h"
#include "netport/boundedfile.h"
#include "portchooser/serialdevices.h"
#include "files/disksync.h"

class WinPlatform : public QObject {
    Q_OBJECT

private slots:
    void comPortsAreOpenedInTheDeviceNamespace_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("path");
        QTest::newRow("COM1") << "COM1" << "\\\\.\\COM1";
        QTest::newRow("COM10 and above need it") << "COM12" << "\\\\.\\COM12";
        QTest::newRow("lower case") << "com3" << "\\\\.\\com3";
        QTest::newRow("already in the namespace") << "\\\\.\\COM4" << "\\\\.\\COM4";
        QTest::newRow("another device") << "\\\\.\\CNCA0" << "\\\\.\\CNCA0";
        QTest::newRow("not a port name") << "COMx" << "COMx";
    }
    void comPortsAreOpenedInTheDeviceNamespace()
    {
        QFETCH(QString, device);
        QFETCH(QString, path);
        QCOMPARE(WinSerialPath(device), path);
    }

    void aPortThatIsNotThereSaysSo()
    {
        const std::unique_ptr<CommBackend> port = MakeSerialBackend();
        const QString failure = port->Open(QStringLiteral("COM250"), CommSettings{});
        QVERIFY(!failure.isEmpty());
        QVERIFY(!port->IsOpen());
    }

    // The ports drivers announce in the registry, listed in port order,
    // COM23 before COM212, each described by its driver's device. (Wine's
    // list of DOS device names leaves out the ones a program defines, so
    // that way in is not tried here.)
    void thePortsWindowsHasAreListedInOrder()
    {
        HKEY key = nullptr;
        QCOMPARE(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, nullptr,
                                   REG_OPTION_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr), LONG(ERROR_SUCCESS));
        const auto announce = [key](const wchar_t* device, const std::wstring& port) {
            return ::RegSetValueExW(key, device, 0, REG_SZ, reinterpret_cast<const BYTE*>(port.c_str()),
                                    DWORD((port.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
        };
        QVERIFY(announce(L"\\Device\\TestPort212", L"COM212") && announce(L"\\Device\\TestPort23", L"COM23"));
        const QList<SerialDevice> devices = ListSerialDevices();
        ::RegDeleteValueW(key, L"\\Device\\TestPort212");
        ::RegDeleteValueW(key, L"\\Device\\TestPort23");
        ::RegCloseKey(key);
        QStringList listed;
        for (const SerialDevice& device : devices)
            listed << device.path + QLatin1Char('=') + device.description;
        const qsizetype at23 = listed.indexOf("COM23=TestPort23");
        QVERIFY2(at23 >= 0 && at23 < listed.indexOf("COM212=TestPort212"), qPrintable(listed.join(' ')));
    }

    void theUsersDataFolderIsBesideTheProfile()
    {
        const QByteArray old = qgetenv("APPDATA");
        qputenv("APPDATA", "C:\\Users\\op\\AppData\\Roaming");
        const QString folder = UserDataDir();
        qputenv("APPDATA", old);
        QCOMPARE(folder, QStringLiteral("C:/Users/op/AppData/Roaming/Local AppWizard-Generated Applications/Tavrin"));
    }

    void aNamedFileMustBeASmallFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");  // written first when not empty
        QTest::addColumn<QString>("problem");   // the part that must be said; empty: read
        QTest::newRow("a certificate") << "ca.pem" << QByteArray("-----BEGIN CERTIFICATE-----\n") << "";
        QTest::newRow("a folder") << "." << QByteArray() << "it is a folder";
        QTest::newRow("the null device") << "NUL" << QByteArray() << "it is a device, not a file";
        QTest::newRow("too large") << "big.pem" << QByteArray(kLargestNamedFile + 1, 'x') << "larger than 1 MB";
        QTest::newRow("missing") << "gone.pem" << QByteArray() << "cannot read the CA file";
    }
    void aNamedFileMustBeASmallFile()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QTemporaryDir dir;
        const QString path = name == QLatin1String("NUL") ? name : dir.filePath(name);
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        }
        QByteArray read;
        QString said;
        QCOMPARE(ReadBoundedFile(path, "CA", read, said), problem.isEmpty());
        QVERIFY2(said.contains(problem), qPrintable(said));
        QCOMPARE(read, problem.isEmpty() ? bytes : QByteArray());
    }

    void writtenBytesAreFlushedToDisk()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("record.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Append));
        QVERIFY(file.write("a,b\r\n") == 5 && file.flush());
        QString why;
        QVERIFY2(SyncFileData(file, why), qPrintable(why));
        QVERIFY2(SyncFolderOf(file.fileName(), why), qPrintable(why));
    }
};

QTEST_GUILESS_MAIN(WinPlatform)
#include "test_winplatform.moc"
