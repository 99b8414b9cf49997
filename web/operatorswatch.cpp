#include "web/operatorswatch.h"

#include <QFileInfo>

#include "netport/boundedfile.h"

COperatorsWatch::COperatorsWatch(const QString& path) : m_path(path), m_seen(Seen()) {}

// The file's bytes, or what stands in their place: a few hundred bytes
// compared every couple of seconds cost less than keeping a watch on a
// file that is replaced, not written, at each change.
QByteArray COperatorsWatch::Seen() const
{
    if (!QFileInfo::exists(m_path))
        return QByteArrayLiteral("none");
    QByteArray bytes;
    QString problem;
    if (!ReadBoundedFile(m_path, "operator", bytes, problem))
        return "unreadable " + problem.toUtf8();
    return "file " + bytes;
}

std::optional<COperatorsWatch::Change> COperatorsWatch::Look(const COperatorStore& current)
{
    const QByteArray seen = Seen();
    if (seen == m_seen)
        return std::nullopt;
    m_seen = seen;
    Change change{COperatorStore(m_path), {}, {}, {}};
    // One that cannot be read lets nobody in, as it would at a start.
    if (!change.operators.Load(change.problem))
        change.operators = COperatorStore(m_path);
    for (const OperatorEntry& before : current.Operators()) {
        const std::optional<OperatorEntry> now = change.operators.Find(before.name);
        if (!now)
            change.removed << before.name;
        else if (*now != before)
            change.changed << before.name;
    }
    return change;
}
