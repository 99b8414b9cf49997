#include "netport/boundedfile.h"

#include "netport/boundedfileos.h"

QString CannotReadNamedFile(const QString& path, const char* what, const QString& why)
{
    return QStringLiteral("cannot read the %1 file \"%2\": %3").arg(QLatin1String(what), path, why);
}

QString NamedFileTooLarge(const QString& path, const char* what)
{
    return QStringLiteral("the %1 file \"%2\" is larger than 1 MB: it is not one this program wrote or can use")
        .arg(QLatin1String(what), path);
}

QString NamedFileSeenByOthers(const QString& path, const char* what)
{
    return QStringLiteral("the %1 file \"%2\" can be read or changed by other users than its owner, so it was not "
                          "used; run \"chmod 600 %2\" and start again").arg(QLatin1String(what), path);
}

QString BoundedFileProblem(const QString& path, const char* what)
{
    QString problem;
    const qintptr file = OpenCheckedFile(path, what, OthersMayRead::Yes, problem);
    if (file >= 0)
        CloseCheckedFile(file);
    return problem;
}

// A file that grows between the check and the read is cut at the limit and
// refused all the same.
bool ReadBoundedFile(const QString& path, const char* what, QByteArray& bytes, QString& problem,
                     OthersMayRead others)
{
    bytes.clear();
    const qintptr file = OpenCheckedFile(path, what, others, problem);
    if (file < 0)
        return false;
    bytes.resize(kLargestNamedFile + 1);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        QString why;
        const qint64 got = ReadCheckedFile(file, bytes.data() + filled, bytes.size() - filled, why);
        if (got < 0)
            problem = CannotReadNamedFile(path, what, why);
        if (got <= 0)
            break;
        filled += got;
    }
    CloseCheckedFile(file);
    bytes.resize(filled);
    if (problem.isEmpty() && bytes.size() > kLargestNamedFile)
        problem = NamedFileTooLarge(path, what);
    if (problem.isEmpty())
        return true;
    bytes = QByteArray();
    return false;
}
